// What the differential fuzzers (fuzz_tree, fuzz_vector, replayed as tests) leave out: the order
// of keys with NaN fields, lookups that build no value, vectors of vectors moving their storage,
// and element copies that fail, which leave a container (contents, iterators) as it was.
#include "ZRMTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <vector>

namespace {

// Counts its live instances and how many were built; a copy fails once the budget is spent.
struct Counted {
  Counted(int v = 0) : value(v) { ++live, ++built; }  // NOLINT: converts, as int does
  Counted(const Counted& other) : value(other.value) {
    if (budget-- == 0) throw std::runtime_error("copy failed");
    ++live, ++built;
  }
  Counted& operator=(const Counted&) = default;
  ~Counted() { --live; }
  bool operator<(const Counted& other) const { return value < other.value; }
  int value;
  static inline int live = 0, built = 0, budget = -1;  // budget -1: never runs out
};

std::vector<int> Values(const ZRMUtVector<Counted>& vector) {
  std::vector<int> values;
  for (int i = 0; i < vector.Size(); ++i) values.push_back(vector[i].value);
  return values;
}

TEST(ContainerKeys, ThreeWayOrderTreatsNaNAsEqualToAnything) {
  using IntDouble = ZRMUtPair<int, double>;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(std::vector<int>({ZRMUtLess<int>::Compare(1, 2), ZRMUtLess<int>::Compare(2, 1),
                              ZRMUtLess<int>::Compare(2, 2), ZRMUtLess<double>::Compare(nan, 1.0),
                              ZRMUtLess<double>::Compare(1.0, nan), ZRMUtLess<IntDouble>::Compare({1, nan}, {1, 3.0}),
                              ZRMUtLess<IntDouble>::Compare({1, nan}, {2, 3.0}),
                              ZRMUtLess<ZRMUtPair<double, int>>::Compare({nan, 9}, {4.0, 3})}),
            std::vector<int>({-1, 1, 0, 0, 0, 0, -1, 1}));
  EXPECT_TRUE(ZRMUtMakePair(1, nan) != ZRMUtMakePair(1, nan) && !(ZRMUtMakePair(1, 2.0) != ZRMUtMakePair(1, 2.0)));
  ZRMUtSet<IntDouble> set;
  EXPECT_TRUE(set.Insert({1, 5.0}));
  EXPECT_FALSE(set.Insert({1, nan}));  // equal to (1, anything)
  ZRMUtMap<IntDouble, int> map;
  map[{1, 2.0}] = 7;
  EXPECT_EQ(map[IntDouble(1, nan)], 7);
  EXPECT_EQ(map.Size(), 1);
}

TEST(ContainerKeys, LookupsBuildNoValueAndSubscriptBuildsOne) {
  ZRMUtMap<int, Counted> map;
  map[1] = Counted(1);
  const int built = Counted::built;
  static_cast<void>(map.Find(2) == map.End() && map.Count(2) == 0 && !map.Erase(2) && map[1].value == 1);
  EXPECT_EQ(Counted::built, built);
  EXPECT_EQ(map[2].value, 0);
  EXPECT_EQ(Counted::built, built + 1);
  ZRMUtMap<int, ZRMUtPair<void*, double>> pairs;
  EXPECT_TRUE(pairs[1].first == nullptr && pairs[1].second == 0.0);  // value-initialised
}

// Inner vectors move into the outer one (their entries stay where they are), also an element of
// the outer vector appended to itself while it grows.
TEST(Vector, VectorsOfVectorsMoveTheirStorage) {
  using Row = ZRMUtVector<double>;
  ZRMUtVector<Row> rows;
  std::vector<const double*> storage;
  for (int r = 0; r < 10; ++r) {
    Row row = Row::WithCapacity(r + 1);
    for (int e = 0; e <= r; ++e) row.PushBack(0.5 * r);
    EXPECT_EQ(row.Capacity(), r + 1);
    storage.push_back(&row[0]);
    rows.PushBack(std::move(row));
    EXPECT_EQ(row.Capacity(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is ours
  }
  for (int r = 0; r < 10; ++r)
    EXPECT_TRUE(rows[r].Size() == r + 1 && &rows[r][0] == storage[r] && rows[r][r] == 0.5 * r);
  while (rows.Size() < rows.Capacity()) rows.PushBack(Row());
  rows.PushBack(std::move(rows[0]));
  EXPECT_TRUE(&rows.Back()[0] == storage[0] && rows[0].Size() == 0 && rows.CheckInvariants());
}

TEST(ExceptionSafety, FailedCopiesLeaveVectorsAsTheyWere) {
  {
    ZRMUtVector<Counted> vector, target;
    for (int value = 0; value < 4; ++value) vector.PushBack(Counted(value));
    target.PushBack(Counted(-1));
    ZRMUtVector<Counted>::Iterator second = vector.Begin() + 1, onTarget = target.Begin();
    for (int copies = 0; copies < 5; ++copies) {  // fail at each copy of a reallocating append
      Counted::budget = copies;
      EXPECT_THROW(vector.PushBack(Counted(9)), std::runtime_error);
      EXPECT_TRUE(Values(vector) == std::vector<int>({0, 1, 2, 3}) && vector.Capacity() == 4 && second->value == 1);
      Counted::budget = copies % 3;
      EXPECT_THROW(target = vector, std::runtime_error);
      Counted::budget = copies % 3;
      EXPECT_THROW(ZRMUtVector<Counted>{vector}, std::runtime_error);
      EXPECT_TRUE(Values(target) == std::vector<int>({-1}) && onTarget->value == -1);
    }
    for (int copies = 0; copies < 10; ++copies) {  // ... and of a growing Resize
      Counted::budget = copies;
      EXPECT_THROW(vector.Resize(9, Counted(5)), std::runtime_error);
      EXPECT_EQ(Values(vector), std::vector<int>({0, 1, 2, 3}));
    }
    Counted::budget = -1;
  }
  EXPECT_EQ(Counted::live, 0);  // nothing leaked, nothing destroyed twice
}

TEST(ExceptionSafety, FailedCopiesLeaveTreesAsTheyWere) {
  {
    ZRMUtMap<int, Counted> source, target;
    for (int key = 0; key < 6; ++key) source[key] = Counted(key);
    target[100] = Counted(1);
    ZRMUtMap<int, Counted>::Iterator onTarget = target.Find(100);
    ZRMUtSet<Counted> set;
    for (int key = 0; key < 30; ++key) set.Insert(Counted(key));
    for (int copies = 0; copies < 6; ++copies) {
      Counted::budget = copies;
      EXPECT_THROW(target = source, std::runtime_error);
      Counted::budget = copies;
      EXPECT_THROW((ZRMUtMap<int, Counted>{source}), std::runtime_error);
      EXPECT_TRUE(target.Size() == 1 && onTarget->second.value == 1 && target.CheckInvariants());
    }
    Counted::budget = 0;
    EXPECT_THROW(set.Insert(Counted(30)), std::runtime_error);
    Counted::budget = -1;
    EXPECT_TRUE(set.Size() == 30 && set.CheckInvariants());
  }
  EXPECT_EQ(Counted::live, 0);
}

}  // namespace
