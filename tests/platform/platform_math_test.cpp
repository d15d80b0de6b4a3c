// The platform's math value types against their definitions: the unit-direction rule bit for
// bit, angular tests strict within the tolerance, boxes against a model, checked indexes; one
// table of properties over seeded random rotations, half-turns, scalings and their products
// (inverses, composition, Rodrigues' formula, fixed points). Lines and circles: the curve
// property table of the geometry tests.
#include "GeometryTestSupport.h"
#include "KRNMathBox.h"
#include "KRNMathSetOfPoints.h"
#include "KRNRawColldouble.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
// each component is divided by the length (not multiplied by its reciprocal), lengths outside the
// double range included. v = length (cos a, sin a, 0) with a = base + offset tolerances is
// parallel to (1, 0, 0) near 0 and pi, orthogonal near pi/2, strictly within the tolerance.
TEST(KRNMathDirection, UnitDirectionRuleAndAngularTests) {
  zrmtest::Random random(11);
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    Vec v = random.Vector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 0) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, length = std::sqrt(s);
    EXPECT_TRUE(SameBits(s == 1.0 ? v : Vec(v.x / length, v.y / length, v.z / length), KRNMathDirection(v))) << i;
  }
  const double h = std::sqrt(0.5);
  for (const auto& [from, expected] : {std::pair(Vec(-0.0, 0.0, -0.0), Vec(1, 0, 0)),
                                       {Vec(1e200, 1e200, 0), Vec(h, h, 0)},
                                       {Vec(1e-200, 0, -1e-200), Vec(h, 0, -h)},
                                       {Vec(0, 0, 5e-324), Vec(0, 0, 1)}})
    EXPECT_TRUE(Near(expected, KRNMathDirection(from), 1e-15)) << from.x;
  for (const double base : {0.0, KRNPI, KRNPIBY2, 1.0})
    for (const double offset : {0.0, 0.9, -1.1})
      for (const double length : {1e-6, 1e6}) {
        const double angle = base + offset * Vec::AngularTolerance;
        const bool within = offset != -1.1, parallel = within && base != KRNPIBY2 && base != 1.0;
        const Vec v(length * std::cos(angle), length * std::sin(angle), 0.0), u(2, 0, 0);
        EXPECT_TRUE(u.IsParallel(v) == parallel && v.IsParallel(u) == parallel &&
                    u.IsOrthogonal(v) == (within && base == KRNPIBY2) && Vec().IsParallel(v) && v.IsOrthogonal(Vec()))
            << base << " " << offset << " " << length;
      }
}

// Boxes grow to the bounds of their points (NaN points ignored); a bad index of a point set
// (from 0) or a raw collection (from 1) raises IndexOutOfRange.
TEST(KRNMathCollections, BoxesAndCheckedIndexes) {
  zrmtest::Random random(71);
  KRNMathBox box;
  EXPECT_TRUE(box.IsEmpty());
  Pnt low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
  KRNMathSetOfPoints set;
  KRNRawColldouble values;
  for (int i = 0; i < 20; ++i) {
    const Pnt p = random.Point();
    box.AddInside(p);
    box.AddInside(Pnt(zrmtest::kNaN, -1e9, -1e9));
    low = Pnt(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = Pnt(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    EXPECT_TRUE(!box.IsEmpty() && SameBits(Vec(low), Vec(box.GetLow())) && SameBits(Vec(high), Vec(box.GetHigh())));
    set.Append(p);
    values.Append(p.x);
  }
  EXPECT_TRUE(values[20] == set.GetPoint(19).x);
  for (const int bad : {-1, 20}) {
    EXPECT_EQ(zrmtest::CatchRaised([&] { set.SetPoint(Pnt(), bad); }).code, ZRMUtError::IndexOutOfRange);
    EXPECT_EQ(zrmtest::CatchRaised([&] { static_cast<void>(values[bad + 1]); }).file, "KRNRawColldouble");
  }
}

// Every map has an inverse that undoes it and composes as maps do. Rotations follow Rodrigues'
// formula about their axis line; a half-turn about a point and a vector fixes the point, reverses
// the vector and keeps the unit axis across it and the world axis of its smallest component (x
// first on a tie); a uniform scaling is recovered with its center and factor.
TEST(KRNMathTransformation, PropertiesOfRandomMaps) {
  zrmtest::Random random(42);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const Pnt origin = random.Point(), p = random.Point();
    const Vec axis = random.Direction() * random.Uniform(0.1, 5);
    const double angle = random.Uniform(-2 * KRNPI, 2 * KRNPI), factor = random.Uniform(0.05, 0.95) * (i % 2 ? 1 : 20);
    const Xf rotation(angle, KRNMathLine(origin, axis)), halfTurn(origin, axis), scaling = ScalingAbout(origin, factor);
    EXPECT_TRUE(Near(rotation * p, origin + zrmtest::Rodrigues(p - origin, axis, angle), 1e-11));
    const Vec a = std::fabs(axis.x) <= std::min(std::fabs(axis.y), std::fabs(axis.z)) ? Vec(1, 0, 0)
                  : std::fabs(axis.y) <= std::fabs(axis.z)                            ? Vec(0, 1, 0)
                                                                                      : Vec(0, 0, 1),
              across = (1.0 / (axis ^ a).Norm()) * (axis ^ a);
    EXPECT_TRUE(Near(halfTurn * origin, origin, 1e-12) && Near(halfTurn * axis, -1.0 * axis, 1e-12) &&
                Near(halfTurn * across, across, 1e-12));
    Pnt center;
    double found = 0.0;
    ASSERT_TRUE(scaling.IsScaling(center, found));
    EXPECT_TRUE(std::fabs(found - factor) <= 1e-14 * factor && Near(center, origin, 1e-9));
    for (const Xf& t : {rotation, halfTurn, scaling, rotation * scaling * halfTurn}) {
      Xf inverse;
      ASSERT_TRUE(t.GetInverse(inverse));
      EXPECT_TRUE(Near(inverse * (t * p), p, 1e-9) && (t * inverse).IsIdentity() &&
                  Near(t.Inverse() * p, inverse * p, 0));
      EXPECT_TRUE(Near((t * scaling) * p, t * (scaling * p), 1e-9) && Near(t * (p + axis), t * p + t * axis, 1e-9));
    }
  }
}

// IsIdentity within the tolerance; what is no scaling (the identity is none, our choice) leaves
// IsScaling's outputs alone; singular maps and those whose inverse overflows have none; no axis
// gives the identity.
TEST(KRNMathTransformation, IdentitiesScalingsAndSingularMaps) {
  const Xf identities[] = {Xf(), Xf(Vec(1e-13, 0, 0)), Xf(KRN2PI, KRNMathLine(Pnt(1, 2, 3), Vec(1, 1, 1))),
                           Xf(1.0, KRNMathLine(Pnt(3, 3, 3), Vec())), Xf(Pnt(1, 2, 3), Vec())},
           others[] = {Xf(Vec(0, 0, 1e-11)), Xf(Diagonal(1, 1 + 1e-11, 1)), Xf(Diagonal(2, 2, 2.001)),
                       ScalingAbout(Pnt(1, 0, 0), -1), ScalingAbout(Pnt(1, 0, 0), 0)};
  for (const Xf& t : identities) EXPECT_TRUE(t.IsIdentity()) << &t - identities;
  for (const Xf* t : {identities, others})
    for (int i = 0; i < 5; ++i) {
      Pnt center(7, 7, 7);
      double factor = 42;
      EXPECT_TRUE(!t[i].IsScaling(center, factor) && SameBits(Vec(center), Vec(7, 7, 7)) && factor == 42 &&
                  (t == identities || !t[i].IsIdentity()))
          << i;
    }
  Xf untouched(Vec(9, 9, 9));
  for (const Mat& m : {Diagonal(1, 1, 0), Diagonal(1e-200, 1e-200, 1e-200), Diagonal(1e-105, 1e-105, 1e-105)})
    EXPECT_FALSE(Xf(m).GetInverse(untouched));  // singular, a determinant of 0, an overflowing inverse
  EXPECT_TRUE(SameBits(untouched.GetTranslation(), Vec(9, 9, 9)) &&
              zrmtest::CatchRaised([] { static_cast<void>(Mat()(3, 0)); }).code == ZRMUtError::IndexOutOfRange);
  // Half-turns about vectors with tied smallest components: about y for (0, 0, 2), z for (1, 0, 0).
  EXPECT_TRUE(SameBits(Xf(Pnt(), Vec(0, 0, 2)) * Vec(0, 1, 0), Vec(0, 1, 0)) &&
              SameBits(Vec(Xf(Pnt(0, 0, 5), Vec(1, 0, 0)) * Pnt(1, 1, 5)), Vec(-1, -1, 5)));
}

}  // namespace
