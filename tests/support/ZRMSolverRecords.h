// Read access to a solver's state for its tests and fuzzers: the registered constraints by key,
// the last results and the columns of the last Factor.
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

}  // namespace zrmtest

#endif
