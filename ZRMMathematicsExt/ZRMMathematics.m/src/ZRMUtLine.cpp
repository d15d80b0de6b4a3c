#include "ZRMUtLine.h"

#include "KRNMathTransformation.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <utility>

namespace {

// Foot of the perpendicular from p onto the line through origin along direction, and its
// parameter t = (p - origin).u with u = unit((origin + direction) - origin).
struct Perpendicular {
  KRNMathPoint foot;
  double param;
};

Perpendicular FootOfPerpendicular(const KRNMathPoint& p, const KRNMathPoint& origin, const KRNMathVector& direction) {
  KRNMathVector u = (origin + direction) - origin;
  u.Normalize();
  const double t = (p - origin) * u;
  return Perpendicular{origin + t * u, t};
}

// Foot and parameter of the perpendicular onto a platform line, read back through its accessors.
Perpendicular FootOnMathLine(const KRNMathPoint& p, const KRNMathLine& line) {
  return FootOfPerpendicular(p, line.GetOrigin(), line.GetDirection());
}

}  // namespace

ZRMUtLine::ZRMUtLine(const KRNMathPoint& origin, const KRNMathDirection& direction)
    : mOrigin(origin), mDirection(direction) {}
ZRMUtLine::ZRMUtLine(const ZRMUtLine& other) = default;
ZRMUtLine& ZRMUtLine::operator=(const ZRMUtLine& other) = default;
ZRMUtLine::~ZRMUtLine() = default;

void ZRMUtLine::PointCoord(double& x, double& y, double& z) const { mOrigin.GetCoord(x, y, z); }
void ZRMUtLine::DirectionCoord(double& x, double& y, double& z) const { mDirection.GetCoord(x, y, z); }

void ZRMUtLine::ApplyTransformation(const KRNMathTransformation& transformation) {
  mOrigin = transformation * mOrigin;
  mDirection = KRNMathDirection(transformation * KRNMathVector(mDirection));  // zero image: (1, 0, 0)
}

double ZRMUtLine::ArcLength(double t1, double t2) const { return std::fabs(t1 - t2); }

bool ZRMUtLine::EvalPoint(double t, KRNMathPoint& point, KRNMathDirection* tangent) const {
  point = mOrigin + t * KRNMathVector(mDirection);
  if (tangent != nullptr) *tangent = mDirection;
  return true;
}

bool ZRMUtLine::GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const {
  tangent = mDirection;
  const KRNMathPoint foot = FootOnMathLine(point, MathLine()).foot;
  return foot.DistanceTo(point) <= ZRMUtTolerance().ModelResolution();
}

bool ZRMUtLine::PointOnLine(const KRNMathPoint& point, KRNMathPoint* foot) const {
  if (foot == nullptr) return false;
  *foot = FootOnMathLine(point, MathLine()).foot;
  return true;
}

bool ZRMUtLine::PointOnLine(const KRNMathPoint& point, const KRNMathLine& line, KRNMathPoint* foot, double* param,
                            bool* within) {
  if (foot == nullptr || param == nullptr) return false;
  const Perpendicular perpendicular = FootOnMathLine(point, line);
  *param = perpendicular.param;
  *foot = perpendicular.foot;
  if (within == nullptr) return true;
  *within = perpendicular.param >= 0.0 && perpendicular.param <= line.GetLength();  // NaN: false
  return true;
}

bool ZRMUtLine::ProjectPoint(const KRNMathPoint& point, KRNMathPoint* foot, double* param) {
  if (foot == nullptr) return false;  // a foot is required; nothing is written without one
  const KRNMathLine line = MathLine();
  line.Project(point, *foot);
  if (param != nullptr) line.Project(point, *param);
  return true;
}

ZRMUtGeometry_Ptr ZRMUtLine::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtLine(*this)); }

bool ZRMUtLine::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtLine::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }

KRNMathLine ZRMUtLine::MathLine() const { return KRNMathLine(mOrigin, KRNMathVector(mDirection)); }
