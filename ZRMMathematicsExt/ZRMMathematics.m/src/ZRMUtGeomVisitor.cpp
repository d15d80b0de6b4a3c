#include "ZRMUtGeomVisitor.h"

#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtCSys.h"
#include "ZRMUtCircle.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTorus.h"

ZRMUtGeomVisitor::~ZRMUtGeomVisitor() = default;

// Each class-specific default hands the object to the general overload (a virtual call).
bool ZRMUtGeomVisitor::Visit(const ZRMUtTorus* torus) { return Visit(static_cast<const ZRMUtGeometry*>(torus)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtSphere* sphere) { return Visit(static_cast<const ZRMUtGeometry*>(sphere)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtCylinder* cylinder) {
  return Visit(static_cast<const ZRMUtGeometry*>(cylinder));
}
bool ZRMUtGeomVisitor::Visit(const ZRMUtCone* cone) { return Visit(static_cast<const ZRMUtGeometry*>(cone)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtPlane* plane) { return Visit(static_cast<const ZRMUtGeometry*>(plane)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtBSpline* spline) { return Visit(static_cast<const ZRMUtGeometry*>(spline)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtArc* arc) { return Visit(static_cast<const ZRMUtGeometry*>(arc)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtEllipse* ellipse) { return Visit(static_cast<const ZRMUtGeometry*>(ellipse)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtCircle* circle) { return Visit(static_cast<const ZRMUtGeometry*>(circle)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtCSys* csys) { return Visit(static_cast<const ZRMUtGeometry*>(csys)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtLine* line) { return Visit(static_cast<const ZRMUtGeometry*>(line)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtPoint* point) { return Visit(static_cast<const ZRMUtGeometry*>(point)); }
bool ZRMUtGeomVisitor::Visit(const ZRMUtGeometry*) { return false; }

ZRMUtGeomTypeVisitor::ZRMUtGeomTypeVisitor() : mType(GeomUnknown) {}

bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtCylinder*) {
  mType = GeomCylinder;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtCone*) {
  mType = GeomCone;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtPlane*) {
  mType = GeomPlane;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtBSpline*) {
  mType = GeomBSpline;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtArc*) {
  mType = GeomArc;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtEllipse*) {
  mType = GeomEllipse;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtCircle*) {
  mType = GeomCircle;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtCSys*) {
  mType = GeomCSys;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtLine*) {
  mType = GeomLine;
  return true;
}
bool ZRMUtGeomTypeVisitor::Visit(const ZRMUtPoint*) {
  mType = GeomPoint;
  return true;
}

ZRMUtGeomTypeVisitor::GeomType ZRMUtGeomTypeVisitor::GetType() const { return mType; }

ZRMUtGeomTypeVisitor::GeomType ZRMGetGeomType(ZRMUtGeometry_Ptr geometry) {
  if (geometry.Ptr() == nullptr) return ZRMUtGeomTypeVisitor::GeomUnknown;
  ZRMUtGeomTypeVisitor visitor;
  geometry->Accept(&visitor);  // the answer is the recorded code, whatever Accept returns
  return visitor.GetType();
}
