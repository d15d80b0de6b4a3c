// ZRMUtPoint: a point of 3-D space as a geometry.
//
// Definition: the single position Point(). It has no parameterisation and no tangent
// (GetTangentAtPoint is the base's: false). A transformation maps it by the full affine map.
// Move construction and move assignment copy the point, as the copies do.
#ifndef ZRMUtPoint_h
#define ZRMUtPoint_h

#include "KRNMathPoint.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtGeometry.h"

class ZRMMATH_API ZRMUtPoint : public ZRMUtGeometry {
public:
  // The geometry at point.
  explicit ZRMUtPoint(const KRNMathPoint& point);
  // Copies the point, not the reference count.
  ZRMUtPoint(const ZRMUtPoint& other);
  // Copies the point, as the copy constructor does.
  ZRMUtPoint(ZRMUtPoint&& other);
  // Takes other's point; this object's reference count stays as it was.
  ZRMUtPoint& operator=(const ZRMUtPoint& other);
  // Takes other's point, as the copy assignment does.
  ZRMUtPoint& operator=(ZRMUtPoint&& other);
  ~ZRMUtPoint() override;

  // The position.
  const KRNMathPoint& Point() const { return mPoint; }
  // x, y, z := the position's coordinates.
  void Coord(double& x, double& y, double& z) const;
  // Moves the point to point.
  void SetPoint(const KRNMathPoint& point);

  // point := T point.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtPoint*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  KRNMathPoint mPoint;
};

#endif
