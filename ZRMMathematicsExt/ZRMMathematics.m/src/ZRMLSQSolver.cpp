// ZRMLSQSolver: registration, the stages of Factor, and Solve.
#include "ZRMLSQSolver.h"

#include "ZRMCheck.h"
#include "ZRMLSQSolverState.h"
#include "ZRMUtTolerance.h"

#include <cassert>
#include <limits>
#include <numeric>
#include <optional>

namespace {

constexpr const char* kReportedPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";
constexpr int kNotPositiveDefiniteLine = 186;
constexpr int kNoConstraintLine = 340;
constexpr int kWrongVariableLine = 651;

// Our choice: the fill-reducing mode factors by supernodes where the factorization does at least
// this much work per entry of L (grids, surface fits); below it (chains, sketches), blocks of one
// or two columns cost more than their dense kernels save, and the column-by-column
// factorization serves instead.
constexpr double kSupernodalWorkPerEntry = 25.0;

// Our choice: the fill-reducing mode keeps the columns in the order of the variable ids where L
// then has at most this many times the entries of the lower triangle of A^T A, the fewest any
// order can give (chains, sketches whose ids follow their parts, in whatever order the rows
// come). The triangular solves can then gain at most that factor from a new order, and the
// ordering would cost Factor more than it saves.
constexpr double kKeptOrderFill = 1.25;

// The fill-reducing mode's order of the columns: as they are where that fills in little,
// otherwise approximate minimum degree, and that postordered where the factorization goes by
// supernodes (which the postorder makes wider). Leaves the counts of the order's L in mPattern
// and returns the matrix to factor (the normal matrix or its permutation).
const CompressedRows& OrderColumns(LSQSolverState& state) {
  const CompressedRows& normal = state.mNormal;
  const auto limit = static_cast<std::size_t>(kKeptOrderFill * static_cast<double>(normal.mIndex.size()));
  if (const std::optional<double> work = state.mPattern.Count(normal, limit)) {
    state.mPermutation.resize(static_cast<std::size_t>(normal.RowCount()));
    std::iota(state.mPermutation.begin(), state.mPermutation.end(), 0);
    state.mInverse = state.mPermutation;
    state.mBySupernodes = *work >= kSupernodalWorkPerEntry;
    return normal;
  }
  state.mReordered = true;
  state.mAmd.Order(normal, state.mPermutation, state.mInverse);
  PermuteLower(normal, state.mInverse, state.mPermuted, state.mWorkRows, state.mWorkIndex);
  state.mBySupernodes = *state.mPattern.Count(state.mPermuted) >= kSupernodalWorkPerEntry;
  if (!state.mBySupernodes) return state.mPermuted;
  std::vector<int>& order = state.mWorkIndex;
  state.mPattern.Postorder(order);
  for (int& column : order) column = state.mPermutation[static_cast<std::size_t>(column)];  // the composed order
  state.mPermutation.swap(order);
  for (std::size_t k = 0; k < state.mPermutation.size(); ++k)
    state.mInverse[static_cast<std::size_t>(state.mPermutation[k])] = static_cast<int>(k);
  PermuteLower(normal, state.mInverse, state.mPermuted, state.mWorkRows, state.mWorkIndex);
  return state.mPermuted;
}

// Analysis and numeric factorization of the normal matrix: as it is, or in the fill-reducing
// mode's order (mPermutation) and factored by supernodes or column by column.
bool FactorNormalMatrix(LSQSolverState& state) {
  state.mPermutation.clear();
  state.mBySupernodes = false;
  state.mReordered = false;
  const CompressedRows* matrix = &state.mNormal;
  if (state.mFillReducing) {
    matrix = &OrderColumns(state);
  } else {
    state.mPattern.Count(*matrix);
  }
  if (state.mBySupernodes) {
    state.mSupernodal.Analyze(state.mPattern, *matrix);
    return state.mSupernodal.Factorize(*matrix) == CholeskyStatus::Success;
  }
  state.mPattern.Find(*matrix);
  state.mCholesky.Analyze(state.mPattern);
  return state.mCholesky.Factorize(*matrix, state.mFactor) == CholeskyStatus::Success;
}

// Factor on a state: numbering -> elimination -> reduction -> A^T -> lower triangle of A^T A ->
// (ordering ->) analysis -> numeric factorization. Each stage reads the outputs of those before.
bool FactorState(LSQSolverState& state) {
  state.mFactorCurrent = false;
  state.mFillReducing = state.mOrdering == ZRMLSQOrdering::FillReducing;
  state.mNumbering.Run(state.mStore);
  const auto substitution = state.mFillReducing ? HardRowElimination::Substitution::kForwardOnly
                                                : HardRowElimination::Substitution::kIntoEarlier;
  const bool eliminated =
      state.mElimination.Run(state.mNumbering, ZRMUtTolerance().AbsoluteTol(), substitution, state.PivotRule());
  state.mStage = FactorStage::kNumbered;
  if (!eliminated) return false;
  SoftRowReduction::Options options;
  options.symbolicConstants = !state.mFillReducing;
  options.columnsByVariable = state.mFillReducing;
  const bool reduced = state.mReduction.Run(state.mNumbering, state.mElimination, options);
  state.mStage = FactorStage::kColumns;
  if (!reduced) return false;
  const SoftRowReduction& reduction = state.mReduction;
  Transpose(reduction.ReducedRows(), reduction.FreeCount(), state.mSoftColumns, state.mWorkIndex);
  FormNormalMatrix(reduction.ReducedRows(), state.mSoftColumns, state.mNormal, state.mWorkIndex, state.mWorkValue);
  state.mStage = FactorStage::kReduced;
  if (!FactorNormalMatrix(state)) {
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

// The rhs of a hard row (by its number among the hard rows).
double HardRhs(const LSQSolverState& state, int hard) {
  return state.mStore.Rhs(state.mNumbering.HardRows()[static_cast<std::size_t>(hard)]);
}

// Fill-reducing: each step's own constant, first step first (its pivot row's rhs, less each
// substitution it went through, times -f), then its constant part, last step first: the own
// constant plus each later-eliminated variable of its substitution times that variable's part.
void EvaluateConstants(const LSQSolverState& state, std::vector<double>& own, std::vector<double>& constant) {
  const HardRowElimination& elimination = state.mElimination;
  const CompressedRows& events = elimination.SubstitutionRhs();
  const CompressedRows& forward = elimination.ForwardSubstitutions();
  own.resize(static_cast<std::size_t>(elimination.StepCount()));
  constant.resize(own.size());
  for (int k = 0; k < elimination.StepCount(); ++k) {
    double rhs = HardRhs(state, elimination.HardRowOfStep(k));
    for (int e = events.Begin(k); e < events.End(k); ++e)
      rhs = rhs - events.mValue[e] * own[static_cast<std::size_t>(events.mIndex[e])];
    const double f = -1.0 / elimination.PivotOfStep(k);
    own[k] = -(f * rhs);
  }
  for (int k = elimination.StepCount() - 1; k >= 0; --k) {
    double value = own[k];
    for (int e = forward.Begin(k); e < forward.End(k); ++e) {
      const int later = elimination.StepOfVariable(forward.mIndex[e]);
      if (later >= 0) value = value + forward.mValue[e] * constant[static_cast<std::size_t>(later)];
    }
    constant[k] = value;
  }
}

// Fill-reducing: adjusted := each soft row's rhs less its eliminated variables' constant parts
// (coefficient times constant, in the order of its entries).
void AdjustedRhsForward(const LSQSolverState& state, const std::vector<double>& constant,
                        std::vector<double>& adjusted) {
  const std::vector<int>& soft = state.mNumbering.SoftRows();
  const CompressedRows& entries = state.mReduction.EliminatedEntries();
  adjusted.resize(soft.size());
  for (int r = 0; r < static_cast<int>(soft.size()); ++r) {
    double value = state.mStore.Rhs(soft[static_cast<std::size_t>(r)]);
    for (int e = entries.Begin(r); e < entries.End(r); ++e)
      value = value - entries.mValue[e] * constant[static_cast<std::size_t>(entries.mIndex[e])];
    adjusted[static_cast<std::size_t>(r)] = value;
  }
}

// Solves L L^T y = y in place, in the factor's order.
void SolveFactor(LSQSolverState& state, double* y) {
  if (state.mBySupernodes)
    state.mSupernodal.Solve(y);
  else
    SolveCholesky(state.mFactor, y);
}

// Solves the normal equations in place: x holds A^T b, then the free values.
void SolveNormal(LSQSolverState& state, std::vector<double>& x) {
  if (!state.mReordered) {
    SolveFactor(state, x.data());
    return;
  }
  std::vector<double>& y = state.mPermutedRhs;
  y.resize(x.size());
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = x[static_cast<std::size_t>(state.mPermutation[i])];
  SolveFactor(state, y.data());
  for (std::size_t i = 0; i < y.size(); ++i) x[static_cast<std::size_t>(state.mPermutation[i])] = y[i];
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

// Fill-reducing: the eliminated variables' values, last step first: the pivot row's rhs part
// plus the substitution over the values already known (free ones, and those eliminated later).
void StoreEliminatedBackward(LSQSolverState& state) {
  const HardRowElimination& elimination = state.mElimination;
  const CompressedRows& forward = elimination.ForwardSubstitutions();
  for (int k = elimination.StepCount() - 1; k >= 0; --k) {
    double v = state.mOwnConstant[static_cast<std::size_t>(k)];
    for (int e = forward.Begin(k); e < forward.End(k); ++e)
      v = v + forward.mValue[e] * state.mResults[static_cast<std::size_t>(forward.mIndex[e])];
    state.mResults[static_cast<std::size_t>(elimination.VariableOfStep(k))] = v;
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
  if (state.mFillReducing) {
    StoreEliminatedBackward(state);
  } else {
    const CompressedRows& eliminated = reduction.EliminatedRows();
    for (int k = 0; k < eliminated.RowCount(); ++k) {
      double v = state.mAdjustedRhs[softCount + k];
      for (int e = eliminated.Begin(k); e < eliminated.End(k); ++e)
        v = v + values[eliminated.mIndex[e]] * eliminated.mValue[e];
      state.mResults[state.mElimination.VariableOfStep(k)] = v;
    }
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
  if (state.mFillReducing) {
    EvaluateConstants(state, state.mOwnConstant, state.mConstant);
    AdjustedRhsForward(state, state.mConstant, state.mAdjustedRhs);
  } else {
    AdjustedRhs(state, state.mAdjustedRhs);
  }
  NormalRhs(state.mSoftColumns, state.mAdjustedRhs, state.mNormalRhs);
  SolveNormal(state, state.mNormalRhs);
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
  mState->mStore.AddNamedWithoutCoefficients(iId, value);
  mState->mFactorCurrent = false;
}

void ZRMLSQSolver::SetOrdering(ZRMLSQOrdering ordering) {
  if (!mState || mState->mOrdering == ordering) return;
  mState->mOrdering = ordering;
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
