#include "KRNMathTransformation.h"

#include <cmath>

namespace {

// The matrix s * I.
KRNMath3x3Matrix Diagonal(double s) {
  return KRNMath3x3Matrix(KRNMathVector(s, 0.0, 0.0), KRNMathVector(0.0, s, 0.0), KRNMathVector(0.0, 0.0, s));
}

// The outer product a b^T.
KRNMath3x3Matrix Outer(const KRNMathVector& a, const KRNMathVector& b) {
  return KRNMath3x3Matrix(b.x * a, b.y * a, b.z * a);
}

// The cross-product matrix [k]x, with [k]x v = k ^ v.
KRNMath3x3Matrix CrossMatrix(const KRNMathVector& k) {
  return KRNMath3x3Matrix(KRNMathVector(0.0, k.z, -k.y), KRNMathVector(-k.z, 0.0, k.x), KRNMathVector(k.y, -k.x, 0.0));
}

// Entry-wise a + b.
KRNMath3x3Matrix Sum(const KRNMath3x3Matrix& a, const KRNMath3x3Matrix& b) {
  return KRNMath3x3Matrix(a.GetColumn(0) + b.GetColumn(0), a.GetColumn(1) + b.GetColumn(1),
                          a.GetColumn(2) + b.GetColumn(2));
}

// Entry-wise s * m.
KRNMath3x3Matrix Scaled(double s, const KRNMath3x3Matrix& m) {
  return KRNMath3x3Matrix(s * m.GetColumn(0), s * m.GetColumn(1), s * m.GetColumn(2));
}

// Rodrigues' rotation matrix by angle about the unit axis k.
KRNMath3x3Matrix RotationMatrix(double angle, const KRNMathVector& k) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return Sum(Sum(Diagonal(c), Scaled(s, CrossMatrix(k))), Scaled(1.0 - c, Outer(k, k)));
}

// The world axis on which v has its smallest absolute component (the first on a tie).
KRNMathVector SmallestComponentAxis(const KRNMathVector& v) {
  const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
  if (ax <= ay && ax <= az) return KRNMathVector(1.0, 0.0, 0.0);
  if (ay <= az) return KRNMathVector(0.0, 1.0, 0.0);
  return KRNMathVector(0.0, 0.0, 1.0);
}

// Translation that keeps the point fixed under the linear part m: point - m point.
KRNMathVector FixingTranslation(const KRNMath3x3Matrix& m, const KRNMathPoint& point) {
  const KRNMathVector p(point);
  return p - m * p;
}

// All entries of m within tolerance of those of s * I.
bool IsMultipleOfIdentity(const KRNMath3x3Matrix& m, double s, double tolerance) {
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const double expected = row == column ? s : 0.0;
      if (!(std::fabs(m(row, column) - expected) <= tolerance)) return false;
    }
  }
  return true;
}

// The cofactor (adjugate transposed) columns: c0 = r1 ^ r2 etc., built from the rows of m.
KRNMath3x3Matrix Adjugate(const KRNMath3x3Matrix& m) {
  const KRNMathVector r0 = m.GetRow(0), r1 = m.GetRow(1), r2 = m.GetRow(2);
  return KRNMath3x3Matrix(r1.Cross(r2), r2.Cross(r0), r0.Cross(r1));  // adj(m) = [r1^r2 | r2^r0 | r0^r1]
}

bool IsFinite(const KRNMath3x3Matrix& m) {
  for (int column = 0; column < 3; ++column) {
    const KRNMathVector c = m.GetColumn(column);
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) return false;
  }
  return true;
}

}  // namespace

KRNMathTransformation::KRNMathTransformation() = default;

KRNMathTransformation::KRNMathTransformation(const KRNMath3x3Matrix& matrix, const KRNMathVector& translation)
    : mMatrix(matrix), mTranslation(translation) {}

KRNMathTransformation::KRNMathTransformation(const double& angle, const KRNMathLine& axis) {
  KRNMathVector k = axis.GetDirection();
  if (k.SquareNorm() == 0.0) return;  // no axis: identity
  k.Normalize();
  mMatrix = RotationMatrix(angle, k);
  mTranslation = FixingTranslation(mMatrix, axis.GetOrigin());
}

KRNMathTransformation::KRNMathTransformation(const KRNMathVector& translation) : mTranslation(translation) {}

KRNMathTransformation::KRNMathTransformation(const KRNMathPoint& point, const KRNMathVector& vector) {
  KRNMathVector a = vector.Cross(SmallestComponentAxis(vector));
  if (a.SquareNorm() == 0.0) return;                        // zero vector: identity
  a.Normalize();                                            // unit axis, orthogonal to vector
  mMatrix = Sum(Scaled(2.0, Outer(a, a)), Diagonal(-1.0));  // half-turn: 2 a a^T - I
  mTranslation = FixingTranslation(mMatrix, point);
}

KRNMathPoint KRNMathTransformation::operator*(const KRNMathPoint& p) const {
  return KRNMathPoint(mMatrix * KRNMathVector(p) + mTranslation);
}

KRNMathVector KRNMathTransformation::operator*(const KRNMathVector& v) const { return mMatrix * v; }

KRNMathTransformation KRNMathTransformation::operator*(const KRNMathTransformation& other) const {
  return KRNMathTransformation(mMatrix * other.mMatrix, mMatrix * other.mTranslation + mTranslation);
}

KRNMathTransformation KRNMathTransformation::Inverse() const {
  KRNMathTransformation inverse;
  GetInverse(inverse);
  return inverse;
}

bool KRNMathTransformation::GetInverse(KRNMathTransformation& inverse) const {
  const double det = mMatrix.Determinant();
  if (det == 0.0) return false;
  const KRNMath3x3Matrix m = Scaled(1.0 / det, Adjugate(mMatrix));
  if (!IsFinite(m)) return false;
  inverse = KRNMathTransformation(m, -(m * mTranslation));  // p = M^-1 (q - t)
  return true;
}

bool KRNMathTransformation::IsIdentity() const {
  const double tol = IdentityTolerance;
  return IsMultipleOfIdentity(mMatrix, 1.0, tol) && std::fabs(mTranslation.x) <= tol &&
         std::fabs(mTranslation.y) <= tol && std::fabs(mTranslation.z) <= tol;
}

bool KRNMathTransformation::IsScaling(KRNMathPoint& center, double& factor) const {
  const double f = (mMatrix(0, 0) + mMatrix(1, 1) + mMatrix(2, 2)) / 3.0;
  if (!(f > 0.0) || !(std::fabs(f - 1.0) > IdentityTolerance)) return false;
  if (!IsMultipleOfIdentity(mMatrix, f, IdentityTolerance * f)) return false;
  center = KRNMathPoint((1.0 / (1.0 - f)) * mTranslation);  // t = (1 - f) c
  factor = f;
  return true;
}
