#include "ZRMUtCone.h"

#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtCone::ZRMUtCone() : mHalfAngle(0.0) {}
ZRMUtCone::ZRMUtCone(const KRNMathPoint& apex, const KRNMathDirection& xDir, const KRNMathDirection& yDir,
                     double halfAngle)
    : ZRMUtCSys(apex, xDir, yDir), mHalfAngle(halfAngle) {}
ZRMUtCone::ZRMUtCone(const KRNMathPoint& apex, const KRNMathDirection& axisDir, double halfAngle)
    : ZRMUtCSys(apex, axisDir), mHalfAngle(halfAngle) {}
ZRMUtCone::ZRMUtCone(const ZRMUtCone& other) = default;
ZRMUtCone& ZRMUtCone::operator=(const ZRMUtCone& other) = default;
ZRMUtCone::~ZRMUtCone() = default;

void ZRMUtCone::ApexCoord(double& x, double& y, double& z) const { PointCoord(x, y, z); }
void ZRMUtCone::AxisDirCoord(double& x, double& y, double& z) const { ZDirCoord(x, y, z); }
void ZRMUtCone::SetHalfAngle(double halfAngle) { mHalfAngle = halfAngle; }
void ZRMUtCone::SetAxisPoint(const KRNMathPoint& apex) { SetPoint(apex); }

ZRMUtGeometry_Ptr ZRMUtCone::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtCone(*this)); }

bool ZRMUtCone::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtCone::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
