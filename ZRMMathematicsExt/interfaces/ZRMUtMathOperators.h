// Tolerant equality of the platform's math value types, and conversions between their single-
// and double-precision forms. Free functions of the global namespace.
//
// Equality rule: two values are equal when every stored component of the one differs from the
// matching component of the other by strictly less than ZRMUtTolerance().AbsoluteTol(). The
// components are compared in the order listed below; the single-precision types form each
// difference in single precision and compare it with the tolerance converted to single
// precision. A NaN component is unequal to everything. The stored parameterisation is compared,
// not the geometric set: planes with exchanged directions, or axis systems with a swapped pair
// of directions, are unequal. operator!= is the negation of operator==. Nothing is allocated.
//
//   KRNMathPoint, KRNMathVector                          x, y, z
//   KRNMathPoint2D                                       x, y
//   KRNMathPointf, KRNMathVectorf, KRNMathDirectionf     x, y, z (single precision)
//   KRNMathBox2D                                         GetLow() x, y, then GetHigh() x, y
//   KRNMathPlane                                         origin, first, second direction; x, y, z each
//   KRNMathAxis                                          origin, first, second, third direction; x, y, z each
#ifndef ZRMUtMathOperators_h
#define ZRMUtMathOperators_h

#include "ZRMMathematicsExport.h"

#include "KRNMathAxis.h"
#include "KRNMathBox2D.h"
#include "KRNMathDirection.h"
#include "KRNMathDirectionf.h"
#include "KRNMathPlane.h"
#include "KRNMathPoint.h"
#include "KRNMathPoint2D.h"
#include "KRNMathPointf.h"
#include "KRNMathVector.h"
#include "KRNMathVectorf.h"

//@{
// Tolerant equality and its negation, by the equality rule above.
ZRMMATH_API bool operator==(const KRNMathAxis& a, const KRNMathAxis& b);
ZRMMATH_API bool operator!=(const KRNMathAxis& a, const KRNMathAxis& b);
ZRMMATH_API bool operator==(const KRNMathBox2D& a, const KRNMathBox2D& b);
ZRMMATH_API bool operator!=(const KRNMathBox2D& a, const KRNMathBox2D& b);
ZRMMATH_API bool operator==(const KRNMathDirectionf& a, const KRNMathDirectionf& b);
ZRMMATH_API bool operator!=(const KRNMathDirectionf& a, const KRNMathDirectionf& b);
ZRMMATH_API bool operator==(const KRNMathPlane& a, const KRNMathPlane& b);
ZRMMATH_API bool operator!=(const KRNMathPlane& a, const KRNMathPlane& b);
ZRMMATH_API bool operator==(const KRNMathPoint2D& a, const KRNMathPoint2D& b);
ZRMMATH_API bool operator!=(const KRNMathPoint2D& a, const KRNMathPoint2D& b);
ZRMMATH_API bool operator==(const KRNMathPoint& a, const KRNMathPoint& b);
ZRMMATH_API bool operator!=(const KRNMathPoint& a, const KRNMathPoint& b);
ZRMMATH_API bool operator==(const KRNMathPointf& a, const KRNMathPointf& b);
ZRMMATH_API bool operator!=(const KRNMathPointf& a, const KRNMathPointf& b);
ZRMMATH_API bool operator==(const KRNMathVector& a, const KRNMathVector& b);
ZRMMATH_API bool operator!=(const KRNMathVector& a, const KRNMathVector& b);
ZRMMATH_API bool operator==(const KRNMathVectorf& a, const KRNMathVectorf& b);
ZRMMATH_API bool operator!=(const KRNMathVectorf& a, const KRNMathVectorf& b);
//@}

// The direction of the widened components, by the unit-direction rule (kept when the squared
// length is exactly 1, (1, 0, 0) when it is exactly 0, otherwise divided by the length).
ZRMMATH_API KRNMathDirection ZRMUtDirectionFtoDirection(const KRNMathDirectionf& direction);
// The point with the components widened to double.
ZRMMATH_API KRNMathPoint ZRMUtMathPointFtoMathPoint(const KRNMathPointf& point);
// The vector with the point's three components.
ZRMMATH_API KRNMathVector ZRMUtPointToVector(const KRNMathPoint& point);
// The single-precision vector with the point's three components.
ZRMMATH_API KRNMathVectorf ZRMUtPointfToVectorf(const KRNMathPointf& point);
// The single-precision point with the vector's three components.
ZRMMATH_API KRNMathPointf ZRMUtVectorfToPointf(const KRNMathVectorf& vector);

#endif
