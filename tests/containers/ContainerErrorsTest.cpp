// Every way the containers refuse a use: the error code and the reported file and line, and
// that the refused operation changed nothing.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

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
      {"map: Find of an absent key read", kTreeIterator, [](Fixture& f) { (void)f.map.Find(9)->second; }},
      {"map: unbound iterator read", kTreeIterator, [](Fixture&) { (void)*IntMap::Iterator(); }},
      {"map: unbound iterator advanced", kTreeIterator, [](Fixture&) { ++IntMap::Iterator(); }},
      {"map: Erase of an unbound iterator", kTreeIterator, [](Fixture& f) { f.map.Erase(IntMap::Iterator()); }},
      {"map: Erase of End", kTreeIterator, [](Fixture& f) { f.map.Erase(f.map.End()); }},
      {"map: Erase of another map's iterator", kTreeIterator, [](Fixture& f) { f.map.Erase(f.other.Find(2)); }},
      {"map: read-only iterator read after Clear", kTreeIterator,
       [](Fixture& f) { IntMap::ConstIterator first = f.scratch.Begin(); f.scratch.Clear(); (void)*first; }},
      {"map: iterator outliving its map", kTreeIterator,
       [](Fixture& f) { IntMap::Iterator survivor = std::make_unique<IntMap>(f.scratch)->Begin(); (void)*survivor; }},
      {"set: End dereferenced", kTreeIterator, [](Fixture& f) { (void)*f.set.End(); }},
      {"set: Erase of End", kTreeIterator, [](Fixture& f) { f.set.Erase(f.set.End()); }},
      {"vector: Back of an empty vector", kIndex, [](Fixture&) { (void)IntVector().Back(); }},
      {"vector: read-only Back of an empty vector", kReadOnlyIndex, [](Fixture&) { (void)static_cast<const IntVector&>(IntVector()).Back(); }},
      {"vector: Resize(-1)", kIndex, [](Fixture& f) { f.vector.Resize(-1); }},
      {"vector: Reserve(-2)", kIndex, [](Fixture& f) { f.vector.Reserve(-2); }},
      {"vector: Begin() - 1", kStep, [](Fixture& f) { (void)(f.vector.Begin() - 1); }},
      {"vector: End advanced", kStep, [](Fixture& f) { ++f.vector.End(); }},
      {"vector: Begin() + 6", kStep, [](Fixture& f) { (void)(f.vector.Begin() + 6); }},
      {"vector: End dereferenced", kVectorIterator, [](Fixture& f) { (void)*f.vector.End(); }},
      {"vector: unbound iterator read", kVectorIterator, [](Fixture&) { (void)*IntVector::Iterator(); }},
      {"vector: unbound iterator advanced", kVectorIterator, [](Fixture&) { ++IntVector::Iterator(); }},
      {"vector: iterator outliving its vector", kVectorIterator,
       [](Fixture& f) { IntVector::ConstIterator survivor = std::make_unique<IntVector>(f.vector)->Begin(); (void)*survivor; }},
  };
  for (int index : {-1, 5, 6, 1 << 30}) {
    const std::string at = "[" + std::to_string(index) + "]";
    cases.push_back({"vector" + at, kIndex, [index](Fixture& f) { (void)f.vector[index]; }});
    cases.push_back({"read-only vector" + at, kReadOnlyIndex, [index](Fixture& f) { (void)std::as_const(f.vector)[index]; }});
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

}  // namespace
