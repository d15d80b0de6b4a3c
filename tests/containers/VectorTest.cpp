// ZRMUtVector: growth rule, checked access, iterator stepping and detaching, copies,
// element lifetimes.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using zrmtest::Counted;
using zrmtest::kIndexOutOfRange;
using zrmtest::kInvalidIterator;
using zrmtest::kVectorFile;
using zrmtest::RaisesAt;

template <class T>
std::vector<T> Elements(const ZRMUtVector<T>& vector) {
  std::vector<T> elements;
  for (int index = 0; index < vector.Size(); ++index) elements.push_back(vector[index]);
  return elements;
}

TEST(Vector, AppendingGrowsCapacityByTheRule) {
  ZRMUtVector<int> vector;
  EXPECT_EQ(vector.Capacity(), 0);
  std::vector<int> capacities;
  for (int value = 0; value < 20; ++value) {
    vector.PushBack(value);
    if (capacities.empty() || capacities.back() != vector.Capacity()) capacities.push_back(vector.Capacity());
  }
  EXPECT_EQ(capacities, std::vector<int>({1, 2, 3, 4, 6, 9, 13, 19, 28}));
  EXPECT_EQ(vector.Size(), 20);
  EXPECT_EQ(vector.Back(), 19);
}

TEST(Vector, ReserveFollowsTheRule) {
  ZRMUtVector<int> vector;
  vector.Reserve(10);  // no capacity yet: 1
  EXPECT_EQ(vector.Capacity(), 1);
  vector.Reserve(10);  // needed 10 > 1: max(1, 10)
  EXPECT_EQ(vector.Capacity(), 10);
  vector.Reserve(3);
  EXPECT_EQ(vector.Capacity(), 10);
  for (int value = 0; value < 10; ++value) vector.PushBack(value);
  vector.Reserve(1);  // needed 11: max(15, 11)
  EXPECT_EQ(vector.Capacity(), 15);
  EXPECT_EQ(Elements(vector), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(Vector, ResizeUpFillsAndDownTruncates) {
  ZRMUtVector<double> vector;
  vector.Resize(3);
  EXPECT_EQ(Elements(vector), std::vector<double>({0.0, 0.0, 0.0}));
  EXPECT_EQ(vector.Capacity(), 3);  // 1, then pushes: 2, 3
  vector.Resize(5, 2.5);
  EXPECT_EQ(Elements(vector), std::vector<double>({0.0, 0.0, 0.0, 2.5, 2.5}));
  EXPECT_EQ(vector.Capacity(), 5);  // max(3 + 1, 5)
  vector.Resize(2);
  EXPECT_EQ(Elements(vector), std::vector<double>({0.0, 0.0}));
  EXPECT_EQ(vector.Capacity(), 5);
  vector.Resize(2);
  EXPECT_EQ(vector.Size(), 2);
}

TEST(Vector, ResizeWithOwnElementAsFill) {
  ZRMUtVector<Counted> vector;
  vector.PushBack(Counted(7));
  vector.Resize(6, vector[0]);  // the fill lives in the block being replaced
  ASSERT_EQ(vector.Size(), 6);
  for (int index = 0; index < 6; ++index) EXPECT_EQ(vector[index].Value(), 7);
}

TEST(Vector, PushBackOfOwnElementWhileReallocating) {
  ZRMUtVector<Counted> vector;
  for (int value = 0; value < 4; ++value) vector.PushBack(Counted(value));
  ASSERT_EQ(vector.Size(), vector.Capacity());
  vector.PushBack(vector[1]);
  EXPECT_EQ(vector.Back().Value(), 1);
}

TEST(Vector, IndexOutsideRaisesWithTheFormsLine) {
  ZRMUtVector<int> vector;
  vector.PushBack(1);
  const ZRMUtVector<int>& readOnly = vector;
  for (int index : {-1, 1, 2, 1 << 30}) {
    EXPECT_TRUE(RaisesAt([&] { (void)vector[index]; }, kIndexOutOfRange, kVectorFile, 385)) << index;
    EXPECT_TRUE(RaisesAt([&] { (void)readOnly[index]; }, kIndexOutOfRange, kVectorFile, 395)) << index;
  }
  ZRMUtVector<int> empty;
  EXPECT_TRUE(RaisesAt([&] { (void)empty.Back(); }, kIndexOutOfRange, kVectorFile, 385));
  EXPECT_EQ(vector[0], 1);
}

TEST(Vector, NegativeCountsAreRefused) {
  ZRMUtVector<int> vector;
  vector.PushBack(4);
  EXPECT_TRUE(RaisesAt([&] { vector.Resize(-1); }, kIndexOutOfRange, kVectorFile, 385));
  EXPECT_TRUE(RaisesAt([&] { vector.Reserve(-2); }, kIndexOutOfRange, kVectorFile, 385));
  EXPECT_EQ(Elements(vector), std::vector<int>({4}));
  EXPECT_EQ(vector.Capacity(), 1);
}

TEST(Vector, IteratorStepsWithinFirstAndEnd) {
  ZRMUtVector<int> vector;
  for (int value = 0; value < 5; ++value) vector.PushBack(value * 10);
  ZRMUtVector<int>::Iterator it = vector.Begin();
  EXPECT_EQ(*it, 0);
  it += 3;
  EXPECT_EQ(*it, 30);
  --it;
  EXPECT_EQ(*it, 20);
  EXPECT_EQ(*(it + 2), 40);
  EXPECT_EQ(*(it - 2), 0);
  EXPECT_TRUE(it + 3 == vector.End());
  ZRMUtVector<int>::Iterator last = vector.End() - 1;
  EXPECT_EQ(*last, 40);
  *last = 41;
  EXPECT_EQ(vector[4], 41);
  ZRMUtVector<int>::Iterator before = it++;
  EXPECT_EQ(*before, 20);
  EXPECT_EQ(*it, 30);
  before = it--;
  EXPECT_EQ(*before, 30);

  EXPECT_TRUE(RaisesAt([&] { (void)(vector.Begin() - 1); }, kIndexOutOfRange, kVectorFile, 269));
  EXPECT_TRUE(RaisesAt([&] { auto end = vector.End(); ++end; }, kIndexOutOfRange, kVectorFile, 269));
  EXPECT_TRUE(RaisesAt([&] { (void)(vector.Begin() + 6); }, kIndexOutOfRange, kVectorFile, 269));
  EXPECT_TRUE(RaisesAt([&] { (void)*vector.End(); }, kInvalidIterator, kVectorFile, 307));
  ZRMUtVector<int>::Iterator unbound;
  EXPECT_TRUE(RaisesAt([&] { (void)*unbound; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(RaisesAt([&] { ++unbound; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_EQ(*it, 20);  // failed steps left it where it was
}

TEST(Vector, ReallocationDetachesEveryIterator) {
  ZRMUtVector<int> vector;
  vector.PushBack(1);
  vector.PushBack(2);  // capacity 2, full
  ZRMUtVector<int>::Iterator first = vector.Begin();
  ZRMUtVector<int>::ConstIterator second = vector.Begin() + 1;
  ZRMUtVector<int>::Iterator end = vector.End();
  vector.PushBack(3);
  EXPECT_TRUE(RaisesAt([&] { (void)*first; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(RaisesAt([&] { (void)*second; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(RaisesAt([&] { ++end; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(vector.CheckInvariants());
}

TEST(Vector, AppendWithinCapacityKeepsIterators) {
  ZRMUtVector<int> vector;
  vector.Reserve(1);
  vector.Reserve(4);
  vector.PushBack(1);
  ZRMUtVector<int>::Iterator first = vector.Begin();
  ZRMUtVector<int>::Iterator end = vector.End();
  vector.PushBack(2);
  EXPECT_EQ(*first, 1);
  EXPECT_EQ(*end, 2);  // the old end now stands on the new element
}

TEST(Vector, ShrinkingDetachesOnlyFromTheNewSize) {
  ZRMUtVector<int> vector;
  for (int value = 0; value < 6; ++value) vector.PushBack(value);
  ZRMUtVector<int>::Iterator atOne = vector.Begin() + 1;
  ZRMUtVector<int>::Iterator atTwo = vector.Begin() + 2;
  ZRMUtVector<int>::Iterator atFour = vector.Begin() + 4;
  vector.Resize(2);
  EXPECT_EQ(*atOne, 1);
  EXPECT_TRUE(RaisesAt([&] { (void)*atTwo; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(RaisesAt([&] { (void)*atFour; }, kInvalidIterator, kVectorFile, 307));
  ++atOne;
  EXPECT_TRUE(atOne == vector.End());
}

TEST(Vector, ResizeUpReallocatesEvenWithRoom) {
  ZRMUtVector<int> vector;
  for (int value = 0; value < 4; ++value) vector.PushBack(value);
  vector.Resize(2);
  ZRMUtVector<int>::Iterator first = vector.Begin();
  vector.Resize(3);
  EXPECT_EQ(vector.Capacity(), 4);
  EXPECT_TRUE(RaisesAt([&] { (void)*first; }, kInvalidIterator, kVectorFile, 307));
}

TEST(Vector, ClearDetachesAllAndKeepsTheBlock) {
  ZRMUtVector<int> vector;
  for (int value = 0; value < 3; ++value) vector.PushBack(value);
  ZRMUtVector<int>::Iterator first = vector.Begin();
  vector.Clear();
  EXPECT_EQ(vector.Size(), 0);
  EXPECT_EQ(vector.Capacity(), 3);
  EXPECT_TRUE(RaisesAt([&] { (void)*first; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(vector.Begin() == vector.End());
}

TEST(Vector, IteratorOutlivingItsVectorIsDetached) {
  ZRMUtVector<int>::Iterator survivor;
  ZRMUtVector<int>::Iterator emptyBegin;
  {
    ZRMUtVector<int> vector;
    emptyBegin = vector.Begin();
    vector.PushBack(1);
    survivor = vector.Begin();
  }
  EXPECT_TRUE(RaisesAt([&] { (void)*survivor; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(RaisesAt([&] { ++emptyBegin; }, kInvalidIterator, kVectorFile, 307));
}

TEST(Vector, CopyStartsFromTheRuleAndIsIndependent) {
  ZRMUtVector<int> original;
  for (int value = 0; value < 10; ++value) original.PushBack(value);
  ZRMUtVector<int> copy(original);
  EXPECT_EQ(Elements(copy), Elements(original));
  EXPECT_EQ(copy.Capacity(), 13);  // from capacity 1, appended one at a time
  copy[0] = 100;
  EXPECT_EQ(original[0], 0);
  const ZRMUtVector<int> empty;
  const ZRMUtVector<int> emptyCopy(empty);
  EXPECT_EQ(emptyCopy.Size(), 0);
  EXPECT_EQ(emptyCopy.Capacity(), 1);
}

TEST(Vector, AssignmentCopiesAndDetaches) {
  ZRMUtVector<int> target;
  target.PushBack(5);
  ZRMUtVector<int>::Iterator onFive = target.Begin();
  ZRMUtVector<int> source;
  source.PushBack(1);
  source.PushBack(2);
  target = source;
  EXPECT_EQ(Elements(target), std::vector<int>({1, 2}));
  EXPECT_TRUE(RaisesAt([&] { (void)*onFive; }, kInvalidIterator, kVectorFile, 307));
  ZRMUtVector<int>::Iterator onOne = target.Begin();
  ZRMUtVector<int>& alias = target;
  target = alias;
  EXPECT_EQ(*onOne, 1);  // self-assignment changes nothing
  ZRMUtVector<int> moved(std::move(source));
  EXPECT_EQ(Elements(moved), std::vector<int>({1, 2}));
  EXPECT_EQ(source.Size(), 0);  // NOLINT(bugprone-use-after-move): moved-from state is specified
  EXPECT_TRUE(source.CheckInvariants());
}

TEST(Vector, NestedVectorsAndPairs) {
  ZRMUtVector<ZRMUtVector<ZRMUtPair<int, double>>> rows;
  rows.Resize(3);
  rows[0].PushBack(ZRMUtMakePair(1, 0.5));
  rows[2].PushBack(ZRMUtMakePair(4, -1.0));
  for (int row = 0; row < 20; ++row) rows.PushBack(rows[row % 3]);
  EXPECT_EQ(rows.Size(), 23);
  EXPECT_EQ(rows[5][0].first, 4);
  ZRMUtVector<ZRMUtVector<ZRMUtPair<int, double>>> copy(rows);
  copy[0][0].second = 9.0;
  EXPECT_EQ(rows[0][0].second, 0.5);
  EXPECT_TRUE(rows.CheckInvariants());
}

TEST(Vector, ElementsAreDestroyedExactlyOnce) {
  const int before = Counted::Live();
  {
    ZRMUtVector<Counted> vector;
    for (int value = 0; value < 30; ++value) vector.PushBack(Counted(value));
    ZRMUtVector<Counted> copy(vector);
    vector.Resize(10);
    vector.Resize(15, Counted(3));
    copy = vector;
    vector.Clear();
    EXPECT_EQ(Counted::Live(), before + copy.Size());
  }
  EXPECT_EQ(Counted::Live(), before);
}

}  // namespace
