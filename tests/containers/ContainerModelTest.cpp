// Seeded randomized model tests: ZRMUtMap / ZRMUtSet against std::map / std::set and
// ZRMUtVector against std::vector with a model of the growth rule, with iterators held
// across operations whose fate (still on its element, at the end, or detached) is predicted
// by a model of the detaching rules.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

using zrmtest::CatchRaised;
using zrmtest::kIndexOutOfRange;
using zrmtest::kInvalidIterator;
using zrmtest::kTreeFile;
using zrmtest::kVectorFile;
using zrmtest::Raised;

// ------------------------------------------------------------------------------------------
// Tree containers

// Predicted state of a held tree iterator.
struct TreeSlotModel {
  enum State { Detached, AtEnd, OnKey } state = Detached;
  int owner = 0;  // index of the container it was taken from
  int key = 0;
};

// Adapters giving map and set one face for the harness: items are (key, value) for maps and
// (key, key) for sets.
struct MapFace {
  using Container = ZRMUtMap<int, int>;
  using Model = std::map<int, int>;
  static void Put(Container& c, Model& m, int key, int value) {
    c[key] = value;
    m[key] = value;
  }
  static int ValueOf(const Container::Iterator& it) { return it->second; }
  static int ValueOf(const Model::const_iterator& it) { return it->second; }
  static int KeyOf(const Container::Iterator& it) { return it->first; }
  static int KeyOf(const Model::const_iterator& it) { return it->first; }
};

struct SetFace {
  using Container = ZRMUtSet<int>;
  using Model = std::set<int>;
  static void Put(Container& c, Model& m, int key, int) { EXPECT_EQ(c.Insert(key), m.insert(key).second); }
  static int ValueOf(const Container::Iterator& it) { return *it; }
  static int ValueOf(const Model::const_iterator& it) { return *it; }
  static int KeyOf(const Container::Iterator& it) { return *it; }
  static int KeyOf(const Model::const_iterator& it) { return *it; }
};

template <class Face>
class TreeHarness {
public:
  using Container = typename Face::Container;
  using Model = typename Face::Model;
  using Iterator = typename Container::Iterator;
  static constexpr int kContainers = 2;
  static constexpr int kSlots = 12;

  explicit TreeHarness(unsigned seed, int keyRange) : mRandom(seed), mKeyRange(keyRange) {}

  // One random operation on a random container or held iterator.
  void Step() {
    const int which = Pick(kContainers);
    const int roll = Pick(1000);
    if (roll < 450) Face::Put(mContainers[which], mModels[which], Key(), Pick(1 << 20));
    else if (roll < 800) Erase(which, Key());
    else if (roll < 860) TakeIterator(which);
    else if (roll < 930) AdvanceSlot(Pick(kSlots));
    else if (roll < 990) ReadSlot(Pick(kSlots));
    else if (roll < 994) Clear(which);
    else if (roll < 998) Assign(which, Pick(kContainers));
    else CopyConstructAndAssignBack(which);
  }

  // Contents, order, size and structure of every container against its model.
  void CompareAll() {
    for (int which = 0; which < kContainers; ++which) {
      const Container& container = mContainers[which];
      const Model& model = mModels[which];
      ASSERT_EQ(container.FindInvariantViolation(), nullptr);
      ASSERT_EQ(container.Size(), static_cast<int>(model.size()));
      auto expected = model.begin();
      for (Iterator it = mContainers[which].Begin(); it != mContainers[which].End(); ++it, ++expected) {
        ASSERT_TRUE(expected != model.end());
        ASSERT_EQ(Face::KeyOf(it), Face::KeyOf(expected));
        ASSERT_EQ(Face::ValueOf(it), Face::ValueOf(expected));
      }
      ASSERT_TRUE(expected == model.end());
    }
  }

private:
  int Pick(int bound) { return static_cast<int>(mRandom() % static_cast<unsigned>(bound)); }
  int Key() { return Pick(mKeyRange) - mKeyRange / 4; }

  void Erase(int which, int key) {
    const bool present = mModels[which].erase(key) == 1;
    ASSERT_EQ(mContainers[which].Erase(key), present);
    if (!present) return;
    for (TreeSlotModel& slot : mSlotModels)
      if (slot.owner == which && slot.state == TreeSlotModel::OnKey && slot.key == key) slot.state = TreeSlotModel::Detached;
  }

  // Detaches the predicted iterators on elements of container which.
  void DetachElementSlots(int which) {
    for (TreeSlotModel& slot : mSlotModels)
      if (slot.owner == which && slot.state == TreeSlotModel::OnKey) slot.state = TreeSlotModel::Detached;
  }

  void Clear(int which) {
    mContainers[which].Clear();
    mModels[which].clear();
    DetachElementSlots(which);
  }

  void Assign(int target, int source) {
    mContainers[target] = mContainers[source];
    if (target == source) return;  // self-assignment: nothing changes
    mModels[target] = mModels[source];
    DetachElementSlots(target);
  }

  void CopyConstructAndAssignBack(int which) {
    Container copy(mContainers[which]);
    Container& other = mContainers[1 - which];
    other = copy;  // from a third container, which then dies
    mModels[1 - which] = mModels[which];
    DetachElementSlots(1 - which);
  }

  // Holds a fresh iterator: Begin, or Find of a random (present or absent) key.
  void TakeIterator(int which) {
    const int slot = Pick(kSlots);
    TreeSlotModel& model = mSlotModels[slot];
    model.owner = which;
    if (Pick(4) == 0) {
      mSlots[slot] = mContainers[which].Begin();
      model.state = mModels[which].empty() ? TreeSlotModel::AtEnd : TreeSlotModel::OnKey;
      if (!mModels[which].empty()) model.key = Face::KeyOf(mModels[which].cbegin());
    } else {
      int key = Key();
      const auto present = mModels[which].lower_bound(key);
      if (Pick(2) == 0 && present != mModels[which].end()) key = Face::KeyOf(typename Model::const_iterator(present));
      mSlots[slot] = mContainers[which].Find(key);
      model.state = mModels[which].count(key) == 1 ? TreeSlotModel::OnKey : TreeSlotModel::AtEnd;
      model.key = key;
    }
  }

  // Advances a held iterator: to the next key, or raising InvalidIterator when detached or
  // at the end.
  void AdvanceSlot(int slot) {
    TreeSlotModel& model = mSlotModels[slot];
    const Raised raised = CatchRaised([&] { ++mSlots[slot]; });
    if (model.state != TreeSlotModel::OnKey) {
      ExpectInvalid(raised);
      return;
    }
    ASSERT_FALSE(raised.raised);
    const Model& contents = mModels[model.owner];
    const auto next = contents.upper_bound(model.key);
    if (next == contents.end()) {
      model.state = TreeSlotModel::AtEnd;
      ASSERT_TRUE(mSlots[slot] == mContainers[model.owner].End());
    } else {
      model.key = Face::KeyOf(typename Model::const_iterator(next));
    }
  }

  // Reads through a held iterator: its element, or InvalidIterator when detached or at the end.
  void ReadSlot(int slot) {
    const TreeSlotModel& model = mSlotModels[slot];
    int key = 0;
    int value = 0;
    const Raised raised = CatchRaised([&] {
      key = Face::KeyOf(mSlots[slot]);
      value = Face::ValueOf(mSlots[slot]);
    });
    if (model.state != TreeSlotModel::OnKey) {
      ExpectInvalid(raised);
      if (model.state == TreeSlotModel::AtEnd) {
        ASSERT_TRUE(mSlots[slot] == mContainers[model.owner].End());
      }
      return;
    }
    ASSERT_FALSE(raised.raised);
    ++mLiveReads;
    const auto expected = mModels[model.owner].find(model.key);
    ASSERT_TRUE(expected != mModels[model.owner].end());
    ASSERT_EQ(key, model.key);
    ASSERT_EQ(value, Face::ValueOf(typename Model::const_iterator(expected)));
  }

  void ExpectInvalid(const Raised& raised) {
    ++mRefusedUses;
    ASSERT_TRUE(raised.raised);
    ASSERT_EQ(raised.code, kInvalidIterator);
    ASSERT_EQ(raised.file, kTreeFile);
    ASSERT_EQ(raised.line, 182);
  }

public:
  int mRefusedUses = 0;  // uses of detached or end iterators, all refused as predicted
  int mLiveReads = 0;    // reads through held iterators still on their element

private:
  std::mt19937 mRandom;
  int mKeyRange;
  std::array<Container, kContainers> mContainers;
  std::array<Model, kContainers> mModels;
  std::array<Iterator, kSlots> mSlots;  // declared after the containers: destroyed first
  std::array<TreeSlotModel, kSlots> mSlotModels;
};

template <class Face>
void RunTreeModel(unsigned seed, int steps, int keyRange) {
  TreeHarness<Face> harness(seed, keyRange);
  for (int step = 1; step <= steps; ++step) {
    harness.Step();
    if (::testing::Test::HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
    if (step % 2000 == 0) {
      harness.CompareAll();
      if (::testing::Test::HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
    }
  }
  harness.CompareAll();
  EXPECT_GT(harness.mRefusedUses, steps / 100);  // the run did exercise both fates
  EXPECT_GT(harness.mLiveReads, steps / 100);
}

TEST(ContainerModel, MapAgainstStdMap) {
  RunTreeModel<MapFace>(1u, 150000, 2000);
  RunTreeModel<MapFace>(2u, 60000, 40);  // small key range: many collisions, many detachments
}

TEST(ContainerModel, SetAgainstStdSet) {
  RunTreeModel<SetFace>(3u, 100000, 2000);
  RunTreeModel<SetFace>(4u, 40000, 40);
}

// ------------------------------------------------------------------------------------------
// Vector

// Capacity the growth rule gives for needed elements.
int GrownCapacity(int capacity, int needed) {
  if (capacity == 0) return 1;
  if (capacity >= needed) return capacity;
  return std::max(capacity + capacity / 2, needed);
}

struct VectorModel {
  std::vector<int> elements;
  int capacity = 0;

  void PushBack(int value) {
    if (static_cast<int>(elements.size()) == capacity) capacity = GrownCapacity(capacity, capacity + 1);
    elements.push_back(value);
  }
};

// Predicted state of a held vector iterator: at an index in [0, size], or detached (which
// includes an iterator taken while the vector had no storage).
struct VectorSlotModel {
  bool detached = true;
  int owner = 0;
  int index = 0;
};

class VectorHarness {
public:
  static constexpr int kVectors = 2;
  static constexpr int kSlots = 10;

  explicit VectorHarness(unsigned seed) : mRandom(seed) {}

  void Step() {
    const int which = Pick(kVectors);
    const int roll = Pick(1000);
    if (roll < 400) PushBack(which, Pick(1000));
    else if (roll < 450) Reserve(which, Pick(8));
    else if (roll < 520) Resize(which, Pick(60));
    else if (roll < 640) WriteAndReadIndex(which);
    else if (roll < 720) TakeIterator(which);
    else if (roll < 850) StepSlot(Pick(kSlots), Pick(7) - 3);
    else if (roll < 980) ReadSlot(Pick(kSlots));
    else if (roll < 988) Clear(which);
    else if (roll < 996) Assign(which, Pick(kVectors));
    else CopyConstructAndAssignBack(which);
  }

  void CompareAll() {
    for (int which = 0; which < kVectors; ++which) {
      const ZRMUtVector<int>& vector = mVectors[which];
      ASSERT_EQ(vector.FindInvariantViolation(), nullptr);
      ASSERT_EQ(vector.Size(), static_cast<int>(mModels[which].elements.size()));
      ASSERT_EQ(vector.Capacity(), mModels[which].capacity);
      for (int index = 0; index < vector.Size(); ++index)
        ASSERT_EQ(vector[index], mModels[which].elements[static_cast<size_t>(index)]);
    }
  }

private:
  int Pick(int bound) { return static_cast<int>(mRandom() % static_cast<unsigned>(bound)); }
  int Size(int which) const { return static_cast<int>(mModels[which].elements.size()); }

  // Detaches the predicted iterators of vector which from index from on.
  void DetachFrom(int which, int from) {
    for (VectorSlotModel& slot : mSlotModels)
      if (slot.owner == which && !slot.detached && slot.index >= from) slot.detached = true;
  }

  void PushBack(int which, int value) {
    if (Size(which) == mModels[which].capacity) DetachFrom(which, 0);
    mVectors[which].PushBack(value);
    mModels[which].PushBack(value);
  }

  void Reserve(int which, int count) {
    const int capacity = GrownCapacity(mModels[which].capacity, Size(which) + count);
    if (capacity != mModels[which].capacity) DetachFrom(which, 0);
    mModels[which].capacity = capacity;
    mVectors[which].Reserve(count);
  }

  void Resize(int which, int count) {
    VectorModel& model = mModels[which];
    const int size = Size(which);
    const bool withFill = Pick(2) == 0;
    const int fill = withFill ? Pick(1000) : 0;  // the one-argument form fills with zero
    if (withFill) mVectors[which].Resize(count, fill);
    else mVectors[which].Resize(count);
    if (count < size) {
      DetachFrom(which, count);
      model.elements.resize(static_cast<size_t>(count));
    } else if (count > size) {
      DetachFrom(which, 0);
      model.capacity = GrownCapacity(model.capacity, count);
      while (Size(which) < count) model.PushBack(fill);
    }
  }

  void WriteAndReadIndex(int which) {
    const int index = Pick(Size(which) + 3) - 1;  // sometimes outside, on both sides
    const bool inside = index >= 0 && index < Size(which);
    const int value = Pick(1000);
    const Raised write = CatchRaised([&] { mVectors[which][index] = value; });
    const ZRMUtVector<int>& readOnly = mVectors[which];
    int read = 0;
    const Raised readBack = CatchRaised([&] { read = readOnly[index]; });
    if (!inside) {
      ASSERT_TRUE(write.raised && write.code == kIndexOutOfRange && write.line == 385 && write.file == kVectorFile);
      ASSERT_TRUE(readBack.raised && readBack.code == kIndexOutOfRange && readBack.line == 395);
      return;
    }
    ASSERT_FALSE(write.raised || readBack.raised);
    mModels[which].elements[static_cast<size_t>(index)] = value;
    ASSERT_EQ(read, value);
  }

  void TakeIterator(int which) {
    const int slot = Pick(kSlots);
    VectorSlotModel& model = mSlotModels[slot];
    model.owner = which;
    model.index = Pick(2) == 0 ? 0 : Size(which);
    mSlots[slot] = model.index == 0 ? mVectors[which].Begin() : mVectors[which].End();
    model.detached = mModels[which].capacity == 0;  // no storage: the iterator has no element
  }

  void StepSlot(int slot, int offset) {
    VectorSlotModel& model = mSlotModels[slot];
    const Raised raised = CatchRaised([&] { mSlots[slot] += offset; });
    if (model.detached) {
      ASSERT_TRUE(raised.raised && raised.code == kInvalidIterator && raised.line == 307);
      return;
    }
    const int target = model.index + offset;
    if (target < 0 || target > Size(model.owner)) {
      ASSERT_TRUE(raised.raised && raised.code == kIndexOutOfRange && raised.line == 269 && raised.file == kVectorFile);
      return;
    }
    ASSERT_FALSE(raised.raised);
    model.index = target;
  }

  void ReadSlot(int slot) {
    const VectorSlotModel& model = mSlotModels[slot];
    int value = 0;
    const Raised raised = CatchRaised([&] { value = *mSlots[slot]; });
    if (model.detached || model.index == Size(model.owner)) {
      ++mRefusedUses;
      ASSERT_TRUE(raised.raised && raised.code == kInvalidIterator && raised.line == 307 && raised.file == kVectorFile);
      return;
    }
    ASSERT_FALSE(raised.raised);
    ++mLiveReads;
    ASSERT_EQ(value, mModels[model.owner].elements[static_cast<size_t>(model.index)]);
  }

  void Clear(int which) {
    mVectors[which].Clear();
    mModels[which].elements.clear();
    DetachFrom(which, 0);
  }

  // The model of a copy: the growth rule from no capacity, then one append per element.
  static VectorModel CopyOf(const VectorModel& source) {
    VectorModel copy;
    copy.capacity = GrownCapacity(0, static_cast<int>(source.elements.size()));
    for (int value : source.elements) copy.PushBack(value);
    return copy;
  }

  void Assign(int target, int source) {
    mVectors[target] = mVectors[source];
    if (target == source) return;
    mModels[target] = CopyOf(mModels[source]);
    DetachFrom(target, 0);
  }

  void CopyConstructAndAssignBack(int which) {
    const ZRMUtVector<int> copy(mVectors[which]);
    ASSERT_EQ(copy.Capacity(), CopyOf(mModels[which]).capacity);
    mVectors[1 - which] = copy;
    mModels[1 - which] = CopyOf(CopyOf(mModels[which]));
    DetachFrom(1 - which, 0);
  }

public:
  int mRefusedUses = 0;  // reads through detached or end iterators, all refused as predicted
  int mLiveReads = 0;

private:
  std::mt19937 mRandom;
  std::array<ZRMUtVector<int>, kVectors> mVectors;
  std::array<VectorModel, kVectors> mModels;
  std::array<ZRMUtVector<int>::Iterator, kSlots> mSlots;
  std::array<VectorSlotModel, kSlots> mSlotModels;
};

TEST(ContainerModel, VectorAgainstStdVectorWithCapacities) {
  for (unsigned seed : {5u, 6u}) {
    VectorHarness harness(seed);
    for (int step = 1; step <= 100000; ++step) {
      harness.Step();
      if (HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
      if (step % 1000 == 0) {
        harness.CompareAll();
        if (HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
      }
    }
    EXPECT_GT(harness.mRefusedUses, 1000);
    EXPECT_GT(harness.mLiveReads, 1000);
  }
}

}  // namespace
