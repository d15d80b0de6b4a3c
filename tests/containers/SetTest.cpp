// ZRMUtSet: operations, order of pair keys, detaching, copies.
#include "ContainerTestSupport.h"
#include "ZRMUtSet.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using zrmtest::Counted;
using zrmtest::RaisesInvalidTreeIterator;

template <class Set>
std::vector<typename Set::Key> Keys(const Set& set) {
  std::vector<typename Set::Key> keys;
  for (auto it = set.Begin(); it != set.End(); ++it) keys.push_back(*it);
  return keys;
}

TEST(Set, InsertFindCountErase) {
  ZRMUtSet<int> set;
  EXPECT_TRUE(set.Insert(3));
  EXPECT_TRUE(set.Insert(-1));
  EXPECT_FALSE(set.Insert(3));
  EXPECT_EQ(set.Size(), 2);
  EXPECT_EQ(set.Count(3), 1);
  EXPECT_EQ(set.Count(4), 0);
  EXPECT_TRUE(set.Find(4) == set.End());
  EXPECT_EQ(*set.Find(-1), -1);
  EXPECT_FALSE(set.Erase(4));
  EXPECT_TRUE(set.Erase(3));
  EXPECT_EQ(Keys(set), std::vector<int>({-1}));
  EXPECT_TRUE(set.CheckInvariants());
}

TEST(Set, PairsOfIndexAndValueOrderLexicographically) {
  ZRMUtSet<ZRMUtPair<int, double>> set;
  set.Insert(ZRMUtMakePair(2, -1.0));
  set.Insert(ZRMUtMakePair(1, 5.0));
  set.Insert(ZRMUtMakePair(1, -2.5));
  set.Insert(ZRMUtMakePair(1, std::numeric_limits<double>::quiet_NaN()));  // equal to (1, anything)
  const std::vector<ZRMUtPair<int, double>> keys = Keys(set);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_TRUE(keys[0] == ZRMUtMakePair(1, -2.5));
  EXPECT_TRUE(keys[1] == ZRMUtMakePair(1, 5.0));
  EXPECT_TRUE(keys[2] == ZRMUtMakePair(2, -1.0));
}

TEST(Set, ErasedKeyDetachesItsIterators) {
  ZRMUtSet<int> set;
  for (int key = 0; key < 6; ++key) set.Insert(key);
  ZRMUtSet<int>::Iterator onTwo = set.Find(2);
  ZRMUtSet<int>::Iterator onFour = set.Find(4);
  set.Erase(2);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*onTwo; }));
  EXPECT_EQ(*onFour, 4);
  set.Erase(onFour);
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { ++onFour; }));
  ZRMUtSet<int>::Iterator first = set.Begin();
  set.Clear();
  EXPECT_TRUE(RaisesInvalidTreeIterator([&] { (void)*first; }));
  EXPECT_TRUE(set.Begin() == set.End());
}

TEST(Set, BoundsOfKeys) {
  ZRMUtSet<int> set;
  for (int key : {10, 20, 30}) set.Insert(key);
  EXPECT_EQ(*set.LowerBound(15), 20);
  EXPECT_EQ(*set.LowerBound(20), 20);
  EXPECT_EQ(*set.UpperBound(20), 30);
  EXPECT_TRUE(set.UpperBound(30) == set.End());
}

TEST(Set, CopyAssignAndSelfAssign) {
  ZRMUtSet<int> set;
  for (int key = 0; key < 10; ++key) set.Insert(key * 7 % 10);
  ZRMUtSet<int> copy(set);
  copy.Erase(0);
  EXPECT_EQ(set.Size(), 10);
  EXPECT_EQ(copy.Size(), 9);
  ZRMUtSet<int>::Iterator onFive = set.Find(5);
  ZRMUtSet<int>& alias = set;
  set = alias;
  EXPECT_EQ(*onFive, 5);
  copy = set;
  EXPECT_EQ(Keys(copy), Keys(set));
  EXPECT_TRUE(copy.CheckInvariants());
}

TEST(Set, ElementsAreDestroyedExactlyOnce) {
  const int before = Counted::Live();
  {
    ZRMUtSet<Counted> set;
    for (int key = 0; key < 40; ++key) set.Insert(Counted(key % 30));
    EXPECT_EQ(set.Size(), 30);
    ZRMUtSet<Counted> copy(set);
    set.Erase(Counted(3));
    copy = set;
    copy.Clear();
  }
  EXPECT_EQ(Counted::Live(), before);
}

}  // namespace
