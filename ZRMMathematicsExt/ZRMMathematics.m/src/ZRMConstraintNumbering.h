// Internal: ConstraintNumbering, the first stage of Factor: the registered constraints as the
// later stages read them.
#ifndef ZRMConstraintNumbering_h
#define ZRMConstraintNumbering_h

#include "ZRMCompressedRows.h"
#include "ZRMConstraintStore.h"
#include "ZRMIdIndex.h"

#include <utility>
#include <vector>

// Reads: a ConstraintStore. Gives: the variables numbered 0 .. n - 1 by ascending id, and the
// soft and the hard constraints each listed in key order (soft constraint r is soft row r, hard
// constraint h hard row h) with their entries over those numbers (same order, as the ids ascend).
// Valid until the store's next registration.
class ConstraintNumbering {
public:
  using Entry = ConstraintStore::Entry;  // here: (variable number, coefficient)

  void Run(ConstraintStore& store);

  int VariableCount() const { return static_cast<int>(mIds.size()); }
  int IdOf(int variable) const { return mIds[static_cast<std::size_t>(variable)]; }
  // Id -> variable number, for every id of a constraint.
  const IdIndex& VariableOfId() const { return mVariableOfId; }
  // Hands the id index over to index, taking index's in exchange: VariableOfId is then another
  // index until the next Run.
  void ExchangeVariableIndex(IdIndex& index) { std::swap(mVariableOfId, index); }

  // Store rows of the soft and of the hard constraints, in key order.
  const std::vector<int>& SoftRows() const { return mSoft; }
  const std::vector<int>& HardRows() const { return mHard; }
  // The entries of soft row r and of hard row h, over variable numbers.
  Span<Entry> SoftEntries(int r) const { return mSoftEntries[static_cast<std::size_t>(r)]; }
  Span<Entry> HardEntries(int h) const { return mHardEntries[static_cast<std::size_t>(h)]; }

private:
  // Numbers the ids of every constraint's entries by rank (mIds, mVariableOfId).
  void RankVariables();
  // The rows' entries over variable numbers: the store's own pool where numbers are ids and the
  // rows came in key order, else a copy (soft rows, then hard rows, in key order). Either way the
  // stages, which read the rows in key order, read the entries in sequence.
  void NumberEntries();

  const ConstraintStore* mStore = nullptr;
  std::vector<Entry> mRenumbered;  // the copy (where the pool does not serve)
  std::vector<int> mIds;           // variable -> id, ascending
  IdIndex mVariableOfId;
  std::vector<int> mSoft;
  std::vector<int> mHard;
  std::vector<Span<Entry>> mSoftEntries;  // by soft row: in the pool or in mRenumbered
  std::vector<Span<Entry>> mHardEntries;  // by hard row
};

#endif
