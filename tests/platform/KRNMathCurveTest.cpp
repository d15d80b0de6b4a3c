// Lines and circles: projection, distance and evaluation against analytic results.
#include "KRNMathTestSupport.h"

#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNMathLine.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;

// p = origin + s * unit + h * normal, with normal orthogonal to the direction: the foot is at
// signed distance s from the origin and p at distance h from the line.
TEST(KRNMathLine, ProjectionAndDistanceMatchTheAnalyticFoot) {
  Random random(51);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathPoint origin = random.Point();
    const KRNMathVector direction = random.NonZeroVector(5.0);
    const KRNMathVector unit = (1.0 / direction.Norm()) * direction;
    KRNMathVector normal = direction ^ random.NonZeroVector();
    if (normal.Norm() < 1e-3) continue;
    normal.Normalize();
    const double s = random.Uniform(-20, 20), h = random.Uniform(0, 10);
    const KRNMathPoint p = origin + s * unit + h * normal;
    const KRNMathLine line(origin, direction), fromPoints(origin, origin + direction);
    ExpectNear(direction, line.GetDirection(), 0.0);  // not normalised
    ExpectNear(direction, fromPoints.GetDirection(), 1e-14);
    EXPECT_DOUBLE_EQ(direction.Norm(), line.GetLength());

    KRNMathPoint foot;
    double t = 0.0;
    EXPECT_TRUE(line.Project(p, foot));
    EXPECT_TRUE(line.Project(p, t));
    ExpectNear(origin + s * unit, foot, 1e-11);
    EXPECT_NEAR(s, t, 1e-11);
    ExpectNear(foot, line.EvalPoint(t), 1e-11);
    EXPECT_NEAR(h, line.DistanceTo(p), 1e-11);
  }
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

// Random circles in random planes: evaluation is center + r (cos t e1 + sin t e2); the projection
// lies on the circle at the angle of the point's in-plane component.
TEST(KRNMathCircle, EvaluationAndProjectionMatchTheAnalyticFormulas) {
  Random random(61);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    KRNMathVector e1 = random.NonZeroVector(), e2 = e1 ^ random.NonZeroVector();
    if (e2.Norm() < 1e-3) continue;
    e1.Normalize();
    e2.Normalize();
    const KRNMathPoint center = random.Point();
    const double r = random.Uniform(0.1, 10), t = random.Uniform(-10, 10);
    const KRNMathCircle circle(center, e1, e2, r, 1.0, 0.0);
    KRNMathPoint p;
    circle.EvalPoint(t, p);
    ExpectNear(center + r * std::cos(t) * e1 + r * std::sin(t) * e2, p, 1e-12);

    const KRNMathPoint outside = random.Point(20.0);
    KRNMathPoint q, expected;
    ASSERT_TRUE(circle.Project(outside, q));
    circle.EvalPoint(std::atan2((outside - center) * e2, (outside - center) * e1), expected);
    ExpectNear(expected, q, 1e-10);
    EXPECT_NEAR(r, q.DistanceTo(center), 1e-11);
  }
  // Scale and offset map the parameter to the angle scale * t + offset: here 3 pi / 2.
  const KRNMathCircle scaled(KRNMathPoint(), KRNMathI, KRNMathJ, 2.0, 2.0, KRNPIBY2);
  KRNMathPoint p;
  scaled.EvalPoint(KRNPIBY2, p);
  ExpectNear(KRNMathPoint(0, -2, 0), p, 1e-15);
}

// From a point on the axis, or for directions that span no plane, the projection is undefined:
// false, with the point at angle 0.
TEST(KRNMathCircle, ProjectionFromTheAxisIsUndefined) {
  const KRNMathCircle circle(KRNMathPoint(1, 1, 1), KRNMathVector(0, 2, 0), KRNMathVector(0, 0, 1), 3.0, 1.0, 0.0);
  KRNMathPoint q;
  EXPECT_FALSE(circle.Project(KRNMathPoint(1, 1, 1), q));
  ExpectNear(KRNMathPoint(1, 4, 1), q, 0.0);
  EXPECT_FALSE(circle.Project(KRNMathPoint(-5, 1, 1), q));
  ExpectNear(KRNMathPoint(1, 4, 1), q, 0.0);
  EXPECT_TRUE(circle.Project(KRNMathPoint(-5, 1, 1.5), q));
  ExpectNear(KRNMathPoint(1, 1, 4), q, 1e-15);
  const KRNMathCircle flat(KRNMathPoint(), KRNMathVector(1, 0, 0), KRNMathVector(-2, 0, 0), 1.0, 1.0, 0.0);
  EXPECT_FALSE(flat.Project(KRNMathPoint(0, 5, 0), q));
  ExpectNear(KRNMathPoint(1, 0, 0), q, 0.0);
}

}  // namespace
