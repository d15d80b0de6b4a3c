// The reports of one failed check, as the tests expect them.
#ifndef ZRMReportCheck_h
#define ZRMReportCheck_h

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrmtest {

// Where a check reports from and what it says.
struct CheckSite {
  std::string expression;
  std::string message;
  std::string file;
  int line;
  std::wstring runtimeText;  // the development stage's runtime assertion
};

// reports[first] is the failure report of site; in the development stage reports[first + 1]
// is its runtime assertion.
inline void ExpectCheckReports(const std::vector<AssertReport>& reports, std::size_t first, const CheckSite& site,
                               bool development) {
  ASSERT_GT(reports.size(), first + (development ? 1 : 0));
  const AssertReport& failure = reports[first];
  EXPECT_EQ(failure.kind, AssertReport::Failure);
  EXPECT_FALSE(failure.condition);
  EXPECT_EQ(failure.expression, site.expression);
  EXPECT_EQ(failure.message, site.message);
  EXPECT_EQ(failure.file, site.file);
  EXPECT_EQ(failure.line, site.line);
  if (!development) return;
  const AssertReport& runtime = reports[first + 1];
  EXPECT_EQ(runtime.kind, AssertReport::Runtime);
  EXPECT_EQ(runtime.text, site.runtimeText);
  EXPECT_EQ(runtime.file, site.file);
  EXPECT_EQ(runtime.line, site.line);
}

}  // namespace zrmtest

#endif
