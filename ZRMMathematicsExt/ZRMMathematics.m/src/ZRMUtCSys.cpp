#include "ZRMUtCSys.h"

#include "KRNMath3x3Matrix.h"
#include "KRNMathConstants.h"
#include "ZRMCheck.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtPlane.h"

#include <utility>

namespace {

// Reported source position of the orthogonality check of the three-direction constructor.
constexpr const char* kCSysSourceFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys";
constexpr int kOrthogonalityLine = 33;

// Unit direction of u x v by the unit-direction rule; parallel or zero inputs give (1, 0, 0).
KRNMathDirection UnitCross(const KRNMathVector& u, const KRNMathVector& v) { return KRNMathDirection(u ^ v); }

// Reference direction of the (origin, z) constructor: (0, 1, 0), or (1, 0, 0) when z is parallel
// to it.
KRNMathDirection ReferenceDirection(const KRNMathDirection& zDir) {
  return KRNMathJ.IsParallel(zDir) ? KRNMathI : KRNMathJ;
}

}  // namespace

ZRMUtCSys::ZRMUtCSys() = default;

ZRMUtCSys::ZRMUtCSys(const KRNMathPoint& point, const KRNMathDirection& zDir)
    : mXDir(UnitCross(ReferenceDirection(zDir), zDir)), mYDir(UnitCross(zDir, mXDir)), mZDir(zDir), mPoint(point) {}

ZRMUtCSys::ZRMUtCSys(const KRNMathPoint& point, const KRNMathDirection& xDir, const KRNMathDirection& yDir)
    : mXDir(xDir), mYDir(yDir), mZDir(UnitCross(xDir, yDir)), mPoint(point) {
  ZRMReportCheck(mXDir.IsOrthogonal(mYDir), "mXDir.IsOrthogonal(mYDir)", "ZRMUtCSys non-orthogonal directions in.",
                 kCSysSourceFile, kOrthogonalityLine);
}

ZRMUtCSys::ZRMUtCSys(const ZRMUtCSys& other) = default;
ZRMUtCSys& ZRMUtCSys::operator=(const ZRMUtCSys& other) = default;
ZRMUtCSys::~ZRMUtCSys() = default;

void ZRMUtCSys::PointCoord(double& x, double& y, double& z) const { mPoint.GetCoord(x, y, z); }
void ZRMUtCSys::XDirCoord(double& x, double& y, double& z) const { mXDir.GetCoord(x, y, z); }
void ZRMUtCSys::YDirCoord(double& x, double& y, double& z) const { mYDir.GetCoord(x, y, z); }
void ZRMUtCSys::ZDirCoord(double& x, double& y, double& z) const { mZDir.GetCoord(x, y, z); }

KRNMathTransformation ZRMUtCSys::GetCysXform() const {
  return KRNMathTransformation(KRNMath3x3Matrix(mXDir, mYDir, mZDir), KRNMathVector(mPoint));
}

void ZRMUtCSys::Plane(ZRMUtPlane& out) { static_cast<ZRMUtCSys&>(out) = ZRMUtPlane(mPoint, mZDir); }

void ZRMUtCSys::ApplyTransformation(const KRNMathTransformation& transformation) {
  mPoint = transformation * mPoint;
  mXDir = KRNMathDirection(transformation * KRNMathVector(mXDir));
  mYDir = KRNMathDirection(transformation * KRNMathVector(mYDir));
  mZDir = UnitCross(mXDir, mYDir);  // from the new x and y, never from the image of z
}

ZRMUtGeometry_Ptr ZRMUtCSys::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtCSys(*this)); }

bool ZRMUtCSys::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtCSys::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }

void ZRMUtCSys::SetPoint(const KRNMathPoint& point) { mPoint = point; }
void ZRMUtCSys::SetXDir(const KRNMathDirection& xDir) { mXDir = xDir; }
void ZRMUtCSys::SetYDir(const KRNMathDirection& yDir) { mYDir = yDir; }
void ZRMUtCSys::SetZDir(const KRNMathDirection& zDir) { mZDir = zDir; }

void ZRMUtCSys::SetCSys(const KRNMathPoint& point, const KRNMathDirection& xDir, const KRNMathDirection& yDir) {
  mPoint = point;
  mXDir = xDir;
  mYDir = yDir;
  mZDir = UnitCross(xDir, yDir);
}
