// The geometric helpers against analytic models (orthogonality, Rodrigues' rotation formula,
// rigid motions, the roles of the plane/axis conversions and their reported index check), the
// tolerant equality of the math value types, the precision conversions, and the spline
// condition record's maps.
#include "GeometryTestSupport.h"
#include "ZRMUtGeomUtils.h"
#include "ZRMUtMathOperators.h"
#include "ZRMUtSplineCondition.h"
#include "ZRMUtTolerance.h"

#include <climits>
#include <cmath>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using zrmtest::Near;
using V = KRNMathVector;
using P = KRNMathPoint;
using D = KRNMathDirection;
using Utils = ZRMUtGeomUtils;
const double kTol = ZRMUtTolerance().AbsoluteTol();

// Perpendiculars (of the length of v's part across (1, 0, 0); across (0, 1, 0) for v along x;
// (1, 0, 0) for zero); rotations of points and directions against Rodrigues; the motion from
// (P1, D1) to (P2, D2) is rigid and carries P1 to P2 and D1 onto D2, for random, equal (a
// translation), opposite and nearly parallel directions.
TEST(GeomUtils, PerpendicularsRotationsAndMotionsAgainstModels) {
  EXPECT_TRUE(Near(Utils::GetPerpendicularVector(V(-5, 0, 0)), V(0, 0, 5), 0) &&
              Near(Utils::GetPerpendicularVector(V()), V(1, 0, 0), 0));
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
    EXPECT_TRUE(i % 4 != 1 || Near(M * V(1, 2, 3), V(1, 2, 3), 0));  // equal: a translation
  }
}

// PlaneToSys puts the plane's directions and their unit normal in the roles index k names;
// SysToPlane takes the plane across axis k. An index outside 0..2 is reported by both (the
// runtime assertion in the development stage only) and reduced modulo 3.
TEST(GeomUtils, PlaneAndAxisRolesAndTheIndexCheck) {
  const P o(1, -2, 3);
  const V U(2, 0, 0), W(1, 3, 0), N(0, 0, 1), X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathAxis axis(o, X, Y, Z), roles[] = {{o, W, N, U}, {o, N, U, W}, {o, U, W, N}};
  const KRNMathPlane plane(o, U, W), planes[] = {{o, Y, Z}, {o, Z, X}, {o, X, Y}};
  const char* const file = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils";
  for (const auto& [k, reduced] : {std::pair(0, 0), {1, 1}, {2, 2}, {-1, 2}, {-3, 0}, {3, 0}, {7, 1}, {INT_MIN, 1}}) {
    zrmtest::AssertRecorder recorder;
    const KRNMathAxis sys = Utils::PlaneToSys(plane, k);
    const KRNMathPlane across = Utils::SysToPlane(axis, k);
    EXPECT_TRUE(sys == roles[reduced] && across == planes[reduced]) << k;
    if (k == reduced) {
      EXPECT_TRUE(recorder.reports.empty());
      continue;
    }
    ASSERT_EQ(recorder.reports.size(), 4u);
    const std::vector<zrmtest::AssertReport> second(recorder.reports.begin() + 2, recorder.reports.end());
    recorder.reports.resize(2);
    zrmtest::ExpectCheckReport(recorder.reports, {"k >= 0 && k <= 2", "Axis index out of range", file, 101}, true);
    zrmtest::ExpectCheckReport(second, {"k >= 0 && k <= 2", "Axis index out of range", file, 102}, true);
  }
  zrmtest::AssertRecorder production(0);
  Utils::SysToPlane(KRNMathAxis(), -1);
  EXPECT_TRUE(production.reports.size() == 1 && production.reports[0].kind == zrmtest::AssertReport::Failure);
}

// Every component of every type in turn: half the tolerance keeps two values equal, a thousand
// tolerances or one float step (single precision subtracts in float) or a NaN make them unequal;
// from zero, the double just below the tolerance is equal, the tolerance itself not (the test
// is strict). != is the negation, the test symmetric.
template <class T>
bool EqualFrom(const std::vector<double>& a, const std::vector<double>& b) {
  const auto make = [](const std::vector<double>& c) {
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
  };
  const T x = make(a), y = make(b);
  EXPECT_TRUE((x != y) == !(x == y) && (x == y) == (y == x));
  return x == y;
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
    for (std::size_t i = 0; i < type.count; ++i) {
      auto with = [i](std::vector<double> c, double value) {
        c[i] = value;
        return c;
      };
      const double step = type.single ? double(std::nextafter(float(base[i]), 1e9f)) : base[i] + 1e3 * kTol,
                   below = type.single ? 0.99 * kTol : std::nextafter(kTol, 0.0);
      EXPECT_TRUE(type.equal(base, with(base, base[i] + 0.5 * kTol)) && type.equal(zero, with(zero, below)))
          << type.count << " " << i;
      EXPECT_FALSE(type.equal(base, with(base, step)) || type.equal(base, with(base, zrmtest::kNaN)) ||
                   type.equal(zero, with(zero, kTol)) || type.equal(zero, with(zero, -kTol)))
          << type.count << " " << i;
    }
  }
}

// A float direction becomes a unit direction by the unit-direction rule, bit for bit: kept when
// its widened squared length is exactly 1, (1, 0, 0) when 0, otherwise each widened component
// divided by the length; the other conversions widen or copy the components exactly.
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
    const KRNMathPointf pf(f.x, f.y, f.z);
    const KRNMathVectorf vf = ZRMUtPointfToVectorf(pf);
    const P wide = ZRMUtMathPointFtoMathPoint(pf);
    EXPECT_TRUE(Near(wide, V(x, y, z), 0) && Near(ZRMUtPointToVector(wide), wide, 0) && Near(vf, pf, 0) &&
                Near(ZRMUtVectorfToPointf(vf), pf, 0));
  }
}

// Each map: Has gives the value (or false, with -1 for ids and the output left for values),
// Add overwrites, Remove erases; Count adds the four counted maps only. (The stored spline is a
// B-spline value: fuzz_geometry.)
TEST(SplineCondition, MapsAndCount) {
  using C = ZRMUtSplineCondition;
  C record;
  ZRMUtUniqueId one(1), two(2), out(7);
  double value = 7;
  for (const auto& [add, has, remove] :
       {std::tuple(&C::AddTangentLines, &C::HasTangentLine, &C::RemoveTangentLine),
        {&C::AddSecondDerivativeLines, &C::HasSecondDerivativeLine, &C::RemoveSecondDerivativeLines},
        {&C::AddHandleDims, &C::HasHandleDim, &C::RemoveHandleDim}}) {
    (record.*add)(3, one);
    (record.*add)(3, two);
    (record.*remove)(4);
    EXPECT_TRUE((record.*has)(3, out) && out.Value() == 2 && !(record.*has)(0, out) && out.Value() == -1);
  }
  for (const auto& [add, has] : {std::pair(&C::AddTangentialSpeeds, &C::HasTangentialSpeed),
                                 {&C::AddSecondDerivativeNorms, &C::HasSecondDerivativeNorm}}) {
    (record.*add)(3, 0.5);
    (record.*add)(3, 1.5);
    EXPECT_TRUE((record.*has)(3, value) && value == 1.5 && !(record.*has)(0, value) && value == 1.5);
  }
  EXPECT_EQ(record.Count(), 4);
  record.RemoveTangentLine(3);
  record.RemoveSecondDerivativeLines(3);
  record.RemoveTangentialSpeeds(3);
  record.RemoveSecondDerivativeNorms(3);
  EXPECT_TRUE(record.Count() == 0 && !record.HasTangentLine(3, out) && !record.HasSecondDerivativeLine(3, out) &&
              !record.HasTangentialSpeed(3, value) && !record.HasSecondDerivativeNorm(3, value) &&
              record.HasHandleDim(3, out));
  record.AddHandleRatios(0, 0.25);
  record.AddHandleRatios(0, 0.75);
  record.AddTangentHandleEnds(0, one, two);
  record.AddTangentHandleEnds(0, two, one);
  EXPECT_TRUE(record.GetHandleRatios()[0] == 0.75 && record.GetHandleRatios().Size() == 1 &&
              record.GetTangentHandleEnds()[0].first.Value() == 2 &&
              record.GetTangentHandleEnds()[0].second.Value() == 1);
}

}  // namespace
