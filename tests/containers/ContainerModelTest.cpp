// Seeded randomized model tests: ZRMUtMap / ZRMUtSet against std::map / std::set, and
// ZRMUtVector of int and of a counted element type against std::vector with a model of the
// growth rule. Iterators are held across the operations; a model of the detaching rules
// predicts the fate of each (on its element, at the end, or detached) and the exact error.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using zrmtest::Counted;
using zrmtest::kIndexOutOfRange;
using zrmtest::kInvalidIterator;
using zrmtest::kVectorFile;
using zrmtest::RaisesAt;
using zrmtest::RaisesInvalidTreeIterator;
using zrmtest::Scaled;

// Key and value of an element of any of the containers and models (a set element is both).
int KeyOf(int key) { return key; }
int ValueOf(int key) { return key; }
int ValueOf(const Counted& element) { return element.Value(); }
template <class Pair>
int KeyOf(const Pair& item) {
  return item.first;
}
template <class Pair>
int ValueOf(const Pair& item) {
  return item.second;
}

// Base of the harnesses: the random source and the tallies of predicted fates.
class Harness {
public:
  explicit Harness(unsigned seed) : mRandom(seed) {}
  int refusedUses = 0;  // uses of detached or end iterators, refused as predicted
  int liveReads = 0;    // reads through held iterators still on their element

protected:
  int Pick(int bound) { return static_cast<int>(mRandom() % static_cast<unsigned>(bound)); }

private:
  std::mt19937 mRandom;
};

// Runs steps random operations of a harness H(seed, args...), comparing everything every
// compareEvery steps and at the end; stops at the first fatal failure, naming seed and step.
template <class H, class... Args>
void RunModel(unsigned seed, long steps, long compareEvery, Args... args) {
  H harness(seed, args...);
  for (long step = 1; step <= steps; ++step) {
    const zrmtest::Raised raised = zrmtest::CatchRaised([&] { harness.Step(); });
    if (raised.raised) FAIL() << "unpredicted raise from line " << raised.line << ", seed " << seed << " step " << step;
    if (step % compareEvery == 0 || step == steps) harness.CompareAll();
    if (::testing::Test::HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
  }
  EXPECT_GT(harness.refusedUses, steps / 100);  // the run exercised both fates
  EXPECT_GT(harness.liveReads, steps / 100);
}

// ------------------------------------------------------------------------------------------
// Tree containers

enum class Fate { Detached, AtEnd, OnKey };

// One face for maps and sets: Put inserts (map: how 0 by subscript, which overwrites; 1 by
// Insert, which keeps a present value; 2 by InsertOrGetAtEnd, half of the time with a key just
// past the largest one, which is its fast case).
struct MapFace {
  using Container = ZRMUtMap<int, int>;
  using Model = std::map<int, int>;
  static void Put(Container& container, Model& model, int key, int value, int how) {
    if (how == 1) {
      ASSERT_EQ(container.Insert(key, value), model.emplace(key, value).second);
    } else if (how == 2) {
      if (!model.empty() && (value & 1) != 0) key = model.rbegin()->first + (value & 2);  // the last key or past it
      container.InsertOrGetAtEnd(key) = value;
      model[key] = value;
    } else {
      container[key] = value;
      model[key] = value;
    }
  }
};

struct SetFace {
  using Container = ZRMUtSet<int>;
  using Model = std::set<int>;
  static void Put(Container& container, Model& model, int key, int, int) {
    ASSERT_EQ(container.Insert(key), model.insert(key).second);
  }
};

template <class Face>
class TreeHarness : public Harness {
public:
  using Container = typename Face::Container;
  using Model = typename Face::Model;
  static constexpr int kContainers = 2;
  static constexpr int kSlots = 12;

  TreeHarness(unsigned seed, int keyRange) : Harness(seed), mKeyRange(keyRange) {
    for (auto& container : mContainers) container = std::make_unique<Container>();
  }

  // One random operation on a random container or held iterator.
  void Step() {
    const int which = Pick(kContainers);
    const int roll = Pick(1000);
    if (roll < 450)
      Face::Put(*mContainers[which], mModels[which], Key(), Pick(1 << 20), Pick(3));
    else if (roll < 750)
      EraseKey(which, Key());
    else if (roll < 800)
      EraseAt(which, mSlots[Pick(kSlots)]);
    else if (roll < 860)
      TakeIterator(which, mSlots[Pick(kSlots)]);
    else if (roll < 930)
      AdvanceSlot(mSlots[Pick(kSlots)]);
    else if (roll < 990)
      ReadSlot(mSlots[Pick(kSlots)]);
    else if (roll < 994)
      Clear(which);
    else if (roll < 998)
      Assign(which, Pick(kContainers));
    else
      Replace(which);
  }

  // Contents, order and structure of every container, walked by iterator and by ForEach;
  // position of every held iterator.
  void CompareAll() {
    for (int which = 0; which < kContainers; ++which) {
      const Container& container = *mContainers[which];
      ASSERT_EQ(container.FindInvariantViolation(), nullptr);
      ASSERT_EQ(container.Size(), static_cast<int>(mModels[which].size()));
      std::vector<std::pair<int, int>> expected, walked, visited;
      for (const auto& item : mModels[which]) expected.emplace_back(KeyOf(item), ValueOf(item));
      for (auto it = container.Begin(); it != container.End() && walked.size() <= expected.size(); ++it)
        walked.emplace_back(KeyOf(*it), ValueOf(*it));
      container.ForEach([&](const auto& item) { visited.emplace_back(KeyOf(item), ValueOf(item)); });
      ASSERT_EQ(walked, expected);
      ASSERT_EQ(visited, expected);
    }
    for (const Slot& slot : mSlots) {
      if (slot.fate == Fate::AtEnd) {
        ASSERT_TRUE(slot.it == mContainers[slot.owner]->End());  // end iterators survive all but destruction
      } else if (slot.fate == Fate::OnKey) {
        ASSERT_EQ(KeyOf(*slot.it), slot.key);
      }
    }
  }

private:
  struct Slot {
    typename Container::Iterator it;
    Fate fate = Fate::Detached;
    int owner = 0;
    int key = 0;
  };

  int Key() { return Pick(mKeyRange) - mKeyRange / 4; }

  // Predicts the detaching of the iterators on container which's element key (any when null).
  void Detach(int which, const int* key) {
    for (Slot& slot : mSlots)
      if (slot.owner == which && slot.fate == Fate::OnKey && (key == nullptr || slot.key == *key))
        slot.fate = Fate::Detached;
  }

  template <class Call>
  void Refused(Call&& call) {
    ++refusedUses;
    ASSERT_TRUE(RaisesInvalidTreeIterator(call));
  }

  void EraseKey(int which, int key) {
    const bool present = mModels[which].erase(key) == 1;
    ASSERT_EQ(mContainers[which]->Count(key), present ? 1 : 0);
    ASSERT_EQ(mContainers[which]->Erase(key), present);
    if (present) Detach(which, &key);
  }

  // Erasing through an iterator needs a live one of this container on an element.
  void EraseAt(int which, Slot& slot) {
    if (slot.fate != Fate::OnKey || slot.owner != which) return Refused([&] { mContainers[which]->Erase(slot.it); });
    const int key = slot.key;
    mContainers[which]->Erase(slot.it);
    mModels[which].erase(key);
    Detach(which, &key);
  }

  // A fresh iterator from Begin, Find, LowerBound or UpperBound of a random (often present)
  // key; the read-only form gives the same position, another container's end never.
  void TakeIterator(int which, Slot& slot) {
    const Model& model = mModels[which];
    int key = Key();
    if (Pick(2) == 0 && model.lower_bound(key) != model.end()) key = KeyOf(*model.lower_bound(key));
    const int form = Pick(4);
    const auto take = [&](auto& c) {
      return form == 0 ? c.Begin() : form == 1 ? c.Find(key) : form == 2 ? c.LowerBound(key) : c.UpperBound(key);
    };
    const auto expected = form == 0   ? model.begin()
                          : form == 1 ? model.find(key)
                          : form == 2 ? model.lower_bound(key)
                                      : model.upper_bound(key);
    slot.it = take(*mContainers[which]);
    ASSERT_TRUE(slot.it == take(std::as_const(*mContainers[which])));
    ASSERT_TRUE(slot.it != mContainers[1 - which]->End());
    slot.owner = which;
    slot.fate = expected == model.end() ? Fate::AtEnd : Fate::OnKey;
    if (expected != model.end()) slot.key = KeyOf(*expected);
  }

  // Pre- or post-increment: to the next key (the post form returns the previous position).
  void AdvanceSlot(Slot& slot) {
    const bool post = Pick(2) == 0;
    typename Container::Iterator before;
    const auto advance = [&] {
      if (post)
        before = slot.it++;
      else
        ++slot.it;
    };
    if (slot.fate != Fate::OnKey) return Refused(advance);
    advance();
    if (post) {
      ASSERT_EQ(KeyOf(*before), slot.key);
    }
    const Model& model = mModels[slot.owner];
    const auto next = model.upper_bound(slot.key);
    slot.fate = next == model.end() ? Fate::AtEnd : Fate::OnKey;
    if (next != model.end()) slot.key = KeyOf(*next);
  }

  void ReadSlot(const Slot& slot) {
    if (slot.fate != Fate::OnKey) return Refused([&] { (void)ValueOf(*slot.it); });
    ++liveReads;
    const auto expected = mModels[slot.owner].find(slot.key);
    ASSERT_TRUE(expected != mModels[slot.owner].end());
    ASSERT_EQ(KeyOf(*slot.it), slot.key);
    ASSERT_EQ(ValueOf(*slot.it), ValueOf(*expected));
  }

  void Clear(int which) {
    mContainers[which]->Clear();
    mModels[which].clear();
    Detach(which, nullptr);
  }

  // Assignment; self-assignment changes nothing.
  void Assign(int target, int source) {
    *mContainers[target] = *mContainers[source];
    if (target == source) return;
    mModels[target] = mModels[source];
    Detach(target, nullptr);
  }

  // Replaces a container by a copy of itself: the original dies, detaching its end iterators too.
  void Replace(int which) {
    mContainers[which] = std::make_unique<Container>(*mContainers[which]);
    for (Slot& slot : mSlots)
      if (slot.owner == which) slot.fate = Fate::Detached;
  }

  int mKeyRange;
  std::array<std::unique_ptr<Container>, kContainers> mContainers;
  std::array<Model, kContainers> mModels;
  std::array<Slot, kSlots> mSlots;
};

TEST(ContainerModel, MapAgainstStdMap) {
  RunModel<TreeHarness<MapFace>>(1u, Scaled(150000), 2000, 2000);
  RunModel<TreeHarness<MapFace>>(2u, Scaled(60000), 2000, 40);  // small key range: many collisions, many detachments
}

TEST(ContainerModel, SetAgainstStdSet) {
  RunModel<TreeHarness<SetFace>>(3u, Scaled(100000), 2000, 2000);
  RunModel<TreeHarness<SetFace>>(4u, Scaled(40000), 2000, 40);
}

// ------------------------------------------------------------------------------------------
// Vector

// Capacity the growth rule gives for needed elements.
int GrownCapacity(int capacity, int needed) {
  if (capacity == 0) return 1;
  return capacity >= needed ? capacity : std::max(capacity + capacity / 2, needed);
}

struct VectorModel {
  std::vector<int> elements;
  int capacity = 0;

  void PushBack(int value) {
    if (static_cast<int>(elements.size()) == capacity) capacity = GrownCapacity(capacity, capacity + 1);
    elements.push_back(value);
  }
  // A copy: the growth rule from no capacity for the size, then one append per element.
  VectorModel Copy() const {
    VectorModel copy;
    copy.capacity = GrownCapacity(0, static_cast<int>(elements.size()));
    for (int value : elements) copy.PushBack(value);
    return copy;
  }
};

template <class T>
class VectorHarness : public Harness {
public:
  using Vector = ZRMUtVector<T>;
  static constexpr int kVectors = 2;
  static constexpr int kSlots = 10;

  explicit VectorHarness(unsigned seed) : Harness(seed) {}

  void Step() {
    const int which = Pick(kVectors);
    const int roll = Pick(1000);
    if (roll < 400)
      PushBack(which);
    else if (roll < 450)
      Reserve(which, Pick(8));
    else if (roll < 520)
      Resize(which, Pick(60));
    else if (roll < 640)
      WriteAndReadIndex(which);
    else if (roll < 720)
      TakeIterator(which, mSlots[Pick(kSlots)]);
    else if (roll < 850)
      StepSlot(mSlots[Pick(kSlots)], Pick(7) - 3);
    else if (roll < 980)
      UseSlot(mSlots[Pick(kSlots)]);
    else if (roll < 988)
      Clear(which);
    else if (roll < 994)
      Assign(which, Pick(kVectors));
    else if (roll < 997)
      MoveAssign(which, Pick(kVectors));
    else
      CopyConstruct(which);
  }

  void CompareAll() {
    for (int which = 0; which < kVectors; ++which) {
      const Vector& vector = mVectors[which];
      ASSERT_EQ(vector.FindInvariantViolation(), nullptr);
      ASSERT_EQ(vector.Size(), Size(which));
      ASSERT_EQ(vector.Capacity(), mModels[which].capacity);
      for (int index = 0; index < vector.Size(); ++index) ASSERT_EQ(ValueOf(vector[index]), Element(which, index));
    }
  }

private:
  // A held iterator: at an index in [0, size] or detached (which includes one taken while the
  // vector had no storage).
  struct Slot {
    typename Vector::Iterator it;
    bool detached = true;
    int owner = 0;
    int index = 0;
  };

  int Size(int which) const { return static_cast<int>(mModels[which].elements.size()); }
  int& Element(int which, int index) { return mModels[which].elements[static_cast<size_t>(index)]; }

  // Predicts the detaching of vector which's iterators from index from on.
  void DetachFrom(int which, int from) {
    for (Slot& slot : mSlots)
      if (slot.owner == which && slot.index >= from) slot.detached = true;
  }

  // Appends a random value or, now and then, one of the vector's own elements.
  void PushBack(int which) {
    const int own = Size(which) > 0 && Pick(4) == 0 ? Pick(Size(which)) : -1;
    const int value = own >= 0 ? Element(which, own) : Pick(1000);
    if (Size(which) == mModels[which].capacity) DetachFrom(which, 0);
    if (own >= 0)
      mVectors[which].PushBack(mVectors[which][own]);
    else
      mVectors[which].PushBack(T(value));
    mModels[which].PushBack(value);
  }

  void Reserve(int which, int count) {
    const int capacity = GrownCapacity(mModels[which].capacity, Size(which) + count);
    if (capacity != mModels[which].capacity) DetachFrom(which, 0);
    mModels[which].capacity = capacity;
    mVectors[which].Reserve(count);
  }

  // Resize with the default fill (zero), a random fill or one of the own elements as fill;
  // growing always reallocates.
  void Resize(int which, int count) {
    const int size = Size(which);
    const int own = size > 0 && Pick(3) == 0 ? Pick(size) : -1;
    const bool withFill = own >= 0 || Pick(2) == 0;
    const int fill = own >= 0 ? Element(which, own) : withFill ? Pick(1000) : 0;
    if (own >= 0)
      mVectors[which].Resize(count, mVectors[which][own]);
    else if (withFill)
      mVectors[which].Resize(count, T(fill));
    else
      mVectors[which].Resize(count);
    if (count < size) {
      DetachFrom(which, count);
      mModels[which].elements.resize(static_cast<size_t>(count));
    } else if (count > size) {
      DetachFrom(which, 0);
      mModels[which].capacity = GrownCapacity(mModels[which].capacity, count);
      while (Size(which) < count) mModels[which].PushBack(fill);
    }
  }

  void WriteAndReadIndex(int which) {
    Vector& vector = mVectors[which];
    const Vector& readOnly = vector;
    const int index = Pick(Size(which) + 3) - 1;  // sometimes outside, on both sides
    const int value = Pick(1000);
    if (index < 0 || index >= Size(which)) {
      ASSERT_TRUE(RaisesAt([&] { vector[index] = T(value); }, kIndexOutOfRange, kVectorFile, 385));
      ASSERT_TRUE(RaisesAt([&] { (void)readOnly[index]; }, kIndexOutOfRange, kVectorFile, 395));
      return;
    }
    vector[index] = T(value);
    Element(which, index) = value;
    ASSERT_EQ(ValueOf(readOnly[index]), value);
  }

  // Begin, End, Begin plus an offset within [0, size], or now and then an unbound iterator;
  // the read-only forms agree.
  void TakeIterator(int which, Slot& slot) {
    if (Pick(8) == 0) {
      slot.it = typename Vector::Iterator();
      slot.detached = true;
      return;
    }
    const int form = Pick(3);
    slot.owner = which;
    slot.detached = mModels[which].capacity == 0;
    slot.index = form == 1 ? Size(which) : form == 2 ? Pick(Size(which) + 1) : 0;
    if (form == 1)
      slot.it = mVectors[which].End();
    else if (slot.index == 0)
      slot.it = mVectors[which].Begin();
    else
      slot.it = mVectors[which].Begin() + slot.index;
    const Vector& readOnly = mVectors[which];
    ASSERT_TRUE(form == 1 ? slot.it == readOnly.End() : slot.index != 0 || slot.it == readOnly.Begin());
  }

  // Steps a held iterator by offset through one of the six stepping forms; a target outside
  // [first element, end], or on the end after a step back (-=, -, --), raises and leaves the
  // iterator where it was.
  void StepSlot(Slot& slot, int offset) {
    const int form = Pick(6);
    if (form >= 4) offset = offset < 0 ? -1 : 1;  // the increment and decrement forms
    typename Vector::Iterator before;
    const auto step = [&] {
      if (form == 0)
        slot.it += offset;
      else if (form == 1)
        slot.it -= -offset;
      else if (form == 2)
        slot.it = slot.it + offset;
      else if (form == 3)
        slot.it = slot.it - (-offset);
      else if (form == 4)
        (void)(offset > 0 ? ++slot.it : --slot.it);
      else
        before = offset > 0 ? slot.it++ : slot.it--;
    };
    if (slot.detached) {
      ++refusedUses;
      ASSERT_TRUE(RaisesAt(step, kInvalidIterator, kVectorFile, 307));
      return;
    }
    const int target = slot.index + offset;
    const bool back = form == 1 || form == 3 || (form >= 4 && offset < 0);
    if (target < 0 || target > Size(slot.owner) || (back && target == Size(slot.owner))) {
      ASSERT_TRUE(RaisesAt(step, kIndexOutOfRange, kVectorFile, 269));
      return;
    }
    step();
    if (form == 5) {
      ASSERT_TRUE(before == mVectors[slot.owner].Begin() + slot.index);
    }
    slot.index = target;
  }

  // Reads, or now and then writes, through a held iterator.
  void UseSlot(const Slot& slot) {
    if (slot.detached || slot.index == Size(slot.owner)) {
      ++refusedUses;
      ASSERT_TRUE(RaisesAt([&] { (void)ValueOf(*slot.it); }, kInvalidIterator, kVectorFile, 307));
      return;
    }
    ++liveReads;
    if (Pick(4) == 0) {
      const int value = Pick(1000);
      *slot.it = T(value);
      Element(slot.owner, slot.index) = value;
    }
    ASSERT_EQ(ValueOf(*slot.it), Element(slot.owner, slot.index));
  }

  void Clear(int which) {
    mVectors[which].Clear();
    mModels[which].elements.clear();
    DetachFrom(which, 0);
  }

  // Copy assignment; self-assignment changes nothing.
  void Assign(int target, int source) {
    mVectors[target] = mVectors[source];
    if (target == source) return;
    mModels[target] = mModels[source].Copy();
    DetachFrom(target, 0);
  }

  // Move assignment: the source is left without storage; self-move changes nothing.
  void MoveAssign(int target, int source) {
    mVectors[target] = std::move(mVectors[source]);
    if (target == source) return;
    mModels[target] = mModels[source];
    mModels[source] = VectorModel();
    DetachFrom(target, 0);
    DetachFrom(source, 0);
  }

  // A copy, assigned to the other vector (from a third one, which then dies).
  void CopyConstruct(int which) {
    const Vector copy(mVectors[which]);
    ASSERT_EQ(copy.Capacity(), mModels[which].Copy().capacity);
    mVectors[1 - which] = copy;
    mModels[1 - which] = mModels[which].Copy().Copy();
    DetachFrom(1 - which, 0);
  }

  std::array<Vector, kVectors> mVectors;
  std::array<VectorModel, kVectors> mModels;
  std::array<Slot, kSlots> mSlots;
};

TEST(ContainerModel, VectorAgainstStdVectorWithCapacities) {
  const int live = Counted::Live();
  RunModel<VectorHarness<int>>(5u, Scaled(100000), 1000);      // grows in place
  RunModel<VectorHarness<Counted>>(6u, Scaled(100000), 1000);  // copies element by element
  EXPECT_EQ(Counted::Live(), live);                            // nothing leaked, nothing destroyed twice
}

}  // namespace
