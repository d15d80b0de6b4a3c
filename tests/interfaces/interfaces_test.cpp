// The platform's component model as the library uses it (identifiers, reference counting,
// interface queries, implementation links, meta-classes, the dictionary, typed handles) and the
// geometry access interfaces as a linked caller sees them. What loading registers is checked by
// interfaces_load_test.cpp.
#include "KRNBaseUnknown_var.h"
#include "KRNDictionary.h"
#include "KRNMetaClass.h"
#include "ZRMIUtGeometryAccess.h"
#include "ZRMIUtLineGeometryAccess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr IID kTestIID = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};
constexpr IID kChildIID = {0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBC}};

// A component implementing ZRMIUtGeometryAccess (holding no geometry), with a meta-class of its
// own; it tells when it is destroyed.
class Component : public ZRMIUtGeometryAccess {
public:
  explicit Component(bool* destroyed = nullptr) : mDestroyed(destroyed) {}
  ~Component() override {
    if (mDestroyed) *mDestroyed = true;
  }
  KRNMetaClass* GetMetaObject() const override {
    static KRNMetaClass* meta = new KRNMetaClass(kTestIID, "Component", ZRMIUtGeometryAccess::MetaObject(), nullptr, 0);
    return meta;
  }
  const ZRMUtGeometry* GetGeometry() const override { return nullptr; }
  bool SetGeometry(const ZRMUtGeometry*) override { return false; }
  bool TransformGeometry(const KRNMathTransformation&) override { return false; }

private:
  bool* mDestroyed;
};

// Identifiers compare field by field (Data1 first, each field as a number).
TEST(KRNGUID, EqualityAndOrder) {
  for (int k = 0; k < 16; ++k) {  // any one byte raised: a later identifier
    GUID b = kTestIID;
    reinterpret_cast<unsigned char*>(&b)[k] += 1;
    EXPECT_TRUE(kTestIID != b && kTestIID < b && !(b < kTestIID) && !(kTestIID == b)) << k;
  }
  const GUID low = {1, 0x2222, 0x3333, {0xFF}}, high = {2, 0x2222, 0x3333, {}};  // Data1 decides first
  EXPECT_TRUE(low < high && kTestIID == GUID(kTestIID) && !(kTestIID < kTestIID));
}

// Counts, copies (which share neither count, link nor state), queries (by identifier: this
// class, its parents, IUnknown; by name), kinds, implementation links (a link closing a cycle is
// ignored; a null link makes a null object) and the component state.
TEST(KRNBaseUnknown, CountsQueriesKindsAndLinks) {
  bool destroyed = false;
  Component* component = new Component(&destroyed);
  void* answer = nullptr;
  EXPECT_TRUE(component->GetRefCount() == 1 && component->AddRef() == 2 && component->ChangeComponentState(0, 4));
  for (const IID& iid : {kTestIID, ZRMIUtGeometryAccess::ClassId(), IID_KRNBaseUnknown, IID_IUnknown})
    EXPECT_TRUE(component->QueryInterface(iid, &answer) == S_OK && answer == static_cast<KRNBaseUnknown*>(component));
  EXPECT_TRUE(component->QueryInterface(kChildIID, &answer) == E_NOINTERFACE && !answer &&
              component->QueryInterface(kTestIID, nullptr) == E_POINTER);
  EXPECT_TRUE(component->QueryInterface("KRNBaseUnknown") == component && !component->QueryInterface("Other") &&
              component->GetRefCount() == 7);
  EXPECT_TRUE(component->IsAKindOf("ZRMIUtGeometryAccess") && !component->IsAKindOf("ZRMIUtLineGeometryAccess") &&
              !component->IsAKindOf(nullptr));
  EXPECT_STREQ(component->IsA(), "Component");
  Component copy(*component), assigned;
  assigned = *component;
  for (const Component* c : {&copy, &assigned})
    EXPECT_TRUE(c->GetRefCount() == 1 && c->GetComponentState() == 0 && c->GetImpl(-1) == c);
  for (int i = 0; i < 6; ++i) component->Release();
  EXPECT_TRUE(component->Release() == 0 && destroyed);
  KRNBaseUnknown a, b, c;
  a.SetImpl(&b);
  b.SetImpl(&c);
  c.SetImpl(&a);  // would close a cycle: ignored
  EXPECT_TRUE(a.GetImpl(0) == &a && a.GetImpl(1) == &b && a.GetImpl(5) == &c && a.GetImpl(-1) == &c &&
              c.GetImpl(-1) == &c && a.IsEqual(&c));
  b.SetImpl(nullptr);
  EXPECT_TRUE(b.IsNull() && !a.GetImpl(-1) && !a.IsEqual(&b) && !a.IsEqual(nullptr));
  EXPECT_TRUE(!a.ChangeComponentState(1, 2) && a.GetComponentState() == 0 && a.ChangeComponentState(0, 2) &&
              a.GetComponentState() == 2);
}

// Meta-classes are kinds of themselves and of every class up their parent chain (by name and by
// identifier); the dictionary keeps entries and interface registrations apart, in registration
// order.
TEST(KRNMetaClass, KindsAndTheDictionary) {
  KRNMetaClass parent(kTestIID, "Parent", KRNBaseUnknown::MetaObject(), nullptr, 8);
  KRNMetaClass child(kChildIID, "Child", &parent, KRNBaseUnknown::MetaObject(), 3);
  EXPECT_TRUE(child.IsAKindOf("Parent") && child.IsAKindOf(IID_KRNBaseUnknown) && !parent.IsAKindOf(kChildIID) &&
              !child.IsAKindOf(nullptr));
  EXPECT_FALSE(KRNBaseUnknown::MetaObject()->GetParent());
  const int entries = KRNInterfaceDictionary::GetEntryCount(), interfaces = KRNInterfaceDictionary::GetInterfaceCount();
  int payload = 0;
  AddDictionary(kTestIID, CLSID_KRNMetaClass, "Probe", "MetaObject", nullptr, &parent, nullptr, nullptr, 1, 0, 2,
                &payload);
  AddDictionary(kTestIID, kChildIID, "Probe", "Second", "libOther", &parent, "Impl", nullptr, 4, 5, 6, nullptr);
  const KRNDictionaryEntry *first = KRNInterfaceDictionary::GetEntry(entries),
                           *second = KRNInterfaceDictionary::GetEntry(entries + 1);
  ASSERT_TRUE(first && second && !KRNInterfaceDictionary::GetEntry(entries + 2) &&
              !KRNInterfaceDictionary::GetEntry(-1));
  EXPECT_TRUE(first->libraryName.empty() && first->data == &payload && second->libraryName == "libOther" &&
              second->version == 6);
  EXPECT_TRUE(KRNInterfaceDictionary::FindEntry(kTestIID, nullptr) == first &&
              KRNInterfaceDictionary::FindEntry(kTestIID, "Second") == second);
  EXPECT_TRUE(!KRNInterfaceDictionary::FindInterface(kTestIID) &&
              !KRNInterfaceDictionary::FindEntry(kChildIID, nullptr));
  KRNFillDictionary fill(kTestIID, CLSID_KRNMetaClass, &parent, &payload);
  const KRNInterfaceRecord* record = KRNInterfaceDictionary::GetInterface(interfaces);
  ASSERT_TRUE(record && KRNInterfaceDictionary::GetInterfaceCount() == interfaces + 1 && record->data == &payload);
  EXPECT_TRUE(KRNInterfaceDictionary::FindInterface(kTestIID) == &parent &&
              KRNInterfaceDictionary::FindInterface("Parent") == &parent);
  EXPECT_TRUE(!KRNInterfaceDictionary::FindInterface("NoSuchInterface") &&
              !KRNInterfaceDictionary::FindInterface(static_cast<const char*>(nullptr)));
}

// Typed handles own one reference each and take only what the component answers for their
// interface.
TEST(ZRMIUtGeometryAccess, HandlesOnAComponent) {
  ASSERT_TRUE(ZRMIUtGeometryAccess::meta_object &&
              ZRMIUtGeometryAccess::meta_object == ZRMIUtGeometryAccess::MetaObject());  // held since load
  EXPECT_EQ(ZRMIUtLineGeometryAccess::meta_object, ZRMIUtLineGeometryAccess::MetaObject());
  Component* component = new Component();
  {
    ZRMIUtGeometryAccess_var access(component), other;
    EXPECT_TRUE(access.operator->() == component && other.IsNull());
    EXPECT_TRUE(ZRMIUtLineGeometryAccess_var(component).IsNull());  // not offered
    KRNBaseUnknown_var untyped(component), moved(std::move(untyped));
    other = static_cast<IUnknown*>(component);
    EXPECT_TRUE(untyped.IsNull() && ZRMIUtGeometryAccess_var(moved).GetObject() == component &&
                other.GetObject() == component);
    EXPECT_EQ(component->GetRefCount(), 4u);  // the creator, access, moved, other
    moved = KRNBaseUnknown_var();
    KRNBaseUnknown base;
    EXPECT_TRUE(component->GetRefCount() == 3 && ZRMIUtGeometryAccess_var(&base).IsNull() && base.GetRefCount() == 1);
  }
  EXPECT_EQ(component->Release(), 0u);
}

}  // namespace
