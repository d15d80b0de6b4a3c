// KRNMathPoint: a point of 3-D space with three public double coordinates.
//
// Affine arithmetic: point - point = vector, point + vector = point, point - vector = point.
// Conversions to and from KRNMathVector keep the three components and are explicit.
#ifndef KRNMathPoint_h
#define KRNMathPoint_h

#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

#include <cmath>

class KRN_API KRNMathPoint {
public:
  constexpr KRNMathPoint() = default;  // (0, 0, 0)
  constexpr KRNMathPoint(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
  // The point whose coordinates are the vector's components.
  constexpr explicit KRNMathPoint(const KRNMathVector& v) : x(v.x), y(v.y), z(v.z) {}
  // The vector from the world origin to this point.
  constexpr explicit operator KRNMathVector() const { return KRNMathVector(x, y, z); }

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

  // Squared Euclidean distance: dx*dx + dy*dy + dz*dz with d = p - this.
  constexpr double SquareDistanceTo(const KRNMathPoint& p) const {
    return (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y) + (p.z - z) * (p.z - z);
  }
  // Euclidean distance, sqrt(SquareDistanceTo(p)).
  double DistanceTo(const KRNMathPoint& p) const { return std::sqrt(SquareDistanceTo(p)); }

  KRNMathPoint& operator+=(const KRNMathVector& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  KRNMathPoint& operator-=(const KRNMathVector& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// The vector from q to p.
constexpr KRNMathVector operator-(const KRNMathPoint& p, const KRNMathPoint& q) {
  return KRNMathVector(p.x - q.x, p.y - q.y, p.z - q.z);
}
constexpr KRNMathPoint operator+(const KRNMathPoint& p, const KRNMathVector& v) {
  return KRNMathPoint(p.x + v.x, p.y + v.y, p.z + v.z);
}
constexpr KRNMathPoint operator-(const KRNMathPoint& p, const KRNMathVector& v) {
  return KRNMathPoint(p.x - v.x, p.y - v.y, p.z - v.z);
}

#endif
