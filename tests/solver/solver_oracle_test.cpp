// Randomized cross-check of the solver against a dense null-space solution with Eigen, and the
// bit-identity of repeated solutions.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace solvertest;

namespace {

// Relative rank threshold of the oracle: structurally dependent rows give singular values
// near 1e-16 of the largest, the generated well-posed problems stay far above 1e-6.
constexpr double kRankThreshold = 1e-9;

struct OracleSolution {
  bool unique = false;
  std::map<int, double> values;  // variable id -> value
};

// min |A x - b|^2 subject to C x = d, through a basis of the null space of C.
OracleSolution DenseOracle(const Problem& problem) {
  const int n = static_cast<int>(problem.variables.size());
  std::map<int, int> column;
  for (int i = 0; i < n; ++i) column[problem.variables[i]] = i;
  int hardCount = 0;
  for (const Constraint& constraint : problem.constraints) hardCount += constraint.hard ? 1 : 0;
  const int softCount = static_cast<int>(problem.constraints.size()) - hardCount;
  Eigen::MatrixXd c = Eigen::MatrixXd::Zero(hardCount, n), a = Eigen::MatrixXd::Zero(softCount, n);
  Eigen::VectorXd d(hardCount), b(softCount);
  int h = 0, s = 0;
  for (const Constraint& constraint : problem.constraints) {
    Eigen::MatrixXd& target = constraint.hard ? c : a;
    const int row = constraint.hard ? h++ : s++;
    for (const auto& entry : constraint.coefficients) target(row, column[entry.first]) = entry.second;
    (constraint.hard ? d : b)(row) = constraint.rhs;
  }
  OracleSolution solution;
  Eigen::VectorXd particular = Eigen::VectorXd::Zero(n);
  Eigen::MatrixXd nullSpace = Eigen::MatrixXd::Identity(n, n);
  if (hardCount > 0) {
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> rank(c.transpose());
    rank.setThreshold(kRankThreshold);
    if (rank.rank() < hardCount) return solution;  // dependent or contradictory hard rows
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(c.transpose());
    const Eigen::MatrixXd q = qr.householderQ();
    const Eigen::MatrixXd r = qr.matrixQR().topRows(hardCount).triangularView<Eigen::Upper>();
    const Eigen::VectorXd y = r.transpose().triangularView<Eigen::Lower>().solve(d);
    particular = q.leftCols(hardCount) * y;
    nullSpace = q.rightCols(n - hardCount);
  }
  Eigen::VectorXd x = particular;
  if (nullSpace.cols() > 0) {
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> reduced(a * nullSpace);
    reduced.setThreshold(kRankThreshold);
    if (reduced.rank() < nullSpace.cols()) return solution;  // the soft rows leave freedom
    x += nullSpace * reduced.solve(b - a * particular);
  }
  solution.unique = true;
  for (int i = 0; i < n; ++i) solution.values[problem.variables[i]] = x(i);
  return solution;
}

}  // namespace

// Both orderings: the tests below run in each.
class LSQSolverOracle : public ::testing::TestWithParam<ZRMLSQOrdering> {};

INSTANTIATE_TEST_SUITE_P(Orderings, LSQSolverOracle,
                         ::testing::Values(ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing),
                         [](const auto& info) {
                           return info.param == ZRMLSQOrdering::AsGiven ? std::string("AsGiven")
                                                                        : std::string("FillReducing");
                         });

// Every problem decided by the oracle: a unique solution is found, to 1e-8 of the largest value
// and with every hard row met, unless a variable is reached only through hard rows (which
// Diagnose then names); anything else is refused, with no results.
TEST_P(LSQSolverOracle, AgreesWithADenseSolution) {
  Random random(20240611);
  const long problems = zrmtest::Scaled(320);
  for (long p = 0; p < problems; ++p) {
    const Kind kind = random.Chance(0.55) ? Kind::WellPosed : kKinds[random.Int(1, 5)];
    const int count = random.Int(1, 200);
    const Problem problem = Generate(random, kind, count, random.Uniform(0.0, 0.4));
    SCOPED_TRACE(::testing::Message() << "problem " << p << ", kind " << static_cast<int>(kind) << ", " << count
                                      << " variables");
    const OracleSolution oracle = DenseOracle(problem);
    ZRMLSQSolver solver;
    solver.SetOrdering(GetParam());
    zrmtest::AssertRecorder recorder(0);  // reports of rejected matrices are expected here
    Register(solver, problem);
    const bool factored = solver.Factor();
    if (kind == Kind::WellPosed) {
      EXPECT_TRUE(oracle.unique);
      EXPECT_TRUE(factored);
    }
    if (!oracle.unique) {
      EXPECT_FALSE(factored);
      EXPECT_FALSE(solver.Solve());
      EXPECT_EQ(State(solver).mResult.Size(), 0);
      continue;
    }
    if (!factored) {
      ZRMLSQDiagnosis diagnosis;
      ASSERT_TRUE(solver.Diagnose(diagnosis));
      EXPECT_FALSE(diagnosis.mWithoutSoftRow.IsEmpty()) << "unique, refused, yet every variable has a soft row";
      continue;
    }
    ASSERT_TRUE(solver.Solve());
    ASSERT_EQ(State(solver).mResult.Size(), static_cast<int>(problem.variables.size()));
    double largest = 1.0;
    for (const auto& value : oracle.values) largest = std::max(largest, std::fabs(value.second));
    for (const auto& value : oracle.values)
      ASSERT_NEAR(solver.GetResult(value.first), value.second, 1e-8 * largest) << "variable " << value.first;
    for (const Constraint& constraint : problem.constraints) {
      if (!constraint.hard) continue;
      double sum = 0.0, scale = std::fabs(constraint.rhs);
      for (const auto& entry : constraint.coefficients) {
        const double term = entry.second * solver.GetResult(entry.first);
        sum += term;
        scale += std::fabs(term);
      }
      EXPECT_LE(std::fabs(sum - constraint.rhs), 1e-9 * std::max(1.0, scale));
    }
  }
}

// Solving again gives the same bits; after new right-hand sides (all of them, then about half,
// the others set again unchanged) the results are those of a fresh solver given them.
TEST_P(LSQSolverOracle, ResolvingIsBitIdenticalToAFreshFactorization) {
  Random random(77);
  const long problems = zrmtest::Scaled(60);
  for (long p = 0; p < problems; ++p) {
    Problem problem = GenerateDrawn(random, Kind::WellPosed, 1, 120, 0.0, 0.4);
    ZRMLSQSolver solver;
    solver.SetOrdering(GetParam());
    Register(solver, problem);
    ASSERT_TRUE(solver.Factor());
    ASSERT_TRUE(solver.Solve());
    const auto first = Results(solver);
    ASSERT_TRUE(solver.Solve());
    EXPECT_EQ(Results(solver), first) << "second Solve, problem " << p;
    for (int round = 0; round < 2; ++round) {
      bool changed = false;
      for (Constraint& constraint : problem.constraints) {
        if (!constraint.named) continue;
        if (round == 0 || random.Chance(0.5)) {
          constraint.rhs = random.Uniform(-20.0, 20.0);
          changed = true;
        }
        solver.SetRhs(constraint.id, constraint.rhs);
      }
      ASSERT_TRUE(solver.Solve());
      ZRMLSQSolver fresh;
      fresh.SetOrdering(GetParam());
      Register(fresh, problem);
      ASSERT_TRUE(fresh.Factor());
      ASSERT_TRUE(fresh.Solve());
      EXPECT_EQ(Results(solver), Results(fresh)) << "problem " << p << ", round " << round;
      if (round == 0 && changed) {
        EXPECT_NE(Results(solver), first) << "problem " << p;
      }
    }
  }
}

// The fill-reducing ordering agrees with the given one to 1e-9 relative on well-posed problems,
// long hard chains and sketches registered in any order included.
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
