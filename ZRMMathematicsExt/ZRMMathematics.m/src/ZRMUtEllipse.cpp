#include "ZRMUtEllipse.h"

#include "KRNMathConstants.h"
#include "KRNMathLine.h"
#include "ZRMCheck.h"
#include "ZRMScalingFactor.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <utility>

namespace {

// Reported source position of the sine check of GetParam.
constexpr const char* kEllipseSourceFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtEllipse";
constexpr int kSineCheckLine = 103;

// Every component of v is finite.
bool IsFinite(const KRNMathVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool IsFinite(const KRNMathPoint& p) { return IsFinite(KRNMathVector(p)); }

// Both radii are at least tol (false for NaN radii).
bool RadiiAtLeast(double a, double b, double tol) { return a >= tol && b >= tol; }

// What every point question needs before it computes: the point P, the frame (center and
// directions) and the radii all finite. Otherwise the answers would be NaN, or infinities
// passed off as results.
bool FiniteQuestion(const ZRMUtEllipse& e, const KRNMathPoint& P) {
  return IsFinite(P) && IsFinite(e.Center()) && IsFinite(e.XDir()) && IsFinite(e.YDir()) && IsFinite(e.Axis()) &&
         std::isfinite(e.GetMajorRadius()) && std::isfinite(e.GetMinorRadius());
}

// The eccentric angle in [0, 2pi] from theta = asin(|y| / b) in [0, pi/2] and the signs of the
// local coordinates.
double ParamFromQuadrant(double theta, double x, double y) {
  if (x >= 0.0 && y >= 0.0) return theta;
  if (x < 0.0 && y >= 0.0) return KRNPI - theta;
  if (x <= 0.0) return theta + KRNPI;  // y < 0 from here on
  return KRN2PI - theta;
}

// t snapped to the first of 0, pi/2, pi, 3pi/2, 2pi closer than ZeroAngle; else t itself.
double SnapParam(double t) {
  const double zero = ZRMUtTolerance().ZeroAngle();
  const double marks[] = {0.0, KRNPIBY2, KRNPI, 1.5 * KRNPI, KRN2PI};
  for (double mark : marks)
    if (std::fabs(t - mark) < zero) return mark;
  return t;
}

// Angle of the tangent line from the major axis at the eccentric angle t.
double TangentAngle(double t, double a, double b) {
  const double zero = ZRMUtTolerance().ZeroAngle();
  if (std::fabs(t) < zero || std::fabs(t - KRNPI) < zero || std::fabs(t - KRN2PI) < zero) return KRNPIBY2;
  if (std::fabs(t - KRNPIBY2) < zero || std::fabs(t - 1.5 * KRNPI) < zero) return 0.0;
  return std::atan(-b / (std::tan(t) * a));
}

// t + 2pi when t is negative, else t.
double NonNegativeAngle(double t) { return t < 0.0 ? t + KRN2PI : t; }

}  // namespace

ZRMUtEllipse::ZRMUtEllipse() : mMajor(0.0), mMinor(0.0) {}

ZRMUtEllipse::ZRMUtEllipse(const KRNMathPoint& center, const KRNMathDirection& xDir, const KRNMathDirection& yDir,
                           double major, double minor)
    : ZRMUtCSys(center, xDir, yDir), mMajor(major), mMinor(minor) {}

ZRMUtEllipse::ZRMUtEllipse(const ZRMUtEllipse& other) = default;
ZRMUtEllipse& ZRMUtEllipse::operator=(const ZRMUtEllipse& other) = default;
ZRMUtEllipse::~ZRMUtEllipse() = default;

void ZRMUtEllipse::AxisCoord(double& x, double& y, double& z) const { ZDirCoord(x, y, z); }
void ZRMUtEllipse::SetCenter(const KRNMathPoint& center) { SetPoint(center); }
void ZRMUtEllipse::SetMajorRadius(double major) { mMajor = major; }
void ZRMUtEllipse::SetMinorRadius(double minor) { mMinor = minor; }

void ZRMUtEllipse::EvalPoint(double t, KRNMathPoint& out) const {
  out = mPoint + mMajor * std::cos(t) * KRNMathVector(mXDir) + mMinor * std::sin(t) * KRNMathVector(mYDir);
}

void ZRMUtEllipse::LocalCoord(const KRNMathPoint& P, double& x, double& y) const {
  const KRNMathVector d = P - mPoint;
  x = d * KRNMathVector(mXDir);
  y = d * KRNMathVector(mYDir);
}

KRNMathVector ZRMUtEllipse::RotatedXDir(double angle) const {
  return KRNMathTransformation(angle, KRNMathLine(mPoint, KRNMathVector(mZDir))) * KRNMathVector(mXDir);
}

bool ZRMUtEllipse::GetParam(const KRNMathPoint& P, double* t) const {
  const double r = ZRMUtTolerance().ModelResolution();
  if (!RadiiAtLeast(mMajor, mMinor, r) || !FiniteQuestion(*this, P)) return false;
  double d1 = KRNMathLine(mPoint, KRNMathVector(mXDir)).DistanceTo(P);  // |y| for a point in the plane
  if (d1 > mMinor) {
    if (std::fabs(d1 - mMinor) >= r) return false;
    d1 = mMinor;  // within the resolution beyond the minor vertex
  }
  const double d2 = KRNMathLine(mPoint, KRNMathVector(mYDir)).DistanceTo(P);
  if (d2 - mMajor > r) return false;
  const double sinT = d1 / mMinor;
  ZRMReportCheck(std::fabs(sinT) <= 1, "fabs(sinT) <= 1", "sin value greater than 1", kEllipseSourceFile,
                 kSineCheckLine);
  double x = 0.0;
  double y = 0.0;
  LocalCoord(P, x, y);
  const double param = SnapParam(ParamFromQuadrant(std::asin(sinT), x, y));  // in [0, 2pi]
  if (t != nullptr) *t = param;
  return true;
}

bool ZRMUtEllipse::GetTangentAtPoint(const KRNMathPoint& P, KRNMathVector& v) const {
  double t = 0.0;
  if (!GetParam(P, &t)) return false;
  v = RotatedXDir(TangentAngle(t, mMajor, mMinor));
  return true;
}

bool ZRMUtEllipse::GetCurvature(const KRNMathPoint& P, double& k) const {
  const ZRMUtTolerance tolerance;
  const double a2 = mMajor * mMajor;
  const double b2 = mMinor * mMinor;
  if (!(a2 >= tolerance.LengthTolSq() && b2 >= tolerance.LengthTolSq()) || !FiniteQuestion(*this, P)) return false;
  double x = 0.0;
  double y = 0.0;
  LocalCoord(P, x, y);
  if (!(std::fabs(x * x / a2 + y * y / b2 - 1.0) <= tolerance.LengthTol())) return false;  // not on the ellipse
  k = std::pow(x * x / (a2 * a2) + y * y / (b2 * b2), -1.5) / (a2 * b2);
  return true;
}

int ZRMUtEllipse::PointPosWRTEllipse(const KRNMathPoint& P) const {
  const ZRMUtTolerance tolerance;
  if (!RadiiAtLeast(mMajor, mMinor, tolerance.LengthTol()) || !FiniteQuestion(*this, P)) return 0;
  double x = 0.0;
  double y = 0.0;
  LocalCoord(P, x, y);
  const double s = y * y / (mMinor * mMinor) + x * x / (mMajor * mMajor);
  if (!(std::fabs(s - 1.0) >= tolerance.LengthTolSq())) return 0;  // on the ellipse
  return s > 1.0 ? 1 : -1;
}

bool ZRMUtEllipse::ProjectPoint(const KRNMathPoint& P, KRNMathPoint* out, double* t) const {
  double param = 0.0;
  if (t != nullptr && GetParam(P, &param)) *t = param;
  if (out == nullptr || !FiniteQuestion(*this, P)) return false;
  double x = 0.0;
  double y = 0.0;
  LocalCoord(P, x, y);
  if (x == 0.0 && y == 0.0) return false;  // on the axis: no ray
  const double phi = NonNegativeAngle(std::atan2(y, x));
  const double c = std::cos(phi);
  const double rho = mMajor * mMinor / std::sqrt((mMinor * mMinor - mMajor * mMajor) * c * c + mMajor * mMajor);
  if (!std::isfinite(rho)) return false;  // a zero radius leaves this ray without a distance
  *out = mPoint + rho * RotatedXDir(phi);
  return true;
}

bool ZRMUtEllipse::EvalTangentsFromExternalPoint(const KRNMathPoint& P, KRNMathPoint& T1, KRNMathPoint& T2) const {
  if (!RadiiAtLeast(mMajor, mMinor, ZRMUtTolerance().LengthTol()) || !FiniteQuestion(*this, P)) return false;
  double x = 0.0;
  double y = 0.0;
  LocalCoord(P, x, y);
  const double rho = std::sqrt(y * y / (mMinor * mMinor) + x * x / (mMajor * mMajor));
  if (!(rho >= 1.0)) return false;  // inside
  const double phi = NonNegativeAngle(std::atan2(mMajor * y, mMinor * x));
  const double delta = std::acos(1.0 / rho);
  EvalPoint(NonNegativeAngle(phi + delta), T1);
  EvalPoint(NonNegativeAngle(phi - delta), T2);
  return true;
}

void ZRMUtEllipse::ApplyTransformation(const KRNMathTransformation& transformation) {
  ZRMUtCSys::ApplyTransformation(transformation);
  const double factor = ZRMScalingFactor(transformation);
  mMajor *= factor;
  mMinor *= factor;
}

ZRMUtGeometry_Ptr ZRMUtEllipse::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtEllipse(*this)); }

bool ZRMUtEllipse::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtEllipse::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
