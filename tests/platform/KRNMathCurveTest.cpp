// Lines, circles, planes and axis systems: projection, distance and evaluation against analytic
// results.
#include "KRNMathTestSupport.h"

#include "KRNMathAxis.h"
#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNMathDirection.h"
#include "KRNMathLine.h"
#include "KRNMathPlane.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;

// ---------------------------------------------------------------- lines

TEST(KRNMathLine, ConstructionAndLength) {
  const KRNMathLine fromPoints(KRNMathPoint(1, 1, 1), KRNMathPoint(4, 5, 1));
  ExpectNear(KRNMathPoint(1, 1, 1), fromPoints.GetOrigin(), 0.0);
  ExpectNear(KRNMathVector(3, 4, 0), fromPoints.GetDirection(), 0.0);
  EXPECT_DOUBLE_EQ(5.0, fromPoints.GetLength());
  const KRNMathLine fromVector(KRNMathPoint(0, 0, 1), KRNMathVector(0, 0, -2));
  ExpectNear(KRNMathVector(0, 0, -2), fromVector.GetDirection(), 0.0);  // not normalised
  EXPECT_DOUBLE_EQ(2.0, fromVector.GetLength());
}

TEST(KRNMathLine, ProjectionAndDistanceMatchTheAnalyticFoot) {
  Random random(51);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    // p = origin + s * unit + h * normal, with normal orthogonal to the direction.
    const KRNMathPoint origin = random.Point();
    const KRNMathVector direction = random.NonZeroVector(5.0);
    const KRNMathVector unit = (1.0 / direction.Norm()) * direction;
    KRNMathVector normal = direction ^ random.NonZeroVector();
    if (normal.Norm() < 1e-3) continue;
    normal.Normalize();
    const double s = random.Uniform(-20, 20), h = random.Uniform(0, 10);
    const KRNMathPoint p = origin + s * unit + h * normal;
    const KRNMathLine line(origin, direction);

    KRNMathPoint foot;
    double t = 0.0;
    EXPECT_TRUE(line.Project(p, foot));
    EXPECT_TRUE(line.Project(p, t));
    ExpectNear(origin + s * unit, foot, 1e-11);
    EXPECT_NEAR(s, t, 1e-11);  // signed distance from the origin
    ExpectNear(foot, line.EvalPoint(t), 1e-11);
    EXPECT_NEAR(h, line.DistanceTo(p), 1e-11);
  }
}

TEST(KRNMathLine, UnitDirectionParameterIsOriginPlusTTimesDirection) {
  const KRNMathDirection d(KRNMathVector(1, 2, 2));
  const KRNMathLine line(KRNMathPoint(1, 0, 0), d);
  double t = 0.0;
  ASSERT_TRUE(line.Project(KRNMathPoint(1, 0, 0) + 3.0 * d + KRNMathVector(2, -1, 0), t));
  EXPECT_NEAR(3.0, t, 1e-14);
  ExpectNear(KRNMathPoint(1, 0, 0) + (-2.0) * d, line.EvalPoint(-2.0), 1e-15);
  double behind = 0.0;
  ASSERT_TRUE(line.Project(KRNMathPoint(1, 0, 0) - 4.0 * d, behind));
  EXPECT_NEAR(-4.0, behind, 1e-14);
}

TEST(KRNMathLine, DegenerateLineStandsForItsOrigin) {
  const KRNMathLine point(KRNMathPoint(1, 2, 3), KRNMathPoint(1, 2, 3));
  EXPECT_EQ(0.0, point.GetLength());
  KRNMathPoint foot(9, 9, 9);
  double t = 9.0;
  EXPECT_FALSE(point.Project(KRNMathPoint(4, 6, 3), foot));
  EXPECT_FALSE(point.Project(KRNMathPoint(4, 6, 3), t));
  ExpectNear(KRNMathPoint(1, 2, 3), foot, 0.0);
  EXPECT_EQ(0.0, t);
  EXPECT_DOUBLE_EQ(5.0, point.DistanceTo(KRNMathPoint(4, 6, 3)));
}

// ---------------------------------------------------------------- circles

// A random orthonormal pair (e1, e2).
void RandomFrame(Random& random, KRNMathVector& e1, KRNMathVector& e2) {
  e1 = random.NonZeroVector();
  e1.Normalize();
  e2 = e1 ^ random.NonZeroVector();
  while (e2.Norm() < 1e-3) e2 = e1 ^ random.NonZeroVector();
  e2.Normalize();
}

TEST(KRNMathCircle, EvalPointIsCenterPlusRadiusCosSin) {
  Random random(61);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    KRNMathVector e1, e2;
    RandomFrame(random, e1, e2);
    const KRNMathPoint center = random.Point();
    const double r = random.Uniform(0.1, 10), t = random.Uniform(-10, 10);
    const KRNMathCircle circle(center, e1, e2, r, 1.0, 0.0);
    KRNMathPoint p;
    circle.EvalPoint(t, p);
    ExpectNear(center + r * std::cos(t) * e1 + r * std::sin(t) * e2, p, 1e-12);
    EXPECT_NEAR(r, p.DistanceTo(center), 1e-12);
  }
  // Scale and offset map the parameter to the angle scale * t + offset.
  const KRNMathCircle scaled(KRNMathPoint(), KRNMathI, KRNMathJ, 2.0, 2.0, KRNPIBY2);
  KRNMathPoint p;
  scaled.EvalPoint(KRNPIBY2, p);  // angle 3 pi / 2
  ExpectNear(KRNMathPoint(0, -2, 0), p, 1e-15);
}

TEST(KRNMathCircle, ProjectionIsTheClosestPointOnTheCircle) {
  Random random(62);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    KRNMathVector e1, e2;
    RandomFrame(random, e1, e2);
    const KRNMathPoint center = random.Point();
    const double r = random.Uniform(0.1, 10);
    const KRNMathCircle circle(center, e1, e2, r, 1.0, 0.0);
    const KRNMathPoint p = random.Point(20.0);
    KRNMathPoint q;
    ASSERT_TRUE(circle.Project(p, q));
    EXPECT_NEAR(r, q.DistanceTo(center), 1e-11);  // on the circle
    EXPECT_NEAR(0.0, (q - center) * (e1 ^ e2), 1e-11);  // in its plane
    // No sampled point of the circle is closer to p.
    for (int k = 0; k < 64; ++k) {
      KRNMathPoint sample;
      circle.EvalPoint(KRN2PI * k / 64.0, sample);
      EXPECT_LE(q.DistanceTo(p), sample.DistanceTo(p) + 1e-11);
    }
    // The projection of p lies at the angle of p's in-plane component.
    const double angle = std::atan2((p - center) * e2, (p - center) * e1);
    KRNMathPoint expected;
    circle.EvalPoint(angle, expected);
    ExpectNear(expected, q, 1e-10);
  }
}

TEST(KRNMathCircle, ProjectionFromTheAxisIsUndefined) {
  const KRNMathCircle circle(KRNMathPoint(1, 1, 1), KRNMathVector(0, 2, 0), KRNMathVector(0, 0, 1), 3.0, 1.0, 0.0);
  KRNMathPoint q;
  EXPECT_FALSE(circle.Project(KRNMathPoint(1, 1, 1), q));
  ExpectNear(KRNMathPoint(1, 4, 1), q, 0.0);  // the point at angle 0
  EXPECT_FALSE(circle.Project(KRNMathPoint(-5, 1, 1), q));
  ExpectNear(KRNMathPoint(1, 4, 1), q, 0.0);
  EXPECT_TRUE(circle.Project(KRNMathPoint(-5, 1, 1.5), q));
  ExpectNear(KRNMathPoint(1, 1, 4), q, 1e-15);
  // Directions that span no plane: undefined everywhere.
  const KRNMathCircle flat(KRNMathPoint(), KRNMathVector(1, 0, 0), KRNMathVector(-2, 0, 0), 1.0, 1.0, 0.0);
  EXPECT_FALSE(flat.Project(KRNMathPoint(0, 5, 0), q));
  ExpectNear(KRNMathPoint(1, 0, 0), q, 0.0);
}

// ---------------------------------------------------------------- planes and axis systems

TEST(KRNMathPlaneAndAxis, StoreWhatTheyAreGiven) {
  const KRNMathPlane plane(KRNMathPoint(1, 2, 3), KRNMathVector(0, 2, 0), KRNMathVector(1, 1, 0));
  ExpectNear(KRNMathPoint(1, 2, 3), plane.GetOrigin(), 0.0);
  ExpectNear(KRNMathVector(0, 2, 0), plane.GetFirstDirection(), 0.0);
  ExpectNear(KRNMathVector(1, 1, 0), plane.GetSecondDirection(), 0.0);
  KRNMathVector u, v;
  plane.GetDirections(u, v);
  ExpectNear(KRNMathVector(0, 2, 0), u, 0.0);
  ExpectNear(KRNMathVector(1, 1, 0), v, 0.0);

  const KRNMathAxis axis(KRNMathPoint(4, 5, 6), KRNMathVector(0, 1, 0), KRNMathVector(0, 0, 3), KRNMathVector(1, 0, 0));
  ExpectNear(KRNMathPoint(4, 5, 6), axis.GetOrigin(), 0.0);
  ExpectNear(KRNMathVector(0, 1, 0), axis.GetFirstDirection(), 0.0);
  ExpectNear(KRNMathVector(0, 0, 3), axis.GetSecondDirection(), 0.0);
  ExpectNear(KRNMathVector(1, 0, 0), axis.GetThirdDirection(), 0.0);
  KRNMathVector a, b, c;
  KRNMathAxis().GetDirections(a, b, c);
  ExpectNear(KRNMathK, a ^ b, 0.0);
  ExpectNear(KRNMathK, c, 0.0);
}

}  // namespace
