// ZRMLSQSolver::Diagnose: which constraints are redundant or conflicting, what is left free.
#include "ZRMLSQSolver.h"

#include "ZRMLSQSolverState.h"
#include "ZRMUtTolerance.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kConsistent = 1e-9;       // a dependent row's rhs residual, relative to its terms
constexpr double kNearlyZeroPivot = 1e-9;  // a pivot, relative to the largest its row held
constexpr double kZeroPivot = 1e-10;       // a normal-matrix pivot, relative to its diagonal
constexpr double kSupport = 1e-8;          // a null-vector component, relative to its largest

// Diagnose's own stages, so that the solver's factorization stays as it is.
struct Stages {
  ConstraintNumbering numbering;
  HardRowElimination elimination;
  SoftRowReduction reduction;
  CompressedRows columns;
  CompressedRows normal;
  FactorPattern pattern;
  SparseCholesky cholesky;
  LowerFactor factor;
  std::vector<int> dropped;
  CompressedRows droppedRows;
  std::vector<int> workIndex;
  std::vector<double> workValue;
};

// Appends a constraint to the list of its kind: named ones by id, unnamed ones by index.
void AddConstraint(const ConstraintKey& key, ZRMUtVector<int>& named, ZRMUtVector<int>& unnamed) {
  if (key.second == -1)
    named.PushBack(key.first);
  else
    unnamed.PushBack(key.second);
}

// ids := the ids of the variables flagged, ascending (variable numbers ascend with ids).
void ListVariables(const ConstraintNumbering& numbering, const std::vector<char>& flagged, ZRMUtVector<int>& ids) {
  for (int variable = 0; variable < numbering.VariableCount(); ++variable)
    if (flagged[static_cast<std::size_t>(variable)]) ids.PushBack(numbering.IdOf(variable));
}

// Each hard row left without a pivot: its group and whether its right-hand sides agree
// (dependencies: empty on entry, by store row on return).
void ClassifyDependentRows(const LSQSolverState& state, const Stages& stages, ZRMLSQDiagnosis& diagnosis,
                           std::vector<std::pair<int, std::vector<int>>>& dependencies) {
  const double tolerance = ZRMUtTolerance().AbsoluteTol();
  assert(dependencies.empty() && "the groups of an earlier Diagnose cleared");
  const std::vector<int>& hardRows = stages.numbering.HardRows();
  std::vector<int> remaining = stages.elimination.RemainingRows();
  std::sort(remaining.begin(), remaining.end());  // hard rows ascend with their keys
  for (const int hard : remaining) {
    const int storeRow = hardRows[static_cast<std::size_t>(hard)];
    std::vector<int> group;
    double residual = 0.0;
    double magnitude = 0.0;
    for (const auto& term : stages.elimination.RhsOfRow(hard)) {
      const double part = term.second * state.mStore.Rhs(hardRows[static_cast<std::size_t>(term.first)]);
      residual = residual + part;
      magnitude = magnitude + std::fabs(part);
      if (term.first != hard && std::fabs(term.second) > tolerance)
        group.push_back(hardRows[static_cast<std::size_t>(term.first)]);
    }
    const bool consistent = std::fabs(residual) <= tolerance + kConsistent * magnitude;
    const ConstraintKey& key = state.mStore.RowAt(storeRow).key;
    if (consistent)
      AddConstraint(key, diagnosis.mRedundant, diagnosis.mRedundantUnnamed);
    else
      AddConstraint(key, diagnosis.mConflicting, diagnosis.mConflictingUnnamed);
    std::sort(group.begin(), group.end());
    dependencies.emplace_back(storeRow, std::move(group));
  }
  std::sort(dependencies.begin(), dependencies.end());
}

// Pivot rows whose pivot is tiny beside the largest coefficient their row held.
void FindNearlyDependentRows(const LSQSolverState& state, const Stages& stages, ZRMLSQDiagnosis& diagnosis) {
  const HardRowElimination& elimination = stages.elimination;
  std::vector<int> hards;
  for (int step = 0; step < elimination.StepCount(); ++step) {
    const int hard = elimination.HardRowOfStep(step);
    if (std::fabs(elimination.PivotOfStep(step)) < kNearlyZeroPivot * elimination.LargestOf(hard))
      hards.push_back(hard);
  }
  std::sort(hards.begin(), hards.end());
  for (const int hard : hards)
    AddConstraint(state.mStore.RowAt(stages.numbering.HardRows()[static_cast<std::size_t>(hard)]).key,
                  diagnosis.mNearlyDependent, diagnosis.mNearlyDependentUnnamed);
}

// The free variables, the eliminated ones that depend on one, and the free ones no soft row
// names.
void FindFreeVariables(const Stages& stages, ZRMLSQDiagnosis& diagnosis) {
  const ConstraintNumbering& numbering = stages.numbering;
  const SoftRowReduction& reduction = stages.reduction;
  const CompressedRows& substitutions = stages.elimination.Substitutions();
  const double tolerance = ZRMUtTolerance().AbsoluteTol();
  std::vector<char> notFixed(static_cast<std::size_t>(numbering.VariableCount()), 0);
  std::vector<char> withoutSoftRow(notFixed.size(), 0);
  for (int column = 0; column < reduction.FreeCount(); ++column) {
    const int variable = reduction.VariableOfColumn()[static_cast<std::size_t>(column)];
    notFixed[static_cast<std::size_t>(variable)] = 1;
    withoutSoftRow[static_cast<std::size_t>(variable)] = column >= reduction.SoftFreeCount() ? 1 : 0;
  }
  for (int step = 0; step < substitutions.RowCount(); ++step)
    for (const double value : substitutions.Values(step))
      if (std::fabs(value) > tolerance) notFixed[static_cast<std::size_t>(stages.elimination.VariableOfStep(step))] = 1;
  ListVariables(numbering, notFixed, diagnosis.mNotFixedByHardRows);
  ListVariables(numbering, withoutSoftRow, diagnosis.mWithoutSoftRow);
  diagnosis.mHardDegreesOfFreedom = numbering.VariableCount() - stages.elimination.StepCount();
}

// The null vector of the normal matrix for dropped column k: w[k] = 1, L1^T w = -row (the
// dropped row of L), over the columns below k; dropped columns stay 0.0.
void NullVector(const LowerFactor& factor, int k, Span<int> columns, Span<double> values, std::vector<double>& w) {
  w.assign(static_cast<std::size_t>(k) + 1, 0.0);
  w[static_cast<std::size_t>(k)] = 1.0;
  if (columns.IsEmpty()) return;  // row k of the matrix is zero: w = e_k
  for (int e = 0; e < columns.Size(); ++e) w[static_cast<std::size_t>(columns[e])] = -values[e];
  for (int i = k - 1; i >= 0; --i) {
    if (factor.mDiagonal[static_cast<std::size_t>(i)] == 0.0) {
      w[static_cast<std::size_t>(i)] = 0.0;  // a dropped column
      continue;
    }
    double value = w[static_cast<std::size_t>(i)];
    for (int e = factor.mStart[i]; e < factor.mStart[i + 1] && factor.mRow[e] < k; ++e)
      value = value - factor.mValue[e] * w[static_cast<std::size_t>(factor.mRow[e])];
    w[static_cast<std::size_t>(i)] = value / factor.mDiagonal[static_cast<std::size_t>(i)];
  }
}

// Flags the variables on which the null vector w over the free columns is not about zero,
// eliminated ones through their substitutions.
void FlagSupport(const Stages& stages, const std::vector<double>& w, std::vector<char>& flagged) {
  const SoftRowReduction& reduction = stages.reduction;
  double largest = 0.0;
  for (const double value : w) largest = std::max(largest, std::fabs(value));
  const double threshold = kSupport * largest;
  for (std::size_t column = 0; column < w.size(); ++column)
    if (std::fabs(w[column]) > threshold) flagged[static_cast<std::size_t>(reduction.VariableOfColumn()[column])] = 1;
  const CompressedRows& eliminated = reduction.EliminatedRows();
  for (int step = 0; step < eliminated.RowCount(); ++step) {
    double value = 0.0;
    for (int e = eliminated.Begin(step); e < eliminated.End(step); ++e) {
      const auto column = static_cast<std::size_t>(eliminated.mIndex[e]);
      if (column < w.size()) value = value + eliminated.mValue[e] * w[column];
    }
    if (std::fabs(value) > threshold) flagged[static_cast<std::size_t>(stages.elimination.VariableOfStep(step))] = 1;
  }
}

// The variables on which some direction of the null space of all rows is not zero.
void FindUndetermined(Stages& stages, ZRMLSQDiagnosis& diagnosis) {
  const SoftRowReduction& reduction = stages.reduction;
  Transpose(reduction.ReducedRows(), reduction.FreeCount(), stages.columns, stages.workIndex);
  FormNormalMatrix(reduction.ReducedRows(), stages.columns, stages.normal, stages.workIndex, stages.workValue);
  stages.pattern.Count(stages.normal);
  stages.pattern.Find(stages.normal);
  stages.cholesky.Analyze(stages.pattern);
  stages.cholesky.FactorizeRevealingRank(stages.normal, kZeroPivot, stages.factor, stages.dropped, stages.droppedRows);
  std::vector<char> flagged(static_cast<std::size_t>(stages.numbering.VariableCount()), 0);
  std::vector<double> w;
  for (std::size_t d = 0; d < stages.dropped.size(); ++d) {
    const int row = static_cast<int>(d);
    NullVector(stages.factor, stages.dropped[d], stages.droppedRows.Indices(row), stages.droppedRows.Values(row), w);
    FlagSupport(stages, w, flagged);
  }
  ListVariables(stages.numbering, flagged, diagnosis.mUndetermined);
}

}  // namespace

bool ZRMLSQSolver::Diagnose(ZRMLSQDiagnosis& diagnosis) {
  if (!mState) return false;
  diagnosis = ZRMLSQDiagnosis();
  Stages stages;
  stages.numbering.Run(mState->mStore);
  mState->mDependencies.clear();  // the groups are those of this Diagnose only
  if (!stages.elimination.Run(stages.numbering, ZRMUtTolerance().AbsoluteTol(),
                              HardRowElimination::Substitution::kIntoEarlier, mState->PivotRule()))
    ClassifyDependentRows(*mState, stages, diagnosis, mState->mDependencies);
  FindNearlyDependentRows(*mState, stages, diagnosis);
  SoftRowReduction::Options options;
  options.everyFreeVariable = true;
  stages.reduction.Run(stages.numbering, stages.elimination, options);
  FindFreeVariables(stages, diagnosis);
  FindUndetermined(stages, diagnosis);
  return true;
}

namespace {

// The dependency group of a store row after the last Diagnose; false when it has none.
bool GroupOf(const LSQSolverState& state, int storeRow, ZRMUtVector<int>& group, ZRMUtVector<int>* unnamedGroup) {
  group.Clear();
  if (unnamedGroup != nullptr) unnamedGroup->Clear();
  const auto& dependencies = state.mDependencies;
  const auto found = std::lower_bound(dependencies.begin(), dependencies.end(), storeRow,
                                      [](const auto& dependency, int row) { return dependency.first < row; });
  if (found == dependencies.end() || found->first != storeRow) return false;
  ZRMUtVector<int> ignored;
  std::vector<int> rows = found->second;
  std::sort(rows.begin(), rows.end(), [&state](int a, int b) {
    const ConstraintKey& x = state.mStore.RowAt(a).key;
    const ConstraintKey& y = state.mStore.RowAt(b).key;
    return x.second != y.second ? x.second < y.second : x.first < y.first;  // ids, then indices
  });
  for (const int row : rows)
    AddConstraint(state.mStore.RowAt(row).key, group, unnamedGroup != nullptr ? *unnamedGroup : ignored);
  return true;
}

}  // namespace

bool ZRMLSQSolver::DependencyOf(int id, ZRMUtVector<int>& group, ZRMUtVector<int>* unnamedGroup) const {
  const int storeRow = mState ? mState->mStore.FindNamed(id) : IdIndex::kAbsent;
  if (storeRow == IdIndex::kAbsent) {
    group.Clear();
    if (unnamedGroup != nullptr) unnamedGroup->Clear();
    return false;
  }
  return GroupOf(*mState, storeRow, group, unnamedGroup);
}

bool ZRMLSQSolver::DependencyOfUnnamed(int index, ZRMUtVector<int>& group, ZRMUtVector<int>* unnamedGroup) const {
  const bool known =
      mState && index >= 0 && index < mState->mStore.Size() && mState->mStore.RowAt(index).key.second == index;
  if (!known) {
    group.Clear();
    if (unnamedGroup != nullptr) unnamedGroup->Clear();
    return false;
  }
  return GroupOf(*mState, index, group, unnamedGroup);
}
