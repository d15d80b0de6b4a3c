// ZRMUtTorus: a torus of revolution, a record of placement and two radii.
//
// Definition: the circle of radius MinorRadius() swept about the axis through the center (the
// frame's origin, Center()) along ZDir(), its own center running on the circle of radius
// MajorRadius() in the plane of XDir() and YDir(). Local parameterisation, given for reference
// only (the class evaluates nothing): the point at angles u (about the axis, from XDir() towards
// YDir()) and v (about the sweeping circle) is
// Center() + (MajorRadius() + MinorRadius()*cos v)*(cos u*XDir() + sin u*YDir())
//          + MinorRadius()*sin v*ZDir().
//
// A transformation moves and turns the frame and never rescales the radii, a uniform scaling
// included. The torus has its own visitor overload but no type code (GeomUnknown). No value is
// checked: any radii, a minor radius above the major one included, are stored as passed. Our
// choice: a default-constructed torus has the degenerate default frame and both radii 0.
#ifndef ZRMUtTorus_h
#define ZRMUtTorus_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtTorus : public ZRMUtCSys {
public:
  ZRMUtTorus();
  // Frame from two directions, with ZRMUtCSys's orthogonality report.
  ZRMUtTorus(const KRNMathPoint& center, double majorRadius, double minorRadius, const KRNMathDirection& xDir,
             const KRNMathDirection& yDir);
  // The standard frame (0,0,1) as z, giving x (1,0,0) and y (0,1,0), at the center.
  ZRMUtTorus(const KRNMathPoint& center, double majorRadius, double minorRadius);
  // Copies frame and radii, not the reference count.
  ZRMUtTorus(const ZRMUtTorus& other);
  // Takes other's frame and radii; this object's reference count stays as it was.
  ZRMUtTorus& operator=(const ZRMUtTorus& other);
  ~ZRMUtTorus() override;

  // The center, the frame's origin.
  const KRNMathPoint& Center() const { return Point(); }
  // The radius of the circle the sweeping circle's center runs on.
  double MajorRadius() const { return mMajorRadius; }
  // The radius of the sweeping circle.
  double MinorRadius() const { return mMinorRadius; }
  // Stores the major radius as passed.
  void SetMajorRadius(double majorRadius);
  // Stores the minor radius as passed.
  void SetMinorRadius(double minorRadius);
  // Moves the center to (x, y, z).
  void SetCenter(double x, double y, double z);
  using ZRMUtCSys::SetCSys;

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtTorus*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  double mMajorRadius;
  double mMinorRadius;
};

#endif
