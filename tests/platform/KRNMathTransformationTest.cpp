// Transformations and 3x3 matrices: rotations against Rodrigues' formula, inverses, composition,
// uniform-scaling detection and the half-turn built from a point and a vector.
#include "KRNMathTestSupport.h"

#include "KRNMath3x3Matrix.h"
#include "KRNMathConstants.h"
#include "KRNMathLine.h"
#include "KRNMathTransformation.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;
using krnmathtest::Rodrigues;

KRNMath3x3Matrix Diagonal(double a, double b, double c) {
  return KRNMath3x3Matrix(KRNMathVector(a, 0, 0), KRNMathVector(0, b, 0), KRNMathVector(0, 0, c));
}

// A random transformation whose linear part is well conditioned (random entries plus 4 I).
KRNMathTransformation RandomInvertible(Random& random) {
  return KRNMathTransformation(KRNMath3x3Matrix(random.Vector(1.0) + KRNMathVector(4, 0, 0),
                                                random.Vector(1.0) + KRNMathVector(0, 4, 0),
                                                random.Vector(1.0) + KRNMathVector(0, 0, 4)),
                               random.Vector());
}

void ExpectMatrixNear(const KRNMath3x3Matrix& expected, const KRNMath3x3Matrix& actual, double tol) {
  for (int column = 0; column < 3; ++column) ExpectNear(expected.GetColumn(column), actual.GetColumn(column), tol);
}

TEST(KRNMath3x3Matrix, ColumnsInOrderAndCheckedAccess) {
  const KRNMath3x3Matrix m(KRNMathVector(1, 2, 3), KRNMathVector(4, 5, 6), KRNMathVector(7, 8, 10));
  EXPECT_EQ(2.0, m(1, 0));
  EXPECT_EQ(4.0, m(0, 1));
  EXPECT_EQ(10.0, m(2, 2));
  ExpectNear(KRNMathVector(3, 6, 10), m.GetRow(2), 0.0);
  EXPECT_DOUBLE_EQ(-3.0, m.Determinant());
  ExpectNear(KRNMathVector(1 + 8 + 21, 2 + 10 + 24, 3 + 12 + 30), m * KRNMathVector(1, 2, 3), 0.0);
  ExpectMatrixNear(KRNMath3x3Matrix(), KRNMath3x3Matrix() * KRNMath3x3Matrix(), 0.0);
  ExpectNear(KRNMathVector(4, 5, 6), m.Transposed().GetRow(1), 0.0);
  for (const int bad : {-1, 3}) {
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(bad, 0); }).code);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(0, bad); }).code);
    EXPECT_TRUE(zrmtest::CatchRaised([&] { (void)m.GetColumn(bad); }).isZRMUtError);
  }
  KRNMath3x3Matrix writable;
  writable(0, 2) = 5.0;
  EXPECT_EQ(5.0, writable.GetColumn(2).x);
}

TEST(KRNMathTransformation, PointsGetTheFullMapVectorsTheLinearPartOnly) {
  const KRNMathTransformation t(KRNMath3x3Matrix(KRNMathVector(0, 1, 0), KRNMathVector(-1, 0, 0), KRNMathVector(0, 0, 2)),
                                KRNMathVector(10, 20, 30));
  ExpectNear(KRNMathPoint(10 - 2, 20 + 1, 30 + 6), t * KRNMathPoint(1, 2, 3), 0.0);
  ExpectNear(KRNMathVector(-2, 1, 6), t * KRNMathVector(1, 2, 3), 0.0);
  ExpectNear(KRNMathVector(0, 0, 2), t * KRNMathK, 0.0);  // a direction is not renormalised
  const KRNMathTransformation shift(KRNMathVector(1, -2, 3));
  ExpectNear(KRNMathPoint(2, -1, 4), shift * KRNMathPoint(1, 1, 1), 0.0);
  ExpectNear(KRNMathVector(1, 1, 1), shift * KRNMathVector(1, 1, 1), 0.0);
  ExpectNear(KRNMathVector(1, -2, 3), shift.GetTranslation(), 0.0);
  ExpectMatrixNear(KRNMath3x3Matrix(), shift.GetMatrix(), 0.0);
  // Composition applies the left factor last: (1,0,0) -> (2,0,0) -> (0,2,0).
  const KRNMathTransformation rotate(KRNPIBY2, KRNMathLine(KRNMathPoint(), KRNMathK));
  ExpectNear(KRNMathPoint(0, 2, 0), (rotate * KRNMathTransformation(KRNMathVector(1, 0, 0))) * KRNMathPoint(1, 0, 0),
             1e-15);
}

TEST(KRNMathTransformation, RotationMatchesRodriguesOnRandomLines) {
  Random random(42);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathPoint origin = random.Point();
    const KRNMathVector direction = random.NonZeroVector(5.0);
    const double angle = random.Uniform(-2.0 * KRNPI, 2.0 * KRNPI);
    const KRNMathTransformation r(angle, KRNMathLine(origin, direction));
    const KRNMathPoint p = random.Point();
    ExpectNear(origin + Rodrigues(p - origin, direction, angle), r * p, 1e-12);
    const KRNMathVector v = random.Vector();
    ExpectNear(Rodrigues(v, direction, angle), r * v, 1e-12);
    EXPECT_NEAR(1.0, r.GetMatrix().Determinant(), 1e-12);
    ExpectNear(origin + 3.0 * direction, r * (origin + 3.0 * direction), 1e-12);  // the axis stays
  }
  const KRNMathTransformation noAxis(1.0, KRNMathLine(KRNMathPoint(3, 3, 3), KRNMathVector(0, 0, 0)));
  EXPECT_TRUE(noAxis.IsIdentity());
  ExpectNear(KRNMathPoint(1, 2, 3), noAxis * KRNMathPoint(1, 2, 3), 0.0);
}

// Random invertible maps and rotations: composition, inverse round trips, GetInverse agreeing.
TEST(KRNMathTransformation, InverseRoundTripsAndComposition) {
  Random random(43);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const KRNMathTransformation t = (i % 2 == 0) ? RandomInvertible(random)
                                                 : KRNMathTransformation(random.Uniform(-7, 7),
                                                                         KRNMathLine(random.Point(), random.NonZeroVector()));
    const KRNMathTransformation inverse = t.Inverse(), other = RandomInvertible(random);
    const KRNMathPoint p = random.Point();
    const KRNMathVector v = random.Vector();
    ExpectNear(t * (other * p), (t * other) * p, 1e-11);
    ExpectNear(t * (other * v), (t * other) * v, 1e-11);
    const KRNMathTransformation both = t * inverse;
    ExpectMatrixNear(KRNMath3x3Matrix(), both.GetMatrix(), 1e-12);
    ExpectNear(KRNMathVector(), both.GetTranslation(), 1e-11);
    ExpectMatrixNear(KRNMath3x3Matrix(), (inverse * t).GetMatrix(), 1e-12);
    ExpectNear(p, inverse * (t * p), 1e-11);
    ExpectNear(p, t * (inverse * p), 1e-11);
    KRNMathTransformation reported;
    EXPECT_TRUE(t.GetInverse(reported));
    ExpectMatrixNear(inverse.GetMatrix(), reported.GetMatrix(), 0.0);
  }
  // A singular linear part has no inverse: GetInverse leaves its argument alone, Inverse is I.
  const KRNMathTransformation flat(Diagonal(1, 1, 0), KRNMathVector(1, 2, 3));
  KRNMathTransformation inverse(KRNMathVector(9, 9, 9));
  EXPECT_FALSE(flat.GetInverse(inverse));
  ExpectNear(KRNMathVector(9, 9, 9), inverse.GetTranslation(), 0.0);
  EXPECT_TRUE(flat.Inverse().IsIdentity());
  EXPECT_FALSE(KRNMathTransformation(Diagonal(1e-200, 1e-200, 1e-200)).GetInverse(inverse));  // det underflows
}

TEST(KRNMathTransformation, IdentityWithinTheTolerance) {
  const struct {
    KRNMathTransformation t;
    bool identity;
  } cases[] = {
      {KRNMathTransformation(), true},
      {KRNMathTransformation(KRNMathVector(1e-13, 0, 0)), true},
      {KRNMathTransformation(KRNMathVector(0, 0, 1e-11)), false},
      {KRNMathTransformation(Diagonal(1, 1 + 1e-11, 1)), false},
      {KRNMathTransformation(KRN2PI, KRNMathLine(KRNMathPoint(1, 2, 3), KRNMathVector(1, 1, 1))), true},
      {KRNMathTransformation(1e-6, KRNMathLine(KRNMathPoint(), KRNMathVector(0, 0, 1))), false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.identity, c.t.IsIdentity()) << &c - cases;
}

// The scaling by factor about center, composed from translations so that it does not share the
// implementation's formula.
KRNMathTransformation ScalingAbout(const KRNMathPoint& center, double factor) {
  const KRNMathVector c(center);
  return KRNMathTransformation(c) * KRNMathTransformation(Diagonal(factor, factor, factor)) *
         KRNMathTransformation(-c);
}

TEST(KRNMathTransformation, IsScalingRecoversCenterAndFactor) {
  Random random(44);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const KRNMathPoint center = random.Point(100.0);
    double factor = random.Uniform(0.05, 20.0);
    if (std::fabs(factor - 1.0) < 1e-3) factor = 2.0;
    KRNMathPoint foundCenter;
    double foundFactor = 0.0;
    ASSERT_TRUE(ScalingAbout(center, factor).IsScaling(foundCenter, foundFactor));
    EXPECT_NEAR(factor, foundFactor, 1e-14 * factor);
    ExpectNear(center, foundCenter, 1e-9);
  }
  KRNMathPoint c;
  double f = 0.0;
  ASSERT_TRUE(ScalingAbout(KRNMathPoint(), 3.0).IsScaling(c, f));
  EXPECT_EQ(3.0, f);
  ExpectNear(KRNMathPoint(), c, 0.0);
}

// Not scalings; the outputs stay untouched.
TEST(KRNMathTransformation, IsScalingFalseTable) {
  Random random(45);
  const KRNMathTransformation others[] = {
      KRNMathTransformation(),                                                          // identity: our choice
      KRNMathTransformation(KRNMathVector(1, 2, 3)),                                    // translation
      KRNMathTransformation(0.7, KRNMathLine(random.Point(), random.NonZeroVector())),  // rotation
      KRNMathTransformation(KRNPI, KRNMathLine(KRNMathPoint(), KRNMathVector(0, 1, 0))),
      KRNMathTransformation(Diagonal(2, 2, 2.001)),  // non-uniform
      KRNMathTransformation(Diagonal(2, 2, 2), KRNMathVector()) *
          KRNMathTransformation(0.1, KRNMathLine(KRNMathPoint(), KRNMathVector(1, 0, 0))),  // scaled rotation
      ScalingAbout(KRNMathPoint(1, 0, 0), -2.0),                                            // point reflection
      ScalingAbout(KRNMathPoint(1, 0, 0), -1.0),
      ScalingAbout(KRNMathPoint(1, 0, 0), 0.0),                               // collapse
      KRNMathTransformation(KRNMath3x3Matrix(), KRNMathVector(1e-20, 0, 0)),  // factor 1 with a shift
  };
  for (const KRNMathTransformation& t : others) {
    SCOPED_TRACE(&t - others);
    KRNMathPoint center(7, 7, 7);
    double factor = 42.0;
    EXPECT_FALSE(t.IsScaling(center, factor));
    ExpectNear(KRNMathPoint(7, 7, 7), center, 0.0);
    EXPECT_EQ(42.0, factor);
  }
}

TEST(KRNMathTransformation, HalfTurnIsRigidFixesThePointAndReversesTheVector) {
  Random random(46);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const KRNMathPoint point = random.Point();
    const KRNMathVector vector = (i % 3 == 0) ? KRNMathVector(random.Direction()) : random.NonZeroVector(50.0);
    const KRNMathTransformation t(point, vector);
    EXPECT_NEAR(1.0, t.GetMatrix().Determinant(), 1e-12);
    ExpectNear(point, t * point, 1e-12);
    ExpectNear(-vector, t * vector, 1e-12);
    const KRNMathPoint a = random.Point(), b = random.Point();
    EXPECT_NEAR(a.DistanceTo(b), (t * a).DistanceTo(t * b), 1e-11);
    const KRNMathTransformation twice = t * t;  // a half-turn is its own inverse
    ExpectMatrixNear(KRNMath3x3Matrix(), twice.GetMatrix(), 1e-12);
    ExpectNear(KRNMathVector(), twice.GetTranslation(), 1e-11);
  }
  // Our axis choice: (0,0,2) has its smallest component on x (first on the tie with y), so the
  // axis is (0,0,2) ^ (1,0,0) = y; (1,0,0) has it on y, so the axis is z.
  const KRNMathTransformation aboutY(KRNMathPoint(), KRNMathVector(0, 0, 2));
  ExpectNear(KRNMathVector(-1, 0, 0), aboutY * KRNMathVector(1, 0, 0), 0.0);
  ExpectNear(KRNMathVector(0, 1, 0), aboutY * KRNMathVector(0, 1, 0), 0.0);
  const KRNMathTransformation aboutZ(KRNMathPoint(0, 0, 5), KRNMathI);
  ExpectNear(KRNMathVector(0, 0, 1), aboutZ * KRNMathVector(0, 0, 1), 0.0);
  ExpectNear(KRNMathPoint(-1, -1, 5), aboutZ * KRNMathPoint(1, 1, 5), 0.0);
  EXPECT_TRUE(KRNMathTransformation(KRNMathPoint(1, 2, 3), KRNMathVector()).IsIdentity());
}

}  // namespace
