// Points, vectors, directions and the constants: arithmetic, the unit-direction rule and the
// angular tests.
#include "KRNMathTestSupport.h"

#include "KRNMathConstants.h"
#include "KRNMathDirection.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;

bool SameBits(const KRNMathVector& a, const KRNMathVector& b) {
  const double u[] = {a.x, a.y, a.z}, v[] = {b.x, b.y, b.z};
  return std::memcmp(u, v, sizeof u) == 0;
}

TEST(KRNMathDirectionRule, Table) {
  const double h = std::sqrt(0.5);
  const struct {
    KRNMathDirection direction;
    KRNMathVector expected;
    double tol;
  } cases[] = {
      {KRNMathDirection(), KRNMathVector(1, 0, 0), 0.0},
      {KRNMathDirection(KRNMathVector(0, 0, 0)), KRNMathVector(1, 0, 0), 0.0},
      {KRNMathDirection(KRNMathVector(-0.0, 0.0, -0.0)), KRNMathVector(1, 0, 0), 0.0},
      {KRNMathDirection(0.0, 0.0, 0.0), KRNMathVector(1, 0, 0), 0.0},
      // Squared length rounds to exactly 1.0: kept although not unit.
      {KRNMathDirection(KRNMathVector(1.0, 1e-8, 0.0)), KRNMathVector(1.0, 1e-8, 0.0), 0.0},
      {KRNMathDirection(0.0, 3.0, 4.0), KRNMathVector(0.0, 0.6, 0.8), 4.4e-16},
      // Squared lengths outside the double range still give the true direction.
      {KRNMathDirection(KRNMathVector(1e200, 1e200, 0.0)), KRNMathVector(h, h, 0.0), 1e-15},
      {KRNMathDirection(KRNMathVector(0.0, -1e300, 0.0)), KRNMathVector(0.0, -1.0, 0.0), 1e-15},
      {KRNMathDirection(KRNMathVector(1e-200, 0.0, -1e-200)), KRNMathVector(h, 0.0, -h), 1e-15},
      {KRNMathDirection(KRNMathVector(3e-160, 4e-160, 0.0)), KRNMathVector(0.6, 0.8, 0.0), 1e-15},
      {KRNMathDirection(KRNMathVector(0.0, 0.0, 5e-324)), KRNMathVector(0.0, 0.0, 1.0), 1e-15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    ExpectNear(c.expected, c.direction, c.tol);
  }
  EXPECT_LT(KRNMathDirection(KRNMathVector(1.0, 2e-8, 0.0)).x, 1.0);  // squared length not 1: scaled
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(KRNMathDirection(KRNMathVector(nan, 0.0, 0.0)).x));
  const KRNMathDirection fromInf(KRNMathVector(inf, 1.0, 0.0));
  EXPECT_FALSE(std::isfinite(fromInf.x) && std::isfinite(fromInf.y) && std::isfinite(fromInf.z));
}

// Squared length exactly 1: components kept bit for bit; otherwise scaled by 1/sqrt(s) exactly.
TEST(KRNMathDirectionRule, RandomVectorsAreKeptOrScaledBitForBit) {
  Random random(11);
  int kept = 0;
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    KRNMathVector v = random.NonZeroVector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 0) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z;
    const KRNMathDirection d(v);
    if (s == 1.0) {
      ++kept;
      EXPECT_TRUE(SameBits(v, d)) << i;
      continue;
    }
    const double f = 1.0 / std::sqrt(s);
    EXPECT_TRUE(SameBits(KRNMathVector(v.x * f, v.y * f, v.z * f), d)) << i;
    EXPECT_NEAR(1.0, KRNMathVector(d).Norm(), 1e-15);
  }
  EXPECT_GT(kept, 0);
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

TEST(KRNMathArithmetic, MatchesTheComponentFormulas) {
  Random random(21);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathVector u = random.Vector(), v = random.Vector();
    EXPECT_EQ(u.x * v.x + u.y * v.y + u.z * v.z, u * v);
    EXPECT_EQ(u * v, u.Dot(v));
    const KRNMathVector c = u ^ v;
    ExpectNear(KRNMathVector(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x), c, 0.0);
    ExpectNear(c, u.Cross(v), 0.0);
    ExpectNear(KRNMathVector(2 * u.x - v.x, 2 * u.y - v.y, 2 * u.z - v.z), 2.0 * u - v, 1e-14);
    ExpectNear(u * 3.0, 3.0 * u, 0.0);

    const KRNMathVector original = random.NonZeroVector(1e4);
    KRNMathVector unit = original;
    unit.Normalize();
    EXPECT_NEAR(1.0, unit.Norm(), 1e-15);
    EXPECT_NEAR(original.Norm(), original * unit, 1e-10);  // same sense

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
}

TEST(KRNMathArithmetic, NormalizeAndAngularTestsAtExtremeLengths) {
  KRNMathVector zero;
  zero.Normalize();
  ExpectNear(KRNMathVector(0, 0, 0), zero, 0.0);  // kept
  KRNMathVector v(3.0, 0.0, -4.0);
  v.Normalize();
  ExpectNear(KRNMathVector(0.6, 0.0, -0.8), v, 2e-16);
  const double h = std::sqrt(0.5);
  for (const double scale : {1e-200, 1e-170, 5e-324, 1e170, 1e300}) {
    SCOPED_TRACE(scale);
    KRNMathVector w(scale, -scale, 0.0);
    w.Normalize();
    ExpectNear(KRNMathVector(h, -h, 0.0), w, 1e-15);
    const KRNMathVector a(scale, 0.0, 0.0), b(0.0, scale, 0.0), c(-scale, 0.0, 0.0);
    EXPECT_FALSE(a.IsParallel(b));
    EXPECT_TRUE(a.IsParallel(c));
    EXPECT_TRUE(a.IsOrthogonal(b));
    EXPECT_FALSE(a.IsOrthogonal(c));
  }
}

// Against (1,0,0) and (2,0,0): (cos a, sin a, 0) scaled by length, in either order; the zero
// vector is parallel and orthogonal to everything.
TEST(KRNMathVectorAngles, ParallelAndOrthogonalWithinTheTolerance) {
  const double tol = KRNMathVector::AngularTolerance, right = KRNPIBY2;
  const struct {
    double angle, length;
    bool parallel, orthogonal;
  } cases[] = {
      {0.0, 1.0, true, false},         {0.5 * tol, 1.0, true, false},    {0.9 * tol, 1e6, true, false},
      {0.9 * tol, 1e-6, true, false},  {1.1 * tol, 1.0, false, false},   {2.0 * tol, 1e6, false, false},
      {2.0 * tol, 1e-6, false, false}, {KRNPI, 1.0, true, false},        {KRNPI - 0.5 * tol, 3.0, true, false},
      {KRNPI - 2.0 * tol, 3.0, false, false}, {1.0, 1.0, false, false},  {right, 1.0, false, true},
      {right + 0.5 * tol, 1.0, false, true},  {right - 0.9 * tol, 1e5, false, true},
      {right + 0.9 * tol, 1e-5, false, true}, {right + 1.1 * tol, 1.0, false, false},
      {right - 2.0 * tol, 1e5, false, false}, {right + 0.3, 1.0, false, false},
  };
  const KRNMathVector zero;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "angle " << c.angle << " length " << c.length);
    const KRNMathVector v(c.length * std::cos(c.angle), c.length * std::sin(c.angle), 0.0);
    for (const KRNMathVector u : {KRNMathVector(1, 0, 0), KRNMathVector(2, 0, 0)}) {
      EXPECT_EQ(c.parallel, u.IsParallel(v));
      EXPECT_EQ(c.parallel, v.IsParallel(u));
      EXPECT_EQ(c.orthogonal, u.IsOrthogonal(v));
      EXPECT_EQ(c.orthogonal, v.IsOrthogonal(u));
      EXPECT_EQ(c.parallel, KRNMathDirection(v).IsParallel(u));  // a direction answers as its vector
      EXPECT_EQ(c.orthogonal, KRNMathDirection(v).IsOrthogonal(u));
    }
    EXPECT_TRUE(zero.IsParallel(v) && v.IsParallel(zero) && zero.IsOrthogonal(v) && v.IsOrthogonal(zero));
  }
  EXPECT_TRUE(zero.IsParallel(zero) && zero.IsOrthogonal(zero));
}

}  // namespace
