#include "ZRMIUtLineGeometryAccess.h"

#include "KRNMetaClass.h"
#include "ZRMInterfaceMetaObject.h"

const IID IID_ZRMIUtLineGeometryAccess = {0x0340F1E9, 0xB892, 0x46DB, {0x8B, 0x4D, 0x64, 0x46, 0xB6, 0xAD, 0xFD, 0x08}};

KRNMetaClass* ZRMIUtLineGeometryAccess::meta_object = nullptr;

ZRMIUtLineGeometryAccess::~ZRMIUtLineGeometryAccess() = default;

KRNMetaClass* ZRMIUtLineGeometryAccess::MetaObject() {
  return ZRMInterfaceMetaObject(meta_object, IID_ZRMIUtLineGeometryAccess, "ZRMIUtLineGeometryAccess");
}

const GUID& ZRMIUtLineGeometryAccess::ClassId() { return MetaObject()->GetClassId(); }

const char* ZRMIUtLineGeometryAccess::ClassName() { return MetaObject()->GetClassName(); }

void ZRMIUtLineGeometryAccess_var::__CastTo(IUnknown* source) { CastTo(source, IID_ZRMIUtLineGeometryAccess); }
