// Points, vectors, directions, constants, boxes, point sets, raw collections and the
// single-precision types: the unit-direction rule, the angular tests and the indexing rules.
#include "KRNMathTestSupport.h"
#include "ZRMTestSupport.h"

#include "KRNMathBox.h"
#include "KRNMathBox2D.h"
#include "KRNMathConstants.h"
#include "KRNMathDirectionf.h"
#include "KRNMathSetOfPoints.h"
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
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Dir = KRNMathDirection;

const double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

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
      {Dir(0.0, 3.0, 4.0), Vec(0.0, 0.6, 0.8), 4.4e-16},
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
  const Dir fromInf(Vec(kInf, 1.0, 0.0));
  EXPECT_FALSE(std::isfinite(fromInf.x) && std::isfinite(fromInf.y) && std::isfinite(fromInf.z));
}

// Squared length exactly 1: components kept bit for bit; otherwise scaled by 1/sqrt(s) exactly.
TEST(KRNMathDirectionRule, RandomVectorsAreKeptOrScaledBitForBit) {
  Random random(11);
  int kept = 0;
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    Vec v = random.NonZeroVector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 0) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, f = 1.0 / std::sqrt(s);
    const Dir d(v);
    kept += s == 1.0;
    EXPECT_TRUE(SameBits(s == 1.0 ? v : Vec(v.x * f, v.y * f, v.z * f), d)) << i;
    EXPECT_NEAR(1.0, Vec(d).Norm(), 1e-15);
  }
  EXPECT_GT(kept, 0);
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
    EXPECT_DOUBLE_EQ(p.DistanceTo(q), q.DistanceTo(p));
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

// Against (1,0,0) and (2,0,0): (cos a, sin a, 0) scaled by length, in either order, as a vector
// and as a direction; the zero vector is parallel and orthogonal to everything.
TEST(KRNMathVectorAngles, ParallelAndOrthogonalWithinTheTolerance) {
  const double tol = Vec::AngularTolerance, right = KRNPIBY2;
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
  const Vec zero;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "angle " << c.angle << " length " << c.length);
    const Vec v(c.length * std::cos(c.angle), c.length * std::sin(c.angle), 0.0);
    for (const Vec u : {Vec(1, 0, 0), Vec(2, 0, 0)}) {
      EXPECT_EQ(c.parallel, u.IsParallel(v));
      EXPECT_EQ(c.parallel, v.IsParallel(u));
      EXPECT_EQ(c.orthogonal, u.IsOrthogonal(v));
      EXPECT_EQ(c.orthogonal, v.IsOrthogonal(u));
      EXPECT_EQ(c.parallel, Dir(v).IsParallel(u));
      EXPECT_EQ(c.orthogonal, Dir(v).IsOrthogonal(u));
    }
    EXPECT_TRUE(zero.IsParallel(v) && v.IsParallel(zero) && zero.IsOrthogonal(v) && v.IsOrthogonal(zero));
  }
  EXPECT_TRUE(zero.IsParallel(zero) && zero.IsOrthogonal(zero));
}

// Random points against model bounds; an empty box reads (0,0,0); a point with a NaN is ignored.
TEST(KRNMathBox, GrowsToTheComponentwiseBoundsOfItsPoints) {
  Random random(71);
  KRNMathBox box;
  KRNMathBox2D flat;
  EXPECT_TRUE(box.IsEmpty() && flat.IsEmpty());
  ExpectNear(Pnt(), box.GetLow(), 0.0);
  ExpectNear(Pnt(), box.GetHigh(), 0.0);
  Pnt low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
  for (int i = 0; i < 50; ++i) {
    const Pnt p = random.Point();
    box.AddInside(p);
    flat.AddInside(KRNMathPoint2D(p.x, p.y));
    low = Pnt(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = Pnt(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    EXPECT_FALSE(box.IsEmpty() || flat.IsEmpty());
    ExpectNear(low, box.GetLow(), 0.0);
    ExpectNear(high, box.GetHigh(), 0.0);
    EXPECT_TRUE(flat.GetLow().x == low.x && flat.GetLow().y == low.y);
    EXPECT_TRUE(flat.GetHigh().x == high.x && flat.GetHigh().y == high.y);
  }
  box.AddInside(Pnt(kNaN, -1e9, -1e9));
  flat.AddInside(KRNMathPoint2D(-1e9, kNaN));
  ExpectNear(low, box.GetLow(), 0.0);
  EXPECT_EQ(low.x, flat.GetLow().x);
  const KRNMathBox corners(Pnt(3, -1, 2), Pnt(1, 4, 2));
  ExpectNear(Pnt(1, -1, 2), corners.GetLow(), 0.0);
  ExpectNear(Pnt(3, 4, 2), corners.GetHigh(), 0.0);
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

}  // namespace
