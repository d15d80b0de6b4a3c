// The platform's math value types against their definitions: the unit-direction rule bit for
// bit, the fixed order of the products, angular tests strict within the tolerance, boxes against
// a model, checked indexes, rotations against Rodrigues' formula, scalings, identities and
// inverses, distances from lines and scaled circles.
#include "GeometryTestSupport.h"
#include "KRNMathBox.h"
#include "KRNMathCircle.h"
#include "KRNMathSetOfPoints.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using zrmtest::Near;
using Vec = KRNMathVector;
using Pnt = KRNMathPoint;
using Mat = KRNMath3x3Matrix;
using Xf = KRNMathTransformation;

bool SameBits(const Vec& a, const Vec& b) {
  const double u[] = {a.x, a.y, a.z}, v[] = {b.x, b.y, b.z};
  return std::memcmp(u, v, sizeof u) == 0;
}
Mat Diagonal(double a, double b, double c) { return Mat(Vec(a, 0, 0), Vec(0, b, 0), Vec(0, 0, c)); }
// The scaling by factor about center, composed from translations (not the library's formula).
Xf ScalingAbout(const Pnt& center, double factor) {
  return Xf(Vec(center)) * Xf(Diagonal(factor, factor, factor)) * Xf(-Vec(center));
}

// A squared length of exactly 1 keeps the components bit for bit; zero gives (1, 0, 0); otherwise
// each component is divided by the length (not multiplied by its reciprocal, which differs in
// the last bit for a good share of vectors), lengths outside the double range included.
TEST(KRNMathDirection, UnitDirectionRule) {
  const double h = std::sqrt(0.5);
  const struct {
    Vec from, expected;
    double tol;
  } cases[] = {{{0, 0, 0}, {1, 0, 0}, 0},
               {{-0.0, 0.0, -0.0}, {1, 0, 0}, 0},
               {{1.0, 1e-8, 0}, {1.0, 1e-8, 0}, 0},
               {{0, 3, 4}, {0, 3.0 / 5, 4.0 / 5}, 0},
               {{1e200, 1e200, 0}, {h, h, 0}, 1e-15},
               {{0, -1e300, 0}, {0, -1, 0}, 1e-15},
               {{1e-200, 0, -1e-200}, {h, 0, -h}, 1e-15},
               {{0, 0, 5e-324}, {0, 0, 1}, 1e-15}};
  for (const auto& c : cases) EXPECT_TRUE(Near(c.expected, KRNMathDirection(c.from), c.tol)) << c.from.x;
  EXPECT_TRUE(SameBits(KRNMathDirection(), Vec(1, 0, 0)) && std::isnan(KRNMathDirection(Vec(zrmtest::kNaN, 0, 0)).x));
  zrmtest::Random random(11);
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    Vec v = random.Vector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 0) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, length = std::sqrt(s);
    EXPECT_TRUE(SameBits(s == 1.0 ? v : Vec(v.x / length, v.y / length, v.z / length), KRNMathDirection(v))) << i;
  }
}

// v = length (cos a, sin a, 0), a = base + offset tolerances, against (1,0,0) and (2,0,0) either
// way round, as vector and direction: parallel near 0 and pi, orthogonal near pi/2, strictly
// within the tolerance; the zero vector is both to everything; out-of-range lengths are scaled.
TEST(KRNMathVector, ProductsInFixedOrderAndAngularTests) {
  zrmtest::Random random(21);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Vec u = random.Vector(), v = random.Vector();
    EXPECT_TRUE(u * v == u.x * v.x + u.y * v.y + u.z * v.z &&
                SameBits(u ^ v, Vec(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x)));
    const Pnt p = random.Point(), q = random.Point();
    EXPECT_TRUE(p.SquareDistanceTo(q) == (p - q) * (p - q) && Near(q + (p - q), p, 1e-14) &&
                p.DistanceTo(q) == std::sqrt((p - q) * (p - q)));
  }
  const Vec zero;
  for (const double base : {0.0, KRNPI, KRNPIBY2, 1.0})
    for (const double offset : {0.0, 0.9, -0.9, 1.1, -1.1})
      for (const double length : {1e-6, 3.0, 1e6}) {
        const double angle = base + offset * Vec::AngularTolerance;
        const bool within = std::fabs(offset) < 1.0, parallel = within && base != KRNPIBY2 && base != 1.0,
                   orthogonal = within && base == KRNPIBY2;
        const Vec v(length * std::cos(angle), length * std::sin(angle), 0.0);
        for (const Vec u : {Vec(1, 0, 0), Vec(2, 0, 0)})
          EXPECT_TRUE(u.IsParallel(v) == parallel && v.IsParallel(u) == parallel &&
                      KRNMathDirection(v).IsParallel(u) == parallel && u.IsOrthogonal(v) == orthogonal &&
                      v.IsOrthogonal(u) == orthogonal && KRNMathDirection(v).IsOrthogonal(u) == orthogonal)
              << base << " " << offset << " " << length;
        EXPECT_TRUE(zero.IsParallel(v) && v.IsOrthogonal(zero));
      }
  for (const double scale : {1e-200, 5e-324, 1e300}) {
    Vec w(scale, -scale, 0.0);
    const Vec a(scale, 0, 0), b(0, scale, 0), c(-scale, 0, 0);
    EXPECT_TRUE(Near(w.Normalize(), Vec(std::sqrt(0.5), -std::sqrt(0.5), 0), 1e-15) && !a.IsParallel(b) &&
                a.IsParallel(c) && a.IsOrthogonal(b) && !a.IsOrthogonal(c));
  }
  Vec unchanged = zero;
  EXPECT_TRUE(SameBits(unchanged.Normalize(), zero));
}

// Boxes grow to the bounds of their points (NaN points ignored); a bad index of a point set
// (from 0) or a raw collection (from 1) raises IndexOutOfRange naming the collection.
TEST(KRNMathCollections, BoxesAndCheckedIndexes) {
  zrmtest::Random random(71);
  KRNMathBox box;
  EXPECT_TRUE(box.IsEmpty() && SameBits(Vec(box.GetLow()), Vec()) && SameBits(Vec(box.GetHigh()), Vec()));
  Pnt low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
  KRNMathSetOfPoints set;
  KRNRawColldouble values;
  KRNRawCollint counts;
  for (int i = 0; i < 50; ++i) {
    const Pnt p = random.Point();
    box.AddInside(p);
    box.AddInside(Pnt(zrmtest::kNaN, -1e9, -1e9));
    low = Pnt(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = Pnt(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    EXPECT_TRUE(!box.IsEmpty() && SameBits(Vec(low), Vec(box.GetLow())) && SameBits(Vec(high), Vec(box.GetHigh())));
    set.Append(p);
    values.Append(p.x);
  }
  EXPECT_TRUE(values[50] == set.GetPoint(49).x && KRNMathSetOfPoints(-2).GetNumberOfPoints() == 0);
  for (const int bad : {-1, 50}) {
    EXPECT_EQ(zrmtest::CatchRaised([&] { set.SetPoint(Pnt(), bad); }).code, ZRMUtError::IndexOutOfRange);
    EXPECT_TRUE(zrmtest::CatchRaised([&] { static_cast<void>(set.GetPoint(bad)); }).isZRMUtError);
  }
  for (const int bad : {0, -1, 51})
    EXPECT_EQ(zrmtest::CatchRaised([&] { static_cast<void>(values[bad]); }).file, "KRNRawColldouble");
  EXPECT_EQ(zrmtest::CatchRaised([&] { static_cast<void>(counts[1]); }).file, "KRNRawCollint");
}

// Random rotations against Rodrigues' formula; uniform scalings recovered with their center and
// factor.
TEST(KRNMathTransformation, RotationsAndScalingsAgainstTheirDefinitions) {
  zrmtest::Random random(42);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Pnt origin = random.Point(), p = random.Point();
    const Vec axis = random.Direction() * random.Uniform(0.1, 5);
    const double angle = random.Uniform(-2 * KRNPI, 2 * KRNPI);
    EXPECT_TRUE(
        Near(Xf(angle, KRNMathLine(origin, axis)) * p, origin + zrmtest::Rodrigues(p - origin, axis, angle), 1e-11));
    const Pnt center = random.Point(100.0);
    const double factor = random.Uniform(0.05, 0.95) * (i % 2 ? 1 : 20);
    Pnt foundCenter;
    double found = 0.0;
    ASSERT_TRUE(ScalingAbout(center, factor).IsScaling(foundCenter, found));
    EXPECT_TRUE(std::fabs(found - factor) <= 1e-14 * factor && Near(foundCenter, center, 1e-9));
  }
}

// Checked matrix access; IsIdentity within the tolerance; what is no scaling (the identity is
// none, our choice) leaves IsScaling's outputs alone; singular maps have no inverse; a half-turn
// about a vector picks its axis by the smallest component (x first on a tie).
TEST(KRNMathTransformation, ChecksAndTables) {
  const Mat m(Vec(1, 2, 3), Vec(4, 5, 6), Vec(7, 8, 10));
  EXPECT_TRUE(m(1, 0) == 2 && m(0, 1) == 4 && SameBits(m.GetRow(2), Vec(3, 6, 10)) && m.Determinant() == -3);
  for (const int bad : {-1, 3})
    EXPECT_TRUE(zrmtest::CatchRaised([&] { static_cast<void>(m(bad, 0) + m(0, bad)); }).code ==
                    ZRMUtError::IndexOutOfRange &&
                zrmtest::CatchRaised([&] { static_cast<void>(m.GetColumn(bad)); }).isZRMUtError);
  const Xf t(Mat(Vec(0, 1, 0), Vec(-1, 0, 0), Vec(0, 0, 2)), Vec(10, 20, 30));
  EXPECT_TRUE(SameBits(Vec(t * Pnt(1, 2, 3)), Vec(8, 21, 36)) && SameBits(t * Vec(1, 2, 3), Vec(-2, 1, 6)));
  const struct {
    Xf t;
    bool identity;
  } cases[] = {{Xf(), true},
               {Xf(Vec(1e-13, 0, 0)), true},
               {Xf(Vec(0, 0, 1e-11)), false},
               {Xf(Diagonal(1, 1 + 1e-11, 1)), false},
               {Xf(KRN2PI, KRNMathLine(Pnt(1, 2, 3), Vec(1, 1, 1))), true},
               {Xf(1e-6, KRNMathLine(Pnt(), Vec(0, 0, 1))), false},
               {Xf(1.0, KRNMathLine(Pnt(3, 3, 3), Vec())), true},
               {Xf(Pnt(1, 2, 3), Vec()), true},
               {Xf(KRNPI, KRNMathLine(Pnt(), Vec(0, 1, 0))), false},
               {Xf(Diagonal(2, 2, 2.001)), false},
               {Xf(Diagonal(2, 2, 2)) * Xf(0.1, KRNMathLine(Pnt(), Vec(1, 0, 0))), false},
               {ScalingAbout(Pnt(1, 0, 0), -1), false},
               {ScalingAbout(Pnt(1, 0, 0), -2), false},
               {ScalingAbout(Pnt(1, 0, 0), 0), false}};
  for (const auto& c : cases) {
    Pnt center(7, 7, 7);
    double factor = 42;
    EXPECT_TRUE(c.t.IsIdentity() == c.identity && !c.t.IsScaling(center, factor) &&
                SameBits(Vec(center), Vec(7, 7, 7)) && factor == 42)
        << &c - cases;
  }
  Xf untouched(Vec(9, 9, 9));
  EXPECT_FALSE(Xf(Diagonal(1, 1, 0)).GetInverse(untouched) ||
               Xf(Diagonal(1e-200, 1e-200, 1e-200)).GetInverse(untouched));
  EXPECT_TRUE(SameBits(untouched.GetTranslation(), Vec(9, 9, 9)) &&
              Xf(Diagonal(1, 1, 0), Vec(1, 2, 3)).Inverse().IsIdentity());
  EXPECT_TRUE(SameBits(Xf(Pnt(), Vec(0, 0, 2)) * Vec(1, 0, 0), Vec(-1, 0, 0)) &&
              SameBits(Xf(Pnt(), Vec(0, 0, 2)) * Vec(0, 1, 0), Vec(0, 1, 0)));
  EXPECT_TRUE(SameBits(Vec(Xf(Pnt(0, 0, 5), Vec(1, 0, 0)) * Pnt(1, 1, 5)), Vec(-1, -1, 5)));
}

// p = origin + s unit + h normal lies at distance h from the line (the foot of the perpendicular:
// ZRMUtLine's projections, curves_test); a degenerate line stands for its origin. Circles
// evaluate at scale t + offset; the projection is undefined on the axis.
TEST(KRNMathLineAndCircle, DistancesScaledEvaluationAndRefusals) {
  zrmtest::Random random(51);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Pnt origin = random.Point();
    const Vec direction = random.Direction() * random.Uniform(0.2, 5.0), unit = (1.0 / direction.Norm()) * direction;
    const Vec normal = random.Direction(unit), e2 = unit ^ normal;
    const double s = random.Uniform(-20, 20), h = random.Uniform(0.1, 10), r = random.Uniform(0.1, 10),
                 angle = random.Uniform(-KRNPI, KRNPI);
    const KRNMathLine line(origin, direction);
    Pnt q;
    EXPECT_TRUE(std::fabs(line.DistanceTo(origin + s * unit + h * normal) - h) < 1e-11 &&
                SameBits(line.GetDirection(), direction) && std::fabs(line.GetLength() - direction.Norm()) < 1e-12);
    EXPECT_TRUE(Near(KRNMathLine(origin, origin + direction).GetDirection(), direction, 1e-14));
    KRNMathCircle(origin, normal, e2, r, 2.0, 0.5).EvalPoint(angle, q);
    EXPECT_TRUE(Near(q, origin + r * std::cos(2 * angle + 0.5) * normal + r * std::sin(2 * angle + 0.5) * e2, 1e-12));
  }
  const KRNMathLine point(Pnt(1, 2, 3), Pnt(1, 2, 3));
  Pnt foot(9, 9, 9);
  double t = 9.0;
  EXPECT_FALSE(point.Project(Pnt(4, 6, 3), foot) || point.Project(Pnt(4, 6, 3), t));
  EXPECT_TRUE(SameBits(Vec(foot), Vec(1, 2, 3)) && t == 0 && point.DistanceTo(Pnt(4, 6, 3)) == 5 &&
              point.GetLength() == 0);
  const KRNMathCircle circle(Pnt(1, 1, 1), Vec(0, 2, 0), Vec(0, 0, 1), 3.0, 1.0, 0.0),
      flat(Pnt(), Vec(1, 0, 0), Vec(-2, 0, 0), 1, 1, 0);
  for (const Pnt& onAxis : {Pnt(1, 1, 1), Pnt(-5, 1, 1)})
    EXPECT_TRUE(!circle.Project(onAxis, foot) && SameBits(Vec(foot), Vec(1, 4, 1)));
  EXPECT_TRUE(circle.Project(Pnt(-5, 1, 1.5), foot) && Near(foot, Pnt(1, 1, 4), 1e-15));
  EXPECT_TRUE(!flat.Project(Pnt(0, 5, 0), foot) && SameBits(Vec(foot), Vec(1, 0, 0)));
}

}  // namespace
