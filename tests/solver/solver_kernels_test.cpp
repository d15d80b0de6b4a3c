// The sparse Cholesky's loops over consecutive rows against the plain loops they stand for: the
// same bits for every length (across vector widths), offset and kind of value; and the two
// factorizations of the fill-reducing mode against the dense oracle. The factorizations are
// pinned by the golden corpus.
#include "ZRMSolverOracle.h"
#include "ZRMSolverRecords.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

using namespace zrmtest;

TEST(SparseCholesky, ConsecutiveColumnLoopsAgreeWithThePlainLoops) {
  const double special[] = {
      0.0, -0.0, 1e-310, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  Random random(5);
  const auto draw = [&] { return random.Chance(0.05) ? special[random.Int(0, 5)] : random.Uniform(-4.0, 4.0); };
  const auto bits = [](const std::vector<double>& values) {
    std::vector<std::uint64_t> result;
    for (const double value : values) result.push_back(Bits(value));
    return result;
  };
  for (long trial = 0; trial < Scaled(2000); ++trial) {
    const int count = random.Int(0, 70);
    const int first = random.Int(0, 5);
    const int size = first + count + random.Int(0, 3);
    std::vector<int> rows(static_cast<std::size_t>(count));
    std::iota(rows.begin(), rows.end(), first);
    std::vector<double> values(rows.size()), inverse(static_cast<std::size_t>(size)), work(inverse.size());
    for (std::vector<double>* drawn : {&values, &inverse, &work})
      for (double& value : *drawn) value = draw();
    const double x = draw();
    std::vector<double> plain = work, fast = work;
    UpdateByColumn(rows.data(), values.data(), count, x, inverse.data(), plain.data());
    UpdateByConsecutiveColumn(first, values.data(), count, x, inverse.data(), fast.data());
    EXPECT_EQ(bits(fast), bits(plain)) << "update, trial " << trial;
    plain = fast = work;
    SubtractColumn(rows.data(), values.data(), count, x, plain.data());
    SubtractConsecutiveColumn(first, values.data(), count, x, fast.data());
    EXPECT_EQ(bits(fast), bits(plain)) << "forward, trial " << trial;
    EXPECT_EQ(Bits(DotConsecutiveColumn(x, first, values.data(), count, work.data())),
              Bits(DotColumn(x, rows.data(), values.data(), count, work.data())))
        << "backward, trial " << trial;
  }
}

namespace {

// A chain over count variables registered link by link: soft stays and links, every fifth link
// hard. Its order fills in nothing.
Problem Chain(Random& random, int count) {
  Problem chain;
  for (int v = 0; v < count; ++v) {
    chain.variables.push_back(v);
    chain.constraints.push_back({false, {{v, random.Uniform(0.5, 2.0)}}, random.Uniform(-5.0, 5.0), true, 3 * v});
    if (v + 1 < count)
      chain.constraints.push_back(
          {v % 5 == 4, {{v, 1.0}, {v + 1, -random.Uniform(0.5, 2.0)}}, random.Uniform(-1.0, 1.0), true, 3 * v + 1});
  }
  return chain;
}

}  // namespace

// The fill-reducing mode keeps the order of the columns where it fills in little (chains) and
// reorders the others; it factors thin normal matrices column by column and the others by
// supernodes (the sparse rows of larger generated problems fill in under any order). Every way,
// on problems of every kind, does what the dense oracle rules; the sizes reach each way, which
// the test confirms. A solver that changes its ordering gives the bits of a new solver in the
// new ordering, whichever factorization came before; the columns do not depend on the order of
// the soft rows.
TEST(FillReducingFactorization, EveryWayAgreesWithTheDenseOracle) {
  constexpr ZRMLSQOrdering kGiven = ZRMLSQOrdering::AsGiven, kFill = ZRMLSQOrdering::FillReducing;
  Random random(0xF1D);
  bool met[2] = {false, false};   // by columns, by supernodes
  bool kept[2] = {false, false};  // order changed, order kept
  const auto check = [&](const Problem& problem, Kind kind, int count) {
    AssertRecorder recorder(0);  // rejected matrices report
    EXPECT_EQ(OracleDisagreement(problem, kind, kFill), "") << count << " variables";
    // A solver factored and solved in each ordering in turn.
    const auto solved = [&problem](std::initializer_list<ZRMLSQOrdering> orderings,
                                   const std::vector<Constraint>* constraints = nullptr) {
      auto solver = std::make_unique<ZRMLSQSolver>();
      Register(*solver, constraints ? *constraints : problem.constraints);
      for (const ZRMLSQOrdering ordering : orderings) {
        solver->SetOrdering(ordering);
        if (solver->Factor()) solver->Solve();
      }
      return solver;
    };
    const auto fill = solved({kFill});
    if (StateOf(*fill).mFactorCurrent) {
      const std::vector<int>& permutation = StateOf(*fill).mPermutation;
      met[StateOf(*fill).mBySupernodes] = true;
      kept[std::is_sorted(permutation.begin(), permutation.end())] = true;
    }
    EXPECT_EQ(ResultBits(*solved({kFill, kGiven})), ResultBits(*solved({kGiven})))
        << count << " variables, to as given";
    EXPECT_EQ(ResultBits(*solved({kGiven, kFill})), ResultBits(*fill)) << count << " variables, to fill-reducing";
    // Renaming the variables by an increasing map, to their ranks 0 .. n - 1 and to the ranks with
    // two gaps (up to n + 1), changes no bit.
    const auto values = [](const ZRMLSQSolver& solver) {
      std::vector<std::uint64_t> bits;
      for (const auto& result : ResultBits(solver)) bits.push_back(result.second);
      return bits;
    };
    const auto& ids = problem.variables;
    for (const int gaps : {0, 1}) {
      std::vector<Constraint> renamed = problem.constraints;
      for (Constraint& row : renamed)
        for (auto& entry : row.coefficients) {
          const auto rank = static_cast<int>(std::lower_bound(ids.begin(), ids.end(), entry.first) - ids.begin());
          entry.first = rank + gaps * (3 * rank / static_cast<int>(ids.size()));
        }
      EXPECT_EQ(values(*solved({kFill}, &renamed)), values(*fill)) << count << " variables, gaps " << gaps;
    }
    // The columns follow the variable ids, not the rows: the named soft constraints' ids
    // reversed among themselves (the soft rows in another order, the hard rows as they were)
    // leave the columns and the permutation as they were.
    std::vector<Constraint> reordered = problem.constraints;
    std::vector<Constraint*> soft;
    for (Constraint& row : reordered)
      if (row.named && !row.hard) soft.push_back(&row);
    for (std::size_t k = 0; k < soft.size() / 2; ++k) std::swap(soft[k]->id, soft[soft.size() - 1 - k]->id);
    const auto fillReordered = solved({kFill}, &reordered);
    EXPECT_EQ(ColumnVariables(*fillReordered), ColumnVariables(*fill)) << count << " variables";
    EXPECT_EQ(StateOf(*fillReordered).mPermutation, StateOf(*fill).mPermutation) << count << " variables";
  };
  for (const int count : {30, 90, 200, 300}) {
    for (const Kind kind : kKinds) check(Generate(random, kind, count, random.Uniform(0.0, 0.4)), kind, count);
    check(Chain(random, count), Kind::WellPosed, count);
  }
  // Fairing and surface fits, whose supernodes merge and update one another from the first on.
  for (const zrmgen::Problem& structured : {zrmgen::GridFairing(20), zrmgen::BicubicFit(10)}) {
    met[1] = false;
    check(FromGenerated(structured), Kind::WellPosed, structured.variableCount);
    EXPECT_TRUE(met[1]) << structured.family << " factored by columns";
  }
  EXPECT_TRUE(met[0] && met[1]) << "by columns " << met[0] << ", by supernodes " << met[1];
  EXPECT_TRUE(kept[0] && kept[1]) << "reordered " << kept[0] << ", kept " << kept[1];
}
