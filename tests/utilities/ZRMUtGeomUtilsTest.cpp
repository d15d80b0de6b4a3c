// ZRMUtGeomUtils against analytic models: orthogonality, Rodrigues' rotation formula, rigid
// motions, and the role tables of the plane/axis conversions with their reported index check.
#include "KRNMathTestSupport.h"
#include "ZRMTestSupport.h"
#include "ZRMUtGeomUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;
using krnmathtest::Rodrigues;
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Dir = KRNMathDirection;
using Utils = ZRMUtGeomUtils;

constexpr double kPi = 3.14159265358979323846;

TEST(ZRMUtGeomUtils, PerpendicularVector) {
  const struct {
    Vec v, expected;
  } cases[] = {
      {Vec(0, 0, 2), Vec(0, -2, 0)},   // (1,0,0) ^ v
      {Vec(1, 2, 3), Vec(0, -3, 2)},   // (1,0,0) ^ v
      {Vec(3, 0, 0), Vec(0, 0, -3)},   // parallel to (1,0,0): (0,1,0) ^ v
      {Vec(-5, 0, 0), Vec(0, 0, 5)},   // parallel to (1,0,0): (0,1,0) ^ v
      {Vec(0, 0, 0), Vec(1, 0, 0)},    // parallel to both by the platform's test
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
const KRNMathPlane kPlane(kOrigin, Vec(2, 0, 0), Vec(1, 3, 0));
const KRNMathAxis kAxis(kOrigin, Vec(1, 2, 0), Vec(0, 1, 5), Vec(3, 0, 1));

void ExpectSame(const KRNMathPlane& expected, const KRNMathPlane& actual) {
  ExpectNear(expected.GetOrigin(), actual.GetOrigin(), 0.0);
  ExpectNear(expected.GetFirstDirection(), actual.GetFirstDirection(), 0.0);
  ExpectNear(expected.GetSecondDirection(), actual.GetSecondDirection(), 0.0);
}
void ExpectSame(const KRNMathAxis& expected, const KRNMathAxis& actual) {
  ExpectSame(KRNMathPlane(expected.GetOrigin(), expected.GetFirstDirection(), expected.GetSecondDirection()),
             KRNMathPlane(actual.GetOrigin(), actual.GetFirstDirection(), actual.GetSecondDirection()));
  ExpectNear(expected.GetThirdDirection(), actual.GetThirdDirection(), 0.0);
}

TEST(ZRMUtGeomUtils, PlaneToSysAndSysToPlaneRolesForEachIndex) {
  zrmtest::AssertRecorder recorder;
  const Vec U(2, 0, 0), V(1, 3, 0), W(0, 0, 1);  // W: unit vector of U ^ V
  const Vec X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathAxis sys[] = {KRNMathAxis(kOrigin, V, W, U), KRNMathAxis(kOrigin, W, U, V), KRNMathAxis(kOrigin, U, V, W)};
  const KRNMathPlane planes[] = {KRNMathPlane(kOrigin, Y, Z), KRNMathPlane(kOrigin, Z, X), KRNMathPlane(kOrigin, X, Y)};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExpectSame(sys[k], Utils::PlaneToSys(kPlane, k));
    ExpectSame(planes[k], Utils::SysToPlane(kAxis, k));
  }
  // The standard frame: k = 2 gives the xy plane and back the standard frame (the conversions
  // undo each other for k = 2 only); k = 0 turns the roles.
  const KRNMathPlane xy = Utils::SysToPlane(KRNMathAxis(), 2);
  ExpectSame(KRNMathPlane(Pnt(), Vec(1, 0, 0), Vec(0, 1, 0)), xy);
  ExpectSame(KRNMathAxis(Pnt(), Vec(1, 0, 0), Vec(0, 1, 0), Vec(0, 0, 1)), Utils::PlaneToSys(xy, 2));
  ExpectSame(KRNMathAxis(Pnt(), Vec(0, 1, 0), Vec(0, 0, 1), Vec(1, 0, 0)), Utils::PlaneToSys(xy, 0));
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
    const KRNMathAxis sys = Utils::PlaneToSys(kPlane, c.k);
    const KRNMathPlane plane = Utils::SysToPlane(kAxis, c.k);
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
  Utils::SysToPlane(KRNMathAxis(), -1);
  ASSERT_EQ(1u, production.reports.size());
  EXPECT_EQ(zrmtest::AssertReport::Failure, production.reports[0].kind);
}

}  // namespace
