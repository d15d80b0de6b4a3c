#include "ZRMUtPoint.h"

#include "KRNMathTransformation.h"
#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtPoint::ZRMUtPoint(const KRNMathPoint& point) : mPoint(point) {}
ZRMUtPoint::ZRMUtPoint(const ZRMUtPoint& other) = default;
ZRMUtPoint::ZRMUtPoint(ZRMUtPoint&& other) : ZRMUtPoint(static_cast<const ZRMUtPoint&>(other)) {}
ZRMUtPoint& ZRMUtPoint::operator=(const ZRMUtPoint& other) = default;
ZRMUtPoint& ZRMUtPoint::operator=(ZRMUtPoint&& other) { return *this = static_cast<const ZRMUtPoint&>(other); }
ZRMUtPoint::~ZRMUtPoint() = default;

void ZRMUtPoint::Coord(double& x, double& y, double& z) const { mPoint.GetCoord(x, y, z); }

void ZRMUtPoint::SetPoint(const KRNMathPoint& point) { mPoint = point; }

void ZRMUtPoint::ApplyTransformation(const KRNMathTransformation& transformation) { mPoint = transformation * mPoint; }

ZRMUtGeometry_Ptr ZRMUtPoint::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtPoint(*this)); }

bool ZRMUtPoint::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtPoint::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
