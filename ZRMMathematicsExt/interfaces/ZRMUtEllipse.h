// ZRMUtEllipse: a planar ellipse placed by a coordinate system.
//
// Definition: center O = Center() (the frame's origin), major semi-axis a = GetMajorRadius()
// along XDir(), minor semi-axis b = GetMinorRadius() along YDir(), normal Axis() (the frame's
// z direction). Parameterisation by the eccentric angle t, measured from XDir() towards YDir():
//     point(t) = O + a cos t * XDir() + b sin t * YDir().
// Point questions work in local coordinates: for a point P, x = (P - O).XDir() and
// y = (P - O).YDir(); the component along Axis() is ignored, except by GetParam, which measures
// 3-D distances from the two axis lines.
//
// Degenerate cases and refusals (false or 0 results, outputs untouched unless stated):
// - Nothing checks that a >= b or that either is positive. GetParam refuses radii below
//   ModelResolution; GetCurvature, PointPosWRTEllipse and EvalTangentsFromExternalPoint refuse
//   radii below LengthTol (PointPosWRTEllipse answers 0).
// - Our choice: every point question (GetParam, GetTangentAtPoint, GetCurvature,
//   PointPosWRTEllipse, ProjectPoint, EvalTangentsFromExternalPoint) also refuses a point with a
//   NaN or infinite coordinate, a NaN or infinite center or direction of the frame, and NaN or
//   infinite radii (PointPosWRTEllipse answers 0), instead of producing NaN or infinite results;
//   nothing is reported for them.
// - ProjectPoint refuses the center (and, our choice, any direction in which the ellipse has no
//   finite radial distance, which happens only when a radius is zero).
// - EvalTangentsFromExternalPoint refuses points inside the ellipse; a point on it gives that
//   point twice.
// - ApplyTransformation rescales both radii only for a pure uniform scaling.
// - Our choice: a default-constructed ellipse has the degenerate default frame and radii 0.
#ifndef ZRMUtEllipse_h
#define ZRMUtEllipse_h

#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathTransformation.h"
#include "KRNMathVector.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtCSys.h"

class ZRMMATH_API ZRMUtEllipse : public ZRMUtCSys {
public:
  ZRMUtEllipse();
  // Frame (center, xDir, yDir) with the frame's orthogonality report, then the radii.
  ZRMUtEllipse(const KRNMathPoint& center, const KRNMathDirection& xDir, const KRNMathDirection& yDir, double major,
               double minor);
  // Copies frame and radii, not the reference count.
  ZRMUtEllipse(const ZRMUtEllipse& other);
  // Takes other's frame and radii; this object's reference count stays as it was.
  ZRMUtEllipse& operator=(const ZRMUtEllipse& other);
  ~ZRMUtEllipse() override;

  // The center, the frame's origin.
  const KRNMathPoint& Center() const { return Point(); }
  // The normal, the frame's z direction, as a direction and as three components.
  const KRNMathDirection& Axis() const { return ZDir(); }
  void AxisCoord(double& x, double& y, double& z) const;
  // The major semi-axis a, along XDir().
  double GetMajorRadius() const { return mMajor; }
  // The minor semi-axis b, along YDir().
  double GetMinorRadius() const { return mMinor; }
  // Moves the center, the frame's origin.
  void SetCenter(const KRNMathPoint& center);
  // Stores a as passed (never checked).
  void SetMajorRadius(double major);
  // Stores b as passed (never checked).
  void SetMinorRadius(double minor);
  using ZRMUtCSys::SetCSys;

  // out := point(t).
  void EvalPoint(double t, KRNMathPoint& out) const;

  // *t := the eccentric angle of P, in [0, 2pi] (both ends possible), snapped to the multiples
  // of pi/2 within ZeroAngle. P need not lie on the ellipse: the angle comes from P's distance
  // to the major-axis line (clamped to b when it exceeds b by less than ModelResolution) and the
  // signs of x and y. Refused (false, *t untouched): radii below ModelResolution, P farther than
  // b (+ ModelResolution) from the major-axis line or farther than a + ModelResolution from the
  // minor-axis line.
  bool GetParam(const KRNMathPoint& P, double* t) const;
  // v := unit vector along the tangent line at P's parameter (its sense is not tied to
  // increasing t); false, v untouched, when GetParam refuses P.
  bool GetTangentAtPoint(const KRNMathPoint& P, KRNMathVector& v) const override;
  // k := curvature at P (a/b^2 at the major vertices, b/a^2 at the minor ones); false when a
  // radius is below LengthTol or P is not on the ellipse (|x^2/a^2 + y^2/b^2 - 1| > LengthTol).
  bool GetCurvature(const KRNMathPoint& P, double& k) const;
  // 1 outside, -1 inside, 0 on the ellipse (|x^2/a^2 + y^2/b^2 - 1| < LengthTolSq) or when a
  // radius is below LengthTol.
  int PointPosWRTEllipse(const KRNMathPoint& P) const;
  // Radial projection: *out := the point of the ellipse on the ray from the center through P
  // (not the closest point). When t is not null, *t := GetParam(P) first, if GetParam accepts P
  // (even when the projection is then refused). Returns true exactly when a point was written:
  // false for P on the axis line through the center or a null out.
  bool ProjectPoint(const KRNMathPoint& P, KRNMathPoint* out, double* t) const;
  // T1, T2 := the two points of the ellipse whose tangents pass through P (T1 at parameter
  // phi + delta, T2 at phi - delta); false, outputs untouched, for P inside the ellipse or radii
  // below LengthTol.
  bool EvalTangentsFromExternalPoint(const KRNMathPoint& P, KRNMathPoint& T1, KRNMathPoint& T2) const;

  // Rigid part through ZRMUtCSys; both radii are multiplied by the factor of a uniform scaling.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtEllipse*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  // x = (P - O).XDir(), y = (P - O).YDir().
  void LocalCoord(const KRNMathPoint& P, double& x, double& y) const;
  // mXDir turned by angle about the line through the center along the axis.
  KRNMathVector RotatedXDir(double angle) const;

  double mMajor;
  double mMinor;
};

#endif
