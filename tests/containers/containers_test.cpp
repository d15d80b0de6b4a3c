// What the differential fuzzers (fuzz_tree, fuzz_vector, replayed as tests) leave out: the order
// of keys with NaN fields, the value a map's operator[] adds, and vectors of vectors moving their
// storage.
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

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
  ZRMUtMap<int, ZRMUtPair<void*, double>> pairs;
  EXPECT_TRUE(pairs[1].first == nullptr && pairs[1].second == 0.0);  // a new value is value-initialised
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

}  // namespace
