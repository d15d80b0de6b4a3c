// B-spline records: ownership of the arrays (deep copies, self-assignment, null arrays and their
// reports), knot vector checks and packing against a multiplicity model, end tangents, bounding
// boxes and transformations.
#include "GeometryTestSupport.h"
#include "ZRMReportCheck.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

using geomtest::Exact3;
using geomtest::Near3;
using geomtest::RandomGeometry;

namespace {

const char* const kSourceFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtBSpline";

KRNMathSetOfPoints Polygon(std::initializer_list<KRNMathPoint> points) {
  KRNMathSetOfPoints set;
  for (const KRNMathPoint& p : points) set.Append(p);
  return set;
}

// A spline with 3 knots, weights and a 4-point polygon.
struct Sample {
  double knots[3] = {0.0, 0.5, 1.0};
  int mults[3] = {3, 1, 3};
  double weights[4] = {1.0, 0.5, 0.5, 1.0};
  KRNMathSetOfPoints polygon = Polygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 2}});
  ZRMUtBSpline Make() { return ZRMUtBSpline(2, 3, knots, mults, 4, weights, false, polygon); }
};

// Every field's value (not the arrays' addresses), for comparing records.
std::vector<double> Dump(const ZRMUtBSpline& s) {
  std::vector<double> v = {double(s.GetDegree()), double(s.GetNbOfKnots()), double(s.GetNumberOfWeights()),
                           double(s.GetPeriodic()), double(s.GetNumberOfCPoints())};
  for (int i = 0; i < s.GetNbOfKnots(); ++i) v.insert(v.end(), {s.GetKnots()[i], double(s.GetMultiplicities()[i])});
  for (int i = 0; i < s.GetNumberOfWeights(); ++i) v.push_back(s.GetWeights()[i]);
  for (int i = 0; i < s.GetNumberOfCPoints(); ++i) {
    const KRNMathPoint p = s.GetCPoints().GetPoint(i);
    v.insert(v.end(), {p.x, p.y, p.z});
  }
  KRNMathVector a, b;
  s.GetClosureCondition(a, b);
  v.insert(v.end(), {a.x, a.y, a.z, b.x, b.y, b.z});
  return v;
}

// The collection's values, from index 1.
template <class Coll>
auto Values(const Coll& coll) {
  std::vector<std::remove_const_t<std::remove_reference_t<decltype(coll[1])>>> values;
  for (int i = 1; i <= coll.Size(); ++i) values.push_back(coll[i]);
  return values;
}

}  // namespace

// The record holds its own copies of the caller's arrays; counts below 1 allocate nothing and
// are stored as passed; the default record is empty.
TEST(BSplineRecord, ConstructionCopiesTheArraysAndCountsBelowOneAllocateNothing) {
  zrmtest::AssertRecorder recorder;
  Sample sample;
  const ZRMUtBSpline s = sample.Make();
  sample.knots[1] = 99.0;
  sample.mults[1] = 99;
  sample.weights[1] = 99.0;
  ASSERT_TRUE(s.GetNbOfKnots() == 3 && s.GetNumberOfWeights() == 4);
  EXPECT_NE(s.GetKnots(), sample.knots);
  EXPECT_TRUE(s.GetKnots()[1] == 0.5 && s.GetMultiplicities()[1] == 1 && s.GetWeights()[1] == 0.5);
  EXPECT_TRUE(Exact3(s.GetCPoints().GetPoint(3), KRNMathPoint(0, 1, 2)));
  const ZRMUtBSpline unweighted(3, 3, sample.knots, sample.mults, true, sample.polygon);
  EXPECT_TRUE(unweighted.GetNumberOfWeights() == 0 && unweighted.GetWeights() == nullptr && unweighted.GetPeriodic());
  EXPECT_EQ(unweighted.GetKnots()[1], 99.0);

  const ZRMUtBSpline zero(2, 0, sample.knots, sample.mults, 0, sample.weights, false, sample.polygon);
  EXPECT_TRUE(zero.GetKnots() == nullptr && zero.GetMultiplicities() == nullptr && zero.GetWeights() == nullptr);
  const ZRMUtBSpline negative(2, -3, nullptr, nullptr, -1, nullptr, false, sample.polygon);
  EXPECT_TRUE(negative.GetNbOfKnots() == -3 && negative.GetNumberOfWeights() == -1);  // stored as passed
  EXPECT_TRUE(negative.GetKnots() == nullptr && negative.GetWeights() == nullptr);
  EXPECT_EQ(Dump(ZRMUtBSpline(negative)), Dump(negative));
  EXPECT_TRUE(recorder.reports.empty());

  const ZRMUtBSpline empty;
  EXPECT_TRUE(empty.GetDegree() == 0 && empty.GetNbOfKnots() == 0 && empty.GetNumberOfWeights() == 0);
  EXPECT_TRUE(empty.GetKnots() == nullptr && empty.GetMultiplicities() == nullptr && empty.GetWeights() == nullptr);
  EXPECT_TRUE(!empty.GetPeriodic() && empty.GetNumberOfCPoints() == 0);
  KRNMathVector first(1, 1, 1), second(1, 1, 1);
  empty.GetClosureCondition(first, second);
  EXPECT_TRUE(Exact3(first, KRNMathVector()) && Exact3(second, KRNMathVector()));
}

TEST(BSplineRecord, PositiveCountsWithNullArraysAreReportedAndTakenAsZero) {
  Sample sample;
  const struct {
    double* knots;
    int* mults;
  } cases[] = {{nullptr, sample.mults}, {sample.knots, nullptr}, {nullptr, nullptr}};
  for (const auto& c : cases) {
    zrmtest::AssertRecorder recorder;
    const ZRMUtBSpline s(2, 3, c.knots, c.mults, 4, sample.weights, false, sample.polygon);
    EXPECT_TRUE(s.GetNbOfKnots() == 0 && s.GetKnots() == nullptr && s.GetMultiplicities() == nullptr);
    EXPECT_EQ(s.GetNumberOfWeights(), 4);  // the weights are fine
    ASSERT_EQ(recorder.reports.size(), 2u);
    zrmtest::ExpectCheckReports(
        recorder.reports, 0,
        {"nbKnots < 1 || (knots && multiplicities)", "ZRMUtBSpline null knot or multiplicity array in.", kSourceFile,
         42, L"(\"ZRMUtBSpline null knot or multiplicity array in.\", nbKnots < 1 || (knots && multiplicities))"},
        true);
  }
  zrmtest::AssertRecorder recorder(0);  // production stage: the assertion report only
  const ZRMUtBSpline s(2, 3, sample.knots, sample.mults, 4, nullptr, false, sample.polygon);
  EXPECT_TRUE(s.GetNbOfKnots() == 3 && s.GetNumberOfWeights() == 0 && s.GetWeights() == nullptr);
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].expression, "nbWeights < 1 || weights");
  EXPECT_EQ(recorder.reports[0].message, "ZRMUtBSpline null weight array in.");
  EXPECT_EQ(recorder.reports[0].file, kSourceFile);
  EXPECT_EQ(recorder.reports[0].line, 43);
}

// Copies, assignments and clones own their arrays, outlive their source and never copy the
// reference count; assignment replaces arrays of other sizes; self-assignment changes nothing.
TEST(BSplineRecord, CopiesAreDeepAndOutliveTheirSource) {
  Sample sample;
  ZRMUtBSpline_Ptr source(new ZRMUtBSpline(sample.Make()));
  source->SetClosureCondition(KRNMathVector(1, 2, 3), KRNMathVector(4, 5, 6));
  const ZRMUtBSpline copy(*source);
  ZRMUtBSpline_Ptr assigned(new ZRMUtBSpline);
  *assigned = *source;
  const ZRMUtGeometry_Ptr clone = source->Clone();
  ZRMUtBSpline* cloned = clone->AsBSpline();
  ASSERT_NE(cloned, nullptr);
  EXPECT_TRUE(copy.GetRefCount() == 0 && assigned->GetRefCount() == 1 && clone->GetRefCount() == 1);
  for (const ZRMUtBSpline* s :
       {&copy, static_cast<const ZRMUtBSpline*>(assigned.Ptr()), static_cast<const ZRMUtBSpline*>(cloned)}) {
    EXPECT_EQ(Dump(*s), Dump(*source));
    EXPECT_NE(s->GetKnots(), source->GetKnots());
    EXPECT_NE(s->GetMultiplicities(), source->GetMultiplicities());
    EXPECT_NE(s->GetWeights(), source->GetWeights());
  }
  source.Reset();  // the copies own their arrays
  EXPECT_TRUE(copy.GetKnots()[2] == 1.0 && assigned->GetMultiplicities()[2] == 3 && cloned->GetWeights()[3] == 1.0);
  KRNMathVector first, second;
  assigned->GetClosureCondition(first, second);
  EXPECT_TRUE(Exact3(second, KRNMathVector(4, 5, 6)));
  const double* knots = assigned->GetKnots();
  ZRMUtBSpline& alias = *assigned;
  *assigned = alias;
  EXPECT_EQ(Dump(*assigned), Dump(copy));
  EXPECT_EQ(assigned->GetKnots(), knots);

  double moreKnots[5] = {0, 1, 2, 3, 4};
  int moreMults[5] = {2, 1, 1, 1, 2};
  const ZRMUtBSpline bigger(1, 5, moreKnots, moreMults, true, Polygon({{0, 0, 0}, {1, 1, 1}}));
  *assigned = bigger;
  EXPECT_EQ(Dump(*assigned), Dump(bigger));
  EXPECT_EQ(assigned->GetWeights(), nullptr);
  *assigned = ZRMUtBSpline();
  EXPECT_EQ(Dump(*assigned), Dump(ZRMUtBSpline()));
  EXPECT_TRUE(assigned->GetKnots() == nullptr && assigned->GetRefCount() == 1);
}

// Integer knot vectors are covered by the multiplicity model below; here the single runs, the
// tolerance and the refused input.
TEST(BSplineKnots, IsQOBCompatibleTable) {
  const double tol = ZRMUtTolerance().AbsoluteTol();
  const struct {
    std::vector<double> knots;
    int degree;
    bool clamped;   // result when not periodic
    bool periodic;  // result when periodic
  } cases[] = {
      {{0, 0}, 1, true, true},  // one run counts for both ends
      {{0, 0, 0}, 1, false, false},
      {{0, 0.5 * tol, 1, 1}, 1, true, true},  // neighbours closer than AbsoluteTol are equal
      {{0, 2 * tol, 1, 1}, 1, false, true},
  };
  for (const auto& c : cases) {
    const int n = static_cast<int>(c.knots.size());
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(c.knots.data(), n, c.degree, false), c.clamped) << "n " << n;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(c.knots.data(), n, c.degree, true), c.periodic) << "n " << n;
  }
  const double two[] = {0, 0};
  EXPECT_FALSE(ZRMUtBSpline::IsQOBCompatible(nullptr, 2, 1, true));
  EXPECT_FALSE(ZRMUtBSpline::IsQOBCompatible(two, 2, 0, true));
  EXPECT_FALSE(ZRMUtBSpline::IsQOBCompatible(two, 1, 1, true));
  EXPECT_FALSE(ZRMUtBSpline::IsQOBCompatible(two, 2, std::numeric_limits<int>::max(), false));
  EXPECT_TRUE(ZRMUtBSpline::IsQOBCompatible(two, 2, std::numeric_limits<int>::max(), true));
}

TEST(BSplineKnots, IsQOBCompatibleAgreesWithAMultiplicityModel) {
  RandomGeometry random(31);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const int degree = 1 + static_cast<int>(random.Uniform(0, 4));
    const int values = 1 + static_cast<int>(random.Uniform(0, 5));
    std::vector<int> mults;
    std::vector<double> knots;
    for (int v = 0; v < values; ++v) {
      mults.push_back(1 + static_cast<int>(random.Uniform(0, degree + 2.5)));
      knots.insert(knots.end(), static_cast<std::size_t>(mults.back()), static_cast<double>(v));
    }
    const int n = static_cast<int>(knots.size());
    bool noneAbove = true;
    for (int m : mults) noneAbove = noneAbove && m <= degree + 1;
    const bool clamped = noneAbove && mults.front() == degree + 1 && mults.back() == degree + 1;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, true), n >= 2 && noneAbove);
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, false), n >= 2 && clamped);
  }
}

// Values are compared with the running mean of their group (so a drift of 1.4 AbsoluteTol from
// end to end merges) and appended to what the outputs already hold.
TEST(BSplineKnots, PackKnotsMergesByTheRunningMeanAndAppends) {
  const double tol = ZRMUtTolerance().AbsoluteTol(), step = 0.35 * tol;
  const struct {
    std::vector<double> packedBefore;
    std::vector<int> multsBefore;
    std::vector<double> in;
    std::vector<double> packed;
    std::vector<int> mults;
  } cases[] = {
      {{}, {}, {0, step, 2 * step, 3 * step, 4 * step, 1.0}, {2 * step, 1.0}, {5, 1}},
      {{5.0}, {2}, {5.0 + 0.3 * tol, 7.0}, {5.0 + 0.1 * tol, 7.0}, {3, 1}},
      {{5.0}, {2}, {}, {5.0}, {2}},  // nothing to pack: unchanged
  };
  for (const auto& c : cases) {
    KRNRawColldouble in, packed;
    KRNRawCollint mults;
    for (double v : c.packedBefore) packed.Append(v);
    for (int m : c.multsBefore) mults.Append(m);
    for (double v : c.in) in.Append(v);
    ZRMUtBSpline::PackKnots(in, packed, mults);
    EXPECT_EQ(Values(mults), c.mults);
    ASSERT_EQ(packed.Size(), static_cast<int>(c.packed.size()));
    for (int i = 1; i <= packed.Size(); ++i) EXPECT_NEAR(packed[i], c.packed[static_cast<std::size_t>(i - 1)], 1e-14);
  }
  zrmtest::AssertRecorder recorder;  // outputs of unequal lengths: reported, nothing appended
  KRNRawColldouble in, packed;
  KRNRawCollint mults;
  in.Append(1.0);
  packed.Append(1.0);
  ZRMUtBSpline::PackKnots(in, packed, mults);
  EXPECT_EQ(Values(packed), std::vector<double>{1.0});
  EXPECT_EQ(mults.Size(), 0);
  ASSERT_FALSE(recorder.reports.empty());
  EXPECT_EQ(recorder.reports[0].expression, "packed.Size() == mults.Size()");
  EXPECT_EQ(recorder.reports[0].message, "ZRMUtBSpline::PackKnots outputs of unequal lengths.");
  EXPECT_EQ(recorder.reports[0].file, kSourceFile);
  EXPECT_EQ(recorder.reports[0].line, 44);
}

TEST(BSplineKnots, PackKnotsRecoversRandomValuesAndMultiplicities) {
  RandomGeometry random(32);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    KRNRawColldouble in, packed;
    KRNRawCollint mults;
    std::vector<double> values;
    std::vector<int> counts;
    double value = random.Uniform(-5, 5);
    const int distinct = 1 + static_cast<int>(random.Uniform(0, 8));
    for (int v = 0; v < distinct; ++v) {
      value += random.Uniform(1e-6, 1.0);
      values.push_back(value);
      counts.push_back(1 + static_cast<int>(random.Uniform(0, 4)));
      for (int c = 0; c < counts.back(); ++c) in.Append(value + random.Uniform(-1e-12, 1e-12));
    }
    ZRMUtBSpline::PackKnots(in, packed, mults);
    ASSERT_EQ(packed.Size(), distinct);
    EXPECT_EQ(Values(mults), counts);
    for (int v = 0; v < distinct; ++v)
      EXPECT_NEAR(packed[v + 1], values[static_cast<std::size_t>(v)], 2e-12);  // jitter 1e-12
  }
}

// End tangents along the parameter from the end legs; points near an end within LengthTol;
// refusals (written only on success by TangentAtEnd, (1, 0, 0) written by GetTangentAtPoint).
TEST(BSplineTangent, EndLegsTable) {
  const double lengthTol = ZRMUtTolerance().LengthTol();
  const KRNMathSetOfPoints corner = Polygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
  const struct {
    const char* name;
    KRNMathSetOfPoints polygon;
    KRNMathPoint p;
    bool ok;
    KRNMathVector dir;
  } cases[] = {
      {"last", corner, {1, 1, 0}, true, {0, 1, 0}},
      {"first", corner, {0, 0, 0}, true, {1, 0, 0}},
      {"near first", corner, {0.5 * lengthTol, 0, 0}, true, {1, 0, 0}},
      {"interior point", corner, {1, 0, 0}, false, {}},
      {"too far", corner, {2 * lengthTol, 0, 0}, false, {}},
      {"NaN", corner, {std::nan(""), 0, 0}, false, {}},
      {"doubled first", Polygon({{0, 0, 0}, {0, 0, 0}, {1, 0, 0}}), {0, 0, 0}, false, {}},
      {"closed: the end leg", Polygon({{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}}), {0, 0, 0}, true, {-1, 0, 0}},
      {"short end leg", Polygon({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 0.5e-6, 0}}), {2, 0.5e-6, 0}, false, {}},
      {"single point", Polygon({{0, 0, 0}}), {0, 0, 0}, false, {}},
      {"no points", KRNMathSetOfPoints(), {0, 0, 0}, false, {}},
      {"slanted", Polygon({{0, 0, 0}, {0, 3, 4}}), {0, 3, 4}, true, {0, 0.6, 0.8}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ZRMUtBSpline s;
    s.SetCPoints(c.polygon);
    KRNMathDirection dir(0, 0, 1);
    EXPECT_EQ(s.TangentAtEnd(c.p, dir), c.ok);
    EXPECT_TRUE(Near3(dir, c.ok ? c.dir : KRNMathVector(0, 0, 1), 1e-15));
    KRNMathVector v(7, 7, 7);
    EXPECT_EQ(s.GetTangentAtPoint(c.p, v), c.ok);
    EXPECT_TRUE(Near3(v, c.ok ? c.dir : KRNMathVector(1, 0, 0), 1e-15));
  }
}

TEST(BSplineBoxAndTransform, TheBoxGrowsAndClosureVectorsFollowTheLinearPart) {
  KRNMathBox box, empty;
  box.AddInside(KRNMathPoint(10, 10, 10));
  EXPECT_FALSE(ZRMUtBSpline().GetBoundingBox(box));
  EXPECT_TRUE(Exact3(box.GetLow(), KRNMathPoint(10, 10, 10)) && Exact3(box.GetHigh(), KRNMathPoint(10, 10, 10)));
  EXPECT_FALSE(ZRMUtBSpline().GetBoundingBox(empty));
  EXPECT_TRUE(empty.IsEmpty());
  Sample sample;
  EXPECT_TRUE(sample.Make().GetBoundingBox(box));  // grows from what the caller passes in
  EXPECT_TRUE(Exact3(box.GetLow(), KRNMathPoint(0, 0, 0)) && Exact3(box.GetHigh(), KRNMathPoint(10, 10, 10)));
  EXPECT_TRUE(sample.Make().GetBoundingBox(empty));
  EXPECT_TRUE(Exact3(empty.GetLow(), KRNMathPoint(0, 0, 0)) && Exact3(empty.GetHigh(), KRNMathPoint(1, 1, 2)));

  RandomGeometry random(33);
  for (long i = 0; i < zrmtest::Scaled(50); ++i) {
    ZRMUtBSpline s = sample.Make();
    const KRNMathVector c1 = random.Vector(), c2 = random.Vector();
    s.SetClosureCondition(c1, c2);
    const ZRMUtBSpline before(s);
    const KRNMathTransformation motion = random.RigidMotion();
    s.ApplyTransformation(motion);
    for (int p = 0; p < s.GetNumberOfCPoints(); ++p)
      EXPECT_TRUE(Exact3(s.GetCPoints().GetPoint(p), motion * before.GetCPoints().GetPoint(p)));
    KRNMathVector m1, m2;
    s.GetClosureCondition(m1, m2);
    EXPECT_TRUE(Exact3(m1, motion * c1));  // vectors: the linear part only, never the translation
    EXPECT_TRUE(Near3(m2, motion.GetMatrix() * c2, 1e-15));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(s.GetKnots()[k], before.GetKnots()[k]);
    for (int w = 0; w < 4; ++w) EXPECT_EQ(s.GetWeights()[w], before.GetWeights()[w]);
  }
}
