// ZRMUtLine: an unbounded line of 3-D space.
//
// Definition: the origin Point() and the unit direction Direction(). Parameterisation: t is the
// signed distance from the origin along the direction, the point at t is origin + t*direction,
// and the tangent is the direction everywhere. The direction is stored as given (not
// renormalised) by the constructor; ApplyTransformation renormalises it by the unit-direction
// rule.
//
// Foot of the perpendicular from P (shared by GetTangentAtPoint and both PointOnLine): with O
// and D read back from a KRNMathLine, u = unit((O + D) - O), t = (P - O).u and F = O + t*u.
//
// Degenerate cases: a transformation whose linear part maps the direction to zero leaves the
// direction (1, 0, 0); a static PointOnLine on a KRNMathLine with a zero direction gives the
// origin as foot and parameter 0; NaN coordinates give NaN results and "not within".
#ifndef ZRMUtLine_h
#define ZRMUtLine_h

#include "KRNMathDirection.h"
#include "KRNMathLine.h"
#include "KRNMathPoint.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtGeometry.h"

class ZRMMATH_API ZRMUtLine : public ZRMUtGeometry {
public:
  // Stores both as given.
  ZRMUtLine(const KRNMathPoint& origin, const KRNMathDirection& direction);
  // Copies origin and direction, not the reference count.
  ZRMUtLine(const ZRMUtLine& other);
  // Takes other's origin and direction; this object's reference count stays as it was.
  ZRMUtLine& operator=(const ZRMUtLine& other);
  ~ZRMUtLine() override;

  // The origin, the point at t = 0.
  const KRNMathPoint& Point() const { return mOrigin; }
  // The direction, the tangent everywhere.
  const KRNMathDirection& Direction() const { return mDirection; }
  // x, y, z := the origin's coordinates.
  void PointCoord(double& x, double& y, double& z) const;
  // x, y, z := the direction's components.
  void DirectionCoord(double& x, double& y, double& z) const;

  // origin := T origin; direction := unit direction of T's linear part applied to it.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;

  // |t1 - t2|.
  double ArcLength(double t1, double t2) const;
  // point := origin + t*direction; tangent (if not null) := direction. Always true.
  bool EvalPoint(double t, KRNMathPoint& point, KRNMathDirection* tangent) const;
  // tangent := direction (always); true when the point lies within the model resolution of the
  // line (distance to the foot of the perpendicular not greater than it).
  bool GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const override;
  // foot := foot of the perpendicular from the point, true; a null foot gives false and nothing
  // is computed. No distance test.
  bool PointOnLine(const KRNMathPoint& point, KRNMathPoint* foot) const;
  // Foot and parameter of the perpendicular from the point onto the platform line; within (if
  // not null) := 0 <= param <= line.GetLength(). A null foot or param gives false and nothing is
  // written.
  static bool PointOnLine(const KRNMathPoint& point, const KRNMathLine& line, KRNMathPoint* foot, double* param,
                          bool* within);
  // foot := KRNMathLine::Project (point form); param (if not null) := its parameter form. A null
  // foot gives false and nothing is written.
  bool ProjectPoint(const KRNMathPoint& point, KRNMathPoint* foot, double* param);

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtLine*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  // The platform line through the origin along the direction.
  KRNMathLine MathLine() const;

  KRNMathPoint mOrigin;
  KRNMathDirection mDirection;  // unit as long as built or transformed by this class
};

#endif
