// Internal: the registered constraints of a solver as flat rows, what Factor reads.
//
// The records of the solver's state are a balanced tree of records, each with its own tree of
// coefficients: walking them is a chain of dependent loads, one or more cache misses per
// constraint. The log holds the same constraints in plain arrays, written as they are
// registered, and hands them out in key order.
#ifndef ZRMConstraintLog_h
#define ZRMConstraintLog_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"
#include "ZRMUtPair.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

class ZRMConstraintLog {
public:
  using Key = ZRMUtPair<int, int>;
  using Entry = std::pair<int, double>;  // (variable id, coefficient)
  using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;

  // One constraint: sum(coefficient * x[variable]) = rhs over its entries.
  struct Row {
    Key key;
    double rhs;
    bool hard;
    int first;  // its entries: Entries()[first .. first + count - 1], ascending variable id
    int count;
  };

  // Makes room for one more row with count entries, so that the Append or Replace of such a row
  // that follows allocates nothing and cannot fail. On std::bad_alloc the log is unchanged.
  void MakeRoomFor(int count);
  // Enters a constraint whose key is not in the log yet, soft, without coefficients and with
  // right-hand side 0.0; returns its row number. Call MakeRoomFor first.
  int AppendEmpty(const Key& key);
  // Replaces the flag, right-hand side and coefficients of a row. Call MakeRoomFor first.
  void Replace(int row, bool hard, double rhs, const Coefficients& coefficients);
  void SetRhs(int row, double rhs) { mRows[static_cast<std::size_t>(row)].rhs = rhs; }

  // What RollBack returns to: the log as it is now.
  struct Mark {
    std::size_t rows;
    std::size_t entries;
    bool appendedInKeyOrder;
    std::uint64_t version;
  };
  Mark GetMark() const noexcept { return {mRows.size(), mEntries.size(), mAppendedInKeyOrder, mVersion}; }
  // Drops the rows appended since mark was taken (with no Replace, SetRhs or key-order walk in
  // between), as when a registration fails halfway.
  void RollBack(const Mark& mark) noexcept {
    mRows.resize(mark.rows);
    mEntries.resize(mark.entries);
    mAppendedInKeyOrder = mark.appendedInKeyOrder;
    mVersion = mark.version;
  }

  std::size_t Size() const { return mRows.size(); }
  // True when the rows in registration order are in key order.
  bool InKeyOrder() const { return mAppendedInKeyOrder; }
  const std::vector<Row>& Rows() const { return mRows; }  // registration order
  std::size_t EntryCount() const { return mEntries.size() - mDeadEntries; }
  const Entry* Entries(const Row& row) const { return mEntries.data() + row.first; }
  // The pool every row's first counts from.
  const Entry* EntryPool() const { return mEntries.data(); }
  // Bounds of the variable ids of the rows (lowest > highest when the log has never held an
  // entry): every id of a row lies within them; they may be wider than the rows' ids need.
  int LowestId() const { return mLowestId; }
  int HighestId() const { return mHighestId; }
  // Number of changes of constraints so far (AppendEmpty and Replace; not SetRhs).
  std::uint64_t Version() const { return mVersion; }

  // Calls visit(row) for every row, in ascending key order.
  template <class Visit>
  void ForEachInKeyOrder(Visit visit) {
    if (mAppendedInKeyOrder) {
      for (const Row& row : mRows) visit(row);
      return;
    }
    UpdateKeyOrder();
    for (const int row : mKeyOrder) visit(mRows[static_cast<std::size_t>(row)]);
  }

  // Null when the log is sound (entries of each row ascending and within the pool, dead entry
  // count, key order); otherwise a description of the first fault found. Exported for the
  // solver's unit tests.
  ZRMMATH_API const char* FindInvariantViolation() const;

private:
  // Appends the coefficients to the pool; returns where they start.
  int AppendEntries(const Coefficients& coefficients);
  // Drops the entries no row refers to, keeping every row's entries in row order (or leaves
  // the pool as it is when there is no memory for the compacted copy).
  void Compact() noexcept;
  // Extends mKeyOrder to every row (the rows appended since are sorted and merged in).
  void UpdateKeyOrder();

  std::vector<Row> mRows;          // registration order
  std::vector<Entry> mEntries;     // pool of every row's entries
  std::size_t mDeadEntries = 0;    // entries of replaced coefficient lists, still in the pool
  std::vector<int> mKeyOrder;      // the first mKeyOrder.size() rows, in key order
  bool mAppendedInKeyOrder = true; // every row was appended with a key above all earlier ones
  std::uint64_t mVersion = 0;
  int mLowestId = std::numeric_limits<int>::max();   // every id appended so far is within
  int mHighestId = std::numeric_limits<int>::min();  // [mLowestId, mHighestId]
};

#endif
