// CompressedRows: transposition.
#include "ZRMCompressedRows.h"

void Transpose(const CompressedRows& rows, int columnCount, CompressedRows& columns, std::vector<int>& fill) {
  columns.mStart.assign(static_cast<std::size_t>(columnCount) + 1, 0);
  for (const int column : rows.mIndex) {
    assert(column >= 0 && column < columnCount && "an index outside the columns");
    ++columns.mStart[static_cast<std::size_t>(column) + 1];
  }
  for (int c = 0; c < columnCount; ++c) columns.mStart[c + 1] += columns.mStart[c];
  columns.mIndex.resize(rows.mIndex.size());
  columns.mValue.resize(rows.mValue.size());
  fill.assign(columns.mStart.begin(), columns.mStart.end() - 1);
  for (int r = 0; r < rows.RowCount(); ++r)
    for (int e = rows.Begin(r); e < rows.End(r); ++e) {
      const int slot = fill[static_cast<std::size_t>(rows.mIndex[e])]++;  // rows ascend within each column
      columns.mIndex[slot] = r;
      columns.mValue[slot] = rows.mValue[e];
    }
}
