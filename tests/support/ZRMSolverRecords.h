// The state of a solver as records, built from its internal state: every registered constraint
// by key; the row index, the eliminated rows, where the hard right-hand sides go, the reduced
// soft rows, the factor and the results. What the solver's tests compare.
#ifndef ZRMSolverRecords_h
#define ZRMSolverRecords_h

#include "ZRMLSQSolverStateAccess.h"
#include "ZRMUtVector.h"

#include <utility>
#include <vector>

namespace zrmtest {

// One registered constraint row: sum(mCoefficients[v] * x[v]) = mRhs.
struct ConstraintRecord {
  bool mIsHard = false;
  ZRMUtMap<int, double, ZRMUtLess<int>> mCoefficients;
  double mRhs = 0.0;
};

// Sparse row or column: (index, value) entries.
using SparseVector = ZRMUtVector<ZRMUtPair<int, double>>;

// L with L * L^T = the normal matrix; all empty when there is none.
struct CholeskyFactor {
  ZRMUtVector<SparseVector> mRows;     // row i: (j, L[i][j]), j < i ascending
  ZRMUtVector<SparseVector> mColumns;  // column j: (i, L[i][j]), i > j ascending
  ZRMUtVector<double> mDiagonal;
  ZRMUtVector<int> mPermutation;  // the identity
};

using ConstraintRecords = ZRMUtMap<ConstraintKey, ConstraintRecord>;  // key order

// What Factor and Solve built (the constraints apart: ConstraintRecordsOf).
struct SolverRecords {
  ZRMUtMap<int, double, ZRMUtLess<int>> mResult;  // variable id -> value of the last Solve
  int mSoftRowCount = 0;
  ZRMUtVector<int> mColumnVariables;               // column -> variable id: free, then eliminated by step
  ZRMUtMap<ConstraintKey, int> mRowIndex;          // soft: 0..nsoft-1; pivot of step k: nsoft + k
  ZRMUtVector<SparseVector> mEliminatedRows;       // step k: its variable over the free columns
  ZRMUtVector<SparseVector> mHardRhsCoefficients;  // step k: (target, coefficient) of its pivot's rhs
  ZRMUtVector<SparseVector> mSoftRows;             // soft row r over the columns, ascending column
  CholeskyFactor mFactor;
};

inline SparseVector ToSparseVector(const CompressedRows& rows, int row) {
  SparseVector vector;
  for (int e = rows.Begin(row); e < rows.End(row); ++e) vector.PushBack(ZRMUtMakePair(rows.mIndex[e], rows.mValue[e]));
  return vector;
}

inline ZRMUtVector<SparseVector> ToSparseVectors(const CompressedRows& rows) {
  ZRMUtVector<SparseVector> vectors;
  for (int row = 0; row < rows.RowCount(); ++row) vectors.PushBack(ToSparseVector(rows, row));
  return vectors;
}

inline CholeskyFactor ToRecord(const LowerFactor& factor) {
  CholeskyFactor record;
  const int n = factor.Size();
  CompressedRows columns;
  columns.mStart = factor.mStart;
  columns.mIndex = factor.mRow;
  columns.mValue = factor.mValue;
  CompressedRows rows;
  std::vector<int> fill;
  Transpose(columns, n, rows, fill);
  record.mRows = ToSparseVectors(rows);
  record.mColumns = ToSparseVectors(columns);
  for (int i = 0; i < n; ++i) {
    record.mDiagonal.PushBack(factor.mDiagonal[static_cast<std::size_t>(i)]);
    record.mPermutation.PushBack(i);
  }
  return record;
}

// The eliminated rows as far as a Factor that found an eliminated variable depending on one no
// soft row names built them: one per step, filled for the eliminated variables in ascending id
// up to the entry without a column.
inline void AddPartialEliminatedRows(const LSQSolverState& state, SolverRecords& records) {
  const HardRowElimination& elimination = state.mElimination;
  const CompressedRows& substitutions = elimination.Substitutions();
  records.mEliminatedRows.Resize(elimination.StepCount());
  for (int variable = 0; variable < state.mNumbering.VariableCount(); ++variable) {
    const int step = elimination.StepOfVariable(variable);
    if (step < 0) continue;
    for (int e = substitutions.Begin(step); e < substitutions.End(step); ++e) {
      const int column = state.mReduction.ColumnOfVariable()[static_cast<std::size_t>(substitutions.mIndex[e])];
      if (column < 0) return;
      records.mEliminatedRows[step].PushBack(ZRMUtMakePair(column, substitutions.mValue[e]));
    }
  }
}

// What the last Factor built, as far as it got.
inline void AddFactorization(const LSQSolverState& state, SolverRecords& records) {
  const ConstraintNumbering& numbering = state.mNumbering;
  if (state.mStage == FactorStage::kNone) return;
  const int softCount = static_cast<int>(numbering.SoftRows().size());
  records.mSoftRowCount = softCount;
  for (int r = 0; r < softCount; ++r) records.mRowIndex[state.mStore.RowAt(numbering.SoftRows()[r]).key] = r;
  for (int k = 0; k < state.mElimination.StepCount(); ++k) {
    const int row = numbering.HardRows()[static_cast<std::size_t>(state.mElimination.HardRowOfStep(k))];
    records.mRowIndex[state.mStore.RowAt(row).key] = softCount + k;
  }
  if (state.mStage == FactorStage::kNumbered) return;
  for (const int variable : state.mReduction.VariableOfColumn())
    records.mColumnVariables.PushBack(numbering.IdOf(variable));
  if (state.mStage == FactorStage::kColumns) {
    AddPartialEliminatedRows(state, records);
    return;
  }
  records.mEliminatedRows = ToSparseVectors(state.mReduction.EliminatedRows());
  records.mHardRhsCoefficients = ToSparseVectors(state.mReduction.HardRhs());
  records.mSoftRows = ToSparseVectors(state.mReduction.ReducedRows());
}

// Every registered constraint by key.
inline ConstraintRecords ConstraintRecordsOf(const ZRMLSQSolver& solver) {
  const ConstraintStore& store = ZRMLSQSolverStateAccess::State(solver).mStore;
  ConstraintRecords records;
  for (int row = 0; row < store.Size(); ++row) {
    ConstraintRecord& record = records[store.RowAt(row).key];
    record.mIsHard = store.RowAt(row).hard;
    record.mRhs = store.Rhs(row);
    for (int e = 0; e < store.RowAt(row).count; ++e) {
      const auto& entry = store.Pool()[store.RowAt(row).first + e];
      record.mCoefficients[entry.first] = entry.second;
    }
  }
  return records;
}

inline SolverRecords Records(const ZRMLSQSolver& solver) {
  const LSQSolverState& state = ZRMLSQSolverStateAccess::State(solver);
  SolverRecords records;
  AddFactorization(state, records);
  records.mFactor = ToRecord(state.mFactor);
  if (state.mHasResults)
    state.mResultIndex.ForEachAscending([&](int id, int variable) {
      records.mResult.InsertOrGetAtEnd(id) = state.mResults[static_cast<std::size_t>(variable)];
    });
  return records;
}

}  // namespace zrmtest

#endif
