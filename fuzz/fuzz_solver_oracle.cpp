// Differential fuzzer of ZRMLSQSolver against a dense solution with Eigen.
//
// The input decodes a small problem: up to six variables (ids among negative, zero, small and
// extreme values), up to ten hard or soft rows with coefficients from a table of exact values,
// named rows (whose ids may repeat, so later registrations replace earlier ones) and unnamed
// ones, and optionally one defect that makes the problem certainly unsolvable:
//   - a hard row repeated with a power-of-two factor (dependent, or contradictory when its
//     right-hand side is moved): elimination meets an exactly zero row;
//   - a hard row over two fresh variables that no soft row names: one of them stays free and
//     undetermined;
//   - a soft row alone over two fresh variables with power-of-two coefficients: the normal
//     matrix has an exactly singular block.
// Checked: a defective problem is refused (Factor false, Solve false, no results); a problem
// that the dense oracle finds well conditioned and whose every variable is named by a soft row
// is factored, meets its hard rows, and agrees with the oracle, also after new right-hand sides
// are set and solved without a new Factor; Solve is repeatable bit for bit; Solve before Factor
// refuses. Other problems must merely not fail in any other way (the sanitizers watch).
#include "FuzzSupport.h"
#include "ZRMLSQSolver.h"
#include "ZRMSolverOracle.h"
#include "ZRMSolverRecords.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;
using Key = std::pair<int, int>;

constexpr int kVariableIds[] = {-7, 0, 1, 2, 5, 1000, INT_MAX, INT_MIN, -1, 42};
constexpr double kCoefficients[] = {1.0, -1.0, 2.0, -2.0, 0.5, -0.5, 3.0, -1.5, 0.25, 4.0, 0.1, -7.0};
constexpr double kPowersOfTwo[] = {-2.0, -1.0, -0.5, 0.5, 1.0, 2.0, 4.0};
constexpr int kConstraintIds[] = {-3, 0, 1, 2, 7};
constexpr int kFreshU = 100001;
constexpr int kFreshV = 100002;

// The oracle's conditioning below which no agreement is demanded.
constexpr double kWellConditioned = 1e-2;

enum class Defect { None, DuplicateHard, ContradictoryHard, UndeterminedHard, SingularSoft };

using Row = zrmtest::DenseRow;

// The constraints as the solver should hold them after registration, keyed as it keys them.
struct Registered {
  std::map<Key, Row> rows;
  std::vector<int> namedIds;  // ids of named rows, for new right-hand sides
};

Coefficients ToMap(const std::vector<std::pair<int, double>>& coefficients) {
  Coefficients map;
  for (const auto& entry : coefficients) map[entry.first] = entry.second;
  return map;
}

double Rhs(FuzzedDataProvider& input) {
  return input.ConsumeBool() ? input.ConsumeFloatingPointInRange<double>(-50.0, 50.0)
                             : static_cast<double>(input.ConsumeIntegralInRange<int>(-9, 9));
}

// Registers rows decoded from the input with both the solver and the model.
void RegisterRows(FuzzedDataProvider& input, const std::vector<int>& variables, ZRMLSQSolver& solver,
                  Registered& model) {
  const int rows = input.ConsumeIntegralInRange<int>(1, 10);
  for (int r = 0; r < rows; ++r) {
    Row row;
    row.hard = input.ConsumeIntegralInRange<int>(0, 2) == 0;
    for (const int variable : variables)
      if (input.ConsumeBool())
        row.coefficients.emplace_back(variable, kCoefficients[input.ConsumeIntegralInRange<int>(0, 11)]);
    row.rhs = Rhs(input);
    if (input.ConsumeBool()) {
      const int id = kConstraintIds[input.ConsumeIntegralInRange<int>(0, 4)];
      solver.AddConstraint(row.hard, ToMap(row.coefficients), id);
      if (input.ConsumeBool())
        solver.SetRhs(id, row.rhs);
      else
        row.rhs = 0.0;
      model.rows[Key(id, -1)] = row;
      model.namedIds.push_back(id);
    } else {
      const Key key(0, static_cast<int>(model.rows.size()));
      solver.AddConstraint(row.hard, row.rhs, ToMap(row.coefficients));
      model.rows[key] = row;
    }
  }
}

// Adds an unnamed row to both.
void AddUnnamed(const Row& row, ZRMLSQSolver& solver, Registered& model) {
  solver.AddConstraint(row.hard, row.rhs, ToMap(row.coefficients));
  model.rows[Key(0, static_cast<int>(model.rows.size()))] = row;
}

// Adds the defect; false when the problem offers nothing to build it from.
bool AddDefect(FuzzedDataProvider& input, Defect defect, ZRMLSQSolver& solver, Registered& model) {
  Row row;
  switch (defect) {
    case Defect::None: return true;
    case Defect::DuplicateHard:
    case Defect::ContradictoryHard: {
      std::vector<const Row*> hard;
      for (const auto& entry : model.rows)
        if (entry.second.hard) hard.push_back(&entry.second);
      if (hard.empty()) return false;
      row = *hard[input.ConsumeIntegralInRange<std::size_t>(0, hard.size() - 1)];
      const double factor = input.ConsumeBool() ? 2.0 : -0.5;
      for (auto& entry : row.coefficients) entry.second *= factor;
      row.rhs *= factor;
      if (defect == Defect::ContradictoryHard) row.rhs += 1.0;
      break;
    }
    case Defect::UndeterminedHard:
      row.hard = true;
      row.coefficients = {{kFreshU, 1.0}, {kFreshV, kPowersOfTwo[input.ConsumeIntegralInRange<int>(0, 6)]}};
      if (!model.rows.empty() && input.ConsumeBool()) row.coefficients.emplace_back(kVariableIds[0], 0.5);
      row.rhs = Rhs(input);
      break;
    case Defect::SingularSoft:
      row.coefficients = {{kFreshU, kPowersOfTwo[input.ConsumeIntegralInRange<int>(0, 6)]},
                          {kFreshV, kPowersOfTwo[input.ConsumeIntegralInRange<int>(0, 6)]}};
      row.rhs = Rhs(input);
      break;
  }
  AddUnnamed(row, solver, model);
  return true;
}

// The oracle's solution of the registered rows.
zrmtest::DenseSolution DenseOracle(const Registered& model) {
  std::vector<Row> rows;
  for (const auto& entry : model.rows) rows.push_back(entry.second);
  return zrmtest::SolveDense(rows);
}

// Every variable of the problem is named by at least one soft row.
bool SoftRowsNameEveryVariable(const Registered& model) {
  std::set<int> all, soft;
  for (const auto& entry : model.rows)
    for (const auto& coefficient : entry.second.coefficients) {
      all.insert(coefficient.first);
      if (!entry.second.hard) soft.insert(coefficient.first);
    }
  return all == soft;
}

// The solver's values agree with the oracle's and meet every hard row.
void CheckAgainstOracle(const ZRMLSQSolver& solver, const Registered& model) {
  const zrmtest::DenseSolution oracle = DenseOracle(model);
  ZRM_FUZZ_CHECK(oracle.conditioning > kWellConditioned);
  double largest = 1.0;
  for (const auto& value : oracle.values) largest = std::max(largest, std::fabs(value.second));
  ZRM_FUZZ_CHECK(zrmtest::ResultBits(solver).size() == oracle.values.size());
  for (const auto& value : oracle.values)
    ZRM_FUZZ_CHECK(std::fabs(solver.GetResult(value.first) - value.second) <= 1e-6 * largest);
  for (const auto& entry : model.rows) {
    if (!entry.second.hard) continue;
    double sum = 0.0, scale = std::fabs(entry.second.rhs);
    for (const auto& coefficient : entry.second.coefficients) {
      const double term = coefficient.second * solver.GetResult(coefficient.first);
      sum += term;
      scale += std::fabs(term);
    }
    ZRM_FUZZ_CHECK(std::fabs(sum - entry.second.rhs) <= 1e-9 * std::max(1.0, scale));
  }
}

// New right-hand sides for the named rows, set and solved without a new Factor.
void ResolveWithNewRhs(FuzzedDataProvider& input, ZRMLSQSolver& solver, Registered& model) {
  for (const int id : model.namedIds) {
    if (!input.ConsumeBool()) continue;
    const double rhs = Rhs(input);
    solver.SetRhs(id, rhs);
    model.rows[Key(id, -1)].rhs = rhs;
  }
  ZRM_FUZZ_CHECK(solver.Solve());
  CheckAgainstOracle(solver, model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zrmtest::AssertRecorder recorder(0);  // rejected matrices are reported; expected here
  const Defect defect = static_cast<Defect>(input.ConsumeIntegralInRange<int>(0, 4));
  std::vector<int> variables(std::begin(kVariableIds), std::end(kVariableIds));
  for (std::size_t i = variables.size() - 1; i > 0; --i)
    std::swap(variables[i], variables[input.ConsumeIntegralInRange<std::size_t>(0, i)]);
  variables.resize(input.ConsumeIntegralInRange<std::size_t>(1, 6));

  ZRMLSQSolver solver;
  solver.SetOrdering(input.ConsumeBool() ? ZRMLSQOrdering::FillReducing : ZRMLSQOrdering::AsGiven);
  Registered model;
  RegisterRows(input, variables, solver, model);
  if (!AddDefect(input, defect, solver, model)) return 0;
  ZRM_FUZZ_CHECK(!solver.Solve());  // nothing factored yet
  const bool factored = solver.Factor();
  const bool solved = solver.Solve();
  ZRM_FUZZ_CHECK(solved == factored);
  if (defect != Defect::None) {
    ZRM_FUZZ_CHECK(!factored);
    ZRM_FUZZ_CHECK(zrmtest::ResultBits(solver).empty());
    return 0;
  }
  if (!factored) {
    ZRM_FUZZ_CHECK(!(DenseOracle(model).conditioning > kWellConditioned && SoftRowsNameEveryVariable(model)));
    return 0;
  }
  const auto first = zrmtest::ResultBits(solver);
  ZRM_FUZZ_CHECK(solver.Solve());
  ZRM_FUZZ_CHECK(zrmtest::ResultBits(solver) == first);
  if (!(DenseOracle(model).conditioning > kWellConditioned)) return 0;
  CheckAgainstOracle(solver, model);
  ResolveWithNewRhs(input, solver, model);
  return 0;
}
