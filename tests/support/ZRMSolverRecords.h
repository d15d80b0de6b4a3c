// Read access to a solver's state for its tests and fuzzers: the registered constraints by key,
// the last results, the columns and pivots of the last Factor, and a hash of every bit it built.
#ifndef ZRMSolverRecords_h
#define ZRMSolverRecords_h

#include "ZRMLSQSolverStateAccess.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace zrmtest {

using Entries = std::vector<std::pair<int, double>>;
using Key = std::pair<int, int>;

inline std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline const LSQSolverState& StateOf(const ZRMLSQSolver& solver) { return ZRMLSQSolverStateAccess::State(solver); }

// One registered constraint: sum(coefficient * x[variable]) = rhs, bit for bit.
struct ConstraintRecord {
  bool hard = false;
  std::uint64_t rhs = 0;
  std::vector<std::pair<int, std::uint64_t>> coefficients;  // ascending variable id
  bool operator==(const ConstraintRecord& other) const {
    return hard == other.hard && rhs == other.rhs && coefficients == other.coefficients;
  }
};
using ConstraintRecords = std::map<Key, ConstraintRecord>;

inline ConstraintRecords ConstraintsOf(const ZRMLSQSolver& solver) {
  const ConstraintStore& store = StateOf(solver).mStore;
  ConstraintRecords records;
  for (int row = 0; row < store.Size(); ++row) {
    const ConstraintStore::Row& stored = store.RowAt(row);
    ConstraintRecord& record = records[{stored.key.first, stored.key.second}];
    record.hard = stored.hard;
    record.rhs = Bits(store.Rhs(row));
    for (int e = 0; e < stored.count; ++e)
      record.coefficients.emplace_back(store.Pool()[stored.first + e].first,
                                       Bits(store.Pool()[stored.first + e].second));
  }
  return records;
}

// The last results as (variable id, bits), ascending id; empty when there are none.
inline std::vector<std::pair<int, std::uint64_t>> ResultBits(const ZRMLSQSolver& solver) {
  const LSQSolverState& state = StateOf(solver);
  std::vector<std::pair<int, std::uint64_t>> results;
  if (state.mHasResults)
    state.mResultIndex.ForEachAscending([&](int id, int variable) {
      results.emplace_back(id, Bits(state.mResults[static_cast<std::size_t>(variable)]));
    });
  return results;
}

// The variable ids of the last Factor's columns: the free ones, then the eliminated ones by step.
inline std::vector<int> ColumnVariables(const ZRMLSQSolver& solver) {
  const LSQSolverState& state = StateOf(solver);
  std::vector<int> ids;
  if (state.mStage >= FactorStage::kColumns)
    for (const int variable : state.mReduction.VariableOfColumn()) ids.push_back(state.mNumbering.IdOf(variable));
  return ids;
}

// FNV-1a over 64-bit words.
class Hash {
public:
  void Add(std::uint64_t word) {
    for (int byte = 0; byte < 8; ++byte) mValue = (mValue ^ ((word >> (8 * byte)) & 0xFF)) * 0x100000001B3ull;
  }
  void Add(int value) { Add(static_cast<std::uint64_t>(static_cast<std::int64_t>(value))); }
  void Add(double value) { Add(Bits(value)); }
  template <class T>
  void Add(const std::vector<T>& values) {
    Add(static_cast<int>(values.size()));
    for (const T& value : values) Add(value);
  }
  void Add(const Key& key) {
    Add(key.first);
    Add(key.second);
  }
  void Add(const CompressedRows& rows) {
    Add(rows.RowCount());
    for (int row = 0; row < rows.RowCount(); ++row) {
      Add(rows.End(row));
      for (int e = rows.Begin(row); e < rows.End(row); ++e) {
        Add(rows.mIndex[static_cast<std::size_t>(e)]);
        Add(rows.mValue[static_cast<std::size_t>(e)]);
      }
    }
  }
  std::uint64_t Value() const { return mValue; }

private:
  std::uint64_t mValue = 0xCBF29CE484222325ull;
};

// Everything the last Factor built, as far as it got: the soft rows and pivots, the columns, the
// eliminated, reduced and right-hand-side rows, the factor and its permutation.
inline void AddState(Hash& hash, const ZRMLSQSolver& solver) {
  const LSQSolverState& state = StateOf(solver);
  hash.Add(static_cast<int>(state.mStage));
  if (state.mStage == FactorStage::kNone) return;
  for (const int row : state.mNumbering.SoftRows())
    hash.Add(Key(state.mStore.RowAt(row).key.first, state.mStore.RowAt(row).key.second));
  hash.Add(state.mElimination.StepCount());
  for (int k = 0; k < state.mElimination.StepCount(); ++k) {  // the pivot rows by step
    const int row = state.mNumbering.HardRows()[static_cast<std::size_t>(state.mElimination.HardRowOfStep(k))];
    hash.Add(Key(state.mStore.RowAt(row).key.first, state.mStore.RowAt(row).key.second));
  }
  if (state.mStage == FactorStage::kNumbered) return;
  hash.Add(ColumnVariables(solver));
  if (state.mStage == FactorStage::kColumns) return;
  hash.Add(state.mReduction.EliminatedRows());
  hash.Add(state.mReduction.HardRhs());
  hash.Add(state.mReduction.ReducedRows());
  if (state.mStage == FactorStage::kReduced) return;
  const LowerFactor& factor = state.mFactor;
  hash.Add(factor.mDiagonal);
  for (int j = 0; j < factor.Size(); ++j) {
    const std::size_t end = static_cast<std::size_t>(factor.mStart[static_cast<std::size_t>(j) + 1]);
    hash.Add(static_cast<int>(end));
    for (std::size_t e = static_cast<std::size_t>(factor.mStart[static_cast<std::size_t>(j)]); e < end; ++e) {
      hash.Add(factor.mRow[e]);
      hash.Add(factor.mValue[e]);
    }
  }
  hash.Add(state.mPermutation);
}

inline std::uint64_t StateHash(const ZRMLSQSolver& solver) {
  Hash hash;
  AddState(hash, solver);
  return hash.Value();
}

}  // namespace zrmtest

#endif
