// ZRMUtArc: a circle (ZRMUtCircle) bounded by a start point and an end point.
//
// Definition and parameterisation are those of the circle: the point at angle t (measured from
// XDir() towards YDir()) is Center() + Radius() * (cos t * XDir() + sin t * YDir()). The arc's
// ends are stored as points; GetStartAngle and GetEndAngle give their angles in (-pi, pi].
//
// Degenerate cases:
// - The end points are stored as passed: nothing checks that they lie on the circle, and the
//   angular range is not normalised (the end angle may be smaller than the start angle).
// - An end point at the center gives the end tangent Axis() x (1, 0, 0) (unit direction rule).
// - GetTangentAtPoint accepts a point only at exactly the radius from the center (no tolerance,
//   unlike the circle) and does not test the angular range.
// - Our choice: a default-constructed arc has the degenerate default frame, radius 0 and both
//   ends at (0, 0, 0).
#ifndef ZRMUtArc_h
#define ZRMUtArc_h

#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtCircle.h"

class ZRMMATH_API ZRMUtArc : public ZRMUtCircle {
public:
  // The degenerate default frame, radius 0, both ends at (0, 0, 0).
  ZRMUtArc();
  // The matching circle constructor, then the two ends.
  ZRMUtArc(const KRNMathPoint& center, const KRNMathDirection& axis, const KRNMathDirection& xDir, double radius,
           const KRNMathPoint& start, const KRNMathPoint& end);
  // The circle constructor without an x direction, then the two ends.
  ZRMUtArc(const KRNMathPoint& center, const KRNMathDirection& axis, double radius, const KRNMathPoint& start,
           const KRNMathPoint& end);
  // Copies the circle and both ends, not the reference count.
  ZRMUtArc(const ZRMUtArc& other);
  // Takes other's circle and ends; this object's reference count stays as it was.
  ZRMUtArc& operator=(const ZRMUtArc& other);
  ~ZRMUtArc() override;

  // The start point, as stored.
  const KRNMathPoint& GetStartPoint() const { return mStart; }
  // The end point, as stored.
  const KRNMathPoint& GetEndPoint() const { return mEnd; }
  //@{
  // Angles of the end points in this frame, in (-pi, pi].
  double GetStartAngle() const;
  double GetEndAngle() const;
  //@}

  // end 1: the start point, any other value: the end point. Unit direction of
  // Axis() x unit direction of (end point - Center()): the counter-clockwise sense about Axis()
  // at both ends.
  const KRNMathDirection GetTangent(int end);

  // The circle's transformation, then both ends are mapped.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  // The circle's tangent, written in every case; true only when the point lies at exactly the
  // radius from the center.
  bool GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Both visit as Visit(const ZRMUtArc*) only, never as a circle.
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  KRNMathPoint mStart;
  KRNMathPoint mEnd;
};

#endif
