// The geometric helpers against analytic models (orthogonality, Rodrigues' rotation formula,
// rigid motions, the role tables of the plane/axis conversions with their reported index check),
// the tolerant equality of the math value types and the precision conversions.
#include "KRNMathTestSupport.h"
#include "ZRMTestSupport.h"
#include "ZRMUtGeomUtils.h"
#include "ZRMUtMathOperators.h"
#include "ZRMUtTolerance.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;
using krnmathtest::Rodrigues;
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Dir = KRNMathDirection;
using Axis = KRNMathAxis;
using Plane = KRNMathPlane;
using Utils = ZRMUtGeomUtils;
using Components = std::vector<double>;

const double kTol = ZRMUtTolerance().AbsoluteTol();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr double kPi = 3.14159265358979323846;

TEST(ZRMUtGeomUtils, PerpendicularVector) {
  const struct {
    Vec v, expected;
  } cases[] = {
      {Vec(0, 0, 2), Vec(0, -2, 0)},  // (1,0,0) ^ v
      {Vec(1, 2, 3), Vec(0, -3, 2)},  // (1,0,0) ^ v
      {Vec(3, 0, 0), Vec(0, 0, -3)},  // parallel to (1,0,0): (0,1,0) ^ v
      {Vec(-5, 0, 0), Vec(0, 0, 5)},  // parallel to (1,0,0): (0,1,0) ^ v
      {Vec(0, 0, 0), Vec(1, 0, 0)},   // parallel to both by the platform's test
  };
  for (const auto& c : cases) ExpectNear(c.expected, Utils::GetPerpendicularVector(c.v), 0.0);
  Random random(1234);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const Vec v = random.Vector(), p = Utils::GetPerpendicularVector(v);
    EXPECT_LE(std::fabs(p * v), 1e-12 * v.SquareNorm()) << i;
    // The length is that of v's component across (1, 0, 0).
    EXPECT_NEAR(p.Norm(), std::sqrt(v.y * v.y + v.z * v.z), 1e-12 * v.Norm()) << i;
  }
}

TEST(ZRMUtGeomUtils, RotatedPointAndVectorMatchRodrigues) {
  Random random(42);
  for (long i = 0; i < zrmtest::Scaled(1000); ++i) {
    const KRNMathLine axis(random.Point(), random.Vector(3.0));  // not normalised
    const double a = random.Uniform(-2.0 * kPi, 2.0 * kPi);
    const Pnt p = random.Point();
    ExpectNear(axis.GetOrigin() + Rodrigues(p - axis.GetOrigin(), axis.GetDirection(), a),
               Utils::GetRotatedPoint(axis, a, p), 1e-11);
    const Dir d = random.Direction(), rotated = Utils::GetRotatedVector(axis, a, d);
    ExpectNear(Rodrigues(d, axis.GetDirection(), a), rotated, 1e-12);
    EXPECT_NEAR(1.0, Vec(rotated).SquareNorm(), 1e-15);
  }
  const KRNMathLine zAxis(Pnt(5, -2, 1), Vec(0, 0, 1));
  ExpectNear(Vec(0, 1, 0), Utils::GetRotatedVector(zAxis, kPi / 2.0, Dir(1, 0, 0)), 1e-15);
  ExpectNear(Pnt(5, -1, 1), Utils::GetRotatedPoint(zAxis, kPi / 2.0, Pnt(6, -2, 1)), 1e-14);
}

// The motion from (P1, D1) to (P2, D2): it maps P1 to P2 and D1 onto D2 and is rigid
// (orthonormal linear part, determinant +1).
KRNMathTransformation ExpectCarries(const Pnt& P1, const Dir& D1, const Pnt& P2, const Dir& D2, Random& random) {
  KRNMathTransformation T;
  Utils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
  ExpectNear(P2, T * P1, 1e-11);
  ExpectNear(D2, T * Vec(D1), 1e-9);
  const KRNMath3x3Matrix& M = T.GetMatrix();
  EXPECT_NEAR(1.0, M.Determinant(), 1e-12);
  ExpectNear(KRNMath3x3Matrix(), M.Transposed() * M, 1e-12);
  const Pnt a = random.Point(), b = random.Point();
  EXPECT_NEAR(a.DistanceTo(b), (T * a).DistanceTo(T * b), 1e-11);
  return T;
}

// Random pairs of directions, equal directions (a pure translation) and opposite ones.
TEST(ZRMUtGeomUtils, TransformationOfPointsAndDirections) {
  Random random(2024);
  for (long i = 0; i < zrmtest::Scaled(1500); ++i) {
    SCOPED_TRACE(i);
    const Pnt P1 = random.Point(), P2 = random.Point();
    const Dir D1 = random.Direction();
    const Dir D2 = i % 3 == 0 ? random.Direction() : i % 3 == 1 ? D1 : Dir(-Vec(D1));
    const KRNMathTransformation T = ExpectCarries(P1, D1, P2, D2, random);
    if (i % 3 != 1) continue;
    ExpectNear(KRNMath3x3Matrix(), T.GetMatrix(), 0.0);
    ExpectNear(P2 - P1, T.GetTranslation(), 1e-12);
  }
  const KRNMathTransformation T = ExpectCarries(Pnt(1, 2, 3), Dir(1, 0, 0), Pnt(-4, 0, 7), Dir(0, 1, 0), random);
  ExpectNear(Vec(0, 0, 1), T * Vec(0, 0, 1), 1e-15);  // the rotation axis stays
}

// Directions a hair's breadth apart, just outside the parallelism tolerance: the rounded dot
// product may exceed 1, and the motion must still be finite and carry D1 onto D2.
TEST(ZRMUtGeomUtils, TransformationForNearlyParallelDirectionsStaysFinite) {
  Random random(11);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const Dir D1 = random.Direction();
    const Vec across = Utils::GetPerpendicularVector(D1);
    const Dir D2(Vec(D1) + (3e-10 / across.Norm()) * across);
    if (D1.IsParallel(D2)) continue;
    KRNMathTransformation T;
    const Pnt P1 = random.Point(), P2 = random.Point();
    Utils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    const Pnt image = T * P1;
    ASSERT_TRUE(std::isfinite(image.x) && std::isfinite(image.y) && std::isfinite(image.z)) << i;
    ExpectNear(P2, image, 1e-9);
    ExpectNear(D2, T * Vec(D1), 1e-7);
  }
}

// A plane with non-orthogonal, non-unit directions and an axis system with three distinct
// directions, so every role is told apart.
const Pnt kOrigin(1, -2, 3);
const Plane kPlane(kOrigin, Vec(2, 0, 0), Vec(1, 3, 0));
const Axis kAxis(kOrigin, Vec(1, 2, 0), Vec(0, 1, 5), Vec(3, 0, 1));

void ExpectSame(const Plane& expected, const Plane& actual) {
  ExpectNear(expected.GetOrigin(), actual.GetOrigin(), 0.0);
  ExpectNear(expected.GetFirstDirection(), actual.GetFirstDirection(), 0.0);
  ExpectNear(expected.GetSecondDirection(), actual.GetSecondDirection(), 0.0);
}
void ExpectSame(const Axis& expected, const Axis& actual) {
  ExpectSame(Plane(expected.GetOrigin(), expected.GetFirstDirection(), expected.GetSecondDirection()),
             Plane(actual.GetOrigin(), actual.GetFirstDirection(), actual.GetSecondDirection()));
  ExpectNear(expected.GetThirdDirection(), actual.GetThirdDirection(), 0.0);
}

TEST(ZRMUtGeomUtils, PlaneToSysAndSysToPlaneRolesForEachIndex) {
  zrmtest::AssertRecorder recorder;
  const Vec U(2, 0, 0), V(1, 3, 0), W(0, 0, 1);  // W: unit vector of U ^ V
  const Vec X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const Axis sys[] = {Axis(kOrigin, V, W, U), Axis(kOrigin, W, U, V), Axis(kOrigin, U, V, W)};
  const Plane planes[] = {Plane(kOrigin, Y, Z), Plane(kOrigin, Z, X), Plane(kOrigin, X, Y)};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExpectSame(sys[k], Utils::PlaneToSys(kPlane, k));
    ExpectSame(planes[k], Utils::SysToPlane(kAxis, k));
  }
  // The standard frame: k = 2 gives the xy plane and back the standard frame (the conversions
  // undo each other for k = 2 only); k = 0 turns the roles.
  const Plane xy = Utils::SysToPlane(Axis(), 2);
  ExpectSame(Plane(Pnt(), Vec(1, 0, 0), Vec(0, 1, 0)), xy);
  ExpectSame(Axis(Pnt(), Vec(1, 0, 0), Vec(0, 1, 0), Vec(0, 0, 1)), Utils::PlaneToSys(xy, 2));
  ExpectSame(Axis(Pnt(), Vec(0, 1, 0), Vec(0, 0, 1), Vec(1, 0, 0)), Utils::PlaneToSys(xy, 0));
  EXPECT_TRUE(recorder.reports.empty());  // indices in range are not reported
}

// An index outside 0..2 is reported (failure report, then the runtime assertion in development
// stage) and reduced modulo 3.
TEST(ZRMUtGeomUtils, AxisIndexOutsideTheRangeIsReportedAndReduced) {
  const struct {
    int k, reduced;
  } cases[] = {{-1, 2}, {-2, 1}, {-3, 0}, {3, 0}, {4, 1}, {5, 2}, {7, 1}, {INT_MIN, 1}, {INT_MAX, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k);
    zrmtest::AssertRecorder recorder;
    const Axis sys = Utils::PlaneToSys(kPlane, c.k);
    const Plane plane = Utils::SysToPlane(kAxis, c.k);
    ASSERT_EQ(4u, recorder.reports.size());
    const int lines[] = {101, 101, 102, 102};
    for (int r = 0; r < 4; ++r) {
      const zrmtest::AssertReport& report = recorder.reports[static_cast<std::size_t>(r)];
      EXPECT_EQ(r % 2 == 0 ? zrmtest::AssertReport::Failure : zrmtest::AssertReport::Runtime, report.kind);
      EXPECT_EQ("ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils", report.file);
      EXPECT_EQ(lines[r], report.line);
    }
    EXPECT_FALSE(recorder.reports[0].condition);
    EXPECT_EQ("k >= 0 && k <= 2", recorder.reports[0].expression);
    EXPECT_EQ("Axis index out of range", recorder.reports[0].message);
    EXPECT_EQ(L"(\"Axis index out of range\", k >= 0 && k <= 2)", recorder.reports[1].text);
    ExpectSame(Utils::PlaneToSys(kPlane, c.reduced), sys);
    ExpectSame(Utils::SysToPlane(kAxis, c.reduced), plane);
  }
  zrmtest::AssertRecorder production(0);  // no runtime assertion outside development stage
  Utils::SysToPlane(Axis(), -1);
  ASSERT_EQ(1u, production.reports.size());
  EXPECT_EQ(zrmtest::AssertReport::Failure, production.reports[0].kind);
}

// Builds a T from its stored components, in comparison order.
template <class T>
T Make(const Components& c);
template <>
KRNMathPoint Make(const Components& c) {
  return {c[0], c[1], c[2]};
}
template <>
KRNMathVector Make(const Components& c) {
  return {c[0], c[1], c[2]};
}
template <>
KRNMathPoint2D Make(const Components& c) {
  return {c[0], c[1]};
}
template <>
KRNMathPointf Make(const Components& c) {
  return {float(c[0]), float(c[1]), float(c[2])};
}
template <>
KRNMathVectorf Make(const Components& c) {
  return {float(c[0]), float(c[1]), float(c[2])};
}
template <>
KRNMathDirectionf Make(const Components& c) {
  return {float(c[0]), float(c[1]), float(c[2])};
}
template <>
KRNMathBox2D Make(const Components& c) {  // low (c0, c1), high (c2, c3) when c0 <= c2 and c1 <= c3
  return {KRNMathPoint2D(c[0], c[1]), KRNMathPoint2D(c[2], c[3])};
}
template <>
Plane Make(const Components& c) {
  return {KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8])};
}
template <>
Axis Make(const Components& c) {
  return {KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8]),
          KRNMathVector(c[9], c[10], c[11])};
}

// a == b, after checking that != is its negation and that the test is symmetric.
template <class T>
bool Equal(const T& x, const T& y) {
  const bool equal = x == y;
  EXPECT_EQ(!equal, x != y);
  EXPECT_EQ(equal, y == x);
  return equal;
}
template <class T>
bool EqualFrom(const Components& a, const Components& b) {
  return Equal(Make<T>(a), Make<T>(b));
}

// For every component of every type in turn: from distinct values, half the tolerance keeps the
// values equal and 1000 tolerances (double) or one float step (single precision, where the
// difference is formed in float) make them unequal, as does a NaN; from zeros, 0.99 of the
// tolerance is equal and the tolerance itself is not (the test is strict).
TEST(ZRMUtMathOperators, EveryComponentOfEveryType) {
  const struct {
    const char* name;
    std::size_t count;
    bool single;
    bool (*equal)(const Components&, const Components&);
  } types[] = {
      {"KRNMathPoint", 3, false, EqualFrom<KRNMathPoint>},
      {"KRNMathVector", 3, false, EqualFrom<KRNMathVector>},
      {"KRNMathPoint2D", 2, false, EqualFrom<KRNMathPoint2D>},
      {"KRNMathBox2D", 4, false, EqualFrom<KRNMathBox2D>},
      {"KRNMathPlane", 9, false, EqualFrom<Plane>},
      {"KRNMathAxis", 12, false, EqualFrom<Axis>},
      {"KRNMathPointf", 3, true, EqualFrom<KRNMathPointf>},
      {"KRNMathVectorf", 3, true, EqualFrom<KRNMathVectorf>},
      {"KRNMathDirectionf", 3, true, EqualFrom<KRNMathDirectionf>},
  };
  for (const auto& type : types) {
    Components base(type.count), zero(type.count, 0.0);
    for (std::size_t i = 0; i < type.count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * static_cast<double>(i + 1);
    if (type.count == 4) base = {-1.0, -2.0, 3.0, 4.0};  // low below high
    EXPECT_TRUE(type.equal(base, base)) << type.name;
    for (std::size_t i = 0; i < type.count; ++i) {
      SCOPED_TRACE(testing::Message() << type.name << " component " << i);
      Components other = base;
      other[i] = base[i] + 0.5 * kTol;
      EXPECT_TRUE(type.equal(base, other));
      other[i] = type.single ? std::nextafter(float(base[i]), 1e9f) : base[i] + 1e3 * kTol;
      EXPECT_FALSE(type.equal(base, other));
      other[i] = kNaN;
      EXPECT_FALSE(type.equal(base, other));  // a box ignores that point, so it differs too
      other = zero;
      other[i] = 0.99 * kTol;
      EXPECT_TRUE(type.equal(zero, other));
      other[i] = kTol;
      EXPECT_FALSE(type.equal(zero, other));
      other[i] = -kTol;
      EXPECT_FALSE(type.equal(zero, other));
      if (type.single) continue;
      other[i] = std::nextafter(kTol, 0.0);
      EXPECT_TRUE(type.equal(zero, other));
    }
  }
}

// NaN and infinite components are unequal even to themselves (inf - inf is NaN); the stored
// parameterisation, not the geometric set, is compared.
TEST(ZRMUtMathOperators, NaNInfinityAndParameterisation) {
  const double inf = std::numeric_limits<double>::infinity();
  const float fNaN = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(Equal(KRNMathPoint(kNaN, 0, 0), KRNMathPoint(kNaN, 0, 0)));
  EXPECT_FALSE(Equal(KRNMathPointf(0, fNaN, 0), KRNMathPointf(0, fNaN, 0)));
  EXPECT_FALSE(Equal(KRNMathPoint(inf, 0, 0), KRNMathPoint(inf, 0, 0)));
  const KRNMathPoint o(1, 2, 3);
  const KRNMathVector u(1, 0, 0), v(0, 1, 0), w(0, 0, 1);
  EXPECT_FALSE(Equal(Plane(o, u, v), Plane(o, v, u)));
  EXPECT_FALSE(Equal(Axis(o, u, v, w), Axis(o, v, u, w)));
}

// A float direction becomes a unit direction in double precision by the unit-direction rule, bit
// for bit: kept when its widened squared length is exactly 1, (1,0,0) when 0, otherwise each
// widened component divided by the length; the other conversions widen or copy the components
// exactly.
TEST(ZRMUtMathOperators, Conversions) {
  const struct {
    KRNMathDirectionf from;
    KRNMathVector expected;
  } cases[] = {
      {KRNMathDirectionf(0, 0, 0), KRNMathVector(1, 0, 0)},
      {KRNMathDirectionf(0, 3, 4), KRNMathVector(0, 3.0 / 5.0, 4.0 / 5.0)},
      {KRNMathDirectionf(0, 0, -1), KRNMathVector(0, 0, -1)},
      {KRNMathDirectionf(-2, 0, 0), KRNMathVector(-1, 0, 0)},
  };
  for (const auto& c : cases) {
    const KRNMathDirection d = ZRMUtDirectionFtoDirection(c.from);
    EXPECT_TRUE(d.x == c.expected.x && d.y == c.expected.y && d.z == c.expected.z) << c.from.x << c.from.y << c.from.z;
  }
  Random random(41);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const Vec v = random.NonZeroVector(i % 2 == 0 ? 2.0 : 1e3);
    const KRNMathDirectionf f(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
    const double x = f.x, y = f.y, z = f.z, s = x * x + y * y + z * z, length = std::sqrt(s);
    const KRNMathDirection d = ZRMUtDirectionFtoDirection(f);
    if (s == 1.0)
      EXPECT_TRUE(d.x == x && d.y == y && d.z == z) << i;
    else
      EXPECT_TRUE(d.x == x / length && d.y == y / length && d.z == z / length) << i;
  }
  const KRNMathPointf pf(0.1f, -2.5f, 3e-8f);
  const KRNMathPoint p = ZRMUtMathPointFtoMathPoint(pf);
  EXPECT_TRUE(p.x == double(0.1f) && p.y == -2.5 && p.z == double(3e-8f));  // widened, not re-rounded
  const KRNMathVector v = ZRMUtPointToVector(KRNMathPoint(1.5, -0.25, 1e300));
  EXPECT_TRUE(v.x == 1.5 && v.y == -0.25 && v.z == 1e300);
  const KRNMathVectorf vf = ZRMUtPointfToVectorf(pf);
  EXPECT_TRUE(vf.x == pf.x && vf.y == pf.y && vf.z == pf.z);
  const KRNMathPointf back = ZRMUtVectorfToPointf(vf);
  EXPECT_TRUE(back.x == pf.x && back.y == pf.y && back.z == pf.z);
}

}  // namespace
