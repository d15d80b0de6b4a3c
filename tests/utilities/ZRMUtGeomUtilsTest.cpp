// ZRMUtGeomUtils against analytic models: orthogonality, Rodrigues' rotation formula, rigid
// motions, and the role tables of the plane/axis conversions.
#include "ZRMTestSupport.h"
#include "ZRMUtGeomUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

KRNMathVector RandomVector(std::mt19937& rng, double scale = 10.0) {
  std::uniform_real_distribution<double> component(-scale, scale);
  return KRNMathVector(component(rng), component(rng), component(rng));
}

KRNMathPoint RandomPoint(std::mt19937& rng) { return KRNMathPoint(RandomVector(rng)); }

KRNMathDirection RandomDirection(std::mt19937& rng) {
  KRNMathVector v;
  do v = RandomVector(rng, 1.0);
  while (v.SquareNorm() < 1e-4);
  return KRNMathDirection(v);
}

void ExpectNear(const KRNMathVector& expected, const KRNMathVector& actual, double tolerance) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
}
void ExpectNear(const KRNMathPoint& expected, const KRNMathPoint& actual, double tolerance) {
  ExpectNear(KRNMathVector(expected), KRNMathVector(actual), tolerance);
}
void ExpectSame(const KRNMathVector& expected, const KRNMathVector& actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

// Rodrigues' formula: v rotated by angle about the unit vector k.
KRNMathVector Rodrigues(const KRNMathVector& v, const KRNMathVector& k, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return c * v + s * (k ^ v) + ((1.0 - c) * (k * v)) * k;
}

// ---------------------------------------------------------------------------------------------

TEST(ZRMUtGeomUtils, PerpendicularVectorTable) {
  ExpectSame(KRNMathVector(0, -2, 0), ZRMUtGeomUtils::GetPerpendicularVector(KRNMathVector(0, 0, 2)));
  ExpectSame(KRNMathVector(0, 0, -3), ZRMUtGeomUtils::GetPerpendicularVector(KRNMathVector(3, 0, 0)));
  ExpectSame(KRNMathVector(0, 0, 5), ZRMUtGeomUtils::GetPerpendicularVector(KRNMathVector(-5, 0, 0)));
  // The zero vector is parallel to both axes by the platform's test.
  ExpectSame(KRNMathVector(1, 0, 0), ZRMUtGeomUtils::GetPerpendicularVector(KRNMathVector(0, 0, 0)));
  // Not parallel to (1,0,0): (1,0,0) ^ v = (0, -v.z, v.y).
  ExpectSame(KRNMathVector(0, -3, 2), ZRMUtGeomUtils::GetPerpendicularVector(KRNMathVector(1, 2, 3)));
}

TEST(ZRMUtGeomUtils, PerpendicularVectorIsOrthogonalForRandomInputs) {
  std::mt19937 rng(1234);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const KRNMathVector v = RandomVector(rng);
    const KRNMathVector p = ZRMUtGeomUtils::GetPerpendicularVector(v);
    EXPECT_LE(std::fabs(p * v), 1e-12 * v.SquareNorm()) << i;
    // The length is that of v's component across (1, 0, 0).
    EXPECT_NEAR(p.Norm(), std::sqrt(v.y * v.y + v.z * v.z), 1e-12 * v.Norm()) << i;
  }
}

TEST(ZRMUtGeomUtils, PerpendicularVectorOfVectorsAlongTheFirstAxis) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> length(-100.0, 100.0);
  for (int i = 0; i < 100; ++i) {
    const KRNMathVector v(length(rng), 0.0, 0.0);
    const KRNMathVector p = ZRMUtGeomUtils::GetPerpendicularVector(v);
    ExpectSame(KRNMathVector(0.0, 0.0, -v.x), p);  // (0,1,0) ^ v
  }
}

TEST(ZRMUtGeomUtils, RotatedPointMatchesRodrigues) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> angle(-2.0 * kPi, 2.0 * kPi);
  for (long i = 0; i < zrmtest::Scaled(1000); ++i) {
    const KRNMathPoint origin = RandomPoint(rng);
    const KRNMathVector direction = RandomVector(rng, 3.0);  // not normalised
    const double a = angle(rng);
    const KRNMathPoint p = RandomPoint(rng);
    KRNMathVector unit = direction;
    unit.Normalize();
    const KRNMathPoint expected = origin + Rodrigues(p - origin, unit, a);
    ExpectNear(expected, ZRMUtGeomUtils::GetRotatedPoint(KRNMathLine(origin, direction), a, p), 1e-11);
  }
}

TEST(ZRMUtGeomUtils, RotatedVectorMatchesRodriguesAndHasUnitLength) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> angle(-2.0 * kPi, 2.0 * kPi);
  for (long i = 0; i < zrmtest::Scaled(1000); ++i) {
    const KRNMathLine axis(RandomPoint(rng), RandomVector(rng, 3.0));
    const KRNMathDirection d = RandomDirection(rng);
    const double a = angle(rng);
    KRNMathVector unit = axis.GetDirection();
    unit.Normalize();
    const KRNMathDirection rotated = ZRMUtGeomUtils::GetRotatedVector(axis, a, d);
    ExpectNear(Rodrigues(d, unit, a), rotated, 1e-12);
    EXPECT_NEAR(1.0, KRNMathVector(rotated).SquareNorm(), 1e-15);
  }
}

TEST(ZRMUtGeomUtils, QuarterTurnAboutTheZAxis) {
  const KRNMathLine zAxis(KRNMathPoint(5, -2, 1), KRNMathVector(0, 0, 1));
  const KRNMathDirection turned =
      ZRMUtGeomUtils::GetRotatedVector(zAxis, kPi / 2.0, KRNMathDirection(1, 0, 0));
  ExpectNear(KRNMathVector(0, 1, 0), turned, 1e-15);
  ExpectNear(KRNMathPoint(5, -1, 1),
             ZRMUtGeomUtils::GetRotatedPoint(zAxis, kPi / 2.0, KRNMathPoint(6, -2, 1)), 1e-14);
}

// T maps P1 to P2 and D1 onto D2 and is a rigid motion (orthonormal linear part, determinant +1).
void ExpectCarries(const KRNMathTransformation& T, const KRNMathPoint& P1, const KRNMathDirection& D1,
                   const KRNMathPoint& P2, const KRNMathDirection& D2, std::mt19937& rng) {
  ExpectNear(P2, T * P1, 1e-11);
  ExpectNear(D2, T * KRNMathVector(D1), 1e-9);
  const KRNMath3x3Matrix& M = T.GetMatrix();
  EXPECT_NEAR(1.0, M.Determinant(), 1e-12);
  const KRNMath3x3Matrix gram = M.Transposed() * M;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(r == c ? 1.0 : 0.0, gram(r, c), 1e-12);
  const KRNMathPoint a = RandomPoint(rng), b = RandomPoint(rng);
  EXPECT_NEAR(a.DistanceTo(b), (T * a).DistanceTo(T * b), 1e-11);
}

TEST(ZRMUtGeomUtils, TransformationOfPointsAndDirectionsForRandomPairs) {
  std::mt19937 rng(2024);
  for (long i = 0; i < zrmtest::Scaled(1000); ++i) {
    const KRNMathPoint P1 = RandomPoint(rng), P2 = RandomPoint(rng);
    const KRNMathDirection D1 = RandomDirection(rng), D2 = RandomDirection(rng);
    KRNMathTransformation T;
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    SCOPED_TRACE(i);
    ExpectCarries(T, P1, D1, P2, D2, rng);
  }
}

TEST(ZRMUtGeomUtils, TransformationWithEqualDirectionsIsTheTranslation) {
  std::mt19937 rng(5);
  for (int i = 0; i < 200; ++i) {
    const KRNMathPoint P1 = RandomPoint(rng), P2 = RandomPoint(rng);
    const KRNMathDirection D = RandomDirection(rng);
    KRNMathTransformation T;
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D, P2, D);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(r == c ? 1.0 : 0.0, T.GetMatrix()(r, c));
    ExpectNear(P2 - P1, T.GetTranslation(), 1e-12);
    ExpectCarries(T, P1, D, P2, D, rng);
  }
}

TEST(ZRMUtGeomUtils, TransformationWithOppositeDirectionsReversesTheDirection) {
  std::mt19937 rng(6);
  for (int i = 0; i < 200; ++i) {
    const KRNMathPoint P1 = RandomPoint(rng), P2 = RandomPoint(rng);
    const KRNMathDirection D1 = RandomDirection(rng);
    const KRNMathDirection D2(-KRNMathVector(D1));
    KRNMathTransformation T;
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    SCOPED_TRACE(i);
    ExpectCarries(T, P1, D1, P2, D2, rng);
  }
}

TEST(ZRMUtGeomUtils, TransformationForTheFirstTwoAxes) {
  std::mt19937 rng(8);
  const KRNMathPoint P1(1, 2, 3), P2(-4, 0, 7);
  KRNMathTransformation T;
  ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, KRNMathDirection(1, 0, 0), P2,
                                                         KRNMathDirection(0, 1, 0));
  ExpectCarries(T, P1, KRNMathDirection(1, 0, 0), P2, KRNMathDirection(0, 1, 0), rng);
  ExpectNear(KRNMathVector(0, 0, 1), T * KRNMathVector(0, 0, 1), 1e-15);  // the rotation axis stays
}

// Directions a hair's breadth apart, just outside the parallelism tolerance: the rounded dot
// product may exceed 1, and the motion must still be finite and carry D1 onto D2.
TEST(ZRMUtGeomUtils, TransformationForNearlyParallelDirectionsStaysFinite) {
  std::mt19937 rng(11);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const KRNMathDirection D1 = RandomDirection(rng);
    const KRNMathVector across = ZRMUtGeomUtils::GetPerpendicularVector(D1);
    const KRNMathDirection D2(KRNMathVector(D1) + (3e-10 / across.Norm()) * across);
    if (D1.IsParallel(D2)) continue;
    KRNMathTransformation T;
    const KRNMathPoint P1 = RandomPoint(rng), P2 = RandomPoint(rng);
    ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(T, P1, D1, P2, D2);
    const KRNMathPoint image = T * P1;
    ASSERT_TRUE(std::isfinite(image.x) && std::isfinite(image.y) && std::isfinite(image.z)) << i;
    ExpectNear(P2, image, 1e-9);
    ExpectNear(D2, T * KRNMathVector(D1), 1e-7);
  }
}

// ---------------------------------------------------------------------------------------------

// A plane with non-orthogonal, non-unit directions, so every role is told apart.
const KRNMathPoint kOrigin(1, -2, 3);
const KRNMathVector kU(2, 0, 0), kV(1, 3, 0);

TEST(ZRMUtGeomUtils, PlaneToSysRolesForEachIndex) {
  const KRNMathPlane plane(kOrigin, kU, kV);
  const KRNMathVector W(0, 0, 1);  // unit vector of U ^ V
  const KRNMathVector expected[3][3] = {{kV, W, kU}, {W, kU, kV}, {kU, kV, W}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const KRNMathAxis axis = ZRMUtGeomUtils::PlaneToSys(plane, k);
    ExpectSame(KRNMathVector(kOrigin), KRNMathVector(axis.GetOrigin()));
    ExpectSame(expected[k][0], axis.GetFirstDirection());
    ExpectSame(expected[k][1], axis.GetSecondDirection());
    ExpectSame(expected[k][2], axis.GetThirdDirection());
  }
}

TEST(ZRMUtGeomUtils, SysToPlaneRolesForEachIndex) {
  const KRNMathVector X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathAxis axis(kOrigin, X, Y, Z);
  const KRNMathVector expected[3][2] = {{Y, Z}, {Z, X}, {X, Y}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const KRNMathPlane plane = ZRMUtGeomUtils::SysToPlane(axis, k);
    ExpectSame(KRNMathVector(kOrigin), KRNMathVector(plane.GetOrigin()));
    ExpectSame(expected[k][0], plane.GetFirstDirection());
    ExpectSame(expected[k][1], plane.GetSecondDirection());
  }
}

TEST(ZRMUtGeomUtils, StandardFrameConversions) {
  const KRNMathAxis world;
  const KRNMathPlane xy = ZRMUtGeomUtils::SysToPlane(world, 2);
  ExpectSame(KRNMathVector(1, 0, 0), xy.GetFirstDirection());
  ExpectSame(KRNMathVector(0, 1, 0), xy.GetSecondDirection());
  const KRNMathAxis back = ZRMUtGeomUtils::PlaneToSys(xy, 2);
  ExpectSame(KRNMathVector(1, 0, 0), back.GetFirstDirection());
  ExpectSame(KRNMathVector(0, 1, 0), back.GetSecondDirection());
  ExpectSame(KRNMathVector(0, 0, 1), back.GetThirdDirection());
  const KRNMathAxis k0 = ZRMUtGeomUtils::PlaneToSys(xy, 0);
  ExpectSame(KRNMathVector(0, 1, 0), k0.GetFirstDirection());
  ExpectSame(KRNMathVector(0, 0, 1), k0.GetSecondDirection());
  ExpectSame(KRNMathVector(1, 0, 0), k0.GetThirdDirection());
}

TEST(ZRMUtGeomUtils, PlaneAndSysRoundTripForIndexTwo) {
  std::mt19937 rng(31);
  for (int i = 0; i < 200; ++i) {
    const KRNMathPlane plane(RandomPoint(rng), RandomVector(rng), RandomVector(rng));
    const KRNMathPlane again = ZRMUtGeomUtils::SysToPlane(ZRMUtGeomUtils::PlaneToSys(plane, 2), 2);
    ExpectSame(KRNMathVector(plane.GetOrigin()), KRNMathVector(again.GetOrigin()));
    ExpectSame(plane.GetFirstDirection(), again.GetFirstDirection());
    ExpectSame(plane.GetSecondDirection(), again.GetSecondDirection());
    // Index 0 does not round-trip: the axis (V, W, U) gives back the plane of W and U.
    const KRNMathPlane other = ZRMUtGeomUtils::SysToPlane(ZRMUtGeomUtils::PlaneToSys(plane, 0), 0);
    KRNMathVector normal = plane.GetFirstDirection() ^ plane.GetSecondDirection();
    normal.Normalize();
    ExpectSame(normal, other.GetFirstDirection());
    ExpectSame(plane.GetFirstDirection(), other.GetSecondDirection());
  }
}

TEST(ZRMUtGeomUtils, AxisIndexOutsideTheRangeIsReportedAndReduced) {
  const KRNMathPlane plane(kOrigin, kU, kV);
  const KRNMathAxis axis(kOrigin, KRNMathVector(1, 2, 0), KRNMathVector(0, 1, 5), KRNMathVector(3, 0, 1));
  const struct {
    int k;
    int reduced;
  } cases[] = {{-1, 2}, {-2, 1}, {-3, 0}, {3, 0}, {4, 1}, {5, 2}, {7, 1}, {INT_MIN, 1}, {INT_MAX, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k);
    zrmtest::AssertRecorder recorder;
    const KRNMathAxis sys = ZRMUtGeomUtils::PlaneToSys(plane, c.k);
    const KRNMathPlane p = ZRMUtGeomUtils::SysToPlane(axis, c.k);
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

    const KRNMathAxis expectedSys = ZRMUtGeomUtils::PlaneToSys(plane, c.reduced);
    const KRNMathPlane expectedPlane = ZRMUtGeomUtils::SysToPlane(axis, c.reduced);
    ExpectSame(expectedSys.GetFirstDirection(), sys.GetFirstDirection());
    ExpectSame(expectedSys.GetSecondDirection(), sys.GetSecondDirection());
    ExpectSame(expectedSys.GetThirdDirection(), sys.GetThirdDirection());
    ExpectSame(expectedPlane.GetFirstDirection(), p.GetFirstDirection());
    ExpectSame(expectedPlane.GetSecondDirection(), p.GetSecondDirection());
  }
}

TEST(ZRMUtGeomUtils, AxisIndexInTheRangeIsNotReported) {
  zrmtest::AssertRecorder recorder;
  for (int k = 0; k < 3; ++k) {
    ZRMUtGeomUtils::PlaneToSys(KRNMathPlane(), k);
    ZRMUtGeomUtils::SysToPlane(KRNMathAxis(), k);
  }
  EXPECT_TRUE(recorder.reports.empty());
}

TEST(ZRMUtGeomUtils, AxisIndexReportInProductionStageHasNoRuntimeAssertion) {
  zrmtest::AssertRecorder recorder(0);
  ZRMUtGeomUtils::SysToPlane(KRNMathAxis(), -1);
  ASSERT_EQ(1u, recorder.reports.size());
  EXPECT_EQ(zrmtest::AssertReport::Failure, recorder.reports[0].kind);
}

}  // namespace
