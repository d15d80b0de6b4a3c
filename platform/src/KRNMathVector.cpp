#include "KRNMathVector.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Unit vector of v, or the zero vector when v is zero.
KRNMathVector UnitOrZero(const KRNMathVector& v) {
  KRNMathVector u = v;
  return u.Normalize();
}

}  // namespace

KRNMathVector& KRNMathVector::Normalize() {
  const double s = SquareNorm();
  if (s < DBL_MIN || s > DBL_MAX) {
    // Out of the normal range (or zero): bring the largest component to +-1 first.
    const double largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (largest == 0.0) return *this;                           // a zero vector stays zero
    if (!std::isfinite(largest)) return *this *= 1.0 / Norm();  // infinite components: no direction
    x /= largest;  // divided, not multiplied by the reciprocal, which overflows for subnormals
    y /= largest;
    z /= largest;
  }
  return *this *= 1.0 / Norm();
}

bool KRNMathVector::IsParallel(const KRNMathVector& v) const {
  return UnitOrZero(*this).Cross(UnitOrZero(v)).Norm() <= AngularTolerance;
}

bool KRNMathVector::IsOrthogonal(const KRNMathVector& v) const {
  return std::fabs(UnitOrZero(*this).Dot(UnitOrZero(v))) <= AngularTolerance;
}
