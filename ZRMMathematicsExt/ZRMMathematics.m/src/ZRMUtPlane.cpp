#include "ZRMUtPlane.h"

#include "ZRMUtGeomVisitor.h"

#include <utility>

ZRMUtPlane::ZRMUtPlane(const KRNMathPlane& plane) {
  KRNMathVector first;
  KRNMathVector second;
  plane.GetDirections(first, second);
  SetPoint(plane.GetOrigin());
  SetXDir(KRNMathDirection(first));
  SetYDir(KRNMathDirection(second));           // not made orthogonal to the first
  SetZDir(KRNMathDirection(XDir() ^ YDir()));  // from the already normalised directions
}

ZRMUtPlane::ZRMUtPlane(const KRNMathPoint& origin, const KRNMathDirection& xDir, const KRNMathDirection& yDir)
    : ZRMUtCSys(origin, xDir, yDir) {}

ZRMUtPlane::ZRMUtPlane(const KRNMathPoint& origin, const KRNMathDirection& normal) : ZRMUtCSys(origin, normal) {}

ZRMUtPlane::ZRMUtPlane(const ZRMUtPlane& other) = default;
ZRMUtPlane& ZRMUtPlane::operator=(const ZRMUtPlane& other) = default;
ZRMUtPlane::~ZRMUtPlane() = default;

void ZRMUtPlane::NormalCoord(double& x, double& y, double& z) const { ZDirCoord(x, y, z); }

KRNMathPlane ZRMUtPlane::Plane() const { return KRNMathPlane(Point(), XDir(), YDir()); }

ZRMUtGeometry_Ptr ZRMUtPlane::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtPlane(*this)); }

bool ZRMUtPlane::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtPlane::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
