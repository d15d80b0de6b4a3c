// ConstraintStore: flat rows of the registered constraints.
#include "ZRMConstraintStore.h"

#include <algorithm>
#include <cassert>
#include <new>

namespace {

bool KeyLess(const ConstraintKey& a, const ConstraintKey& b) {
  return a.first < b.first || (a.first == b.first && a.second < b.second);
}

// Grows array to hold needed elements, at least doubling (amortised O(1) registration).
template <class T>
void Grow(std::vector<T>& array, std::size_t needed) {
  if (array.capacity() < needed) array.reserve(std::max(needed, 2 * array.capacity()));
}

}  // namespace

void ConstraintStore::MakeRoom(int count) {
  Grow(mRows, mRows.size() + 1);
  Grow(mRhs, mRhs.size() + 1);
  Grow(mEntries, mEntries.size() + static_cast<std::size_t>(count));
}

int ConstraintStore::AppendEntries(const Coefficients& coefficients) noexcept {
  const int first = static_cast<int>(mEntries.size());
  coefficients.ForEach([this](const ZRMUtPair<int, double>& c) {
    mEntries.emplace_back(c.first, c.second);  // room made: cannot throw
    mLowestId = std::min(mLowestId, c.first);
    mHighestId = std::max(mHighestId, c.first);
  });
  return first;
}

void ConstraintStore::AppendRow(const ConstraintKey& key, bool hard, double rhs,
                                const Coefficients& coefficients) noexcept {
  if (!mRows.empty() && !KeyLess(mRows.back().key, key)) mAppendedInKeyOrder = false;
  const int first = AppendEntries(coefficients);
  mRows.push_back({key, hard, first, coefficients.Size()});
  mRhs.push_back(rhs);
}

void ConstraintStore::SetNamed(int id, bool hard, double rhs, const Coefficients& coefficients) {
  MakeRoom(coefficients.Size());
  const int row = mNamed.Find(id);
  if (row == IdIndex::kAbsent) {
    mNamed.Insert(id, Size());  // the last step that may throw
    AppendRow(ZRMUtMakePair(id, -1), hard, rhs, coefficients);
    return;
  }
  Row& replaced = mRows[static_cast<std::size_t>(row)];
  mDeadEntries += static_cast<std::size_t>(replaced.count);
  replaced.first = AppendEntries(coefficients);
  replaced.count = coefficients.Size();
  replaced.hard = hard;
  mRhs[static_cast<std::size_t>(row)] = rhs;
  CompactIfMostlyDead();
}

void ConstraintStore::AddNamedWithoutCoefficients(int id, double rhs) {
  assert(FindNamed(id) == IdIndex::kAbsent && "a named constraint without coefficients replacing one");
  SetNamed(id, false, rhs, Coefficients());
}

void ConstraintStore::AddUnnamed(bool hard, double rhs, const Coefficients& coefficients) {
  MakeRoom(coefficients.Size());
  AppendRow(ZRMUtMakePair(0, Size()), hard, rhs, coefficients);
}

// Our choice: replaced entries stay in the pool until they outnumber the live ones (plus a
// margin), so that replacing stays amortised O(entries). Without memory for the compacted copy
// the pool stays as it is (sound, only larger).
void ConstraintStore::CompactIfMostlyDead() noexcept {
  if (mDeadEntries <= LiveEntryCount() + 1024) return;
  std::vector<Entry> live;
  try {
    live.reserve(LiveEntryCount());
  } catch (const std::bad_alloc&) {
    return;
  }
  for (Row& row : mRows) {
    const Entry* entries = mEntries.data() + row.first;
    row.first = static_cast<int>(live.size());
    live.insert(live.end(), entries, entries + row.count);
  }
  mEntries.swap(live);
  mDeadEntries = 0;  // every pool entry belongs to a row
}

const std::vector<int>& ConstraintStore::KeyOrder() {
  const std::size_t sorted = mKeyOrder.size();
  if (sorted == mRows.size()) return mKeyOrder;
  mKeyOrder.reserve(mRows.size());  // may throw: then mKeyOrder is unchanged
  for (std::size_t row = sorted; row < mRows.size(); ++row) mKeyOrder.push_back(static_cast<int>(row));
  if (mAppendedInKeyOrder) return mKeyOrder;  // registration order is key order
  const auto byKey = [this](int a, int b) {
    return KeyLess(mRows[static_cast<std::size_t>(a)].key, mRows[static_cast<std::size_t>(b)].key);
  };
  const auto tail = mKeyOrder.begin() + static_cast<std::ptrdiff_t>(sorted);
  std::sort(tail, mKeyOrder.end(), byKey);
  std::inplace_merge(mKeyOrder.begin(), tail, mKeyOrder.end(), byKey);
  assert(std::is_sorted(mKeyOrder.begin(), mKeyOrder.end(), byKey) && "key order");
  return mKeyOrder;
}
