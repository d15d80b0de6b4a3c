// SupernodalCholesky: analysis into supernodes, left-looking factorization by dense blocks, solves.
#include "ZRMSupernodalCholesky.h"

#include <algorithm>
#include <cassert>
#include <cmath>

void SupernodalCholesky::Analyze(const FactorPattern& pattern) {
  mCount = pattern.Size();
  const std::vector<int>& columnStart = pattern.ColumnStart();
  const std::vector<int>& columnRow = pattern.ColumnRow();
  const auto below = [&columnStart](int j) { return columnStart[j + 1] - columnStart[j]; };
  mFirstColumn.assign(1, 0);
  mSupernodeOf.resize(static_cast<std::size_t>(mCount));
  for (int j = 0; j < mCount; ++j) {
    const bool joinsPrevious = j > 0 && below(j - 1) == below(j) + 1 && columnRow[columnStart[j - 1]] == j;
    if (j > 0 && !joinsPrevious) mFirstColumn.push_back(j);
    mSupernodeOf[j] = static_cast<int>(mFirstColumn.size()) - 1;
  }
  if (mCount > 0) mFirstColumn.push_back(mCount);
  const int supernodes = SupernodeCount();
  mRowStart.assign(1, 0);
  mRow.clear();
  mValueStart.assign(1, 0);
  mGathered.clear();
  for (int s = 0; s < supernodes; ++s) {
    const int first = mFirstColumn[s];
    mRow.push_back(first);
    mRow.insert(mRow.end(), columnRow.begin() + columnStart[first], columnRow.begin() + columnStart[first + 1]);
    mRowStart.push_back(static_cast<int>(mRow.size()));
    assert(Height(s) >= Width(s) && mRow[mRowStart[s] + Width(s) - 1] == mFirstColumn[s + 1] - 1 &&
           "a supernode's rows start with its own columns");
    mValueStart.push_back(mValueStart.back() +
                          static_cast<std::size_t>(Height(s)) * static_cast<std::size_t>(Width(s)));
    mGathered.resize(std::max(mGathered.size(), static_cast<std::size_t>(Height(s))));  // the tallest supernode
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
  for (int s = supernodes - 1; s >= 0; --s) {
    const int* rows = mRow.data() + mRowStart[s];
    const double* block = Block(s);
    for (int j = Width(s) - 1; j >= 0; --j) {
      const double* cj = block + static_cast<std::size_t>(j) * Height(s);
      double v = x[rows[j]];
      for (int i = j + 1; i < Height(s); ++i) v = v - cj[i] * x[rows[i]];
      x[rows[j]] = v / cj[j];
    }
  }
}
