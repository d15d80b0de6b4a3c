// Iterator register: O(1) add/remove in any order, safe walk while removing, release on
// destruction of either side.
#include "ZRMUtIteratorTracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

struct Probe final : ZRMUtTrackedIterator {
  explicit Probe(int id) : id(id) {}
  void ReleaseContainer() noexcept override { released = true; }
  int id;
  bool released = false;
};

std::set<int> Registered(const ZRMUtIteratorTracker& tracker) {
  std::set<int> ids;
  for (ZRMUtTrackedIterator* it = tracker.FirstIter(); it != nullptr; it = tracker.NextIter(it))
    ids.insert(static_cast<Probe*>(it)->id);
  return ids;
}

TEST(IteratorTracker, RandomAddAndRemoveMatchModel) {
  std::mt19937 random(11);
  ZRMUtIteratorTracker tracker;
  std::vector<std::unique_ptr<Probe>> probes;
  for (int id = 0; id < 64; ++id) probes.push_back(std::make_unique<Probe>(id));
  std::set<int> model;
  for (int step = 0; step < 5000; ++step) {
    const int id = static_cast<int>(random() % 64);
    if (random() % 2 == 0) {
      tracker.AddIterator(probes[static_cast<size_t>(id)].get());
      model.insert(id);
    } else {
      tracker.RemoveIterator(probes[static_cast<size_t>(id)].get());  // may not be registered
      model.erase(id);
    }
    if (step % 100 == 0) {
      ASSERT_TRUE(tracker.CheckInvariants());
      ASSERT_EQ(Registered(tracker), model);
    }
  }
  EXPECT_EQ(tracker.GetIteratorNumber(), static_cast<int>(model.size()));
}

TEST(IteratorTracker, SafeWalkRemovingEveryOther) {
  ZRMUtIteratorTracker tracker;
  std::vector<std::unique_ptr<Probe>> probes;
  for (int id = 0; id < 10; ++id) {
    probes.push_back(std::make_unique<Probe>(id));
    tracker.AddIterator(probes.back().get());
  }
  for (ZRMUtTrackedIterator* it = tracker.FirstIter(); it != nullptr;) {
    ZRMUtTrackedIterator* next = tracker.NextIter(it);
    if (static_cast<Probe*>(it)->id % 2 == 0) tracker.RemoveIterator(it);
    it = next;
  }
  EXPECT_EQ(Registered(tracker), std::set<int>({1, 3, 5, 7, 9}));
  EXPECT_TRUE(tracker.CheckInvariants());
  for (const auto& probe : probes) EXPECT_EQ(probe->GetTracker() != nullptr, probe->id % 2 == 1);
}

TEST(IteratorTracker, DestroyedIteratorLeavesItsRegister) {
  ZRMUtIteratorTracker tracker;
  Probe kept(1);
  tracker.AddIterator(&kept);
  {
    Probe transient(2);
    tracker.AddIterator(&transient);
    EXPECT_EQ(tracker.GetIteratorNumber(), 2);
  }
  EXPECT_EQ(Registered(tracker), std::set<int>({1}));
  EXPECT_TRUE(tracker.CheckInvariants());
}

TEST(IteratorTracker, DestroyedRegisterReleasesItsIterators) {
  Probe a(1);
  Probe b(2);
  {
    ZRMUtIteratorTracker tracker;
    tracker.AddIterator(&a);
    tracker.AddIterator(&b);
  }
  EXPECT_TRUE(a.released);
  EXPECT_TRUE(b.released);
  EXPECT_EQ(a.GetTracker(), nullptr);
  EXPECT_EQ(b.GetTracker(), nullptr);
}

TEST(IteratorTracker, AddingToAnotherRegisterMovesTheIterator) {
  ZRMUtIteratorTracker first;
  ZRMUtIteratorTracker second;
  Probe probe(1);
  first.AddIterator(&probe);
  first.AddIterator(&probe);  // twice: still once
  EXPECT_EQ(first.GetIteratorNumber(), 1);
  second.AddIterator(&probe);
  EXPECT_EQ(first.GetIteratorNumber(), 0);
  EXPECT_EQ(second.GetIteratorNumber(), 1);
  EXPECT_EQ(probe.GetTracker(), &second);
  first.RemoveIterator(&probe);  // not there: no change
  EXPECT_EQ(second.GetIteratorNumber(), 1);
  EXPECT_TRUE(first.CheckInvariants());
  EXPECT_TRUE(second.CheckInvariants());
}

TEST(IteratorTracker, CopyOfTrackedIteratorStartsUnregistered) {
  ZRMUtIteratorTracker tracker;
  Probe original(1);
  tracker.AddIterator(&original);
  Probe copy(original);
  EXPECT_EQ(copy.GetTracker(), nullptr);
  Probe assigned(3);
  assigned = original;
  EXPECT_EQ(assigned.GetTracker(), nullptr);
  EXPECT_EQ(tracker.GetIteratorNumber(), 1);
}

TEST(IteratorTracker, ReleaseAllEmptiesTheRegister) {
  ZRMUtIteratorTracker tracker;
  Probe a(1);
  Probe b(2);
  tracker.AddIterator(&a);
  tracker.AddIterator(&b);
  tracker.ReleaseAll();
  EXPECT_EQ(tracker.FirstIter(), nullptr);
  EXPECT_EQ(tracker.GetIteratorNumber(), 0);
  EXPECT_TRUE(a.released && b.released);
}

}  // namespace
