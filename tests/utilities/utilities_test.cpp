// The geometric helpers against analytic models (orthogonality, Rodrigues' rotation formula,
// rigid motions, the roles of the plane/axis conversions and their reported index check), the
// tolerant equality of the math value types, the precision conversions, and the spline
// condition record (map semantics, the Count rule, defaults, the stored spline).
#include "GeometryTestSupport.h"
#include "ZRMUtGeomUtils.h"
#include "ZRMUtMathOperators.h"
#include "ZRMUtSplineCondition.h"
#include "ZRMUtTolerance.h"

#include <climits>
#include <cmath>
#include <type_traits>
#include <vector>

namespace {

using zrmtest::Near;
using V = KRNMathVector;
using P = KRNMathPoint;
using D = KRNMathDirection;
using Utils = ZRMUtGeomUtils;
const double kTol = ZRMUtTolerance().AbsoluteTol();

// Perpendiculars (of the length of v's part across (1, 0, 0)); rotations of points and directions
// against Rodrigues; the motion from (P1, D1) to (P2, D2) is rigid and carries P1 to P2 and D1
// onto D2, for random, equal (a translation), opposite and nearly parallel directions.
TEST(GeomUtils, PerpendicularsRotationsAndMotionsAgainstModels) {
  for (const auto& [v, expected] : {std::pair(V(0, 0, 2), V(0, -2, 0)),
                                    {V(1, 2, 3), V(0, -3, 2)},
                                    {V(-5, 0, 0), V(0, 0, 5)},
                                    {V(0, 0, 0), V(1, 0, 0)}})
    EXPECT_TRUE(Near(Utils::GetPerpendicularVector(v), expected, 0)) << v.x << " " << v.y << " " << v.z;
  zrmtest::Random random(42);
  for (long i = 0; i < zrmtest::Scaled(1500); ++i) {
    const V v = random.Vector(), perpendicular = Utils::GetPerpendicularVector(v);
    EXPECT_TRUE(std::fabs(perpendicular * v) <= 1e-12 * (v * v) &&
                std::fabs(perpendicular.Norm() - std::hypot(v.y, v.z)) <= 1e-12 * v.Norm());
    const KRNMathLine axis(random.Point(), random.Vector(3.0));
    const double a = random.Uniform(-2 * KRNPI, 2 * KRNPI);
    const P p = random.Point(), P1 = random.Point(), P2 = random.Point();
    const D d = random.Direction(), rotated = Utils::GetRotatedVector(axis, a, d), D1 = random.Direction();
    EXPECT_TRUE(Near(Utils::GetRotatedPoint(axis, a, p),
                     axis.GetOrigin() + zrmtest::Rodrigues(p - axis.GetOrigin(), axis.GetDirection(), a), 1e-11));
    EXPECT_TRUE(Near(rotated, zrmtest::Rodrigues(d, axis.GetDirection(), a), 1e-12) &&
                std::fabs(V(rotated).Norm() - 1) < 1e-15);
    const V across = Utils::GetPerpendicularVector(D1);
    const D D2 = i % 4 == 0   ? random.Direction()
                 : i % 4 == 1 ? D1
                 : i % 4 == 2 ? D(-1.0 * D1)
                              : D(V(D1) + (3e-10 / across.Norm()) * across);
    KRNMathTransformation T;
    Utils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    const KRNMath3x3Matrix& M = T.GetMatrix();
    EXPECT_TRUE(Near(T * P1, P2, 1e-9) && Near(T * V(D1), D2, 1e-7) && std::fabs(M.Determinant() - 1) < 1e-12 &&
                std::fabs((T * p).DistanceTo(T * P1) - p.DistanceTo(P1)) < 1e-9)
        << i;
    EXPECT_TRUE(i % 4 != 1 || (Near(T.GetTranslation(), P2 - P1, 1e-12) &&
                               Near(M * V(1, 2, 3), V(1, 2, 3), 0)));  // equal: a translation
  }
  KRNMathTransformation T;
  Utils::GetTransformationOfPointsAndDirections(T, P(1, 2, 3), D(1, 0, 0), P(-4, 0, 7), D(0, 1, 0));
  EXPECT_TRUE(
      Near(T * V(0, 0, 1), V(0, 0, 1), 1e-15) &&
      Near(Utils::GetRotatedPoint(KRNMathLine(P(5, -2, 1), V(0, 0, 1)), KRNPIBY2, P(6, -2, 1)), P(5, -1, 1), 1e-14));
}

// PlaneToSys puts the plane's directions and their unit normal in the roles index k names;
// SysToPlane takes the plane across axis k. An index outside 0..2 is reported (the runtime
// assertion in the development stage only) and reduced modulo 3.
TEST(GeomUtils, PlaneAndAxisRolesAndTheIndexCheck) {
  const P o(1, -2, 3);
  const V U(2, 0, 0), W(1, 3, 0), N(0, 0, 1), X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathPlane plane(o, U, W);
  const KRNMathAxis axis(o, X, Y, Z), roles[] = {{o, W, N, U}, {o, N, U, W}, {o, U, W, N}};
  const KRNMathPlane planes[] = {{o, Y, Z}, {o, Z, X}, {o, X, Y}};
  const struct {
    int k, reduced;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {-1, 2}, {-3, 0}, {3, 0}, {5, 2}, {7, 1}, {INT_MIN, 1}, {INT_MAX, 1}};
  for (const auto& c : cases) {
    zrmtest::AssertRecorder recorder;
    const KRNMathAxis sys = Utils::PlaneToSys(plane, c.k);
    const KRNMathPlane across = Utils::SysToPlane(axis, c.k);
    const KRNMathAxis& r = roles[c.reduced];
    EXPECT_TRUE(Near(sys.GetOrigin(), o, 0) && Near(sys.GetFirstDirection(), r.GetFirstDirection(), 0) &&
                Near(sys.GetSecondDirection(), r.GetSecondDirection(), 0) &&
                Near(sys.GetThirdDirection(), r.GetThirdDirection(), 0) &&
                Near(across.GetFirstDirection(), planes[c.reduced].GetFirstDirection(), 0) &&
                Near(across.GetSecondDirection(), planes[c.reduced].GetSecondDirection(), 0) &&
                Near(across.GetOrigin(), o, 0))
        << c.k;
    if (c.k == c.reduced) {
      EXPECT_TRUE(recorder.reports.empty());
      continue;
    }
    ASSERT_EQ(recorder.reports.size(), 4u);
    const std::vector<zrmtest::AssertReport> second(recorder.reports.begin() + 2, recorder.reports.end());
    recorder.reports.resize(2);
    const char* const file = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils";
    zrmtest::ExpectCheckReport(recorder.reports, {"k >= 0 && k <= 2", "Axis index out of range", file, 101}, true);
    zrmtest::ExpectCheckReport(second, {"k >= 0 && k <= 2", "Axis index out of range", file, 102}, true);
  }
  zrmtest::AssertRecorder production(0);
  Utils::SysToPlane(KRNMathAxis(), -1);
  EXPECT_TRUE(production.reports.size() == 1 && production.reports[0].kind == zrmtest::AssertReport::Failure);
}

// Every component of every type in turn: half the tolerance keeps two values equal, a thousand
// tolerances or one float step (single precision subtracts in float) or a NaN make them unequal;
// from zero, 0.99 tolerance and the double just below it are equal, the tolerance itself not
// (the test is strict). != is the negation, the test symmetric; NaN and inf equal nothing.
template <class T>
bool Equal(const T& a, const T& b) {
  EXPECT_TRUE((a != b) == !(a == b) && (a == b) == (b == a));
  return a == b;
}
template <class T>
T Make(const std::vector<double>& c) {
  if constexpr (std::is_same_v<T, KRNMathPlane>)
    return T(P(c[0], c[1], c[2]), V(c[3], c[4], c[5]), V(c[6], c[7], c[8]));
  else if constexpr (std::is_same_v<T, KRNMathAxis>)
    return T(P(c[0], c[1], c[2]), V(c[3], c[4], c[5]), V(c[6], c[7], c[8]), V(c[9], c[10], c[11]));
  else if constexpr (std::is_same_v<T, KRNMathBox2D>)
    return T(KRNMathPoint2D(c[0], c[1]), KRNMathPoint2D(c[2], c[3]));
  else if constexpr (std::is_same_v<T, KRNMathPoint2D>)
    return T(c[0], c[1]);
  else if constexpr (std::is_same_v<T, P> || std::is_same_v<T, V>)
    return T(c[0], c[1], c[2]);
  else
    return T(float(c[0]), float(c[1]), float(c[2]));
}
template <class T>
bool EqualFrom(const std::vector<double>& a, const std::vector<double>& b) {
  return Equal(Make<T>(a), Make<T>(b));
}

TEST(MathOperators, EveryComponentOfEveryTypeStrictlyWithinTheTolerance) {
  const struct {
    std::size_t count;
    bool single;
    bool (*equal)(const std::vector<double>&, const std::vector<double>&);
  } types[] = {{3, false, EqualFrom<P>},
               {3, false, EqualFrom<V>},
               {2, false, EqualFrom<KRNMathPoint2D>},
               {4, false, EqualFrom<KRNMathBox2D>},
               {9, false, EqualFrom<KRNMathPlane>},
               {12, false, EqualFrom<KRNMathAxis>},
               {3, true, EqualFrom<KRNMathPointf>},
               {3, true, EqualFrom<KRNMathVectorf>},
               {3, true, EqualFrom<KRNMathDirectionf>}};
  for (const auto& type : types) {
    std::vector<double> base(type.count), zero(type.count, 0.0);
    for (std::size_t i = 0; i < type.count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * double(i + 1);
    if (type.count == 4) base = {-1, -2, 3, 4};  // low below high
    EXPECT_TRUE(type.equal(base, base));
    for (std::size_t i = 0; i < type.count; ++i) {
      auto with = [i](std::vector<double> c, double value) {
        c[i] = value;
        return c;
      };
      const double step = type.single ? double(std::nextafter(float(base[i]), 1e9f)) : base[i] + 1e3 * kTol;
      EXPECT_TRUE(type.equal(base, with(base, base[i] + 0.5 * kTol)) && type.equal(zero, with(zero, 0.99 * kTol)))
          << type.count << " " << i;
      EXPECT_FALSE(type.equal(base, with(base, step)) || type.equal(base, with(base, zrmtest::kNaN)))
          << type.count << " " << i;
      EXPECT_FALSE(type.equal(zero, with(zero, kTol)) || type.equal(zero, with(zero, -kTol))) << type.count << " " << i;
      EXPECT_TRUE(type.single || type.equal(zero, with(zero, std::nextafter(kTol, 0.0))));
    }
  }
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(Equal(P(inf, 0, 0), P(inf, 0, 0)) ||
               Equal(KRNMathPlane(P(), V(1, 0, 0), V(0, 1, 0)), KRNMathPlane(P(), V(0, 1, 0), V(1, 0, 0))));
}

// A float direction becomes a unit direction by the unit-direction rule, bit for bit: kept when its
// widened squared length is exactly 1, (1, 0, 0) when 0, otherwise each widened component divided
// by the length; the other conversions widen or copy the components exactly.
TEST(MathOperators, PrecisionConversions) {
  zrmtest::Random random(41);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    V v = random.Vector(i % 2 == 0 ? 2.0 : 1e3);
    if (i % 3 == 0) v = V(0, 0, i % 2 ? -1 : 0);
    const KRNMathDirectionf f(float(v.x), float(v.y), float(v.z));
    const double x = f.x, y = f.y, z = f.z, s = x * x + y * y + z * z, length = std::sqrt(s);
    const D d = ZRMUtDirectionFtoDirection(f);
    const V expected = s == 1.0 ? V(x, y, z) : s == 0.0 ? V(1, 0, 0) : V(x / length, y / length, z / length);
    EXPECT_TRUE(d.x == expected.x && d.y == expected.y && d.z == expected.z) << i;
  }
  const KRNMathPointf pf(0.1f, -2.5f, 3e-8f);
  const P p = ZRMUtMathPointFtoMathPoint(pf);
  const V v = ZRMUtPointToVector(P(1.5, -0.25, 1e300));
  const KRNMathVectorf vf = ZRMUtPointfToVectorf(pf);
  const KRNMathPointf back = ZRMUtVectorfToPointf(vf);
  EXPECT_TRUE(p.x == double(0.1f) && p.y == -2.5 && p.z == double(3e-8f) && v.x == 1.5 && v.y == -0.25 && v.z == 1e300);
  EXPECT_TRUE(vf.x == pf.x && vf.y == pf.y && vf.z == pf.z && back.x == pf.x && back.y == pf.y && back.z == pf.z);
}

// Each map with Add (overwriting), Has (the value, or false with -1 for ids and the output left
// for values) and Remove; Count adds the four counted maps only; defaults of a new record; the
// stored spline is a copy that nothing outside changes.
TEST(SplineCondition, MapsCountDefaultsAndTheStoredSpline) {
  using C = ZRMUtSplineCondition;
  C record;
  EXPECT_TRUE(record.Count() == 0 && record.GetDegree() == 3 && int(record.GetParameterizationMode()) == 1 &&
              record.IsCreating());
  EXPECT_FALSE(record.ToNormalise() || record.IsPeriodic() || record.IsSolverEntity() || record.UseFullClamping());
  P point(9, 9, 9);
  V vector(9, 9, 9);
  double value = 9;
  record.GetClosureData(point, vector, value);
  EXPECT_TRUE(Near(point, P(), 0) && Near(vector, V(1, 0, 0), 0) && value == 0);
  ZRMUtUniqueId one(1), two(2), five(5), out(7);
  const int counted = record.Count();
  record.AddTangentLines(0, one);
  record.AddSecondDerivativeLines(0, one);
  record.AddHandleDims(0, one);
  record.AddTangentialSpeeds(0, 1.0);
  record.AddSecondDerivativeNorms(0, 2.0);
  record.AddTangentAngles(0, 0.5);
  record.AddHandleRatios(0, 0.25);
  record.AddHandleRatios(0, 0.75);
  record.AddTangentHandleEnds(0, one, two);
  record.AddTangentHandleEnds(0, two, five);
  EXPECT_TRUE(record.Count() == counted + 4 && record.GetHandleRatios()[0] == 0.75 &&
              record.GetHandleRatios().Size() == 1);
  EXPECT_TRUE(record.GetTangentHandleEnds()[0].first.Value() == 2 &&
              record.GetTangentHandleEnds()[0].second.Value() == 5);
  record.AddTangentLines(0, five);  // overwrites
  EXPECT_TRUE(record.HasTangentLine(0, out) && out.Value() == 5 && record.HasSecondDerivativeLine(0, out) &&
              out.Value() == 1 && record.HasHandleDim(0, out));
  double speed = 7;
  EXPECT_TRUE(record.HasTangentialSpeed(0, speed) && speed == 1.0 && record.HasSecondDerivativeNorm(0, speed) &&
              speed == 2.0);
  for (bool (C::*has)(int, ZRMUtUniqueId&) : {&C::HasTangentLine, &C::HasSecondDerivativeLine, &C::HasHandleDim}) {
    out = two;  // absent: no id
    EXPECT_TRUE(!(record.*has)(3, out) && out.Value() == -1);
  }
  EXPECT_TRUE(!record.HasTangentialSpeed(3, speed) && !record.HasSecondDerivativeNorm(3, speed) &&
              speed == 2.0);  // left
  record.RemoveTangentLine(0);
  record.RemoveSecondDerivativeLines(0);
  record.RemoveHandleDim(0);
  record.RemoveTangentialSpeeds(0);
  record.RemoveSecondDerivativeNorms(0);
  EXPECT_TRUE(record.Count() == 0 && !record.HasTangentLine(0, out) && !record.HasHandleDim(0, out) &&
              !record.HasTangentialSpeed(0, speed));
  record.SetClosureData(P(1, 2, 3), V(), -1.5);
  record.GetClosureData(point, vector, value);
  EXPECT_TRUE(Near(point, P(1, 2, 3), 0) && Near(vector, V(), 0) && value == -1.5);  // not validated
  double knots[] = {0, 1};
  int mults[] = {3, 3};
  KRNMathSetOfPoints points(3);
  ZRMUtBSpline spline(2, 2, knots, mults, false, points), stored;
  record.SetGeom(spline);
  knots[1] = 9;
  spline = ZRMUtBSpline();
  record.GetGeom(stored);
  EXPECT_TRUE(stored.GetNbOfKnots() == 2 && stored.GetKnots()[1] == 1 && stored.GetNumberOfCPoints() == 3 &&
              stored.GetRefCount() == 0);
  record.GetGeom(spline);
  EXPECT_NE(spline.GetKnots(), stored.GetKnots());
  record.SetGeom(ZRMUtBSpline());
  record.GetGeom(stored);
  EXPECT_TRUE(stored.GetNbOfKnots() == 0 && !stored.GetKnots());
}

}  // namespace
