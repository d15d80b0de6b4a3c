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

// Depth first from each root, ascending: a column is ordered once its children are.
void FactorPattern::Postorder(std::vector<int>& order) {
  const int n = Size();
  assert(mCounted && "Postorder after a complete Count");
  mChild.assign(static_cast<std::size_t>(n), -1);
  mSibling.assign(static_cast<std::size_t>(n), -1);
  for (int j = n - 1; j >= 0; --j) {
    if (mParent[j] < 0) continue;
    mSibling[j] = mChild[mParent[j]];
    mChild[mParent[j]] = j;  // the children of each column listed ascending
  }
  order.clear();
  order.reserve(static_cast<std::size_t>(n));
  for (int root = 0; root < n; ++root) {
    if (mParent[root] >= 0) continue;
    int j = root;
    while (j >= 0) {
      if (mChild[j] >= 0) {
        const int child = mChild[j];
        mChild[j] = mSibling[child];  // its later children come after child's subtree
        j = child;
        continue;
      }
      order.push_back(j);  // every child of j ordered
      j = mParent[j];
    }
  }
  assert(static_cast<int>(order.size()) == n && "every column once");
  Renumber(order);
}

void FactorPattern::Renumber(const std::vector<int>& order) {
  const int n = Size();
  std::vector<int>& position = mChild;
  std::vector<int>& counts = mSibling;
  for (int k = 0; k < n; ++k) position[order[k]] = k;
  for (int k = 0; k < n; ++k) counts[k] = mColumnStart[order[k] + 1] - mColumnStart[order[k]];
  for (int k = 0; k < n; ++k) mColumnStart[k + 1] = mColumnStart[k] + counts[k];
  for (int k = 0; k < n; ++k) {
    const int parent = mParent[order[k]];
    counts[k] = parent < 0 ? -1 : position[parent];  // the tree renumbered
    assert((parent < 0 || counts[k] > k) && "a postorder puts each column before its parent");
  }
  mParent.swap(counts);
}
