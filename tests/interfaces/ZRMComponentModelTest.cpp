// The platform's component model as the library uses it: identifiers, reference counting,
// interface queries, implementation links, meta-classes, the interface dictionary and handles.
#include "KRNBaseUnknown.h"
#include "KRNBaseUnknown_var.h"
#include "KRNDictionary.h"
#include "KRNMetaClass.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr IID kTestIID = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};
constexpr IID kChildIID = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBC}};

// A component whose class has its own meta-class under KRNBaseUnknown, and which tells when it
// is destroyed.
class Probe : public KRNBaseUnknown {
public:
  explicit Probe(bool* destroyed = nullptr) : mDestroyed(destroyed) {}
  ~Probe() override {
    if (mDestroyed) *mDestroyed = true;
  }
  KRNMetaClass* GetMetaObject() const override {
    static KRNMetaClass* meta = new KRNMetaClass(kTestIID, "Probe", KRNBaseUnknown::MetaObject(), nullptr, 0);
    return meta;
  }

private:
  bool* mDestroyed;
};

// A typed handle on Probe, written as the library writes its own.
class Probe_var : public KRNBaseUnknown_var {
public:
  Probe_var(IUnknown* source) { CastTo(source, kTestIID); }
};

TEST(KRNGUID, LayoutEqualityAndOrder) {
  static_assert(sizeof(GUID) == 16, "16 bytes");
  const GUID a = kTestIID;
  EXPECT_TRUE(a == kTestIID && !(a != kTestIID) && !(a < kTestIID));
  // Each field on its own tells the identifiers apart and orders them.
  GUID fields[4] = {a, a, a, a};
  fields[0].Data1 += 1;
  fields[1].Data2 += 1;
  fields[2].Data3 += 1;
  fields[3].Data4[7] += 1;
  for (const GUID& b : fields) EXPECT_TRUE(a != b && a < b && !(b < a)) << &b - fields;
  GUID high = a, low = a;  // Data1 decides before the later fields
  high.Data1 = 2;
  low.Data1 = 1;
  low.Data4[0] = 0xFF;
  EXPECT_TRUE(low < high);
  const unsigned char bytes[16] = {0x11, 0x11, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33,
                                   0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
  EXPECT_EQ(0, std::memcmp(bytes, &kTestIID, 16));  // little-endian fields, then the eight bytes
}

TEST(KRNBaseUnknown, ReferenceCountingAndCopies) {
  bool destroyed = false;
  Probe* probe = new Probe(&destroyed);
  EXPECT_EQ(1u, probe->GetRefCount());
  EXPECT_EQ(2u, probe->AddRef());
  EXPECT_TRUE(probe->ChangeComponentState(0, 4));
  // Copies share neither the count, nor the implementation link, nor the state.
  Probe copy(*probe), assigned;
  assigned = *probe;
  for (const Probe* p : {&copy, &assigned}) {
    EXPECT_EQ(1u, p->GetRefCount());
    EXPECT_EQ(0, p->GetComponentState());
    EXPECT_EQ(p, p->GetImpl(-1));
  }
  EXPECT_TRUE(probe->Release() == 1u && !destroyed);
  EXPECT_TRUE(probe->Release() == 0u && destroyed);
}

TEST(KRNBaseUnknown, QueriesAndKinds) {
  Probe* probe = new Probe;
  void* answer = nullptr;
  EXPECT_EQ(S_OK, probe->QueryInterface(kTestIID, &answer));
  EXPECT_EQ(static_cast<KRNBaseUnknown*>(probe), answer);
  EXPECT_EQ(S_OK, probe->QueryInterface(IID_IUnknown, &answer));
  EXPECT_EQ(S_OK, probe->QueryInterface(IID_KRNBaseUnknown, &answer));  // the parent
  EXPECT_EQ(4u, probe->GetRefCount());
  EXPECT_TRUE(probe->QueryInterface(kChildIID, &answer) == E_NOINTERFACE && answer == nullptr);
  EXPECT_EQ(E_POINTER, probe->QueryInterface(kTestIID, nullptr));
  EXPECT_TRUE(probe->QueryInterface("KRNBaseUnknown") == probe && probe->QueryInterface("Other") == nullptr);
  EXPECT_EQ(5u, probe->GetRefCount());  // failed queries take no reference
  EXPECT_STREQ("Probe", probe->IsA());
  EXPECT_TRUE(probe->IsAKindOf("Probe") && probe->IsAKindOf("KRNBaseUnknown"));
  EXPECT_FALSE(probe->IsAKindOf("Other") || probe->IsAKindOf(nullptr));
  for (int i = 0; i < 5; ++i) probe->Release();
  KRNBaseUnknown base;
  EXPECT_STREQ("KRNBaseUnknown", base.IsA());
  EXPECT_FALSE(base.IsAKindOf("Probe"));
  // Our choice: no type information for automation.
  unsigned int count = 7;
  EXPECT_TRUE(base.GetTypeInfoCount(&count) == S_OK && count == 0u);
  EXPECT_EQ(E_POINTER, base.GetTypeInfoCount(nullptr));
  void* info = &count;
  EXPECT_TRUE(base.GetTypeInfo(0, 0, &info) == E_NOTIMPL && info == nullptr);
  EXPECT_EQ(E_NOTIMPL, base.GetIDsOfNames(kTestIID, nullptr, 0, 0, nullptr));
  EXPECT_EQ(E_NOTIMPL, base.Invoke(0, kTestIID, 0, 0, nullptr, nullptr, nullptr, nullptr));
}

TEST(KRNBaseUnknown, ImplementationLinksAndState) {
  KRNBaseUnknown a, b, c;
  EXPECT_EQ(&a, a.GetImpl(-1));
  a.SetImpl(&b);
  b.SetImpl(&c);
  const struct {
    int depth;
    KRNBaseUnknown* expected;
  } depths[] = {{0, &a}, {1, &b}, {2, &c}, {5, &c}, {-1, &c}};
  for (const auto& d : depths) EXPECT_EQ(d.expected, a.GetImpl(d.depth)) << d.depth;
  EXPECT_TRUE(a.IsEqual(&b) && a.IsEqual(&c));
  EXPECT_FALSE(a.IsEqual(nullptr));
  // A link closing a cycle is ignored: c still implements itself.
  c.SetImpl(&a);
  c.SetImpl(&b);
  EXPECT_EQ(&c, c.GetImpl(-1));
  // A null link makes a null object; two null objects are not equal.
  b.SetImpl(nullptr);
  EXPECT_TRUE(b.IsNull() && a.GetImpl(-1) == nullptr && a.GetImpl(1) == &b);
  EXPECT_FALSE(a.IsEqual(&b) || a.IsEqual(&c));
  b.SetImpl(&b);  // reset
  EXPECT_TRUE(!b.IsNull() && a.IsEqual(&b));
  // The component state changes only from the stated state.
  EXPECT_TRUE(!a.ChangeComponentState(1, 2) && a.GetComponentState() == 0);
  EXPECT_TRUE(a.ChangeComponentState(0, 2) && a.GetComponentState() == 2);
}

TEST(KRNMetaClass, KindsThroughParentAndFramework) {
  KRNMetaClass parent(kTestIID, "Parent", KRNBaseUnknown::MetaObject(), nullptr, 8);
  KRNMetaClass* child = new KRNMetaClass(kChildIID, "Child", &parent, KRNBaseUnknown::MetaObject(), 3);
  EXPECT_STREQ("", child->GetFWname());
  child->SetFWname("Framework");
  EXPECT_STREQ("Framework", child->GetFWname());
  EXPECT_TRUE(child->IsAKindOf("Child") && child->IsAKindOf("Parent") && child->IsAKindOf("KRNBaseUnknown"));
  EXPECT_TRUE(child->IsAKindOf(IID_KRNBaseUnknown));
  EXPECT_FALSE(parent.IsAKindOf("Child") || parent.IsAKindOf(kChildIID) || child->IsAKindOf(nullptr));
  delete child;  // the meta-class's own allocation operators
  EXPECT_EQ(nullptr, KRNBaseUnknown::MetaObject()->GetParent());
  EXPECT_STREQ("", KRNMetaClass(kTestIID, nullptr, nullptr, nullptr, 0).GetClassName());
}

TEST(KRNDictionary, EntriesAndInterfacesInRegistrationOrder) {
  const int entries = KRNInterfaceDictionary::GetEntryCount();
  const int interfaces = KRNInterfaceDictionary::GetInterfaceCount();
  KRNMetaClass meta(kTestIID, "DictionaryProbe", nullptr, nullptr, 8);
  int payload = 0;
  AddDictionary(kTestIID, CLSID_KRNMetaClass, "DictionaryProbe", "MetaObject", nullptr, &meta, nullptr, nullptr, 1, 0,
                2, &payload);
  AddDictionary(kTestIID, kChildIID, "DictionaryProbe", "Second", "libOther", &meta, "Impl", nullptr, 4, 5, 6, nullptr);
  ASSERT_EQ(entries + 2, KRNInterfaceDictionary::GetEntryCount());
  const KRNDictionaryEntry* first = KRNInterfaceDictionary::GetEntry(entries);
  const KRNDictionaryEntry* second = KRNInterfaceDictionary::GetEntry(entries + 1);
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(first->libraryName.empty() && first->implementationName.empty());  // null names: empty texts
  EXPECT_EQ(&payload, first->data);
  EXPECT_TRUE(second->entryName == "Second" && second->libraryName == "libOther");
  EXPECT_TRUE(second->implementationName == "Impl" && second->version == 6);
  EXPECT_EQ(first, KRNInterfaceDictionary::FindEntry(kTestIID, nullptr));
  EXPECT_EQ(second, KRNInterfaceDictionary::FindEntry(kTestIID, "Second"));
  EXPECT_EQ(nullptr, KRNInterfaceDictionary::FindEntry(kChildIID, nullptr));
  EXPECT_TRUE(!KRNInterfaceDictionary::GetEntry(-1) && !KRNInterfaceDictionary::GetEntry(entries + 2));

  EXPECT_EQ(nullptr, KRNInterfaceDictionary::FindInterface(kTestIID));  // entries are not registrations
  KRNFillDictionary fill(kTestIID, CLSID_KRNMetaClass, &meta, &payload);
  ASSERT_EQ(interfaces + 1, KRNInterfaceDictionary::GetInterfaceCount());
  const KRNInterfaceRecord* record = KRNInterfaceDictionary::GetInterface(interfaces);
  ASSERT_NE(nullptr, record);
  EXPECT_TRUE(record->interfaceId == kTestIID && record->classId == CLSID_KRNMetaClass);
  EXPECT_TRUE(record->metaClass == &meta && record->data == &payload);
  EXPECT_EQ(&meta, KRNInterfaceDictionary::FindInterface(kTestIID));
  EXPECT_EQ(&meta, KRNInterfaceDictionary::FindInterface("DictionaryProbe"));
  EXPECT_EQ(nullptr, KRNInterfaceDictionary::FindInterface("NoSuchInterface"));
  EXPECT_EQ(nullptr, KRNInterfaceDictionary::FindInterface(static_cast<const char*>(nullptr)));
  EXPECT_EQ(nullptr, KRNInterfaceDictionary::GetInterface(interfaces + 1));
}

TEST(KRNBaseUnknown_var, HandlesOwnOneReferenceAndCastByIdentifier) {
  bool destroyed = false;
  Probe* probe = new Probe(&destroyed);
  {
    KRNBaseUnknown_var a(probe);
    KRNBaseUnknown_var b(a);
    EXPECT_EQ(3u, probe->GetRefCount());
    KRNBaseUnknown_var c(std::move(b));
    EXPECT_TRUE(b.IsNull());
    KRNBaseUnknown_var& same = c;
    c = same;  // self-assignment keeps the reference
    EXPECT_EQ(3u, probe->GetRefCount());
    c = KRNBaseUnknown_var();
    EXPECT_EQ(2u, probe->GetRefCount());
    EXPECT_TRUE(probe == a.GetObject() && probe == a.operator->() && static_cast<bool>(a));
    Probe_var typed(probe);
    EXPECT_TRUE(typed.GetObject() == probe && probe->GetRefCount() == 3u);
    KRNBaseUnknown base;
    Probe_var refused(&base);  // a plain KRNBaseUnknown does not offer kTestIID
    EXPECT_TRUE(refused.IsNull() && base.GetRefCount() == 1u);
    EXPECT_TRUE(Probe_var(static_cast<IUnknown*>(nullptr)).IsNull());
  }
  EXPECT_EQ(1u, probe->GetRefCount());
  probe->Release();
  EXPECT_TRUE(destroyed);
}

}  // namespace
