// Internal: CompressedRows, the sparse-matrix format of the solver's stages, and Span.
#ifndef ZRMCompressedRows_h
#define ZRMCompressedRows_h

#include <cassert>
#include <cstddef>
#include <vector>

// A run of contiguous elements.
template <class T>
struct Span {
  const T* mBegin = nullptr;
  const T* mEnd = nullptr;

  const T* begin() const { return mBegin; }
  const T* end() const { return mEnd; }
  int Size() const { return static_cast<int>(mEnd - mBegin); }
  bool IsEmpty() const { return mBegin == mEnd; }
  const T& operator[](int i) const {
    assert(i >= 0 && i < Size() && "Span index out of range");
    return mBegin[i];
  }
};

template <class T>
Span<T> SpanOf(const std::vector<T>& v, int begin, int end) {
  return {v.data() + begin, v.data() + end};
}

// Rows of a sparse matrix: row r holds the entries mStart[r] .. mStart[r + 1] - 1, each an index
// (a column, or whatever the rows are over) and a value. Clear and refilling keep the storage.
struct CompressedRows {
  std::vector<int> mStart{0};
  std::vector<int> mIndex;
  std::vector<double> mValue;

  int RowCount() const { return static_cast<int>(mStart.size()) - 1; }
  int EntryCount() const { return mStart.back(); }
  int Begin(int row) const { return mStart[static_cast<std::size_t>(row)]; }
  int End(int row) const { return mStart[static_cast<std::size_t>(row) + 1]; }
  Span<int> Indices(int row) const { return SpanOf(mIndex, Begin(row), End(row)); }
  Span<double> Values(int row) const { return SpanOf(mValue, Begin(row), End(row)); }

  // Makes room for rows rows and entries entries in all, so that filling them moves nothing.
  void Reserve(int rows, int entries) {
    mStart.reserve(static_cast<std::size_t>(rows) + 1);
    mIndex.reserve(static_cast<std::size_t>(entries));
    mValue.reserve(static_cast<std::size_t>(entries));
  }
  // Makes it a matrix without rows.
  void Clear() {
    mStart.assign(1, 0);
    mIndex.clear();
    mValue.clear();
  }
  // Appends an entry to the row being built; EndRow closes it.
  void Append(int index, double value) {
    mIndex.push_back(index);
    mValue.push_back(value);
  }
  void EndRow() { mStart.push_back(static_cast<int>(mIndex.size())); }
};

// columns := the transpose of rows, whose indices lie in 0 .. columnCount - 1: column c holds
// (r, value) for every entry (c, value) of row r, in ascending r. O(entries + rows + columns).
void Transpose(const CompressedRows& rows, int columnCount, CompressedRows& columns, std::vector<int>& fill);

#endif
