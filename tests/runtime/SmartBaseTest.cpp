// Intrusive reference counting of ZRMUtSmartBase.
#include "ZRMUtSmartBase.h"

#include <gtest/gtest.h>

namespace {

// Counts how many objects are alive, to observe destruction through the base.
struct Counted : ZRMUtSmartBase {
  explicit Counted(int* alive) : alive(alive) { ++*alive; }
  Counted(const Counted& other) : ZRMUtSmartBase(other), alive(other.alive) { ++*alive; }
  Counted& operator=(const Counted&) = default;
  ~Counted() override { --*alive; }
  int* alive;
};

TEST(SmartBase, LastReleaseDestroysThroughVirtualDestructor) {
  int alive = 0;
  ZRMUtSmartBase* object = new Counted(&alive);
  EXPECT_EQ(object->GetRefCount(), 0);
  ZRMUtIntrusivePtrAddRef(nullptr);  // null does nothing (a crash would end the run)
  ZRMUtIntrusivePtrRelease(nullptr);
  EXPECT_EQ(alive, 1);
  ZRMUtIntrusivePtrAddRef(object);
  ZRMUtIntrusivePtrAddRef(object);
  EXPECT_EQ(object->GetRefCount(), 2);
  ZRMUtIntrusivePtrRelease(object);
  EXPECT_EQ(alive, 1);
  EXPECT_EQ(object->GetRefCount(), 1);
  ZRMUtIntrusivePtrRelease(object);
  EXPECT_EQ(alive, 0);  // the derived destructor ran
}

TEST(SmartBase, LiveObjectCountFollowsConstructionAndDestruction) {
  const long before = ZRMUtSmartBase::LiveObjectCount();
  int alive = 0;
  Counted* object = new Counted(&alive);
  Counted* copy = new Counted(*object);
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before + 2);
  ZRMUtIntrusivePtrAddRef(object);
  ZRMUtIntrusivePtrRelease(object);
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before + 1);
  delete copy;
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before);
}

TEST(SmartBase, CopyStartsWithoutReferences) {
  int alive = 0;
  Counted* original = new Counted(&alive);
  ZRMUtIntrusivePtrAddRef(original);
  ZRMUtIntrusivePtrAddRef(original);
  Counted* copy = new Counted(*original);
  EXPECT_EQ(copy->GetRefCount(), 0);
  ZRMUtIntrusivePtrAddRef(copy);
  ZRMUtIntrusivePtrRelease(copy);
  EXPECT_EQ(alive, 1);  // the copy went with its own last reference
  ZRMUtIntrusivePtrRelease(original);
  ZRMUtIntrusivePtrRelease(original);
  EXPECT_EQ(alive, 0);
}

TEST(SmartBase, AssignmentKeepsTheTargetsCount) {
  int alive = 0;
  Counted* source = new Counted(&alive);
  Counted* target = new Counted(&alive);
  for (int i = 0; i < 3; ++i) ZRMUtIntrusivePtrAddRef(source);
  ZRMUtIntrusivePtrAddRef(target);
  *target = *source;
  EXPECT_EQ(target->GetRefCount(), 1);
  EXPECT_EQ(source->GetRefCount(), 3);
  ZRMUtIntrusivePtrRelease(target);
  EXPECT_EQ(alive, 1);
  for (int i = 0; i < 3; ++i) ZRMUtIntrusivePtrRelease(source);
  EXPECT_EQ(alive, 0);
}

}  // namespace
