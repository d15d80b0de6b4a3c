// FactorPattern: the elimination tree, the column counts and the column patterns of L.
#include "ZRMFactorPattern.h"

#include <cassert>

std::optional<double> FactorPattern::Count(const CompressedRows& lower, std::size_t entryLimit) {
  const int n = lower.RowCount();
  mCounted = false;
  mParent.assign(static_cast<std::size_t>(n), -1);
  mVisited.assign(static_cast<std::size_t>(n), -1);
  mColumnStart.assign(static_cast<std::size_t>(n) + 1, 0);
  std::size_t counted = 0;  // entries of rows 0 .. k of L
  for (int k = 0; k < n; ++k) {
    ++counted;  // the diagonal
    WalkRowPattern(lower, k, mParent, mVisited, [this, &counted](int column) {
      ++mColumnStart[column + 1];
      ++counted;
    });
    if (counted > entryLimit) return std::nullopt;
  }
  double work = 0.0, entries = 0.0;
  for (int j = 0; j < n; ++j) {
    const double length = mColumnStart[j + 1] + 1.0;
    work += length * length;
    entries += length;
    mColumnStart[j + 1] += mColumnStart[j];  // where each column of L starts
  }
  mCounted = true;
  return n > 0 ? work / entries : 0.0;
}

// The second walk appends each row k to its columns, which thus come out ascending.
void FactorPattern::Find(const CompressedRows& lower) {
  const int n = Size();
  assert(mCounted && lower.RowCount() == n && "Find after a complete Count of the same matrix");
  mColumnRow.resize(static_cast<std::size_t>(mColumnStart[n]));
  mFill.assign(mColumnStart.begin(), mColumnStart.end() - 1);
  for (int k = 0; k < n; ++k)  // mVisited as Count left it: row j marks j before any later row meets j
    WalkRowPattern(lower, k, mParent, mVisited, [this, k](int column) { mColumnRow[mFill[column]++] = k; });
}
