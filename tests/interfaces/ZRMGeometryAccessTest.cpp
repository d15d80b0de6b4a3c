// The geometry access interfaces as a linked caller sees them: the meta-class held at load, and
// typed handles on a component that implements one of them. What loading registers is checked
// by the load test.
#include "KRNMetaClass.h"
#include "ZRMIUtGeometryAccess.h"
#include "ZRMIUtLineGeometryAccess.h"
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
  KRNMetaClass* GetMetaObject() const override {
    static KRNMetaClass* meta =
        new KRNMetaClass(kComponentIID, "Component", ZRMIUtGeometryAccess::MetaObject(), nullptr, 0);
    return meta;
  }
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

TEST(ZRMIUtGeometryAccess, MetaObjectHeldSinceLoad) {
  ASSERT_TRUE(ZRMIUtGeometryAccess::meta_object && ZRMIUtLineGeometryAccess::meta_object);  // created at load
  EXPECT_EQ(ZRMIUtGeometryAccess::meta_object, ZRMIUtGeometryAccess::MetaObject());
  EXPECT_EQ(ZRMIUtLineGeometryAccess::meta_object, ZRMIUtLineGeometryAccess::MetaObject());
  EXPECT_EQ(&ZRMIUtGeometryAccess::meta_object->GetClassId(), &ZRMIUtGeometryAccess::ClassId());  // held there
}

TEST(ZRMIUtGeometryAccess, HandlesTakeWhatTheComponentAnswers) {
  Component* component = new Component;
  {
    ZRMIUtGeometryAccess_var access(component);
    ASSERT_EQ(static_cast<KRNBaseUnknown*>(component), access.GetObject());
    const KRNMathTransformation shift(KRNMathVector(1, 2, 3));
    EXPECT_TRUE(!access->TransformGeometry(shift) && access->GetGeometry() == nullptr);  // no geometry yet
    ZRMUtPoint_Ptr point(new ZRMUtPoint(KRNMathPoint(1, 1, 1)));
    EXPECT_TRUE(access->SetGeometry(point.Ptr()) && access->TransformGeometry(shift));
    ZRMUtGeometry_Ptr exposed(const_cast<ZRMUtGeometry*>(access->GetGeometry()));
    ASSERT_TRUE(exposed && exposed->AsPoint());
    EXPECT_EQ(4.0, exposed->AsPoint()->Point().z);
    EXPECT_EQ(1.0, point->Point().z);  // the caller's geometry is not moved

    EXPECT_TRUE(ZRMIUtLineGeometryAccess_var(component).IsNull());  // not offered
    const KRNBaseUnknown_var untyped(component);
    ZRMIUtGeometryAccess_var fromUntyped(untyped), other;
    EXPECT_TRUE(fromUntyped.GetObject() == component && other.IsNull());
    other = static_cast<IUnknown*>(component);
    EXPECT_EQ(static_cast<KRNBaseUnknown*>(component), other.GetObject());
    EXPECT_EQ(5u, component->GetRefCount());  // access, untyped, fromUntyped, other and the creator
    EXPECT_TRUE(component->IsAKindOf("ZRMIUtGeometryAccess") && !component->IsAKindOf("ZRMIUtLineGeometryAccess"));
  }
  EXPECT_EQ(1u, component->GetRefCount());
  component->Release();
}

}  // namespace
