// Registration of the library's component interfaces in the platform's interface dictionary,
// made by the library's static initialisation when it is loaded. Both objects live in this one
// translation unit so that their order is fixed: ZRMIUtGeometryAccess first, then
// ZRMIUtLineGeometryAccess. Each construction first calls the interface's MetaObject(), which
// creates the meta-class and makes its "MetaObject" dictionary entry. Nothing undoes the
// registration: KRNFillDictionary is trivially destructible, so no destruction is registered.
#include "KRNDictionary.h"
#include "KRNMetaClass.h"
#include "ZRMIUtGeometryAccess.h"
#include "ZRMIUtLineGeometryAccess.h"

namespace {

KRNFillDictionary gGeometryAccessRegistration(IID_ZRMIUtGeometryAccess, CLSID_KRNMetaClass,
                                              ZRMIUtGeometryAccess::MetaObject(), nullptr);
KRNFillDictionary gLineGeometryAccessRegistration(IID_ZRMIUtLineGeometryAccess, CLSID_KRNMetaClass,
                                                  ZRMIUtLineGeometryAccess::MetaObject(), nullptr);

}  // namespace
