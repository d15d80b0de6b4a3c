// Normal matrix, up-looking sparse Cholesky factorization and triangular solves.
#include "ZRMSparseCholesky.h"

#include <algorithm>
#include <cassert>
#include <cmath>

// Row c gathers, over the rows r of column c (ascending), A[r][c] * A[r][c'] for the entries c'
// <= c of row r; a column met for the first time in row c starts at 0.0.
void FormNormalMatrix(const CompressedRows& rows, const CompressedRows& columns, CompressedRows& lower,
                      std::vector<int>& mark, std::vector<double>& sum) {
  const int n = columns.RowCount();
  mark.assign(static_cast<std::size_t>(n), -1);
  sum.resize(static_cast<std::size_t>(n));
  lower.Clear();
  std::vector<int> touched;
  for (int c = 0; c < n; ++c) {
    touched.clear();
    for (int slot = columns.Begin(c); slot < columns.End(c); ++slot) {
      const double a = columns.mValue[slot];
      const int r = columns.mIndex[slot];
      for (int e = rows.Begin(r); e < rows.End(r) && rows.mIndex[e] <= c; ++e) {
        const int other = rows.mIndex[e];
        if (mark[other] == c) {
          sum[other] = sum[other] + a * rows.mValue[e];
        } else {
          sum[other] = 0.0 + a * rows.mValue[e];
          mark[other] = c;
          touched.push_back(other);
        }
      }
    }
    std::sort(touched.begin(), touched.end());  // c last, when present
    for (const int other : touched) lower.Append(other, sum[other]);
    lower.EndRow();
  }
}

void SparseCholesky::Analyze(const CompressedRows& lower) {
  const int n = lower.RowCount();
  mParent.assign(static_cast<std::size_t>(n), -1);
  mVisited.assign(static_cast<std::size_t>(n), -1);
  mPatternStart.assign(1, 0);
  mPatternColumn.clear();
  mColumnStart.assign(static_cast<std::size_t>(n) + 1, 0);
  for (int k = 0; k < n; ++k) {
    AppendPattern(lower, k);
    mPatternStart.push_back(static_cast<int>(mPatternColumn.size()));
    for (const int column : Pattern(k)) ++mColumnStart[column + 1];
  }
  for (int j = 0; j < n; ++j) mColumnStart[j + 1] += mColumnStart[j];  // where each column of L starts
}

// The tree paths from the row's own columns up to the first column already met in this row;
// a column without a parent gets k. The set is the closure of the row's columns over the
// columns of L, found in time proportional to its size.
void SparseCholesky::AppendPattern(const CompressedRows& lower, int k) {
  assert(lower.Begin(k) < lower.End(k) && lower.mIndex[lower.End(k) - 1] == k && "each row ends with its diagonal");
  const auto first = static_cast<std::ptrdiff_t>(mPatternColumn.size());
  mVisited[k] = k;
  for (int e = lower.Begin(k); e < lower.End(k) - 1; ++e) {
    assert(lower.mIndex[e] < k && (e == lower.Begin(k) || lower.mIndex[e - 1] < lower.mIndex[e]) && "lower triangle");
    for (int column = lower.mIndex[e]; mVisited[column] != k; column = mParent[column]) {
      if (mParent[column] < 0) mParent[column] = k;
      mVisited[column] = k;
      mPatternColumn.push_back(column);
    }
  }
  std::sort(mPatternColumn.begin() + first, mPatternColumn.end());
}

CholeskyStatus SparseCholesky::Factorize(const CompressedRows& lower, LowerFactor& factor) {
  const int n = lower.RowCount();
  assert(static_cast<int>(mPatternStart.size()) == n + 1 && "Factorize after Analyze");
  factor.mStart = mColumnStart;
  factor.mRow.resize(static_cast<std::size_t>(mColumnStart[n]));
  factor.mValue.resize(static_cast<std::size_t>(mColumnStart[n]));
  factor.mDiagonal.clear();
  mFill.assign(mColumnStart.begin(), mColumnStart.end() - 1);  // every column empty
  mInverseDiagonal.assign(static_cast<std::size_t>(n), 0.0);
  mWork.assign(static_cast<std::size_t>(n), 0.0);
  for (int k = 0; k < n; ++k) {
    SolveRow(lower, k, factor);
    if (!FinishRow(lower, k, factor)) {
      factor.Clear();
      return CholeskyStatus::NotPositiveDefinite;
    }
  }
  return CholeskyStatus::Success;
}

void SparseCholesky::SolveRow(const CompressedRows& lower, int k, const LowerFactor& factor) {
  for (const int column : Pattern(k)) mWork[column] = 0.0;
  for (int e = lower.Begin(k); e < lower.End(k) - 1; ++e)
    mWork[lower.mIndex[e]] = lower.mValue[e] * mInverseDiagonal[lower.mIndex[e]];
  for (const int column : Pattern(k)) {
    const double x = mWork[column];  // final: L[k][column]
    for (int e = factor.mStart[column]; e < mFill[column]; ++e) {  // rows < k of the column
      const int i = factor.mRow[e];
      mWork[i] = mWork[i] - (x * factor.mValue[e]) * mInverseDiagonal[i];
    }
  }
}

bool SparseCholesky::FinishRow(const CompressedRows& lower, int k, LowerFactor& factor) {
  double d = lower.mValue[lower.End(k) - 1];
  for (const int column : Pattern(k)) {
    const double x = mWork[column];
    d = d - x * x;
    const int slot = mFill[column]++;  // column's rows ascend: k is the highest so far
    factor.mRow[slot] = k;
    factor.mValue[slot] = x;
  }
  if (!(d > 0.0) || !std::isfinite(d)) return false;  // zero, negative, NaN or infinite pivot
  factor.mDiagonal.push_back(std::sqrt(d));
  mInverseDiagonal[k] = 1.0 / factor.mDiagonal[k];
  return true;
}

void SolveCholesky(const LowerFactor& factor, double* x) {
  const int n = factor.Size();
  for (int j = 0; j < n; ++j) {  // column by column: x[i] receives its subtractions in ascending j
    x[j] = x[j] / factor.mDiagonal[j];
    for (int e = factor.mStart[j]; e < factor.mStart[j + 1]; ++e)
      x[factor.mRow[e]] = x[factor.mRow[e]] - factor.mValue[e] * x[j];
  }
  for (int i = n - 1; i >= 0; --i) {
    double value = x[i];
    for (int e = factor.mStart[i]; e < factor.mStart[i + 1]; ++e) value = value - factor.mValue[e] * x[factor.mRow[e]];
    x[i] = value / factor.mDiagonal[i];
  }
}
