// Seeded problems of every kind against the dense oracle, in both orderings; new right-hand
// sides and new registrations after a Factor against a fresh solver given the same calls.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

using namespace solvertest;

namespace {

// Below this the oracle finds dependent hard rows or soft rows that leave a direction free:
// such problems give singular values near 1e-16, the generated well-posed ones stay above 1e-3.
constexpr double kSingular = 1e-9;

// The solver's results agree with the oracle's to 1e-8 of the largest value and meet every
// hard row.
void ExpectOracleValues(const ZRMLSQSolver& solver, const zrmtest::DenseSolution& oracle,
                        const std::vector<Constraint>& constraints) {
  ASSERT_EQ(ResultBits(solver).size(), oracle.values.size());
  double largest = 1.0;
  for (const auto& value : oracle.values) largest = std::max(largest, std::fabs(value.second));
  for (const auto& value : oracle.values)
    ASSERT_NEAR(solver.GetResult(value.first), value.second, 1e-8 * largest) << "variable " << value.first;
  for (const zrmtest::DenseRow& row : DenseRows(constraints)) {
    if (!row.hard) continue;
    double sum = 0.0, scale = std::fabs(row.rhs);
    for (const auto& entry : row.coefficients) {
      sum += entry.second * solver.GetResult(entry.first);
      scale += std::fabs(entry.second * solver.GetResult(entry.first));
    }
    EXPECT_LE(std::fabs(sum - row.rhs), 1e-9 * std::max(1.0, scale));
  }
}

}  // namespace

class LSQSolverOracle : public ::testing::TestWithParam<ZRMLSQOrdering> {};

INSTANTIATE_TEST_SUITE_P(Orderings, LSQSolverOracle,
                         ::testing::Values(ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing),
                         [](const auto& info) {
                           return std::string(info.param == ZRMLSQOrdering::AsGiven ? "AsGiven" : "FillReducing");
                         });

// Every problem decided by the oracle: a unique solution is found, unless a variable is reached
// only through hard rows (which Diagnose then names); anything else is refused, with no results.
TEST_P(LSQSolverOracle, AgreesWithADenseSolution) {
  Random random(20240611);
  for (long p = 0; p < zrmtest::Scaled(320); ++p) {
    const Kind kind = random.Chance(0.55) ? Kind::WellPosed : kKinds[random.Int(1, 5)];
    const int count = random.Int(1, 200);
    const Problem problem = Generate(random, kind, count, random.Uniform(0.0, 0.4));
    SCOPED_TRACE(::testing::Message() << "problem " << p << ", kind " << static_cast<int>(kind) << ", " << count
                                      << " variables");
    const zrmtest::DenseSolution oracle = zrmtest::SolveDense(DenseRows(problem.constraints));
    const bool unique = oracle.conditioning > kSingular;
    ZRMLSQSolver solver;
    solver.SetOrdering(GetParam());
    zrmtest::AssertRecorder recorder(0);  // rejected matrices report
    Register(solver, problem);
    const bool factored = solver.Factor();
    EXPECT_TRUE(kind != Kind::WellPosed || (unique && factored));
    if (!unique || !factored) {
      EXPECT_FALSE(factored && !unique);
      EXPECT_FALSE(solver.Solve());
      EXPECT_TRUE(ResultBits(solver).empty());
      ZRMLSQDiagnosis diagnosis;
      ASSERT_TRUE(solver.Diagnose(diagnosis));
      EXPECT_TRUE(!unique || !diagnosis.mWithoutSoftRow.IsEmpty())
          << "unique, refused, yet every variable has a soft row";
      continue;
    }
    ASSERT_TRUE(solver.Solve());
    ExpectOracleValues(solver, oracle, problem.constraints);
  }
}

// After one Factor, new right-hand sides (all, then about half, the others set again unchanged)
// solve to the bits of a fresh solver given them, and so does a second Solve; after further
// registrations a new Factor builds the bits a fresh solver builds from the same calls, whether
// either Factor succeeded or failed (the factorization keeps its storage from one to the next).
TEST_P(LSQSolverOracle, ResolvingAndRefactoringMatchAFreshSolver) {
  Random random(77);
  int refused = 0;
  for (long p = 0; p < zrmtest::Scaled(60); ++p) {
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
    zrmtest::AssertRecorder recorder(0);
    bool factored = false;
    const auto solver = fresh(problem.constraints, &factored);
    refused += factored ? 0 : 1;
    const auto first = ResultBits(*solver);
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

// The fill-reducing ordering agrees with the given one to 1e-9 relative on well-posed problems
// and on a long hard chain.
TEST(LSQSolverOrderings, FillReducingAgreesWithAsGiven) {
  Random random(5);
  std::vector<Problem> problems;
  for (int p = 0; p < zrmtest::Scaled(60); ++p)
    problems.push_back(GenerateDrawn(random, Kind::WellPosed, 1, 200, 0.0, 0.4));
  Problem chain;  // x[i+1] - x[i] = c[i], hard; data on every fifth value
  for (int i = 0; i <= 300; ++i) chain.variables.push_back(i);
  for (int i = 0; i < 300; ++i) {
    chain.constraints.push_back({true, {{i, -1.0}, {i + 1, 1.0}}, random.Uniform(-1.0, 1.0)});
    if (i % 5 == 0) chain.constraints.push_back({false, {{i, 1.0}}, random.Uniform(-1.0, 1.0)});
  }
  chain.constraints.push_back({false, {{300, 1.0}}, 0.5});
  problems.push_back(chain);
  for (const Problem& problem : problems) {
    SCOPED_TRACE(::testing::Message() << "problem " << (&problem - problems.data()));
    ZRMLSQSolver given, reduced;
    reduced.SetOrdering(ZRMLSQOrdering::FillReducing);
    Register(given, problem);
    Register(reduced, problem);
    ASSERT_TRUE(given.Factor() && given.Solve());
    ASSERT_TRUE(reduced.Factor() && reduced.Solve());
    double largest = 1.0;
    for (const int v : problem.variables) largest = std::max(largest, std::fabs(given.GetResult(v)));
    for (const int v : problem.variables) EXPECT_NEAR(reduced.GetResult(v), given.GetResult(v), 1e-9 * largest) << v;
  }
}
