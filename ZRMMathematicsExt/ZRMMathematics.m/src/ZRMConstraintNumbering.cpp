// ConstraintNumbering: variables ranked by id, constraints split by kind in key order.
#include "ZRMConstraintNumbering.h"

#include <algorithm>
#include <cassert>

void ConstraintNumbering::Run(ConstraintStore& store) {
  mStore = &store;
  mSoft.clear();
  mHard.clear();
  int hardCount = 0;
  for (int row = 0; row < store.Size(); ++row) hardCount += store.RowAt(row).hard ? 1 : 0;
  mHard.reserve(static_cast<std::size_t>(hardCount));
  mSoft.reserve(static_cast<std::size_t>(store.Size() - hardCount));
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
  mVariableOfId.EnterAll([&store](auto enter) {
    const Entry* pool = store.Pool();
    for (int row = 0; row < store.Size(); ++row) {
      const Entry* end = pool + store.RowAt(row).first + store.RowAt(row).count;
      for (const Entry* entry = pool + store.RowAt(row).first; entry != end; ++entry) enter(entry->first);
    }
  });
  mVariableOfId.RankAscending(mIds);
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
