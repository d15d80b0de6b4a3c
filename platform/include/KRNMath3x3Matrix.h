// KRNMath3x3Matrix: a 3x3 matrix of doubles, built from its three columns.
//
// Element (row, column) with both indices from 0 to 2. An index outside that range raises
// ZRMUtError::IndexOutOfRange (file "KRNMath3x3Matrix", line 0) instead of reading outside
// the matrix.
#ifndef KRNMath3x3Matrix_h
#define KRNMath3x3Matrix_h

#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMath3x3Matrix {
public:
  // The identity matrix.
  KRNMath3x3Matrix();
  // The matrix whose columns are c0, c1, c2, in that order.
  KRNMath3x3Matrix(const KRNMathVector& c0, const KRNMathVector& c1, const KRNMathVector& c2);

  double operator()(int row, int column) const;
  double& operator()(int row, int column);

  // Column 0, 1 or 2 as a vector (other indices raise as the element access does).
  KRNMathVector GetColumn(int column) const;
  // Row 0, 1 or 2 as a vector.
  KRNMathVector GetRow(int row) const;

  double Determinant() const;
  KRNMath3x3Matrix Transposed() const;

  // Matrix times column vector.
  KRNMathVector operator*(const KRNMathVector& v) const;
  // Matrix product (this on the left).
  KRNMath3x3Matrix operator*(const KRNMath3x3Matrix& m) const;

private:
  double mElements[3][3];  // [row][column]
};

#endif
