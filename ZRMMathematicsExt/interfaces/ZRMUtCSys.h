// ZRMUtCSys: a placed right-handed frame, the origin mPoint and three unit directions.
//
// Definition: the frame maps local coordinates (u, v, w) to mPoint + u*mXDir + v*mYDir + w*mZDir
// (GetCysXform). Aimed-at invariant: the directions are unit vectors, mutually orthogonal, and
// mZDir = mXDir x mYDir. The public three-direction constructor checks the orthogonality of the
// first two by an assertion report only; the protected setters check nothing.
//
// Placement of the derived primitives (plane, circle, arc, ellipse, cone, cylinder, sphere,
// torus): mPoint is their center, apex or axis point, mZDir their normal or axis, and angles of
// the derived curves run from mXDir (angle 0) towards mYDir (angle pi/2).
//
// Directions made from vectors follow the unit-direction rule of KRNMathDirection: a vector of
// squared length exactly 1 is kept, a zero vector gives (1, 0, 0), any other is divided by its
// length.
//
// Degenerate cases: the default frame has all three directions (1, 0, 0) until a setter fills
// it; parallel x and y directions give mZDir = (1, 0, 0); NaN input propagates into NaN
// components and is reported (not orthogonal) by the three-direction constructor.
#ifndef ZRMUtCSys_h
#define ZRMUtCSys_h

#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathTransformation.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtGeometry.h"

class ZRMMATH_API ZRMUtCSys : public ZRMUtGeometry {
public:
  // mXDir = xDir, mYDir = yDir, mZDir = unit direction of xDir x yDir, mPoint = point. Directions
  // that are not orthogonal are reported ("ZRMUtCSys non-orthogonal directions in.") and kept as
  // passed.
  ZRMUtCSys(const KRNMathPoint& point, const KRNMathDirection& xDir, const KRNMathDirection& yDir);
  // Copies the frame, not the reference count.
  ZRMUtCSys(const ZRMUtCSys& other);
  // Takes other's frame; this object's reference count stays as it was.
  ZRMUtCSys& operator=(const ZRMUtCSys& other);
  ~ZRMUtCSys() override;

  // The origin, as a point and as three coordinates.
  const KRNMathPoint& Point() const { return mPoint; }
  void PointCoord(double& x, double& y, double& z) const;
  // The x direction (angle 0 of the derived curves), as a direction and as three components.
  const KRNMathDirection& XDir() const { return mXDir; }
  void XDirCoord(double& x, double& y, double& z) const;
  // The y direction (angle pi/2), as a direction and as three components.
  const KRNMathDirection& YDir() const { return mYDir; }
  void YDirCoord(double& x, double& y, double& z) const;
  // The z direction (normal, axis of revolution), as a direction and as three components.
  const KRNMathDirection& ZDir() const { return mZDir; }
  void ZDirCoord(double& x, double& y, double& z) const;

  // Local-to-world map: linear part with columns mXDir, mYDir, mZDir, translation mPoint. Its
  // inverse maps world points into local coordinates.
  KRNMathTransformation GetCysXform() const;

  // out := the plane through mPoint with normal mZDir. Its in-plane directions are chosen from
  // the normal as the (origin, z direction) constructor chooses them, not copied from this frame.
  void Plane(ZRMUtPlane& out);

  // mPoint := T mPoint; mXDir, mYDir := unit directions of their images under the linear part;
  // mZDir := mXDir x mYDir of the new directions (so a mirroring still leaves a right-handed
  // frame). Sizes of derived primitives are not touched here.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtCSys*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

protected:
  // Degenerate frame: origin (0, 0, 0), all three directions (1, 0, 0).
  ZRMUtCSys();
  // mZDir = zDir, mPoint = point; x and y are chosen: with the reference direction r = (0, 1, 0),
  // or (1, 0, 0) when zDir is parallel to (0, 1, 0), mXDir = unit(r x mZDir) and
  // mYDir = unit(mZDir x mXDir). Thus zDir (0,0,1) gives x (1,0,0), y (0,1,0), and zDir (0,1,0)
  // gives x (0,0,1), y (1,0,0).
  ZRMUtCSys(const KRNMathPoint& point, const KRNMathDirection& zDir);

  //@{
  // Store as passed; nothing is recomputed.
  void SetPoint(const KRNMathPoint& point);
  void SetXDir(const KRNMathDirection& xDir);
  void SetYDir(const KRNMathDirection& yDir);
  void SetZDir(const KRNMathDirection& zDir);
  //@}

  // mPoint = point, mXDir = xDir, mYDir = yDir, mZDir = unit direction of xDir x yDir; no
  // orthogonality test. Published by the primitives that offer SetCSys (cone, cylinder, sphere,
  // torus, ellipse) with a using-declaration.
  void SetCSys(const KRNMathPoint& point, const KRNMathDirection& xDir, const KRNMathDirection& yDir);

  // Read and written directly by the derived primitives.
  KRNMathDirection mXDir;  // angle 0 of the derived curves
  KRNMathDirection mYDir;  // angle pi/2
  KRNMathDirection mZDir;  // normal, axis of revolution
  KRNMathPoint mPoint;     // origin
};

#endif
