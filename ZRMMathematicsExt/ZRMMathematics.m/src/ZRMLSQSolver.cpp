// ZRMLSQSolver: registration, elimination of the hard rows, normal equations, solution.
#include "ZRMLSQSolver.h"

#include "ZRMCheck.h"
#include "ZRMLSQSolverState.h"
#include "ZRMSparseCholesky.h"
#include "ZRMUtTolerance.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr const char* kReportedPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";
constexpr int kNoConstraintLine = 340;
constexpr int kWrongVariableLine = 651;

using Entry = std::pair<int, double>;  // (index, value) of a local working list
using EntryList = std::vector<Entry>;  // ascending index unless said otherwise

// Score of a pivot candidate with coefficient a in a row of m entries; favours short rows.
double PivotScore(double a, std::size_t m) { return std::fabs(a) / (static_cast<double>(m) - 0.9); }

// target := target (without the entry of index skip) combined with scale * other, both
// ascending; combine(old, product) gives the new value of a shared index, combine(0.0, product)
// that of an index only other has, for which onNew(index) is called too. Our choice: a result
// that fits target's storage is copied back into it, so that lists keep their storage (and their
// place in memory) from one factorization to the next; a list that grows takes the scratch
// storage instead (no copy: chains of hard rows grow their lists at every step).
template <class Combine, class OnNew>
void MergeScaled(EntryList& target, int skip, const EntryList& other, double scale, Combine combine, OnNew onNew,
                 EntryList& scratch) {
  scratch.clear();
  scratch.reserve(target.size() + other.size());
  auto mine = target.begin();
  for (const Entry& entry : other) {
    for (; mine != target.end() && mine->first < entry.first; ++mine)
      if (mine->first != skip) scratch.push_back(*mine);
    if (mine != target.end() && mine->first == entry.first) {
      scratch.emplace_back(entry.first, combine(mine->second, scale * entry.second));
      ++mine;
    } else {
      scratch.emplace_back(entry.first, combine(0.0, scale * entry.second));
      onNew(entry.first);
    }
  }
  for (; mine != target.end(); ++mine)
    if (mine->first != skip) scratch.push_back(*mine);
  if (target.capacity() >= scratch.size())
    target.assign(scratch.begin(), scratch.end());
  else
    target.swap(scratch);
}

double Add(double a, double b) { return a + b; }
double Subtract(double a, double b) { return a - b; }

// Value stored under index in an ascending list (which holds it).
double ValueAt(const EntryList& list, int index) {
  return std::lower_bound(list.begin(), list.end(), Entry(index, 0.0),
                          [](const Entry& a, const Entry& b) { return a.first < b.first; })
      ->second;
}

// Lists of numbers by key, all in one array (a key's list is a chain through it). Add puts a
// number in front, so a list is walked newest first. Adding to other keys during a walk is safe.
class IndexLists {
public:
  // Makes keys empty lists (the storage is kept).
  void Reset(std::size_t keys) {
    AssignWithRoom(mHead, keys, -1);
    mNodes.clear();
  }
  void Add(int key, int number) {
    mNodes.push_back({number, mHead[static_cast<std::size_t>(key)]});
    mHead[static_cast<std::size_t>(key)] = static_cast<int>(mNodes.size()) - 1;
  }
  void Clear(int key) { mHead[static_cast<std::size_t>(key)] = -1; }
  template <class Visit>
  void ForEach(int key, Visit visit) {
    for (int node = mHead[static_cast<std::size_t>(key)]; node >= 0; node = mNodes[static_cast<std::size_t>(node)].next)
      visit(mNodes[static_cast<std::size_t>(node)].number);
  }

private:
  struct Node {
    int number;
    int next;  // the next node of the same list, or -1
  };
  std::vector<int> mHead;  // key -> its first node, or -1
  std::vector<Node> mNodes;
};

}  // namespace

// Factor's work: the constraints as local lists over dense variable numbers (ascending id),
// the elimination of the hard rows and the reduced soft rows, written into the state. Our
// choice: the state keeps this object between Factor calls, so that its working arrays keep
// their storage (a new factorization of a similar problem allocates, and pages in, almost
// nothing); each Run starts from emptied arrays, so no result depends on an earlier call.
class LSQFactorization {
public:
  // Rebuilds every factorization field of state from its constraints; true when the factor is
  // usable.
  bool Run(LSQSolverState& state) {
    mState = &state;
    state.mShownBehind = true;
    Lists lists(state);
    mLists = &lists;
    ResetWorkspace();
    const bool factored = Steps();
    mLists = nullptr;
    return factored;
  }

  // The reduced soft rows of the last Run by column (none when it stopped before factoring).
  const CompressedRows& ReducedColumns() const { return mReducedColumns; }
  // The factor of the last Run that got as far as factoring (the empty factor when that
  // failed, or before any).
  const CompressedFactor& Factor() const { return mFactor; }

  // Where the pivots' right-hand sides go, by elimination step (mHardRhsCoefficients of the
  // state), from the last Run (none when it stopped before building them).
  const CompressedRows& HardRhs() const { return mHardRhs; }

  // Fills the state's mSoftRows, mHardRhsCoefficients and mFactor from the compressed forms.
  void Show(LSQSolverState& state) const {
    ShowRows(mReducedRows, state.mSoftRows);
    ShowRows(mHardRhs, state.mHardRhsCoefficients);
    StoreFactor(mFactor, state.mFactor);
  }

private:
  // list := the rows of rows, one sparse vector each.
  static void ShowRows(const CompressedRows& rows, ZRMUtVector<SparseVector>& list) {
    SparseVectorListRebuild rebuild(list);
    rebuild.Reserve(rows.RowCount());
    for (int r = 0; r < rows.RowCount(); ++r) {
      SparseVector& row = rebuild.Append(rows.mStart[r + 1] - rows.mStart[r]);
      for (int e = rows.mStart[r]; e < rows.mStart[r + 1]; ++e) row.PushBack(ZRMUtMakePair(rows.mIndex[e], rows.mValue[e]));
    }
  }

  // The state's lists of sparse vectors, rebuilt in place during one Run.
  struct Lists {
    explicit Lists(LSQSolverState& state)
        : mEliminatedRows(state.mEliminatedRows) {}
    SparseVectorListRebuild mEliminatedRows;
  };

  bool Steps() {
    ResetFields();
    CollectConstraints();
    NumberSoftRows();
    CollectHardRows();
    const bool eliminated = Eliminate();
    NumberPivotRows();
    StoreRowIndex();
    if (!eliminated) return false;
    GatherSubstitutions();
    if (!mEliminatedByStep.empty()) {
      NumberColumns();
      if (!BuildEliminatedRows()) return false;
    }
    BuildSoftRows();
    BuildHardRhsCoefficients();
    BuildNormalMatrix();
    return FactorLowerTriangle(mNormal, mFactor, mCholesky);
  }

  // Empties the working arrays, keeping their storage (the lists of lists are emptied where
  // they are sized, by ResetLists).
  void ResetWorkspace() {
    mVariableIds.clear();
    mConstraintCopies.clear();
    mEntryCopies.clear();
    mHardConstraints.clear();
    mScanOrder.clear();
    mStepOfHard.clear();
    mRowCandidate.clear();
    mEliminatedByStep.clear();
    mFreeCount = 0;
    mReducedRows.Clear();
    mReducedColumns.Clear();
    mHardRhs.Clear();
    mNormal.Clear();
  }

  // A constraint as Factor reads it: its entries are (dense variable, coefficient) pairs at
  // mEntries[first .. first + count - 1].
  using LocalConstraint = ZRMConstraintLog::Row;

  ElementRange<const Entry> Coefficients(const LocalConstraint& constraint) const {
    const Entry* first = mEntries + constraint.first;
    return {first, first + constraint.count};
  }
  std::size_t ConstraintCount() const { return static_cast<std::size_t>(mConstraints.Size()); }

  // Empties the derived fields: the lists of sparse vectors are rebuilt in place and hold just
  // what this call appends once it ends; mRowIndex is renewed through StoreRowIndex, mSoftRows,
  // mHardRhsCoefficients and mFactor through Show (the factor keeps its value until a later
  // step replaces it).
  void ResetFields() {
    mState->mColumnVariables.Clear();
    mState->mSoftRowCount = 0;
    mState->mRowRhs.clear();
  }

  // The constraints in key order, with their variables numbered densely by ascending id. Our
  // choice: when the log already holds exactly that (keys registered in ascending order, ids
  // 0..n-1 all used), Factor reads the log's own rows and entries; otherwise local copies.
  void CollectConstraints() {
    const ZRMConstraintLog& log = mState->mLog;
    const bool numbersAreIds = NumberVariables(log);
    if (log.InKeyOrder() && numbersAreIds) {
      mConstraints = {log.Rows().data(), log.Rows().data() + log.Size()};
      mEntries = log.EntryPool();
    } else {
      CopyConstraints();
    }
    MakeRoom(mState->mRowRhs, ConstraintCount());
    const std::size_t variableCount = mVariableIds.size();
    AssignWithRoom(mStepOfVariable, variableCount, -1);
    AssignWithRoom(mColumnOf, variableCount, -1);
  }

  // Ranks the distinct variable ids of the log's constraints (mVariableIds); true when every id
  // is its own rank. Our choice: ids in a range not much wider than their number are ranked
  // through a table, others by sorting.
  bool NumberVariables(const ZRMConstraintLog& log) {
    const int lowest = log.LowestId();
    const int highest = log.HighestId();
    if (log.EntryCount() == 0) return true;
    const long long width = static_cast<long long>(highest) - lowest + 1;
    mNumberedByTable = FitsIdTable(width, log.EntryCount());
    if (!mNumberedByTable) {
      ForEachLoggedEntry(log, [this](const Entry& entry) { mVariableIds.push_back(entry.first); });
      std::sort(mVariableIds.begin(), mVariableIds.end());
      mVariableIds.erase(std::unique(mVariableIds.begin(), mVariableIds.end()), mVariableIds.end());
      return false;  // width > 4 * entries >= the number of ids: some id is not its rank
    }
    mLowestId = lowest;
    std::vector<int>& number = mNumberOfId;
    AssignWithRoom(number, static_cast<std::size_t>(width), -1);
    ForEachLoggedEntry(log, [&](const Entry& entry) { number[entry.first - lowest] = 0; });
    ResizeWithRoom(mVariableIds, static_cast<std::size_t>(width));
    int count = 0;
    for (int offset = 0; offset < width; ++offset) {
      if (number[offset] < 0) continue;
      number[offset] = count;
      mVariableIds[count++] = lowest + offset;
    }
    mVariableIds.resize(static_cast<std::size_t>(count));
    return lowest == 0 && static_cast<long long>(mVariableIds.size()) == width;
  }

  // Calls visit(entry) for every entry of every constraint of the log.
  template <class Visit>
  static void ForEachLoggedEntry(const ZRMConstraintLog& log, Visit visit) {
    for (const ZRMConstraintLog::Row& row : log.Rows())
      for (const Entry* entry = log.Entries(row); entry != log.Entries(row) + row.count; ++entry) visit(*entry);
  }

  // The dense number of a variable id (ranked by NumberVariables).
  int NumberOf(int id) const {
    if (mNumberedByTable) return mNumberOfId[static_cast<std::size_t>(id - mLowestId)];
    return static_cast<int>(std::lower_bound(mVariableIds.begin(), mVariableIds.end(), id) - mVariableIds.begin());
  }

  // Copies of the log's constraints in key order, their entries over the dense numbers.
  void CopyConstraints() {
    ZRMConstraintLog& log = mState->mLog;
    MakeRoom(mConstraintCopies, log.Size());
    MakeRoom(mEntryCopies, log.EntryCount());
    log.ForEachInKeyOrder([this, &log](const ZRMConstraintLog::Row& row) {
      mConstraintCopies.push_back({row.key, row.rhs, row.hard, static_cast<int>(mEntryCopies.size()), row.count});
      for (const Entry* entry = log.Entries(row); entry != log.Entries(row) + row.count; ++entry)
        mEntryCopies.emplace_back(NumberOf(entry->first), entry->second);
    });
    mConstraints = {mConstraintCopies.data(), mConstraintCopies.data() + mConstraintCopies.size()};
    mEntries = mEntryCopies.data();
  }

  // Soft constraints get rows 0..nsoft-1 in key order.
  void NumberSoftRows() {
    for (const LocalConstraint& constraint : mConstraints) {
      if (constraint.hard) continue;
      NumberRow(constraint, mState->mSoftRowCount);
      ++mState->mSoftRowCount;
    }
  }

  // Calls visit(r, constraint) for every soft constraint, r its row, ascending.
  template <class Visit>
  void ForEachSoftConstraint(Visit visit) const {
    int r = 0;
    for (const LocalConstraint& constraint : mConstraints)
      if (!constraint.hard) visit(r++, constraint);
  }

  // Gives a soft constraint the next row index.
  void NumberRow(const LocalConstraint& constraint, int row) {
    mState->mRowRhs.push_back(constraint.rhs);
    NameRow(constraint, row);
  }

  // Tells a named constraint its row index.
  void NameRow(const LocalConstraint& constraint, int row) {
    if (constraint.key.second == -1) mState->mNamed.Row(constraint.key.first) = row;
  }

  // Gives each hard row that became a pivot the row index nsoft + its step. Our choice: done
  // once elimination ends, walking the hard rows in key order (the pivots are taken in no
  // order related to where their constraints lie).
  void NumberPivotRows() {
    const int softCount = mState->mSoftRowCount;
    mState->mRowRhs.resize(static_cast<std::size_t>(softCount) + mEliminatedByStep.size());
    for (std::size_t hard = 0; hard < mHardConstraints.size(); ++hard) {
      if (mStepOfHard[hard] < 0) continue;
      const int row = softCount + mStepOfHard[hard];
      mState->mRowRhs[static_cast<std::size_t>(row)] = mHardConstraints[hard]->rhs;
      NameRow(*mHardConstraints[hard], row);
    }
  }

  // Records the row index of every numbered constraint (soft rows in key order, then the hard
  // rows that became pivots, by step), in key order, for mRowIndex (see UpdateRowIndex). When no
  // constraint changed since the numbering was last recorded whole, it is recorded already:
  // numbering is deterministic.
  void StoreRowIndex() {
    const std::uint64_t version = mState->mLog.Version();
    if (mState->mRowNumberingVersion == version) return;
    mState->mRowNumberingVersion = ~std::uint64_t{0};  // being rewritten
    std::vector<std::pair<ConstraintKey, int>>& numbering = mState->mRowNumbering;
    numbering.clear();
    MakeRoom(numbering, ConstraintCount());
    int soft = 0;
    int hard = 0;
    for (const LocalConstraint& constraint : mConstraints) {
      if (!constraint.hard)
        numbering.emplace_back(constraint.key, soft++);
      else if (mStepOfHard[hard++] >= 0)
        numbering.emplace_back(constraint.key, mState->mSoftRowCount + mStepOfHard[hard - 1]);
    }
    mState->mRowIndexBehind = true;
    mState->mRowNumberingVersion = version;
  }

  // Hard rows in key order, each with right-hand side {own: 1.0}; all in the scan order. The
  // lists by variable that elimination uses are made empty (left as they are without hard rows:
  // nothing reads them then).
  void CollectHardRows() {
    const std::size_t hardCount = ConstraintCount() - static_cast<std::size_t>(mState->mSoftRowCount);
    if (hardCount == 0) return;
    const std::size_t variableCount = mVariableIds.size();
    mRowsHolding.Reset(variableCount);
    ResetLists(mSubstitutions, hardCount);
    ResetLists(mSubstitutionRhs, hardCount);
    mSubstitutionsHolding.Reset(variableCount);
    ResetLists(mHardRows, hardCount);
    ResetLists(mHardRowRhs, hardCount);
    for (const LocalConstraint& constraint : mConstraints) {
      if (!constraint.hard) continue;
      const int hard = static_cast<int>(mHardConstraints.size());
      mHardConstraints.push_back(&constraint);
      const auto coefficients = Coefficients(constraint);
      mHardRows[hard].assign(coefficients.begin(), coefficients.end());
      mHardRowRhs[hard].emplace_back(hard, 1.0);
      mScanOrder.push_back(hard);
      mStepOfHard.push_back(-1);
      mRowCandidate.emplace_back();
      UpdateCandidate(hard);
      for (const Entry& entry : coefficients) mRowsHolding.Add(entry.first, hard);
    }
  }

  // The first entry with the highest score of a hard row (score 0.0 and entry -1 when none
  // scores above 0.0).
  void UpdateCandidate(int hard) {
    const EntryList& row = mHardRows[hard];
    Entry candidate(-1, 0.0);
    for (int e = 0; e < static_cast<int>(row.size()); ++e) {
      const double score = PivotScore(row[e].second, row.size());
      if (score > candidate.second) candidate = Entry(e, score);
    }
    mRowCandidate[hard] = candidate;
  }

  // Gauss-Jordan elimination of one variable per hard row; false when no usable pivot is left.
  bool Eliminate() {
    const double tolerance = ZRMUtTolerance().AbsoluteTol();
    for (int step = 0; !mScanOrder.empty(); ++step) {
      int position = -1;
      int entry = -1;
      const double best = FindPivot(position, entry);
      if (tolerance > best) return false;
      const int variable = TakePivot(position, entry, step);
      SubstituteIntoHardRows(variable);
      SubstituteIntoEliminated(variable);
    }
    return true;
  }

  // Scans the hard rows in their current order for the entry of highest score, stopping at a
  // new best above 0.5 in a row of fewer than 3 entries; ties keep the earlier entry. Returns
  // the best score (0.0 when nothing scores above it).
  double FindPivot(int& position, int& entry) const {
    double best = 0.0;
    for (int p = 0; p < static_cast<int>(mScanOrder.size()); ++p) {
      const int hard = mScanOrder[p];
      const EntryList& row = mHardRows[hard];
      if (row.size() >= 3) {
        if (mRowCandidate[hard].second > best) {
          best = mRowCandidate[hard].second;
          position = p;
          entry = mRowCandidate[hard].first;
        }
        continue;
      }
      for (int e = 0; e < static_cast<int>(row.size()); ++e) {
        const double score = PivotScore(row[e].second, row.size());
        if (!(score > best)) continue;
        best = score;
        position = p;
        entry = e;
        if (score > 0.5) return best;
      }
    }
    return best;
  }

  // Makes the pivot's variable the eliminated variable of this step, expressed through the
  // other variables of its row, and removes the pivot row. Returns the variable.
  int TakePivot(int position, int entry, int step) {
    const int hard = mScanOrder[position];
    const EntryList& row = mHardRows[hard];
    const int variable = row[entry].first;
    mStepOfVariable[variable] = step;
    mEliminatedByStep.push_back(variable);
    mStepOfHard[hard] = step;
    std::swap(mScanOrder[position], mScanOrder.back());
    mScanOrder.pop_back();

    const double f = -1.0 / row[entry].second;
    EntryList& substitution = mSubstitutions[step];
    for (const Entry& other : row) {
      if (other.first == variable) continue;
      substitution.emplace_back(other.first, f * other.second);
      mSubstitutionsHolding.Add(other.first, step);
    }
    EntryList& substitutionRhs = mSubstitutionRhs[step];
    substitutionRhs.swap(mHardRowRhs[hard]);  // substitutionRhs was empty
    for (Entry& term : substitutionRhs) term.second = -(f * term.second);
    mHardRows[hard].clear();
    return variable;
  }

  // Replaces the eliminated variable in every remaining hard row by its substitution.
  void SubstituteIntoHardRows(int variable) {
    const int step = mStepOfVariable[variable];
    mRowsHolding.ForEach(variable, [&](int hard) {  // each row on its own: the order is free
      if (mStepOfHard[hard] >= 0) return;           // already a pivot row
      EntryList& row = mHardRows[hard];
      const double c = ValueAt(row, variable);
      MergeScaled(row, variable, mSubstitutions[step], c, Add, [&](int added) { mRowsHolding.Add(added, hard); },
                  mScratch);
      MergeScaled(mHardRowRhs[hard], -1, mSubstitutionRhs[step], c, Subtract, [](int) {}, mScratch);
      UpdateCandidate(hard);
    });
    mRowsHolding.Clear(variable);  // no row holds it any more
  }

  // Replaces the eliminated variable in the substitutions of the variables eliminated before.
  void SubstituteIntoEliminated(int variable) {
    const int step = mStepOfVariable[variable];
    mSubstitutionsHolding.ForEach(variable, [&](int earlier) {  // each on its own: the order is free
      EntryList& substitution = mSubstitutions[earlier];
      const double c = ValueAt(substitution, variable);
      MergeScaled(substitution, variable, mSubstitutions[step], c, Add,
                  [&](int added) { mSubstitutionsHolding.Add(added, earlier); }, mScratch);
      MergeScaled(mSubstitutionRhs[earlier], -1, mSubstitutionRhs[step], c, Add, [](int) {}, mScratch);
    });
    mSubstitutionsHolding.Clear(variable);  // no substitution holds it any more
  }

  // The final substitutions, side by side in elimination order (mSubstitutions and
  // mSubstitutionRhs lie in a heap block per step; the steps below read them repeatedly).
  void GatherSubstitutions() {
    const auto gather = [this](const std::vector<EntryList>& lists, FlatLists& flat) {
      flat.mStart.assign(1, 0);
      flat.mEntries.clear();
      for (std::size_t step = 0; step < mEliminatedByStep.size(); ++step) {
        flat.mEntries.insert(flat.mEntries.end(), lists[step].begin(), lists[step].end());
        flat.mStart.push_back(static_cast<int>(flat.mEntries.size()));
      }
    };
    gather(mSubstitutions, mGatheredSubstitutions);
    gather(mSubstitutionRhs, mGatheredSubstitutionRhs);
  }

  // The substitution (free variable, coefficient) of the variable eliminated at step, and the
  // (hard row, coefficient) terms of its constant part.
  ElementRange<const Entry> SubstitutionOfStep(int step) const { return mGatheredSubstitutions.Row(step); }
  ElementRange<const Entry> SubstitutionRhsOfStep(int step) const { return mGatheredSubstitutionRhs.Row(step); }

  // Free variables get columns by first appearance in the soft rows (key order, ascending id);
  // the variable eliminated at step k gets column nfree + k. Our choice: without eliminated
  // variables the soft rows are reduced as they are, and BuildSoftRows numbers the columns on
  // the way (the same numbers).
  void NumberColumns() {
    ReserveAtOnce(mState->mColumnVariables, static_cast<int>(mVariableIds.size()));
    ForEachSoftConstraint([this](int, const LocalConstraint& constraint) {
      for (const Entry& entry : Coefficients(constraint))
        if (mStepOfVariable[entry.first] < 0) ColumnOfFree(entry.first);
    });
    const int hardCount = static_cast<int>(mEliminatedByStep.size());
    mState->mColumnVariables.Resize(mFreeCount + hardCount, 0);
    mEliminatedAscending.clear();
    for (int variable = 0; variable < static_cast<int>(mVariableIds.size()); ++variable)
      if (mStepOfVariable[variable] >= 0) mEliminatedAscending.push_back(variable);
    for (const int variable : mEliminatedAscending) {
      const int column = mFreeCount + mStepOfVariable[variable];
      mColumnOf[variable] = column;
      mState->mColumnVariables[column] = mVariableIds[variable];
    }
  }

  // The column of a free variable, numbered now when this is its first appearance.
  int ColumnOfFree(int variable) {
    int& column = mColumnOf[variable];
    if (column < 0) {
      column = mFreeCount++;
      mState->mColumnVariables.PushBack(mVariableIds[variable]);
    }
    return column;
  }

  // Each eliminated variable over the free columns; false when it depends on a variable that
  // no soft row names.
  bool BuildEliminatedRows() {
    mLists->mEliminatedRows.Reserve(static_cast<int>(mEliminatedByStep.size()));
    for (const int variable : mEliminatedByStep)
      mLists->mEliminatedRows.Append(SubstitutionOfStep(mStepOfVariable[variable]).Size());
    for (const int variable : mEliminatedAscending) {
      SparseVector& target = mState->mEliminatedRows[mStepOfVariable[variable]];
      for (const Entry& entry : SubstitutionOfStep(mStepOfVariable[variable])) {
        if (mColumnOf[entry.first] < 0) return false;
        target.PushBack(ZRMUtMakePair(mColumnOf[entry.first], entry.second));
      }
    }
    return true;
  }

  // Soft rows with the eliminated variables substituted, over the columns (numbered here when
  // nothing is eliminated); collects how the hard right-hand sides reach each soft row.
  void BuildSoftRows() {
    const int softCount = mState->mSoftRowCount;
    mAccumulated.clear();
    AssignWithRoom(mLastAccumulated, mEliminatedByStep.size(), -1);
    const bool anyEliminated = !mEliminatedByStep.empty();
    if (anyEliminated) {
      AssignWithRoom(mValue, mVariableIds.size(), 0.0);
      AssignWithRoom(mStamp, mVariableIds.size(), -1);
    } else {
      ReserveAtOnce(mState->mColumnVariables, static_cast<int>(mVariableIds.size()));
    }
    mReducedRows.Reserve(softCount, static_cast<int>(mState->mLog.EntryCount()));
    ForEachSoftConstraint([&](int r, const LocalConstraint& constraint) {
      const auto coefficients = Coefficients(constraint);
      if (anyEliminated && std::any_of(coefficients.begin(), coefficients.end(), [this](const Entry& entry) {
            return mStepOfVariable[entry.first] >= 0;
          }))
        ReduceRow(r, coefficients);
      else
        for (const Entry& entry : coefficients) mReducedRows.Append(ColumnOfFree(entry.first), entry.second);
      SortOpenRow();
      mReducedRows.EndRow();
    });
  }

  // Sorts the entries of the reduced row being appended by column (they are distinct), through
  // mScratch when they are not in order already.
  void SortOpenRow() {
    const int* begin = mReducedRows.mIndex.data() + mReducedRows.mStart.back();
    const int* end = mReducedRows.mIndex.data() + mReducedRows.mIndex.size();
    if (std::is_sorted(begin, end)) return;
    const std::size_t first = static_cast<std::size_t>(mReducedRows.mStart.back());
    mScratch.clear();
    for (std::size_t e = first; e < mReducedRows.mIndex.size(); ++e)
      mScratch.emplace_back(mReducedRows.mIndex[e], mReducedRows.mValue[e]);
    std::sort(mScratch.begin(), mScratch.end(), ColumnLess);
    for (std::size_t k = 0; k < mScratch.size(); ++k) {
      mReducedRows.mIndex[first + k] = mScratch[k].first;
      mReducedRows.mValue[first + k] = mScratch[k].second;
    }
  }

  // Order of reduced entries, whose columns are distinct.
  static bool ColumnLess(const Entry& a, const Entry& b) { return a.first < b.first; }

  // Appends soft row r (which holds an eliminated variable) over the free variables' columns,
  // in no particular order: each eliminated variable replaced by its substitution (values
  // summed in the order of the row's entries), its right-hand-side terms collected per
  // elimination step.
  void ReduceRow(int r, ElementRange<const Entry> coefficients) {
    mTouched.clear();
    for (const Entry& entry : coefficients) {
      mValue[entry.first] = entry.second;
      mStamp[entry.first] = r;
      mTouched.push_back(entry.first);
    }
    for (const Entry& entry : coefficients) {
      if (mStepOfVariable[entry.first] < 0) continue;
      const double a = entry.second;
      for (const Entry& term : SubstitutionOfStep(mStepOfVariable[entry.first])) {
        if (mStamp[term.first] == r) {
          mValue[term.first] = mValue[term.first] + a * term.second;
        } else {
          mValue[term.first] = 0.0 + a * term.second;
          mStamp[term.first] = r;
          mTouched.push_back(term.first);
        }
      }
      for (const Entry& term : SubstitutionRhsOfStep(mStepOfVariable[entry.first])) {
        const int step = mStepOfHard[term.first];
        int& last = mLastAccumulated[step];
        if (last >= 0 && mAccumulated[last].row == r) {
          mAccumulated[last].value = mAccumulated[last].value - a * term.second;
        } else {
          last = static_cast<int>(mAccumulated.size());
          mAccumulated.push_back({step, r, 0.0 - a * term.second});
        }
      }
    }
    for (const int variable : mTouched)
      if (mStepOfVariable[variable] < 0) mReducedRows.Append(mColumnOf[variable], mValue[variable]);
  }

  // Per elimination step, where its pivot's right-hand side goes (mHardRhs, row k for step k):
  // soft rows, ascending, then the constant parts of the eliminated variables, ascending target.
  // Our choice: the constant parts are appended by elimination step, so each row comes out in
  // ascending target without sorting (every target occurs once per row).
  void BuildHardRhsCoefficients() {
    const int softCount = mState->mSoftRowCount;
    const int hardCount = static_cast<int>(mEliminatedByStep.size());
    std::vector<int>& start = mHardRhs.mStart;
    AssignWithRoom(start, static_cast<std::size_t>(hardCount) + 1, 0);
    for (const Accumulated& term : mAccumulated) ++start[term.step + 1];
    for (int step = 0; step < hardCount; ++step)
      for (const Entry& term : SubstitutionRhsOfStep(step)) ++start[mStepOfHard[term.first] + 1];
    LayOutRows(start, mHardRhs.mIndex, mHardRhs.mValue, mFill);
    const auto place = [this](int step, int target, double coefficient) {
      const int slot = mFill[step]++;
      mHardRhs.mIndex[slot] = target;
      mHardRhs.mValue[slot] = coefficient;
    };
    for (const Accumulated& term : mAccumulated) place(term.step, term.row, term.value);  // ascending row per step
    for (int step = 0; step < hardCount; ++step)
      for (const Entry& term : SubstitutionRhsOfStep(step))
        place(mStepOfHard[term.first], softCount + step, 0.0 + term.second);
  }

  // Lower triangle of A^T A, A being the reduced soft rows: entry (c, c') sums A[r][c] * A[r][c']
  // over ascending r, starting from 0.0.
  void BuildNormalMatrix() {
    IndexColumns();
    AssignWithRoom(mNormalValue, static_cast<std::size_t>(mFreeCount), 0.0);
    AssignWithRoom(mNormalStamp, static_cast<std::size_t>(mFreeCount), -1);
    mNormal.Reserve(mFreeCount, 0);
    const int* rowStart = mReducedRows.mStart.data();
    const int* rowColumn = mReducedRows.mIndex.data();
    const double* rowValue = mReducedRows.mValue.data();
    const int* columnStart = mReducedColumns.mStart.data();
    const int* columnRow = mReducedColumns.mIndex.data();
    const double* columnValue = mReducedColumns.mValue.data();
    double* sum = mNormalValue.data();
    int* stamp = mNormalStamp.data();
    for (int c = 0; c < mFreeCount; ++c) {
      mNormalTouched.clear();
      double diagonal = 0.0;  // kept in a register: every row of column c adds to it
      for (int slot = columnStart[c]; slot < columnStart[c + 1]; ++slot) {
        const double a = columnValue[slot];
        const int r = columnRow[slot];
        int e = rowStart[r];
        for (; rowColumn[e] < c; ++e) {  // row r holds c, so the loop ends on it
          const int other = rowColumn[e];
          if (stamp[other] == c) {
            sum[other] = sum[other] + a * rowValue[e];
          } else {
            sum[other] = 0.0 + a * rowValue[e];
            stamp[other] = c;
            mNormalTouched.push_back(other);
          }
        }
        diagonal = diagonal + a * rowValue[e];
      }
      SortDistinct(mNormalTouched.data(), mNormalTouched.data() + mNormalTouched.size());
      for (const int other : mNormalTouched) mNormal.Append(other, sum[other]);
      if (columnStart[c] < columnStart[c + 1]) mNormal.Append(c, diagonal);
      mNormal.EndRow();
    }
  }

  // mReducedColumns := the reduced soft rows by column (the rows of A^T), each ascending by row.
  void IndexColumns() {
    CompressedRows& columns = mReducedColumns;
    AssignWithRoom(columns.mStart, static_cast<std::size_t>(mFreeCount) + 1, 0);
    for (const int column : mReducedRows.mIndex) ++columns.mStart[column + 1];
    LayOutRows(columns.mStart, columns.mIndex, columns.mValue, mFill);
    for (int r = 0; r < mReducedRows.RowCount(); ++r)
      for (int e = mReducedRows.mStart[r]; e < mReducedRows.mStart[r + 1]; ++e) {
        const int slot = mFill[mReducedRows.mIndex[e]]++;
        columns.mIndex[slot] = r;
        columns.mValue[slot] = mReducedRows.mValue[e];
      }
  }

  LSQSolverState* mState = nullptr;  // the state of the current Run
  Lists* mLists = nullptr;            // its lists being rebuilt
  std::vector<int> mVariableIds;  // dense variable -> id, ascending
  std::vector<int> mNumberOfId;   // id - lowest id -> dense variable, or -1 (ids ranked by table)
  std::vector<LocalConstraint> mConstraintCopies;  // the constraints, when not read from the log
  EntryList mEntryCopies;                          // their entries
  ElementRange<const LocalConstraint> mConstraints;  // the constraints of this Run, key order
  const Entry* mEntries = nullptr;                   // their entries
  bool mNumberedByTable = false;  // dense numbers through mNumberOfId (else by searching mVariableIds)
  int mLowestId = 0;              // id of mNumberOfId[0]
  std::vector<const LocalConstraint*> mHardConstraints;  // by hard row, key order
  // Elimination.
  std::vector<EntryList> mHardRows;             // hard row -> (variable, coefficient), reduced
  std::vector<EntryList> mHardRowRhs;           // hard row -> (hard row, coefficient) of its rhs
  std::vector<int> mScanOrder;                  // remaining hard rows in scan order
  std::vector<int> mStepOfHard;                 // hard row -> step it was the pivot of, or -1
  std::vector<Entry> mRowCandidate;             // hard row -> (entry, score) of its best entry
  IndexLists mRowsHolding;                      // variable -> hard rows that hold it
  std::vector<int> mStepOfVariable;             // variable -> elimination step, or -1
  std::vector<int> mEliminatedByStep;           // step -> variable
  std::vector<int> mEliminatedAscending;        // eliminated variables, ascending id
  std::vector<EntryList> mSubstitutions;        // step -> (free variable, coefficient) of its variable
  std::vector<EntryList> mSubstitutionRhs;      // step -> (hard row, coefficient) of its variable
  IndexLists mSubstitutionsHolding;  // variable -> steps whose substitution holds it
  EntryList mScratch;  // working list: of MergeScaled during elimination, then of SortOpenRow
  // Lists side by side: list k holds mEntries[mStart[k] .. mStart[k + 1] - 1].
  struct FlatLists {
    std::vector<int> mStart{0};
    EntryList mEntries;
    ElementRange<const Entry> Row(int k) const { return {mEntries.data() + mStart[k], mEntries.data() + mStart[k + 1]}; }
  };
  FlatLists mGatheredSubstitutions;     // step -> the substitution of its variable
  FlatLists mGatheredSubstitutionRhs;   // step -> the (hard row, coefficient) terms of its constant part
  // Reduction.
  std::vector<int> mColumnOf;  // variable -> column, or -1
  int mFreeCount = 0;
  struct Accumulated {
    int step;      // elimination step whose pivot's rhs reaches
    int row;       // this soft row
    double value;  // with this coefficient
  };
  std::vector<Accumulated> mAccumulated;  // in the order the soft rows are reduced
  std::vector<int> mLastAccumulated;      // step -> its latest term in mAccumulated, or -1
  CompressedRows mHardRhs;                // step -> (target, coefficient) of its pivot's rhs
  CompressedRows mReducedRows;           // the reduced soft rows over the columns
  std::vector<double> mValue;            // variable -> its value in the row being reduced
  std::vector<int> mStamp;               // variable -> last soft row that gave it a value
  std::vector<int> mTouched;             // variables given a value in the row being reduced
  // Normal matrix.
  CompressedRows mNormal;                // lower triangle of A^T A
  CompressedRows mReducedColumns;        // the reduced soft rows by column
  std::vector<int> mFill;                // row being laid out -> its next free entry (LayOutRows)
  std::vector<double> mNormalValue;      // column -> its value in the row being formed
  std::vector<int> mNormalStamp;         // column -> last row that gave it a value
  std::vector<int> mNormalTouched;       // columns given a value in the row being formed
  CholeskyWorkspace mCholesky;
  CompressedFactor mFactor;  // kept until a later Run factors again
};

namespace {


// adjusted := the soft right-hand sides plus the contributions of the hard ones; at nsoft + k
// the constant part of the variable eliminated at step k.
void AdjustedRhs(const LSQSolverState& state, const std::vector<double>& rowRhs, std::vector<double>& adjusted) {
  const int softCount = state.mSoftRowCount;
  MakeRoom(adjusted, rowRhs.size());
  adjusted.assign(rowRhs.begin(), rowRhs.end());
  std::fill(adjusted.begin() + std::min<std::size_t>(softCount, adjusted.size()), adjusted.end(), 0.0);
  const CompressedRows& hardRhs = state.mFactorization->HardRhs();
  const int* target = hardRhs.mIndex.data();
  const double* coefficient = hardRhs.mValue.data();
  for (int k = 0; k < hardRhs.RowCount(); ++k) {
    const double rhs = rowRhs[softCount + k];
    for (int e = hardRhs.mStart[k]; e < hardRhs.mStart[k + 1]; ++e)
      adjusted[target[e]] = adjusted[target[e]] + rhs * coefficient[e];
  }
}

// normal := A^T b over the columns of the factor, A being the reduced soft rows: column c sums
// b[r] * A[r][c] over ascending r, starting from 0.0.
void NormalRhs(const LSQSolverState& state, const std::vector<double>& adjusted, std::vector<double>& normal) {
  const CompressedRows& columns = state.mFactorization->ReducedColumns();
  ResizeWithRoom(normal, static_cast<std::size_t>(columns.RowCount()));  // every value written below
  const int* row = columns.mIndex.data();
  const double* value = columns.mValue.data();
  for (int c = 0; c < columns.RowCount(); ++c) {
    double sum = 0.0;
    for (int e = columns.mStart[c]; e < columns.mStart[c + 1]; ++e) sum = sum + adjusted[row[e]] * value[e];
    normal[c] = sum;
  }
}

// Values of the free variables, then of the eliminated ones, into mResults (whose keys are made
// those of this factorization unless they are already).
void StoreResults(LSQSolverState& state, const std::vector<double>& adjusted, const std::vector<double>& values) {
  if (!state.mResultKeysCurrent) state.mResults.SetKeys(state.mColumnVariables);
  state.mResultKeysCurrent = true;
  state.mResultShownBehind = true;
  std::vector<double>& result = state.mResults.Values();
  const int n = static_cast<int>(values.size());
  std::copy(values.begin(), values.end(), result.begin());
  int k = 0;
  for (const SparseVector& row : Elements(state.mEliminatedRows)) {
    double v = adjusted[state.mSoftRowCount + k];
    for (const auto& entry : Elements(row)) v = v + values[entry.first] * entry.second;
    result[n + k++] = v;
  }
}

// Empties mResults (Solve's outcome when it cannot compute the values).
void ClearResults(LSQSolverState& state) {
  state.mResults.Clear();
  state.mResultKeysCurrent = false;
  state.mResultShownBehind = true;
}

// Solve on a state: values of every variable from the current right-hand sides. mResults is
// emptied when the values cannot be computed, else it holds exactly the new values (our choice:
// a repeated Solve overwrites the values in place).
bool SolveState(LSQSolverState& state) {
  if (!state.mFactorCurrent) {
    ClearResults(state);
    return state.mConstraints.Size() == 0;
  }
  SolveWorkspace& work = state.mSolveWorkspace;
  const bool hasHardRows = state.mRowRhs.size() > static_cast<std::size_t>(state.mSoftRowCount);
  if (hasHardRows) AdjustedRhs(state, state.mRowRhs, work.mAdjustedRhs);
  const std::vector<double>& adjusted = hasHardRows ? work.mAdjustedRhs : state.mRowRhs;  // the same without hard rows
  NormalRhs(state, adjusted, work.mValues);
  if (!SolveCholesky(state.mFactorization->Factor(), work.mValues)) {
    ClearResults(state);
    return false;
  }
  StoreResults(state, adjusted, work.mValues);
  return true;
}

}  // namespace

void ShowStoredFields(LSQSolverState& state) {
  if (state.mShownBehind) state.mFactorization->Show(state);
  state.mShownBehind = false;
  if (state.mResultShownBehind) state.mResults.Show(state.mResult);
  state.mResultShownBehind = false;
}

ZRMLSQSolver::ZRMLSQSolver() : mState(new LSQSolverState()) {}

ZRMLSQSolver::~ZRMLSQSolver() {
  delete mState;
  mState = nullptr;
}

namespace {

// Sets a registered constraint's flag, right-hand side and coefficients, in its record and its
// log row. The log has room for them (MakeRoomFor); when copying the coefficients into the
// record fails, the record and the log row keep their old contents.
void SetConstraint(LSQSolverState& state, ConstraintRecord& record, int logged, bool hard, double rhs,
                   const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients) {
  record.mCoefficients = coefficients;
  record.mIsHard = hard;
  record.mRhs = rhs;
  state.mLog.Replace(logged, hard, rhs, coefficients);
}

// Registers a new constraint under key (named id when named), with its flag, right-hand side
// and coefficients. The log has room for it. When memory runs out halfway, the registration is
// undone and std::bad_alloc passed on.
void RegisterNew(LSQSolverState& state, const ConstraintKey& key, bool named, bool hard, double rhs,
                 const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients) {
  const ZRMConstraintLog::Mark mark = state.mLog.GetMark();
  ConstraintRecord& record = state.mConstraints[key];  // soft, no coefficients, rhs 0.0
  const int logged = state.mLog.AppendEmpty(key);       // the same
  bool indexed = false;
  try {
    if (named) {
      state.mNamed.Add(key.first, &record).logged = logged;
      indexed = true;
    }
    SetConstraint(state, record, logged, hard, rhs, coefficients);
  } catch (...) {
    if (indexed) state.mNamed.Remove(key.first);
    state.mLog.RollBack(mark);
    state.mConstraints.Erase(key);
    throw;
  }
}

// Registers the constraint named id with its flag, right-hand side and coefficients, replacing
// the one of that id if there is one.
void RegisterNamed(LSQSolverState& state, int id, bool hard, double rhs,
                   const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients) {
  state.mLog.MakeRoomFor(coefficients.Size());
  if (NamedConstraint* named = state.mNamed.Find(id))
    SetConstraint(state, *named->record, named->logged, hard, rhs, coefficients);
  else
    RegisterNew(state, ZRMUtMakePair(id, -1), true, hard, rhs, coefficients);
}

}  // namespace

void ZRMLSQSolver::AddConstraint(bool hard, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients, int id) {
  if (!mState) return;
  EndFactorization(*mState);
  RegisterNamed(*mState, id, hard, 0.0, coefficients);
}

void ZRMLSQSolver::AddConstraint(bool hard, double rhs, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients) {
  if (!mState) return;
  EndFactorization(*mState);
  mState->mLog.MakeRoomFor(coefficients.Size());
  RegisterNew(*mState, ZRMUtMakePair(0, static_cast<int>(mState->mConstraints.Size())), false, hard, rhs,
              coefficients);
}

namespace {

// ZRM_OUT_OF_LINE keeps a rarely taken path out of line, so that the common path that calls it
// needs no stack frame of its own. ZRM_LINE_ALIGNED starts a small function called in tight loops
// on a cache line, so that its few instructions are fetched in one block wherever the code
// around it ends (left to chance, a split cost SetRhs a fifth of its time in one build).
#if defined(__GNUC__)
#define ZRM_OUT_OF_LINE __attribute__((noinline))
#define ZRM_LINE_ALIGNED __attribute__((aligned(64)))
#else
#define ZRM_OUT_OF_LINE
#define ZRM_LINE_ALIGNED
#endif

// SetRhs of the constraint named id: while the factorization is current its row takes the value
// (the record's and the log's copies follow later), otherwise its record and log row do. An
// unknown id is reported, then registered as a soft constraint without coefficients carrying
// the value, which ends the factorization.
ZRM_OUT_OF_LINE void SetRhsOfConstraint(LSQSolverState& state, int id, double value) {
  NamedConstraint* named = state.mNamed.Find(id);
  ZRMReportCheck(named != nullptr, "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))", "No constraint", kReportedPath,
                 kNoConstraintLine);
  if (named == nullptr) {
    EndFactorization(state);
    RegisterNamed(state, id, false, value, ZRMUtMap<int, double, ZRMUtLess<int>>());
  } else if (state.mFactorCurrent) {
    state.mRowRhs[state.mNamed.Row(id)] = value;
    state.mRowRhsAhead = true;
  } else {
    named->record->mRhs = value;
    state.mLog.SetRhs(named->logged, value);
  }
}

}  // namespace

// Our choice: the common call while re-solving (a constraint of the id table, a current
// factorization) is handled here without a stack frame; everything else is SetRhsOfConstraint.
ZRM_LINE_ALIGNED void ZRMLSQSolver::SetRhs(int iId, double value) {
  if (!mState) return;
  const int row = mState->mNamed.RowInTable(iId);
  if (row >= 0 && mState->mFactorCurrent) {
    mState->mRowRhs[row] = value;
    mState->mRowRhsAhead = true;
    return;
  }
  SetRhsOfConstraint(*mState, iId, value);
}

bool ZRMLSQSolver::Factor() {
  if (!mState) return false;
  EndFactorization(*mState);
  mState->mResultKeysCurrent = false;  // the columns change
  if (!mState->mFactorization) mState->mFactorization = std::make_unique<LSQFactorization>();
  mState->mFactorCurrent = mState->mFactorization->Run(*mState);
  return mState->mFactorCurrent;
}

bool ZRMLSQSolver::Solve() {
  if (!mState) return false;
  return SolveState(*mState);
}

double ZRMLSQSolver::GetResult(int iVar) const {
  if (!mState) return -2.0;
  const double* found = mState->mResults.Find(iVar);
  const bool known = found != nullptr;
  ZRMReportCheck(known, "mState->mResult.Find(iVar) != mState->mResult.End()", "Wrong variable id.", kReportedPath,
                 kWrongVariableLine);
  return known ? *found : std::numeric_limits<double>::quiet_NaN();
}
