// KRNMathVector: a free vector of 3-D space with three public double components.
//
// Products (our choice, both spellings available):
//   u * v  and  u.Dot(v)    dot product, a double
//   u ^ v  and  u.Cross(v)  cross product, a vector (right-handed)
// The arithmetic is the plain component formula, evaluated in the order written below.
//
// IsParallel and IsOrthogonal share one angular tolerance, AngularTolerance (radians). With
// unit vectors a and b of u and v (a zero vector staying zero), u and v are parallel when
// |a ^ b| <= AngularTolerance (the sine of the angle between them is within the tolerance; same
// or opposite sense) and orthogonal when |a * b| <= AngularTolerance. A zero vector is therefore
// parallel and orthogonal to every vector, itself included.
#ifndef KRNMathVector_h
#define KRNMathVector_h

#include "KRNPlatformExport.h"

#include <cmath>

class KRN_API KRNMathVector {
public:
  // Angular tolerance of IsParallel and IsOrthogonal, in radians.
  static constexpr double AngularTolerance = 1e-10;

  constexpr KRNMathVector() = default;  // (0, 0, 0)
  constexpr KRNMathVector(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

  // Copies the three components out.
  void GetCoord(double& ax, double& ay, double& az) const {
    ax = x;
    ay = y;
    az = z;
  }
  void SetCoord(double ax, double ay, double az) {
    x = ax;
    y = ay;
    z = az;
  }

  constexpr double Dot(const KRNMathVector& v) const { return x * v.x + y * v.y + z * v.z; }
  constexpr KRNMathVector Cross(const KRNMathVector& v) const {
    return KRNMathVector(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
  }

  // x*x + y*y + z*z.
  constexpr double SquareNorm() const { return x * x + y * y + z * z; }
  // sqrt(SquareNorm()).
  double Norm() const { return std::sqrt(SquareNorm()); }

  // Scales this vector to unit length: each component times 1/Norm(). A zero vector stays zero.
  // Vectors whose squared length is outside the normal double range are first divided by their
  // largest component magnitude, so tiny and huge vectors normalise too.
  KRNMathVector& Normalize();

  // Parallel (either sense) within AngularTolerance; true when either vector is zero.
  bool IsParallel(const KRNMathVector& v) const;
  // Orthogonal within AngularTolerance; true when either vector is zero.
  bool IsOrthogonal(const KRNMathVector& v) const;

  KRNMathVector& operator+=(const KRNMathVector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  KRNMathVector& operator-=(const KRNMathVector& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  KRNMathVector& operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

constexpr KRNMathVector operator+(const KRNMathVector& u, const KRNMathVector& v) {
  return KRNMathVector(u.x + v.x, u.y + v.y, u.z + v.z);
}
constexpr KRNMathVector operator-(const KRNMathVector& u, const KRNMathVector& v) {
  return KRNMathVector(u.x - v.x, u.y - v.y, u.z - v.z);
}
constexpr KRNMathVector operator-(const KRNMathVector& v) { return KRNMathVector(-v.x, -v.y, -v.z); }
constexpr KRNMathVector operator*(double s, const KRNMathVector& v) { return KRNMathVector(s * v.x, s * v.y, s * v.z); }
constexpr KRNMathVector operator*(const KRNMathVector& v, double s) { return KRNMathVector(v.x * s, v.y * s, v.z * s); }
// Dot product.
constexpr double operator*(const KRNMathVector& u, const KRNMathVector& v) { return u.Dot(v); }
// Cross product. Mind the precedence of ^ (below + and *): write (u ^ v) in parentheses.
constexpr KRNMathVector operator^(const KRNMathVector& u, const KRNMathVector& v) { return u.Cross(v); }

#endif
