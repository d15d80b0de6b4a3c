// The two geometry access interfaces as a linked caller sees them: identifiers, names,
// meta-classes, registration, and typed handles on a component that implements one of them.
#include "KRNDictionary.h"
#include "KRNMetaClass.h"
#include "ZRMIUtGeometryAccess.h"
#include "ZRMIUtLineGeometryAccess.h"
#include "ZRMMathematics.h"
#include "ZRMUtGeometry.h"
#include "ZRMUtPoint.h"

#include "KRNMathTransformation.h"

#include <gtest/gtest.h>

namespace {

constexpr IID kComponentIID = {0x5E6F7A8B, 0x1C2D, 0x4E3F, {0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07}};

// A component implementing ZRMIUtGeometryAccess: it exposes its own copy of the geometry it is
// given and moves that copy.
class Component : public ZRMIUtGeometryAccess {
public:
  static KRNMetaClass* Meta() {
    static KRNMetaClass* meta =
        new KRNMetaClass(kComponentIID, "Component", ZRMIUtGeometryAccess::MetaObject(), nullptr, 0);
    return meta;
  }
  KRNMetaClass* GetMetaObject() const override { return Meta(); }

  const ZRMUtGeometry* GetGeometry() const override { return mGeometry.Ptr(); }
  bool SetGeometry(const ZRMUtGeometry* geometry) override {
    mGeometry = geometry ? geometry->Clone() : ZRMUtGeometry_Ptr();
    return true;
  }
  bool TransformGeometry(const KRNMathTransformation& transformation) override {
    if (!mGeometry) return false;
    mGeometry->ApplyTransformation(transformation);
    return true;
  }

private:
  ZRMUtGeometry_Ptr mGeometry;
};

void ExpectIID(const IID& iid, unsigned int d1, unsigned short d2, unsigned short d3,
               std::initializer_list<unsigned char> d4) {
  EXPECT_EQ(d1, iid.Data1);
  EXPECT_EQ(d2, iid.Data2);
  EXPECT_EQ(d3, iid.Data3);
  int i = 0;
  for (unsigned char byte : d4) EXPECT_EQ(byte, iid.Data4[i++]) << i;
}

TEST(ZRMIUtGeometryAccess, IdentifiersHaveTheirValues) {
  ExpectIID(IID_ZRMIUtGeometryAccess, 0x2B096CC7, 0x1E50, 0x4D74, {0xB5, 0x76, 0xBB, 0xC5, 0xD0, 0x64, 0xF7, 0xC7});
  ExpectIID(IID_ZRMIUtLineGeometryAccess, 0x0340F1E9, 0xB892, 0x46DB,
            {0x8B, 0x4D, 0x64, 0x46, 0xB6, 0xAD, 0xFD, 0x08});
}

TEST(ZRMIUtGeometryAccess, ClassIdNameAndMetaObject) {
  EXPECT_TRUE(ZRMIUtGeometryAccess::ClassId() == IID_ZRMIUtGeometryAccess);
  EXPECT_STREQ("ZRMIUtGeometryAccess", ZRMIUtGeometryAccess::ClassName());
  EXPECT_TRUE(ZRMIUtLineGeometryAccess::ClassId() == IID_ZRMIUtLineGeometryAccess);
  EXPECT_STREQ("ZRMIUtLineGeometryAccess", ZRMIUtLineGeometryAccess::ClassName());

  // Created at load: the static member already holds the object every call returns.
  KRNMetaClass* meta = ZRMIUtGeometryAccess::meta_object;
  ASSERT_NE(nullptr, meta);
  EXPECT_EQ(meta, ZRMIUtGeometryAccess::MetaObject());
  EXPECT_EQ(meta, ZRMIUtGeometryAccess::MetaObject());
  EXPECT_EQ(&meta->GetClassId(), &ZRMIUtGeometryAccess::ClassId());  // held by the meta-class
  KRNMetaClass* lineMeta = ZRMIUtLineGeometryAccess::meta_object;
  ASSERT_NE(nullptr, lineMeta);
  EXPECT_EQ(lineMeta, ZRMIUtLineGeometryAccess::MetaObject());
  EXPECT_NE(meta, lineMeta);

  for (KRNMetaClass* m : {meta, lineMeta}) {
    EXPECT_EQ(KRNBaseUnknown::MetaObject(), m->GetParent());
    EXPECT_EQ(nullptr, m->GetSecondMetaClass());
    EXPECT_EQ(8, m->GetClassKind());
    EXPECT_STREQ("ZRMMathematicsExt", m->GetFWname());
    EXPECT_TRUE(m->IsAKindOf("KRNBaseUnknown"));
  }
  EXPECT_FALSE(lineMeta->IsAKindOf("ZRMIUtGeometryAccess"));
  EXPECT_FALSE(meta->IsAKindOf("ZRMIUtLineGeometryAccess"));
}

TEST(ZRMIUtGeometryAccess, RegisteredInTheDictionary) {
  EXPECT_EQ(ZRMIUtGeometryAccess::MetaObject(), KRNInterfaceDictionary::FindInterface(IID_ZRMIUtGeometryAccess));
  EXPECT_EQ(ZRMIUtLineGeometryAccess::MetaObject(),
            KRNInterfaceDictionary::FindInterface(IID_ZRMIUtLineGeometryAccess));
  const KRNDictionaryEntry* entry = KRNInterfaceDictionary::FindEntry(IID_ZRMIUtGeometryAccess, "MetaObject");
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ(ZRMIUtGeometryAccess::MetaObject(), entry->metaClass);
  EXPECT_EQ("ZRMIUtGeometryAccess", entry->className);
}

TEST(ZRMIUtGeometryAccess, HandlesTakeWhatTheComponentAnswers) {
  Component* component = new Component;
  {
    ZRMIUtGeometryAccess_var access(component);
    ASSERT_FALSE(access.IsNull());
    EXPECT_EQ(static_cast<KRNBaseUnknown*>(component), access.GetObject());
    EXPECT_EQ(2u, component->GetRefCount());
    const KRNMathTransformation shift(KRNMathVector(1, 2, 3));
    EXPECT_FALSE(access->TransformGeometry(shift));  // no geometry yet
    EXPECT_EQ(nullptr, access->GetGeometry());
    ZRMUtPoint_Ptr point(new ZRMUtPoint(KRNMathPoint(1, 1, 1)));
    EXPECT_TRUE(access->SetGeometry(point.Ptr()));
    EXPECT_TRUE(access->TransformGeometry(shift));
    ASSERT_NE(nullptr, access->GetGeometry());
    ZRMUtGeometry_Ptr exposed(const_cast<ZRMUtGeometry*>(access->GetGeometry()));
    ASSERT_NE(nullptr, exposed->AsPoint());
    EXPECT_EQ(4.0, exposed->AsPoint()->Point().z);
    EXPECT_EQ(1.0, point->Point().z);  // the caller's geometry is not moved

    ZRMIUtLineGeometryAccess_var line(component);  // the component does not offer it
    EXPECT_TRUE(line.IsNull());
    const KRNBaseUnknown_var untyped(component);
    ZRMIUtGeometryAccess_var fromUntyped(untyped);
    EXPECT_EQ(static_cast<KRNBaseUnknown*>(component), fromUntyped.GetObject());
    ZRMIUtGeometryAccess_var other;
    EXPECT_TRUE(other.IsNull());
    other = static_cast<IUnknown*>(component);
    EXPECT_EQ(static_cast<KRNBaseUnknown*>(component), other.GetObject());
    EXPECT_EQ(5u, component->GetRefCount());  // access, untyped, fromUntyped, other and the creator
    EXPECT_TRUE(component->IsAKindOf("ZRMIUtGeometryAccess"));
    EXPECT_FALSE(component->IsAKindOf("ZRMIUtLineGeometryAccess"));
  }
  EXPECT_EQ(1u, component->GetRefCount());
  component->Release();
}

TEST(ZRMMathematics, MarkerReturnsOne) { EXPECT_EQ(1, ZRMMathematicsMarker()); }

}  // namespace
