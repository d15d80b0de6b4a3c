#include "ZRMUtGeometry.h"

#include "ZRMUtGeomVisitor.h"

namespace {

// Answers whether the visited object is exactly of class Target; holds its address if so.
template <class Target>
class ZRMUtCastVisitor final : public ZRMUtGeomVisitor {
public:
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const Target* target) override {
    mTarget = target;
    return true;
  }
  // Valid only after a visit that returned true.
  const Target* Visited() const { return mTarget; }

private:
  const Target* mTarget = nullptr;
};

// The geometry as Target when it is exactly of that class, else null. Allocates nothing.
template <class Target>
Target* ZRMUtExactCast(ZRMUtGeometry& geometry) {
  ZRMUtCastVisitor<Target> visitor;
  if (!geometry.Accept(&visitor)) return nullptr;
  return const_cast<Target*>(visitor.Visited());  // the visited object is this non-const geometry
}

}  // namespace

ZRMUtGeometry::ZRMUtGeometry() = default;
ZRMUtGeometry::ZRMUtGeometry(const ZRMUtGeometry& other) = default;
ZRMUtGeometry& ZRMUtGeometry::operator=(const ZRMUtGeometry& other) = default;
ZRMUtGeometry::~ZRMUtGeometry() = default;

bool ZRMUtGeometry::GetTangentAtPoint(const KRNMathPoint&, KRNMathVector&) const { return false; }

ZRMUtArc* ZRMUtGeometry::AsArc() { return ZRMUtExactCast<ZRMUtArc>(*this); }
ZRMUtBSpline* ZRMUtGeometry::AsBSpline() { return ZRMUtExactCast<ZRMUtBSpline>(*this); }
ZRMUtCSys* ZRMUtGeometry::AsCSys() { return ZRMUtExactCast<ZRMUtCSys>(*this); }
ZRMUtCircle* ZRMUtGeometry::AsCircle() { return ZRMUtExactCast<ZRMUtCircle>(*this); }
ZRMUtCone* ZRMUtGeometry::AsCone() { return ZRMUtExactCast<ZRMUtCone>(*this); }
ZRMUtCylinder* ZRMUtGeometry::AsCylinder() { return ZRMUtExactCast<ZRMUtCylinder>(*this); }
ZRMUtEllipse* ZRMUtGeometry::AsEllipse() { return ZRMUtExactCast<ZRMUtEllipse>(*this); }
ZRMUtLine* ZRMUtGeometry::AsLine() { return ZRMUtExactCast<ZRMUtLine>(*this); }
ZRMUtPlane* ZRMUtGeometry::AsPlane() { return ZRMUtExactCast<ZRMUtPlane>(*this); }
ZRMUtPoint* ZRMUtGeometry::AsPoint() { return ZRMUtExactCast<ZRMUtPoint>(*this); }
ZRMUtSphere* ZRMUtGeometry::AsSphere() { return ZRMUtExactCast<ZRMUtSphere>(*this); }
ZRMUtTorus* ZRMUtGeometry::AsTorus() { return ZRMUtExactCast<ZRMUtTorus>(*this); }
