// ZRMUtGeometry: abstract base of every geometry value class of the library.
//
// A geometry is reference counted through ZRMUtSmartBase and shared by the handles of
// ZRMUtGeomHandles.h. The count is not part of a geometry's value: copy construction starts a
// copy with no references and assignment leaves the target's own count as it was.
//
// The concrete kind of a geometry is answered only by visitors (ZRMUtGeomVisitor.h): Accept calls
// the visitor's Visit overload for the object's exact class, and the As* downcasts below are built
// on it. The class tree is single inheritance; the geometry sub-object sits at the start of every
// object, so converting a concrete pointer to ZRMUtGeometry* never changes the address.
#ifndef ZRMUtGeometry_h
#define ZRMUtGeometry_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtGeomHandles.h"
#include "ZRMUtSmartBase.h"

class KRNMathPoint;
class KRNMathTransformation;
class KRNMathVector;
class ZRMUtGeomVisitor;

class ZRMMATH_API ZRMUtGeometry : public ZRMUtSmartBase {
public:
  ZRMUtGeometry();
  // A copy of other's value; the copy starts with no references.
  ZRMUtGeometry(const ZRMUtGeometry& other);
  // Takes other's value; this object's reference count stays as it was.
  ZRMUtGeometry& operator=(const ZRMUtGeometry& other);
  ~ZRMUtGeometry() override;

  // Changes the object in place.
  virtual void ApplyTransformation(const KRNMathTransformation& transformation) = 0;
  // Tangent of the geometry at a point on it. Here: no tangent, returns false and leaves the
  // vector as it was; curves override it.
  virtual bool GetTangentAtPoint(const KRNMathPoint& point, KRNMathVector& tangent) const;
  // A new object of the same class with the same value, held by the one reference of the handle.
  virtual ZRMUtGeometry_Ptr Clone() const = 0;
  // Calls the visitor's Visit overload for this object's exact class and returns its result;
  // a null visitor gives false.
  virtual bool Accept(ZRMUtGeomVisitor* visitor) const = 0;
  virtual bool Accept(ZRMUtGeomVisitor* visitor) = 0;

  //@{
  // Exact-class downcasts: this object as the named class, or null when it is of another class
  // (an arc is not a circle, a plane is not a coordinate system). No reference count changes.
  ZRMUtArc* AsArc();
  ZRMUtBSpline* AsBSpline();
  ZRMUtCSys* AsCSys();
  ZRMUtCircle* AsCircle();
  ZRMUtCone* AsCone();
  ZRMUtCylinder* AsCylinder();
  ZRMUtEllipse* AsEllipse();
  ZRMUtLine* AsLine();
  ZRMUtPlane* AsPlane();
  ZRMUtPoint* AsPoint();
  ZRMUtSphere* AsSphere();
  ZRMUtTorus* AsTorus();
  //@}
};

#endif
