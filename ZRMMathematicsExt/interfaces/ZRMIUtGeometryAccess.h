// ZRMIUtGeometryAccess: component interface through which a component of the application
// exposes its geometry to others. The library declares and registers the interface; components
// implement it.
//
// Interface identifier IID_ZRMIUtGeometryAccess, {2B096CC7-1E50-4D74-B576-BBC5D064F7C7}; class
// name "ZRMIUtGeometryAccess"; framework "ZRMMathematicsExt"; parent KRNBaseUnknown. The
// interface is registered in the platform's interface dictionary when the library is loaded.
//
// Our choice of its three operations: read access to the exposed geometry, its replacement and
// its motion. Geometries pass as raw pointers to ZRMUtGeometry (whose reference count lives in
// the object), so this header needs only declarations of the geometry and transformation
// classes: a caller that keeps a geometry takes its own reference by wrapping the pointer in a
// handle, e.g. ZRMUtGeometry_ConstPtr(access->GetGeometry()).
#ifndef ZRMIUtGeometryAccess_h
#define ZRMIUtGeometryAccess_h

#include "ZRMMathematicsExport.h"

#include "KRNBaseUnknown.h"
#include "KRNBaseUnknown_var.h"

class KRNMetaClass;
class KRNMathTransformation;
class ZRMUtGeometry;

// {2B096CC7-1E50-4D74-B576-BBC5D064F7C7}
extern ZRMMATH_API const IID IID_ZRMIUtGeometryAccess;

class ZRMMATH_API ZRMIUtGeometryAccess : public KRNBaseUnknown {
public:
  ZRMIUtGeometryAccess() = default;
  //@{
  // Copies and moves of the interface part, which holds nothing of its own.
  ZRMIUtGeometryAccess(const ZRMIUtGeometryAccess&) = default;
  ZRMIUtGeometryAccess(ZRMIUtGeometryAccess&&) = default;
  ZRMIUtGeometryAccess& operator=(const ZRMIUtGeometryAccess&) = default;
  ZRMIUtGeometryAccess& operator=(ZRMIUtGeometryAccess&&) = default;
  //@}
  ~ZRMIUtGeometryAccess() override;

  // The interface's meta-class, created (and entered in the dictionary) on first call.
  static KRNMetaClass* MetaObject();
  // IID_ZRMIUtGeometryAccess, as held by the meta-class.
  static const GUID& ClassId();
  // "ZRMIUtGeometryAccess", as held by the meta-class.
  static const char* ClassName();

  // The geometry the component exposes, or null when it has none. The component keeps its
  // own reference; the object stays valid while the component holds it.
  virtual const ZRMUtGeometry* GetGeometry() const = 0;
  // Makes the component expose geometry (null: none); false when the component refuses it.
  virtual bool SetGeometry(const ZRMUtGeometry* geometry) = 0;
  // Moves the exposed geometry by transformation; false when there is none or it cannot move.
  virtual bool TransformGeometry(const KRNMathTransformation& transformation) = 0;

  static KRNMetaClass* meta_object;  // null until MetaObject() creates it
};

// Handle on a ZRMIUtGeometryAccess: built from any interface pointer, it holds what that object
// answers for IID_ZRMIUtGeometryAccess, or nothing.
class ZRMMATH_API ZRMIUtGeometryAccess_var : public KRNBaseUnknown_var {
public:
  ZRMIUtGeometryAccess_var() = default;
  //@{
  // Holds what source (or other's object) answers for IID_ZRMIUtGeometryAccess, or nothing.
  ZRMIUtGeometryAccess_var(IUnknown* source) { __CastTo(source); }
  ZRMIUtGeometryAccess_var(const KRNBaseUnknown_var& other) { __CastTo(other.GetObject()); }
  //@}
  // Holds what source answers for IID_ZRMIUtGeometryAccess, or nothing, instead of the held object.
  ZRMIUtGeometryAccess_var& operator=(IUnknown* source) {
    __CastTo(source);
    return *this;
  }

  // The held interface (null when nothing is held).
  ZRMIUtGeometryAccess* operator->() const { return static_cast<ZRMIUtGeometryAccess*>(GetObject()); }

private:
  void __CastTo(IUnknown* source);
};

#endif
