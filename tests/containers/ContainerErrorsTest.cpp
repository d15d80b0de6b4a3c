// Every way the containers refuse a use (the error code, the reported file and line, and that
// the refused operation changed nothing), and which held iterators each operation detaches.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using zrmtest::kIndexOutOfRange;
using zrmtest::kInvalidIterator;
using zrmtest::kTreeFile;
using zrmtest::kVectorFile;
using zrmtest::RaisesAt;
using zrmtest::RaisesInvalidTreeIterator;

using IntMap = ZRMUtMap<int, int>;
using IntVector = ZRMUtVector<int>;

// Containers holding 0..4 (the vector 0, 10, .., 40 with capacity 6) and another map holding
// 2; scratch is for cases that must change a map before the refused use.
struct Fixture {
  Fixture() {
    for (int key = 0; key < 5; ++key) {
      map[key] = scratch[key] = key;
      set.Insert(key);
      vector.PushBack(key * 10);
    }
    other[2] = 2;
  }
  // Everything but scratch, to prove a refused operation changed nothing.
  std::vector<int> State() const {
    std::vector<int> state{vector.Capacity(), other.Size()};
    for (auto it = map.Begin(); it != map.End(); ++it) state.insert(state.end(), {it->first, it->second});
    for (auto it = set.Begin(); it != set.End(); ++it) state.push_back(*it);
    for (int index = 0; index < vector.Size(); ++index) state.push_back(vector[index]);
    return state;
  }
  IntMap map, other, scratch;
  ZRMUtSet<int> set;
  IntVector vector;
};

// What a refused use raises: code, reported file and line.
struct Place {
  unsigned int code;
  const char* file;
  int line;
};
const Place kTreeIterator{kInvalidIterator, kTreeFile, 182};
const Place kIndex{kIndexOutOfRange, kVectorFile, 385};
const Place kReadOnlyIndex{kIndexOutOfRange, kVectorFile, 395};
const Place kStep{kIndexOutOfRange, kVectorFile, 269};
const Place kVectorIterator{kInvalidIterator, kVectorFile, 307};

struct Case {
  std::string what;
  Place place;
  std::function<void(Fixture&)> use;
};

std::vector<Case> Cases() {
  std::vector<Case> cases = {
      {"map: End dereferenced", kTreeIterator, [](Fixture& f) { (void)*f.map.End(); }},
      {"map: End advanced", kTreeIterator, [](Fixture& f) { ++f.map.End(); }},
      {"map: read-only End through ->", kTreeIterator, [](Fixture& f) { (void)std::as_const(f.map).End()->second; }},
      {"map: Find of an absent key read", kTreeIterator, [](Fixture& f) { (void)f.map.Find(9)->second; }},
      {"map: unbound iterator read", kTreeIterator, [](Fixture&) { (void)*IntMap::Iterator(); }},
      {"map: unbound iterator advanced", kTreeIterator, [](Fixture&) { ++IntMap::Iterator(); }},
      {"map: Erase of an unbound iterator", kTreeIterator, [](Fixture& f) { f.map.Erase(IntMap::Iterator()); }},
      {"map: Erase of End", kTreeIterator, [](Fixture& f) { f.map.Erase(f.map.End()); }},
      {"map: Erase of another map's iterator", kTreeIterator, [](Fixture& f) { f.map.Erase(f.other.Find(2)); }},
      {"map: read-only iterator read after Clear", kTreeIterator,
       [](Fixture& f) {
         IntMap::ConstIterator first = f.scratch.Begin();
         f.scratch.Clear();
         (void)*first;
       }},
      {"map: copy of a detached iterator advanced", kTreeIterator,
       [](Fixture& f) {
         IntMap::Iterator it = f.scratch.Find(2);
         f.scratch.Erase(2);
         IntMap::Iterator copy(it);
         ++copy;
       }},
      {"map: iterator outliving its map", kTreeIterator,
       [](Fixture& f) {
         IntMap::Iterator survivor = std::make_unique<IntMap>(f.scratch)->Begin();
         (void)*survivor;
       }},
      {"set: End dereferenced", kTreeIterator, [](Fixture& f) { (void)*f.set.End(); }},
      {"set: Erase of End", kTreeIterator, [](Fixture& f) { f.set.Erase(f.set.End()); }},
      {"vector: Back of an empty vector", kIndex, [](Fixture&) { (void)IntVector().Back(); }},
      {"vector: read-only Back of an empty vector", kReadOnlyIndex,
       [](Fixture&) { (void)static_cast<const IntVector&>(IntVector()).Back(); }},
      {"vector: Resize(-1)", kIndex, [](Fixture& f) { f.vector.Resize(-1); }},
      {"vector: Reserve(-2)", kIndex, [](Fixture& f) { f.vector.Reserve(-2); }},
      {"vector: WithCapacity(-1)", kIndex, [](Fixture&) { (void)IntVector::WithCapacity(-1); }},
      {"vector: Begin() - 1", kStep, [](Fixture& f) { (void)(f.vector.Begin() - 1); }},
      {"vector: End advanced", kStep, [](Fixture& f) { ++f.vector.End(); }},
      {"vector: Begin() + 6", kStep, [](Fixture& f) { (void)(f.vector.Begin() + 6); }},
      {"vector: End() - 0", kStep, [](Fixture& f) { (void)(f.vector.End() - 0); }},
      {"vector: End() -= 0", kStep, [](Fixture& f) { f.vector.End() -= 0; }},
      {"vector: read-only End() - 0", kStep, [](Fixture& f) { (void)(std::as_const(f.vector).End() - 0); }},
      {"vector: Begin() - (-Size())", kStep, [](Fixture& f) { (void)(f.vector.Begin() - (-f.vector.Size())); }},
      {"vector: read-only Begin() -= -Size()", kStep,
       [](Fixture& f) { std::as_const(f.vector).Begin() -= -f.vector.Size(); }},
      {"vector: Begin() - 0 of an emptied vector", kStep,
       [](Fixture&) {
         IntVector emptied;
         emptied.PushBack(1);
         emptied.Clear();
         (void)(emptied.Begin() - 0);
       }},
      {"vector: End dereferenced", kVectorIterator, [](Fixture& f) { (void)*f.vector.End(); }},
      {"vector: unbound iterator read", kVectorIterator, [](Fixture&) { (void)*IntVector::Iterator(); }},
      {"vector: unbound read-only iterator advanced", kVectorIterator, [](Fixture&) { ++IntVector::ConstIterator(); }},
      {"vector: iterator outliving its vector", kVectorIterator,
       [](Fixture& f) {
         IntVector::ConstIterator survivor = std::make_unique<IntVector>(f.vector)->Begin();
         (void)*survivor;
       }},
      {"vector: iterator outliving a vector that never had storage", kVectorIterator,
       [](Fixture&) {
         IntVector::Iterator orphan = std::make_unique<IntVector>()->Begin();
         orphan -= 1;
       }},
  };
  for (int index : {-1, 5, 6, 1 << 30, INT_MIN}) {
    const std::string at = "[" + std::to_string(index) + "]";
    cases.push_back({"vector" + at, kIndex, [index](Fixture& f) { (void)f.vector[index]; }});
    cases.push_back(
        {"read-only vector" + at, kReadOnlyIndex, [index](Fixture& f) { (void)std::as_const(f.vector)[index]; }});
  }
  return cases;
}

TEST(ContainerErrors, EachRefusedUseRaisesItsCodeFromItsPlaceAndChangesNothing) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    Fixture fixture;
    const std::vector<int> before = fixture.State();
    EXPECT_TRUE(RaisesAt([&] { c.use(fixture); }, c.place.code, c.place.file, c.place.line));
    EXPECT_EQ(fixture.State(), before);
    EXPECT_TRUE(fixture.map.CheckInvariants() && fixture.other.CheckInvariants() && fixture.set.CheckInvariants() &&
                fixture.vector.CheckInvariants());
  }
}

// Every step of every position of a vector of 3, by every count from -5 to 5: a step forward
// lands in [first element, end], a step back in [first element, end); anything else raises
// IndexOutOfRange from line 269 and leaves the iterator where it was.
TEST(ContainerErrors, VectorStepsLandWithinTheirRange) {
  IntVector vector;
  for (int value : {7, 8, 9}) vector.PushBack(value);
  const int size = vector.Size();
  for (int from = 0; from <= size; ++from) {
    for (int count = -5; count <= 5; ++count) {
      SCOPED_TRACE("from " + std::to_string(from) + " by " + std::to_string(count));
      const int forward = from + count, back = from - count;
      IntVector::Iterator it = vector.Begin() + from;
      if (forward >= 0 && forward <= size)
        EXPECT_TRUE((it + count) == vector.Begin() + forward);
      else
        EXPECT_TRUE(RaisesAt([&] { it += count; }, kIndexOutOfRange, kVectorFile, 269));
      if (back >= 0 && back < size) {
        EXPECT_EQ(*(it - count), vector[back]);
        EXPECT_EQ(*(std::as_const(vector).Begin() + from - count), vector[back]);
      } else {
        EXPECT_TRUE(RaisesAt([&] { it -= count; }, kIndexOutOfRange, kVectorFile, 269));
        EXPECT_TRUE(RaisesAt([&] { (void)(std::as_const(vector).Begin() + from - count); }, kIndexOutOfRange,
                             kVectorFile, 269));
      }
      EXPECT_TRUE(it == vector.Begin() + from);
    }
  }
  IntVector::Iterator end = vector.End();
  EXPECT_EQ(*--end, 9);  // the decrement is a step back by one
  EXPECT_TRUE(RaisesAt([&] { vector.Begin()--; }, kIndexOutOfRange, kVectorFile, 269));
}

constexpr int kDetached = -1;

// Vector 0, 10, .., 40 (capacity 6) holding iterators at indexes 0 and 3 and at the end; after
// the operation each stands at the given index or is detached.
struct VectorRule {
  const char* what;
  std::function<void(IntVector&)> operation;
  std::array<int, 3> after;
};

TEST(ContainerInvalidation, VectorDetachesPerOperation) {
  const VectorRule rules[] = {
      {"operator[], Back, Size", [](IntVector& v) { v[1] = v.Back() + v.Size(); }, {0, 3, 5}},
      {"copying PushBack within the capacity: the end now on the new element",
       [](IntVector& v) { v.PushBack(v[0]); },
       {0, 3, 5}},
      {"copying PushBack that reallocates",
       [](IntVector& v) {
         v.PushBack(1);
         v.PushBack(v[0]);
       },
       {kDetached, kDetached, kDetached}},
      {"moving PushBack that reallocates",
       [](IntVector& v) {
         v.PushBack(1);
         v.PushBack(2);
       },
       {kDetached, kDetached, kDetached}},
      {"Reserve within the capacity", [](IntVector& v) { v.Reserve(1); }, {0, 3, 5}},
      {"Reserve beyond the capacity", [](IntVector& v) { v.Reserve(2); }, {kDetached, kDetached, kDetached}},
      {"Resize down: from the new size on", [](IntVector& v) { v.Resize(3); }, {0, kDetached, kDetached}},
      {"Resize to the size", [](IntVector& v) { v.Resize(5); }, {0, 3, 5}},
      {"Resize up, even within the capacity", [](IntVector& v) { v.Resize(6); }, {kDetached, kDetached, kDetached}},
      {"Clear", [](IntVector& v) { v.Clear(); }, {kDetached, kDetached, kDetached}},
      {"copy assignment",
       [](IntVector& v) {
         const IntVector copy(v);
         v = copy;
       },
       {kDetached, kDetached, kDetached}},
      {"self-assignment", [](IntVector& v) { v = std::as_const(v); }, {0, 3, 5}},
      {"move assignment", [](IntVector& v) { v = IntVector(); }, {kDetached, kDetached, kDetached}},
      {"moved from", [](IntVector& v) { IntVector taken(std::move(v)); }, {kDetached, kDetached, kDetached}},
  };
  for (const VectorRule& rule : rules) {
    SCOPED_TRACE(rule.what);
    IntVector vector;
    for (int value = 0; value < 50; value += 10) vector.PushBack(value);
    std::array<IntVector::Iterator, 3> held = {vector.Begin(), vector.Begin() + 3, vector.End()};
    rule.operation(vector);
    for (size_t i = 0; i < held.size(); ++i) {
      if (rule.after[i] == kDetached)
        EXPECT_TRUE(RaisesAt([&] { held[i] += 0; }, kInvalidIterator, kVectorFile, 307)) << i;
      else
        EXPECT_TRUE(held[i] == vector.Begin() + rule.after[i]) << i;
    }
    EXPECT_TRUE(vector.CheckInvariants());
  }
}

// Map 0..4 holding iterators on 1 and 3 and at the end; after the operation each stands on its
// key, at the end, or is detached.
constexpr int kAtEnd = 100;
struct TreeRule {
  const char* what;
  std::function<void(std::unique_ptr<IntMap>&)> operation;
  std::array<int, 3> after;
};

TEST(ContainerInvalidation, TreeDetachesPerOperation) {
  const TreeRule rules[] = {
      {"lookups",
       [](auto& m) {
         m->Find(2);
         m->Count(9);
         m->LowerBound(2);
         m->UpperBound(3);
         (*m)[2];
       },
       {1, 3, kAtEnd}},
      {"insertions",
       [](auto& m) {
         m->Insert(7, 7);
         (*m)[-1] = 1;
         m->InsertOrGetAtEnd(9) = 9;
       },
       {1, 3, kAtEnd}},
      {"Erase of a key", [](auto& m) { m->Erase(3); }, {1, kDetached, kAtEnd}},
      {"Erase of an absent key", [](auto& m) { m->Erase(8); }, {1, 3, kAtEnd}},
      {"Erase through an iterator", [](auto& m) { m->Erase(m->Find(1)); }, {kDetached, 3, kAtEnd}},
      {"Clear", [](auto& m) { m->Clear(); }, {kDetached, kDetached, kAtEnd}},
      {"assignment", [](auto& m) { *m = IntMap(*m); }, {kDetached, kDetached, kAtEnd}},
      {"self-assignment", [](auto& m) { *m = std::as_const(*m); }, {1, 3, kAtEnd}},
      {"destruction", [](auto& m) { m.reset(); }, {kDetached, kDetached, kDetached}},
  };
  for (const TreeRule& rule : rules) {
    SCOPED_TRACE(rule.what);
    auto map = std::make_unique<IntMap>();
    for (int key = 0; key < 5; ++key) (*map)[key] = key;
    const std::array<IntMap::Iterator, 3> held = {map->Find(1), map->Find(3),
                                                  map->End()};  // const objects are detached too
    rule.operation(map);
    for (size_t i = 0; i < held.size(); ++i) {
      if (rule.after[i] == kDetached) {
        EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*held[i]; })) << i;
        EXPECT_TRUE(map == nullptr || held[i] != map->End()) << i;
      } else if (rule.after[i] == kAtEnd) {
        EXPECT_TRUE(held[i] == map->End()) << i;
      } else {
        EXPECT_EQ(held[i]->first, rule.after[i]) << i;
      }
    }
    EXPECT_TRUE(map == nullptr || map->CheckInvariants());
  }
}

}  // namespace
