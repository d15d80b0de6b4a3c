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

void AddRefs(ZRMUtSmartBase* object, int count) {
  for (int i = 0; i < count; ++i) ZRMUtIntrusivePtrAddRef(object);
}
void Releases(ZRMUtSmartBase* object, int count) {
  for (int i = 0; i < count; ++i) ZRMUtIntrusivePtrRelease(object);
}

TEST(SmartBase, LastReleaseDestroysThroughVirtualDestructorAndLiveCountFollows) {
  const long before = ZRMUtSmartBase::LiveObjectCount();
  int alive = 0;
  ZRMUtSmartBase* object = new Counted(&alive);
  EXPECT_EQ(object->GetRefCount(), 0);
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before + 1);
  ZRMUtIntrusivePtrAddRef(nullptr);  // null does nothing (a crash would end the run)
  ZRMUtIntrusivePtrRelease(nullptr);
  AddRefs(object, 2);
  EXPECT_EQ(object->GetRefCount(), 2);
  Releases(object, 1);
  EXPECT_EQ(alive, 1);
  EXPECT_EQ(object->GetRefCount(), 1);
  Releases(object, 1);
  EXPECT_EQ(alive, 0);  // the derived destructor ran
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before);
}

TEST(SmartBase, CopyStartsWithoutReferencesAndAssignmentKeepsTheTargetsCount) {
  int alive = 0;
  Counted* original = new Counted(&alive);
  AddRefs(original, 3);
  Counted* copy = new Counted(*original);
  EXPECT_EQ(copy->GetRefCount(), 0);
  AddRefs(copy, 1);
  *copy = *original;
  EXPECT_EQ(copy->GetRefCount(), 1);
  EXPECT_EQ(original->GetRefCount(), 3);
  Releases(copy, 1);
  EXPECT_EQ(alive, 1);  // the copy went with its own last reference
  Releases(original, 3);
  EXPECT_EQ(alive, 0);
}

}  // namespace
