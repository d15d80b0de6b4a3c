// ZRMUtVector beyond the model test: the growth sequence, copies, self-assignment and moves,
// nested vectors (which move their storage when the outer one grows).
#include "ContainerTestSupport.h"
#include "ZRMUtPair.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using zrmtest::kInvalidIterator;
using zrmtest::kVectorFile;
using zrmtest::RaisesAt;

template <class T>
std::vector<T> Elements(const ZRMUtVector<T>& vector) {
  std::vector<T> elements;
  for (int index = 0; index < vector.Size(); ++index) elements.push_back(vector[index]);
  return elements;
}

TEST(Vector, AppendingAndCopyingGrowCapacityByTheRule) {
  ZRMUtVector<int> vector;
  EXPECT_EQ(vector.Capacity(), 0);
  std::vector<int> capacities;
  for (int value = 0; value < 20; ++value) {
    vector.PushBack(value);
    if (capacities.empty() || capacities.back() != vector.Capacity()) capacities.push_back(vector.Capacity());
    if (value == 9) {
      EXPECT_EQ(ZRMUtVector<int>(vector).Capacity(), 13);  // from 1, one append at a time
    }
  }
  EXPECT_EQ(capacities, std::vector<int>({1, 2, 3, 4, 6, 9, 13, 19, 28}));
  EXPECT_EQ(vector.Back(), 19);
  const ZRMUtVector<int> empty;
  EXPECT_EQ(ZRMUtVector<int>(empty).Capacity(), 1);

}

TEST(Vector, CopiesAreIndependentSelfAssignmentKeepsIteratorsMoveEmptiesTheSource) {
  ZRMUtVector<int> original;
  for (int value = 0; value < 10; ++value) original.PushBack(value);
  ZRMUtVector<int> copy(original);
  copy[0] = 100;
  EXPECT_EQ(original[0], 0);
  ZRMUtVector<int> target;
  target.PushBack(5);
  target = original;
  target[1] = -1;
  EXPECT_EQ(original[1], 1);

  ZRMUtVector<int>::ConstIterator onTwo = original.Begin() + 2;
  ZRMUtVector<int>& alias = original;
  original = alias;
  EXPECT_EQ(*onTwo, 2);
  EXPECT_EQ(original.Capacity(), 13);

  ZRMUtVector<int> moved(std::move(original));
  EXPECT_EQ(Elements(moved), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(original.Size(), 0);  // NOLINT(bugprone-use-after-move): moved-from state is specified
  EXPECT_EQ(original.Capacity(), 0);
  EXPECT_TRUE(RaisesAt([&] { (void)*onTwo; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_TRUE(original.CheckInvariants() && moved.CheckInvariants());
}

TEST(Vector, NestedVectorsAndPairsCopyDeeply) {
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

TEST(Vector, WithCapacityGivesExactRoomAndMovingAppendsTakeTheStorage) {
  for (const int capacity : {0, 1, 7, 1000}) {
    ZRMUtVector<int> vector = ZRMUtVector<int>::WithCapacity(capacity);
    EXPECT_EQ(vector.Capacity(), capacity);
    EXPECT_EQ(vector.Size(), 0);
    for (int value = 0; value < capacity; ++value) vector.PushBack(value);
    EXPECT_EQ(vector.Capacity(), capacity);  // no growth up to the room asked
    EXPECT_TRUE(vector.CheckInvariants());
  }
  EXPECT_TRUE(RaisesAt([] { (void)ZRMUtVector<int>::WithCapacity(-1); }, zrmtest::kIndexOutOfRange, kVectorFile, 385));

  using Row = ZRMUtVector<ZRMUtPair<int, double>>;
  ZRMUtVector<Row> rows;
  std::vector<const ZRMUtPair<int, double>*> storage;
  for (int r = 0; r < 10; ++r) {  // grows the outer vector several times
    Row row = Row::WithCapacity(r + 1);
    for (int e = 0; e <= r; ++e) row.PushBack(ZRMUtMakePair(e, 0.5 * r));
    storage.push_back(&row[0]);
    rows.PushBack(std::move(row));
    EXPECT_EQ(row.Capacity(), 0);  // NOLINT(bugprone-use-after-move): moved-from state is specified
  }
  for (int r = 0; r < 10; ++r) {
    ASSERT_EQ(rows[r].Size(), r + 1);
    EXPECT_EQ(&rows[r][0], storage[r]);  // the entries never moved
    EXPECT_EQ(rows[r][r].second, 0.5 * r);
  }
  while (rows.Size() < rows.Capacity()) rows.PushBack(Row());
  ZRMUtVector<Row>::Iterator onFirst = rows.Begin();
  rows.PushBack(std::move(rows[0]));  // an element of the vector itself, while it grows
  EXPECT_TRUE(RaisesAt([&] { (void)*onFirst; }, kInvalidIterator, kVectorFile, 307));
  EXPECT_EQ(rows.Back().Size(), 1);
  EXPECT_EQ(&rows.Back()[0], storage[0]);
  EXPECT_EQ(rows[0].Size(), 0);
  EXPECT_TRUE(rows.CheckInvariants());
}

}  // namespace
