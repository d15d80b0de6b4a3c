// ZRMUtPlane: an unbounded plane, held as a coordinate system whose third axis is the normal.
//
// Definition: the plane through Point() spanned by XDir() and YDir(); ZDir() (Normal()) is its
// unit normal. Parameterisation: the point at (u, v) is Point() + u*XDir() + v*YDir(). It adds no
// fields to ZRMUtCSys and shares its accessors, GetCysXform and ApplyTransformation.
//
// Degenerate cases: from a KRNMathPlane, a zero spanning vector becomes the direction (1, 0, 0)
// and the two directions are not made orthogonal, so parallel spanning vectors give the normal
// (1, 0, 0); the (origin, x, y) constructor reports non-orthogonal directions as ZRMUtCSys does.
#ifndef ZRMUtPlane_h
#define ZRMUtPlane_h

#include "KRNMathPlane.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtPlane : public ZRMUtCSys {
public:
  // x := unit(first direction), y := unit(second direction), z := unit(x x y); no report.
  explicit ZRMUtPlane(const KRNMathPlane& plane);
  // As ZRMUtCSys(origin, xDir, yDir), with its orthogonality report.
  ZRMUtPlane(const KRNMathPoint& origin, const KRNMathDirection& xDir, const KRNMathDirection& yDir);
  // Normal as z; x and y chosen as by ZRMUtCSys's (origin, z direction) constructor.
  ZRMUtPlane(const KRNMathPoint& origin, const KRNMathDirection& normal);
  // Copies the frame, not the reference count.
  ZRMUtPlane(const ZRMUtPlane& other);
  // Takes other's frame; this object's reference count stays as it was.
  ZRMUtPlane& operator=(const ZRMUtPlane& other);
  ~ZRMUtPlane() override;

  // The unit normal, ZDir(), as a direction and as three components.
  const KRNMathDirection& Normal() const { return ZDir(); }
  void NormalCoord(double& x, double& y, double& z) const;
  // The platform plane through the origin spanned by the x and y directions.
  KRNMathPlane Plane() const;
  using ZRMUtCSys::Plane;

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtPlane*), never as a coordinate system.
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;
};

#endif
