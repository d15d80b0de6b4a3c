// Tolerant equality of the math value types and the precision conversions.
#include "ZRMUtMathOperators.h"
#include "ZRMUtTolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const double kTol = ZRMUtTolerance().AbsoluteTol();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Both operators agree: == is expected and != its negation.
template <class T>
void ExpectEquality(bool expected, const T& a, const T& b) {
  EXPECT_EQ(expected, a == b);
  EXPECT_EQ(!expected, a != b);
  EXPECT_EQ(expected, b == a);  // the test is symmetric
}

// Builds a T from n doubles (one per stored component, in comparison order).
template <class T>
using Builder = T (*)(const std::vector<double>&);

KRNMathPoint MakePoint(const std::vector<double>& c) { return KRNMathPoint(c[0], c[1], c[2]); }
KRNMathVector MakeVector(const std::vector<double>& c) { return KRNMathVector(c[0], c[1], c[2]); }
KRNMathPoint2D MakePoint2D(const std::vector<double>& c) { return KRNMathPoint2D(c[0], c[1]); }
KRNMathPlane MakePlane(const std::vector<double>& c) {
  return KRNMathPlane(KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8]));
}
KRNMathAxis MakeAxis(const std::vector<double>& c) {
  return KRNMathAxis(KRNMathPoint(c[0], c[1], c[2]), KRNMathVector(c[3], c[4], c[5]), KRNMathVector(c[6], c[7], c[8]),
                     KRNMathVector(c[9], c[10], c[11]));
}
KRNMathBox2D MakeBox2D(const std::vector<double>& c) {
  KRNMathBox2D box;  // low (c0, c1), high (c2, c3) with c0 < c2 and c1 < c3
  box.AddInside(KRNMathPoint2D(c[0], c[1]));
  box.AddInside(KRNMathPoint2D(c[2], c[3]));
  return box;
}

// For every component in turn: a difference of half the tolerance keeps the values equal, one
// of the tolerance itself (the strict boundary) or more, and a NaN, make them unequal.
template <class T>
void CheckEveryComponent(Builder<T> make, std::size_t count) {
  std::vector<double> base(count);
  for (std::size_t i = 0; i < count; ++i) base[i] = (i % 2 == 0 ? -1.0 : 1.0) * static_cast<double>(i);
  if (count == 4) base = {-1.0, -2.0, 3.0, 4.0};  // a box: low below high
  ExpectEquality(true, make(base), make(base));
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    std::vector<double> other = base;
    other[i] = base[i] + 0.5 * kTol;
    ExpectEquality(true, make(base), make(other));
    other[i] = base[i] + (std::fabs(base[i]) > 0.0 ? 1e3 : 1.0) * kTol;
    ExpectEquality(false, make(base), make(other));
    other[i] = kNaN;
    if (count != 4) ExpectEquality(false, make(base), make(other));  // a box does not take NaN
  }
}

TEST(ZRMUtMathOperators, StrictBoundaryAtTheTolerance) {
  ExpectEquality(true, KRNMathPoint(0, 0, 0), KRNMathPoint(0.5 * kTol, 0, 0));
  ExpectEquality(false, KRNMathPoint(0, 0, 0), KRNMathPoint(kTol, 0, 0));
  ExpectEquality(false, KRNMathVector(0, 0, 0), KRNMathVector(0, 0, -kTol));
  ExpectEquality(true, KRNMathVector(0, 0, 0), KRNMathVector(0, std::nextafter(kTol, 0.0), 0));
  ExpectEquality(false, KRNMathPoint2D(0, 0), KRNMathPoint2D(0, kTol));
  ExpectEquality(true, KRNMathPoint2D(0, 0), KRNMathPoint2D(0, 0.99 * kTol));
}

TEST(ZRMUtMathOperators, EveryComponentOfTheDoubleTypesCounts) {
  CheckEveryComponent<KRNMathPoint>(MakePoint, 3);
  CheckEveryComponent<KRNMathVector>(MakeVector, 3);
  CheckEveryComponent<KRNMathPoint2D>(MakePoint2D, 2);
  CheckEveryComponent<KRNMathPlane>(MakePlane, 9);
  CheckEveryComponent<KRNMathAxis>(MakeAxis, 12);
  CheckEveryComponent<KRNMathBox2D>(MakeBox2D, 4);
}

TEST(ZRMUtMathOperators, NaNIsUnequalEvenToItself) {
  ExpectEquality(false, KRNMathPoint(kNaN, 0, 0), KRNMathPoint(kNaN, 0, 0));
  ExpectEquality(false, KRNMathVector(0, 0, kNaN), KRNMathVector(0, 0, 0));
  const float fNaN = std::numeric_limits<float>::quiet_NaN();
  ExpectEquality(false, KRNMathPointf(0, fNaN, 0), KRNMathPointf(0, fNaN, 0));
  ExpectEquality(false, KRNMathVectorf(fNaN, 0, 0), KRNMathVectorf(0, 0, 0));
  ExpectEquality(false, KRNMathDirectionf(0, 0, fNaN), KRNMathDirectionf(0, 0, 1));
}

TEST(ZRMUtMathOperators, InfinitiesCompareAsUnequal) {
  const double inf = std::numeric_limits<double>::infinity();
  ExpectEquality(false, KRNMathPoint(inf, 0, 0), KRNMathPoint(inf, 0, 0));  // inf - inf is NaN
}

// The single-precision types form the difference in single precision: 1 and 1 + 2^-23 differ
// by 1.2e-7 there, far above the tolerance; values that are equal as floats compare equal.
TEST(ZRMUtMathOperators, SinglePrecisionPaths) {
  const float one = 1.0f, next = std::nextafter(1.0f, 2.0f);
  ExpectEquality(true, KRNMathPointf(one, 2, 3), KRNMathPointf(one, 2, 3));
  ExpectEquality(false, KRNMathPointf(one, 2, 3), KRNMathPointf(next, 2, 3));
  ExpectEquality(false, KRNMathVectorf(0, 0, one), KRNMathVectorf(0, 0, next));
  ExpectEquality(false, KRNMathDirectionf(0, one, 0), KRNMathDirectionf(0, next, 0));
  // The tolerance converted to float is still positive: values 0.5 tol apart stay equal and
  // values 2 tol apart do not.
  const float tolf = static_cast<float>(kTol);
  ExpectEquality(true, KRNMathVectorf(0, 0, 0), KRNMathVectorf(0, 0.5f * tolf, 0));
  ExpectEquality(false, KRNMathVectorf(0, 0, 0), KRNMathVectorf(0, 2.0f * tolf, 0));
  ExpectEquality(false, KRNMathDirectionf(0, 0, 0), KRNMathDirectionf(tolf, 0, 0));
  ExpectEquality(true, KRNMathDirectionf(0.6f, 0.8f, 0), KRNMathDirectionf(0.6f, 0.8f, 0));
}

TEST(ZRMUtMathOperators, ParameterisationNotTheGeometricSetIsCompared) {
  const KRNMathPoint o(1, 2, 3);
  const KRNMathVector u(1, 0, 0), v(0, 1, 0), w(0, 0, 1);
  ExpectEquality(false, KRNMathPlane(o, u, v), KRNMathPlane(o, v, u));
  ExpectEquality(true, KRNMathPlane(o, u, v), KRNMathPlane(o, u, v));
  ExpectEquality(false, KRNMathAxis(o, u, v, w), KRNMathAxis(o, v, u, w));
  ExpectEquality(true, KRNMathAxis(o, u, v, w), KRNMathAxis(o, u, v, w));
}

TEST(ZRMUtMathOperators, DirectionConversionAppliesTheUnitRule) {
  const KRNMathDirection zero = ZRMUtDirectionFtoDirection(KRNMathDirectionf(0, 0, 0));
  EXPECT_EQ(1.0, zero.x);
  EXPECT_EQ(0.0, zero.y);
  EXPECT_EQ(0.0, zero.z);
  const KRNMathDirection d = ZRMUtDirectionFtoDirection(KRNMathDirectionf(0, 3, 4));
  EXPECT_EQ(0.0, d.x);
  EXPECT_NEAR(0.6, d.y, 1e-15);
  EXPECT_NEAR(0.8, d.z, 1e-15);
  // A unit triple is kept bit for bit after widening.
  const KRNMathDirection unit = ZRMUtDirectionFtoDirection(KRNMathDirectionf(0, 0, -1));
  EXPECT_EQ(-1.0, unit.z);
  // A non-unit float triple is normalised in double precision.
  const KRNMathDirectionf f(0.1f, 0.2f, 0.3f);
  const double n = std::sqrt(double(f.x) * f.x + double(f.y) * f.y + double(f.z) * f.z);
  const KRNMathDirection g = ZRMUtDirectionFtoDirection(f);
  EXPECT_NEAR(double(f.x) / n, g.x, 1e-16);
  EXPECT_NEAR(double(f.y) / n, g.y, 1e-16);
  EXPECT_NEAR(double(f.z) / n, g.z, 1e-16);
}

TEST(ZRMUtMathOperators, PointAndVectorConversionsKeepTheComponents) {
  const KRNMathPointf pf(0.1f, -2.5f, 3e-8f);
  const KRNMathPoint p = ZRMUtMathPointFtoMathPoint(pf);
  EXPECT_EQ(double(0.1f), p.x);  // widened, not re-rounded to 0.1
  EXPECT_EQ(-2.5, p.y);
  EXPECT_EQ(double(3e-8f), p.z);

  const KRNMathVector v = ZRMUtPointToVector(KRNMathPoint(1.5, -0.25, 1e300));
  EXPECT_EQ(1.5, v.x);
  EXPECT_EQ(-0.25, v.y);
  EXPECT_EQ(1e300, v.z);

  const KRNMathVectorf vf = ZRMUtPointfToVectorf(pf);
  EXPECT_EQ(pf.x, vf.x);
  EXPECT_EQ(pf.y, vf.y);
  EXPECT_EQ(pf.z, vf.z);
  const KRNMathPointf back = ZRMUtVectorfToPointf(vf);
  EXPECT_EQ(pf.x, back.x);
  EXPECT_EQ(pf.y, back.y);
  EXPECT_EQ(pf.z, back.z);
}

}  // namespace
