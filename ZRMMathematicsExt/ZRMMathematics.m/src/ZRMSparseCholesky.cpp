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

// Replaces factor by the empty record.
void ClearFactor(CholeskyFactor& factor) {
  factor.mRows.Clear();
  factor.mColumns.Clear();
  factor.mDiagonal.Clear();
  factor.mPermutation.Clear();
}

// Reports the rejected matrix once and leaves the empty record.
bool Reject(CholeskyFactor& factor) {
  ZRMReportCheck(false, "false", "Not positive definite matrix (or ill-conditioned)", kReportedPath,
                 kNotPositiveDefiniteLine);
  ClearFactor(factor);
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
// size. The patterns are stored as the rows of L (values filled in later) and give the exact
// length of every column, so the rows and columns of L are reserved once and no working copy
// of L exists.
class UpLookingCholesky {
public:
  UpLookingCholesky(const CompressedRows& lower, CholeskyFactor& factor, CholeskyWorkspace& workspace)
      : mLower(lower),
        mSize(lower.RowCount()),
        mFactor(factor),
        mInverseDiagonal(workspace.mInverseDiagonal),
        mWork(workspace.mWork),
        mWorkspace(workspace) {
    AssignWithRoom(mInverseDiagonal, static_cast<std::size_t>(mSize), 0.0);
    AssignWithRoom(mWork, static_cast<std::size_t>(mSize), 0.0);
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
  // Rows of L with their columns (values 0.0 for now), the identity ordering, and room for
  // every column of L. The rows and columns of the factor replaced are rebuilt in place.
  void StorePatterns() {
    SparseVectorListRebuild rows(mFactor.mRows);
    SparseVectorListRebuild columns(mFactor.mColumns);
    mFactor.mDiagonal.Clear();
    mFactor.mPermutation.Clear();
    rows.Reserve(mSize);
    ReserveAtOnce(mFactor.mDiagonal, mSize);
    ReserveAtOnce(mFactor.mPermutation, mSize);
    std::vector<int>& parent = mWorkspace.mParent;
    std::vector<int>& visited = mWorkspace.mVisited;
    std::vector<int>& columnLength = mWorkspace.mColumnLength;
    std::vector<int>& pattern = mWorkspace.mPattern;
    AssignWithRoom(parent, static_cast<std::size_t>(mSize), -1);
    AssignWithRoom(visited, static_cast<std::size_t>(mSize), -1);
    AssignWithRoom(columnLength, static_cast<std::size_t>(mSize), 0);
    for (int k = 0; k < mSize; ++k) {
      FindPattern(k, parent, visited, pattern);
      SparseVector& row = rows.Append(static_cast<int>(pattern.size()));
      for (const int column : pattern) {
        row.PushBack(ZRMUtMakePair(column, 0.0));
        ++columnLength[column];
      }
      mFactor.mPermutation.PushBack(k);
    }
    columns.Reserve(mSize);
    for (int j = 0; j < mSize; ++j) columns.Append(columnLength[j]);
  }

  // Columns j < k with L[k][j] structurally non-zero, ascending: the tree paths from the row's
  // own columns up to the first column already met; columns without a parent get k.
  void FindPattern(int k, std::vector<int>& parent, std::vector<int>& visited, std::vector<int>& pattern) const {
    pattern.clear();
    visited[k] = k;
    for (int e = mLower.mStart[k]; e < mLower.mStart[k + 1] - 1; ++e)
      for (int column = mLower.mIndex[e]; visited[column] != k; column = parent[column]) {
        if (parent[column] < 0) parent[column] = k;
        visited[column] = k;
        pattern.push_back(column);
      }
    std::sort(pattern.begin(), pattern.end());
  }

  // Values of row k over its pattern (mWork): scatter of the matrix row scaled by the inverse
  // diagonal, then the triangular solve in ascending column order.
  void SolveRow(int k) {
    const auto row = Elements(mFactor.mRows[k]);
    for (const auto& entry : row) mWork[entry.first] = 0.0;
    for (int e = mLower.mStart[k]; e < mLower.mStart[k + 1] - 1; ++e)
      mWork[mLower.mIndex[e]] = mLower.mValue[e] * mInverseDiagonal[mLower.mIndex[e]];
    for (const auto& entry : row) {
      const double x = mWork[entry.first];  // final: L[k][column]
      const auto column = Elements(mFactor.mColumns[entry.first]);
      if (column.Size() == 0) continue;
      const int first = column.begin()->first;
      if (column.end()[-1].first - first == column.Size() - 1)
        UpdateConsecutiveRows(mWork.data() + first, mInverseDiagonal.data() + first, column.begin(), column.Size(), x);
      else
        for (const auto& below : column)
          mWork[below.first] = mWork[below.first] - (x * below.second) * mInverseDiagonal[below.first];
    }
  }

  // The update by a column whose rows are consecutive, from work[0] on: the same arithmetic
  // over plain arrays, which the compiler may vectorise (each lane rounds like the scalar code).
  static void UpdateConsecutiveRows(double* __restrict work, const double* __restrict inverseDiagonal,
                                    const ZRMUtPair<int, double>* __restrict entries, int count, double x) {
    for (int t = 0; t < count; ++t) work[t] = work[t] - (x * entries[t].second) * inverseDiagonal[t];
  }

  // Diagonal of row k and the pivot test; fills in row k and appends it to the columns.
  bool FinishRow(int k) {
    double d = mLower.mValue[mLower.mStart[k + 1] - 1];
    const auto row = Elements(mFactor.mRows[k]);
    for (auto& entry : row) {
      const double x = mWork[entry.first];
      d = d - x * x;
      entry.second = x;
    }
    if (!(d > 0.0) || !std::isfinite(d)) return false;  // NaN, infinite, zero or negative pivot
    mFactor.mDiagonal.PushBack(std::sqrt(d));
    mInverseDiagonal[k] = 1.0 / mFactor.mDiagonal[k];
    for (const auto& entry : row) mFactor.mColumns[entry.first].PushBack(ZRMUtMakePair(k, entry.second));
    return true;
  }

  const CompressedRows& mLower;
  const int mSize;
  CholeskyFactor& mFactor;                // rows: patterns, then values; columns: the rows done
  std::vector<double>& mInverseDiagonal;  // 1 / L[j][j] once row j is done
  std::vector<double>& mWork;             // L[k][j] of the current row, on its pattern
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

using FactorEntry = ZRMUtPair<int, double>;

// y[t] - l_t * value for the entries l_t of a column whose rows are consecutive, from y[0] on
// (a loop the compiler may vectorise; each lane rounds like the scalar code).
void SubtractFromConsecutive(double* __restrict y, const FactorEntry* __restrict entries, int count, double value) {
  for (int t = 0; t < count; ++t) y[t] = y[t] - entries[t].second * value;
}

// value - l * y[j] for every entry (j, l) from begin to end, in that order.
double SubtractEntries(double value, const FactorEntry* begin, const FactorEntry* end, const double* y) {
  for (const FactorEntry* entry = begin; entry != end; ++entry) value = value - entry->second * y[entry->first];
  return value;
}

// L * z = y in place. Our choice: column by column (y[j] is final once the columns before j are
// done, then L[i][j] * y[j] leaves every y[i] below), reading only the columns of L, which the
// backward pass reads too. Each y[i] still receives its subtractions in ascending j and the
// same products as row by row, so the result is bit for bit the same.
void SolveLower(const CholeskyFactor& factor, std::vector<double>& y) {
  const auto columns = Elements(factor.mColumns);
  const double* diagonal = Elements(factor.mDiagonal).begin();
  for (int j = 0; j < columns.Size(); ++j) {
    const double yj = y[j] / diagonal[j];
    y[j] = yj;
    const auto column = Elements(columns.begin()[j]);
    if (column.Size() == 0) continue;
    const int first = column.begin()->first;
    if (column.end()[-1].first - first == column.Size() - 1)
      SubtractFromConsecutive(y.data() + first, column.begin(), column.Size(), yj);
    else
      for (const FactorEntry& entry : column) y[entry.first] = y[entry.first] - entry.second * yj;
  }
}

// L^T * w = z in place, from the last row up, through the columns of L.
void SolveUpper(const CholeskyFactor& factor, std::vector<double>& y) {
  const auto columns = Elements(factor.mColumns);
  const double* diagonal = Elements(factor.mDiagonal).begin();
  for (int i = columns.Size() - 1; i >= 0; --i) {
    const auto column = Elements(columns.begin()[i]);
    y[i] = SubtractEntries(y[i], column.begin(), column.end(), y.data()) / diagonal[i];
  }
}

}  // namespace

void SortSparseVector(SparseVector& entries) {
  std::vector<Entry> sorted;
  sorted.reserve(entries.Size());
  for (int e = 0; e < static_cast<int>(entries.Size()); ++e) sorted.emplace_back(entries[e].first, entries[e].second);
  SortEntries(sorted);
  StoreEntries(sorted.data(), sorted.data() + sorted.size(), entries);
}

bool FactorLowerTriangle(const CompressedRows& lower, CholeskyFactor& factor, CholeskyWorkspace& workspace) {
  if (!HasLowerTriangleShape(lower)) return Reject(factor);
  if (!UpLookingCholesky(lower, factor, workspace).Run()) return Reject(factor);
  return true;
}

CholeskyFactor FactorCholesky(const ZRMUtVector<SparseVector>& rows) {
  CholeskyFactor factor;
  CompressedRows lower;
  if (!RedistributeLower(rows, lower)) {
    Reject(factor);
    return factor;
  }
  CholeskyWorkspace workspace;
  FactorLowerTriangle(lower, factor, workspace);
  return factor;
}

bool SolveCholesky(const CholeskyFactor& factor, std::vector<double>& x) {
  std::vector<double> work;
  return SolveCholesky(factor, x, work);
}

bool SolveCholesky(const CholeskyFactor& factor, std::vector<double>& x, std::vector<double>& y) {
  const int n = static_cast<int>(factor.mRows.Size());
  if (static_cast<int>(x.size()) != n) return false;
  const auto permutation = Elements(factor.mPermutation);
  AssignWithRoom(y, static_cast<std::size_t>(n), 0.0);
  for (int i = 0; i < n; ++i) y[permutation.begin()[i]] = x[i];
  SolveLower(factor, y);
  SolveUpper(factor, y);
  for (int i = 0; i < n; ++i) x[i] = y[permutation.begin()[i]];
  return true;
}
