// ZRMUtCylinder: an unbounded circular cylinder, a record of placement and radius.
//
// Definition: the axis is the line through the frame's origin (the axis point, Point()) along
// the frame's z direction (AxisDir()); the surface is at distance Radius() from it. Local
// parameterisation, given for reference only (the class evaluates nothing): the point at angle u
// (from XDir() towards YDir()) and axial height v is
// Point() + v*AxisDir() + Radius()*(cos u*XDir() + sin u*YDir()).
//
// A transformation moves and turns the frame and never rescales the radius, a uniform scaling
// included. No value is checked: zero, negative or NaN radii are stored as passed. Our choice: a
// default-constructed cylinder has the degenerate default frame and radius 0.
#ifndef ZRMUtCylinder_h
#define ZRMUtCylinder_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtCylinder : public ZRMUtCSys {
public:
  ZRMUtCylinder();
  // Frame from two directions, with ZRMUtCSys's orthogonality report.
  ZRMUtCylinder(const KRNMathPoint& axisPoint, const KRNMathDirection& xDir, const KRNMathDirection& yDir,
                double radius);
  // Frame from the axis direction as its z direction.
  ZRMUtCylinder(const KRNMathPoint& axisPoint, const KRNMathDirection& axisDir, double radius);
  // Copies frame and radius, not the reference count.
  ZRMUtCylinder(const ZRMUtCylinder& other);
  // Takes other's frame and radius; this object's reference count stays as it was.
  ZRMUtCylinder& operator=(const ZRMUtCylinder& other);
  ~ZRMUtCylinder() override;

  // The axis direction, the frame's z direction, as a direction and as three components.
  const KRNMathDirection& AxisDir() const { return ZDir(); }
  void AxisDirCoord(double& x, double& y, double& z) const;
  // The radius.
  double Radius() const { return mRadius; }
  // Stores the radius as passed.
  void SetRadius(double radius);
  // Moves the axis point, the frame's origin.
  void SetAxisPoint(const KRNMathPoint& axisPoint);
  using ZRMUtCSys::SetCSys;

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtCylinder*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  double mRadius;
};

#endif
