// ConstraintNumbering: variables ranked by id, constraints split by kind in key order.
#include "ZRMConstraintNumbering.h"

#include <algorithm>
#include <cassert>

void ConstraintNumbering::Run(ConstraintStore& store) {
  mStore = &store;
  mSoft.clear();
  mHard.clear();
  for (const int row : store.KeyOrder()) (store.RowAt(row).hard ? mHard : mSoft).push_back(row);
  RankVariables();
  NumberEntries();
}

void ConstraintNumbering::RankVariables() {
  const ConstraintStore& store = *mStore;
  const long long width = static_cast<long long>(store.HighestId()) - store.LowestId() + 1;  // <= 0 without ids
  const auto tableSize = static_cast<std::size_t>(
      std::max(0LL, std::min(width, static_cast<long long>(IdIndex::TableBound(store.LiveEntryCount())))));
  mVariableOfId.Reset(store.LowestId(), tableSize);
  const Entry* pool = store.Pool();
  for (int row = 0; row < store.Size(); ++row) {
    const Entry* end = pool + store.RowAt(row).first + store.RowAt(row).count;
    for (const Entry* entry = pool + store.RowAt(row).first; entry != end; ++entry)
      if (mVariableOfId.Find(entry->first) == IdIndex::kAbsent) mVariableOfId.Insert(entry->first, 0);
  }
  mIds.clear();
  mVariableOfId.ForEachAscending([this](int id, int) { mIds.push_back(id); });
  for (int variable = 0; variable < VariableCount(); ++variable) mVariableOfId.Position(mIds[variable]) = variable;
}

void ConstraintNumbering::NumberEntries() {
  const ConstraintStore& store = *mStore;
  const bool numbersAreIds = mIds.empty() || (mIds.front() == 0 && mIds.back() == VariableCount() - 1);
  if (numbersAreIds) {
    mEntries = store.Pool();
    return;
  }
  mRenumbered.resize(store.PoolSize());
  for (int row = 0; row < store.Size(); ++row) {
    const ConstraintStore::Row& r = store.RowAt(row);
    for (int e = r.first; e < r.first + r.count; ++e) {
      const Entry& entry = store.Pool()[e];
      mRenumbered[static_cast<std::size_t>(e)] = Entry(mVariableOfId.Find(entry.first), entry.second);
    }
  }
  mEntries = mRenumbered.data();
}
