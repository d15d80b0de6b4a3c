// ZRMConstraintLog: flat rows of the registered constraints.
#include "ZRMConstraintLog.h"

#include <algorithm>
#include <new>

namespace {

bool KeyLess(const ZRMConstraintLog::Key& a, const ZRMConstraintLog::Key& b) {
  return a.first < b.first || (a.first == b.first && a.second < b.second);
}

}  // namespace

void ZRMConstraintLog::MakeRoomFor(int count) {
  const auto grow = [](auto& array, std::size_t needed) {
    if (array.capacity() < needed) array.reserve(std::max(needed, 2 * array.capacity()));
  };
  grow(mRows, mRows.size() + 1);
  grow(mEntries, mEntries.size() + static_cast<std::size_t>(count));
}

int ZRMConstraintLog::AppendEntries(const Coefficients& coefficients) {
  const int first = static_cast<int>(mEntries.size());
  coefficients.ForEach([this](const ZRMUtPair<int, double>& c) {
    mEntries.emplace_back(c.first, c.second);
    mLowestId = std::min(mLowestId, c.first);
    mHighestId = std::max(mHighestId, c.first);
  });
  return first;
}

int ZRMConstraintLog::AppendEmpty(const Key& key) {
  if (!mRows.empty() && !KeyLess(mRows.back().key, key)) mAppendedInKeyOrder = false;
  mRows.push_back({key, 0.0, false, static_cast<int>(mEntries.size()), 0});
  ++mVersion;
  return static_cast<int>(mRows.size()) - 1;
}

// Our choice: a replaced row's old entries stay in the pool until they outnumber the live ones
// (plus a margin), then the pool is compacted; registration stays amortised O(entries). A
// compaction that finds no memory is left for a later replacement.
void ZRMConstraintLog::Replace(int row, bool hard, double rhs, const Coefficients& coefficients) {
  Row& replaced = mRows[static_cast<std::size_t>(row)];
  mDeadEntries += static_cast<std::size_t>(replaced.count);
  replaced.first = AppendEntries(coefficients);
  replaced.count = coefficients.Size();
  replaced.hard = hard;
  replaced.rhs = rhs;
  ++mVersion;
  if (mDeadEntries > EntryCount() + 1024) Compact();
}

void ZRMConstraintLog::Compact() noexcept {
  std::vector<Entry> live;
  try {
    live.reserve(EntryCount());
  } catch (const std::bad_alloc&) {
    return;  // the pool stays as it is: sound, only larger
  }
  for (Row& row : mRows) {
    const Entry* entries = Entries(row);
    row.first = static_cast<int>(live.size());
    live.insert(live.end(), entries, entries + row.count);
  }
  mEntries.swap(live);
  mDeadEntries = 0;  // every entry belongs to a row
}

void ZRMConstraintLog::UpdateKeyOrder() {
  const std::size_t sorted = mKeyOrder.size();
  if (sorted == mRows.size()) return;
  mKeyOrder.reserve(mRows.size());  // may throw: then mKeyOrder is unchanged
  for (std::size_t row = sorted; row < mRows.size(); ++row) mKeyOrder.push_back(static_cast<int>(row));
  const auto byKey = [this](int a, int b) {
    return KeyLess(mRows[static_cast<std::size_t>(a)].key, mRows[static_cast<std::size_t>(b)].key);
  };
  const auto tail = mKeyOrder.begin() + static_cast<std::ptrdiff_t>(sorted);
  std::sort(tail, mKeyOrder.end(), byKey);
  std::inplace_merge(mKeyOrder.begin(), tail, mKeyOrder.end(), byKey);  // every row, key order
}

const char* ZRMConstraintLog::FindInvariantViolation() const {
  std::size_t referenced = 0;
  for (const Row& row : mRows) {
    if (row.first < 0 || row.count < 0 || static_cast<std::size_t>(row.first) + row.count > mEntries.size())
      return "row entries outside the pool";
    const Entry* entries = Entries(row);
    for (int e = 1; e < row.count; ++e)
      if (!(entries[e - 1].first < entries[e].first)) return "row entries not in ascending variable order";
    for (int e = 0; e < row.count; ++e)
      if (entries[e].first < mLowestId || entries[e].first > mHighestId) return "variable id outside the id bounds";
    referenced += static_cast<std::size_t>(row.count);
  }
  if (referenced + mDeadEntries != mEntries.size()) return "dead entry count does not match the pool";
  for (std::size_t r = 1; r < mRows.size() && mAppendedInKeyOrder; ++r)
    if (!KeyLess(mRows[r - 1].key, mRows[r].key)) return "rows marked in key order are not";
  if (mKeyOrder.size() > mRows.size()) return "key order longer than the log";
  for (const int row : mKeyOrder)
    if (row < 0 || static_cast<std::size_t>(row) >= mKeyOrder.size()) return "key order names a row it does not cover";
  for (std::size_t k = 1; k < mKeyOrder.size(); ++k)
    if (!KeyLess(mRows[static_cast<std::size_t>(mKeyOrder[k - 1])].key, mRows[static_cast<std::size_t>(mKeyOrder[k])].key))
      return "key order not ascending";
  return nullptr;
}
