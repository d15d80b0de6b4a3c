// Internal: sparse Cholesky factorization and triangular solve of the least-squares solver,
// with the sparse-vector ordering they share.
//
// FactorCholesky, SortSparseVector and SolveCholesky are exported for the solver's unit tests
// only; this header is not installed.
#ifndef ZRMSparseCholesky_h
#define ZRMSparseCholesky_h

#include "ZRMLSQSolverState.h"
#include "ZRMMathematicsExport.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// Makes room for n elements in a working array kept from one factorization to the next:
// growing, the storage takes an eighth more, so that a slightly larger problem next time does
// not move (and page in) the array again.
template <class T>
void MakeRoom(std::vector<T>& array, std::size_t n) {
  if (array.capacity() < n) array.reserve(n + n / 8);
}

// array := n copies of value, in storage grown as by MakeRoom.
template <class T>
void AssignWithRoom(std::vector<T>& array, std::size_t n, const T& value) {
  MakeRoom(array, n);
  array.assign(n, value);
}

// array := its first n elements (new ones value-initialised), in storage grown as by MakeRoom.
template <class T>
void ResizeWithRoom(std::vector<T>& array, std::size_t n) {
  MakeRoom(array, n);
  array.resize(n);
}

// Makes lists (kept between factorizations) n empty lists, keeping the storage of the lists
// that stay, so that refilling them allocates nothing.
template <class List>
void ResetLists(std::vector<List>& lists, std::size_t n) {
  for (std::size_t i = 0; i < n && i < lists.size(); ++i) lists[i].clear();
  ResizeWithRoom(lists, n);
}

// Lays out compressed rows whose lengths are known: on entry start[k + 1] holds the number of
// entries of row k (start[0] = 0); on return start holds where each row begins, index and value
// have room for every entry, and fill holds each row's next free entry (its start).
inline void LayOutRows(std::vector<int>& start, std::vector<int>& index, std::vector<double>& value,
                       std::vector<int>& fill) {
  const std::size_t rows = start.size() - 1;
  for (std::size_t k = 0; k < rows; ++k) start[k + 1] += start[k];
  const auto entries = static_cast<std::size_t>(start[rows]);
  ResizeWithRoom(index, entries);
  ResizeWithRoom(value, entries);
  MakeRoom(fill, rows);
  fill.assign(start.begin(), start.end() - 1);
}

// Rows of a sparse matrix in compressed form: the working format of one factorization.
struct CompressedRows {
  std::vector<int> mStart{0};  // row r holds the entries mStart[r] .. mStart[r + 1] - 1
  std::vector<int> mIndex;     // column of each entry
  std::vector<double> mValue;  // value of each entry

  int RowCount() const { return static_cast<int>(mStart.size()) - 1; }
  // Makes room for rows more rows and entries more entries.
  void Reserve(int rows, int entries) {
    MakeRoom(mStart, mStart.size() + static_cast<std::size_t>(rows));
    MakeRoom(mIndex, mIndex.size() + static_cast<std::size_t>(entries));
    MakeRoom(mValue, mValue.size() + static_cast<std::size_t>(entries));
  }
  void Append(int index, double value) {
    mIndex.push_back(index);
    mValue.push_back(value);
  }
  // The end is pushed as a named value: g++ inlines push_back(const int&) in the loops that call
  // this, where it kept the rvalue overload out of line (a call per row).
  void EndRow() {
    const int end = static_cast<int>(mIndex.size());
    mStart.push_back(end);
  }
  // Makes it a matrix without rows, keeping the storage.
  void Clear() {
    mStart.assign(1, 0);
    mIndex.clear();
    mValue.clear();
  }
};

// Sorts distinct numbers ascending: by insertion for the short lists of sparse rows, by
// std::sort for longer ones (the same result, the numbers being distinct).
inline void SortDistinct(int* begin, int* end) {
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

// A contiguous run of elements, for loops that need no checked access per element.
template <class Element>
struct ElementRange {
  Element* mBegin = nullptr;
  Element* mEnd = nullptr;

  Element* begin() const { return mBegin; }
  Element* end() const { return mEnd; }
  int Size() const { return static_cast<int>(mEnd - mBegin); }
};

// The elements of a vector as a plain range; valid until the vector grows or shrinks.
template <class Element>
ElementRange<const Element> Elements(const ZRMUtVector<Element>& vector) {
  if (vector.IsEmpty()) return {};
  const Element* first = &vector[0];
  return {first, first + vector.Size()};
}
template <class Element>
ElementRange<Element> Elements(ZRMUtVector<Element>& vector) {
  if (vector.IsEmpty()) return {};
  Element* first = &vector[0];
  return {first, first + vector.Size()};
}

// Makes room for count more elements in one step: a vector without storage gets exactly count
// (the growth rule would give it room for one element first).
template <class Element>
void ReserveAtOnce(ZRMUtVector<Element>& vector, int count) {
  if (vector.Capacity() == 0) vector = ZRMUtVector<Element>::WithCapacity(count);
  else vector.Reserve(count);
}

// Appends an empty sparse vector with room for exactly count entries and returns it.
inline SparseVector& AppendEmpty(ZRMUtVector<SparseVector>& list, int count) {
  list.PushBack(SparseVector::WithCapacity(count));
  return list.Back();
}

// Rebuilds a list of sparse vectors in place: the k-th vector appended is the list's old k-th
// vector emptied, with its storage kept when it fits the room asked, so that a new
// factorization of the same structure allocates no entry storage. However the rebuild ends, the
// destructor drops the old vectors after the last one appended: the list then holds exactly
// the vectors appended. Our choice: a reused vector whose room exceeds twice what is asked
// (plus a few entries) gets exactly the room asked instead, so that reuse never holds much
// more memory than a fresh build.
class SparseVectorListRebuild {
public:
  explicit SparseVectorListRebuild(ZRMUtVector<SparseVector>& list) : mList(list) {}
  SparseVectorListRebuild(const SparseVectorListRebuild&) = delete;
  SparseVectorListRebuild& operator=(const SparseVectorListRebuild&) = delete;
  ~SparseVectorListRebuild() {
    if (mAppended < mList.Size()) mList.Resize(mAppended);
  }

  // Makes room for count vectors in all.
  void Reserve(int count) {
    if (mList.Capacity() < count) ReserveAtOnce(mList, count - mList.Size());
  }
  // Appends an empty sparse vector with room for count entries and returns it.
  SparseVector& Append(int count) {
    if (mAppended == mList.Size()) {
      SparseVector& added = AppendEmpty(mList, count);
      ++mAppended;
      return added;
    }
    SparseVector& reused = mList[mAppended++];
    reused.Clear();
    if (reused.Capacity() < count || reused.Capacity() > 2 * count + 4) reused = SparseVector::WithCapacity(count);
    return reused;
  }

private:
  ZRMUtVector<SparseVector>& mList;
  int mAppended = 0;  // vectors appended so far: the list's first ones
};

// Order of sparse entries: index ascending, ties by value ascending with NaN after every
// number (a total order, so that sorting stays well defined for any values).
template <class Entry>
bool SparseEntryLess(const Entry& a, const Entry& b) {
  if (a.first != b.first) return a.first < b.first;
  if (std::isnan(a.second)) return false;
  return std::isnan(b.second) || a.second < b.second;
}

// Equal in index and value (two NaN values count as equal).
template <class Entry>
bool SparseEntrySame(const Entry& a, const Entry& b) {
  return a.first == b.first && !SparseEntryLess(a, b) && !SparseEntryLess(b, a);
}

// Sorts entries in place by SparseEntryLess and drops an entry that equals its predecessor in
// index and value.
ZRMMATH_API void SortSparseVector(SparseVector& entries);

// Factors the symmetric matrix given as rows of (column, value) entries, each off-diagonal pair
// once, every row with its diagonal. Returns L with L * L^T = matrix, or the empty record after
// reporting "Not positive definite matrix (or ill-conditioned)" when a pivot is not a finite
// positive number. Our choice: input that breaks the precondition (a column outside the matrix,
// a row without its diagonal, an empty row, one column twice in a row) is rejected the same way.
ZRMMATH_API CholeskyFactor FactorCholesky(const ZRMUtVector<SparseVector>& rows);

// L of a factorization in compressed columns: what the solver keeps of a factorization and
// what its solves read. The empty factor (size 0) stands for a failed factorization too.
struct CompressedFactor {
  std::vector<int> mStart{0};     // column j: entries mStart[j] .. mStart[j + 1] - 1
  std::vector<int> mRow;          // row i of each entry, i > j, ascending within its column
  std::vector<double> mValue;     // L[i][j] of each entry
  std::vector<double> mDiagonal;  // L[j][j]
  int mColumnsReachingNextRow = 0;  // columns j whose first entry is on row j + 1

  int Size() const { return static_cast<int>(mDiagonal.size()); }
  // Whether the triangular solves carry row j + 1's value from one step to the next in a
  // register. Our choice: when 3 columns in 4 or more reach their next row (banded systems:
  // all but the last); on other patterns the test for it mispredicts too often to pay.
  bool CarriesNextRow() const { return 4 * static_cast<long long>(mColumnsReachingNextRow) >= 3LL * Size(); }
  // Makes it the empty factor, keeping the storage.
  void Clear() {
    mStart.assign(1, 0);
    mRow.clear();
    mValue.clear();
    mDiagonal.clear();
    mColumnsReachingNextRow = 0;
  }
};

// Working arrays of FactorLowerTriangle, which a caller may keep from one factorization to the
// next so that their storage is reused.
struct CholeskyWorkspace {
  std::vector<double> mInverseDiagonal;  // 1 / L[j][j] once row j is done
  std::vector<double> mWork;             // L[k][j] of the current row, on its pattern
  std::vector<int> mParent;              // elimination tree: column -> its parent, or -1
  std::vector<int> mVisited;             // column -> last row whose pattern met it
  std::vector<int> mRowStart;            // row k of L: columns mRowColumn[mRowStart[k] ..
  std::vector<int> mRowColumn;           //   mRowStart[k + 1] - 1], ascending
  std::vector<int> mFill;                // column -> its next free entry of the factor
};

// Factors a lower triangle given row by row, each row ascending by column with its diagonal
// last, into factor (replaced). True when factor holds the factorization; otherwise reported
// as above and factor is the empty factor.
bool FactorLowerTriangle(const CompressedRows& lower, CompressedFactor& factor, CholeskyWorkspace& workspace);

// factor as a record: the rows and the columns of L, its diagonal and the identity ordering
// (the empty record for the empty factor).
void StoreFactor(const CompressedFactor& factor, CholeskyFactor& record);

// Solves L * L^T * x = x in place; false, x untouched, when its size differs from the factor's.
ZRMMATH_API bool SolveCholesky(const CholeskyFactor& factor, std::vector<double>& x);
bool SolveCholesky(const CompressedFactor& factor, std::vector<double>& x);

#endif
