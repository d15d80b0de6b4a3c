// ZRMUtMap: operations, order, iterator detaching and errors, copies, element lifetimes.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using zrmtest::Counted;
using zrmtest::RaisesInvalidTreeIterator;

using IntMap = ZRMUtMap<int, double, ZRMUtLess<int>>;
using PairKey = ZRMUtPair<int, int>;

template <class Map>
std::vector<std::pair<typename Map::Key, typename Map::Value>> Items(const Map& map) {
  std::vector<std::pair<typename Map::Key, typename Map::Value>> items;
  for (auto it = map.Begin(); it != map.End(); ++it) items.emplace_back(it->first, it->second);
  return items;
}

TEST(Map, AbsentKeyFindCountErase) {
  IntMap map;
  map[1] = 1.5;
  EXPECT_TRUE(map.Find(2) == map.End());
  EXPECT_EQ(map.Count(2), 0);
  EXPECT_FALSE(map.Erase(2));
  EXPECT_EQ(map.Size(), 1);
  EXPECT_EQ(map.Count(1), 1);
  EXPECT_EQ(map.Find(1)->second, 1.5);
  EXPECT_TRUE(map.CheckInvariants());
}

TEST(Map, SubscriptInsertsDefaultOnlyWhenAbsent) {
  IntMap map;
  EXPECT_EQ(map[4], 0.0);
  EXPECT_EQ(map.Size(), 1);
  map[4] = 2.0;
  EXPECT_EQ(map[4], 2.0);
  EXPECT_EQ(map.Size(), 1);
  map[4] += 1.0;
  EXPECT_EQ(map.Find(4)->second, 3.0);
}

TEST(Map, IteratesInAscendingKeyOrder) {
  IntMap map;
  for (int key : {5, -3, 9, 0, 7, -8}) map[key] = key * 0.5;
  std::vector<int> keys;
  for (IntMap::Iterator it = map.Begin(); it != map.End(); ++it) keys.push_back((*it).first);
  EXPECT_EQ(keys, std::vector<int>({-8, -3, 0, 5, 7, 9}));
}

TEST(Map, PairKeysOrderLexicographically) {
  ZRMUtMap<PairKey, int> map;
  map[ZRMUtMakePair(2, -1)] = 1;
  map[ZRMUtMakePair(1, 5)] = 2;
  map[ZRMUtMakePair(1, -7)] = 3;
  map[ZRMUtMakePair(0, 100)] = 4;
  std::vector<int> values;
  for (auto it = map.Begin(); it != map.End(); ++it) values.push_back(it->second);
  EXPECT_EQ(values, std::vector<int>({4, 3, 2, 1}));  // (0,100) (1,-7) (1,5) (2,-1)
}

TEST(Map, NaNFieldOfPairKeyComparesEqual) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ZRMUtLess<double>::Compare(nan, 1.0), 0);
  EXPECT_EQ(ZRMUtLess<double>::Compare(1.0, nan), 0);
  EXPECT_EQ((ZRMUtLess<ZRMUtPair<int, double>>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(1, 3.0))), 0);
  EXPECT_EQ((ZRMUtLess<ZRMUtPair<int, double>>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(2, 3.0))), -1);
  EXPECT_EQ((ZRMUtLess<ZRMUtPair<double, int>>::Compare(ZRMUtMakePair(nan, 9), ZRMUtMakePair(4.0, 3))), 1);

  ZRMUtMap<ZRMUtPair<int, double>, int> map;
  map[ZRMUtMakePair(1, 2.0)] = 7;
  EXPECT_EQ(map[ZRMUtMakePair(1, nan)], 7);  // the same entry
  EXPECT_EQ(map.Size(), 1);
}

TEST(Map, ThreeWayCompareOfScalars) {
  EXPECT_EQ(ZRMUtLess<int>::Compare(1, 2), -1);
  EXPECT_EQ(ZRMUtLess<int>::Compare(2, 1), 1);
  EXPECT_EQ(ZRMUtLess<int>::Compare(2, 2), 0);
  EXPECT_TRUE(ZRMUtLess<int>()(1, 2));
  EXPECT_FALSE(ZRMUtLess<int>()(2, 2));
  EXPECT_TRUE((ZRMUtLess<PairKey>()(ZRMUtMakePair(1, 5), ZRMUtMakePair(2, -1))));
}

TEST(Map, ErasedElementDetachesOnlyItsIterators) {
  IntMap map;
  for (int key = 0; key < 5; ++key) map[key] = key;
  IntMap::Iterator onTwo = map.Find(2);
  const IntMap::Iterator alsoOnTwo = map.Find(2);  // a const object is detached as well
  IntMap::ConstIterator readOnlyOnTwo = map.Find(2);
  IntMap::Iterator onThree = map.Find(3);
  IntMap::Iterator end = map.End();
  EXPECT_TRUE(map.Erase(2));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*onTwo; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { ++onTwo; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)alsoOnTwo->second; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*readOnlyOnTwo; }));
  EXPECT_EQ(onThree->first, 3);
  ++onThree;
  EXPECT_EQ(onThree->first, 4);
  ++onThree;
  EXPECT_TRUE(onThree == end);
  EXPECT_TRUE(end == map.End());
  EXPECT_TRUE(map.CheckInvariants());
}

TEST(Map, ClearDetachesElementIteratorsButNotEnd) {
  IntMap map;
  for (int key = 0; key < 10; ++key) map[key] = key;
  IntMap::Iterator first = map.Begin();
  IntMap::Iterator end = map.End();
  map.Clear();
  EXPECT_EQ(map.Size(), 0);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*first; }));
  EXPECT_TRUE(end == map.End());
  EXPECT_TRUE(map.Begin() == end);
  map[3] = 1.0;
  EXPECT_TRUE(map.Begin() != end);
  EXPECT_TRUE(map.CheckInvariants());
}

TEST(Map, AssignmentDetachesIteratorsOfTheTarget) {
  IntMap target;
  target[1] = 1.0;
  IntMap source;
  source[2] = 2.0;
  IntMap::Iterator onOne = target.Find(1);
  IntMap::Iterator sourceIterator = source.Find(2);
  target = source;
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*onOne; }));
  EXPECT_EQ(sourceIterator->second, 2.0);
  EXPECT_EQ(Items(target), (std::vector<std::pair<int, double>>{{2, 2.0}}));
  EXPECT_TRUE(target.CheckInvariants());
}

TEST(Map, EndAndDetachedIteratorsCannotBeUsed) {
  IntMap map;
  map[1] = 1.0;
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*map.End(); }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { auto end = map.End(); ++end; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)map.Find(9)->second; }));
  IntMap::Iterator unbound;
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*unbound; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { ++unbound; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { map.Erase(unbound); }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { map.Erase(map.End()); }));
  EXPECT_EQ(map.Size(), 1);  // failed erasures changed nothing
}

TEST(Map, IteratorOutlivingItsMapIsDetached) {
  IntMap::Iterator survivor;
  IntMap::Iterator endSurvivor;
  {
    IntMap map;
    map[1] = 1.0;
    survivor = map.Begin();
    endSurvivor = map.End();
  }
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*survivor; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { ++endSurvivor; }));
  IntMap::Iterator copy(survivor);  // copying a detached iterator gives a detached one
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*copy; }));
  EXPECT_TRUE(copy == survivor);
}

TEST(Map, EraseThroughIterator) {
  IntMap map;
  for (int key = 0; key < 4; ++key) map[key] = key;
  IntMap::Iterator position = map.Find(1);
  IntMap::Iterator copy = position;
  map.Erase(position);
  EXPECT_EQ(map.Size(), 3);
  EXPECT_EQ(map.Count(1), 0);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*copy; }));
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { map.Erase(position); }));  // now detached
  IntMap other;
  other[2] = 0.0;
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { map.Erase(other.Find(2)); }));  // not this map's
  EXPECT_EQ(other.Size(), 1);
  EXPECT_EQ(map.Size(), 3);
}

TEST(Map, IteratorEqualityAcrossFormsAndMaps) {
  IntMap a;
  IntMap b;
  a[1] = 0.0;
  b[1] = 0.0;
  const IntMap& readOnly = a;
  EXPECT_TRUE(a.Find(1) == readOnly.Find(1));
  EXPECT_TRUE(a.Begin() == readOnly.Begin());
  EXPECT_TRUE(a.Find(1) != b.Find(1));
  EXPECT_TRUE(a.End() != b.End());
  EXPECT_TRUE(a.Find(5) == readOnly.End());
  IntMap::ConstIterator converted = a.Find(1);
  EXPECT_EQ(converted->first, 1);
}

TEST(Map, PostIncrementReturnsThePreviousPosition) {
  IntMap map;
  map[1] = 10.0;
  map[2] = 20.0;
  IntMap::Iterator it = map.Begin();
  IntMap::Iterator before = it++;
  EXPECT_EQ(before->first, 1);
  EXPECT_EQ(it->first, 2);
}

TEST(Map, BoundsAndInsert) {
  IntMap map;
  for (int key = 0; key < 10; key += 2) EXPECT_TRUE(map.Insert(key, key * 1.0));
  EXPECT_FALSE(map.Insert(4, 99.0));
  EXPECT_EQ(map[4], 4.0);
  EXPECT_EQ(map.LowerBound(3)->first, 4);
  EXPECT_EQ(map.LowerBound(4)->first, 4);
  EXPECT_EQ(map.UpperBound(4)->first, 6);
  EXPECT_TRUE(map.UpperBound(8) == map.End());
  const IntMap& readOnly = map;
  EXPECT_EQ(readOnly.LowerBound(-5)->first, 0);
  EXPECT_TRUE(readOnly.LowerBound(9) == readOnly.End());
}

TEST(Map, CopiesAreIndependent) {
  IntMap original;
  for (int key = 0; key < 20; ++key) original[key] = key;
  IntMap copy(original);
  EXPECT_EQ(Items(copy), Items(original));
  copy[3] = -1.0;
  copy.Erase(4);
  original[50] = 5.0;
  EXPECT_EQ(original[3], 3.0);
  EXPECT_EQ(original.Count(4), 1);
  EXPECT_EQ(copy.Count(50), 0);
  EXPECT_TRUE(copy.CheckInvariants());
  EXPECT_TRUE(original.CheckInvariants());
}

TEST(Map, SelfAssignmentKeepsContentsAndIterators) {
  IntMap map;
  for (int key = 0; key < 5; ++key) map[key] = key;
  IntMap::Iterator onTwo = map.Find(2);
  IntMap& alias = map;
  map = alias;
  EXPECT_EQ(map.Size(), 5);
  EXPECT_EQ(onTwo->second, 2.0);
  EXPECT_TRUE(map.CheckInvariants());
}

TEST(Map, NestedMapsCopyDeeply) {
  ZRMUtMap<int, IntMap> outer;
  outer[1][10] = 1.0;
  outer[1][11] = 2.0;
  outer[2][20] = 3.0;
  ZRMUtMap<int, IntMap> copy = outer;
  copy[1][10] = -1.0;
  EXPECT_EQ(outer[1][10], 1.0);
  EXPECT_EQ(copy[1].Size(), 2);
  EXPECT_EQ(copy[2][20], 3.0);
  ZRMUtMap<int, IntMap> assigned;
  assigned[7][7] = 7.0;
  assigned = outer;
  EXPECT_EQ(assigned.Count(7), 0);
  EXPECT_EQ(assigned[1][11], 2.0);
}

TEST(Map, UsedInstantiationsWork) {
  struct Record {
    bool mIsHard = false;
    IntMap mCoefficients;
    double mRhs = 0.0;
  };
  ZRMUtMap<PairKey, Record> constraints;
  constraints[ZRMUtMakePair(3, -1)].mCoefficients[1] = 2.0;
  constraints[ZRMUtMakePair(0, 0)].mIsHard = true;
  EXPECT_EQ(constraints.Begin()->first, ZRMUtMakePair(0, 0));
  EXPECT_TRUE(constraints.Begin()->second.mIsHard);
  ZRMUtMap<int, ZRMUtMap<PairKey, double>> pairMaps;
  pairMaps[4][ZRMUtMakePair(1, 2)] = 0.5;
  ZRMUtMap<int, void*> pointers;
  EXPECT_EQ(pointers[1], nullptr);
  ZRMUtMap<int, ZRMUtPair<void*, void*>> pointerPairs;
  EXPECT_EQ(pointerPairs[1].first, nullptr);
  ZRMUtVector<IntMap> maps;
  maps.Resize(3);
  maps[1][5] = 5.0;
  ZRMUtVector<IntMap> copiedMaps(maps);
  EXPECT_EQ(copiedMaps[1][5], 5.0);
  EXPECT_EQ(pairMaps[4].Size(), 1);
}

TEST(Map, ElementsAreDestroyedExactlyOnce) {
  const int before = Counted::Live();
  {
    ZRMUtMap<Counted, Counted> map;
    for (int key = 0; key < 50; ++key) map[Counted(key)] = Counted(key * 2);
    ZRMUtMap<Counted, Counted> copy(map);
    for (int key = 0; key < 50; key += 3) map.Erase(Counted(key));
    copy = map;
    map.Clear();
    map[Counted(1)] = Counted(1);
    EXPECT_EQ(map.Find(Counted(1))->second.Value(), 1);
    EXPECT_EQ(copy.Size(), 33);
  }
  EXPECT_EQ(Counted::Live(), before);
}

TEST(Map, LookupsAllocateNoValue) {
  // Find, Count and Erase of an absent key build no value (lookups go by key alone).
  ZRMUtMap<int, Counted> map;
  map[1] = Counted(1);
  const int built = Counted::Built();
  (void)map.Find(2);
  (void)map.Count(2);
  (void)map.Erase(2);
  (void)map[1];
  EXPECT_EQ(Counted::Built(), built);
  map[2];
  EXPECT_EQ(Counted::Built(), built + 1);  // an insertion builds its value once
}

}  // namespace
