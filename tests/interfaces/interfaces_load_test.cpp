// Loads the built library at run time, as a caller that does not link it would (this program
// links the platform only), and checks what loading registered in the interface dictionary.
#include "KRNBaseUnknown.h"
#include "KRNDictionary.h"
#include "KRNMetaClass.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace {

// The two interfaces in registration order, with their identifiers.
const struct {
  IID iid;
  std::string name;
} kInterfaces[] = {
    {{0x2B096CC7, 0x1E50, 0x4D74, {0xB5, 0x76, 0xBB, 0xC5, 0xD0, 0x64, 0xF7, 0xC7}}, "ZRMIUtGeometryAccess"},
    {{0x0340F1E9, 0xB892, 0x46DB, {0x8B, 0x4D, 0x64, 0x46, 0xB6, 0xAD, 0xFD, 0x08}}, "ZRMIUtLineGeometryAccess"}};

// Nothing is registered before loading. Each interface then has its "MetaObject" entry and its
// registration, in order, both naming its meta-class (framework ZRMMathematicsExt, parent
// KRNBaseUnknown, kind 8, neither a kind of the other); its exported MetaObject answers it, every
// time.
TEST(InterfaceLoad, LoadingRegistersBothInterfacesInOrder) {
  ASSERT_EQ(dlopen(ZRM_MATHEMATICS_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library is linked in";
  for (const auto& i : kInterfaces) EXPECT_EQ(KRNInterfaceDictionary::FindInterface(i.iid), nullptr);
  const int entries = KRNInterfaceDictionary::GetEntryCount(), interfaces = KRNInterfaceDictionary::GetInterfaceCount();
  void* library = dlopen(ZRM_MATHEMATICS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  ASSERT_TRUE(KRNInterfaceDictionary::GetInterfaceCount() == interfaces + 2 &&
              KRNInterfaceDictionary::GetEntryCount() == entries + 2);
  for (int i = 0; i < 2; ++i) {
    const auto& expected = kInterfaces[i];
    const KRNInterfaceRecord* record = KRNInterfaceDictionary::GetInterface(interfaces + i);
    const KRNDictionaryEntry* entry = KRNInterfaceDictionary::GetEntry(entries + i);
    ASSERT_TRUE(record && entry && record->metaClass) << expected.name;
    const KRNMetaClass* meta = record->metaClass;
    EXPECT_TRUE(record->interfaceId == expected.iid && entry->interfaceId == expected.iid &&
                record->classId == CLSID_KRNMetaClass && entry->classId == CLSID_KRNMetaClass && !record->data &&
                !entry->data && entry->metaClass == meta && meta->GetClassId() == expected.iid);
    EXPECT_EQ(std::string(meta->GetClassName()) + "|" + meta->GetFWname() + "|" + entry->className + "|" +
                  entry->entryName + "|" + entry->libraryName + "|" + entry->implementationName,
              expected.name + "|ZRMMathematicsExt|" + expected.name + "|MetaObject||");
    EXPECT_TRUE(meta->GetParent() == KRNBaseUnknown::MetaObject() && !meta->GetSecondMetaClass() &&
                meta->IsAKindOf("KRNBaseUnknown") && !meta->IsAKindOf(kInterfaces[1 - i].name.c_str()));
    EXPECT_TRUE(meta->GetClassKind() == 8 && !entry->createFunction && entry->entryKind == 1 && entry->loadFlags == 0 &&
                entry->version == 2);
    const std::string symbol = "_ZN" + std::to_string(expected.name.size()) + expected.name + "10MetaObjectEv";
    const auto metaObject = reinterpret_cast<KRNMetaClass* (*)()>(dlsym(library, symbol.c_str()));
    EXPECT_TRUE(metaObject && metaObject() == meta && metaObject() == meta);
  }
  const auto marker = reinterpret_cast<int (*)()>(dlsym(library, "ZRMMathematicsMarker"));
  EXPECT_TRUE(marker && marker() == 1);
}

}  // namespace
