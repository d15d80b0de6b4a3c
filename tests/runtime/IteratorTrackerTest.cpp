// Iterator register: add/remove in any order against a model, safe walk while removing,
// registration of copies and moves between registers, release on destruction of either side.
#include "ZRMUtIteratorTracker.h"

#include <gtest/gtest.h>

#include <iterator>
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

TEST(IteratorTracker, RandomAddAndRemoveMatchModelThenSafeWalkRemovesEveryEvenId) {
  std::mt19937 random(11);
  ZRMUtIteratorTracker tracker;
  std::vector<std::unique_ptr<Probe>> probes;
  for (int id = 0; id < 64; ++id) probes.push_back(std::make_unique<Probe>(id));
  std::set<int> model;
  for (int step = 0; step < 5000; ++step) {
    const int id = static_cast<int>(random() % 64);
    if (random() % 2 == 0) {
      tracker.AddIterator(probes[static_cast<size_t>(id)].get());  // may be registered already
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

  for (ZRMUtTrackedIterator* it = tracker.FirstIter(); it != nullptr;) {
    ZRMUtTrackedIterator* next = tracker.NextIter(it);
    if (static_cast<Probe*>(it)->id % 2 == 0) tracker.RemoveIterator(it);
    it = next;
  }
  for (auto it = model.begin(); it != model.end();) it = *it % 2 == 0 ? model.erase(it) : std::next(it);
  EXPECT_EQ(Registered(tracker), model);
  EXPECT_TRUE(tracker.CheckInvariants());
  for (const auto& probe : probes) EXPECT_EQ(probe->GetTracker() != nullptr, model.count(probe->id) == 1);
}

TEST(IteratorTracker, RegistrationFollowsObjectsAndRegisters) {
  Probe released1(1);
  Probe released2(2);
  {
    ZRMUtIteratorTracker first;
    ZRMUtIteratorTracker second;
    Probe moving(3);
    first.AddIterator(&moving);
    second.AddIterator(&moving);  // adding to another register moves it
    EXPECT_EQ(first.GetIteratorNumber(), 0);
    EXPECT_EQ(moving.GetTracker(), &second);
    first.RemoveIterator(&moving);  // not there: no change
    EXPECT_EQ(second.GetIteratorNumber(), 1);

    Probe copy(moving);  // copies start unregistered, assignment keeps the target's state
    EXPECT_EQ(copy.GetTracker(), nullptr);
    Probe assigned(4);
    assigned = moving;
    EXPECT_EQ(assigned.GetTracker(), nullptr);
    {
      Probe transient(5);
      second.AddIterator(&transient);
      EXPECT_EQ(second.GetIteratorNumber(), 2);
    }
    EXPECT_EQ(Registered(second), std::set<int>({3}));  // a destroyed iterator leaves
    second.ReleaseAll();
    EXPECT_TRUE(moving.released);
    EXPECT_EQ(second.FirstIter(), nullptr);
    EXPECT_EQ(second.GetIteratorNumber(), 0);
    first.AddIterator(&released1);
    first.AddIterator(&released2);
    EXPECT_TRUE(first.CheckInvariants() && second.CheckInvariants());
  }
  EXPECT_TRUE(released1.released && released2.released);  // a destroyed register releases
  EXPECT_EQ(released1.GetTracker(), nullptr);
  EXPECT_EQ(released2.GetTracker(), nullptr);
}

}  // namespace
