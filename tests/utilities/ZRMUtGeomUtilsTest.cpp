// ZRMUtGeomUtils against analytic models: orthogonality, Rodrigues' rotation formula, rigid
// motions, and the role tables of the plane/axis conversions.
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

constexpr double kPi = 3.14159265358979323846;

TEST(ZRMUtGeomUtils, PerpendicularVector) {
  const struct {
    KRNMathVector v, expected;
  } cases[] = {
      {KRNMathVector(0, 0, 2), KRNMathVector(0, -2, 0)},   // (1,0,0) ^ v
      {KRNMathVector(1, 2, 3), KRNMathVector(0, -3, 2)},   // (1,0,0) ^ v
      {KRNMathVector(3, 0, 0), KRNMathVector(0, 0, -3)},   // parallel to (1,0,0): (0,1,0) ^ v
      {KRNMathVector(-5, 0, 0), KRNMathVector(0, 0, 5)},   // parallel to (1,0,0): (0,1,0) ^ v
      {KRNMathVector(0, 0, 0), KRNMathVector(1, 0, 0)},    // parallel to both by the platform's test
  };
  for (const auto& c : cases) ExpectNear(c.expected, ZRMUtGeomUtils::GetPerpendicularVector(c.v), 0.0);
  Random random(1234);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const KRNMathVector v = random.Vector();
    const KRNMathVector p = ZRMUtGeomUtils::GetPerpendicularVector(v);
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
    const KRNMathPoint p = random.Point();
    ExpectNear(axis.GetOrigin() + Rodrigues(p - axis.GetOrigin(), axis.GetDirection(), a),
               ZRMUtGeomUtils::GetRotatedPoint(axis, a, p), 1e-11);
    const KRNMathDirection d = random.Direction();
    const KRNMathDirection rotated = ZRMUtGeomUtils::GetRotatedVector(axis, a, d);
    ExpectNear(Rodrigues(d, axis.GetDirection(), a), rotated, 1e-12);
    EXPECT_NEAR(1.0, KRNMathVector(rotated).SquareNorm(), 1e-15);
  }
  const KRNMathLine zAxis(KRNMathPoint(5, -2, 1), KRNMathVector(0, 0, 1));
  ExpectNear(KRNMathVector(0, 1, 0), ZRMUtGeomUtils::GetRotatedVector(zAxis, kPi / 2.0, KRNMathDirection(1, 0, 0)),
             1e-15);
  ExpectNear(KRNMathPoint(5, -1, 1), ZRMUtGeomUtils::GetRotatedPoint(zAxis, kPi / 2.0, KRNMathPoint(6, -2, 1)), 1e-14);
}

// T maps P1 to P2 and D1 onto D2 and is a rigid motion (orthonormal linear part, determinant +1).
void ExpectCarries(const KRNMathTransformation& T, const KRNMathPoint& P1, const KRNMathDirection& D1,
                   const KRNMathPoint& P2, const KRNMathDirection& D2, Random& random) {
  ExpectNear(P2, T * P1, 1e-11);
  ExpectNear(D2, T * KRNMathVector(D1), 1e-9);
  const KRNMath3x3Matrix& M = T.GetMatrix();
  EXPECT_NEAR(1.0, M.Determinant(), 1e-12);
  const KRNMath3x3Matrix gram = M.Transposed() * M;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(r == c ? 1.0 : 0.0, gram(r, c), 1e-12);
  const KRNMathPoint a = random.Point(), b = random.Point();
  EXPECT_NEAR(a.DistanceTo(b), (T * a).DistanceTo(T * b), 1e-11);
}

// Random pairs of directions, equal directions (a pure translation) and opposite ones.
TEST(ZRMUtGeomUtils, TransformationOfPointsAndDirections) {
  Random random(2024);
  for (long i = 0; i < zrmtest::Scaled(1500); ++i) {
    SCOPED_TRACE(i);
    const KRNMathPoint P1 = random.Point(), P2 = random.Point();
    const KRNMathDirection D1 = random.Direction();
    const KRNMathDirection D2 = i % 3 == 0 ? random.Direction() : i % 3 == 1 ? D1 : KRNMathDirection(-KRNMathVector(D1));
    KRNMathTransformation T;
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    ExpectCarries(T, P1, D1, P2, D2, random);
    if (i % 3 != 1) continue;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(r == c ? 1.0 : 0.0, T.GetMatrix()(r, c));
    ExpectNear(P2 - P1, T.GetTranslation(), 1e-12);
  }
  const KRNMathPoint P1(1, 2, 3), P2(-4, 0, 7);
  KRNMathTransformation T;
  ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, KRNMathDirection(1, 0, 0), P2, KRNMathDirection(0, 1, 0));
  ExpectCarries(T, P1, KRNMathDirection(1, 0, 0), P2, KRNMathDirection(0, 1, 0), random);
  ExpectNear(KRNMathVector(0, 0, 1), T * KRNMathVector(0, 0, 1), 1e-15);  // the rotation axis stays
}

// Directions a hair's breadth apart, just outside the parallelism tolerance: the rounded dot
// product may exceed 1, and the motion must still be finite and carry D1 onto D2.
TEST(ZRMUtGeomUtils, TransformationForNearlyParallelDirectionsStaysFinite) {
  Random random(11);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const KRNMathDirection D1 = random.Direction();
    const KRNMathVector across = ZRMUtGeomUtils::GetPerpendicularVector(D1);
    const KRNMathDirection D2(KRNMathVector(D1) + (3e-10 / across.Norm()) * across);
    if (D1.IsParallel(D2)) continue;
    KRNMathTransformation T;
    const KRNMathPoint P1 = random.Point(), P2 = random.Point();
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    const KRNMathPoint image = T * P1;
    ASSERT_TRUE(std::isfinite(image.x) && std::isfinite(image.y) && std::isfinite(image.z)) << i;
    ExpectNear(P2, image, 1e-9);
    ExpectNear(D2, T * KRNMathVector(D1), 1e-7);
  }
}

// A plane with non-orthogonal, non-unit directions and an axis system with three distinct
// directions, so every role is told apart.
const KRNMathPoint kOrigin(1, -2, 3);
const KRNMathPlane kPlane(kOrigin, KRNMathVector(2, 0, 0), KRNMathVector(1, 3, 0));
const KRNMathAxis kAxis(kOrigin, KRNMathVector(1, 2, 0), KRNMathVector(0, 1, 5), KRNMathVector(3, 0, 1));

void ExpectSameAxis(const KRNMathAxis& expected, const KRNMathAxis& actual) {
  ExpectNear(expected.GetOrigin(), actual.GetOrigin(), 0.0);
  ExpectNear(expected.GetFirstDirection(), actual.GetFirstDirection(), 0.0);
  ExpectNear(expected.GetSecondDirection(), actual.GetSecondDirection(), 0.0);
  ExpectNear(expected.GetThirdDirection(), actual.GetThirdDirection(), 0.0);
}
void ExpectSamePlane(const KRNMathPlane& expected, const KRNMathPlane& actual) {
  ExpectNear(expected.GetOrigin(), actual.GetOrigin(), 0.0);
  ExpectNear(expected.GetFirstDirection(), actual.GetFirstDirection(), 0.0);
  ExpectNear(expected.GetSecondDirection(), actual.GetSecondDirection(), 0.0);
}

TEST(ZRMUtGeomUtils, PlaneToSysAndSysToPlaneRolesForEachIndex) {
  zrmtest::AssertRecorder recorder;
  const KRNMathVector U(2, 0, 0), V(1, 3, 0), W(0, 0, 1);  // W: unit vector of U ^ V
  const KRNMathVector X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathAxis sys[] = {KRNMathAxis(kOrigin, V, W, U), KRNMathAxis(kOrigin, W, U, V), KRNMathAxis(kOrigin, U, V, W)};
  const KRNMathPlane planes[] = {KRNMathPlane(kOrigin, Y, Z), KRNMathPlane(kOrigin, Z, X), KRNMathPlane(kOrigin, X, Y)};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExpectSameAxis(sys[k], ZRMUtGeomUtils::PlaneToSys(kPlane, k));
    ExpectSamePlane(planes[k], ZRMUtGeomUtils::SysToPlane(kAxis, k));
  }
  // The standard frame: k = 2 gives the xy plane and back the standard frame (the conversions
  // undo each other for k = 2 only); k = 0 turns the roles.
  const KRNMathPlane xy = ZRMUtGeomUtils::SysToPlane(KRNMathAxis(), 2);
  ExpectSamePlane(KRNMathPlane(KRNMathPoint(), KRNMathVector(1, 0, 0), KRNMathVector(0, 1, 0)), xy);
  ExpectSameAxis(KRNMathAxis(KRNMathPoint(), KRNMathVector(1, 0, 0), KRNMathVector(0, 1, 0), KRNMathVector(0, 0, 1)),
                 ZRMUtGeomUtils::PlaneToSys(xy, 2));
  ExpectSameAxis(KRNMathAxis(KRNMathPoint(), KRNMathVector(0, 1, 0), KRNMathVector(0, 0, 1), KRNMathVector(1, 0, 0)),
                 ZRMUtGeomUtils::PlaneToSys(xy, 0));
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
    const KRNMathAxis sys = ZRMUtGeomUtils::PlaneToSys(kPlane, c.k);
    const KRNMathPlane plane = ZRMUtGeomUtils::SysToPlane(kAxis, c.k);
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
    ExpectSameAxis(ZRMUtGeomUtils::PlaneToSys(kPlane, c.reduced), sys);
    ExpectSamePlane(ZRMUtGeomUtils::SysToPlane(kAxis, c.reduced), plane);
  }
  zrmtest::AssertRecorder production(0);  // no runtime assertion outside development stage
  ZRMUtGeomUtils::SysToPlane(KRNMathAxis(), -1);
  ASSERT_EQ(1u, production.reports.size());
  EXPECT_EQ(zrmtest::AssertReport::Failure, production.reports[0].kind);
}

}  // namespace
