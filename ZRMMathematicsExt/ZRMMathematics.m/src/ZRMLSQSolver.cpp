// ZRMLSQSolver: registration, the stages of Factor, and Solve.
#include "ZRMLSQSolver.h"

#include "ZRMCheck.h"
#include "ZRMLSQSolverState.h"
#include "ZRMUtTolerance.h"

#include <cassert>
#include <limits>

namespace {

constexpr const char* kReportedPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";
constexpr int kNotPositiveDefiniteLine = 186;
constexpr int kNoConstraintLine = 340;
constexpr int kWrongVariableLine = 651;

// Factor on a state: numbering -> elimination -> reduction -> A^T -> lower triangle of A^T A ->
// analysis -> numeric factorization. Each stage reads the outputs of those before it.
bool FactorState(LSQSolverState& state) {
  state.mFactorCurrent = false;
  state.mNumbering.Run(state.mStore);
  const bool eliminated = state.mElimination.Run(state.mNumbering, ZRMUtTolerance().AbsoluteTol());
  state.mStage = FactorStage::kNumbered;
  if (!eliminated) return false;
  const bool reduced = state.mReduction.Run(state.mNumbering, state.mElimination);
  state.mStage = FactorStage::kColumns;
  if (!reduced) return false;
  const SoftRowReduction& reduction = state.mReduction;
  Transpose(reduction.ReducedRows(), reduction.FreeCount(), state.mSoftColumns, state.mWorkIndex);
  FormNormalMatrix(reduction.ReducedRows(), state.mSoftColumns, state.mNormal, state.mWorkIndex, state.mWorkValue);
  state.mStage = FactorStage::kReduced;
  state.mCholesky.Analyze(state.mNormal);
  if (state.mCholesky.Factorize(state.mNormal, state.mFactor) != CholeskyStatus::Success) {
    ZRMReportCheck(false, "false", "Not positive definite matrix (or ill-conditioned)", kReportedPath,
                   kNotPositiveDefiniteLine);
    return false;
  }
  state.mStage = FactorStage::kFactored;
  state.mFactorCurrent = true;
  state.mIndexTaken = false;
  return true;
}

// adjusted := per row, the soft rows' right-hand sides and 0.0 for the pivot rows, plus the
// contributions of the pivot rows' right-hand sides (step k ascending, entries in order): then
// the pivot rows' places hold the constant parts of the eliminated variables.
void AdjustedRhs(const LSQSolverState& state, std::vector<double>& adjusted) {
  const std::vector<int>& soft = state.mNumbering.SoftRows();
  const HardRowElimination& elimination = state.mElimination;
  const CompressedRows& targets = state.mReduction.HardRhs();
  adjusted.assign(soft.size() + static_cast<std::size_t>(elimination.StepCount()), 0.0);
  for (std::size_t r = 0; r < soft.size(); ++r) adjusted[r] = state.mStore.Rhs(soft[r]);
  for (int k = 0; k < elimination.StepCount(); ++k) {
    const int pivotRow = state.mNumbering.HardRows()[static_cast<std::size_t>(elimination.HardRowOfStep(k))];
    const double rhs = state.mStore.Rhs(pivotRow);
    for (int e = targets.Begin(k); e < targets.End(k); ++e)
      adjusted[targets.mIndex[e]] = adjusted[targets.mIndex[e]] + rhs * targets.mValue[e];
  }
}

// normal := A^T b: column c sums b[r] * A[r][c] over ascending r, from 0.0.
void NormalRhs(const CompressedRows& softColumns, const std::vector<double>& adjusted, std::vector<double>& normal) {
  normal.resize(static_cast<std::size_t>(softColumns.RowCount()));
  for (int c = 0; c < softColumns.RowCount(); ++c) {
    double sum = 0.0;
    for (int e = softColumns.Begin(c); e < softColumns.End(c); ++e)
      sum = sum + adjusted[softColumns.mIndex[e]] * softColumns.mValue[e];
    normal[c] = sum;
  }
}

// Results by variable number: the free variables' values, then each eliminated variable's
// constant part plus its row over the free values (entries in order).
void StoreResults(LSQSolverState& state) {
  const SoftRowReduction& reduction = state.mReduction;
  const std::vector<double>& values = state.mNormalRhs;
  const int softCount = static_cast<int>(state.mNumbering.SoftRows().size());
  state.mResults.resize(static_cast<std::size_t>(state.mNumbering.VariableCount()));
  for (int c = 0; c < reduction.FreeCount(); ++c) state.mResults[reduction.VariableOfColumn()[c]] = values[c];
  const CompressedRows& eliminated = reduction.EliminatedRows();
  for (int k = 0; k < eliminated.RowCount(); ++k) {
    double v = state.mAdjustedRhs[softCount + k];
    for (int e = eliminated.Begin(k); e < eliminated.End(k); ++e)
      v = v + values[eliminated.mIndex[e]] * eliminated.mValue[e];
    state.mResults[state.mElimination.VariableOfStep(k)] = v;
  }
  if (!state.mIndexTaken) state.mNumbering.ExchangeVariableIndex(state.mResultIndex);
  state.mIndexTaken = true;
  state.mHasResults = true;
}

// Solve on a state: every variable's value from the current right-hand sides. Without a
// usable factorization the results are emptied and only a solver without constraints succeeds.
bool SolveState(LSQSolverState& state) {
  state.mHasResults = false;
  if (!state.mFactorCurrent) return state.mStore.Size() == 0;
  AdjustedRhs(state, state.mAdjustedRhs);
  NormalRhs(state.mSoftColumns, state.mAdjustedRhs, state.mNormalRhs);
  SolveCholesky(state.mFactor, state.mNormalRhs.data());
  StoreResults(state);
  return true;
}

}  // namespace

ZRMLSQSolver::ZRMLSQSolver() : mState(new LSQSolverState()) {}

ZRMLSQSolver::~ZRMLSQSolver() {
  delete mState;
  mState = nullptr;
}

void ZRMLSQSolver::AddConstraint(bool hard, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients, int id) {
  if (!mState) return;
  mState->mStore.SetNamed(id, hard, 0.0, coefficients);
  mState->mFactorCurrent = false;
}

void ZRMLSQSolver::AddConstraint(bool hard, double rhs, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients) {
  if (!mState) return;
  mState->mStore.AddUnnamed(hard, rhs, coefficients);
  mState->mFactorCurrent = false;
}

// An unknown id is reported, then registered as a soft constraint without coefficients that
// carries the value (which ends the factorization, as any registration does).
void ZRMLSQSolver::SetRhs(int iId, double value) {
  if (!mState) return;
  const int row = mState->mStore.FindNamed(iId);
  if (row != IdIndex::kAbsent) {
    mState->mStore.SetRhs(row, value);
    return;
  }
  ZRMReportCheck(false, "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))", "No constraint", kReportedPath,
                 kNoConstraintLine);
  mState->mStore.SetNamed(iId, false, value, ZRMUtMap<int, double, ZRMUtLess<int>>());
  mState->mFactorCurrent = false;
}

bool ZRMLSQSolver::Factor() { return mState && FactorState(*mState); }

bool ZRMLSQSolver::Solve() { return mState && SolveState(*mState); }

double ZRMLSQSolver::GetResult(int iVar) const {
  if (!mState) return -2.0;
  const int variable = mState->mHasResults ? mState->mResultIndex.Find(iVar) : IdIndex::kAbsent;
  ZRMReportCheck(variable != IdIndex::kAbsent, "mState->mResult.Find(iVar) != mState->mResult.End()",
                 "Wrong variable id.", kReportedPath, kWrongVariableLine);
  return variable != IdIndex::kAbsent ? mState->mResults[static_cast<std::size_t>(variable)]
                                      : std::numeric_limits<double>::quiet_NaN();
}
