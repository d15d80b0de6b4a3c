// KRNMathTransformation: an affine map of 3-D space, p -> M p + t, with a 3x3 linear part M and a
// translation vector t.
//
// Products:
//   T * point           M p + t (full affine map)
//   T * vector          M v (linear part only); a KRNMathDirection converts to a vector, so
//                       T * direction is this product too and its result is a KRNMathVector
//                       (not renormalised)
//   A * B               the composition applying B first and A last: (A * B) * p = A * (B * p)
//
// Tolerance (our choice): IsIdentity and IsScaling compare entries with IdentityTolerance,
// absolute for the entries of M (which are of order 1 for rigid motions) and for those of t.
#ifndef KRNMathTransformation_h
#define KRNMathTransformation_h

#include "KRNMath3x3Matrix.h"
#include "KRNMathLine.h"
#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathTransformation {
public:
  static constexpr double IdentityTolerance = 1e-12;

  // The identity.
  KRNMathTransformation();
  // p -> matrix p + translation.
  explicit KRNMathTransformation(const KRNMath3x3Matrix& matrix, const KRNMathVector& translation = KRNMathVector());
  // The rotation by angle (radians) about the line: right-hand rule about the line's direction,
  // the line's origin fixed. A line with a zero direction gives the identity.
  KRNMathTransformation(const double& angle, const KRNMathLine& axis);
  // The translation by the vector.
  explicit KRNMathTransformation(const KRNMathVector& translation);
  // The half-turn (rotation by pi) about the axis through point perpendicular to vector: a
  // rigid motion that fixes point and maps vector to -vector. Our choice of axis: the unit
  // vector of vector ^ e, where e is the world axis (1,0,0), (0,1,0) or (0,0,1) on which vector
  // has the smallest absolute component (the first of them on a tie). A zero vector gives the
  // identity.
  KRNMathTransformation(const KRNMathPoint& point, const KRNMathVector& vector);

  const KRNMath3x3Matrix& GetMatrix() const { return mMatrix; }
  const KRNMathVector& GetTranslation() const { return mTranslation; }

  KRNMathPoint operator*(const KRNMathPoint& p) const;
  KRNMathVector operator*(const KRNMathVector& v) const;
  KRNMathTransformation operator*(const KRNMathTransformation& other) const;

  // The inverse map. A linear part with determinant exactly zero (or a non-finite inverse) has no
  // inverse: the result is then the identity (use GetInverse to tell).
  KRNMathTransformation Inverse() const;
  // inverse := the inverse map and true; false, with inverse untouched, when there is none.
  bool GetInverse(KRNMathTransformation& inverse) const;

  // M equals the identity and t is zero, each entry within IdentityTolerance.
  bool IsIdentity() const;

  // True when the map is a uniform scaling p -> center + factor (p - center) with factor > 0
  // and factor != 1: M = factor * I within IdentityTolerance * factor, |factor - 1| above
  // IdentityTolerance. Then center and factor are written; otherwise false and both are left
  // untouched. Our choices: the identity (factor 1, centre undefined) is not a scaling, and
  // neither is a point reflection (negative factor) or the collapse onto a point (factor 0).
  bool IsScaling(KRNMathPoint& center, double& factor) const;

private:
  KRNMath3x3Matrix mMatrix;
  KRNMathVector mTranslation;
};

#endif
