// The platform's math value types against their definitions: the unit-direction rule bit for
// bit, checked indexes; one
// table of properties over seeded random rotations, half-turns, scalings and their products
// (inverses, composition, Rodrigues' formula, fixed points). Lines and circles: the curve
// property table of the geometry tests.
#include "GeometryTestSupport.h"
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

// A squared length of exactly 1 keeps the components bit for bit; otherwise each component is
// divided by the length (not multiplied by its reciprocal), zero giving (1, 0, 0). A bad index of
// a point set (from 0) or a raw collection (from 1) raises IndexOutOfRange.
TEST(KRNMathValues, UnitDirectionsAndCheckedIndexes) {
  zrmtest::Random random(11);
  for (long i = 0; i < zrmtest::Scaled(4000); ++i) {
    Vec v = i % 100 == 0 ? Vec(-0.0, 0.0, -0.0) : random.Vector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 1) v.Normalize();
    const double s = v.x * v.x + v.y * v.y + v.z * v.z, length = std::sqrt(s);
    const Vec expected = s == 1.0 ? v : s == 0.0 ? Vec(1, 0, 0) : Vec(v.x / length, v.y / length, v.z / length);
    EXPECT_TRUE(SameBits(expected, KRNMathDirection(v))) << i;
  }
  KRNMathSetOfPoints set;
  KRNRawColldouble values;
  set.Append(Pnt());
  values.Append(1.0);
  for (const int bad : {-1, 1}) {
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
    const Xf rotation(angle, KRNMathLine(origin, axis)), halfTurn(origin, axis),
        scaling = zrmtest::Scaling(factor, origin);
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
                       zrmtest::Scaling(-1, Pnt(1, 0, 0)), zrmtest::Scaling(0, Pnt(1, 0, 0))};
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
