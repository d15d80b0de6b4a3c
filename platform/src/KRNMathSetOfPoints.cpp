#include "KRNMathSetOfPoints.h"

#include "ZRMUtError.h"

#include <cstddef>

KRNMathSetOfPoints::KRNMathSetOfPoints(int count) : mPoints(count > 0 ? static_cast<std::size_t>(count) : 0) {}

KRNMathPoint KRNMathSetOfPoints::GetPoint(int index) const {
  CheckIndex(index);
  return mPoints[static_cast<std::size_t>(index)];
}

void KRNMathSetOfPoints::SetPoint(const KRNMathPoint& point, int index) {
  CheckIndex(index);
  mPoints[static_cast<std::size_t>(index)] = point;
}

void KRNMathSetOfPoints::CheckIndex(int index) const {
  if (index < 0 || index >= GetNumberOfPoints()) ZRMUtRaise(ZRMUtError::IndexOutOfRange, "KRNMathSetOfPoints", 0);
}
