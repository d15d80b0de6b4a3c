// Container rules the model tests leave out: key order of pairs and NaN fields, lookups that
// build no value, value-initialised entries, the growth sequence, exact-room vectors and
// moving appends; failing element copies leave the container (contents, iterators) as it was,
// and counted elements prove that nothing leaks or is destroyed twice.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using zrmtest::CopyBudget;
using zrmtest::Counted;
using zrmtest::kInvalidIterator;
using zrmtest::kVectorFile;
using zrmtest::RaisesAt;

using IntDouble = ZRMUtPair<int, double>;
using DoubleInt = ZRMUtPair<double, int>;

std::vector<int> Values(const ZRMUtVector<Counted>& vector) {
  std::vector<int> values;
  for (int index = 0; index < vector.Size(); ++index) values.push_back(vector[index].Value());
  return values;
}

TEST(TreeContainers, ThreeWayOrderOfScalarsAndPairsWithNaNComparingEqual) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(
      std::vector<int>({ZRMUtLess<int>::Compare(1, 2), ZRMUtLess<int>::Compare(2, 1), ZRMUtLess<int>::Compare(2, 2),
                        ZRMUtLess<double>::Compare(nan, 1.0), ZRMUtLess<double>::Compare(1.0, nan),
                        ZRMUtLess<IntDouble>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(1, 3.0)),
                        ZRMUtLess<IntDouble>::Compare(ZRMUtMakePair(1, nan), ZRMUtMakePair(2, 3.0)),
                        ZRMUtLess<DoubleInt>::Compare(ZRMUtMakePair(nan, 9), ZRMUtMakePair(4.0, 3))}),
      std::vector<int>({-1, 1, 0, 0, 0, 0, -1, 1}));
  EXPECT_TRUE(ZRMUtLess<int>()(1, 2) && !ZRMUtLess<int>()(2, 2));
  EXPECT_TRUE((ZRMUtLess<ZRMUtPair<int, int>>()(ZRMUtMakePair(1, 5), ZRMUtMakePair(2, -1))));
  // Equality is plain == on both fields.
  EXPECT_TRUE(ZRMUtMakePair(1, nan) != ZRMUtMakePair(1, nan) && ZRMUtMakePair(1, 2.0) != ZRMUtMakePair(3, 2.0));
  EXPECT_FALSE(ZRMUtMakePair(1, 2.0) != ZRMUtMakePair(1, 2.0));

  ZRMUtSet<IntDouble> set;
  for (const IntDouble& key : {ZRMUtMakePair(2, -1.0), ZRMUtMakePair(1, 5.0), ZRMUtMakePair(1, -2.5)}) set.Insert(key);
  EXPECT_FALSE(set.Insert(ZRMUtMakePair(1, nan)));  // equal to (1, anything)
  std::vector<IntDouble> keys;
  for (auto it = set.Begin(); it != set.End(); ++it) keys.push_back(*it);
  EXPECT_TRUE(keys == std::vector<IntDouble>({ZRMUtMakePair(1, -2.5), ZRMUtMakePair(1, 5.0), ZRMUtMakePair(2, -1.0)}));
  ZRMUtMap<IntDouble, int> byPair;
  byPair[ZRMUtMakePair(1, 2.0)] = 7;
  EXPECT_EQ(byPair[ZRMUtMakePair(1, nan)], 7);  // the same entry
  EXPECT_EQ(byPair.Size(), 1);
}

TEST(TreeContainers, LookupsBuildNoValueAndSubscriptBuildsOneValueInitialisedEntry) {
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
  ZRMUtMap<int, ZRMUtPair<void*, double>> pairs;
  EXPECT_TRUE(pairs[1].first == nullptr && pairs[1].second == 0.0);
}

TEST(Vector, AppendingAndCopyingGrowCapacityByTheRule) {
  ZRMUtVector<int> vector;
  std::vector<int> capacities;
  for (int value = 0; value < 20; ++value) {
    if (value == 10) {
      EXPECT_EQ(ZRMUtVector<int>(vector).Capacity(), 13);  // from 1, one append at a time
    }
    vector.PushBack(value);
    if (capacities.empty() || capacities.back() != vector.Capacity()) capacities.push_back(vector.Capacity());
  }
  EXPECT_EQ(capacities, std::vector<int>({1, 2, 3, 4, 6, 9, 13, 19, 28}));
  EXPECT_EQ(vector.Back(), 19);
  const ZRMUtVector<int> empty;
  EXPECT_EQ(ZRMUtVector<int>(empty).Capacity(), 1);
}

TEST(Vector, WithCapacityGivesExactRoomAndMovingAppendsTakeTheStorage) {
  for (const int capacity : {0, 1, 7, 1000}) {
    ZRMUtVector<int> vector = ZRMUtVector<int>::WithCapacity(capacity);
    EXPECT_EQ(vector.Size(), 0);
    for (int value = 0; value < capacity; ++value) vector.PushBack(value);
    EXPECT_EQ(vector.Capacity(), capacity);  // no growth up to the room asked
  }
  using Row = ZRMUtVector<ZRMUtPair<int, double>>;
  ZRMUtVector<Row> rows;
  std::vector<const ZRMUtPair<int, double>*> storage;
  for (int r = 0; r < 10; ++r) {  // grows the outer vector several times
    Row row = Row::WithCapacity(r + 1);
    for (int e = 0; e <= r; ++e) row.PushBack(ZRMUtMakePair(e, 0.5 * r));
    storage.push_back(&row[0]);
    rows.PushBack(std::move(row));
    EXPECT_EQ(row.Capacity(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is documented
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

TEST(ExceptionSafety, VectorGrowthResizeAndCopyFailuresKeepContentsAndIterators) {
  const int before = Counted::Live();
  {
    ZRMUtVector<Counted> vector;
    for (int value = 0; value < 4; ++value) vector.PushBack(Counted(value));
    ASSERT_EQ(vector.Size(), vector.Capacity());
    ZRMUtVector<Counted>::Iterator second = vector.Begin() + 1;
    for (int copies = 0; copies < 5; ++copies) {  // fail at each copy of the reallocation
      CopyBudget budget(copies);
      EXPECT_THROW(vector.PushBack(Counted(9)), std::runtime_error) << copies;
      EXPECT_EQ(Values(vector), std::vector<int>({0, 1, 2, 3}));
      EXPECT_EQ(vector.Capacity(), 4);
      EXPECT_EQ(second->Value(), 1);  // not detached: nothing moved
      EXPECT_TRUE(vector.CheckInvariants());
    }
    vector.Resize(3);
    for (int copies = 0; copies < 12; ++copies) {
      CopyBudget budget(copies);
      try {
        vector.Resize(8, Counted(5));
        vector.Resize(3);
      } catch (const std::runtime_error&) {
      }
      EXPECT_EQ(Values(vector), std::vector<int>({0, 1, 2})) << copies;
    }
    ZRMUtVector<Counted> target;
    target.PushBack(Counted(-1));
    ZRMUtVector<Counted>::Iterator onTarget = target.Begin();
    for (int copies = 0; copies < 3; ++copies) {
      CopyBudget budget(copies);
      EXPECT_THROW(target = vector, std::runtime_error);
      EXPECT_THROW(ZRMUtVector<Counted>{vector}, std::runtime_error);
      EXPECT_EQ(Values(target), std::vector<int>({-1}));
      EXPECT_EQ(onTarget->Value(), -1);
    }
  }
  EXPECT_EQ(Counted::Live(), before);
}

TEST(ExceptionSafety, TreeCopyAssignmentAndInsertFailuresKeepTheTarget) {
  const int before = Counted::Live();
  {
    ZRMUtMap<int, Counted> source;
    for (int key = 0; key < 6; ++key) source[key] = Counted(key * 10);
    ZRMUtMap<int, Counted> target;
    target[100] = Counted(1);
    ZRMUtMap<int, Counted>::Iterator onTarget = target.Find(100);
    for (int copies = 0; copies < 6; ++copies) {
      CopyBudget budget(copies);
      EXPECT_THROW(target = source, std::runtime_error);
      EXPECT_THROW((ZRMUtMap<int, Counted>(source)), std::runtime_error);
      EXPECT_EQ(target.Size(), 1);
      EXPECT_EQ(onTarget->second.Value(), 1);  // the failed assignment detached nothing
      EXPECT_TRUE(target.CheckInvariants());
    }
    target = source;
    EXPECT_EQ(target.Size(), 6);
    for (int key = 0; key < 6; key += 2) target.Erase(key);
    source.Clear();
    source[1] = Counted(1);

    ZRMUtSet<Counted> set;
    for (int key = 0; key < 40; ++key) set.Insert(Counted(key % 30));
    {
      CopyBudget budget(0);
      EXPECT_THROW(set.Insert(Counted(30)), std::runtime_error);
    }
    EXPECT_EQ(set.Size(), 30);
    EXPECT_TRUE(set.CheckInvariants());
    set.Erase(Counted(3));
    ZRMUtSet<Counted> setCopy(set);
    setCopy.Clear();
  }
  EXPECT_EQ(Counted::Live(), before);
}

}  // namespace
