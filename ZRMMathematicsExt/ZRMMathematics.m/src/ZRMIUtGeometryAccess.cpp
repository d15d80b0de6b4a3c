#include "ZRMIUtGeometryAccess.h"

#include "KRNMetaClass.h"
#include "ZRMInterfaceMetaObject.h"

const IID IID_ZRMIUtGeometryAccess = {0x2B096CC7, 0x1E50, 0x4D74, {0xB5, 0x76, 0xBB, 0xC5, 0xD0, 0x64, 0xF7, 0xC7}};

KRNMetaClass* ZRMIUtGeometryAccess::meta_object = nullptr;

ZRMIUtGeometryAccess::~ZRMIUtGeometryAccess() = default;

KRNMetaClass* ZRMIUtGeometryAccess::MetaObject() {
  return ZRMInterfaceMetaObject(meta_object, IID_ZRMIUtGeometryAccess, "ZRMIUtGeometryAccess");
}

const GUID& ZRMIUtGeometryAccess::ClassId() { return MetaObject()->GetClassId(); }

const char* ZRMIUtGeometryAccess::ClassName() { return MetaObject()->GetClassName(); }

void ZRMIUtGeometryAccess_var::__CastTo(IUnknown* source) { CastTo(source, IID_ZRMIUtGeometryAccess); }
