#include "ZRMUtArc.h"

#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtArc::ZRMUtArc() = default;

ZRMUtArc::ZRMUtArc(const KRNMathPoint& center, const KRNMathDirection& axis, const KRNMathDirection& xDir,
                   double radius, const KRNMathPoint& start, const KRNMathPoint& end)
    : ZRMUtCircle(center, axis, xDir, radius), mStart(start), mEnd(end) {}

ZRMUtArc::ZRMUtArc(const KRNMathPoint& center, const KRNMathDirection& axis, double radius, const KRNMathPoint& start,
                   const KRNMathPoint& end)
    : ZRMUtCircle(center, axis, radius), mStart(start), mEnd(end) {}

ZRMUtArc::ZRMUtArc(const ZRMUtArc& other) = default;
ZRMUtArc& ZRMUtArc::operator=(const ZRMUtArc& other) = default;
ZRMUtArc::~ZRMUtArc() = default;

double ZRMUtArc::GetStartAngle() const { return AngleInFrame(mStart); }
double ZRMUtArc::GetEndAngle() const { return AngleInFrame(mEnd); }

const KRNMathDirection ZRMUtArc::GetTangent(int end) { return TangentDirectionAt(end == 1 ? mStart : mEnd); }

void ZRMUtArc::ApplyTransformation(const KRNMathTransformation& transformation) {
  ZRMUtCircle::ApplyTransformation(transformation);
  mStart = transformation * mStart;
  mEnd = transformation * mEnd;
}

bool ZRMUtArc::GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const {
  tangent = TangentDirectionAt(point);
  return mPoint.DistanceTo(point) == Radius();  // exact: no tolerance on an arc
}

ZRMUtGeometry_Ptr ZRMUtArc::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtArc(*this)); }

bool ZRMUtArc::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtArc::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
