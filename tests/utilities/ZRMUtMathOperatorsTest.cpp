// Tolerant equality of the math value types and the precision conversions.
#include "ZRMUtMathOperators.h"
#include "ZRMUtTolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Components = std::vector<double>;

const double kTol = ZRMUtTolerance().AbsoluteTol();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Builds a T from its stored components, in comparison order.
template <class T>
T Make(const Components& c);
template <> KRNMathPoint Make(const Components& c) { return {c[0], c[1], c[2]}; }
template <> KRNMathVector Make(const Components& c) { return {c[0], c[1], c[2]}; }
template <> KRNMathPoint2D Make(const Components& c) { return {c[0], c[1]}; }
template <> KRNMathPointf Make(const Components& c) { return {float(c[0]), float(c[1]), float(c[2])}; }
template <> KRNMathVectorf Make(const Components& c) { return {float(c[0]), float(c[1]), float(c[2])}; }
template <> KRNMathDirectionf Make(const Components& c) { return {float(c[0]), float(c[1]), float(c[2])}; }
template <> KRNMathBox2D Make(const Components& c) {  // low (c0, c1), high (c2, c3) when c0 <= c2 and c1 <= c3
  return {KRNMathPoint2D(c[0], c[1]), KRNMathPoint2D(c[2], c[3])};
}
template <> KRNMathPlane Make(const Components& c) {
  return {KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8])};
}
template <> KRNMathAxis Make(const Components& c) {
  return {KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8]),
          KRNMathVector(c[9], c[10], c[11])};
}

// a == b, after checking that != is its negation and that the test is symmetric.
template <class T>
bool Equal(const T& x, const T& y) {
  const bool equal = x == y;
  EXPECT_EQ(!equal, x != y);
  EXPECT_EQ(equal, y == x);
  return equal;
}
template <class T>
bool EqualFrom(const Components& a, const Components& b) { return Equal(Make<T>(a), Make<T>(b)); }

// For every component of every type in turn: from distinct values, half the tolerance keeps the
// values equal and 1000 tolerances (double) or one float step (single precision, where the
// difference is formed in float) make them unequal, as does a NaN; from zeros, 0.99 of the
// tolerance is equal and the tolerance itself is not (the test is strict).
TEST(ZRMUtMathOperators, EveryComponentOfEveryType) {
  const struct {
    const char* name;
    std::size_t count;
    bool single;
    bool (*equal)(const Components&, const Components&);
  } types[] = {
      {"KRNMathPoint", 3, false, EqualFrom<KRNMathPoint>},     {"KRNMathVector", 3, false, EqualFrom<KRNMathVector>},
      {"KRNMathPoint2D", 2, false, EqualFrom<KRNMathPoint2D>}, {"KRNMathBox2D", 4, false, EqualFrom<KRNMathBox2D>},
      {"KRNMathPlane", 9, false, EqualFrom<KRNMathPlane>},     {"KRNMathAxis", 12, false, EqualFrom<KRNMathAxis>},
      {"KRNMathPointf", 3, true, EqualFrom<KRNMathPointf>},    {"KRNMathVectorf", 3, true, EqualFrom<KRNMathVectorf>},
      {"KRNMathDirectionf", 3, true, EqualFrom<KRNMathDirectionf>},
  };
  for (const auto& type : types) {
    Components base(type.count), zero(type.count, 0.0);
    for (std::size_t i = 0; i < type.count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * static_cast<double>(i + 1);
    if (type.count == 4) base = {-1.0, -2.0, 3.0, 4.0};  // low below high
    EXPECT_TRUE(type.equal(base, base)) << type.name;
    for (std::size_t i = 0; i < type.count; ++i) {
      SCOPED_TRACE(testing::Message() << type.name << " component " << i);
      Components other = base;
      other[i] = base[i] + 0.5 * kTol;
      EXPECT_TRUE(type.equal(base, other));
      other[i] = type.single ? std::nextafter(float(base[i]), 1e9f) : base[i] + 1e3 * kTol;
      EXPECT_FALSE(type.equal(base, other));
      other[i] = kNaN;
      EXPECT_FALSE(type.equal(base, other));  // a box ignores that point, so it differs too
      other = zero;
      other[i] = 0.99 * kTol;
      EXPECT_TRUE(type.equal(zero, other));
      other[i] = kTol;
      EXPECT_FALSE(type.equal(zero, other));
      other[i] = -kTol;
      EXPECT_FALSE(type.equal(zero, other));
      if (type.single) continue;
      other[i] = std::nextafter(kTol, 0.0);
      EXPECT_TRUE(type.equal(zero, other));
    }
  }
}

// NaN and infinite components are unequal even to themselves (inf - inf is NaN); the stored
// parameterisation, not the geometric set, is compared.
TEST(ZRMUtMathOperators, NaNInfinityAndParameterisation) {
  const double inf = std::numeric_limits<double>::infinity();
  const float fNaN = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(Equal(KRNMathPoint(kNaN, 0, 0), KRNMathPoint(kNaN, 0, 0)));
  EXPECT_FALSE(Equal(KRNMathPointf(0, fNaN, 0), KRNMathPointf(0, fNaN, 0)));
  EXPECT_FALSE(Equal(KRNMathPoint(inf, 0, 0), KRNMathPoint(inf, 0, 0)));
  const KRNMathPoint o(1, 2, 3);
  const KRNMathVector u(1, 0, 0), v(0, 1, 0), w(0, 0, 1);
  EXPECT_FALSE(Equal(KRNMathPlane(o, u, v), KRNMathPlane(o, v, u)));
  EXPECT_FALSE(Equal(KRNMathAxis(o, u, v, w), KRNMathAxis(o, v, u, w)));
}

// A float direction becomes a unit direction in double precision (kept when its squared length
// is 1, (1,0,0) when 0); the other conversions widen or copy the components exactly.
TEST(ZRMUtMathOperators, Conversions) {
  const KRNMathDirectionf directions[] = {KRNMathDirectionf(0, 0, 0), KRNMathDirectionf(0, 3, 4),
                                          KRNMathDirectionf(0, 0, -1), KRNMathDirectionf(0.1f, 0.2f, 0.3f)};
  const KRNMathVector expected[] = {KRNMathVector(1, 0, 0), KRNMathVector(0, 0.6, 0.8), KRNMathVector(0, 0, -1)};
  const double tols[] = {0.0, 1e-15, 0.0, 1e-16};
  for (int i = 0; i < 4; ++i) {
    const KRNMathDirectionf& f = directions[i];
    const double n = std::sqrt(double(f.x) * f.x + double(f.y) * f.y + double(f.z) * f.z);
    const KRNMathVector e = i < 3 ? expected[i] : KRNMathVector(f.x / n, f.y / n, f.z / n);
    const KRNMathDirection d = ZRMUtDirectionFtoDirection(f);
    EXPECT_NEAR(e.x, d.x, tols[i]) << i;
    EXPECT_NEAR(e.y, d.y, tols[i]) << i;
    EXPECT_NEAR(e.z, d.z, tols[i]) << i;
  }
  const KRNMathPointf pf(0.1f, -2.5f, 3e-8f);
  const KRNMathPoint p = ZRMUtMathPointFtoMathPoint(pf);
  EXPECT_TRUE(p.x == double(0.1f) && p.y == -2.5 && p.z == double(3e-8f));  // widened, not re-rounded
  const KRNMathVector v = ZRMUtPointToVector(KRNMathPoint(1.5, -0.25, 1e300));
  EXPECT_TRUE(v.x == 1.5 && v.y == -0.25 && v.z == 1e300);
  const KRNMathVectorf vf = ZRMUtPointfToVectorf(pf);
  EXPECT_TRUE(vf.x == pf.x && vf.y == pf.y && vf.z == pf.z);
  const KRNMathPointf back = ZRMUtVectorfToPointf(vf);
  EXPECT_TRUE(back.x == pf.x && back.y == pf.y && back.z == pf.z);
}

}  // namespace
