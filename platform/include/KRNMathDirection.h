// KRNMathDirection: a unit vector of 3-D space.
//
// Unit-direction rule, applied by every constructor from components or from a vector: with
// s = x*x + y*y + z*z,
//   s == 1.0 exactly   the components are kept bit for bit;
//   s == 0.0 exactly   the direction is (1, 0, 0);
//   otherwise          each component is divided by the length sqrt(s).
// Our addition for vectors whose squared length leaves the normal double range (s overflows to
// infinity, or underflows below the smallest normal double although a component is non-zero):
// the components are first divided by the largest magnitude among them, and the rule is applied
// to the result, so such vectors still give their true direction instead of (0, 0, 0) or
// (1, 0, 0). Non-finite components give non-finite results.
//
// A direction converts implicitly to KRNMathVector, so it takes part in every vector operation
// (dot and cross products, scalar products, point + direction, transformation * direction);
// those results are vectors. The public components are readable; writing them directly
// bypasses the rule.
#ifndef KRNMathDirection_h
#define KRNMathDirection_h

#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

#include <cfloat>
#include <cmath>

class KRN_API KRNMathDirection {
public:
  constexpr KRNMathDirection() = default;  // (1, 0, 0)
  constexpr KRNMathDirection(double ax, double ay, double az) { Assign(ax, ay, az); }
  constexpr explicit KRNMathDirection(const KRNMathVector& v) { Assign(v.x, v.y, v.z); }

  constexpr operator KRNMathVector() const { return KRNMathVector(x, y, z); }

  void GetCoord(double& ax, double& ay, double& az) const {
    ax = x;
    ay = y;
    az = z;
  }

  // Parallel / orthogonal within KRNMathVector::AngularTolerance (see KRNMathVector).
  bool IsParallel(const KRNMathVector& v) const { return KRNMathVector(*this).IsParallel(v); }
  bool IsOrthogonal(const KRNMathVector& v) const { return KRNMathVector(*this).IsOrthogonal(v); }

  double x = 1.0;
  double y = 0.0;
  double z = 0.0;

private:
  // Stores (ax, ay, az) by the unit-direction rule.
  constexpr void Assign(double ax, double ay, double az) {
    const double s = ax * ax + ay * ay + az * az;
    if (s == 1.0) {
      x = ax;
      y = ay;
      z = az;
    } else if (s == 0.0 && ax == 0.0 && ay == 0.0 && az == 0.0) {
      x = 1.0;
      y = 0.0;
      z = 0.0;
    } else if (s < DBL_MIN || (s > DBL_MAX && std::isfinite(ax) && std::isfinite(ay) && std::isfinite(az))) {
      AssignRescaled(ax, ay, az);
    } else {
      const double length = std::sqrt(s);
      x = ax / length;
      y = ay / length;
      z = az / length;
    }
  }
  // Stores the direction of a finite, non-zero vector whose squared length is out of range.
  void AssignRescaled(double ax, double ay, double az);
};

#endif
