// What the differential fuzzers (fuzz_tree, fuzz_vector, replayed as tests) leave out: the order
// of keys with NaN fields, lookups that build no value, vectors of vectors moving their storage,
// and element copies that fail, which leave a container (contents, iterators) as it was.
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <functional>
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
  EXPECT_TRUE(set.Insert({1, 5.0}) && !set.Insert({1, nan}));  // equal to (1, anything)
  ZRMUtMap<IntDouble, int> map;
  map[{1, 2.0}] = 7;
  EXPECT_TRUE(map[IntDouble(1, nan)] == 7 && map.Size() == 1);
}

TEST(ContainerKeys, LookupsBuildNoValueAndSubscriptBuildsOne) {
  ZRMUtMap<int, Counted> map;
  map[1] = Counted(1);
  const int built = Counted::built;
  static_cast<void>(map.Find(2) == map.End() && map.Count(2) == 0 && !map.Erase(2) && map[1].value == 1);
  EXPECT_EQ(Counted::built, built);
  EXPECT_TRUE(map[2].value == 0 && Counted::built == built + 1);
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
    storage.push_back(&row[0]);
    rows.PushBack(std::move(row));
    EXPECT_EQ(row.Capacity(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is ours
  }
  for (int r = 0; r < 10; ++r)
    EXPECT_TRUE(rows[r].Size() == r + 1 && rows[r].Capacity() == r + 1 && &rows[r][0] == storage[r] &&
                rows[r][r] == 0.5 * r);
  while (rows.Size() < rows.Capacity()) rows.PushBack(Row());
  rows.PushBack(std::move(rows[0]));
  EXPECT_TRUE(&rows.Back()[0] == storage[0] && rows[0].Size() == 0 && rows.CheckInvariants());
}

// Reallocating appends, growing resizes, copies and assignments of vectors and trees, and a set's
// insertion, each failing at every element copy, leave the containers (contents, capacities,
// iterators) as they were.
TEST(ExceptionSafety, FailedCopiesLeaveContainersAsTheyWere) {
  {
    ZRMUtVector<Counted> vector, target;
    for (int value = 0; value < 4; ++value) vector.PushBack(Counted(value));
    target.PushBack(Counted(-1));
    ZRMUtVector<Counted>::Iterator second = vector.Begin() + 1, onTarget = target.Begin();
    auto contentsKept = [&] {
      bool kept = vector.Size() == 4 && target.Size() == 1 && target[0].value == -1;
      for (int i = 0; i < vector.Size(); ++i) kept = kept && vector[i].value == i;
      return kept;
    };
    auto vectorsKept = [&] {
      return contentsKept() && vector.Capacity() == 4 && second->value == 1 && onTarget->value == -1;
    };
    ZRMUtMap<int, Counted> source, map;
    for (int key = 0; key < 6; ++key) source[key] = Counted(key);
    map[100] = Counted(1);
    ZRMUtMap<int, Counted>::Iterator onMap = map.Find(100);
    auto mapKept = [&] { return map.Size() == 1 && onMap->second.value == 1 && map.CheckInvariants(); };
    ZRMUtSet<Counted> set;
    for (int key = 0; key < 30; ++key) set.Insert(Counted(key));
    auto setKept = [&] { return set.Size() == 30 && set.CheckInvariants(); };
    const struct {
      int copies;  // the call fails at each of its first copies element copies
      std::function<void()> call;
      std::function<bool()> unchanged;
    } cases[] = {{5, [&] { vector.PushBack(Counted(9)); }, vectorsKept},
                 {4, [&] { target = vector; }, vectorsKept},
                 {4, [&] { ZRMUtVector<Counted>{vector}; }, vectorsKept},
                 {10, [&] { vector.Resize(9, Counted(5)); }, contentsKept},  // the new room may stay
                 {6, [&] { map = source; }, mapKept},
                 {6, [&] { ZRMUtMap<int, Counted>{source}; }, mapKept},
                 {1, [&] { set.Insert(Counted(30)); }, setKept}};
    for (const auto& c : cases)
      for (int budget = 0; budget < c.copies; ++budget) {
        Counted::budget = budget;
        EXPECT_THROW(c.call(), std::runtime_error) << &c - cases << " " << budget;
        Counted::budget = -1;
        EXPECT_TRUE(c.unchanged()) << &c - cases << " " << budget;
      }
  }
  EXPECT_EQ(Counted::live, 0);  // nothing leaked, nothing destroyed twice
}

}  // namespace
