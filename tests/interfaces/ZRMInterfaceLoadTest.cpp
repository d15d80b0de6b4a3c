// Loads the built library at run time, as a caller that does not link it would, and checks
// what its loading did to the platform's interface dictionary. This program links the platform
// only; the library's path comes from the build (ZRM_MATHEMATICS_LIBRARY).
#include "KRNBaseUnknown.h"
#include "KRNDictionary.h"
#include "KRNMetaClass.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

// The two interfaces in registration order, with their identifiers and exported statics.
const struct {
  IID iid;
  const char* name;
  const char* metaObject;
  const char* classId;
  const char* className;
} kInterfaces[] = {
    {{0x2B096CC7, 0x1E50, 0x4D74, {0xB5, 0x76, 0xBB, 0xC5, 0xD0, 0x64, 0xF7, 0xC7}},
     "ZRMIUtGeometryAccess",
     "_ZN20ZRMIUtGeometryAccess10MetaObjectEv",
     "_ZN20ZRMIUtGeometryAccess7ClassIdEv",
     "_ZN20ZRMIUtGeometryAccess9ClassNameEv"},
    {{0x0340F1E9, 0xB892, 0x46DB, {0x8B, 0x4D, 0x64, 0x46, 0xB6, 0xAD, 0xFD, 0x08}},
     "ZRMIUtLineGeometryAccess",
     "_ZN24ZRMIUtLineGeometryAccess10MetaObjectEv",
     "_ZN24ZRMIUtLineGeometryAccess7ClassIdEv",
     "_ZN24ZRMIUtLineGeometryAccess9ClassNameEv"},
};

struct Loaded {
  void* handle = nullptr;
  int entriesBefore = 0;
  int interfacesBefore = 0;
};

// Loads the library once for the whole program (it stays loaded: registrations are never
// undone) and remembers the dictionary sizes seen just before.
const Loaded& Load() {
  static const Loaded loaded = [] {
    Loaded result;
    result.entriesBefore = KRNInterfaceDictionary::GetEntryCount();
    result.interfacesBefore = KRNInterfaceDictionary::GetInterfaceCount();
    result.handle = dlopen(ZRM_MATHEMATICS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return result;
  }();
  return loaded;
}

template <class Function>
Function Symbol(const char* name) {
  return reinterpret_cast<Function>(dlsym(Load().handle, name));
}

TEST(ZRMInterfaceLoad, NothingIsRegisteredBeforeLoading) {
  ASSERT_EQ(nullptr, dlopen(ZRM_MATHEMATICS_LIBRARY, RTLD_NOW | RTLD_NOLOAD)) << "the library is linked in";
  for (const auto& i : kInterfaces) EXPECT_EQ(nullptr, KRNInterfaceDictionary::FindInterface(i.iid));
}

// Each interface: its "MetaObject" entry and then its registration, in order, both naming the
// meta-class (name, framework, parent KRNBaseUnknown, kind 8; neither a kind of the other).
TEST(ZRMInterfaceLoad, LoadingRegistersBothInterfacesInOrder) {
  const Loaded& loaded = Load();
  ASSERT_NE(nullptr, loaded.handle) << dlerror();
  ASSERT_EQ(loaded.interfacesBefore + 2, KRNInterfaceDictionary::GetInterfaceCount());
  ASSERT_EQ(loaded.entriesBefore + 2, KRNInterfaceDictionary::GetEntryCount());
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(kInterfaces[i].name);
    const KRNInterfaceRecord* record = KRNInterfaceDictionary::GetInterface(loaded.interfacesBefore + i);
    ASSERT_NE(nullptr, record);
    EXPECT_TRUE(record->interfaceId == kInterfaces[i].iid && record->classId == CLSID_KRNMetaClass);
    EXPECT_EQ(nullptr, record->data);
    const KRNMetaClass* meta = record->metaClass;
    ASSERT_NE(nullptr, meta);
    EXPECT_TRUE(meta->GetClassId() == kInterfaces[i].iid);
    EXPECT_STREQ(kInterfaces[i].name, meta->GetClassName());
    EXPECT_STREQ("ZRMMathematicsExt", meta->GetFWname());
    EXPECT_TRUE(meta->GetParent() == KRNBaseUnknown::MetaObject() && meta->GetSecondMetaClass() == nullptr);
    EXPECT_EQ(8, meta->GetClassKind());
    EXPECT_TRUE(!meta->IsAKindOf(kInterfaces[1 - i].name) && meta->IsAKindOf("KRNBaseUnknown"));

    const KRNDictionaryEntry* entry = KRNInterfaceDictionary::GetEntry(loaded.entriesBefore + i);
    ASSERT_NE(nullptr, entry);
    EXPECT_TRUE(entry->interfaceId == kInterfaces[i].iid && entry->classId == CLSID_KRNMetaClass);
    EXPECT_EQ(kInterfaces[i].name, entry->className);
    EXPECT_EQ("MetaObject", entry->entryName);
    EXPECT_TRUE(entry->libraryName.empty() && entry->implementationName.empty());
    EXPECT_TRUE(entry->metaClass == meta && entry->createFunction == nullptr);
    EXPECT_TRUE(entry->entryKind == 1 && entry->loadFlags == 0 && entry->version == 2);
    EXPECT_EQ(nullptr, entry->data);
  }
}

TEST(ZRMInterfaceLoad, StaticsAnswerFromTheRegisteredMetaClass) {
  ASSERT_NE(nullptr, Load().handle) << dlerror();
  for (const auto& i : kInterfaces) {
    SCOPED_TRACE(i.name);
    const auto metaObject = Symbol<KRNMetaClass* (*)()>(i.metaObject);
    const auto classId = Symbol<const GUID& (*)()>(i.classId);
    const auto className = Symbol<const char* (*)()>(i.className);
    ASSERT_TRUE(metaObject && classId && className);
    KRNMetaClass* registered = KRNInterfaceDictionary::FindInterface(i.iid);
    EXPECT_TRUE(metaObject() == registered && metaObject() == registered);  // the same on every call
    EXPECT_TRUE(classId() == i.iid);
    EXPECT_STREQ(i.name, className());
  }
  const auto marker = Symbol<int (*)()>("ZRMMathematicsMarker");
  ASSERT_NE(nullptr, marker);
  EXPECT_EQ(1, marker());
}

}  // namespace
