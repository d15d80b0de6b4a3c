// Internal: ConstraintNumbering, the first stage of Factor: the registered constraints as the
// later stages read them.
#ifndef ZRMConstraintNumbering_h
#define ZRMConstraintNumbering_h

#include "ZRMCompressedRows.h"
#include "ZRMConstraintStore.h"
#include "ZRMIdIndex.h"

#include <utility>
#include <vector>

// Reads: a ConstraintStore. Gives: the variables numbered 0 .. n - 1 by ascending id, every
// constraint's entries over those numbers (same order, as the ids ascend), and the soft and the
// hard constraints each listed in key order; soft constraint r is soft row r.
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
  // The entries of the constraint in a store row, over variable numbers.
  Span<Entry> Entries(int storeRow) const {
    const ConstraintStore::Row& row = mStore->RowAt(storeRow);
    return {mEntries + row.first, mEntries + row.first + row.count};
  }

private:
  // Numbers the ids of every constraint's entries by rank (mIds, mVariableOfId).
  void RankVariables();
  // The entries over variable numbers, in place of the store's own pool when numbers are ids.
  void NumberEntries();

  const ConstraintStore* mStore = nullptr;
  const Entry* mEntries = nullptr;  // the store's pool or mRenumbered
  std::vector<Entry> mRenumbered;   // the pool over variable numbers (where it differs)
  std::vector<int> mIds;            // variable -> id, ascending
  IdIndex mVariableOfId;
  std::vector<int> mSoft;
  std::vector<int> mHard;
};

#endif
