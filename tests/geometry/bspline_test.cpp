// B-spline records beyond what fuzz_geometry checks of them as values: the reports of null
// arrays word for word, knot vectors against a multiplicity model with neighbours closer than
// AbsoluteTol merged (strictly), packing by the running mean, end tangents from the control
// polygon, bounding boxes and transformations.
#include "GeometryTestSupport.h"
#include "KRNMathBox.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtTolerance.h"

#include <climits>
#include <vector>

namespace {

using zrmtest::Near;
using P = KRNMathPoint;
const char* const kFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtBSpline";
const double kAbsoluteTol = ZRMUtTolerance().AbsoluteTol();

KRNMathSetOfPoints Polygon(const std::vector<P>& points) {
  KRNMathSetOfPoints set;
  for (const P& p : points) set.Append(p);
  return set;
}

// A positive count with a null array is reported (in production without the runtime assertion)
// and taken as 0; outputs of PackKnots of unequal lengths are reported and left alone.
TEST(BSpline, NullArraysAndUnequalOutputsAreReported) {
  double knots[] = {0, 0.5, 1}, weights[] = {1};
  int mults[] = {3, 1, 3};
  for (const auto& [k, m] : {std::pair<double*, int*>(nullptr, mults), {knots, nullptr}}) {
    zrmtest::AssertRecorder recorder;
    const ZRMUtBSpline s(2, 3, k, m, 1, weights, false, KRNMathSetOfPoints());
    EXPECT_TRUE(s.GetNbOfKnots() == 0 && s.GetNumberOfWeights() == 1);
    zrmtest::ExpectCheckReport(
        recorder.reports,
        {"nbKnots < 1 || (knots && multiplicities)", "ZRMUtBSpline null knot or multiplicity array in.", kFile, 42},
        true);
  }
  zrmtest::AssertRecorder recorder(0);
  const ZRMUtBSpline s(2, 3, knots, mults, 1, nullptr, false, KRNMathSetOfPoints());
  EXPECT_TRUE(s.GetNbOfKnots() == 3 && s.GetNumberOfWeights() == 0);
  zrmtest::ExpectCheckReport(recorder.reports,
                             {"nbWeights < 1 || weights", "ZRMUtBSpline null weight array in.", kFile, 43}, false);
  KRNRawColldouble in, packed;
  KRNRawCollint counts;
  in.Append(1);
  packed.Append(1);
  ZRMUtBSpline::PackKnots(in, packed, counts);
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_TRUE(packed.Size() == 1 && counts.Size() == 0 && recorder.reports[1].line == 44);
  EXPECT_EQ(recorder.reports[1].expression + "|" + recorder.reports[1].message,
            "packed.Size() == mults.Size()|ZRMUtBSpline::PackKnots outputs of unequal lengths.");
}

// Expanded knot vectors of runs with random multiplicities (at least AbsoluteTol apart): every
// run at most degree + 1 long, and for a clamped vector both ends exactly degree + 1 long.
TEST(BSpline, IsQOBCompatibleAgainstAMultiplicityModel) {
  zrmtest::Random random(31);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const double gap = i % 2 == 0 ? 1.0 : kAbsoluteTol;  // exactly AbsoluteTol apart: distinct
    const int degree = 1 + int(random.Uniform(0, 4)), values = 1 + int(random.Uniform(0, gap == 1.0 ? 5 : 3));
    std::vector<int> mults;
    std::vector<double> knots;
    for (int v = 0; v < values; ++v) {
      mults.push_back(1 + int(random.Uniform(0, degree + 2.5)));
      knots.insert(knots.end(), mults.back(), v * gap);
    }
    bool runsFit = true;
    for (int m : mults) runsFit = runsFit && m <= degree + 1;
    const int n = int(knots.size());
    const bool clamped = runsFit && mults.front() == degree + 1 && mults.back() == degree + 1;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, true), n >= 2 && runsFit) << i;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, false), n >= 2 && clamped) << i;
  }
  const double merged[] = {0, 0.5 * kAbsoluteTol, 1, 1}, two[] = {0, 0};
  EXPECT_TRUE(ZRMUtBSpline::IsQOBCompatible(merged, 4, 1, false) && ZRMUtBSpline::IsQOBCompatible(two, 2, 1, false) &&
              ZRMUtBSpline::IsQOBCompatible(two, 2, INT_MAX, true));
  EXPECT_FALSE(ZRMUtBSpline::IsQOBCompatible(nullptr, 2, 1, true) || ZRMUtBSpline::IsQOBCompatible(two, 2, 0, true) ||
               ZRMUtBSpline::IsQOBCompatible(two, 2, INT_MAX, false));
}

// Values join the group whose running mean lies closer than AbsoluteTol (so a drift of 1.4
// AbsoluteTol merges, AbsoluteTol exactly does not); outputs are appended to.
TEST(BSpline, PackKnotsByTheRunningMean) {
  const double step = 0.35 * kAbsoluteTol;
  const struct {
    std::vector<double> before, in, packed;
    std::vector<int> mults;
  } cases[] = {{{}, {0, step, 2 * step, 3 * step, 4 * step, 1}, {2 * step, 1}, {5, 1}},
               {{5}, {5 + 0.3 * kAbsoluteTol, 7}, {5 + 0.1 * kAbsoluteTol, 7}, {3, 1}},
               {{}, {0, 0, 0.5, 1, 1, 1}, {0, 0.5, 1}, {2, 1, 3}},
               {{}, {0, kAbsoluteTol}, {0, kAbsoluteTol}, {1, 1}},
               {{5}, {}, {5}, {2}}};
  for (const auto& c : cases) {
    KRNRawColldouble in, packed;
    KRNRawCollint mults;
    for (double v : c.before) {
      packed.Append(v);
      mults.Append(2);
    }
    for (double v : c.in) in.Append(v);
    ZRMUtBSpline::PackKnots(in, packed, mults);
    ASSERT_TRUE(packed.Size() == int(c.packed.size()) && mults.Size() == int(c.mults.size())) << &c - cases;
    for (int i = 1; i <= packed.Size(); ++i)
      EXPECT_TRUE(std::fabs(packed[i] - c.packed[i - 1]) < 1e-14 && mults[i] == c.mults[i - 1]);
  }
}

// End tangents along the parameter from the end legs (longer than LengthTol, strictly), for
// points within LengthTol of an end; TangentAtEnd writes only on success, GetTangentAtPoint
// writes (1, 0, 0) on failure.
TEST(BSpline, TangentsFromTheEndLegs) {
  const double tol = ZRMUtTolerance().LengthTol();
  const std::vector<P> corner = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  const KRNMathVector no(0, 0, 0);  // no tangent
  for (const auto& [polygon, p, dir] :
       {std::tuple(corner, P(1, 1, 0), KRNMathVector(0, 1, 0)),
        {corner, P(0.5 * tol, 0, 0), {1, 0, 0}},
        {corner, P(1, 0, 0), no},
        {corner, P(2 * tol, 0, 0), no},
        {{{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, P(), {-1, 0, 0}},     // the end leg
        {{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, tol, 0}}, P(2, tol, 0), no},  // a leg of exactly LengthTol
        {{{0, 0, 0}}, P(), no},
        {{{0, 0, 0}, {0, 3, 4}}, P(0, 3, 4), {0, 0.6, 0.8}}}) {
    ZRMUtBSpline s;
    s.SetCPoints(Polygon(polygon));
    const bool ok = dir.Norm() > 0;
    KRNMathDirection d(0, 0, 1);
    KRNMathVector v(7, 7, 7);
    EXPECT_TRUE(s.TangentAtEnd(p, d) == ok && Near(d, ok ? dir : KRNMathVector(0, 0, 1), 1e-15) &&
                s.GetTangentAtPoint(p, v) == ok && Near(v, ok ? dir : KRNMathVector(1, 0, 0), 1e-15))
        << p.x << " " << p.y << " " << p.z;
  }
}

// The default spline is empty. The box grows from what the caller passes in; none without
// control points. Transformations move the control points and the closure vectors (the linear
// part only), nothing else.
TEST(BSpline, DefaultsBoxesAndTransformations) {
  const ZRMUtBSpline empty;
  EXPECT_TRUE(empty.GetDegree() == 0 && empty.GetNbOfKnots() == 0 && !empty.GetKnots() && !empty.GetPeriodic() &&
              empty.GetNumberOfWeights() == 0 && !empty.GetWeights() && empty.GetNumberOfCPoints() == 0);
  KRNMathBox box(P(10, 10, 10), P(10, 10, 10));
  EXPECT_TRUE(!empty.GetBoundingBox(box) && Near(box.GetLow(), P(10, 10, 10), 0));
  double knots[] = {0, 1}, weights[] = {1, 0.5, 1};
  int mults[] = {3, 3};
  ZRMUtBSpline s(2, 2, knots, mults, 3, weights, false, Polygon({{0, 0, 0}, {1, -1, 0}, {1, 1, 2}}));
  EXPECT_TRUE(s.GetBoundingBox(box) && Near(box.GetLow(), P(0, -1, 0), 0) && Near(box.GetHigh(), P(10, 10, 10), 0));
  zrmtest::Random random(33);
  const KRNMathVector c1 = random.Vector(), c2 = random.Vector();
  s.SetClosureCondition(c1, c2);
  const ZRMUtBSpline before(s);
  const KRNMathTransformation map = random.RigidMotion();
  s.ApplyTransformation(map);
  KRNMathVector m1, m2;
  s.GetClosureCondition(m1, m2);
  for (int p = 0; p < 3; ++p) EXPECT_TRUE(Near(s.GetCPoints().GetPoint(p), map * before.GetCPoints().GetPoint(p), 0));
  EXPECT_TRUE(Near(m1, map * c1, 0) && Near(m2, map * c2, 0) && s.GetKnots()[1] == 1 && s.GetWeights()[1] == 0.5 &&
              s.GetMultiplicities()[1] == 3);
}

}  // namespace
