#include "KRNMath3x3Matrix.h"

#include "ZRMUtError.h"

namespace {

// Raises IndexOutOfRange unless 0 <= index <= 2.
void CheckMatrixIndex(int index) {
  if (index < 0 || index > 2) ZRMUtRaise(ZRMUtError::IndexOutOfRange, "KRNMath3x3Matrix", 0);
}

}  // namespace

KRNMath3x3Matrix::KRNMath3x3Matrix() : mElements{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}} {}

KRNMath3x3Matrix::KRNMath3x3Matrix(const KRNMathVector& c0, const KRNMathVector& c1, const KRNMathVector& c2)
    : mElements{{c0.x, c1.x, c2.x}, {c0.y, c1.y, c2.y}, {c0.z, c1.z, c2.z}} {}

double KRNMath3x3Matrix::operator()(int row, int column) const {
  CheckMatrixIndex(row);
  CheckMatrixIndex(column);
  return mElements[row][column];
}

double& KRNMath3x3Matrix::operator()(int row, int column) {
  CheckMatrixIndex(row);
  CheckMatrixIndex(column);
  return mElements[row][column];
}

KRNMathVector KRNMath3x3Matrix::GetColumn(int column) const {
  CheckMatrixIndex(column);
  return KRNMathVector(mElements[0][column], mElements[1][column], mElements[2][column]);
}

KRNMathVector KRNMath3x3Matrix::GetRow(int row) const {
  CheckMatrixIndex(row);
  return KRNMathVector(mElements[row][0], mElements[row][1], mElements[row][2]);
}

double KRNMath3x3Matrix::Determinant() const { return GetColumn(0).Dot(GetColumn(1).Cross(GetColumn(2))); }

KRNMath3x3Matrix KRNMath3x3Matrix::Transposed() const { return KRNMath3x3Matrix(GetRow(0), GetRow(1), GetRow(2)); }

KRNMathVector KRNMath3x3Matrix::operator*(const KRNMathVector& v) const {
  return KRNMathVector(GetRow(0).Dot(v), GetRow(1).Dot(v), GetRow(2).Dot(v));
}

KRNMath3x3Matrix KRNMath3x3Matrix::operator*(const KRNMath3x3Matrix& m) const {
  return KRNMath3x3Matrix(*this * m.GetColumn(0), *this * m.GetColumn(1), *this * m.GetColumn(2));
}
