// The solver's shortcuts (named constraints found by id, right-hand sides kept by row while the
// factorization is current, results overwritten in place) must answer exactly as the plain
// registration, lookup and refill would: checked against fresh solvers and the stored records.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>

using namespace solvertest;

namespace {

std::map<int, std::uint64_t> ResultBits(const ZRMLSQSolver& solver) {
  std::map<int, std::uint64_t> bits;
  const auto& result = State(solver).mResult;
  for (auto it = result.Begin(); it != result.End(); ++it) bits[it->first] = Bits(it->second);
  return bits;
}

double StoredRhs(const ZRMLSQSolver& solver, int id) {
  const auto found = State(solver).mConstraints.Find(ZRMUtMakePair(id, -1));
  EXPECT_TRUE(found != State(solver).mConstraints.End()) << id;
  return found == State(solver).mConstraints.End() ? NAN : found->second.mRhs;
}

// A well-posed problem whose named constraints get new right-hand sides.
Problem NamedProblem(Random& random) {
  Problem problem = Generate(random, Kind::WellPosed, 80, 0.3);
  for (Constraint& constraint : problem.constraints) constraint.rhs = random.Uniform(-5.0, 5.0);
  return problem;
}

}  // namespace

TEST(LSQSolverShortcuts, EveryIdRangeReachesItsOwnRecord) {
  zrmtest::AssertRecorder recorder(0);
  ZRMLSQSolver solver;
  std::vector<int> ids = {INT_MIN, -7, 0, 1, 1023, 1024, 5000, 123456789, INT_MAX};
  for (int id = 2000; id < 4000; ++id) ids.push_back(id);  // the table grows with the count
  for (const int id : ids) solver.AddConstraint(false, MakeCoefficients({{id, 1.0}}), id);
  for (const int id : ids) solver.SetRhs(id, 0.5 * id + 1.0);
  EXPECT_TRUE(recorder.reports.empty());
  for (const int id : ids) EXPECT_EQ(StoredRhs(solver, id), 0.5 * id + 1.0) << id;

  solver.AddConstraint(false, MakeCoefficients({{1, 2.0}}), 1);  // replaced: rhs back to 0.0
  EXPECT_EQ(StoredRhs(solver, 1), 0.0);
  EXPECT_EQ(State(solver).mConstraints.Size(), static_cast<int>(ids.size()));

  solver.SetRhs(-8, 3.0);  // unknown: reported, then registered
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].message, "No constraint");
  EXPECT_EQ(StoredRhs(solver, -8), 3.0);
  solver.SetRhs(-8, 4.0);  // known now
  EXPECT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(StoredRhs(solver, -8), 4.0);
}

TEST(LSQSolverShortcuts, RepeatedSetRhsAndSolveMatchAFreshSolverBitForBit) {
  Random random(0xA11CE);
  for (int round = 0; round < 4; ++round) {
    Problem problem = NamedProblem(random);
    ZRMLSQSolver reused;
    Register(reused, problem);
    ASSERT_TRUE(reused.Factor());
    for (int solve = 0; solve < 3; ++solve) {
      for (Constraint& constraint : problem.constraints)
        if (constraint.named && random.Chance(0.5)) constraint.rhs = random.Uniform(-5.0, 5.0);
      for (const Constraint& constraint : problem.constraints)
        if (constraint.named) reused.SetRhs(constraint.id, constraint.rhs);
      ASSERT_TRUE(reused.Solve());
      ZRMLSQSolver fresh;
      Register(fresh, problem);
      ASSERT_TRUE(fresh.Factor());
      ASSERT_TRUE(fresh.Solve());
      EXPECT_EQ(ResultBits(reused), ResultBits(fresh)) << "round " << round << ", solve " << solve;
    }
  }
}

TEST(LSQSolverShortcuts, ResultsFollowTheColumnsOfTheLatestFactor) {
  zrmtest::AssertRecorder recorder(0);
  ZRMLSQSolver solver;
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 10);
  solver.AddConstraint(false, MakeCoefficients({{2, 1.0}}), 20);
  solver.SetRhs(10, 3.0);
  solver.SetRhs(20, 4.0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(ResultBits(solver), (std::map<int, std::uint64_t>{{1, Bits(3.0)}, {2, Bits(4.0)}}));

  solver.AddConstraint(false, MakeCoefficients({{3, 2.0}}), 20);  // variable 2 leaves, 3 comes
  solver.SetRhs(20, 5.0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(ResultBits(solver), (std::map<int, std::uint64_t>{{1, Bits(3.0)}, {3, Bits(2.5)}}));
  EXPECT_TRUE(std::isnan(solver.GetResult(2)));
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].message, "Wrong variable id.");
}

TEST(LSQSolverShortcuts, ChangesAfterFactorEmptyTheResultsUntilTheNextFactor) {
  zrmtest::AssertRecorder recorder(0);
  Random random(0xB0B);
  Problem problem = NamedProblem(random);
  ZRMLSQSolver solver;
  Register(solver, problem);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  const std::map<int, std::uint64_t> before = ResultBits(solver);
  ASSERT_FALSE(before.empty());

  solver.SetRhs(987654, 1.0);  // registers a new (empty) constraint: the factorization is stale
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);
  EXPECT_FALSE(solver.Solve());

  ASSERT_TRUE(solver.Factor());  // the empty soft row changes nothing of the values
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(ResultBits(solver), before);
}
