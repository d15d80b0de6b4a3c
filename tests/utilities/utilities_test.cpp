// The geometric helpers against analytic models (orthogonality, Rodrigues' rotation formula,
// rigid motions, the roles of the plane/axis conversions and their reported index check), the
// tolerant equality of the math value types, and the spline condition record's maps.
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
    recorder.reports.resize(2);  // PlaneToSys's; SysToPlane's follow
    zrmtest::ExpectCheckReport(recorder.reports, {"k >= 0 && k <= 2", "Axis index out of range", file, 101}, true);
  }
  zrmtest::AssertRecorder production(0);
  Utils::SysToPlane(KRNMathAxis(), -1);
  EXPECT_TRUE(production.reports.size() == 1 && production.reports[0].kind == zrmtest::AssertReport::Failure &&
              production.reports[0].line == 102);
}

// Every component in turn, for a point, a 2-D box, an axis and a float direction: half the
// tolerance keeps two values equal, a thousand tolerances or one float step (single precision
// subtracts in float) or a NaN make them unequal; from zero, the double just below the tolerance
// is equal, the tolerance itself not (the test is strict). != is the negation, the test symmetric.
template <class T>
bool EqualFrom(const std::vector<double>& a, const std::vector<double>& b) {
  const auto make = [](const std::vector<double>& c) {
    if constexpr (std::is_same_v<T, KRNMathAxis>)
      return T(P(c[0], c[1], c[2]), V(c[3], c[4], c[5]), V(c[6], c[7], c[8]), V(c[9], c[10], c[11]));
    else if constexpr (std::is_same_v<T, KRNMathBox2D>)
      return T(KRNMathPoint2D(c[0], c[1]), KRNMathPoint2D(c[2], c[3]));
    else if constexpr (std::is_same_v<T, P>)
      return T(c[0], c[1], c[2]);
    else
      return T(float(c[0]), float(c[1]), float(c[2]));
  };
  const T x = make(a), y = make(b);
  EXPECT_TRUE((x != y) == !(x == y) && (x == y) == (y == x));
  return x == y;
}

TEST(MathOperators, EveryComponentStrictlyWithinTheTolerance) {
  const struct {
    std::size_t count;
    bool (*equal)(const std::vector<double>&, const std::vector<double>&);
  } types[] = {
      {3, EqualFrom<P>}, {4, EqualFrom<KRNMathBox2D>}, {12, EqualFrom<KRNMathAxis>}, {0, EqualFrom<KRNMathDirectionf>}};
  for (const auto& type : types) {
    const bool single = type.count == 0;
    const std::size_t count = single ? 3 : type.count;
    std::vector<double> base(count), zero(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * double(i + 1);
    if (count == 4) base = {-1, -2, 3, 4};  // low below high
    for (std::size_t i = 0; i < count; ++i) {
      auto with = [i](std::vector<double> c, double value) {
        c[i] = value;
        return c;
      };
      const double step = single ? double(std::nextafter(float(base[i]), 1e9f)) : base[i] + 1e3 * kTol,
                   below = single ? 0.99 * kTol : std::nextafter(kTol, 0.0);
      EXPECT_TRUE(type.equal(base, with(base, base[i] + 0.5 * kTol)) && type.equal(zero, with(zero, below))) << i;
      EXPECT_FALSE(type.equal(base, with(base, step)) || type.equal(base, with(base, zrmtest::kNaN)) ||
                   type.equal(zero, with(zero, kTol)) || type.equal(zero, with(zero, -kTol)))
          << count << " " << i;
    }
  }
}

// Has gives the value (or false, with -1 for ids and the output left for values); Add
// overwrites, Remove erases; Count adds the tangent lines and speeds and the second-derivative
// lines and norms, not the handle dimensions. (The stored spline is a B-spline value.)
TEST(SplineCondition, MapsAndCount) {
  ZRMUtSplineCondition record;
  ZRMUtUniqueId one(1), two(2), out(7);
  double value = 7;
  record.AddTangentLines(3, one);
  record.AddTangentLines(3, two);
  record.AddSecondDerivativeLines(1, one);
  record.AddTangentialSpeeds(3, 0.5);
  record.AddSecondDerivativeNorms(2, 1.5);
  record.AddHandleDims(3, one);
  EXPECT_TRUE(record.Count() == 4 && record.HasTangentLine(3, out) && out.Value() == 2 &&
              !record.HasSecondDerivativeLine(3, out) && out.Value() == -1 &&
              record.HasSecondDerivativeNorm(2, value) && value == 1.5 && !record.HasTangentialSpeed(2, value) &&
              value == 1.5 && record.HasHandleDim(3, out));
  record.RemoveTangentLine(3);
  record.RemoveSecondDerivativeNorms(2);
  record.RemoveHandleDim(3);
  EXPECT_TRUE(record.Count() == 2 && !record.HasTangentLine(3, out) && !record.HasSecondDerivativeNorm(2, value) &&
              !record.HasHandleDim(3, out) && record.HasTangentialSpeed(3, value) && value == 0.5);
}

}  // namespace
