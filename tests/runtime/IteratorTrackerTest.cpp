// Iterator registers: add/remove in any order and between two registers against a model, safe
// walk while removing, copies and assignments of iterators, release on destruction of either
// side.
#include "ZRMUtIteratorTracker.h"

#include <gtest/gtest.h>

#include <array>
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
  std::array<ZRMUtIteratorTracker, 2> trackers;
  std::vector<std::unique_ptr<Probe>> probes;
  for (int id = 0; id < 64; ++id) probes.push_back(std::make_unique<Probe>(id));
  std::array<std::set<int>, 2> models;
  for (int step = 0; step < 5000; ++step) {
    const int id = static_cast<int>(random() % 64);
    const unsigned roll = random() % 4;
    ZRMUtIteratorTracker& tracker = trackers[roll / 2];
    std::set<int>& model = models[roll / 2];
    if (roll % 2 == 0) {
      tracker.AddIterator(probes[static_cast<size_t>(id)].get());  // may be registered here already, or there: moves
      models[1 - roll / 2].erase(id);
      model.insert(id);
    } else {
      tracker.RemoveIterator(probes[static_cast<size_t>(id)].get());  // may not be registered here
      model.erase(id);
    }
    if (step % 100 == 0) {
      for (int which : {0, 1}) {
        ASSERT_TRUE(trackers[which].CheckInvariants());
        ASSERT_EQ(Registered(trackers[which]), models[which]);
        ASSERT_EQ(trackers[which].GetIteratorNumber(), static_cast<int>(models[which].size()));
      }
    }
  }

  ZRMUtIteratorTracker& tracker = trackers[0];
  for (ZRMUtTrackedIterator* it = tracker.FirstIter(); it != nullptr;) {
    ZRMUtTrackedIterator* next = tracker.NextIter(it);
    if (static_cast<Probe*>(it)->id % 2 == 0) tracker.RemoveIterator(it);
    it = next;
  }
  std::set<int> odd;
  for (int id : models[0])
    if (id % 2 == 1) odd.insert(id);
  EXPECT_EQ(Registered(tracker), odd);
  EXPECT_TRUE(tracker.CheckInvariants());
  for (const auto& probe : probes)
    EXPECT_EQ(probe->GetTracker(), odd.count(probe->id)         ? &trackers[0]
                                   : models[1].count(probe->id) ? &trackers[1]
                                                                : nullptr);
}

TEST(IteratorTracker, CopiesStartUnregisteredAndDestructionOfEitherSideReleases) {
  Probe released1(1);
  Probe released2(2);
  {
    ZRMUtIteratorTracker first;
    ZRMUtIteratorTracker second;
    Probe moving(3);
    second.AddIterator(&moving);
    Probe copy(moving);  // copies start unregistered, assignment keeps the target's state
    Probe assigned(4);
    assigned = moving;
    EXPECT_TRUE(copy.GetTracker() == nullptr && assigned.GetTracker() == nullptr);
    {
      Probe transient(5);
      second.AddIterator(&transient);
      EXPECT_EQ(second.GetIteratorNumber(), 2);
    }
    EXPECT_EQ(Registered(second), std::set<int>({3}));  // a destroyed iterator leaves
    second.ReleaseAll();
    EXPECT_TRUE(moving.released);
    EXPECT_TRUE(second.FirstIter() == nullptr && second.GetIteratorNumber() == 0);
    first.AddIterator(&released1);
    first.AddIterator(&released2);
  }
  EXPECT_TRUE(released1.released && released2.released);  // a destroyed register releases
  EXPECT_TRUE(released1.GetTracker() == nullptr && released2.GetTracker() == nullptr);
}

}  // namespace
