// Failing element copies: the failing container operation leaves the container (contents,
// iterators) as it was. Counted elements prove that nothing leaks or is destroyed twice
// through copies, assignments, erasures, clearing and destruction (the vector model test
// covers the vector's other operations).
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using zrmtest::CopyBudget;
using zrmtest::Counted;

std::vector<int> Values(const ZRMUtVector<Counted>& vector) {
  std::vector<int> values;
  for (int index = 0; index < vector.Size(); ++index) values.push_back(vector[index].Value());
  return values;
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
