// Visitors of the geometry classes and the geometry type codes.
//
// ZRMUtGeomVisitor has one Visit overload per geometry class and a general one. Each class-specific
// overload passes the object on to Visit(const ZRMUtGeometry*) (a virtual call), which returns
// false; a visitor overrides the overloads of the kinds it handles, or only the general one to
// receive every kind. A geometry is always visited as exactly its own class.
//
// ZRMUtGeomTypeVisitor records the type code of the visited class; ZRMGetGeomType answers it for
// a handle. Spheres and tori have no code of their own and report GeomUnknown.
#ifndef ZRMUtGeomVisitor_h
#define ZRMUtGeomVisitor_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtGeometry.h"

#include <cstdint>

// The visitor of the geometry classes: every overload passes the object on to the general one.
class ZRMMATH_API ZRMUtGeomVisitor {
public:
  ZRMUtGeomVisitor() = default;
  // A visitor holds nothing: copies are alike.
  ZRMUtGeomVisitor(const ZRMUtGeomVisitor&) = default;
  // A visitor holds nothing: assignment changes nothing.
  ZRMUtGeomVisitor& operator=(const ZRMUtGeomVisitor&) = default;
  virtual ~ZRMUtGeomVisitor();

  // Called by Accept of an object of exactly this class; here: Visit(const ZRMUtGeometry*).
  virtual bool Visit(const ZRMUtTorus* torus);
  virtual bool Visit(const ZRMUtSphere* sphere);
  virtual bool Visit(const ZRMUtCylinder* cylinder);
  virtual bool Visit(const ZRMUtCone* cone);
  virtual bool Visit(const ZRMUtPlane* plane);
  virtual bool Visit(const ZRMUtBSpline* spline);
  virtual bool Visit(const ZRMUtArc* arc);
  virtual bool Visit(const ZRMUtEllipse* ellipse);
  virtual bool Visit(const ZRMUtCircle* circle);
  virtual bool Visit(const ZRMUtCSys* csys);
  virtual bool Visit(const ZRMUtLine* line);
  virtual bool Visit(const ZRMUtPoint* point);
  // Receives every kind that no class-specific override takes; returns false.
  virtual bool Visit(const ZRMUtGeometry* geometry);
};

// The visitor that records the type code of the visited class.
class ZRMMATH_API ZRMUtGeomTypeVisitor : public ZRMUtGeomVisitor {
public:
  // The type codes of the geometry classes.
  enum GeomType : std::int32_t {
    GeomUnknown = 0,  // no geometry, or a kind without a code (sphere, torus)
    GeomPoint = 1,
    GeomLine = 2,
    GeomPlane = 3,
    GeomCSys = 4,
    GeomCircle = 5,
    GeomCone = 6,
    GeomCylinder = 7,
    GeomEllipse = 8,
    GeomArc = 9,
    GeomBSpline = 10
  };

  // The code is GeomUnknown until a visit.
  ZRMUtGeomTypeVisitor();

  //@{
  // Each stores its class's code and returns true; the sphere's, the torus's and the general
  // overload are the base's, which store nothing.
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCylinder* cylinder) override;
  bool Visit(const ZRMUtCone* cone) override;
  bool Visit(const ZRMUtPlane* plane) override;
  bool Visit(const ZRMUtBSpline* spline) override;
  bool Visit(const ZRMUtArc* arc) override;
  bool Visit(const ZRMUtEllipse* ellipse) override;
  bool Visit(const ZRMUtCircle* circle) override;
  bool Visit(const ZRMUtCSys* csys) override;
  bool Visit(const ZRMUtLine* line) override;
  bool Visit(const ZRMUtPoint* point) override;
  //@}

  // The code of the last visited class; GeomUnknown before any.
  GeomType GetType() const;

private:
  GeomType mType;
};

// Type code of the held geometry; GeomUnknown for an empty handle.
ZRMMATH_API ZRMUtGeomTypeVisitor::GeomType ZRMGetGeomType(ZRMUtGeometry_Ptr geometry);

#endif
