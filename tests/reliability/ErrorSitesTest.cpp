// Every place where the containers raise an error or the solver reports a failed check, reached
// once each: the raised code, the reported source path and line, and that the failing operation
// changed nothing. The fuzzers reach the same sites at random; this table names each of them.
#include "ZRMLSQSolver.h"
#include "ZRMLSQSolverStateAccess.h"
#include "ZRMTestSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr const char* kVector = "ZRMUtilities/ProtectedInterfaces/ZRMUtVector";
constexpr const char* kTree = "zrmutilities/protectedinterfaces/ZRMUtTree";
constexpr const char* kSolver = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";

struct RaiseSite {
  const char* name;
  unsigned int code;
  const char* file;
  int line;
  std::function<void()> call;
};

void ExpectRaised(const RaiseSite& site) {
  SCOPED_TRACE(site.name);
  const zrmtest::Raised raised = zrmtest::CatchRaised(site.call);
  ASSERT_TRUE(raised.raised);
  EXPECT_TRUE(raised.isZRMUtError);
  EXPECT_EQ(raised.code, site.code);
  EXPECT_EQ(raised.file, site.file);
  EXPECT_EQ(raised.line, site.line);
}

std::vector<int> Contents(const ZRMUtVector<int>& vector) {
  std::vector<int> values;
  for (int i = 0; i < vector.Size(); ++i) values.push_back(vector[i]);
  return values;
}

}  // namespace

TEST(ErrorSites, EveryVectorSiteRaisesItsCodeAndLeavesTheVectorAsItWas) {
  ZRMUtVector<int> vector;
  for (int value : {4, 5, 6}) vector.PushBack(value);
  const ZRMUtVector<int>& readOnly = vector;
  ZRMUtVector<int>::Iterator unbound;                    // bound to no vector
  ZRMUtVector<int>::ConstIterator unboundRead;
  ZRMUtVector<int>::Iterator detached = vector.Begin() + 2;
  ZRMUtVector<int> shrinking(vector);
  ZRMUtVector<int>::Iterator beyond = shrinking.Begin() + 2;
  shrinking.Resize(1);                                   // detaches beyond
  ZRMUtVector<int>::Iterator end = vector.End();
  ZRMUtVector<int>::Iterator orphan;
  {
    ZRMUtVector<int> empty;  // never had storage: its Begin stands on no element
    orphan = empty.Begin();
  }                          // destroyed with orphan still registered: orphan is released
  detached = shrinking.Begin();
  shrinking.Reserve(5);                                  // reallocates: detaches every iterator of shrinking
  const std::vector<int> before = Contents(vector);

  const RaiseSite sites[] = {
      {"index past the end", 0x80000000u, kVector, 385, [&] { vector[3] = 1; }},
      {"negative index", 0x80000000u, kVector, 385, [&] { vector[-1] = 1; }},
      {"read-only index past the end", 0x80000000u, kVector, 395, [&] { static_cast<void>(readOnly[3]); }},
      {"read-only lowest index", 0x80000000u, kVector, 395, [&] { static_cast<void>(readOnly[-2147483647 - 1]); }},
      {"Back of an empty vector", 0x80000000u, kVector, 385, [&] { ZRMUtVector<int>().Back(); }},
      {"negative Reserve", 0x80000000u, kVector, 385, [&] { vector.Reserve(-1); }},
      {"negative Resize", 0x80000000u, kVector, 385, [&] { vector.Resize(-1); }},
      {"unbound iterator dereferenced", 0x80000001u, kVector, 307, [&] { static_cast<void>(*unbound); }},
      {"unbound read-only iterator advanced", 0x80000001u, kVector, 307, [&] { ++unboundRead; }},
      {"iterator detached by shrinking", 0x80000001u, kVector, 307, [&] { static_cast<void>(*beyond); }},
      {"iterator detached by reallocation, stepped", 0x80000001u, kVector, 307, [&] { detached += 1; }},
      {"end dereferenced", 0x80000001u, kVector, 307, [&] { static_cast<void>(*end); }},
      {"iterator outliving its vector", 0x80000001u, kVector, 307, [&] { static_cast<void>(*orphan); }},
      {"iterator outliving its vector, stepped", 0x80000001u, kVector, 307, [&] { orphan -= 1; }},
      {"stepped past the end", 0x80000000u, kVector, 269, [&] { end += 1; }},
      {"stepped before the first element", 0x80000000u, kVector, 269, [&] { vector.Begin() - 1; }},
  };
  for (const RaiseSite& site : sites) ExpectRaised(site);
  EXPECT_EQ(Contents(vector), before);
  EXPECT_EQ(vector.Capacity(), 3);
  EXPECT_TRUE(end == vector.End());
  EXPECT_TRUE(vector.CheckInvariants());
}

TEST(ErrorSites, EveryTreeSiteRaisesInvalidIteratorAndLeavesTheContainerAsItWas) {
  ZRMUtMap<int, double> map;
  map[1] = 1.5;
  map[2] = 2.5;
  ZRMUtMap<int, double> other(map);
  ZRMUtSet<int> set;
  set.Insert(7);
  ZRMUtMap<int, double>::Iterator erased = map.Find(2);
  ZRMUtMap<int, double>::Iterator cleared = other.Find(1);
  ZRMUtMap<int, double>::Iterator foreign = other.Find(2);
  ZRMUtSet<int>::ConstIterator assignedOver = set.Begin();
  ZRMUtMap<int, double>::ConstIterator outlived;
  {
    ZRMUtMap<int, double> temporary(map);
    outlived = temporary.Begin();
  }                                                     // destroyed: outlived is detached
  map.Erase(2);                                         // detaches erased
  map[2] = 2.5;                                         // the same key again: a new element
  set = ZRMUtSet<int>(set);                             // assignment: detaches assignedOver
  other.Clear();                                        // detaches cleared and foreign
  other[2] = 0.0;
  foreign = other.Find(2);
  ZRMUtMap<int, double>::Iterator unbound;

  const RaiseSite sites[] = {
      {"end dereferenced", 0x80000001u, kTree, 182, [&] { static_cast<void>(*map.End()); }},
      {"end advanced", 0x80000001u, kTree, 182, [&] { ++map.End(); }},
      {"read-only end through ->", 0x80000001u, kTree, 182,
       [&] { static_cast<void>(static_cast<const ZRMUtMap<int, double>&>(map).End()->second); }},
      {"erased element dereferenced", 0x80000001u, kTree, 182, [&] { static_cast<void>(erased->first); }},
      {"cleared element advanced", 0x80000001u, kTree, 182, [&] { ++cleared; }},
      {"assigned-over set element", 0x80000001u, kTree, 182, [&] { static_cast<void>(*assignedOver); }},
      {"iterator of a destroyed map", 0x80000001u, kTree, 182, [&] { static_cast<void>(*outlived); }},
      {"unbound iterator", 0x80000001u, kTree, 182, [&] { unbound++; }},
      {"Erase through a detached iterator", 0x80000001u, kTree, 182, [&] { map.Erase(erased); }},
      {"Erase through the end", 0x80000001u, kTree, 182, [&] { map.Erase(map.End()); }},
      {"Erase through another map's iterator", 0x80000001u, kTree, 182, [&] { map.Erase(foreign); }},
  };
  for (const RaiseSite& site : sites) ExpectRaised(site);
  ASSERT_EQ(map.Size(), 2);
  EXPECT_EQ(map[1], 1.5);
  EXPECT_EQ(map[2], 2.5);
  EXPECT_EQ(other.Size(), 1);
  EXPECT_EQ(foreign->second, 0.0);
  EXPECT_EQ(set.Count(7), 1);
  EXPECT_TRUE(map.CheckInvariants());
  EXPECT_TRUE(other.CheckInvariants());
  EXPECT_TRUE(set.CheckInvariants());
}

// Reports of the solver: each with its message, expression, path and line, and in the
// development stage the wide twin; the operation goes on afterwards.
TEST(ErrorSites, EverySolverReportNamesItsCheck) {
  using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;
  zrmtest::AssertRecorder recorder(1);
  ZRMLSQSolver solver;

  solver.SetRhs(12, 3.0);
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].message, "No constraint");
  EXPECT_EQ(recorder.reports[0].expression, "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))");
  EXPECT_EQ(recorder.reports[0].file, kSolver);
  EXPECT_EQ(recorder.reports[0].line, 340);
  EXPECT_EQ(recorder.reports[1].text, L"(\"No constraint\", mState->mConstraints.Count(ZRMUtMakePair(iId, -1)))");
  EXPECT_EQ(ZRMLSQSolverStateAccess::State(solver).mConstraints.Find(ZRMUtMakePair(12, -1))->second.mRhs, 3.0);

  recorder.reports.clear();
  EXPECT_TRUE(std::isnan(solver.GetResult(4)));  // no result: reported, then NaN
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].message, "Wrong variable id.");
  EXPECT_EQ(recorder.reports[0].expression, "mState->mResult.Find(iVar) != mState->mResult.End()");
  EXPECT_EQ(recorder.reports[0].line, 651);

  // One soft row x + y = 1 leaves x - y free: the normal matrix [[1, 1], [1, 1]] is exactly
  // singular (the soft constraint entered by SetRhs above names no variable).
  recorder.reports.clear();
  Coefficients row;
  row[1] = 1.0;
  row[2] = 1.0;
  solver.AddConstraint(false, 1.0, row);
  EXPECT_FALSE(solver.Factor());
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].message, "Not positive definite matrix (or ill-conditioned)");
  EXPECT_EQ(recorder.reports[0].expression, "false");
  EXPECT_EQ(recorder.reports[0].file, kSolver);
  EXPECT_EQ(recorder.reports[0].line, 186);
  EXPECT_FALSE(solver.Solve());
}
