// Helpers shared by the geometry tests: destruction counting, component comparisons and seeded
// random rigid motions.
#ifndef GeometryTestSupport_h
#define GeometryTestSupport_h

#include "KRNMathematics.h"
#include "ZRMUtGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace geomtest {

// A geometry class G that counts its destructions (per class G), for proving that the last
// release destroys an object exactly once.
template <class G>
class Counted final : public G {
public:
  using G::G;
  ~Counted() override { ++destroyed; }
  static inline int destroyed = 0;
};

// Reference count of any geometry (0 for null).
inline long Refs(const ZRMUtGeometry* geometry) { return geometry ? geometry->GetRefCount() : 0; }

// Component-wise comparisons within an absolute tolerance.
template <class A, class B>
::testing::AssertionResult Near3(const A& a, const B& b, double tol) {
  if (std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}
template <class A, class B>
::testing::AssertionResult Exact3(const A& a, const B& b) {
  if (a.x == b.x && a.y == b.y && a.z == b.z) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}

// Seeded source of random points, unit directions and rigid motions.
class RandomGeometry {
public:
  explicit RandomGeometry(unsigned seed) : mEngine(seed) {}

  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mEngine); }
  KRNMathPoint Point(double range = 10.0) {
    return KRNMathPoint(Uniform(-range, range), Uniform(-range, range), Uniform(-range, range));
  }
  KRNMathVector Vector(double range = 1.0) {
    return KRNMathVector(Uniform(-range, range), Uniform(-range, range), Uniform(-range, range));
  }
  KRNMathDirection Direction() {
    for (;;) {
      const KRNMathVector v = Vector();
      if (v.SquareNorm() > 1e-2) return KRNMathDirection(v);
    }
  }
  // A unit direction orthogonal to d.
  KRNMathDirection OrthogonalTo(const KRNMathDirection& d) {
    for (;;) {
      const KRNMathVector v = Vector();
      const KRNMathVector w = v - (v * KRNMathVector(d)) * KRNMathVector(d);
      if (w.SquareNorm() > 1e-2) return KRNMathDirection(w);
    }
  }
  // A rotation about a random line followed by a random translation.
  KRNMathTransformation RigidMotion() {
    const KRNMathTransformation rotation(Uniform(-KRNPI, KRNPI), KRNMathLine(Point(), KRNMathVector(Direction())));
    return KRNMathTransformation(Vector(10.0)) * rotation;
  }

private:
  std::mt19937 mEngine;
};

// The three directions are unit, mutually orthogonal and z = x cross y (right-handed).
inline ::testing::AssertionResult RightHandedOrthonormal(const KRNMathDirection& x, const KRNMathDirection& y,
                                                         const KRNMathDirection& z, double tol) {
  const KRNMathVector vx(x), vy(y), vz(z);
  const double checks[] = {vx.Norm() - 1.0, vy.Norm() - 1.0, vz.Norm() - 1.0, vx * vy, vy * vz, vz * vx};
  for (double c : checks)
    if (!(std::fabs(c) <= tol)) return ::testing::AssertionFailure() << "not orthonormal: " << c;
  return Near3(vx ^ vy, vz, tol);
}

}  // namespace geomtest

#endif
