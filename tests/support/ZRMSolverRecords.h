// Read access to a solver's state for its tests and fuzzers: the registered constraints by key,
// the last results, the columns of the last Factor, and a hash of every bit it built.
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

// A registered constraint bit for bit: hard, rhs, then (variable id, coefficient) ascending.
inline std::vector<std::uint64_t> Record(bool hard, double rhs, const Entries& coefficients) {
  std::vector<std::uint64_t> record{hard ? 1u : 0u, Bits(rhs)};
  for (const auto& entry : coefficients)
    record.insert(record.end(), {static_cast<std::uint64_t>(entry.first), Bits(entry.second)});
  return record;
}

// The registered constraints by key.
using ConstraintRecords = std::map<Key, std::vector<std::uint64_t>>;

inline ConstraintRecords ConstraintsOf(const ZRMLSQSolver& solver) {
  const ConstraintStore& store = StateOf(solver).mStore;
  ConstraintRecords records;
  for (int row = 0; row < store.Size(); ++row) {
    const ConstraintStore::Row& stored = store.RowAt(row);
    const Entries entries(store.Pool() + stored.first, store.Pool() + stored.first + stored.count);
    records[{stored.key.first, stored.key.second}] = Record(stored.hard, store.Rhs(row), entries);
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
  template <class A, class B>
  void Add(const std::pair<A, B>& pair) {
    Add(pair.first);
    Add(pair.second);
  }
  template <class T>
  void Add(const std::vector<T>& values) {
    Add(static_cast<int>(values.size()));
    for (const T& value : values) Add(value);
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

// Everything the last Factor built, as far as it got: the soft rows and pivot rows (keys), the
// columns, the eliminated, reduced and right-hand-side rows, the factor and its permutation.
inline std::uint64_t StateHash(const ZRMLSQSolver& solver) {
  const LSQSolverState& state = StateOf(solver);
  Hash hash;
  hash.Add(static_cast<int>(state.mStage));
  if (state.mStage == FactorStage::kNone) return hash.Value();
  const auto addKey = [&](int row) {
    hash.Add(Key(state.mStore.RowAt(row).key.first, state.mStore.RowAt(row).key.second));
  };
  for (const int row : state.mNumbering.SoftRows()) addKey(row);
  hash.Add(state.mElimination.StepCount());
  for (int k = 0; k < state.mElimination.StepCount(); ++k)
    addKey(state.mNumbering.HardRows()[static_cast<std::size_t>(state.mElimination.HardRowOfStep(k))]);
  if (state.mStage == FactorStage::kNumbered) return hash.Value();
  hash.Add(ColumnVariables(solver));
  if (state.mStage == FactorStage::kColumns) return hash.Value();
  hash.Add(state.mReduction.EliminatedRows());
  hash.Add(state.mReduction.HardRhs());
  hash.Add(state.mReduction.ReducedRows());
  if (state.mStage == FactorStage::kReduced) return hash.Value();
  const LowerFactor& factor = state.mFactor;
  const int used = factor.mStart[static_cast<std::size_t>(factor.Size())];
  hash.Add(factor.mDiagonal);
  hash.Add(std::vector<int>(factor.mStart.begin(), factor.mStart.begin() + factor.Size() + 1));
  hash.Add(std::vector<int>(factor.mRow.begin(), factor.mRow.begin() + used));
  hash.Add(std::vector<double>(factor.mValue.begin(), factor.mValue.begin() + used));
  hash.Add(state.mPermutation);
  return hash.Value();
}

}  // namespace zrmtest

#endif
