// 3x3 matrices, transformations, lines and circles against analytic formulas: rotations against
// Rodrigues' formula, inverses, composition, uniform-scaling detection, the half-turn built from
// a point and a vector, projection onto lines and circles.
#include "KRNMathTestSupport.h"
#include "ZRMTestSupport.h"

#include "KRNMath3x3Matrix.h"
#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNMathLine.h"
#include "KRNMathTransformation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;
using krnmathtest::Rodrigues;
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Mat = KRNMath3x3Matrix;
using Xf = KRNMathTransformation;

Mat Diagonal(double a, double b, double c) { return Mat(Vec(a, 0, 0), Vec(0, b, 0), Vec(0, 0, c)); }

// A random transformation whose linear part is well conditioned (random entries plus 4 I).
Xf RandomInvertible(Random& random) {
  return Xf(Mat(random.Vector(1.0) + Vec(4, 0, 0), random.Vector(1.0) + Vec(0, 4, 0), random.Vector(1.0) + Vec(0, 0, 4)),
            random.Vector());
}

// The scaling by factor about center, composed from translations so that it does not share the
// implementation's formula.
Xf ScalingAbout(const Pnt& center, double factor) {
  return Xf(Vec(center)) * Xf(Diagonal(factor, factor, factor)) * Xf(-Vec(center));
}

TEST(KRNMath3x3Matrix, ColumnsInOrderAndCheckedAccess) {
  const Mat m(Vec(1, 2, 3), Vec(4, 5, 6), Vec(7, 8, 10));
  EXPECT_TRUE(m(1, 0) == 2.0 && m(0, 1) == 4.0 && m(2, 2) == 10.0);
  ExpectNear(Vec(3, 6, 10), m.GetRow(2), 0.0);
  ExpectNear(Vec(4, 5, 6), m.Transposed().GetRow(1), 0.0);
  EXPECT_DOUBLE_EQ(-3.0, m.Determinant());
  ExpectNear(Vec(1 + 8 + 21, 2 + 10 + 24, 3 + 12 + 30), m * Vec(1, 2, 3), 0.0);
  for (const int bad : {-1, 3}) {
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(bad, 0); }).code);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(0, bad); }).code);
    EXPECT_TRUE(zrmtest::CatchRaised([&] { (void)m.GetColumn(bad); }).isZRMUtError);
  }
  Mat writable;
  writable(0, 2) = 5.0;
  EXPECT_EQ(5.0, writable.GetColumn(2).x);
}

TEST(KRNMathTransformation, PointsGetTheFullMapVectorsTheLinearPartOnly) {
  const Xf t(Mat(Vec(0, 1, 0), Vec(-1, 0, 0), Vec(0, 0, 2)), Vec(10, 20, 30));
  ExpectNear(Pnt(10 - 2, 20 + 1, 30 + 6), t * Pnt(1, 2, 3), 0.0);
  ExpectNear(Vec(-2, 1, 6), t * Vec(1, 2, 3), 0.0);
  ExpectNear(Vec(0, 0, 2), t * KRNMathK, 0.0);  // a direction is not renormalised
  const Xf shift(Vec(1, -2, 3));
  ExpectNear(Pnt(2, -1, 4), shift * Pnt(1, 1, 1), 0.0);
  ExpectNear(Vec(1, 1, 1), shift * Vec(1, 1, 1), 0.0);
  // Composition applies the left factor last: (1,0,0) -> (2,0,0) -> (0,2,0).
  const Xf rotate(KRNPIBY2, KRNMathLine(Pnt(), KRNMathK));
  ExpectNear(Pnt(0, 2, 0), (rotate * Xf(Vec(1, 0, 0))) * Pnt(1, 0, 0), 1e-15);
  const Xf noAxis(1.0, KRNMathLine(Pnt(3, 3, 3), Vec(0, 0, 0)));  // a zero axis gives the identity
  EXPECT_TRUE(noAxis.IsIdentity());
  ExpectNear(Pnt(1, 2, 3), noAxis * Pnt(1, 2, 3), 0.0);
}

TEST(KRNMathTransformation, RotationMatchesRodriguesOnRandomLines) {
  Random random(42);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Pnt origin = random.Point();
    const Vec direction = random.NonZeroVector(5.0);
    const double angle = random.Uniform(-2.0 * KRNPI, 2.0 * KRNPI);
    const Xf r(angle, KRNMathLine(origin, direction));
    const Pnt p = random.Point();
    ExpectNear(origin + Rodrigues(p - origin, direction, angle), r * p, 1e-12);
    const Vec v = random.Vector();
    ExpectNear(Rodrigues(v, direction, angle), r * v, 1e-12);
    EXPECT_NEAR(1.0, r.GetMatrix().Determinant(), 1e-12);
    ExpectNear(origin + 3.0 * direction, r * (origin + 3.0 * direction), 1e-12);  // the axis stays
  }
}

// Random invertible maps and rotations: composition, inverse round trips, GetInverse agreeing.
TEST(KRNMathTransformation, InverseRoundTripsAndComposition) {
  Random random(43);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const Xf t = (i % 2 == 0) ? RandomInvertible(random)
                              : Xf(random.Uniform(-7, 7), KRNMathLine(random.Point(), random.NonZeroVector()));
    const Xf inverse = t.Inverse(), other = RandomInvertible(random);
    const Pnt p = random.Point();
    const Vec v = random.Vector();
    ExpectNear(t * (other * p), (t * other) * p, 1e-11);
    ExpectNear(t * (other * v), (t * other) * v, 1e-11);
    ExpectNear(Mat(), (t * inverse).GetMatrix(), 1e-12);
    ExpectNear(Vec(), (t * inverse).GetTranslation(), 1e-11);
    ExpectNear(Mat(), (inverse * t).GetMatrix(), 1e-12);
    ExpectNear(p, inverse * (t * p), 1e-11);
    ExpectNear(p, t * (inverse * p), 1e-11);
    Xf reported;
    EXPECT_TRUE(t.GetInverse(reported));
    ExpectNear(inverse.GetMatrix(), reported.GetMatrix(), 0.0);
  }
  // A singular linear part has no inverse: GetInverse leaves its argument alone, Inverse is I.
  const Xf flat(Diagonal(1, 1, 0), Vec(1, 2, 3));
  Xf inverse(Vec(9, 9, 9));
  EXPECT_FALSE(flat.GetInverse(inverse));
  ExpectNear(Vec(9, 9, 9), inverse.GetTranslation(), 0.0);
  EXPECT_TRUE(flat.Inverse().IsIdentity());
  EXPECT_FALSE(Xf(Diagonal(1e-200, 1e-200, 1e-200)).GetInverse(inverse));  // det underflows
}

TEST(KRNMathTransformation, IdentityAndScalingTables) {
  const struct {
    Xf t;
    bool identity;
  } identities[] = {
      {Xf(), true},
      {Xf(Vec(1e-13, 0, 0)), true},
      {Xf(Vec(0, 0, 1e-11)), false},
      {Xf(Diagonal(1, 1 + 1e-11, 1)), false},
      {Xf(KRN2PI, KRNMathLine(Pnt(1, 2, 3), Vec(1, 1, 1))), true},
      {Xf(1e-6, KRNMathLine(Pnt(), Vec(0, 0, 1))), false},
  };
  for (const auto& c : identities) EXPECT_EQ(c.identity, c.t.IsIdentity()) << &c - identities;
  // Not scalings; the outputs stay untouched.
  Random random(45);
  const Xf others[] = {
      Xf(),                                                                 // identity: our choice
      Xf(Vec(1, 2, 3)),                                                     // translation
      Xf(0.7, KRNMathLine(random.Point(), random.NonZeroVector())),        // rotation
      Xf(KRNPI, KRNMathLine(Pnt(), Vec(0, 1, 0))),
      Xf(Diagonal(2, 2, 2.001)),                                            // non-uniform
      Xf(Diagonal(2, 2, 2)) * Xf(0.1, KRNMathLine(Pnt(), Vec(1, 0, 0))),  // scaled rotation
      ScalingAbout(Pnt(1, 0, 0), -2.0),                                     // point reflection
      ScalingAbout(Pnt(1, 0, 0), -1.0),
      ScalingAbout(Pnt(1, 0, 0), 0.0),                                      // collapse
      Xf(Mat(), Vec(1e-20, 0, 0)),                                          // factor 1 with a shift
  };
  for (const Xf& t : others) {
    SCOPED_TRACE(&t - others);
    Pnt center(7, 7, 7);
    double factor = 42.0;
    EXPECT_FALSE(t.IsScaling(center, factor));
    ExpectNear(Pnt(7, 7, 7), center, 0.0);
    EXPECT_EQ(42.0, factor);
  }
}

TEST(KRNMathTransformation, IsScalingRecoversCenterAndFactor) {
  Random random(44);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const Pnt center = random.Point(100.0);
    double factor = random.Uniform(0.05, 20.0), found = 0.0;
    if (std::fabs(factor - 1.0) < 1e-3) factor = 2.0;
    Pnt foundCenter;
    ASSERT_TRUE(ScalingAbout(center, factor).IsScaling(foundCenter, found));
    EXPECT_NEAR(factor, found, 1e-14 * factor);
    ExpectNear(center, foundCenter, 1e-9);
  }
}

TEST(KRNMathTransformation, HalfTurnIsRigidFixesThePointAndReversesTheVector) {
  Random random(46);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const Pnt point = random.Point();
    const Vec vector = (i % 3 == 0) ? Vec(random.Direction()) : random.NonZeroVector(50.0);
    const Xf t(point, vector);
    EXPECT_NEAR(1.0, t.GetMatrix().Determinant(), 1e-12);
    ExpectNear(point, t * point, 1e-12);
    ExpectNear(-vector, t * vector, 1e-12);
    const Pnt a = random.Point(), b = random.Point();
    EXPECT_NEAR(a.DistanceTo(b), (t * a).DistanceTo(t * b), 1e-11);
    ExpectNear(Mat(), (t * t).GetMatrix(), 1e-12);  // a half-turn is its own inverse
    ExpectNear(Vec(), (t * t).GetTranslation(), 1e-11);
  }
  // Our axis choice: (0,0,2) has its smallest component on x (first on the tie with y), so the
  // axis is (0,0,2) ^ (1,0,0) = y; (1,0,0) has it on y, so the axis is z.
  const Xf aboutY(Pnt(), Vec(0, 0, 2)), aboutZ(Pnt(0, 0, 5), KRNMathI);
  ExpectNear(Vec(-1, 0, 0), aboutY * Vec(1, 0, 0), 0.0);
  ExpectNear(Vec(0, 1, 0), aboutY * Vec(0, 1, 0), 0.0);
  ExpectNear(Vec(0, 0, 1), aboutZ * Vec(0, 0, 1), 0.0);
  ExpectNear(Pnt(-1, -1, 5), aboutZ * Pnt(1, 1, 5), 0.0);
  EXPECT_TRUE(Xf(Pnt(1, 2, 3), Vec()).IsIdentity());
}

// p = origin + s * unit + h * normal, with normal orthogonal to the direction: the foot is at
// signed distance s from the origin and p at distance h from the line. A degenerate line stands
// for its origin.
TEST(KRNMathLine, ProjectionAndDistanceMatchTheAnalyticFoot) {
  Random random(51);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Pnt origin = random.Point();
    const Vec direction = random.NonZeroVector(5.0), unit = (1.0 / direction.Norm()) * direction;
    Vec normal = direction ^ random.NonZeroVector();
    if (normal.Norm() < 1e-3) continue;
    normal.Normalize();
    const double s = random.Uniform(-20, 20), h = random.Uniform(0, 10);
    const Pnt p = origin + s * unit + h * normal;
    const KRNMathLine line(origin, direction), fromPoints(origin, origin + direction);
    ExpectNear(direction, line.GetDirection(), 0.0);  // not normalised
    ExpectNear(direction, fromPoints.GetDirection(), 1e-14);
    EXPECT_DOUBLE_EQ(direction.Norm(), line.GetLength());
    Pnt foot;
    double t = 0.0;
    EXPECT_TRUE(line.Project(p, foot) && line.Project(p, t));
    ExpectNear(origin + s * unit, foot, 1e-11);
    EXPECT_NEAR(s, t, 1e-11);
    ExpectNear(foot, line.EvalPoint(t), 1e-11);
    EXPECT_NEAR(h, line.DistanceTo(p), 1e-11);
  }
  const KRNMathLine point(Pnt(1, 2, 3), Pnt(1, 2, 3));
  Pnt foot(9, 9, 9);
  double t = 9.0;
  EXPECT_EQ(0.0, point.GetLength());
  EXPECT_FALSE(point.Project(Pnt(4, 6, 3), foot) || point.Project(Pnt(4, 6, 3), t));
  ExpectNear(Pnt(1, 2, 3), foot, 0.0);
  EXPECT_EQ(0.0, t);
  EXPECT_DOUBLE_EQ(5.0, point.DistanceTo(Pnt(4, 6, 3)));
}

// Random circles in random planes: evaluation is center + r (cos t e1 + sin t e2); the projection
// lies on the circle at the angle of the point's in-plane component.
TEST(KRNMathCircle, EvaluationAndProjectionMatchTheAnalyticFormulas) {
  Random random(61);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    Vec e1 = random.NonZeroVector(), e2 = e1 ^ random.NonZeroVector();
    if (e2.Norm() < 1e-3) continue;
    e1.Normalize();
    e2.Normalize();
    const Pnt center = random.Point();
    const double r = random.Uniform(0.1, 10), t = random.Uniform(-10, 10);
    const KRNMathCircle circle(center, e1, e2, r, 1.0, 0.0);
    Pnt p, q, expected;
    circle.EvalPoint(t, p);
    ExpectNear(center + r * std::cos(t) * e1 + r * std::sin(t) * e2, p, 1e-12);
    const Pnt outside = random.Point(20.0);
    ASSERT_TRUE(circle.Project(outside, q));
    circle.EvalPoint(std::atan2((outside - center) * e2, (outside - center) * e1), expected);
    ExpectNear(expected, q, 1e-10);
    EXPECT_NEAR(r, q.DistanceTo(center), 1e-11);
  }
  // Scale and offset map the parameter to the angle scale * t + offset: here 3 pi / 2.
  Pnt p;
  KRNMathCircle(Pnt(), KRNMathI, KRNMathJ, 2.0, 2.0, KRNPIBY2).EvalPoint(KRNPIBY2, p);
  ExpectNear(Pnt(0, -2, 0), p, 1e-15);
}

// From a point on the axis, or for directions that span no plane, the projection is undefined:
// false, with the point at angle 0.
TEST(KRNMathCircle, ProjectionFromTheAxisIsUndefined) {
  const KRNMathCircle circle(Pnt(1, 1, 1), Vec(0, 2, 0), Vec(0, 0, 1), 3.0, 1.0, 0.0);
  Pnt q;
  EXPECT_FALSE(circle.Project(Pnt(1, 1, 1), q));
  ExpectNear(Pnt(1, 4, 1), q, 0.0);
  EXPECT_FALSE(circle.Project(Pnt(-5, 1, 1), q));
  ExpectNear(Pnt(1, 4, 1), q, 0.0);
  EXPECT_TRUE(circle.Project(Pnt(-5, 1, 1.5), q));
  ExpectNear(Pnt(1, 1, 4), q, 1e-15);
  const KRNMathCircle flat(Pnt(), Vec(1, 0, 0), Vec(-2, 0, 0), 1.0, 1.0, 0.0);
  EXPECT_FALSE(flat.Project(Pnt(0, 5, 0), q));
  ExpectNear(Pnt(1, 0, 0), q, 0.0);
}

}  // namespace
