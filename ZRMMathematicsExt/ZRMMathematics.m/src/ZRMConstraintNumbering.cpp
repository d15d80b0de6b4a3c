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
  const bool inPool = numbersAreIds && store.AppendedInKeyOrder();
  mRenumbered.clear();
  if (!inPool) mRenumbered.reserve(store.LiveEntryCount());  // no reallocation below: spans stay valid
  const auto entriesOf = [&](int row) -> Span<Entry> {
    const ConstraintStore::Row& r = store.RowAt(row);
    const Entry* source = store.Pool() + r.first;
    if (inPool) return {source, source + r.count};
    const std::size_t first = mRenumbered.size();
    for (const Entry* entry = source; entry != source + r.count; ++entry)
      mRenumbered.emplace_back(numbersAreIds ? entry->first : mVariableOfId.Find(entry->first), entry->second);
    assert(mRenumbered.size() <= store.LiveEntryCount() && "only live entries copied");
    return {mRenumbered.data() + first, mRenumbered.data() + mRenumbered.size()};
  };
  mSoftEntries.clear();
  mSoftEntries.reserve(mSoft.size());
  for (const int row : mSoft) mSoftEntries.push_back(entriesOf(row));
  mHardEntries.clear();
  mHardEntries.reserve(mHard.size());
  for (const int row : mHard) mHardEntries.push_back(entriesOf(row));
  assert((inPool || mRenumbered.size() == store.LiveEntryCount()) && "each live entry copied once");
}
