// Failing element copies: the failing container operation leaves the container (contents,
// iterators) as it was, and nothing leaks.
#include "ContainerTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// Element whose copy fails once a budget of copies is spent; counts live instances.
class Fragile {
public:
  Fragile(int value = 0) : mValue(value) { ++Live(); }  // NOLINT: implicit on purpose
  Fragile(const Fragile& other) : mValue(other.mValue) {
    if (Budget() == 0) throw std::runtime_error("copy failed");
    --Budget();
    ++Live();
  }
  Fragile& operator=(const Fragile& other) = default;
  ~Fragile() { --Live(); }
  bool operator<(const Fragile& other) const { return mValue < other.mValue; }
  int Value() const { return mValue; }

  static int& Live() {
    static int live = 0;
    return live;
  }
  // Copies allowed before the next one fails; large means unlimited.
  static int& Budget() {
    static int budget = 1 << 30;
    return budget;
  }

private:
  int mValue;
};

// Gives copies a budget for one scope.
class CopyBudget {
public:
  explicit CopyBudget(int copies) { Fragile::Budget() = copies; }
  CopyBudget(const CopyBudget&) = delete;
  CopyBudget& operator=(const CopyBudget&) = delete;
  ~CopyBudget() { Fragile::Budget() = 1 << 30; }
};

std::vector<int> Values(const ZRMUtVector<Fragile>& vector) {
  std::vector<int> values;
  for (int index = 0; index < vector.Size(); ++index) values.push_back(vector[index].Value());
  return values;
}

TEST(ExceptionSafety, VectorReallocationFailureKeepsContentsAndIterators) {
  const int before = Fragile::Live();
  {
    ZRMUtVector<Fragile> vector;
    for (int value = 0; value < 4; ++value) vector.PushBack(Fragile(value));
    ASSERT_EQ(vector.Size(), vector.Capacity());
    ZRMUtVector<Fragile>::Iterator second = vector.Begin() + 1;
    for (int copies = 0; copies < 5; ++copies) {  // fail at each copy of the reallocation
      CopyBudget budget(copies);
      EXPECT_THROW(vector.PushBack(Fragile(9)), std::runtime_error) << copies;
      EXPECT_EQ(Values(vector), std::vector<int>({0, 1, 2, 3}));
      EXPECT_EQ(vector.Capacity(), 4);
      EXPECT_EQ(second->Value(), 1);  // not detached: nothing moved
      EXPECT_TRUE(vector.CheckInvariants());
    }
  }
  EXPECT_EQ(Fragile::Live(), before);
}

TEST(ExceptionSafety, VectorResizeAndCopyFailuresKeepContents) {
  const int before = Fragile::Live();
  {
    ZRMUtVector<Fragile> vector;
    for (int value = 0; value < 3; ++value) vector.PushBack(Fragile(value));
    for (int copies = 0; copies < 12; ++copies) {
      CopyBudget budget(copies);
      try {
        vector.Resize(8, Fragile(5));
        vector.Resize(3);
      } catch (const std::runtime_error&) {
      }
      EXPECT_EQ(Values(vector), std::vector<int>({0, 1, 2})) << copies;
    }
    ZRMUtVector<Fragile> target;
    target.PushBack(Fragile(-1));
    ZRMUtVector<Fragile>::Iterator onTarget = target.Begin();
    for (int copies = 0; copies < 3; ++copies) {
      CopyBudget budget(copies);
      EXPECT_THROW(target = vector, std::runtime_error);
      EXPECT_THROW(ZRMUtVector<Fragile>{vector}, std::runtime_error);
      EXPECT_EQ(Values(target), std::vector<int>({-1}));
      EXPECT_EQ(onTarget->Value(), -1);
    }
  }
  EXPECT_EQ(Fragile::Live(), before);
}

TEST(ExceptionSafety, MapCopyAndAssignmentFailuresKeepTheTarget) {
  const int before = Fragile::Live();
  {
    ZRMUtMap<int, Fragile> source;
    for (int key = 0; key < 6; ++key) source[key] = Fragile(key * 10);
    ZRMUtMap<int, Fragile> target;
    target[100] = Fragile(1);
    ZRMUtMap<int, Fragile>::Iterator onTarget = target.Find(100);
    for (int copies = 0; copies < 6; ++copies) {
      CopyBudget budget(copies);
      EXPECT_THROW(target = source, std::runtime_error);
      EXPECT_THROW((ZRMUtMap<int, Fragile>(source)), std::runtime_error);
      EXPECT_EQ(target.Size(), 1);
      EXPECT_EQ(onTarget->second.Value(), 1);  // the failed assignment detached nothing
      EXPECT_TRUE(target.CheckInvariants());
    }
    target = source;
    EXPECT_EQ(target.Size(), 6);
  }
  EXPECT_EQ(Fragile::Live(), before);
}

TEST(ExceptionSafety, SetInsertFailureChangesNothing) {
  const int before = Fragile::Live();
  {
    ZRMUtSet<Fragile> set;
    set.Insert(Fragile(1));
    {
      CopyBudget budget(0);
      EXPECT_THROW(set.Insert(Fragile(2)), std::runtime_error);
    }
    EXPECT_EQ(set.Size(), 1);
    EXPECT_TRUE(set.CheckInvariants());
  }
  EXPECT_EQ(Fragile::Live(), before);
}

}  // namespace
