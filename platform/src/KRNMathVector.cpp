#include "KRNMathDirection.h"
#include "KRNMathVector.h"

#include <algorithm>
#include <cmath>

KRNMathVector& KRNMathVector::Normalize() {
  const double norm = Norm();
  if (norm == 0.0) return *this;  // a zero vector stays zero
  const double f = 1.0 / norm;
  x *= f;
  y *= f;
  z *= f;
  return *this;
}

bool KRNMathVector::IsParallel(const KRNMathVector& v) const {
  return Cross(v).Norm() <= AngularTolerance * Norm() * v.Norm();
}

bool KRNMathVector::IsOrthogonal(const KRNMathVector& v) const {
  return std::fabs(Dot(v)) <= AngularTolerance * Norm() * v.Norm();
}

void KRNMathDirection::AssignRescaled(double ax, double ay, double az) {
  const double largest = std::max({std::fabs(ax), std::fabs(ay), std::fabs(az)});  // finite, > 0
  Assign(ax / largest, ay / largest, az / largest);  // the largest component becomes +-1: s lies in [1, 3]
}
