// ZRMIUtLineGeometryAccess: component interface through which a component of the application
// exposes line geometry. It derives from KRNBaseUnknown directly (it is not a kind of
// ZRMIUtGeometryAccess) and declares no operations of its own: components answer it to say what
// they are, and offer their operations through their other interfaces.
//
// Interface identifier IID_ZRMIUtLineGeometryAccess, {0340F1E9-B892-46DB-8B4D-6446B6ADFD08};
// class name "ZRMIUtLineGeometryAccess"; framework "ZRMMathematicsExt". Registered in the
// platform's interface dictionary when the library is loaded, after ZRMIUtGeometryAccess.
#ifndef ZRMIUtLineGeometryAccess_h
#define ZRMIUtLineGeometryAccess_h

#include "ZRMMathematicsExport.h"

#include "KRNBaseUnknown.h"
#include "KRNBaseUnknown_var.h"

class KRNMetaClass;

// {0340F1E9-B892-46DB-8B4D-6446B6ADFD08}
extern ZRMMATH_API const IID IID_ZRMIUtLineGeometryAccess;

class ZRMMATH_API ZRMIUtLineGeometryAccess : public KRNBaseUnknown {
public:
  ZRMIUtLineGeometryAccess() = default;
  //@{
  // Copies and moves of the interface part, which holds nothing of its own.
  ZRMIUtLineGeometryAccess(const ZRMIUtLineGeometryAccess&) = default;
  ZRMIUtLineGeometryAccess(ZRMIUtLineGeometryAccess&&) = default;
  ZRMIUtLineGeometryAccess& operator=(const ZRMIUtLineGeometryAccess&) = default;
  ZRMIUtLineGeometryAccess& operator=(ZRMIUtLineGeometryAccess&&) = default;
  //@}
  ~ZRMIUtLineGeometryAccess() override;

  // The interface's meta-class, created (and entered in the dictionary) on first call.
  static KRNMetaClass* MetaObject();
  // IID_ZRMIUtLineGeometryAccess, as held by the meta-class.
  static const GUID& ClassId();
  // "ZRMIUtLineGeometryAccess", as held by the meta-class.
  static const char* ClassName();

  static KRNMetaClass* meta_object;  // null until MetaObject() creates it
};

// Handle on a ZRMIUtLineGeometryAccess: built from any interface pointer, it holds what that
// object answers for IID_ZRMIUtLineGeometryAccess, or nothing.
class ZRMMATH_API ZRMIUtLineGeometryAccess_var : public KRNBaseUnknown_var {
public:
  ZRMIUtLineGeometryAccess_var() = default;
  //@{
  // Holds what source (or other's object) answers for IID_ZRMIUtLineGeometryAccess, or nothing.
  ZRMIUtLineGeometryAccess_var(IUnknown* source) { __CastTo(source); }
  ZRMIUtLineGeometryAccess_var(const KRNBaseUnknown_var& other) { __CastTo(other.GetObject()); }
  //@}
  // Holds what source answers for IID_ZRMIUtLineGeometryAccess, or nothing, instead of the held object.
  ZRMIUtLineGeometryAccess_var& operator=(IUnknown* source) {
    __CastTo(source);
    return *this;
  }

  // The held interface (null when nothing is held).
  ZRMIUtLineGeometryAccess* operator->() const { return static_cast<ZRMIUtLineGeometryAccess*>(GetObject()); }

private:
  void __CastTo(IUnknown* source);
};

#endif
