// Sparse up-looking Cholesky factorization with the identity ordering, and its triangular solve.
#include "ZRMSparseCholesky.h"

#include "ZRMCheck.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* kReportedPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";
constexpr int kNotPositiveDefiniteLine = 186;

using Entry = std::pair<int, double>;

// Sorts a working list by SparseEntryLess and drops repeated (index, value) entries.
void SortEntries(std::vector<Entry>& entries) {
  std::sort(entries.begin(), entries.end(), SparseEntryLess<Entry>);
  entries.erase(std::unique(entries.begin(), entries.end(), SparseEntrySame<Entry>), entries.end());
}

// Reports the rejected matrix once and leaves the empty factor.
bool Reject(CompressedFactor& factor) {
  ZRMReportCheck(false, "false", "Not positive definite matrix (or ill-conditioned)", kReportedPath,
                 kNotPositiveDefiniteLine);
  factor.Clear();
  return false;
}

// True when every row is non-empty, ascends strictly by column and ends with its diagonal.
bool HasLowerTriangleShape(const CompressedRows& lower) {
  for (int row = 0; row < lower.RowCount(); ++row) {
    const int begin = lower.mStart[row];
    const int end = lower.mStart[row + 1];
    if (begin == end || lower.mIndex[end - 1] != row || lower.mIndex[begin] < 0) return false;
    for (int e = begin + 1; e < end; ++e)
      if (lower.mIndex[e - 1] >= lower.mIndex[e]) return false;
  }
  return true;
}

// Copies a working list into a sparse vector.
void StoreEntries(const Entry* begin, const Entry* end, SparseVector& target) {
  target.Clear();
  ReserveAtOnce(target, static_cast<int>(end - begin));
  for (const Entry* entry = begin; entry != end; ++entry) target.PushBack(ZRMUtMakePair(entry->first, entry->second));
}

// Row-by-row factorization written straight into the factor: row k of L is the sparse
// triangular solve of row k of the matrix against rows 0..k-1, in ascending column order.
//
// Our choice: the pattern of every row is found first, by walking the elimination tree (the
// parent of column j is the first row below j that reaches it) from the row's own columns; this
// is the same set as the closure over the column lists, found in time proportional to its
// size. The patterns give the exact length of every column, so the factor is sized once and
// each finished row is written into its columns in place.
class UpLookingCholesky {
public:
  UpLookingCholesky(const CompressedRows& lower, CompressedFactor& factor, CholeskyWorkspace& workspace)
      : mLower(lower), mSize(lower.RowCount()), mFactor(factor), mWorkspace(workspace) {
    AssignWithRoom(workspace.mInverseDiagonal, static_cast<std::size_t>(mSize), 0.0);
    AssignWithRoom(workspace.mWork, static_cast<std::size_t>(mSize), 0.0);
  }

  // Computes every row; false at the first pivot that is not a finite positive number.
  bool Run() {
    StorePatterns();
    for (int k = 0; k < mSize; ++k) {
      SolveRow(k);
      if (!FinishRow(k)) return false;
    }
    return true;
  }

private:
  // The pattern of every row of L, and the factor sized for it: column starts final, every
  // column empty (its fill at its start).
  void StorePatterns() {
    CholeskyWorkspace& w = mWorkspace;
    AssignWithRoom(w.mParent, static_cast<std::size_t>(mSize), -1);
    AssignWithRoom(w.mVisited, static_cast<std::size_t>(mSize), -1);
    MakeRoom(w.mRowStart, static_cast<std::size_t>(mSize) + 1);
    w.mRowStart.assign(1, 0);
    w.mRowColumn.clear();
    AssignWithRoom(mFactor.mStart, static_cast<std::size_t>(mSize) + 1, 0);
    for (int k = 0; k < mSize; ++k) {
      AppendPattern(k);
      const int end = static_cast<int>(w.mRowColumn.size());  // named, as in CompressedRows::EndRow
      w.mRowStart.push_back(end);
      for (const int column : Pattern(k)) ++mFactor.mStart[column + 1];
    }
    LayOutRows(mFactor.mStart, mFactor.mRow, mFactor.mValue, w.mFill);  // the columns of L
    MakeRoom(mFactor.mDiagonal, static_cast<std::size_t>(mSize));
    mFactor.mDiagonal.clear();
  }

  // Appends to mRowColumn the columns j < k with L[k][j] structurally non-zero, ascending: the
  // tree paths from the row's own columns up to the first column already met; columns without
  // a parent get k.
  void AppendPattern(int k) {
    std::vector<int>& parent = mWorkspace.mParent;
    std::vector<int>& visited = mWorkspace.mVisited;
    std::vector<int>& pattern = mWorkspace.mRowColumn;
    const std::size_t first = pattern.size();
    visited[k] = k;
    for (int e = mLower.mStart[k]; e < mLower.mStart[k + 1] - 1; ++e)
      for (int column = mLower.mIndex[e]; visited[column] != k; column = parent[column]) {
        if (parent[column] < 0) parent[column] = k;
        visited[column] = k;
        pattern.push_back(column);
      }
    SortDistinct(pattern.data() + first, pattern.data() + pattern.size());
  }

  // The pattern of row k.
  ElementRange<const int> Pattern(int k) const {
    const int* columns = mWorkspace.mRowColumn.data();
    return {columns + mWorkspace.mRowStart[k], columns + mWorkspace.mRowStart[k + 1]};
  }

  // Values of row k over its pattern (mWork): scatter of the matrix row scaled by the inverse
  // diagonal, then the triangular solve in ascending column order against the rows of each
  // column done so far.
  void SolveRow(int k) {
    double* work = mWorkspace.mWork.data();
    const double* inverseDiagonal = mWorkspace.mInverseDiagonal.data();
    const int* rows = mFactor.mRow.data();
    const double* values = mFactor.mValue.data();
    const auto pattern = Pattern(k);
    for (const int column : pattern) work[column] = 0.0;
    for (int e = mLower.mStart[k]; e < mLower.mStart[k + 1] - 1; ++e)
      work[mLower.mIndex[e]] = mLower.mValue[e] * inverseDiagonal[mLower.mIndex[e]];
    for (const int column : pattern) {
      const double x = work[column];  // final: L[k][column]
      const int begin = mFactor.mStart[column];
      const int end = mWorkspace.mFill[column];
      if (begin == end) continue;
      const int first = rows[begin];
      if (rows[end - 1] - first == end - 1 - begin)
        UpdateConsecutiveRows(work + first, inverseDiagonal + first, values + begin, end - begin, x);
      else
        for (int e = begin; e < end; ++e) work[rows[e]] = work[rows[e]] - (x * values[e]) * inverseDiagonal[rows[e]];
    }
  }

  // The update by a column whose rows are consecutive, from work[0] on: the same arithmetic
  // over plain arrays, which the compiler may vectorise (each lane rounds like the scalar code).
  static void UpdateConsecutiveRows(double* __restrict work, const double* __restrict inverseDiagonal,
                                    const double* __restrict values, int count, double x) {
    for (int t = 0; t < count; ++t) work[t] = work[t] - (x * values[t]) * inverseDiagonal[t];
  }

  // Diagonal of row k and the pivot test; writes row k into its columns.
  bool FinishRow(int k) {
    const double* work = mWorkspace.mWork.data();
    double d = mLower.mValue[mLower.mStart[k + 1] - 1];
    for (const int column : Pattern(k)) {
      const double x = work[column];
      d = d - x * x;
      const int slot = mWorkspace.mFill[column]++;
      mFactor.mRow[slot] = k;
      mFactor.mValue[slot] = x;
    }
    if (!(d > 0.0) || !std::isfinite(d)) return false;  // NaN, infinite, zero or negative pivot
    const double diagonal = std::sqrt(d);  // named: the division below need not read it back
    mFactor.mDiagonal.push_back(diagonal);
    mWorkspace.mInverseDiagonal[k] = 1.0 / diagonal;
    return true;
  }

  const CompressedRows& mLower;
  const int mSize;
  CompressedFactor& mFactor;  // columns filled up to mWorkspace.mFill: the rows done
  CholeskyWorkspace& mWorkspace;
};

// Lower triangle of the symmetric matrix given by rows, each row sorted; false when an entry
// names a column outside the matrix.
bool RedistributeLower(const ZRMUtVector<SparseVector>& rows, CompressedRows& lower) {
  const int n = static_cast<int>(rows.Size());
  std::vector<int> ordering(n);
  for (int i = 0; i < n; ++i) ordering[i] = i;
  std::vector<std::vector<Entry>> working(n);
  for (int i = 0; i < n; ++i) {
    const SparseVector& row = rows[i];
    for (int e = 0; e < static_cast<int>(row.Size()); ++e) {
      const int column = row[e].first;
      if (column < 0 || column >= n) return false;
      working[std::max(ordering[i], ordering[column])].emplace_back(std::min(ordering[i], ordering[column]),
                                                                    row[e].second);
    }
  }
  for (std::vector<Entry>& row : working) {
    SortEntries(row);
    for (const Entry& entry : row) lower.Append(entry.first, entry.second);
    lower.EndRow();
  }
  return true;
}

// y[t] - l[t] * value for the entries l of a column whose rows are consecutive, from y[0] on
// (a loop the compiler may vectorise; each lane rounds like the scalar code).
void SubtractFromConsecutive(double* __restrict y, const double* __restrict l, int count, double value) {
  for (int t = 0; t < count; ++t) y[t] = y[t] - l[t] * value;
}

// value - l[0] * y[0] - l[1] * y[1] - ..., subtracted in that order, for the entries l of a
// column whose rows are consecutive, from y[0] on (their row numbers are not read).
double SubtractDotOfConsecutive(double value, const double* y, const double* l, int count) {
  for (int t = 0; t < count; ++t) value = value - l[t] * y[t];
  return value;
}

// L * z = y in place. Our choice: column by column (y[j] is final once the columns before j are
// done, then L[i][j] * y[j] leaves every y[i] below), reading only the columns of L, which the
// backward pass reads too. Each y[i] still receives its subtractions in ascending j and the
// same products as row by row, so the result is bit for bit the same. With kCarry, when column
// j reaches row j + 1, that row's new value is also kept in a register (next), so that the
// division of the following column does not wait for it to go through memory.
template <bool kCarry>
void SolveLower(const CompressedFactor& factor, double* y) {
  const int* rows = factor.mRow.data();
  const double* values = factor.mValue.data();
  double next = 0.0;
  bool nextKept = false;  // next == y[j] at the top of the loop
  for (int j = 0; j < factor.Size(); ++j) {
    const double yj = (nextKept ? next : y[j]) / factor.mDiagonal[j];
    y[j] = yj;
    int begin = factor.mStart[j];
    const int end = factor.mStart[j + 1];
    if constexpr (kCarry) {
      nextKept = begin < end && rows[begin] == j + 1;
      if (nextKept) {
        next = y[j + 1] - values[begin] * yj;
        y[j + 1] = next;
        ++begin;
      }
    }
    if (begin == end) continue;
    const int first = rows[begin];
    if (rows[end - 1] - first == end - 1 - begin)
      SubtractFromConsecutive(y + first, values + begin, end - begin, yj);
    else
      for (int e = begin; e < end; ++e) y[rows[e]] = y[rows[e]] - values[e] * yj;
  }
}

// L^T * w = z in place, from the last row up, through the columns of L (entries in ascending
// row order). With kCarry, the value of row i + 1, just computed, is taken from a register
// (previous). Our choice: a column of 32 or more further entries on consecutive rows is read
// without its row numbers, whose loads would otherwise stand between the processor and the
// values of a long band (grid 100: half the time); shorter columns are not worth the test.
template <bool kCarry>
void SolveUpper(const CompressedFactor& factor, double* y) {
  const int* rows = factor.mRow.data();
  const double* values = factor.mValue.data();
  double previous = 0.0;  // y[i + 1] once computed
  for (int i = factor.Size() - 1; i >= 0; --i) {
    double value = y[i];
    int e = factor.mStart[i];
    const int end = factor.mStart[i + 1];
    if constexpr (kCarry) {
      if (e < end && rows[e] == i + 1) value = value - values[e++] * previous;
    }
    if (end - e >= 32 && rows[end - 1] - rows[e] == end - 1 - e)
      value = SubtractDotOfConsecutive(value, y + rows[e], values + e, end - e);
    else
      for (; e < end; ++e) value = value - values[e] * y[rows[e]];
    previous = value / factor.mDiagonal[i];
    y[i] = previous;
  }
}

// Number of columns j whose first entry is on row j + 1.
int CountColumnsReachingNextRow(const CompressedFactor& factor) {
  int count = 0;
  for (int j = 0; j < factor.Size(); ++j)
    count += factor.mStart[j] < factor.mStart[j + 1] && factor.mRow[factor.mStart[j]] == j + 1 ? 1 : 0;
  return count;
}

// The columns and diagonal of a record as a compressed factor.
CompressedFactor Compress(const CholeskyFactor& record) {
  CompressedFactor factor;
  for (const SparseVector& column : Elements(record.mColumns)) {
    for (const auto& entry : Elements(column)) {
      factor.mRow.push_back(entry.first);
      factor.mValue.push_back(entry.second);
    }
    factor.mStart.push_back(static_cast<int>(factor.mRow.size()));
  }
  for (const double d : Elements(record.mDiagonal)) factor.mDiagonal.push_back(d);
  factor.mColumnsReachingNextRow = CountColumnsReachingNextRow(factor);
  return factor;
}

}  // namespace

void SortSparseVector(SparseVector& entries) {
  std::vector<Entry> sorted;
  sorted.reserve(entries.Size());
  for (int e = 0; e < static_cast<int>(entries.Size()); ++e) sorted.emplace_back(entries[e].first, entries[e].second);
  SortEntries(sorted);
  StoreEntries(sorted.data(), sorted.data() + sorted.size(), entries);
}

bool FactorLowerTriangle(const CompressedRows& lower, CompressedFactor& factor, CholeskyWorkspace& workspace) {
  if (!HasLowerTriangleShape(lower)) return Reject(factor);
  if (!UpLookingCholesky(lower, factor, workspace).Run()) return Reject(factor);
  factor.mColumnsReachingNextRow = CountColumnsReachingNextRow(factor);
  return true;
}

void StoreFactor(const CompressedFactor& factor, CholeskyFactor& record) {
  const int n = factor.Size();
  record.mRows = ZRMUtVector<SparseVector>::WithCapacity(n);
  record.mColumns = ZRMUtVector<SparseVector>::WithCapacity(n);
  record.mDiagonal = ZRMUtVector<double>::WithCapacity(n);
  record.mPermutation = ZRMUtVector<int>::WithCapacity(n);
  std::vector<int> rowLength(static_cast<std::size_t>(n), 0);
  for (int e = 0; e < factor.mStart[n]; ++e) ++rowLength[factor.mRow[e]];
  for (int k = 0; k < n; ++k) {
    record.mRows.PushBack(SparseVector::WithCapacity(rowLength[k]));
    record.mDiagonal.PushBack(factor.mDiagonal[k]);
    record.mPermutation.PushBack(k);
  }
  for (int j = 0; j < n; ++j) {
    SparseVector column = SparseVector::WithCapacity(factor.mStart[j + 1] - factor.mStart[j]);
    for (int e = factor.mStart[j]; e < factor.mStart[j + 1]; ++e) {
      column.PushBack(ZRMUtMakePair(factor.mRow[e], factor.mValue[e]));
      record.mRows[factor.mRow[e]].PushBack(ZRMUtMakePair(j, factor.mValue[e]));  // ascending j
    }
    record.mColumns.PushBack(std::move(column));
  }
}

CholeskyFactor FactorCholesky(const ZRMUtVector<SparseVector>& rows) {
  CompressedFactor factor;
  CompressedRows lower;
  if (!RedistributeLower(rows, lower))
    Reject(factor);
  else {
    CholeskyWorkspace workspace;
    FactorLowerTriangle(lower, factor, workspace);
  }
  CholeskyFactor record;
  StoreFactor(factor, record);
  return record;
}

bool SolveCholesky(const CholeskyFactor& record, std::vector<double>& x) {
  return SolveCholesky(Compress(record), x);
}

bool SolveCholesky(const CompressedFactor& factor, std::vector<double>& x) {
  if (static_cast<int>(x.size()) != factor.Size()) return false;
  if (factor.CarriesNextRow()) {
    SolveLower<true>(factor, x.data());
    SolveUpper<true>(factor, x.data());
  } else {
    SolveLower<false>(factor, x.data());
    SolveUpper<false>(factor, x.data());
  }
  return true;
}
