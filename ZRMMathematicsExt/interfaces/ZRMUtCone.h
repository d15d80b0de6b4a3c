// ZRMUtCone: an unbounded circular cone, a record of placement and half angle.
//
// Definition: the apex is the frame's origin (Apex()), the axis the frame's z direction
// (AxisDir()), and the half angle (radians) the angle between the axis and every ruling. Local
// parameterisation, given for reference only (the class evaluates nothing): the point at angle u
// (from XDir() towards YDir()) and signed axial height v is
// Apex() + v*AxisDir() + v*tan(HalfAngle())*(cos u*XDir() + sin u*YDir()).
//
// A transformation moves and turns the frame (ZRMUtCSys::ApplyTransformation) and never rescales
// the half angle, a uniform scaling included. No value is checked: zero, negative or NaN half
// angles are stored as passed. Our choice: a default-constructed cone has the degenerate default
// frame and half angle 0.
#ifndef ZRMUtCone_h
#define ZRMUtCone_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtCone : public ZRMUtCSys {
public:
  ZRMUtCone();
  // Frame from two directions, with ZRMUtCSys's orthogonality report.
  ZRMUtCone(const KRNMathPoint& apex, const KRNMathDirection& xDir, const KRNMathDirection& yDir, double halfAngle);
  // Frame from the axis direction as its z direction.
  ZRMUtCone(const KRNMathPoint& apex, const KRNMathDirection& axisDir, double halfAngle);
  // Copies frame and half angle, not the reference count.
  ZRMUtCone(const ZRMUtCone& other);
  // Takes other's frame and half angle; this object's reference count stays as it was.
  ZRMUtCone& operator=(const ZRMUtCone& other);
  ~ZRMUtCone() override;

  // The apex, the frame's origin, as a point and as three coordinates.
  const KRNMathPoint& Apex() const { return Point(); }
  void ApexCoord(double& x, double& y, double& z) const;
  // The axis direction, the frame's z direction, as a direction and as three components.
  const KRNMathDirection& AxisDir() const { return ZDir(); }
  void AxisDirCoord(double& x, double& y, double& z) const;
  // The half angle, radians.
  double HalfAngle() const { return mHalfAngle; }
  // Stores the half angle as passed.
  void SetHalfAngle(double halfAngle);
  // Moves the apex.
  void SetAxisPoint(const KRNMathPoint& apex);
  using ZRMUtCSys::SetCSys;

  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtCone*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  double mHalfAngle;
};

#endif
