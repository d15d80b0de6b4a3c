#include "ZRMUtTorus.h"

#include "KRNMathConstants.h"
#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtTorus::ZRMUtTorus() : mMajorRadius(0.0), mMinorRadius(0.0) {}
ZRMUtTorus::ZRMUtTorus(const KRNMathPoint& center, double majorRadius, double minorRadius, const KRNMathDirection& xDir,
                       const KRNMathDirection& yDir)
    : ZRMUtCSys(center, xDir, yDir), mMajorRadius(majorRadius), mMinorRadius(minorRadius) {}
ZRMUtTorus::ZRMUtTorus(const KRNMathPoint& center, double majorRadius, double minorRadius)
    : ZRMUtCSys(center, KRNMathK), mMajorRadius(majorRadius), mMinorRadius(minorRadius) {}
ZRMUtTorus::ZRMUtTorus(const ZRMUtTorus& other) = default;
ZRMUtTorus& ZRMUtTorus::operator=(const ZRMUtTorus& other) = default;
ZRMUtTorus::~ZRMUtTorus() = default;

void ZRMUtTorus::SetMajorRadius(double majorRadius) { mMajorRadius = majorRadius; }
void ZRMUtTorus::SetMinorRadius(double minorRadius) { mMinorRadius = minorRadius; }
void ZRMUtTorus::SetCenter(double x, double y, double z) { SetPoint(KRNMathPoint(x, y, z)); }

ZRMUtGeometry_Ptr ZRMUtTorus::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtTorus(*this)); }

bool ZRMUtTorus::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtTorus::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
