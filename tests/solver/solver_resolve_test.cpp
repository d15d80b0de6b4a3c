// New right-hand sides and new registrations after a Factor, against a fresh solver given the
// same calls, in both orderings (the dense oracle's own test is the replay of fuzz_solver_oracle).
#include "ZRMSolverOracle.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace zrmtest;

class LSQSolverResolve : public ::testing::TestWithParam<ZRMLSQOrdering> {};

INSTANTIATE_TEST_SUITE_P(Orderings, LSQSolverResolve,
                         ::testing::Values(ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing),
                         [](const auto& info) {
                           return std::string(info.param == ZRMLSQOrdering::AsGiven ? "AsGiven" : "FillReducing");
                         });

// After one Factor, new right-hand sides (all, then about half, the others set again unchanged)
// solve to the bits of a fresh solver given them, and so does a second Solve; after further
// registrations a new Factor builds the bits a fresh solver builds from the same calls, whether
// either Factor succeeded or failed (the factorization keeps its storage from one to the next).
// A Diagnose after the first Factor changes none of this.
TEST_P(LSQSolverResolve, ResolvingAndRefactoringMatchAFreshSolver) {
  Random random(77);
  int refused = 0;
  for (long p = 0; p < Scaled(60); ++p) {
    SCOPED_TRACE(::testing::Message() << "problem " << p);
    Problem problem = GenerateDrawn(random, p % 4 == 1 ? kKinds[1 + p % 5] : Kind::WellPosed, 1, 120, 0.0, 0.4);
    const auto fresh = [&](const std::vector<Constraint>& constraints, bool* factored) {
      auto solver = std::make_unique<ZRMLSQSolver>();
      solver->SetOrdering(GetParam());
      Register(*solver, constraints);
      *factored = solver->Factor();
      solver->Solve();
      return solver;
    };
    AssertRecorder recorder(0);
    bool factored = false;
    const auto solver = fresh(problem.constraints, &factored);
    refused += factored ? 0 : 1;
    const auto first = ResultBits(*solver);
    ZRMLSQDiagnosis diagnosis;  // changes nothing that the checks below read
    ASSERT_TRUE(solver->Diagnose(diagnosis));
    for (int round = 0; factored && round < 2; ++round) {
      for (Constraint& constraint : problem.constraints) {
        if (!constraint.named) continue;
        if (round == 0 || random.Chance(0.5)) constraint.rhs = random.Uniform(-20.0, 20.0);
        solver->SetRhs(constraint.id, constraint.rhs);
      }
      ASSERT_TRUE(solver->Solve());
      ASSERT_TRUE(solver->Solve());
      bool again = false;
      EXPECT_EQ(ResultBits(*solver), ResultBits(*fresh(problem.constraints, &again))) << "round " << round;
      EXPECT_TRUE(again);
    }
    EXPECT_TRUE(!factored ||
                std::none_of(problem.constraints.begin(), problem.constraints.end(),
                             [](const Constraint& c) { return c.named; }) ||
                ResultBits(*solver) != first);
    const Problem second = GenerateDrawn(random, p % 3 == 0 ? kKinds[(p / 3) % 6] : Kind::WellPosed, 1, 80, 0.0, 0.4);
    Register(*solver, second);
    std::vector<Constraint> both = problem.constraints;
    both.insert(both.end(), second.constraints.begin(), second.constraints.end());
    const auto expected = fresh(both, &factored);
    ASSERT_EQ(solver->Factor(), factored);
    EXPECT_EQ(StateHash(*solver), StateHash(*expected));
    ASSERT_EQ(solver->Solve(), factored);
    EXPECT_EQ(ResultBits(*solver), ResultBits(*expected));
  }
  EXPECT_GT(refused, 0);
}
