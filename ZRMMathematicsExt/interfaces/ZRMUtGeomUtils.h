// ZRMUtGeomUtils: stateless geometric helpers over the platform's math value types, as static
// member functions: a vector perpendicular to a given one, rotations about a line, the rigid
// motion carrying one point-and-direction onto another, and conversions between a plane and an
// axis system with a choice of roles for the axes.
//
// Angles are in radians, with the platform's rotation convention (right-hand rule about the
// line's direction). Results that are directions follow the unit-direction rule of
// KRNMathDirection.
//
// Axis indices: PlaneToSys and SysToPlane take an index k that must be 0, 1 or 2, with a
// different meaning in each (see there). Our handling of any other value: it is reported as a
// caller error through the assertion reports (message "Axis index out of range", expression
// "k >= 0 && k <= 2", file "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils", line 101
// for PlaneToSys and 102 for SysToPlane), and the index is then reduced into 0..2 modulo 3
// (so -1 acts as 2 and 3 as 0), never read outside the three directions.
#ifndef ZRMUtGeomUtils_h
#define ZRMUtGeomUtils_h

#include "ZRMMathematicsExport.h"

#include "KRNMathAxis.h"
#include "KRNMathDirection.h"
#include "KRNMathLine.h"
#include "KRNMathPlane.h"
#include "KRNMathPoint.h"
#include "KRNMathTransformation.h"
#include "KRNMathVector.h"

class ZRMMATH_API ZRMUtGeomUtils {
public:
  ZRMUtGeomUtils() = default;
  virtual ~ZRMUtGeomUtils();

  // A vector perpendicular to v, not normalised: (1,0,0) ^ v unless v is parallel to (1,0,0)
  // by the platform's test, else (0,1,0) ^ v unless v is parallel to that too, else (1,0,0)
  // (a zero vector, which the test finds parallel to everything).
  static KRNMathVector GetPerpendicularVector(const KRNMathVector& v);

  // point rotated by angle about axis.
  static KRNMathPoint GetRotatedPoint(const KRNMathLine& axis, double angle, const KRNMathPoint& point);

  // direction rotated by angle about axis's direction, made a unit direction again.
  static KRNMathDirection GetRotatedVector(const KRNMathLine& axis, double angle, const KRNMathDirection& direction);

  // result := the rigid motion carrying P1 to P2 and D1 onto D2: the translation by P2 - P1,
  // followed (when D1 and D2 are not parallel) by the rotation by the angle between them about
  // the line through P2 along D1 ^ D2, or (when they are parallel in opposite senses) by the
  // platform's (point, vector) motion at (P2, D2), which fixes P2 and reverses D2. Same sense:
  // the translation alone. The angle is acos(D1 . D2) with the cosine clamped into [-1, 1]:
  // rounding can carry the dot product of two unit directions just past 1 in magnitude, where
  // acos has no value.
  static void GetTransformationOfPointsAndDirections(KRNMathTransformation& result, const KRNMathPoint& P1,
                                                     const KRNMathDirection& D1, const KRNMathPoint& P2,
                                                     const KRNMathDirection& D2);

  // The axis system of plane: origin the plane's origin; with U, V the plane's directions as
  // stored and W the unit vector of U ^ V, the list (U, V, W) gives the first, second and third
  // directions list[(k+1) mod 3], list[(k+2) mod 3], list[k]: k names the member that becomes
  // the third direction. k = 2 gives (U, V, W).
  static KRNMathAxis PlaneToSys(const KRNMathPlane& plane, int k);

  // The plane through axis's origin spanned by the directions list[(k+1) mod 3] and
  // list[(k+2) mod 3] of the list (first, second, third): k names the axis direction normal to
  // the plane. k = 2 gives the plane of the first and second directions; for k = 2 only,
  // SysToPlane undoes PlaneToSys.
  static KRNMathPlane SysToPlane(const KRNMathAxis& axis, int k);
};

#endif
