// SupernodalCholesky: analysis into supernodes, left-looking factorization by dense blocks, solves.
#include "ZRMSupernodalCholesky.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

namespace {

// Our choice: a supernode and the block above it merge when the merged block (width columns)
// stays narrow or mostly filled (zeros: the zero entries of its lower trapezoid, slots: all of
// them).
bool MergeRelaxed(std::int64_t width, std::int64_t zeros, std::int64_t slots) {
  return zeros == 0 || width <= 4 || (width <= 16 && 5 * zeros < 4 * slots) || (width <= 48 && 10 * zeros < slots) ||
         20 * zeros < slots;
}

// Entries of the lower trapezoid of a block of height rows by width columns.
std::int64_t Slots(std::int64_t height, std::int64_t width) {
  return width * (width + 1) / 2 + (height - width) * width;
}

}  // namespace

void SupernodalCholesky::Analyze(const FactorPattern& pattern, const CompressedRows& lower) {
  assert(lower.RowCount() == pattern.Size() && "the pattern counted for the matrix");
  mCount = pattern.Size();
  FindFundamentalSupernodes(pattern);
  Amalgamate(pattern);
  ListRows(pattern, lower);
}

void SupernodalCholesky::FindFundamentalSupernodes(const FactorPattern& pattern) {
  const std::vector<int>& columnStart = pattern.ColumnStart();
  const std::vector<int>& parent = pattern.Parent();
  const auto below = [&columnStart](int j) { return columnStart[j + 1] - columnStart[j]; };
  mFirstColumn.assign(1, 0);
  for (int j = 1; j < mCount; ++j)
    if (parent[j - 1] != j || below(j - 1) != below(j) + 1) mFirstColumn.push_back(j);
  if (mCount > 0) mFirstColumn.push_back(mCount);
}

// From the last supernode to the first, each joins the merged block above it when its last
// column's parent is that block's first column and MergeRelaxed allows it. The block's rows are
// then its columns and the rows of its last column below them: each member's rows below its own
// columns lie among its parent's column and rows.
void SupernodalCholesky::Amalgamate(const FactorPattern& pattern) {
  const std::vector<int>& columnStart = pattern.ColumnStart();
  const std::vector<int>& parent = pattern.Parent();
  const int fundamental = SupernodeCount();
  mStartsBlock.assign(static_cast<std::size_t>(fundamental), 1);
  std::int64_t width = 0, height = 0, entries = 0;  // the block above: its lower trapezoid
  for (int s = fundamental - 1; s >= 0; --s) {
    const int first = mFirstColumn[s], last = mFirstColumn[s + 1] - 1;
    const std::int64_t own = last - first + 1, below = columnStart[last + 1] - columnStart[last];
    std::int64_t ownEntries = 0;
    for (int j = first; j <= last; ++j) ownEntries += columnStart[j + 1] - columnStart[j] + 1;
    const std::int64_t slots = Slots(own + height, own + width);
    if (parent[last] == last + 1 && MergeRelaxed(own + width, slots - ownEntries - entries, slots)) {
      mStartsBlock[s + 1] = 0;
      width += own;
      height += own;
      entries += ownEntries;
    } else {
      width = own;
      height = own + below;
      entries = ownEntries;
    }
  }
  int kept = 0;
  for (int s = 0; s < fundamental; ++s)
    if (mStartsBlock[s]) mFirstColumn[kept++] = mFirstColumn[s];
  mFirstColumn[kept] = mCount;  // the end of the last supernode (0 without columns)
  mFirstColumn.resize(static_cast<std::size_t>(kept) + 1);
}

// Supernode s's rows: its columns, then, ascending, the rows below them of its columns in the
// matrix and of its children (the supernodes whose last column's parent is one of its columns).
// Their count is that of its last column's rows, its own columns included.
void SupernodalCholesky::ListRows(const FactorPattern& pattern, const CompressedRows& lower) {
  const std::vector<int>& columnStart = pattern.ColumnStart();
  const std::vector<int>& parent = pattern.Parent();
  const int supernodes = SupernodeCount();
  mSupernodeOf.resize(static_cast<std::size_t>(mCount));
  mRowStart.assign(1, 0);
  mValueStart.assign(1, 0);
  std::size_t tallest = 0;
  for (int s = 0; s < supernodes; ++s) {
    const int first = mFirstColumn[s], last = mFirstColumn[s + 1] - 1;
    for (int j = first; j <= last; ++j) mSupernodeOf[j] = s;
    mRowStart.push_back(mRowStart.back() + Width(s) + columnStart[last + 1] - columnStart[last]);
    mValueStart.push_back(mValueStart.back() +
                          static_cast<std::size_t>(Height(s)) * static_cast<std::size_t>(Width(s)));
    tallest = std::max(tallest, static_cast<std::size_t>(Height(s)));
  }
  mGathered.resize(tallest);
  mRow.resize(static_cast<std::size_t>(mRowStart.back()));
  // Analyze's working storage, which Factorize sets anew: mNext: supernode -> its next free row
  // slot; mHead, mLink: the lists of children; mRelative: row -> the last supernode listing it.
  mNext.resize(static_cast<std::size_t>(supernodes));
  mHead.assign(static_cast<std::size_t>(supernodes), -1);
  mLink.resize(static_cast<std::size_t>(supernodes));
  for (int s = supernodes - 1; s >= 0; --s) {
    mNext[s] = mRowStart[s];
    for (int j = mFirstColumn[s]; j < mFirstColumn[s + 1]; ++j) mRow[mNext[s]++] = j;
    const int up = parent[mFirstColumn[s + 1] - 1];
    if (up < 0) continue;
    mLink[s] = mHead[mSupernodeOf[up]];
    mHead[mSupernodeOf[up]] = s;  // children listed ascending
  }
  for (int i = 0; i < mCount; ++i)  // ascending: each supernode's rows from the matrix come ascending
    for (int e = lower.Begin(i); e < lower.End(i) - 1; ++e) {
      const int s = mSupernodeOf[lower.mIndex[e]];
      if (i >= mFirstColumn[s + 1] && mRow[mNext[s] - 1] != i) mRow[mNext[s]++] = i;
    }
  mRelative.assign(static_cast<std::size_t>(mCount), -1);
  for (int s = 0; s < supernodes; ++s) {  // ascending: its children's rows are complete
    for (int p = mRowStart[s]; p < mNext[s]; ++p) mRelative[mRow[p]] = s;
    for (int c = mHead[s]; c >= 0; c = mLink[c])
      for (int p = mRowStart[c] + Width(c); p < mRowStart[c + 1]; ++p) {
        const int row = mRow[p];
        if (mRelative[row] == s) continue;
        assert(mNext[s] < mRowStart[s + 1] && "no more rows than its last column has");
        mRelative[row] = s;
        mRow[mNext[s]++] = row;
      }
    assert(mNext[s] == mRowStart[s + 1] && "as many rows as its last column has");
    std::sort(mRow.begin() + mRowStart[s] + Width(s), mRow.begin() + mRowStart[s + 1]);
  }
}

CholeskyStatus SupernodalCholesky::Factorize(const CompressedRows& lower) {
  assert(lower.RowCount() == mCount && "Factorize after Analyze of the same pattern");
  Transpose(lower, mCount, mColumns, mTransposeWork);  // column j: rows i >= j, ascending
  mValue.assign(mValueStart.back(), 0.0);
  mRelative.resize(static_cast<std::size_t>(mCount));
  const int supernodes = SupernodeCount();
  mNext.assign(static_cast<std::size_t>(supernodes), 0);
  mHead.assign(static_cast<std::size_t>(supernodes), -1);
  mLink.assign(static_cast<std::size_t>(supernodes), -1);
  for (int s = 0; s < supernodes; ++s) {
    Assemble(s);
    for (int d = mHead[s]; d >= 0;) {
      const int next = mLink[d];  // ApplyUpdate hands d on
      ApplyUpdate(d, s);
      d = next;
    }
    if (!FactorBlock(s)) return CholeskyStatus::NotPositiveDefinite;
    mNext[s] = Width(s);  // its rows below its own columns update later supernodes
    Link(s);
  }
  return CholeskyStatus::Success;
}

void SupernodalCholesky::Assemble(int s) {
  const int height = Height(s);
  for (int i = 0; i < height; ++i) mRelative[mRow[mRowStart[s] + i]] = i;
  double* block = Block(s);
  for (int t = 0; t < Width(s); ++t) {
    const int column = mFirstColumn[s] + t;
    for (int e = mColumns.Begin(column); e < mColumns.End(column); ++e)
      block[static_cast<std::size_t>(t) * height + mRelative[mColumns.mIndex[e]]] = mColumns.mValue[e];
  }
}

// U[r][c] = sum over d's columns k ascending of L[r][k] * L[c][k], for d's rows r >= c from
// position mNext[d] on and c among those inside s; then subtracted where rows r and c lie in s.
void SupernodalCholesky::ApplyUpdate(int d, int s) {
  const int* rows = mRow.data() + mRowStart[d];
  const int height = Height(d), begin = mNext[d];
  int end = begin;
  while (end < height && rows[end] < mFirstColumn[s + 1]) ++end;
  assert(end > begin && mSupernodeOf[rows[begin]] == s && "d is listed with the supernode of its next row");
  const int m = height - begin, k = end - begin;
  mUpdate.assign(static_cast<std::size_t>(m) * static_cast<std::size_t>(k), 0.0);
  const double* from = Block(d);
  for (int c = 0; c < k; ++c) {
    double* u = mUpdate.data() + static_cast<std::size_t>(c) * m;
    for (int column = 0; column < Width(d); ++column) {
      const double* l = from + static_cast<std::size_t>(column) * height + begin;
      const double lc = l[c];
      for (int r = c; r < m; ++r) u[r] = u[r] + l[r] * lc;
    }
  }
  double* block = Block(s);
  const int target = Height(s);
  for (int c = 0; c < k; ++c) {
    double* column = block + static_cast<std::size_t>(rows[begin + c] - mFirstColumn[s]) * target;
    const double* u = mUpdate.data() + static_cast<std::size_t>(c) * m;
    for (int r = c; r < m; ++r) column[mRelative[rows[begin + r]]] -= u[r];
  }
  mNext[d] = end;
  Link(d);
}

// Column j of the block: less L[i][k] * L[j][k] for each earlier column k ascending, then its
// pivot's square root and the rows below divided by it.
bool SupernodalCholesky::FactorBlock(int s) {
  const int height = Height(s);
  double* block = Block(s);
  for (int j = 0; j < Width(s); ++j) {
    double* cj = block + static_cast<std::size_t>(j) * height;
    for (int k = 0; k < j; ++k) {
      const double* ck = block + static_cast<std::size_t>(k) * height;
      const double ljk = ck[j];
      for (int i = j; i < height; ++i) cj[i] = cj[i] - ck[i] * ljk;
    }
    const double pivot = cj[j];
    if (!(pivot > 0.0 && std::isfinite(pivot))) return false;
    const double diagonal = std::sqrt(pivot);
    cj[j] = diagonal;
    for (int i = j + 1; i < height; ++i) cj[i] = cj[i] / diagonal;
  }
  return true;
}

void SupernodalCholesky::Link(int d) {
  if (mNext[d] >= Height(d)) return;
  const int s = mSupernodeOf[mRow[mRowStart[d] + mNext[d]]];
  mLink[d] = mHead[s];
  mHead[s] = d;
}

void SupernodalCholesky::Solve(double* x) {
  const int supernodes = SupernodeCount();
  double* w = mGathered.data();
  for (int s = 0; s < supernodes; ++s) {
    const int* rows = mRow.data() + mRowStart[s];
    const double* block = Block(s);
    assert(mGathered.size() >= static_cast<std::size_t>(Height(s)) && "Solve after Analyze");
    for (int i = 0; i < Height(s); ++i) w[i] = x[rows[i]];
    for (int j = 0; j < Width(s); ++j) {
      const double* cj = block + static_cast<std::size_t>(j) * Height(s);
      const double v = w[j] / cj[j];
      w[j] = v;
      for (int i = j + 1; i < Height(s); ++i) w[i] = w[i] - cj[i] * v;
    }
    for (int i = 0; i < Height(s); ++i) x[rows[i]] = w[i];
  }
  for (int s = supernodes - 1; s >= 0; --s) {  // x[row j] := (x[row j] - sum L[i][j] x[row i]) / L[j][j]
    const int* rows = mRow.data() + mRowStart[s];
    const double* block = Block(s);
    const int width = Width(s), height = Height(s);
    for (int j = 0; j < width; ++j) {  // the rows below the block's square, solved before
      const double* cj = block + static_cast<std::size_t>(j) * height;
      double v = x[rows[j]];
      for (int i = width; i < height; ++i) v = v - cj[i] * x[rows[i]];
      w[j] = v;
    }
    for (int j = width - 1; j >= 0; --j) {
      const double* cj = block + static_cast<std::size_t>(j) * height;
      double v = w[j];
      for (int i = j + 1; i < width; ++i) v = v - cj[i] * x[rows[i]];
      x[rows[j]] = v / cj[j];
    }
  }
}
