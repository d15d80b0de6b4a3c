// ZRMUtMap and ZRMUtSet beyond the model test: key order of pairs and NaN fields, lookups
// that build no value, copies and self-assignment, detaching of read-only and const iterator
// objects, nesting. Element lifetimes: ExceptionSafetyTest.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using zrmtest::Counted;
using zrmtest::RaisesInvalidTreeIterator;

using IntMap = ZRMUtMap<int, double, ZRMUtLess<int>>;
using PairKey = ZRMUtPair<int, int>;
using IntDouble = ZRMUtPair<int, double>;
using DoubleInt = ZRMUtPair<double, int>;

template <class Container>
std::vector<typename Container::Item> Items(const Container& container) {
  std::vector<typename Container::Item> items;
  for (auto it = container.Begin(); it != container.End(); ++it) items.push_back(*it);
  return items;
}

TEST(TreeContainers, ThreeWayOrderOfScalarsAndPairsWithNaNComparingEqual) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ZRMUtLess<int>::Compare(1, 2), -1);
  EXPECT_EQ(ZRMUtLess<int>::Compare(2, 1), 1);
  EXPECT_EQ(ZRMUtLess<int>::Compare(2, 2), 0);
  EXPECT_TRUE(ZRMUtLess<int>()(1, 2));
  EXPECT_FALSE(ZRMUtLess<int>()(2, 2));
  EXPECT_TRUE(ZRMUtLess<PairKey>()(ZRMUtMakePair(1, 5), ZRMUtMakePair(2, -1)));
  EXPECT_EQ(ZRMUtLess<double>::Compare(nan, 1.0), 0);
  EXPECT_EQ(ZRMUtLess<double>::Compare(1.0, nan), 0);
  EXPECT_EQ(ZRMUtLess<IntDouble>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(1, 3.0)), 0);
  EXPECT_EQ(ZRMUtLess<IntDouble>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(2, 3.0)), -1);
  EXPECT_EQ(ZRMUtLess<DoubleInt>::Compare(ZRMUtMakePair(nan, 9), ZRMUtMakePair(4.0, 3)), 1);
  EXPECT_TRUE(ZRMUtMakePair(1, nan) != ZRMUtMakePair(1, nan));  // equality is plain == on both fields
  EXPECT_TRUE(ZRMUtMakePair(1, 2.0) != ZRMUtMakePair(3, 2.0));
  EXPECT_FALSE(ZRMUtMakePair(1, 2.0) != ZRMUtMakePair(1, 2.0));

  ZRMUtMap<PairKey, int> map;
  map[ZRMUtMakePair(2, -1)] = 1;
  map[ZRMUtMakePair(1, 5)] = 2;
  map[ZRMUtMakePair(1, -7)] = 3;
  map[ZRMUtMakePair(0, 100)] = 4;
  std::vector<int> values;
  for (auto it = map.Begin(); it != map.End(); ++it) values.push_back(it->second);
  EXPECT_EQ(values, std::vector<int>({4, 3, 2, 1}));  // (0,100) (1,-7) (1,5) (2,-1)

  ZRMUtSet<IntDouble> set;
  set.Insert(ZRMUtMakePair(2, -1.0));
  set.Insert(ZRMUtMakePair(1, 5.0));
  set.Insert(ZRMUtMakePair(1, -2.5));
  EXPECT_FALSE(set.Insert(ZRMUtMakePair(1, nan)));  // equal to (1, anything)
  const std::vector<IntDouble> keys = Items(set);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_TRUE(keys[0] == ZRMUtMakePair(1, -2.5));
  EXPECT_TRUE(keys[1] == ZRMUtMakePair(1, 5.0));
  EXPECT_TRUE(keys[2] == ZRMUtMakePair(2, -1.0));

  ZRMUtMap<IntDouble, int> byPair;
  byPair[ZRMUtMakePair(1, 2.0)] = 7;
  EXPECT_EQ(byPair[ZRMUtMakePair(1, nan)], 7);  // the same entry
  EXPECT_EQ(byPair.Size(), 1);
}

TEST(TreeContainers, LookupsBuildNoValueAndSubscriptBuildsOneDefault) {
  ZRMUtMap<int, Counted> map;
  map[1] = Counted(1);
  const int built = Counted::Built();
  (void)map.Find(2);
  (void)map.Count(2);
  (void)map.Erase(2);
  (void)map[1];
  EXPECT_EQ(Counted::Built(), built);
  EXPECT_EQ(map[2].Value(), 0);
  EXPECT_EQ(Counted::Built(), built + 1);  // an insertion builds its value once
  EXPECT_EQ(map.Size(), 2);
}

TEST(TreeContainers, CopiesAreIndependentAndSelfAssignmentKeepsIterators) {
  IntMap map;
  ZRMUtSet<int> set;
  for (int key = 0; key < 20; ++key) {
    map[key] = key;
    set.Insert(key * 7 % 20);
  }
  IntMap mapCopy(map);
  ZRMUtSet<int> setCopy(set);
  EXPECT_EQ(Items(mapCopy), Items(map));
  EXPECT_EQ(Items(setCopy), Items(set));
  mapCopy[3] = -1.0;
  map[50] = 5.0;
  setCopy.Erase(0);
  EXPECT_EQ(map[3], 3.0);
  EXPECT_EQ(mapCopy.Count(50), 0);
  EXPECT_EQ(set.Count(0), 1);

  IntMap::Iterator onTwo = map.Find(2);
  ZRMUtSet<int>::Iterator onFive = set.Find(5);
  IntMap& mapAlias = map;
  ZRMUtSet<int>& setAlias = set;
  map = mapAlias;
  set = setAlias;
  EXPECT_EQ(onTwo->second, 2.0);
  EXPECT_EQ(*onFive, 5);
  EXPECT_EQ(map.Size(), 21);
  EXPECT_EQ(set.Size(), 20);
  EXPECT_TRUE(map.CheckInvariants() && set.CheckInvariants() && mapCopy.CheckInvariants());
}

TEST(TreeContainers, ConstIteratorObjectsAndCopiesOfDetachedIteratorsAreDetached) {
  IntMap map;
  for (int key = 0; key < 5; ++key) map[key] = key;
  const IntMap::Iterator onTwo = map.Find(2);
  map.Erase(2);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)onTwo->second; }));
  IntMap::Iterator copy(onTwo);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { ++copy; }));
  EXPECT_TRUE(copy == onTwo);
  EXPECT_TRUE(map.CheckInvariants());
}

TEST(TreeContainers, NestedContainersCopyDeeplyAndSubscriptValueInitialises) {
  struct Record {
    bool mIsHard = false;
    IntMap mCoefficients;
  };
  ZRMUtMap<PairKey, Record> constraints;
  constraints[ZRMUtMakePair(3, -1)].mCoefficients[1] = 2.0;
  constraints[ZRMUtMakePair(0, 0)].mIsHard = true;
  EXPECT_TRUE(constraints.Begin()->second.mIsHard);
  ZRMUtMap<PairKey, Record> assigned;
  assigned[ZRMUtMakePair(7, 7)].mIsHard = true;
  assigned = constraints;
  assigned[ZRMUtMakePair(3, -1)].mCoefficients[1] = -1.0;
  EXPECT_EQ(assigned.Count(ZRMUtMakePair(7, 7)), 0);
  EXPECT_EQ(constraints[ZRMUtMakePair(3, -1)].mCoefficients[1], 2.0);
  ZRMUtVector<IntMap> maps;
  maps.Resize(3);
  maps[1][5] = 5.0;
  ZRMUtVector<IntMap> copiedMaps(maps);
  maps[1][5] = 6.0;
  EXPECT_EQ(copiedMaps[1][5], 5.0);
  EXPECT_EQ(copiedMaps[1][4], 0.0);
  ZRMUtMap<int, ZRMUtPair<void*, void*>> pointerPairs;
  EXPECT_EQ(pointerPairs[1].first, nullptr);
}

}  // namespace
