// Helpers of the math and geometry tests: seeded random points, directions and rigid motions,
// tolerant comparisons, uniform scalings, Rodrigues' rotation formula as an oracle, and the
// reports of a failed check.
#ifndef GeometryTestSupport_h
#define GeometryTestSupport_h

#include "KRNMathConstants.h"
#include "KRNMathLine.h"
#include "KRNMathTransformation.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace zrmtest {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class Random {
public:
  explicit Random(unsigned seed) : mEngine(seed) {}
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mEngine); }
  KRNMathVector Vector(double range = 10.0) {
    return {Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)};
  }
  KRNMathPoint Point(double range = 10.0) { return KRNMathPoint(Vector(range)); }
  // A unit direction, orthogonal to d when d is given.
  KRNMathDirection Direction(const KRNMathVector& d = KRNMathVector()) {
    for (;;) {
      const KRNMathVector v = Vector(1.0), w = v - (v * d) * d;
      if (w.Norm() > 0.1) return KRNMathDirection(w);
    }
  }
  // A rotation about a random line followed by a random translation (each draw in a statement of
  // its own: the order of arguments and operands is unspecified).
  KRNMathTransformation RigidMotion() {
    const KRNMathVector shift = Vector();
    const double angle = Uniform(-KRNPI, KRNPI);
    const KRNMathPoint point = Point();
    return KRNMathTransformation(shift) * KRNMathTransformation(angle, KRNMathLine(point, Direction()));
  }

private:
  std::mt19937 mEngine;
};

// Component-wise comparison of points, vectors and directions within tol (0: equal).
template <class A, class B>
::testing::AssertionResult Near(const A& a, const B& b, double tol) {
  if (std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}

// The uniform scaling by factor about center.
inline KRNMathTransformation Scaling(double factor, const KRNMathPoint& center = KRNMathPoint()) {
  const KRNMath3x3Matrix m(KRNMathVector(factor, 0, 0), KRNMathVector(0, factor, 0), KRNMathVector(0, 0, factor));
  return KRNMathTransformation(m, (1.0 - factor) * KRNMathVector(center));
}

// Rodrigues' formula: v rotated by angle about the (not necessarily unit) axis vector.
inline KRNMathVector Rodrigues(const KRNMathVector& v, const KRNMathVector& axis, double angle) {
  const KRNMathVector k = (1.0 / axis.Norm()) * axis;
  return std::cos(angle) * v + std::sin(angle) * (k ^ v) + ((1.0 - std::cos(angle)) * (k * v)) * k;
}

// The reports of one failed check, from reports[0] on: the failure report, and in the development
// stage its runtime assertion ("message", expression).
inline void ExpectCheckReport(const std::vector<AssertReport>& reports, const std::string& expression,
                              const std::string& message, const std::string& file, int line, bool development) {
  ASSERT_EQ(reports.size(), development ? 2u : 1u);
  EXPECT_TRUE(reports[0].kind == AssertReport::Failure && !reports[0].condition && reports[0].line == line);
  EXPECT_EQ(reports[0].expression + "|" + reports[0].message + "|" + reports[0].file,
            expression + "|" + message + "|" + file);
  if (!development) return;
  const std::string text = "(\"" + message + "\", " + expression + ")";
  EXPECT_TRUE(reports[1].kind == AssertReport::Runtime && reports[1].text == std::wstring(text.begin(), text.end()));
  EXPECT_TRUE(reports[1].file == file && reports[1].line == line);
}

}  // namespace zrmtest

#endif
