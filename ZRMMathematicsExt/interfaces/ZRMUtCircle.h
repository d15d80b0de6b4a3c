// ZRMUtCircle: a full circle placed by a coordinate system.
//
// Definition: the circle of radius Radius() about the frame's origin (Center()) in the plane
// spanned by XDir() and YDir(); Axis() (the frame's z direction) is its normal.
// Parameterisation: the point at angle t (radians, measured from XDir() towards YDir()) is
//     Center() + Radius() * (cos t * XDir() + sin t * YDir()).
// Angles reported by this class lie in (-pi, pi].
//
// Degenerate cases:
// - The radius is never checked: zero, negative and NaN radii are stored and used as passed.
//   Our choice: a default-constructed circle has the degenerate default frame (all three
//   directions (1, 0, 0)) and radius 0.
// - A point on the axis (the center included) has no closest point: ProjectPoint returns false,
//   still writing the platform's fallback point at angle 0; GetTangentAtPoint at the center
//   returns false and writes the unit direction of Axis() x (1, 0, 0).
// - Built with an axis parallel to xDir the frame's y direction becomes (1, 0, 0) (zero cross
//   product), and the frame's orthogonality report fires unless xDir is orthogonal to it.
// - ApplyTransformation rescales the radius only for a pure uniform scaling; any other map
//   (rotation, translation, mirroring, non-uniform or degenerate) moves the frame only.
#ifndef ZRMUtCircle_h
#define ZRMUtCircle_h

#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathTransformation.h"
#include "KRNMathVector.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class KRNMathCircle;

class ZRMMATH_API ZRMUtCircle : public ZRMUtCSys {
public:
  ZRMUtCircle();
  // Frame (center, xDir, unit direction of axis x xDir) with the frame's orthogonality report;
  // for a unit xDir orthogonal to axis, Axis() == axis.
  ZRMUtCircle(const KRNMathPoint& center, const KRNMathDirection& axis, const KRNMathDirection& xDir, double radius);
  // Frame chosen from the axis as its z direction (see ZRMUtCSys).
  ZRMUtCircle(const KRNMathPoint& center, const KRNMathDirection& axis, double radius);
  // Copies frame and radius, not the reference count.
  ZRMUtCircle(const ZRMUtCircle& other);
  // Takes other's frame and radius; this object's reference count stays as it was.
  ZRMUtCircle& operator=(const ZRMUtCircle& other);
  ~ZRMUtCircle() override;

  // The center, the frame's origin.
  const KRNMathPoint& Center() const { return Point(); }
  // The axis, the frame's z direction: the normal of the circle's plane.
  const KRNMathDirection& Axis() const { return ZDir(); }
  // x, y, z := the center's coordinates.
  void CenterCoord(double& x, double& y, double& z) const;
  // x, y, z := the axis's components.
  void AxisCoord(double& x, double& y, double& z) const;
  // The radius.
  double Radius() const { return mRadius; }
  // Stores the radius as passed (never checked).
  void SetRadius(double radius);

  // |a1 - a2| / 2pi * radius: the angle difference as a fraction of a full turn, times the
  // radius (a full turn gives the radius itself).
  double ArcLength(double a1, double a2) const;

  // out := the point at angle t.
  void EvalPoint(double t, KRNMathPoint& out);

  // *out := the point of the circle closest to p; returns true when that point is defined
  // (p off the axis). When angle is not null, *angle := the angle of that point, in (-pi, pi].
  // A null out is refused: false, nothing written.
  bool ProjectPoint(const KRNMathPoint& p, KRNMathPoint* out, double* angle);

  // Rigid part through ZRMUtCSys; the radius is multiplied by the factor of a uniform scaling.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  // tangent := unit direction of Axis() x unit direction of (point - Center()), written in every
  // case; true when the point's distance from the center is within LengthTol of the radius.
  bool GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtCircle*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  // Visits as Visit(const ZRMUtCircle*) inside a platform error trap: a KRNError raised by the
  // visitor is disposed of and gives false; any other platform object raised is raised again
  // through its own Throw (no file, line or data); C++ exceptions of other types pass through.
  bool Accept(ZRMUtGeomVisitor* visitor) override;

protected:
  // Unit direction of Axis() x unit direction of (point - Center()); each unit direction by the
  // unit-direction rule (a zero vector gives (1, 0, 0)).
  KRNMathDirection TangentDirectionAt(const KRNMathPoint& point) const;
  // Angle of a point in this frame, atan2(local y, local x) folded into (-pi, pi].
  double AngleInFrame(const KRNMathPoint& point) const;

private:
  // The platform circle with this center, directions and radius, parameterised by the angle.
  KRNMathCircle PlatformCircle() const;

  double mRadius;
};

#endif
