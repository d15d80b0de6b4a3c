#include "ZRMInterfaceMetaObject.h"

#include "KRNBaseUnknown.h"
#include "KRNDictionary.h"
#include "KRNMetaClass.h"

KRNMetaClass* ZRMInterfaceMetaObject(KRNMetaClass*& metaObject, const IID& iid, const char* className) {
  if (metaObject != nullptr) return metaObject;
  metaObject = new KRNMetaClass(iid, className, KRNBaseUnknown::MetaObject(), nullptr, KRNMetaClass::InterfaceKind);
  AddDictionary(iid, CLSID_KRNMetaClass, className, "MetaObject", nullptr, metaObject, nullptr, nullptr, 1, 0, 2,
                nullptr);
  metaObject->SetFWname(ZRMInterfaceFramework);
  return metaObject;  // created once, never destroyed
}
