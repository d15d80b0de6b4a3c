// Points, vectors, directions and the constants: arithmetic, the unit-direction rule and the
// angular tests.
#include "KRNMathTestSupport.h"

#include "KRNMathConstants.h"
#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathVector.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---------------------------------------------------------------- unit-direction rule

TEST(KRNMathDirectionRule, DefaultAndZeroVectorGiveX) {
  const KRNMathDirection byDefault;
  EXPECT_EQ(1.0, byDefault.x);
  EXPECT_EQ(0.0, byDefault.y);
  EXPECT_EQ(0.0, byDefault.z);
  for (const KRNMathVector zero : {KRNMathVector(0, 0, 0), KRNMathVector(-0.0, 0.0, -0.0)}) {
    const KRNMathDirection d(zero);
    EXPECT_EQ(1.0, d.x);
    EXPECT_EQ(0.0, d.y);
    EXPECT_EQ(0.0, d.z);
  }
}

TEST(KRNMathDirectionRule, SquaredLengthExactlyOneKeepsComponentsBitForBit) {
  // (1, 1e-8, 0) has a squared length that rounds to exactly 1.0: kept although not unit.
  const KRNMathDirection nearlyUnit(KRNMathVector(1.0, 1e-8, 0.0));
  EXPECT_TRUE(SameBits(1.0, nearlyUnit.x));
  EXPECT_TRUE(SameBits(1e-8, nearlyUnit.y));
  // (1, 2e-8, 0) does not round to 1.0: normalised, so x drops below 1.
  const KRNMathDirection notUnit(KRNMathVector(1.0, 2e-8, 0.0));
  EXPECT_LT(notUnit.x, 1.0);

  Random random(11);
  int kept = 0;
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    KRNMathVector v = random.NonZeroVector();
    v.Normalize();
    const KRNMathDirection d(v);
    if (v.x * v.x + v.y * v.y + v.z * v.z != 1.0) continue;
    ++kept;
    EXPECT_TRUE(SameBits(v.x, d.x) && SameBits(v.y, d.y) && SameBits(v.z, d.z));
  }
  EXPECT_GT(kept, 0);
}

TEST(KRNMathDirectionRule, OtherVectorsAreScaledByInverseSquareRoot) {
  Random random(12);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    const KRNMathVector v = random.NonZeroVector(1e3);
    const double s = v.x * v.x + v.y * v.y + v.z * v.z;
    if (s == 1.0) continue;
    const double f = 1.0 / std::sqrt(s);
    const KRNMathDirection d(v);
    EXPECT_TRUE(SameBits(v.x * f, d.x) && SameBits(v.y * f, d.y) && SameBits(v.z * f, d.z));
    EXPECT_NEAR(1.0, KRNMathVector(d).Norm(), 1e-15);
  }
}

TEST(KRNMathDirectionRule, ComponentConstructorFollowsTheRule) {
  const KRNMathDirection d(0.0, 3.0, 4.0);
  EXPECT_DOUBLE_EQ(0.6, d.y);
  EXPECT_DOUBLE_EQ(0.8, d.z);
  const KRNMathDirection zero(0.0, 0.0, 0.0);
  EXPECT_EQ(1.0, zero.x);
}

TEST(KRNMathDirectionRule, OutOfRangeSquaredLengthsStillGiveTheTrueDirection) {
  struct Case {
    KRNMathVector input;
    KRNMathVector expected;
  };
  const double h = std::sqrt(0.5);
  const Case cases[] = {
      {KRNMathVector(1e200, 1e200, 0.0), KRNMathVector(h, h, 0.0)},        // s overflows
      {KRNMathVector(0.0, -1e300, 0.0), KRNMathVector(0.0, -1.0, 0.0)},    // s overflows
      {KRNMathVector(1e-200, 0.0, -1e-200), KRNMathVector(h, 0.0, -h)},    // s underflows to 0
      {KRNMathVector(3e-160, 4e-160, 0.0), KRNMathVector(0.6, 0.8, 0.0)},  // s subnormal
      {KRNMathVector(0.0, 0.0, 5e-324), KRNMathVector(0.0, 0.0, 1.0)},     // smallest subnormal
  };
  for (const Case& c : cases) {
    const KRNMathDirection d(c.input);
    ExpectNear(c.expected, d, 1e-15);
  }
}

TEST(KRNMathDirectionRule, NonFiniteComponentsGiveNonFiniteResults) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const KRNMathDirection fromNaN(KRNMathVector(nan, 0.0, 0.0));
  EXPECT_TRUE(std::isnan(fromNaN.x));
  const KRNMathDirection fromInf(KRNMathVector(inf, 1.0, 0.0));
  EXPECT_FALSE(std::isfinite(fromInf.x) && std::isfinite(fromInf.y) && std::isfinite(fromInf.z));
}

TEST(KRNMathConstants, ValuesAndUnitAxes) {
  EXPECT_DOUBLE_EQ(std::acos(-1.0), KRNPI);
  EXPECT_DOUBLE_EQ(2.0 * std::acos(-1.0), KRN2PI);
  EXPECT_DOUBLE_EQ(0.5 * std::acos(-1.0), KRNPIBY2);
  ExpectNear(KRNMathVector(1, 0, 0), KRNMathI, 0.0);
  ExpectNear(KRNMathVector(0, 1, 0), KRNMathJ, 0.0);
  ExpectNear(KRNMathVector(0, 0, 1), KRNMathK, 0.0);
  ExpectNear(KRNMathK, KRNMathI ^ KRNMathJ, 0.0);
}

// ---------------------------------------------------------------- vector and point arithmetic

TEST(KRNMathVectorArithmetic, ProductsMatchTheComponentFormulas) {
  Random random(21);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathVector u = random.Vector(), v = random.Vector();
    EXPECT_EQ(u.x * v.x + u.y * v.y + u.z * v.z, u * v);
    EXPECT_EQ(u * v, u.Dot(v));
    const KRNMathVector c = u ^ v;
    ExpectNear(KRNMathVector(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x), c, 0.0);
    ExpectNear(c, u.Cross(v), 0.0);
    // Lagrange's identity and orthogonality of the cross product.
    EXPECT_NEAR(u.SquareNorm() * v.SquareNorm(), c.SquareNorm() + (u * v) * (u * v), 1e-9);
    EXPECT_NEAR(0.0, c * u, 1e-10);
    ExpectNear(KRNMathVector(2 * u.x - v.x, 2 * u.y - v.y, 2 * u.z - v.z), 2.0 * u - v, 1e-14);
    ExpectNear(u * 3.0, 3.0 * u, 0.0);
    ExpectNear(KRNMathVector(0, 0, 0), u + (-u), 0.0);
  }
}

TEST(KRNMathVectorArithmetic, NormalizeGivesUnitLengthAndKeepsZero) {
  KRNMathVector zero;
  zero.Normalize();
  ExpectNear(KRNMathVector(0, 0, 0), zero, 0.0);
  KRNMathVector v(3.0, 0.0, -4.0);
  v.Normalize();
  ExpectNear(KRNMathVector(0.6, 0.0, -0.8), v, 2e-16);
  Random random(22);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathVector original = random.NonZeroVector(1e4);
    KRNMathVector u = original;
    u.Normalize();
    EXPECT_NEAR(1.0, u.Norm(), 1e-15);
    EXPECT_NEAR(original.Norm(), original * u, 1e-10);  // same sense
  }
}

TEST(KRNMathVectorArithmetic, NormalizeAndAngularTestsWorkAtExtremeLengths) {
  const double h = std::sqrt(0.5);
  for (const double scale : {1e-200, 1e-170, 5e-324, 1e170, 1e300}) {
    KRNMathVector v(scale, -scale, 0.0);
    v.Normalize();
    ExpectNear(KRNMathVector(h, -h, 0.0), v, 1e-15);
    const KRNMathVector a(scale, 0.0, 0.0), b(0.0, scale, 0.0), c(-scale, 0.0, 0.0);
    EXPECT_FALSE(a.IsParallel(b)) << scale;
    EXPECT_TRUE(a.IsParallel(c)) << scale;
    EXPECT_TRUE(a.IsOrthogonal(b)) << scale;
    EXPECT_FALSE(a.IsOrthogonal(c)) << scale;
  }
}

TEST(KRNMathPointArithmetic, AffineOperationsAndDistances) {
  Random random(23);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathPoint p = random.Point(), q = random.Point();
    const KRNMathVector d = p - q;
    ExpectNear(KRNMathVector(p.x - q.x, p.y - q.y, p.z - q.z), d, 0.0);
    ExpectNear(p, q + d, 1e-14);
    ExpectNear(q, p - d, 1e-14);
    const double squared = (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z);
    EXPECT_DOUBLE_EQ(squared, p.SquareDistanceTo(q));
    EXPECT_DOUBLE_EQ(std::sqrt(squared), p.DistanceTo(q));
    EXPECT_DOUBLE_EQ(p.DistanceTo(q), q.DistanceTo(p));
  }
  const KRNMathPoint origin;
  EXPECT_EQ(0.0, origin.x + origin.y + origin.z);
  const KRNMathVector asVector(KRNMathPoint(1, 2, 3));
  const KRNMathPoint back(asVector);
  ExpectNear(KRNMathPoint(1, 2, 3), back, 0.0);
}

// ---------------------------------------------------------------- angular tests

// (cos a, sin a, 0) scaled by length.
KRNMathVector AtAngle(double a, double length) { return KRNMathVector(length * std::cos(a), length * std::sin(a), 0.0); }

TEST(KRNMathVectorAngles, ParallelWithinTheToleranceInEitherSenseAndAtAnyLength) {
  const double tol = KRNMathVector::AngularTolerance;
  struct Case {
    double angle;
    double length;
    bool parallel;
  };
  const Case cases[] = {
      {0.0, 1.0, true},          {0.5 * tol, 1.0, true},   {0.9 * tol, 1e6, true},   {0.9 * tol, 1e-6, true},
      {1.1 * tol, 1.0, false},   {2.0 * tol, 1e6, false},  {2.0 * tol, 1e-6, false}, {KRNPI, 1.0, true},
      {KRNPI - 0.5 * tol, 3.0, true}, {KRNPI - 2.0 * tol, 3.0, false}, {1.0, 1.0, false}, {KRNPIBY2, 1.0, false},
  };
  for (const Case& c : cases) {
    const KRNMathVector u(2.0, 0.0, 0.0);
    const KRNMathVector v = AtAngle(c.angle, c.length);
    EXPECT_EQ(c.parallel, u.IsParallel(v)) << "angle " << c.angle << " length " << c.length;
    EXPECT_EQ(c.parallel, v.IsParallel(u)) << "angle " << c.angle << " length " << c.length;
  }
}

TEST(KRNMathVectorAngles, OrthogonalWithinTheTolerance) {
  const double tol = KRNMathVector::AngularTolerance;
  struct Case {
    double offset;  // from a right angle
    double length;
    bool orthogonal;
  };
  const Case cases[] = {
      {0.0, 1.0, true},   {0.5 * tol, 1.0, true},   {-0.9 * tol, 1e5, true},  {0.9 * tol, 1e-5, true},
      {1.1 * tol, 1.0, false}, {-2.0 * tol, 1e5, false}, {0.3, 1.0, false},
  };
  for (const Case& c : cases) {
    const KRNMathVector u(0.0, 0.0, 0.0);
    const KRNMathVector x(1.0, 0.0, 0.0);
    const KRNMathVector v = AtAngle(KRNPIBY2 + c.offset, c.length);
    EXPECT_EQ(c.orthogonal, x.IsOrthogonal(v)) << "offset " << c.offset;
    EXPECT_EQ(c.orthogonal, v.IsOrthogonal(x)) << "offset " << c.offset;
    EXPECT_TRUE(u.IsOrthogonal(v));
  }
}

TEST(KRNMathVectorAngles, ZeroVectorIsParallelAndOrthogonalToEverything) {
  const KRNMathVector zero;
  Random random(31);
  for (int i = 0; i < 20; ++i) {
    const KRNMathVector v = random.Vector();
    EXPECT_TRUE(zero.IsParallel(v));
    EXPECT_TRUE(v.IsParallel(zero));
    EXPECT_TRUE(zero.IsOrthogonal(v));
    EXPECT_TRUE(v.IsOrthogonal(zero));
  }
  EXPECT_TRUE(zero.IsParallel(zero));
  EXPECT_TRUE(zero.IsOrthogonal(zero));
}

TEST(KRNMathVectorAngles, DirectionsAnswerAsTheirVectors) {
  Random random(32);
  for (int i = 0; i < 200; ++i) {
    const KRNMathVector u = random.NonZeroVector();
    const KRNMathVector v = (i % 2 == 0) ? random.NonZeroVector() : -2.5 * u;
    const KRNMathDirection du(u), dv(v);
    EXPECT_EQ(du.IsParallel(v), u.IsParallel(v));
    EXPECT_EQ(du.IsParallel(dv), u.IsParallel(v));
    EXPECT_EQ(du.IsOrthogonal(dv), u.IsOrthogonal(v));
  }
  EXPECT_TRUE(KRNMathI.IsOrthogonal(KRNMathJ));
  EXPECT_FALSE(KRNMathI.IsParallel(KRNMathJ));
  EXPECT_TRUE(KRNMathK.IsParallel(KRNMathVector(0, 0, -7)));
}

}  // namespace
