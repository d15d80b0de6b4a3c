// The math value types and helpers against their definitions and analytic models. The
// platform's: the unit-direction rule exactly, checked indexes, and one table of properties
// over seeded random rotations, half-turns, scalings and their products (inverses, composition,
// Rodrigues' formula, fixed points; the library's rotation helpers too). The library's
// perpendiculars and rigid motions, the roles of the plane/axis conversions and their reported
// index check, the tolerant equality of the math value types, and the spline condition record.
#include "GeometryTestSupport.h"
#include "KRNMathSetOfPoints.h"
#include "KRNRawColldouble.h"
#include "ZRMUtGeomUtils.h"
#include "ZRMUtMathOperators.h"
#include "ZRMUtSplineCondition.h"
#include "ZRMUtTolerance.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>
#include <vector>

namespace {

using zrmtest::Near;
using V = KRNMathVector;
using P = KRNMathPoint;
using D = KRNMathDirection;
using Mat = KRNMath3x3Matrix;
using Xf = KRNMathTransformation;
using Utils = ZRMUtGeomUtils;
const double kTol = ZRMUtTolerance().AbsoluteTol();

Mat Diagonal(double a, double b, double c) { return Mat(V(a, 0, 0), V(0, b, 0), V(0, 0, c)); }

// A squared length of exactly 1 keeps the components; otherwise each component is
// divided by the length (not multiplied by its reciprocal), zero giving (1, 0, 0). A bad index of
// a point set (from 0) or a raw collection (from 1) raises IndexOutOfRange.
TEST(KRNMathValues, UnitDirectionsAndCheckedIndexes) {
  zrmtest::Random random(11);
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    V v = i % 100 == 0 ? V(-0.0, 0.0, -0.0) : random.Vector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 1) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, length = std::sqrt(s);
    const V expected = s == 1.0 ? v : s == 0.0 ? V(1, 0, 0) : V(v.x / length, v.y / length, v.z / length);
    EXPECT_TRUE(Near(expected, KRNMathDirection(v), 0)) << i;
  }
  EXPECT_TRUE(zrmtest::CatchRaised([] { KRNMathSetOfPoints().SetPoint(P(), 0); }).code == ZRMUtError::IndexOutOfRange &&
              zrmtest::CatchRaised([] { static_cast<void>(KRNRawColldouble()[1]); }).file == "KRNRawColldouble");
}

// Every map has an inverse that undoes it and composes as maps do. Rotations follow Rodrigues'
// formula about their axis line, and so do the rotation helpers; a half-turn about a point and a vector fixes the
// point, reverses the vector and keeps the unit axis across it and the world axis of its smallest component (x first on
// a tie); a uniform scaling is recovered with its center and factor.
TEST(KRNMathTransformation, PropertiesOfRandomMaps) {
  zrmtest::Random random(42);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const P origin = random.Point(), p = random.Point();
    const D unit = random.Direction();
    const V axis = V(unit) * random.Uniform(0.1, 5);
    const double angle = random.Uniform(-2 * KRNPI, 2 * KRNPI), factor = random.Uniform(0.05, 0.95) * (i % 2 ? 1 : 20);
    const KRNMathLine line(origin, axis);
    const Xf rotation(angle, line), halfTurn(origin, axis), scaling = zrmtest::Scaling(factor, origin);
    EXPECT_TRUE(Near(rotation * p, origin + zrmtest::Rodrigues(p - origin, axis, angle), 1e-11) &&
                Near(Utils::GetRotatedPoint(line, angle, p), rotation * p, 1e-12) &&
                Near(Utils::GetRotatedVector(line, angle, D(p - origin)), rotation * V(D(p - origin)), 1e-12));
    const V a = std::fabs(axis.x) <= std::min(std::fabs(axis.y), std::fabs(axis.z)) ? V(1, 0, 0)
                : std::fabs(axis.y) <= std::fabs(axis.z)                            ? V(0, 1, 0)
                                                                                    : V(0, 0, 1),
            across = (1.0 / (axis ^ a).Norm()) * (axis ^ a);
    EXPECT_TRUE(Near(halfTurn * origin, origin, 1e-12) && Near(halfTurn * axis, -1.0 * axis, 1e-12) &&
                Near(halfTurn * across, across, 1e-12));
    P center;
    double found = 0.0;
    ASSERT_TRUE(scaling.IsScaling(center, found));
    EXPECT_TRUE(std::fabs(found - factor) <= 1e-14 * factor && Near(center, origin, 1e-9));
    for (const Xf& t : {rotation, halfTurn, scaling, rotation * scaling * halfTurn}) {
      Xf inverse;
      ASSERT_TRUE(t.GetInverse(inverse));
      EXPECT_TRUE(Near(inverse * (t * p), p, 1e-9) && (t * inverse).IsIdentity() &&
                  Near(t.Inverse() * p, inverse * p, 0));
      EXPECT_TRUE(Near((t * scaling) * p, t * (scaling * p), 1e-9) && Near(t * (p + axis), t * p + t * axis, 1e-9));
    }
  }
}

// IsIdentity within the tolerance; what is no scaling (the identity is none, our choice) leaves
// IsScaling's outputs alone; singular maps and those whose inverse overflows have none; no axis
// gives the identity.
TEST(KRNMathTransformation, IdentitiesScalingsAndSingularMaps) {
  const Xf identities[] = {Xf(), Xf(V(1e-13, 0, 0)), Xf(KRN2PI, KRNMathLine(P(1, 2, 3), V(1, 1, 1))),
                           Xf(1.0, KRNMathLine(P(3, 3, 3), V())), Xf(P(1, 2, 3), V())},
           others[] = {Xf(V(0, 0, 1e-11)), Xf(Diagonal(1, 1 + 1e-11, 1)), Xf(Diagonal(2, 2, 2.001)),
                       zrmtest::Scaling(-1, P(1, 0, 0)), zrmtest::Scaling(0, P(1, 0, 0))};
  for (const Xf& t : identities) EXPECT_TRUE(t.IsIdentity()) << &t - identities;
  for (const Xf* t : {identities, others})
    for (int i = 0; i < 5; ++i) {
      P center(7, 7, 7);
      double factor = 42;
      EXPECT_TRUE(!t[i].IsScaling(center, factor) && Near(center, V(7, 7, 7), 0) && factor == 42 &&
                  (t == identities || !t[i].IsIdentity()))
          << i;
    }
  Xf untouched(V(9, 9, 9));
  for (const Mat& m : {Diagonal(1, 1, 0), Diagonal(1e-200, 1e-200, 1e-200), Diagonal(1e-105, 1e-105, 1e-105)})
    EXPECT_FALSE(Xf(m).GetInverse(untouched));  // singular, a determinant of 0, an overflowing inverse
  EXPECT_TRUE(Near(untouched.GetTranslation(), V(9, 9, 9), 0) &&
              zrmtest::CatchRaised([] { static_cast<void>(Mat()(3, 0)); }).code == ZRMUtError::IndexOutOfRange);
}

// Perpendiculars (of the length of v's part across (1, 0, 0); across (0, 1, 0) for v along x;
// (1, 0, 0) for zero); the motion from
// (P1, D1) to (P2, D2) is rigid and carries P1 to P2 and D1 onto D2, for random, equal (a
// translation), opposite and nearly parallel directions.
TEST(GeomUtils, PerpendicularsAndMotionsAgainstModels) {
  EXPECT_TRUE(Near(Utils::GetPerpendicularVector(V(-5, 0, 0)), V(0, 0, 5), 0) &&
              Near(Utils::GetPerpendicularVector(V()), V(1, 0, 0), 0));
  zrmtest::Random random(42);
  for (long i = 0; i < zrmtest::Scaled(1500); ++i) {
    const V v = random.Vector(), perpendicular = Utils::GetPerpendicularVector(v);
    EXPECT_TRUE(std::fabs(perpendicular * v) <= 1e-12 * (v * v) &&
                std::fabs(perpendicular.Norm() - std::hypot(v.y, v.z)) <= 1e-12 * v.Norm());
    const P p = random.Point(), P1 = random.Point(), P2 = random.Point();
    const D D1 = random.Direction();
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
// SysToPlane takes the plane across axis k. An index outside 0..2 is reported by both and
// reduced modulo 3.
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
    EXPECT_EQ(recorder.reports[2].line, 102);  // SysToPlane's, after PlaneToSys's
    recorder.reports.resize(2);
    zrmtest::ExpectCheckReport(recorder.reports, {"k >= 0 && k <= 2", "Axis index out of range", file, 101}, true);
  }
}

// Every component in turn, for a point, an axis and a float direction: half the
// tolerance keeps two values equal, a thousand tolerances or one float step (single precision
// subtracts in float) or a NaN make them unequal; from zero, the double just below the tolerance
// is equal, the tolerance itself not (the test is strict). != is the negation, the test symmetric.
template <class T>
bool EqualFrom(const std::vector<double>& a, const std::vector<double>& b) {
  const auto make = [](const std::vector<double>& c) {
    if constexpr (std::is_same_v<T, KRNMathAxis>)
      return T(P(c[0], c[1], c[2]), V(c[3], c[4], c[5]), V(c[6], c[7], c[8]), V(c[9], c[10], c[11]));
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
    bool single;
    bool (*equal)(const std::vector<double>&, const std::vector<double>&);
  } types[] = {{3, false, EqualFrom<P>}, {12, false, EqualFrom<KRNMathAxis>}, {3, true, EqualFrom<KRNMathDirectionf>}};
  for (const auto& [count, single, equal] : types) {
    std::vector<double> base(count), zero(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * double(i + 1);
    for (std::size_t i = 0; i < count; ++i) {
      auto with = [i](std::vector<double> c, double value) {
        c[i] = value;
        return c;
      };
      const double step = single ? double(std::nextafter(float(base[i]), 1e9f)) : base[i] + 1e3 * kTol,
                   below = single ? 0.99 * kTol : std::nextafter(kTol, 0.0);
      EXPECT_TRUE(equal(base, with(base, base[i] + 0.5 * kTol)) && equal(zero, with(zero, below))) << i;
      EXPECT_FALSE(equal(base, with(base, step)) || equal(base, with(base, zrmtest::kNaN)) ||
                   equal(zero, with(zero, kTol)) || equal(zero, with(zero, -kTol)))
          << count << " " << i;
    }
  }
}

// Has gives the value (or false, with -1 for ids and the output left for values); Add
// overwrites; Count adds the tangent lines and speeds and the second-derivative lines and norms,
// not the handle dimensions; Remove erases.
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
  EXPECT_TRUE(record.Count() == 3 && !record.HasTangentLine(3, out));
}

}  // namespace
