// Internal: the meta-class pattern shared by the library's component interfaces.
#ifndef ZRMInterfaceMetaObject_h
#define ZRMInterfaceMetaObject_h

#include "KRNGUID.h"

class KRNMetaClass;

// Framework that declares the library's interfaces.
constexpr const char* ZRMInterfaceFramework = "ZRMMathematicsExt";

// Returns metaObject, creating it first when it is null: a KRNMetaClass of (iid, className,
// KRNBaseUnknown::MetaObject(), null, kind 8) with the "MetaObject" dictionary entry of the
// interface and the framework name "ZRMMathematicsExt". The allocation never yields null (the
// platform allocator throws instead), so the dictionary and the framework name always receive
// the new object.
KRNMetaClass* ZRMInterfaceMetaObject(KRNMetaClass*& metaObject, const IID& iid, const char* className);

#endif
