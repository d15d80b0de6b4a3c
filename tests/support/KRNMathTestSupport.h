// Helpers of the platform math and geometric helper tests: seeded random values, tolerant
// comparisons and Rodrigues' rotation formula as the oracle for rotations.
#ifndef KRNMathTestSupport_h
#define KRNMathTestSupport_h

#include "KRNMath3x3Matrix.h"
#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace krnmathtest {

// Seeded source of random points, vectors and numbers.
class Random {
public:
  explicit Random(unsigned seed) : mEngine(seed) {}
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mEngine); }
  KRNMathVector Vector(double range = 10.0) {
    return KRNMathVector(Uniform(-range, range), Uniform(-range, range), Uniform(-range, range));
  }
  KRNMathPoint Point(double range = 10.0) { return KRNMathPoint(Vector(range)); }
  // A vector with length in [0.1, range].
  KRNMathVector NonZeroVector(double range = 10.0) {
    for (;;) {
      const KRNMathVector v = Vector(range);
      if (v.Norm() >= 0.1) return v;
    }
  }
  KRNMathDirection Direction() { return KRNMathDirection(NonZeroVector()); }

private:
  std::mt19937 mEngine;
};

inline void ExpectNear(const KRNMathVector& expected, const KRNMathVector& actual, double tol) {
  EXPECT_NEAR(expected.x, actual.x, tol);
  EXPECT_NEAR(expected.y, actual.y, tol);
  EXPECT_NEAR(expected.z, actual.z, tol);
}
inline void ExpectNear(const KRNMathPoint& expected, const KRNMathPoint& actual, double tol) {
  ExpectNear(KRNMathVector(expected), KRNMathVector(actual), tol);
}
inline void ExpectNear(const KRNMath3x3Matrix& expected, const KRNMath3x3Matrix& actual, double tol) {
  for (int column = 0; column < 3; ++column) ExpectNear(expected.GetColumn(column), actual.GetColumn(column), tol);
}

// Rodrigues' formula: v rotated by angle about the (not necessarily unit) axis vector.
inline KRNMathVector Rodrigues(const KRNMathVector& v, const KRNMathVector& axis, double angle) {
  const KRNMathVector k = (1.0 / axis.Norm()) * axis;
  const double c = std::cos(angle), s = std::sin(angle);
  return c * v + s * (k ^ v) + ((1.0 - c) * (k * v)) * k;
}

}  // namespace krnmathtest

#endif
