// The platform math types against analytic formulas and models: the unit-direction rule, vector
// arithmetic and angular tests, boxes, point sets and raw collections (indexed from 0 and from 1),
// 3x3 matrices, transformations (rotations against Rodrigues' formula, inverses, composition,
// uniform scalings, half-turns), and projection onto lines and circles.
#include "KRNMathTestSupport.h"
#include "ZRMTestSupport.h"

#include "KRNMath3x3Matrix.h"
#include "KRNMathBox.h"
#include "KRNMathBox2D.h"
#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNMathDirectionf.h"
#include "KRNMathLine.h"
#include "KRNMathSetOfPoints.h"
#include "KRNMathTransformation.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;
using krnmathtest::Rodrigues;
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Dir = KRNMathDirection;
using Mat = KRNMath3x3Matrix;
using Xf = KRNMathTransformation;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool SameBits(const Vec& a, const Vec& b) {
  const double u[] = {a.x, a.y, a.z}, v[] = {b.x, b.y, b.z};
  return std::memcmp(u, v, sizeof u) == 0;
}

TEST(KRNMathDirectionRule, Table) {
  const double h = std::sqrt(0.5);
  const struct {
    Dir direction;
    Vec expected;
    double tol;
  } cases[] = {
      {Dir(), Vec(1, 0, 0), 0.0},
      {Dir(Vec(0, 0, 0)), Vec(1, 0, 0), 0.0},
      {Dir(Vec(-0.0, 0.0, -0.0)), Vec(1, 0, 0), 0.0},
      {Dir(0.0, 0.0, 0.0), Vec(1, 0, 0), 0.0},
      // Squared length rounds to exactly 1.0: kept although not unit.
      {Dir(Vec(1.0, 1e-8, 0.0)), Vec(1.0, 1e-8, 0.0), 0.0},
      // Divided by the length 5: exactly the quotients 3/5 and 4/5 (times 1/5 gives a y one
      // unit in the last place larger).
      {Dir(0.0, 3.0, 4.0), Vec(0.0, 3.0 / 5.0, 4.0 / 5.0), 0.0},
      {Dir(Vec(-6.0, 0.0, 8.0)), Vec(-6.0 / 10.0, 0.0, 8.0 / 10.0), 0.0},
      // Squared lengths outside the double range still give the true direction.
      {Dir(Vec(1e200, 1e200, 0.0)), Vec(h, h, 0.0), 1e-15},
      {Dir(Vec(0.0, -1e300, 0.0)), Vec(0.0, -1.0, 0.0), 1e-15},
      {Dir(Vec(1e-200, 0.0, -1e-200)), Vec(h, 0.0, -h), 1e-15},
      {Dir(Vec(3e-160, 4e-160, 0.0)), Vec(0.6, 0.8, 0.0), 1e-15},
      {Dir(Vec(0.0, 0.0, 5e-324)), Vec(0.0, 0.0, 1.0), 1e-15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    ExpectNear(c.expected, c.direction, c.tol);
  }
  EXPECT_LT(Dir(Vec(1.0, 2e-8, 0.0)).x, 1.0);  // squared length not 1: scaled
  EXPECT_TRUE(std::isnan(Dir(Vec(kNaN, 0.0, 0.0)).x));
  const Dir fromInf(Vec(std::numeric_limits<double>::infinity(), 1.0, 0.0));
  EXPECT_FALSE(std::isfinite(fromInf.x) && std::isfinite(fromInf.y) && std::isfinite(fromInf.z));
}

// Squared length exactly 1: components kept bit for bit; otherwise each divided by the length
// sqrt(s). Multiplying by 1/sqrt(s) instead differs in the last bit for a good share of vectors,
// which the count below makes sure this sample contains.
TEST(KRNMathDirectionRule, RandomVectorsAreKeptOrDividedByTheLengthBitForBit) {
  Random random(11);
  int kept = 0, reciprocalDiffers = 0;
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    Vec v = random.NonZeroVector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 0) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, length = std::sqrt(s), f = 1.0 / length;
    const Dir d(v);
    kept += s == 1.0;
    const Vec divided(v.x / length, v.y / length, v.z / length);
    EXPECT_TRUE(SameBits(s == 1.0 ? v : divided, d)) << i;
    EXPECT_NEAR(1.0, Vec(d).Norm(), 1e-15);
    reciprocalDiffers += s != 1.0 && !SameBits(Vec(v.x * f, v.y * f, v.z * f), divided);
  }
  EXPECT_GT(kept, 0);
  EXPECT_GT(reciprocalDiffers, zrmtest::Scaled(4000) / 10);
}

TEST(KRNMathArithmetic, ConstantsAndComponentFormulas) {
  EXPECT_DOUBLE_EQ(std::acos(-1.0), KRNPI);
  EXPECT_DOUBLE_EQ(2.0 * std::acos(-1.0), KRN2PI);
  EXPECT_DOUBLE_EQ(0.5 * std::acos(-1.0), KRNPIBY2);
  EXPECT_TRUE(SameBits(Vec(1, 0, 0), KRNMathI) && SameBits(Vec(0, 1, 0), KRNMathJ) && SameBits(Vec(0, 0, 1), KRNMathK));
  Random random(21);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Vec u = random.Vector(), v = random.Vector();
    EXPECT_EQ(u.x * v.x + u.y * v.y + u.z * v.z, u * v);
    ExpectNear(Vec(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x), u ^ v, 0.0);
    ExpectNear(Vec(2 * u.x - v.x, 2 * u.y - v.y, 2 * u.z - v.z), 2.0 * u - v, 1e-14);
    ExpectNear(u * 3.0, 3.0 * u, 0.0);
    const Vec original = random.NonZeroVector(1e4);
    Vec unit = original;
    EXPECT_NEAR(1.0, unit.Normalize().Norm(), 1e-15);
    EXPECT_NEAR(original.Norm(), original * unit, 1e-10);  // same sense
    const Pnt p = random.Point(), q = random.Point();
    const Vec d = p - q;
    ExpectNear(Vec(p.x - q.x, p.y - q.y, p.z - q.z), d, 0.0);
    ExpectNear(p, q + d, 1e-14);
    ExpectNear(q, p - d, 1e-14);
    EXPECT_DOUBLE_EQ(d * d, p.SquareDistanceTo(q));
    EXPECT_DOUBLE_EQ(std::sqrt(d * d), p.DistanceTo(q));
  }
}

// Normalize and the angular tests bring out-of-range lengths into range first; zero stays zero.
TEST(KRNMathArithmetic, NormalizeAndAngularTestsAtExtremeLengths) {
  Vec zero, v(3.0, 0.0, -4.0);
  ExpectNear(Vec(0, 0, 0), zero.Normalize(), 0.0);
  ExpectNear(Vec(0.6, 0.0, -0.8), v.Normalize(), 2e-16);
  const double h = std::sqrt(0.5);
  for (const double scale : {1e-200, 1e-170, 5e-324, 1e170, 1e300}) {
    SCOPED_TRACE(scale);
    Vec w(scale, -scale, 0.0);
    ExpectNear(Vec(h, -h, 0.0), w.Normalize(), 1e-15);
    const Vec a(scale, 0.0, 0.0), b(0.0, scale, 0.0), c(-scale, 0.0, 0.0);
    EXPECT_TRUE(!a.IsParallel(b) && a.IsParallel(c) && a.IsOrthogonal(b) && !a.IsOrthogonal(c));
  }
}

// v = length (cos a, sin a, 0) for a = base + offset * tolerance, against (1,0,0) and (2,0,0), in
// either order, as a vector and as a direction: parallel near 0 and pi, orthogonal near pi/2,
// strictly within the tolerance only; the zero vector is parallel and orthogonal to everything.
TEST(KRNMathVectorAngles, ParallelAndOrthogonalWithinTheTolerance) {
  const struct {
    double base;
    bool parallel, orthogonal;
  } bases[] = {{0.0, true, false},
               {KRNPI, true, false},
               {KRNPIBY2, false, true},
               {1.0, false, false},
               {KRNPIBY2 + 0.3, false, false}};
  const Vec zero;
  for (const auto& b : bases) {
    for (const double offset : {0.0, 0.5, -0.5, 0.9, -0.9, 1.1, -1.1, 2.0, -2.0}) {
      for (const double length : {1e-6, 1.0, 3.0, 1e6}) {
        SCOPED_TRACE(testing::Message() << "angle " << b.base << " + " << offset << " tol, length " << length);
        const double angle = b.base + offset * Vec::AngularTolerance;
        const bool within = std::fabs(offset) < 1.0, parallel = b.parallel && within;
        const bool orthogonal = b.orthogonal && within;
        const Vec v(length * std::cos(angle), length * std::sin(angle), 0.0);
        for (const Vec u : {Vec(1, 0, 0), Vec(2, 0, 0)}) {
          EXPECT_EQ(parallel, u.IsParallel(v));
          EXPECT_EQ(parallel, v.IsParallel(u));
          EXPECT_EQ(orthogonal, u.IsOrthogonal(v));
          EXPECT_EQ(orthogonal, v.IsOrthogonal(u));
          EXPECT_EQ(parallel, Dir(v).IsParallel(u));
          EXPECT_EQ(orthogonal, Dir(v).IsOrthogonal(u));
        }
        EXPECT_TRUE(zero.IsParallel(v) && v.IsParallel(zero) && zero.IsOrthogonal(v) && v.IsOrthogonal(zero));
      }
    }
  }
  EXPECT_TRUE(zero.IsParallel(zero) && zero.IsOrthogonal(zero));
}

// Random points against model bounds; an empty box reads (0,0,0); a point with a NaN is ignored.
TEST(KRNMathBox, GrowsToTheComponentwiseBoundsOfItsPoints) {
  Random random(71);
  KRNMathBox box;
  KRNMathBox2D flat;
  EXPECT_TRUE(box.IsEmpty() && flat.IsEmpty());
  EXPECT_TRUE(SameBits(Vec(box.GetLow()), Vec()) && SameBits(Vec(box.GetHigh()), Vec()));
  Pnt low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
  for (int i = 0; i < 50; ++i) {
    const Pnt p = random.Point();
    box.AddInside(p);
    flat.AddInside(KRNMathPoint2D(p.x, p.y));
    low = Pnt(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = Pnt(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    EXPECT_FALSE(box.IsEmpty() || flat.IsEmpty());
    EXPECT_TRUE(SameBits(Vec(low), Vec(box.GetLow())) && SameBits(Vec(high), Vec(box.GetHigh())));
    EXPECT_TRUE(flat.GetLow().x == low.x && flat.GetLow().y == low.y);
    EXPECT_TRUE(flat.GetHigh().x == high.x && flat.GetHigh().y == high.y);
  }
  box.AddInside(Pnt(kNaN, -1e9, -1e9));
  flat.AddInside(KRNMathPoint2D(-1e9, kNaN));
  EXPECT_TRUE(SameBits(Vec(low), Vec(box.GetLow())) && flat.GetLow().x == low.x);
  const KRNMathBox corners(Pnt(3, -1, 2), Pnt(1, 4, 2));
  EXPECT_TRUE(SameBits(Vec(1, -1, 2), Vec(corners.GetLow())) && SameBits(Vec(3, 4, 2), Vec(corners.GetHigh())));
}

// Appends random values to a raw collection and to a std::vector model, overwriting some through
// operator[], then compares them through 1-based indexing; index 0, -1 and count + 1 raise.
template <class Coll, class T>
void CheckAgainstModel(Random& random) {
  Coll coll;
  std::vector<T> model;
  for (int i = 0; i < 40; ++i) {
    model.push_back(static_cast<T>(random.Uniform(-100, 100)));
    coll.Append(model.back());
    if (i % 7 == 3) coll[i / 2 + 1] = model[static_cast<std::size_t>(i / 2)] = static_cast<T>(i);
  }
  ASSERT_EQ(static_cast<int>(model.size()), coll.Size());
  const Coll& view = coll;
  for (int i = 1; i <= view.Size(); ++i) EXPECT_EQ(model[static_cast<std::size_t>(i - 1)], view[i]);
  for (const int bad : {0, -1, coll.Size() + 1}) {
    const zrmtest::Raised raised = zrmtest::CatchRaised([&] { (void)coll[bad]; });
    EXPECT_TRUE(raised.isZRMUtError && raised.code == ZRMUtError::IndexOutOfRange);
  }
  coll.RemoveAll();
  EXPECT_EQ(0, coll.Size());
  EXPECT_TRUE(zrmtest::CatchRaised([&] { (void)coll[1]; }).raised);
}

// Point sets count from 0 and copy by value; raw collections count from 1.
TEST(KRNMathCollections, IndexingAgainstTheModels) {
  KRNMathSetOfPoints set(3), assigned;
  set.SetPoint(Pnt(1, 2, 3), 0);
  set.Append(Pnt(-1, -1, -1));
  ASSERT_EQ(4, set.GetNumberOfPoints());
  ExpectNear(Pnt(1, 2, 3), set.GetPoint(0), 0.0);
  ExpectNear(Pnt(), set.GetPoint(1), 0.0);
  ExpectNear(Pnt(-1, -1, -1), set.GetPoint(3), 0.0);
  const KRNMathSetOfPoints copy(set);
  assigned = set;
  set.SetPoint(Pnt(0, 0, 0), 0);
  ExpectNear(Pnt(1, 2, 3), copy.GetPoint(0), 0.0);
  ExpectNear(Pnt(1, 2, 3), assigned.GetPoint(0), 0.0);
  EXPECT_EQ(4, assigned.GetNumberOfPoints());
  EXPECT_EQ(0, KRNMathSetOfPoints(-2).GetNumberOfPoints());
  for (const int bad : {-1, 4}) {
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)set.GetPoint(bad); }).code);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { set.SetPoint(Pnt(), bad); }).code);
  }
  EXPECT_EQ(4, set.GetNumberOfPoints());
  Random random(72);
  CheckAgainstModel<KRNRawColldouble, double>(random);
  CheckAgainstModel<KRNRawCollint, int>(random);
  KRNRawColldouble first;
  first.Append(2.5);
  EXPECT_EQ("KRNRawColldouble", zrmtest::CatchRaised([&] { (void)first[2]; }).file);
}

TEST(KRNMathDirectionf, StoresItsFloatsAsGiven) {
  EXPECT_EQ(4.0f, KRNMathDirectionf(0.0f, 3.0f, 4.0f).z);  // our choice: not normalised
  EXPECT_EQ(1.0f, KRNMathDirectionf().x);
}

Mat Diagonal(double a, double b, double c) { return Mat(Vec(a, 0, 0), Vec(0, b, 0), Vec(0, 0, c)); }

// A random transformation whose linear part is well conditioned (random entries plus 4 I).
Xf RandomInvertible(Random& random) {
  const Vec x = Vec(4, 0, 0), y = Vec(0, 4, 0), z = Vec(0, 0, 4);
  return Xf(Mat(random.Vector(1.0) + x, random.Vector(1.0) + y, random.Vector(1.0) + z), random.Vector());
}

// The scaling by factor about center, composed from translations so that it does not share the
// implementation's formula.
Xf ScalingAbout(const Pnt& center, double factor) {
  return Xf(Vec(center)) * Xf(Diagonal(factor, factor, factor)) * Xf(-Vec(center));
}

// Columns in order; an index outside 0..2 raises. The other maps are checked by the random
// property tests below; vectors get the linear part only, a direction is not renormalised.
TEST(KRNMathTransformation, MatrixColumnsCheckedAccessAndVectorImages) {
  const Mat m(Vec(1, 2, 3), Vec(4, 5, 6), Vec(7, 8, 10));
  EXPECT_TRUE(m(1, 0) == 2.0 && m(0, 1) == 4.0 && m(2, 2) == 10.0);
  ExpectNear(Vec(3, 6, 10), m.GetRow(2), 0.0);
  EXPECT_DOUBLE_EQ(-3.0, m.Determinant());
  for (const int bad : {-1, 3}) {
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(bad, 0); }).code);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)m(0, bad); }).code);
    EXPECT_TRUE(zrmtest::CatchRaised([&] { (void)m.GetColumn(bad); }).isZRMUtError);
  }
  Mat writable;
  writable(0, 2) = 5.0;
  EXPECT_EQ(5.0, writable.GetColumn(2).x);
  const Xf t(Mat(Vec(0, 1, 0), Vec(-1, 0, 0), Vec(0, 0, 2)), Vec(10, 20, 30));
  ExpectNear(Pnt(10 - 2, 20 + 1, 30 + 6), t * Pnt(1, 2, 3), 0.0);
  ExpectNear(Vec(-2, 1, 6), t * Vec(1, 2, 3), 0.0);
  ExpectNear(Vec(0, 0, 2), t * KRNMathK, 0.0);
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

// IsIdentity within the tolerance; none of these is a scaling, and IsScaling then leaves its
// outputs alone.
TEST(KRNMathTransformation, IdentityAndNotScalingTable) {
  Random random(45);
  const struct {
    Xf t;
    bool identity;
  } cases[] = {
      {Xf(), true},  // the identity is no scaling: our choice
      {Xf(Vec(1e-13, 0, 0)), true},
      {Xf(Mat(), Vec(1e-20, 0, 0)), true},  // factor 1 with a shift
      {Xf(Vec(0, 0, 1e-11)), false},
      {Xf(Vec(1, 2, 3)), false},
      {Xf(Diagonal(1, 1 + 1e-11, 1)), false},
      {Xf(KRN2PI, KRNMathLine(Pnt(1, 2, 3), Vec(1, 1, 1))), true},
      {Xf(1e-6, KRNMathLine(Pnt(), Vec(0, 0, 1))), false},
      {Xf(1.0, KRNMathLine(Pnt(3, 3, 3), Vec(0, 0, 0))), true},  // a rotation about no axis
      {Xf(Pnt(1, 2, 3), Vec()), true},                           // a half-turn about no axis
      {Xf(0.7, KRNMathLine(random.Point(), random.NonZeroVector())), false},
      {Xf(KRNPI, KRNMathLine(Pnt(), Vec(0, 1, 0))), false},
      {Xf(Diagonal(2, 2, 2.001)), false},                                          // non-uniform
      {Xf(Diagonal(2, 2, 2)) * Xf(0.1, KRNMathLine(Pnt(), Vec(1, 0, 0))), false},  // scaled rotation
      {ScalingAbout(Pnt(1, 0, 0), -2.0), false},                                   // point reflection
      {ScalingAbout(Pnt(1, 0, 0), -1.0), false},
      {ScalingAbout(Pnt(1, 0, 0), 0.0), false},  // collapse
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Pnt center(7, 7, 7);
    double factor = 42.0;
    EXPECT_EQ(c.identity, c.t.IsIdentity());
    EXPECT_FALSE(c.t.IsScaling(center, factor));
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
