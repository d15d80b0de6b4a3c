#include "ZRMUtCylinder.h"

#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtCylinder::ZRMUtCylinder() : mRadius(0.0) {}
ZRMUtCylinder::ZRMUtCylinder(const KRNMathPoint& axisPoint, const KRNMathDirection& xDir, const KRNMathDirection& yDir,
                             double radius)
    : ZRMUtCSys(axisPoint, xDir, yDir), mRadius(radius) {}
ZRMUtCylinder::ZRMUtCylinder(const KRNMathPoint& axisPoint, const KRNMathDirection& axisDir, double radius)
    : ZRMUtCSys(axisPoint, axisDir), mRadius(radius) {}
ZRMUtCylinder::ZRMUtCylinder(const ZRMUtCylinder& other) = default;
ZRMUtCylinder& ZRMUtCylinder::operator=(const ZRMUtCylinder& other) = default;
ZRMUtCylinder::~ZRMUtCylinder() = default;

void ZRMUtCylinder::AxisDirCoord(double& x, double& y, double& z) const { ZDirCoord(x, y, z); }
void ZRMUtCylinder::SetRadius(double radius) { mRadius = radius; }
void ZRMUtCylinder::SetAxisPoint(const KRNMathPoint& axisPoint) { SetPoint(axisPoint); }

ZRMUtGeometry_Ptr ZRMUtCylinder::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtCylinder(*this)); }

bool ZRMUtCylinder::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtCylinder::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
