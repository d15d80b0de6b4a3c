// ZRMUtSphere: a sphere, a record of placement and radius.
//
// Definition: the points at distance Radius() from the center (the frame's origin, Center()).
// Local parameterisation, given for reference only (the class evaluates nothing): the point at
// longitude u (from XDir() towards YDir()) and latitude v is
// Center() + Radius()*(cos v*(cos u*XDir() + sin u*YDir()) + sin v*ZDir()).
//
// A transformation moves and turns the frame and never rescales the radius, a uniform scaling
// included. The sphere has its own visitor overload but no type code (GeomUnknown). No value is
// checked: zero, negative or NaN radii are stored as passed. Our choice: a default-constructed
// sphere has the degenerate default frame and radius 0.
#ifndef ZRMUtSphere_h
#define ZRMUtSphere_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtSphere : public ZRMUtCSys {
public:
  ZRMUtSphere();
  // Frame from two directions, with ZRMUtCSys's orthogonality report.
  ZRMUtSphere(const KRNMathPoint& center, double radius, const KRNMathDirection& xDir, const KRNMathDirection& yDir);
  // The standard frame (0,0,1) as z, giving x (1,0,0) and y (0,1,0), at the center.
  ZRMUtSphere(const KRNMathPoint& center, double radius);
  // Copies frame and radius, not the reference count.
  ZRMUtSphere(const ZRMUtSphere& other);
  // Takes other's frame and radius; this object's reference count stays as it was.
  ZRMUtSphere& operator=(const ZRMUtSphere& other);
  ~ZRMUtSphere() override;

  // The center, the frame's origin.
  const KRNMathPoint& Center() const { return Point(); }
  // The radius.
  double Radius() const { return mRadius; }
  // Stores the radius as passed.
  void SetRadius(double radius);
  // Moves the center to (x, y, z).
  void SetCenter(double x, double y, double z);
  using ZRMUtCSys::SetCSys;

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtSphere*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  double mRadius;
};

#endif
