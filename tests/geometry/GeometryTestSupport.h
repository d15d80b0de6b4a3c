// Helpers shared by the geometry tests: destruction counting, component comparisons, seeded
// random rigid motions and the rigid-motion commutation property.
#ifndef GeometryTestSupport_h
#define GeometryTestSupport_h

#include "KRNMathTestSupport.h"
#include "KRNMathematics.h"
#include "ZRMTestSupport.h"
#include "ZRMUtGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace geomtest {

// A geometry class G that counts its destructions (per class G).
template <class G>
class Counted final : public G {
public:
  using G::G;
  ~Counted() override { ++destroyed; }
  static inline int destroyed = 0;
};

// Reference count of any geometry (0 for null).
inline long Refs(const ZRMUtGeometry* geometry) { return geometry ? geometry->GetRefCount() : 0; }

// Component-wise comparison within an absolute tolerance; Exact3 asks for equal components.
template <class A, class B>
::testing::AssertionResult Near3(const A& a, const B& b, double tol) {
  if (std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}
template <class A, class B>
::testing::AssertionResult Exact3(const A& a, const B& b) {
  return Near3(a, b, 0.0);
}

// A linear map given by its columns.
inline KRNMathTransformation Linear(const KRNMathVector& c0, const KRNMathVector& c1, const KRNMathVector& c2) {
  return KRNMathTransformation(KRNMath3x3Matrix(c0, c1, c2));
}
// The uniform scaling by factor about center.
inline KRNMathTransformation Scaling(double factor, const KRNMathPoint& center = KRNMathPoint()) {
  const KRNMath3x3Matrix m(KRNMathVector(factor, 0, 0), KRNMathVector(0, factor, 0), KRNMathVector(0, 0, factor));
  return KRNMathTransformation(m, (1.0 - factor) * KRNMathVector(center));
}
// The mirror in the plane through point with unit normal n.
inline KRNMathTransformation Mirror(const KRNMathPoint& point, const KRNMathVector& n) {
  const KRNMath3x3Matrix m(KRNMathVector(1, 0, 0) - 2.0 * n.x * n, KRNMathVector(0, 1, 0) - 2.0 * n.y * n,
                           KRNMathVector(0, 0, 1) - 2.0 * n.z * n);
  return KRNMathTransformation(m, KRNMathVector(point) - m * KRNMathVector(point));
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The components a Coord getter (PointCoord, XDirCoord, ...) writes, as a vector.
template <class G, class Getter>
KRNMathVector Coords(const G& g, Getter get) {
  double x = 0, y = 0, z = 0;
  (g.*get)(x, y, z);
  return KRNMathVector(x, y, z);
}

// Seeded source of random points, unit directions and rigid motions; vectors within the unit
// cube unless told otherwise.
class RandomGeometry : public krnmathtest::Random {
public:
  using krnmathtest::Random::Random;

  KRNMathVector Vector(double range = 1.0) { return krnmathtest::Random::Vector(range); }
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

// Property of every placed geometry: moving a copy by a random rigid motion commutes with
// evaluation. make(random) builds a random geometry; eval(g, t) gives its point for t in
// [-pi, pi]; check(original, moved, motion, random) adds the class's own invariants.
template <class Make, class Eval, class Check>
void ExpectRigidMotionsCommute(unsigned seed, long count, Make make, Eval eval, double tol, Check check) {
  RandomGeometry random(seed);
  for (long i = 0; i < zrmtest::Scaled(count); ++i) {
    auto original = make(random);
    auto moved = original;
    const KRNMathTransformation motion = random.RigidMotion();
    moved.ApplyTransformation(motion);
    for (int k = 0; k < 4; ++k) {
      const double t = random.Uniform(-KRNPI, KRNPI);
      EXPECT_TRUE(Near3(eval(moved, t), motion * eval(original, t), tol)) << "t " << t;
    }
    check(original, moved, motion, random);
  }
}

}  // namespace geomtest

#endif
