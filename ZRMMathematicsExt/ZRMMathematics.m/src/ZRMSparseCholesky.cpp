// Normal matrix, up-looking sparse Cholesky factorization and triangular solves.
#include "ZRMSparseCholesky.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// Our choice: columns of at least this many entries on consecutive rows take the loops over
// plain arrays. On shorter ones the vector loads of values just stored cost more than the row
// numbers they save.
constexpr int kLongColumn = 16;

// Whether a column's rows (count of them) are consecutive and it is long.
bool IsLongBand(const int* rows, int count) { return count >= kLongColumn && rows[count - 1] - rows[0] == count - 1; }

// Sorts a short list of distinct numbers ascending (the columns of one row of A^T A: a few,
// mostly in order already).
void SortShort(int* begin, int* end) {
  if (end - begin > 32) {
    std::sort(begin, end);
    return;
  }
  for (int* i = begin; i != end; ++i) {
    const int number = *i;
    int* j = i;
    for (; j != begin && *(j - 1) > number; --j) *j = *(j - 1);
    *j = number;  // begin .. i ascending
  }
}

}  // namespace

// Row c gathers, over the rows r of column c (ascending), A[r][c] * A[r][c'] for the entries
// c' < c of row r (a column met for the first time in row c starts at 0.0), and the diagonal
// A[r][c] * A[r][c] (0.0 for an empty column).
void FormNormalMatrix(const CompressedRows& rows, const CompressedRows& columns, CompressedRows& lower,
                      std::vector<int>& mark, std::vector<double>& sum) {
  const int n = columns.RowCount();
  mark.assign(static_cast<std::size_t>(n), -1);
  sum.resize(static_cast<std::size_t>(n));
  lower.Clear();
  lower.Reserve(n, rows.EntryCount());  // an estimate of the entries
  std::vector<int> touched;
  for (int c = 0; c < n; ++c) {
    touched.clear();
    double diagonal = 0.0;
    for (int slot = columns.Begin(c); slot < columns.End(c); ++slot) {
      const double a = columns.mValue[slot];
      int e = rows.Begin(columns.mIndex[slot]);
      for (; rows.mIndex[e] < c; ++e) {  // row r holds c: the loop ends on it
        const int other = rows.mIndex[e];
        if (mark[other] == c) {
          sum[other] = sum[other] + a * rows.mValue[e];
        } else {
          sum[other] = 0.0 + a * rows.mValue[e];
          mark[other] = c;
          touched.push_back(other);
        }
      }
      diagonal = diagonal + a * rows.mValue[e];
    }
    SortShort(touched.data(), touched.data() + touched.size());
    for (const int other : touched) lower.Append(other, sum[other]);
    lower.Append(c, diagonal);
    lower.EndRow();
  }
}

// The rows' patterns are the columns' rows transposed: visiting the columns in ascending order
// appends each row's columns ascending.
void SparseCholesky::Analyze(const FactorPattern& pattern) {
  const int n = pattern.Size();
  const std::vector<int>& columnStart = pattern.ColumnStart();
  const std::vector<int>& columnRow = pattern.ColumnRow();
  mColumnStart = columnStart;
  mPatternStart.assign(static_cast<std::size_t>(n) + 1, 0);
  for (const int row : columnRow) ++mPatternStart[row + 1];
  for (int k = 0; k < n; ++k) mPatternStart[k + 1] += mPatternStart[k];
  mPatternColumn.resize(columnRow.size());
  mFill.assign(mPatternStart.begin(), mPatternStart.end() - 1);
  for (int j = 0; j < n; ++j)
    for (int e = columnStart[j]; e < columnStart[j + 1]; ++e) mPatternColumn[mFill[columnRow[e]]++] = j;
}

CholeskyStatus SparseCholesky::Factorize(const CompressedRows& lower, LowerFactor& factor) {
  StartFactor(lower, factor);
  for (int k = 0; k < lower.RowCount(); ++k) {
    SolveRow(lower, k, factor);
    const double pivot = FinishRow(lower, k, factor);
    if (!IsAccepted(pivot)) {
      factor.Clear();
      return CholeskyStatus::NotPositiveDefinite;
    }
    TakePivot(k, pivot, factor);
  }
  return CholeskyStatus::Success;
}

void SparseCholesky::FactorizeRevealingRank(const CompressedRows& lower, double relative, LowerFactor& factor,
                                            std::vector<int>& dropped, CompressedRows& droppedRows) {
  StartFactor(lower, factor);
  dropped.clear();
  droppedRows.Clear();
  for (int k = 0; k < lower.RowCount(); ++k) {
    SolveRow(lower, k, factor);
    const double pivot = FinishRow(lower, k, factor);
    const double diagonal = lower.mValue[lower.End(k) - 1];
    if (IsAccepted(pivot) && pivot > relative * diagonal) {
      TakePivot(k, pivot, factor);
      continue;
    }
    factor.mDiagonal.push_back(0.0);  // column k taken out: its inverse stays 0.0
    dropped.push_back(k);
    for (const int column : Pattern(k)) droppedRows.Append(column, mWork[column]);
    droppedRows.EndRow();
  }
}

void SparseCholesky::StartFactor(const CompressedRows& lower, LowerFactor& factor) {
  const int n = lower.RowCount();
  assert(static_cast<int>(mPatternStart.size()) == n + 1 && "Factorize after Analyze");
  factor.mStart = mColumnStart;
  factor.mRow.resize(static_cast<std::size_t>(mColumnStart[n]));
  factor.mValue.resize(static_cast<std::size_t>(mColumnStart[n]));
  factor.mDiagonal.clear();
  factor.mDiagonal.reserve(static_cast<std::size_t>(n));
  mFill.assign(mColumnStart.begin(), mColumnStart.end() - 1);  // every column empty
  mInverseDiagonal.assign(static_cast<std::size_t>(n), 0.0);
  mWork.assign(static_cast<std::size_t>(n), 0.0);
}

void SparseCholesky::SolveRow(const CompressedRows& lower, int k, const LowerFactor& factor) {
  for (const int column : Pattern(k)) mWork[column] = 0.0;
  for (int e = lower.Begin(k); e < lower.End(k) - 1; ++e)
    mWork[lower.mIndex[e]] = lower.mValue[e] * mInverseDiagonal[lower.mIndex[e]];
  for (const int column : Pattern(k)) {
    const double x = mWork[column];  // final: L[k][column]
    const int begin = factor.mStart[column];
    const int count = mFill[column] - begin;  // the rows < k of the column
    if (count == 0) continue;
    const int* rows = factor.mRow.data() + begin;
    if (IsLongBand(rows, count))
      UpdateByConsecutiveColumn(rows[0], factor.mValue.data() + begin, count, x, mInverseDiagonal.data(), mWork.data());
    else
      UpdateByColumn(rows, factor.mValue.data() + begin, count, x, mInverseDiagonal.data(), mWork.data());
  }
}

void UpdateByColumn(const int* rows, const double* values, int count, double x, const double* inverse, double* work) {
  for (int e = 0; e < count; ++e) work[rows[e]] = work[rows[e]] - (x * values[e]) * inverse[rows[e]];
}

void UpdateByConsecutiveColumn(int first, const double* values, int count, double x, const double* inverse,
                               double* work) {
  double* target = work + first;
  const double* scale = inverse + first;
  for (int t = 0; t < count; ++t) target[t] = target[t] - (x * values[t]) * scale[t];
}

double SparseCholesky::FinishRow(const CompressedRows& lower, int k, LowerFactor& factor) {
  double d = lower.mValue[lower.End(k) - 1];
  for (const int column : Pattern(k)) {
    const double x = mWork[column];
    d = d - x * x;
    const int slot = mFill[column]++;  // column's rows ascend: k is the highest so far
    factor.mRow[slot] = k;
    factor.mValue[slot] = x;
  }
  return d;
}

bool SparseCholesky::IsAccepted(double pivot) { return pivot > 0.0 && std::isfinite(pivot); }

void SparseCholesky::TakePivot(int k, double pivot, LowerFactor& factor) {
  factor.mDiagonal.push_back(std::sqrt(pivot));
  mInverseDiagonal[k] = 1.0 / factor.mDiagonal[k];
}

void SolveCholesky(const LowerFactor& factor, double* x) {
  const int n = factor.Size();
  for (int j = 0; j < n; ++j) {  // column by column: x[i] receives its subtractions in ascending j
    x[j] = x[j] / factor.mDiagonal[j];
    const int begin = factor.mStart[j];
    const int count = factor.mStart[j + 1] - begin;
    const int* rows = factor.mRow.data() + begin;
    if (IsLongBand(rows, count))
      SubtractConsecutiveColumn(rows[0], factor.mValue.data() + begin, count, x[j], x);
    else
      SubtractColumn(rows, factor.mValue.data() + begin, count, x[j], x);
  }
  for (int i = n - 1; i >= 0; --i) {
    const int begin = factor.mStart[i];
    const int count = factor.mStart[i + 1] - begin;
    const int* rows = factor.mRow.data() + begin;
    const double value = IsLongBand(rows, count)
                             ? DotConsecutiveColumn(x[i], rows[0], factor.mValue.data() + begin, count, x)
                             : DotColumn(x[i], rows, factor.mValue.data() + begin, count, x);
    x[i] = value / factor.mDiagonal[i];
  }
}

void SubtractColumn(const int* rows, const double* values, int count, double xj, double* x) {
  for (int e = 0; e < count; ++e) x[rows[e]] = x[rows[e]] - values[e] * xj;
}

void SubtractConsecutiveColumn(int first, const double* values, int count, double xj, double* x) {
  double* target = x + first;
  for (int t = 0; t < count; ++t) target[t] = target[t] - values[t] * xj;
}

double DotColumn(double value, const int* rows, const double* values, int count, const double* x) {
  for (int e = 0; e < count; ++e) value = value - values[e] * x[rows[e]];
  return value;
}

double DotConsecutiveColumn(double value, int first, const double* values, int count, const double* x) {
  const double* source = x + first;
  for (int t = 0; t < count; ++t) value = value - values[t] * source[t];
  return value;
}
