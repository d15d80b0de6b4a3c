#include "ZRMUtCircle.h"

#include "KRNError.h"
#include "KRNException.h"
#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNXHContext.h"
#include "ZRMScalingFactor.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <cmath>

ZRMUtCircle::ZRMUtCircle() : mRadius(0.0) {}

ZRMUtCircle::ZRMUtCircle(const KRNMathPoint& center, const KRNMathDirection& axis, const KRNMathDirection& xDir,
                         double radius)
    : ZRMUtCSys(center, xDir, KRNMathDirection(KRNMathVector(axis) ^ KRNMathVector(xDir))), mRadius(radius) {}

ZRMUtCircle::ZRMUtCircle(const KRNMathPoint& center, const KRNMathDirection& axis, double radius)
    : ZRMUtCSys(center, axis), mRadius(radius) {}

ZRMUtCircle::ZRMUtCircle(const ZRMUtCircle& other) = default;
ZRMUtCircle& ZRMUtCircle::operator=(const ZRMUtCircle& other) = default;
ZRMUtCircle::~ZRMUtCircle() = default;

void ZRMUtCircle::CenterCoord(double& x, double& y, double& z) const { PointCoord(x, y, z); }
void ZRMUtCircle::AxisCoord(double& x, double& y, double& z) const { ZDirCoord(x, y, z); }
void ZRMUtCircle::SetRadius(double radius) { mRadius = radius; }

double ZRMUtCircle::ArcLength(double a1, double a2) const { return std::fabs(a1 - a2) / KRN2PI * mRadius; }

KRNMathCircle ZRMUtCircle::PlatformCircle() const { return KRNMathCircle(mPoint, mXDir, mYDir, mRadius, 1.0, 0.0); }

void ZRMUtCircle::EvalPoint(double t, KRNMathPoint& out) { PlatformCircle().EvalPoint(t, out); }

double ZRMUtCircle::AngleInFrame(const KRNMathPoint& point) const {
  const KRNMathPoint local = GetCysXform().Inverse() * point;
  const double angle = std::atan2(local.y, local.x);
  // Our choice: atan2 answers -pi for a local y of -0.0 on the negative x side; that is the
  // angle pi of the half-open range (-pi, pi].
  return angle == -KRNPI ? KRNPI : angle;
}

bool ZRMUtCircle::ProjectPoint(const KRNMathPoint& p, KRNMathPoint* out, double* angle) {
  if (out == nullptr) return false;  // nowhere to write the projection
  KRNMathPoint projection(0.0, 0.0, 0.0);
  const bool defined = PlatformCircle().Project(p, projection);
  *out = projection;
  if (angle != nullptr) *angle = AngleInFrame(projection);
  return defined;
}

void ZRMUtCircle::ApplyTransformation(const KRNMathTransformation& transformation) {
  ZRMUtCSys::ApplyTransformation(transformation);
  mRadius *= ZRMScalingFactor(transformation);
}

KRNMathDirection ZRMUtCircle::TangentDirectionAt(const KRNMathPoint& point) const {
  const KRNMathDirection radial(point - mPoint);
  return KRNMathDirection(KRNMathVector(mZDir) ^ KRNMathVector(radial));
}

bool ZRMUtCircle::GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const {
  tangent = TangentDirectionAt(point);
  return std::fabs(mPoint.DistanceTo(point) - mRadius) <= ZRMUtTolerance().LengthTol();
}

ZRMUtGeometry_Ptr ZRMUtCircle::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtCircle(*this)); }

bool ZRMUtCircle::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }

bool ZRMUtCircle::Accept(ZRMUtGeomVisitor* visitor) {
  if (visitor == nullptr) return false;
  const ZRMUtCircle* self = this;
  bool result = false;
  KRNXHContext context;
  if (context.Run([&] { result = visitor->Visit(self); })) return result;
  KRNException* raised = context.Trapped();
  if (raised == nullptr) return false;  // a null platform object was raised: nothing to pass on
  // Another kind is raised again from its own Throw, which does not return.
  if (!raised->IsAKindOf(KRNError::ClassName())) raised->Throw(nullptr, 0, nullptr);
  static_cast<void>(raised->GetMessageText());  // the trapped error's text is read and dropped
  KRNError::Flush(static_cast<KRNError*>(raised));
  return false;
}
