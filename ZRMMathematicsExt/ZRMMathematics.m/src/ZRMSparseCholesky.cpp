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
  target.Reserve(static_cast<int>(end - begin));
  for (const Entry* entry = begin; entry != end; ++entry) target.PushBack(ZRMUtMakePair(entry->first, entry->second));
}

// Row-by-row factorization: row k of L is the sparse triangular solve of row k of the matrix
// against rows 0..k-1, over the pattern found by a search through the columns built so far.
class UpLookingCholesky {
public:
  explicit UpLookingCholesky(const CompressedRows& lower)
      : mLower(lower),
        mSize(lower.RowCount()),
        mColumnLists(mSize),
        mInverseDiagonal(mSize, 0.0),
        mDiagonal(mSize, 0.0),
        mWork(mSize, 0.0),
        mMarks(mSize, 0) {
    mRowsStart.reserve(mSize + 1);
    mRowsStart.push_back(0);
  }

  // Computes every row; false at the first pivot that is not a finite positive number.
  bool Run() {
    for (int k = 0; k < mSize; ++k) {
      FindPattern(k);
      SolveRow(k);
      if (!FinishRow(k)) return false;
    }
    return true;
  }

  // Writes rows, columns, diagonal and the identity ordering into factor.
  void Store(CholeskyFactor& factor) const {
    ClearFactor(factor);
    factor.mRows.Resize(mSize);
    factor.mColumns.Resize(mSize);
    factor.mDiagonal.Reserve(mSize);
    factor.mPermutation.Reserve(mSize);
    for (int k = 0; k < mSize; ++k) {
      StoreEntries(mRowEntries.data() + mRowsStart[k], mRowEntries.data() + mRowsStart[k + 1], factor.mRows[k]);
      StoreEntries(mColumnLists[k].data(), mColumnLists[k].data() + mColumnLists[k].size(), factor.mColumns[k]);
      factor.mDiagonal.PushBack(mDiagonal[k]);
      factor.mPermutation.PushBack(k);
    }
  }

private:
  // Pattern of row k: its own off-diagonal columns, closed over the column lists, ascending.
  // Marks are clear again on return.
  void FindPattern(int k) {
    const int begin = mLower.mStart[k];
    const int diagonal = mLower.mStart[k + 1] - 1;
    mPattern.clear();
    mPattern.reserve(2 * static_cast<std::size_t>(diagonal + 1 - begin));
    for (int e = begin; e < diagonal; ++e) {
      mMarks[mLower.mIndex[e]] = 1;
      mPattern.push_back(mLower.mIndex[e]);
    }
    for (std::size_t p = 0; p < mPattern.size(); ++p) {
      const int column = mPattern[p];
      for (const Entry& entry : mColumnLists[column]) {
        if (mMarks[entry.first]) continue;
        mMarks[entry.first] = 1;
        mPattern.push_back(entry.first);
      }
    }
    std::sort(mPattern.begin(), mPattern.end());
    for (const int column : mPattern) mMarks[column] = 0;
  }

  // Values of row k over its pattern (mWork): scatter of the matrix row scaled by the inverse
  // diagonal, then the triangular solve in ascending column order.
  void SolveRow(int k) {
    for (const int column : mPattern) mWork[column] = 0.0;
    for (int e = mLower.mStart[k]; e < mLower.mStart[k + 1] - 1; ++e)
      mWork[mLower.mIndex[e]] = mLower.mValue[e] * mInverseDiagonal[mLower.mIndex[e]];
    for (const int column : mPattern) {
      const double x = mWork[column];  // final: L[k][column]
      for (const Entry& entry : mColumnLists[column])
        mWork[entry.first] = mWork[entry.first] - (x * entry.second) * mInverseDiagonal[entry.first];
    }
  }

  // Diagonal of row k and the pivot test; appends row k to the rows and the column lists.
  bool FinishRow(int k) {
    double d = mLower.mValue[mLower.mStart[k + 1] - 1];
    for (const int column : mPattern) {
      const double x = mWork[column];
      d = d - x * x;
      mRowEntries.emplace_back(column, x);
    }
    mRowsStart.push_back(static_cast<int>(mRowEntries.size()));
    if (!(d > 0.0) || !std::isfinite(d)) return false;  // NaN, infinite, zero or negative pivot
    mDiagonal[k] = std::sqrt(d);
    mInverseDiagonal[k] = 1.0 / mDiagonal[k];
    for (const int column : mPattern) mColumnLists[column].emplace_back(k, mWork[column]);
    return true;
  }

  const CompressedRows& mLower;
  const int mSize;
  std::vector<std::vector<Entry>> mColumnLists;  // column j: (i, L[i][j]) of the rows done, ascending i
  std::vector<double> mInverseDiagonal;          // 1 / L[j][j] once row j is done
  std::vector<double> mDiagonal;                 // L[j][j]
  std::vector<double> mWork;                     // L[k][j] of the current row, on its pattern
  std::vector<unsigned char> mMarks;             // membership of the current pattern
  std::vector<int> mPattern;                     // columns j < k with L[k][j] structurally non-zero
  std::vector<Entry> mRowEntries;                // rows of L without the diagonal, one after another
  std::vector<int> mRowsStart;                   // row k occupies mRowsStart[k] .. mRowsStart[k + 1] - 1
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

}  // namespace

void SortSparseVector(SparseVector& entries) {
  std::vector<Entry> sorted;
  sorted.reserve(entries.Size());
  for (int e = 0; e < static_cast<int>(entries.Size()); ++e) sorted.emplace_back(entries[e].first, entries[e].second);
  SortEntries(sorted);
  StoreEntries(sorted.data(), sorted.data() + sorted.size(), entries);
}

bool FactorLowerTriangle(const CompressedRows& lower, CholeskyFactor& factor) {
  if (!HasLowerTriangleShape(lower)) return Reject(factor);
  UpLookingCholesky cholesky(lower);
  if (!cholesky.Run()) return Reject(factor);
  cholesky.Store(factor);
  return true;
}

CholeskyFactor FactorCholesky(const ZRMUtVector<SparseVector>& rows) {
  CholeskyFactor factor;
  CompressedRows lower;
  if (!RedistributeLower(rows, lower)) {
    Reject(factor);
    return factor;
  }
  FactorLowerTriangle(lower, factor);
  return factor;
}

bool SolveCholesky(const CholeskyFactor& factor, std::vector<double>& x) {
  const int n = static_cast<int>(factor.mRows.Size());
  if (static_cast<int>(x.size()) != n) return false;
  std::vector<double> y(n, 0.0);
  for (int i = 0; i < n; ++i) y[factor.mPermutation[i]] = x[i];
  for (int i = 0; i < n; ++i) {  // L * z = y
    const SparseVector& row = factor.mRows[i];
    for (int e = 0; e < static_cast<int>(row.Size()); ++e) y[i] = y[i] - row[e].second * y[row[e].first];
    y[i] = y[i] / factor.mDiagonal[i];
  }
  for (int i = n - 1; i >= 0; --i) {  // L^T * w = z
    const SparseVector& column = factor.mColumns[i];
    for (int e = 0; e < static_cast<int>(column.Size()); ++e) y[i] = y[i] - column[e].second * y[column[e].first];
    y[i] = y[i] / factor.mDiagonal[i];
  }
  for (int i = 0; i < n; ++i) x[i] = y[factor.mPermutation[i]];
  return true;
}
