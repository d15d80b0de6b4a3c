// Registration, right-hand sides, result lookup and the reports of the solver.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

using namespace solvertest;

namespace {

std::vector<std::pair<int, int>> Keys(const ZRMLSQSolver& solver) {
  std::vector<std::pair<int, int>> keys;
  const auto& constraints = State(solver).mConstraints;
  for (auto it = constraints.Begin(); it != constraints.End(); ++it) keys.emplace_back(it->first.first, it->first.second);
  return keys;
}

const ConstraintRecord& Record(const ZRMLSQSolver& solver, int first, int second) {
  return State(solver).mConstraints.Find(ZRMUtMakePair(first, second))->second;
}

constexpr const char* kPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";

}  // namespace

TEST(LSQSolverRegistration, CopyingIsNotOffered) {
  EXPECT_FALSE(std::is_copy_constructible_v<ZRMLSQSolver>);
  EXPECT_FALSE(std::is_copy_assignable_v<ZRMLSQSolver>);
}

TEST(LSQSolverRegistration, KeysOfNamedAndUnnamedConstraints) {
  ZRMLSQSolver solver;
  const Coefficients x = MakeCoefficients({{1, 1.0}});
  solver.AddConstraint(false, 1.0, x);
  solver.AddConstraint(false, 2.0, x);
  solver.AddConstraint(true, x, 5);
  solver.AddConstraint(false, 4.0, x);
  solver.AddConstraint(false, x, -3);
  solver.AddConstraint(false, x, 0);
  const std::vector<std::pair<int, int>> expected{{-3, -1}, {0, -1}, {0, 0}, {0, 1}, {0, 3}, {5, -1}};
  EXPECT_EQ(Keys(solver), expected);
  EXPECT_EQ(Record(solver, 0, 3).mRhs, 4.0);
  EXPECT_TRUE(Record(solver, 5, -1).mIsHard);
  EXPECT_EQ(Record(solver, 5, -1).mRhs, 0.0);
}

TEST(LSQSolverRegistration, RegisteringAnIdAgainReplacesTheConstraint) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}, {2, 3.0}}), 7);
  solver.SetRhs(7, 9.0);
  solver.AddConstraint(true, MakeCoefficients({{4, -2.0}}), 7);
  ASSERT_EQ(State(solver).mConstraints.Size(), 1);
  const ConstraintRecord& record = Record(solver, 7, -1);
  EXPECT_TRUE(record.mIsHard);
  EXPECT_EQ(record.mRhs, 0.0);
  ASSERT_EQ(record.mCoefficients.Size(), 1);
  EXPECT_EQ(record.mCoefficients.Find(4)->second, -2.0);
  solver.SetRhs(7, 6.5);
  EXPECT_EQ(Record(solver, 7, -1).mRhs, 6.5);
}

TEST(LSQSolverRegistration, TheCallersMapIsCopied) {
  ZRMLSQSolver solver;
  Coefficients coefficients = MakeCoefficients({{1, 1.0}});
  solver.AddConstraint(false, coefficients, 1);
  solver.AddConstraint(false, 3.0, coefficients);
  coefficients[1] = 5.0;
  coefficients[2] = 1.0;
  EXPECT_EQ(Record(solver, 1, -1).mCoefficients.Size(), 1);
  EXPECT_EQ(Record(solver, 1, -1).mCoefficients.Find(1)->second, 1.0);
  EXPECT_EQ(Record(solver, 0, 1).mCoefficients.Find(1)->second, 1.0);
}

TEST(LSQSolverRegistration, SetRhsWithoutConstraintReportsAndRegistersAnEmptySoftRow) {
  ZRMLSQSolver solver;
  {
    zrmtest::AssertRecorder recorder(0);
    solver.SetRhs(12, 3.5);
    ASSERT_EQ(recorder.reports.size(), 1u);
    const zrmtest::AssertReport& report = recorder.reports[0];
    EXPECT_EQ(report.kind, zrmtest::AssertReport::Failure);
    EXPECT_FALSE(report.condition);
    EXPECT_EQ(report.message, "No constraint");
    EXPECT_EQ(report.expression, "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))");
    EXPECT_EQ(report.file, kPath);
    EXPECT_EQ(report.line, 340);
  }
  const ConstraintRecord& record = Record(solver, 12, -1);
  EXPECT_FALSE(record.mIsHard);
  EXPECT_EQ(record.mCoefficients.Size(), 0);
  EXPECT_EQ(record.mRhs, 3.5);
  {
    zrmtest::AssertRecorder recorder(1);
    solver.SetRhs(12, 4.0);  // now known: no report
    EXPECT_TRUE(recorder.reports.empty());
  }
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 12);
  EXPECT_EQ(Record(solver, 12, -1).mRhs, 0.0);
}

TEST(LSQSolverRegistration, RightHandSidesSetAfterAFactorShowInTheRecords) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 4);
  solver.AddConstraint(false, MakeCoefficients({{2, 1.0}}), 5);
  solver.AddConstraint(true, MakeCoefficients({{1, 1.0}, {2, 1.0}}), 9);
  ASSERT_TRUE(solver.Factor());
  solver.SetRhs(4, 2.5);
  solver.SetRhs(9, -1.0);
  EXPECT_EQ(Record(solver, 4, -1).mRhs, 2.5);
  EXPECT_EQ(Record(solver, 9, -1).mRhs, -1.0);
  solver.SetRhs(4, 6.0);  // again, the factorization still current
  solver.AddConstraint(false, 1.0, MakeCoefficients({{2, 1.0}}));  // ends it
  EXPECT_EQ(Record(solver, 4, -1).mRhs, 6.0);
  EXPECT_EQ(Record(solver, 9, -1).mRhs, -1.0);
}

TEST(LSQSolverRegistration, ReportsInTheDevelopmentStageAlsoReachTheRuntime) {
  ZRMLSQSolver solver;
  zrmtest::AssertRecorder recorder(1);
  solver.SetRhs(3, 1.0);
  (void)solver.GetResult(4);
  ASSERT_EQ(recorder.reports.size(), 4u);
  EXPECT_EQ(recorder.reports[1].kind, zrmtest::AssertReport::Runtime);
  EXPECT_EQ(recorder.reports[1].text, L"(\"No constraint\", mState->mConstraints.Count(ZRMUtMakePair(iId, -1)))");
  EXPECT_EQ(recorder.reports[1].line, 340);
  EXPECT_EQ(recorder.reports[2].message, "Wrong variable id.");
  EXPECT_EQ(recorder.reports[2].expression, "mState->mResult.Find(iVar) != mState->mResult.End()");
  EXPECT_EQ(recorder.reports[3].text, L"(\"Wrong variable id.\", mState->mResult.Find(iVar) != mState->mResult.End())");
  EXPECT_EQ(recorder.reports[3].file, kPath);
  EXPECT_EQ(recorder.reports[3].line, 651);
}

TEST(LSQSolverRegistration, GetResultOfAnUnknownVariableReportsAndGivesNaN) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
  zrmtest::AssertRecorder recorder(0);
  EXPECT_TRUE(std::isnan(solver.GetResult(1)));  // before Solve
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(1), 3.0);
  EXPECT_TRUE(std::isnan(solver.GetResult(2)));
  EXPECT_TRUE(std::isnan(solver.GetResult(-2147483647 - 1)));
  ASSERT_EQ(recorder.reports.size(), 3u);
  for (const auto& report : recorder.reports) {
    EXPECT_EQ(report.message, "Wrong variable id.");
    EXPECT_EQ(report.line, 651);
  }
}
