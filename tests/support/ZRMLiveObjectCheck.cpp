// Linked into a test program, checks that no test leaves a geometry object (or any other
// reference-counted platform object) alive: each test must end with as many live objects as it
// started with; a test that does not fails.
#include "ZRMUtSmartBase.h"

#include <gtest/gtest.h>

namespace {

class LiveObjectCheck final : public ::testing::EmptyTestEventListener {
public:
  void OnTestStart(const ::testing::TestInfo&) override { mAtTestStart = ZRMUtSmartBase::LiveObjectCount(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    EXPECT_EQ(ZRMUtSmartBase::LiveObjectCount(), mAtTestStart) << "reference-counted objects left alive by this test";
  }

private:
  long mAtTestStart = 0;
};

// Registered before main runs, after the result printer: a failure raised in OnTestEnd counts
// against the test just ended.
const bool gRegistered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new LiveObjectCheck());
  return true;
}();

}  // namespace
