#include "ZRMUtSphere.h"

#include "KRNMathConstants.h"
#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtSphere::ZRMUtSphere() : mRadius(0.0) {}
ZRMUtSphere::ZRMUtSphere(const KRNMathPoint& center, double radius, const KRNMathDirection& xDir,
                         const KRNMathDirection& yDir)
    : ZRMUtCSys(center, xDir, yDir), mRadius(radius) {}
ZRMUtSphere::ZRMUtSphere(const KRNMathPoint& center, double radius) : ZRMUtCSys(center, KRNMathK), mRadius(radius) {}
ZRMUtSphere::ZRMUtSphere(const ZRMUtSphere& other) = default;
ZRMUtSphere& ZRMUtSphere::operator=(const ZRMUtSphere& other) = default;
ZRMUtSphere::~ZRMUtSphere() = default;

void ZRMUtSphere::SetRadius(double radius) { mRadius = radius; }
void ZRMUtSphere::SetCenter(double x, double y, double z) { SetPoint(KRNMathPoint(x, y, z)); }

ZRMUtGeometry_Ptr ZRMUtSphere::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtSphere(*this)); }

bool ZRMUtSphere::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtSphere::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
