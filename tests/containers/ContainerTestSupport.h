// Helpers of the container tests: an element type that counts its live instances, and
// shorthands for the errors the containers raise.
#ifndef ContainerTestSupport_h
#define ContainerTestSupport_h

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace zrmtest {

// Element whose constructions and destructions are counted: Live() returns to its earlier
// value exactly when nothing leaked and nothing was destroyed twice (a double destruction
// also trips the self check). Copies fail (std::runtime_error) once the copy budget is spent.
class Counted {
public:
  Counted() : Counted(0) {}
  Counted(int value) : mValue(value), mSelf(this) {  // NOLINT: implicit on purpose
    ++Live();
    ++Built();
  }
  Counted(const Counted& other) : mValue(other.Value()), mSelf(this) {
    if (Budget() == 0) throw std::runtime_error("copy failed");
    if (Budget() != kUnlimited) --Budget();
    ++Live();
    ++Built();
  }
  Counted& operator=(const Counted& other) {
    mValue = other.Value();
    return *this;
  }
  ~Counted() {
    EXPECT_EQ(mSelf, this) << "destroyed twice or never built";
    mSelf = nullptr;
    --Live();
  }
  int Value() const {
    EXPECT_EQ(mSelf, this) << "used after destruction";
    return mValue;
  }
  bool operator<(const Counted& other) const { return Value() < other.Value(); }

  // Instances alive now / built so far.
  static int& Live() {
    static int live = 0;
    return live;
  }
  static int& Built() {
    static int built = 0;
    return built;
  }
  // Copies allowed before the next one fails; kUnlimited (the default) never runs out.
  static constexpr int kUnlimited = 1 << 30;
  static int& Budget() {
    static int budget = kUnlimited;
    return budget;
  }

private:
  int mValue;
  const Counted* mSelf;
};

// Gives the copies of Counted a budget for one scope.
class CopyBudget {
public:
  explicit CopyBudget(int copies) { Counted::Budget() = copies; }
  CopyBudget(const CopyBudget&) = delete;
  CopyBudget& operator=(const CopyBudget&) = delete;
  ~CopyBudget() { Counted::Budget() = Counted::kUnlimited; }
};

// Asserts that call raises ZRMUtError code from file at line.
template <class Call>
::testing::AssertionResult RaisesAt(Call&& call, unsigned int code, const std::string& file, int line) {
  const Raised raised = CatchRaised(call);
  if (!raised.raised) return ::testing::AssertionFailure() << "nothing raised";
  if (!raised.isZRMUtError) return ::testing::AssertionFailure() << "raised something other than ZRMUtError";
  if (raised.code != code || raised.file != file || raised.line != line)
    return ::testing::AssertionFailure() << "raised 0x" << std::hex << raised.code << std::dec << " from "
                                         << raised.file << ":" << raised.line;
  return ::testing::AssertionSuccess();
}

constexpr unsigned int kIndexOutOfRange = 0x80000000u;
constexpr unsigned int kInvalidIterator = 0x80000001u;
const char* const kTreeFile = "zrmutilities/protectedinterfaces/ZRMUtTree";
const char* const kVectorFile = "ZRMUtilities/ProtectedInterfaces/ZRMUtVector";

// Tree iterator failure (dereference or advance of a detached or end iterator).
template <class Call>
::testing::AssertionResult RaisesInvalidTreeIterator(Call&& call) {
  return RaisesAt(call, kInvalidIterator, kTreeFile, 182);
}

}  // namespace zrmtest

#endif
