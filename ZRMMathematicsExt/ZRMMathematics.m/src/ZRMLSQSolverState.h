// Internal: the private state record of ZRMLSQSolver and the record types it keeps.
//
// Header-only plain data over the container templates; shared by the solver's implementation
// files and the solver's unit tests (through ZRMLSQSolverStateAccess.h).
#ifndef ZRMLSQSolverState_h
#define ZRMLSQSolverState_h

#include "ZRMConstraintLog.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"
#include "ZRMUtPair.h"
#include "ZRMUtVector.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

// Key of a registered constraint: (id, -1) for a named one, (0, count) for an unnamed one.
// Ordered lexicographically, first field first.
using ConstraintKey = ZRMUtPair<int, int>;

// One registered constraint row: sum(mCoefficients[v] * x[v]) = mRhs.
struct ConstraintRecord {
  bool mIsHard = false;                                  // met exactly when true; least squares when false
  ZRMUtMap<int, double, ZRMUtLess<int>> mCoefficients;   // variable id -> coefficient
  double mRhs = 0.0;                                     // right-hand side
};

// Sparse row or column: (index, value) entries.
using SparseVector = ZRMUtVector<ZRMUtPair<int, double>>;

// L with L * L^T = (permuted) input matrix; the empty record stands for a failed factorization.
struct CholeskyFactor {
  ZRMUtVector<SparseVector> mRows;     // row i: (j, L[i][j]) for structural j < i, ascending j
  ZRMUtVector<SparseVector> mColumns;  // column j: (i, L[i][j]) for i > j, ascending i
  ZRMUtVector<double> mDiagonal;       // L[i][i]
  ZRMUtVector<int> mPermutation;       // ordering used; the identity
};

// Our choice, wherever ids are looked up: ids spread over a range of at most 4 * count + 1024
// values (count the number of ids) go into a table indexed by id; wider ranges are searched.
inline bool FitsIdTable(long long range, std::size_t count) {
  return range <= 4 * static_cast<long long>(count) + 1024;
}

// A named constraint as SetRhs sees it: its record and its row in the log.
struct NamedConstraint {
  ConstraintRecord* record = nullptr;
  int logged = -1;
};

// The named constraints by id: what SetRhs and AddConstraint look up instead of descending
// mConstraints, with the row index each got in the last numbering (none before the first).
// Our choice: ids from 0 to a bound that grows with the number of entries sit in a table, other
// ids in a hash map; the table keeps the row indices in an array of their own, which is all
// that SetRhs reads while re-solving. The record pointers stay valid because the tree never
// moves an item and no constraint is ever removed.
class NamedConstraintIndex {
public:
  // The row index of the constraint named id when the table holds it and it has one, else
  // negative.
  int RowInTable(int id) const {
    // A negative id becomes 2^31 or more: beyond any table, which holds ids 0 .. INT_MAX at most.
    const auto index = static_cast<std::size_t>(static_cast<unsigned>(id));
    return index < mTableRow.size() ? mTableRow[index] : kAbsent;
  }
  // The constraint named id, or null when there is none.
  NamedConstraint* Find(int id) {
    if (InTable(id)) return &mTable[static_cast<std::size_t>(id)];
    if (mOthers.empty()) return nullptr;
    const auto found = mOthers.find(id);
    return found != mOthers.end() ? &found->second.named : nullptr;
  }
  // The row index of the constraint named id (present), to read or set.
  int& Row(int id) { return InTable(id) ? mTableRow[static_cast<std::size_t>(id)] : mOthers.find(id)->second.row; }
  // Enters the record of a newly registered constraint named id (absent so far), without a row.
  // Pointers to entries found or added before are invalidated.
  NamedConstraint& Add(int id, ConstraintRecord* record) {
    ++mCount;
    if ((mCount & (mCount - 1)) == 0) TakeCoveredIds();  // the table's bound has doubled
    NamedConstraint& added = Covers(id) ? TableEntry(id) : mOthers[id].named;
    added.record = record;
    return added;
  }
  // Removes the entry of id (present).
  void Remove(int id) noexcept {
    --mCount;
    if (InTable(id)) {
      mTable[static_cast<std::size_t>(id)] = NamedConstraint();
      mTableRow[static_cast<std::size_t>(id)] = kAbsent;
    } else {
      mOthers.erase(id);
    }
  }
  // Calls visit(named, row) for every named constraint (in no particular order).
  template <class Visit>
  void ForEach(Visit visit) {
    for (std::size_t id = 0; id < mTable.size(); ++id)
      if (mTable[id].record != nullptr) visit(mTable[id], mTableRow[id]);
    for (auto& other : mOthers) visit(other.second.named, other.second.row);
  }

private:
  static constexpr int kNoRow = -1;    // a constraint not numbered yet
  static constexpr int kAbsent = -2;   // no constraint

  struct Other {
    NamedConstraint named;
    int row = kNoRow;
  };

  bool InTable(int id) const { return RowInTable(id) != kAbsent; }
  bool Covers(int id) const { return id >= 0 && FitsIdTable(static_cast<long long>(id) + 1, mCount); }
  // The table's entry of id, made present (its row kNoRow unless it has one).
  NamedConstraint& TableEntry(int id) {
    if (id >= static_cast<int>(mTable.size())) {
      mTableRow.resize(static_cast<std::size_t>(id) + 1, kAbsent);  // first: a failure leaves both usable
      mTable.resize(static_cast<std::size_t>(id) + 1);
    }
    int& row = mTableRow[static_cast<std::size_t>(id)];
    if (row == kAbsent) row = kNoRow;
    return mTable[static_cast<std::size_t>(id)];
  }
  // Moves the entries whose ids the table now covers from the hash map into the table, so that
  // ids registered out of order (large ones first) end up in the table too.
  void TakeCoveredIds() {
    for (auto other = mOthers.begin(); other != mOthers.end();) {
      if (!Covers(other->first)) {
        ++other;
        continue;
      }
      TableEntry(other->first) = other->second.named;
      mTableRow[static_cast<std::size_t>(other->first)] = other->second.row;
      other = mOthers.erase(other);
    }
  }

  std::size_t mCount = 0;                 // entries made
  std::vector<NamedConstraint> mTable;    // by id; no record where no constraint
  std::vector<int> mTableRow;             // by id: row index, kNoRow or kAbsent (at least as long)
  std::unordered_map<int, Other> mOthers;  // ids outside the table
};

// The values of the last Solve by variable id: what GetResult reads. Our choice: ids in a range
// not much wider than their number are found through a table, others by binary search.
class ResultTable {
public:
  // Makes the keys the variables of columnVariables (column -> variable id, distinct) and every
  // value 0.0; Values() then takes the values by column.
  void SetKeys(const ZRMUtVector<int>& columnVariables) {
    mVariable.assign(columnVariables.Size(), 0);
    for (int column = 0; column < columnVariables.Size(); ++column) mVariable[column] = columnVariables[column];
    mValues.assign(mVariable.size(), 0.0);
    mColumnOfId.clear();
    mById.clear();
    if (mVariable.empty()) return;
    const auto [lowest, highest] = std::minmax_element(mVariable.begin(), mVariable.end());
    mLowest = *lowest;
    const long long width = static_cast<long long>(*highest) - *lowest + 1;
    if (FitsIdTable(width, mVariable.size())) {
      mColumnOfId.assign(static_cast<std::size_t>(width), -1);
      for (std::size_t column = 0; column < mVariable.size(); ++column)
        mColumnOfId[static_cast<std::size_t>(mVariable[column] - mLowest)] = static_cast<int>(column);
    } else {
      for (std::size_t column = 0; column < mVariable.size(); ++column)
        mById.emplace_back(mVariable[column], static_cast<int>(column));
      std::sort(mById.begin(), mById.end());
    }
  }
  // No keys, no values.
  void Clear() {
    mVariable.clear();
    mValues.clear();
    mColumnOfId.clear();
    mById.clear();
  }
  // Column -> value.
  std::vector<double>& Values() { return mValues; }
  // The value of variable id, or null when it has none.
  const double* Find(int id) const {
    int column = -1;
    if (!mColumnOfId.empty()) {
      const long long offset = static_cast<long long>(id) - mLowest;
      if (offset >= 0 && offset < static_cast<long long>(mColumnOfId.size())) column = mColumnOfId[offset];
    } else {
      const auto found = std::lower_bound(mById.begin(), mById.end(), std::make_pair(id, -1));
      if (found != mById.end() && found->first == id) column = found->second;
    }
    return column < 0 ? nullptr : &mValues[static_cast<std::size_t>(column)];
  }
  // result := the values by id.
  void Show(ZRMUtMap<int, double, ZRMUtLess<int>>& result) const {
    std::vector<std::pair<int, double>> byId;
    for (std::size_t column = 0; column < mVariable.size(); ++column) byId.emplace_back(mVariable[column], mValues[column]);
    std::sort(byId.begin(), byId.end());
    result.Clear();
    for (const auto& value : byId) result.InsertOrGetAtEnd(value.first) = value.second;
  }

private:
  std::vector<int> mVariable;               // column -> variable id
  std::vector<double> mValues;              // column -> value
  int mLowest = 0;                          // lowest id, when the table is used
  std::vector<int> mColumnOfId;             // id - mLowest -> column, or -1; empty unless used
  std::vector<std::pair<int, int>> mById;   // (id, column), ascending id, when searching
};

class LSQFactorization;

// Solve's working arrays, kept between calls so that a repeated Solve allocates nothing.
struct SolveWorkspace {
  std::vector<double> mAdjustedRhs;  // row index -> right-hand side with the hard rows' parts
  std::vector<double> mValues;       // column -> A^T b, then its value
};

// Everything a solver knows: its constraints, its factorization and its last results.
struct LSQSolverState {
  ZRMUtMap<ConstraintKey, ConstraintRecord> mConstraints;  // every registered constraint, key order
  ZRMUtMap<int, double, ZRMUtLess<int>> mResult;           // variable id -> solved value
  int mSoftRowCount = 0;                                   // number of soft constraints
  ZRMUtVector<int> mColumnVariables;        // column -> variable id: free ones, then eliminated ones by step
  ZRMUtMap<ConstraintKey, int> mRowIndex;   // soft: row 0..nsoft-1; hard: nsoft + elimination step
  ZRMUtVector<SparseVector> mEliminatedRows;       // step k: eliminated variable over free columns
  ZRMUtVector<SparseVector> mHardRhsCoefficients;  // step k: (target, coefficient) of its pivot's rhs
  ZRMUtVector<SparseVector> mSoftRows;             // soft row r over columns, ascending column
  CholeskyFactor mFactor;                          // factor of the normal matrix of mSoftRows
  bool mShownBehind = false;  // mSoftRows, mHardRhsCoefficients and mFactor do not show the last
                              // Factor yet
  bool mFactorCurrent = false;  // the fields above form a usable factorization of mConstraints
  // Accelerators, derived from the fields above and invisible in every result:
  NamedConstraintIndex mNamed;   // id -> the constraint (id, -1)
  ZRMConstraintLog mLog;         // every registered constraint, flat; same flags, entries, rhs
  std::vector<std::pair<ConstraintKey, int>> mRowNumbering;  // what mRowIndex holds after the
                                                             // last Factor, in key order
  std::uint64_t mRowNumberingVersion = ~std::uint64_t{0};    // mLog.Version() it was recorded at
  bool mRowIndexBehind = false;  // mRowIndex does not show mRowNumbering yet
  std::vector<double> mRowRhs;   // row index -> right-hand side of its constraint; set by
                                 // Factor, kept by SetRhs while mFactorCurrent
  bool mRowRhsAhead = false;     // SetRhs changed mRowRhs since the records were last up to date
  std::unique_ptr<LSQFactorization> mFactorization;  // Factor's working storage, kept between calls
  SolveWorkspace mSolveWorkspace;
  ResultTable mResults;        // what mResult shows (see ShowStoredFields)
  bool mResultKeysCurrent = false;  // mResults has the keys of the current factorization
  bool mResultShownBehind = false;  // mResult does not show mResults yet
};

// Our choice: while the factorization is current, SetRhs writes a named constraint's new
// right-hand side into mRowRhs only (the record lies somewhere in the tree, the log row
// elsewhere; the rows lie together). The records' mRhs and the log are brought up to date here,
// when the factorization stops being current and before the state is inspected.
inline void WriteBackRowRhs(LSQSolverState& state) {
  if (!state.mFactorCurrent || !state.mRowRhsAhead) return;  // the records are up to date
  state.mNamed.ForEach([&state](NamedConstraint& named, int row) {
    const double rhs = state.mRowRhs[row];
    named.record->mRhs = rhs;
    state.mLog.SetRhs(named.logged, rhs);
  });
  state.mRowRhsAhead = false;
}

// Our choice: no step of the solver reads mRowIndex (SetRhs finds rows through mNamed), so
// Factor records the numbering flat, in key order (mRowNumbering), and the map is brought up to
// date here, before the state is inspected: building a node per row is most of a first Factor
// on large systems otherwise. A map already holding the same keys only has its values rewritten.
inline void UpdateRowIndex(LSQSolverState& state) {
  if (!state.mRowIndexBehind) return;
  const auto& numbering = state.mRowNumbering;
  bool sameKeys = static_cast<std::size_t>(state.mRowIndex.Size()) == numbering.size();
  if (sameKeys) {
    std::size_t n = 0;
    state.mRowIndex.ForEach([&](ZRMUtPair<ConstraintKey, int>& entry) {
      sameKeys = sameKeys && entry.first == numbering[n].first;
      entry.second = numbering[n++].second;
    });
  }
  if (!sameKeys) {
    state.mRowIndex.Clear();
    for (const auto& row : numbering) state.mRowIndex.InsertOrGetAtEnd(row.first) = row.second;
  }
  state.mRowIndexBehind = false;
}

// Our choice: Factor keeps the reduced soft rows, the hard right-hand sides' coefficients and
// the factor in compressed form (rows and columns of plain arrays, in mFactorization), which is
// what Solve reads, and Solve keeps its values in mResults, which is what GetResult reads;
// mSoftRows, mHardRhsCoefficients, mFactor and mResult are filled from them here, before the
// state is inspected. A heap block for every row of the soft rows and for every row and column
// of L would be most of the time of Factor on long chains, and twice the memory of the factor;
// a tree node for every value most of a repeated Solve.
ZRMMATH_API void ShowStoredFields(LSQSolverState& state);

// Ends the current factorization (if any): the records take their right-hand sides back.
inline void EndFactorization(LSQSolverState& state) {
  WriteBackRowRhs(state);
  state.mFactorCurrent = false;
}

#endif
