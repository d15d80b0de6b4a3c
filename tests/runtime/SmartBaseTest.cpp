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

TEST(SmartBase, LastReleaseDestroysThroughTheBaseCopiesStartWithoutReferencesAssignmentKeepsCounts) {
  const long before = ZRMUtSmartBase::LiveObjectCount();
  int alive = 0;
  Counted* original = new Counted(&alive);
  EXPECT_EQ(original->GetRefCount(), 0);
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before + 1);
  ZRMUtIntrusivePtrAddRef(nullptr);  // null does nothing (a crash would end the run)
  ZRMUtIntrusivePtrRelease(nullptr);
  for (int i = 0; i < 3; ++i) ZRMUtIntrusivePtrAddRef(original);
  Counted* copy = new Counted(*original);
  EXPECT_EQ(copy->GetRefCount(), 0);
  ZRMUtIntrusivePtrAddRef(copy);
  *copy = *original;
  EXPECT_EQ(copy->GetRefCount(), 1);
  EXPECT_EQ(original->GetRefCount(), 3);
  ZRMUtIntrusivePtrRelease(static_cast<ZRMUtSmartBase*>(copy));
  EXPECT_EQ(alive, 1);  // the copy went with its own last reference, through the base
  ZRMUtIntrusivePtrRelease(original);
  EXPECT_EQ(original->GetRefCount(), 2);
  for (int i = 0; i < 2; ++i) ZRMUtIntrusivePtrRelease(original);
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), before);
}

}  // namespace
