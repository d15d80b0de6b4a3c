// Internal: ConstraintStore, the registered constraints of a solver.
#ifndef ZRMConstraintStore_h
#define ZRMConstraintStore_h

#include "ZRMIdIndex.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"
#include "ZRMUtPair.h"

#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

// Key of a registered constraint: (id, -1) for the constraint named id, (0, c) for the unnamed
// one registered when the store held c constraints. Ordered lexicographically.
using ConstraintKey = ZRMUtPair<int, int>;

// Every registered constraint, once: flat rows in registration order over one pool of entries,
// the right-hand sides beside them, the named ones indexed by id, and the key order.
//
// Invalidation: a registration (SetNamed, AddUnnamed) invalidates pointers into the pool and the
// key order returned before; SetRhs invalidates nothing. A registration that runs out of memory
// throws std::bad_alloc and leaves the store as it was.
class ConstraintStore {
public:
  using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;
  using Entry = std::pair<int, double>;  // (variable id, coefficient)

  // One constraint: sum(coefficient * x[variable]) = rhs over its entries.
  struct Row {
    ConstraintKey key;
    bool hard;
    int first;  // its entries: pool[first .. first + count - 1], ascending variable id
    int count;
  };

  // Registers the constraint named id with its flag, right-hand side and coefficients; one
  // registered under id before is replaced (it keeps its row).
  void SetNamed(int id, bool hard, double rhs, const Coefficients& coefficients);
  // Registers the soft constraint named id (held by no row) without coefficients, carrying rhs.
  void AddNamedWithoutCoefficients(int id, double rhs);
  // Registers a new unnamed constraint, key (0, Size()).
  void AddUnnamed(bool hard, double rhs, const Coefficients& coefficients);

  // The row of the constraint named id, or IdIndex::kAbsent.
  int FindNamed(int id) const { return mNamed.Find(id); }
  void SetRhs(int row, double rhs) { mRhs[static_cast<std::size_t>(row)] = rhs; }

  int Size() const { return static_cast<int>(mRows.size()); }
  const Row& RowAt(int row) const { return mRows[static_cast<std::size_t>(row)]; }
  double Rhs(int row) const { return mRhs[static_cast<std::size_t>(row)]; }
  const Entry* Pool() const { return mEntries.data(); }
  std::size_t PoolSize() const { return mEntries.size(); }
  // Entries that belong to a row (the pool also holds those of replaced coefficient lists).
  std::size_t LiveEntryCount() const { return mEntries.size() - mDeadEntries; }
  // Bounds of every variable id in the rows (lowest > highest when there has never been an
  // entry); they may be wider than the rows need.
  int LowestId() const { return mLowestId; }
  int HighestId() const { return mHighestId; }

  // The rows in ascending key order.
  const std::vector<int>& KeyOrder();
  // Whether every row came after the rows of lower keys (then KeyOrder() is 0, 1, ...).
  bool AppendedInKeyOrder() const { return mAppendedInKeyOrder; }

private:
  // Makes room for one more row and count more entries (the only step that may throw).
  void MakeRoom(int count);
  // Appends the coefficients to the pool (room made); returns where they start.
  int AppendEntries(const Coefficients& coefficients) noexcept;
  // Appends a row (room made).
  void AppendRow(const ConstraintKey& key, bool hard, double rhs, const Coefficients& coefficients) noexcept;
  // Drops the pool entries no row refers to, when they outnumber the live ones.
  void CompactIfMostlyDead() noexcept;

  std::vector<Row> mRows;           // registration order
  std::vector<double> mRhs;         // by row
  std::vector<Entry> mEntries;      // the pool
  std::size_t mDeadEntries = 0;     // pool entries of replaced coefficient lists
  IdIndex mNamed;                   // id -> row of the constraint (id, -1)
  std::vector<int> mKeyOrder;       // rows in key order: the first mKeyOrder.size() rows
  bool mAppendedInKeyOrder = true;  // each row's key above every earlier row's
  int mLowestId = std::numeric_limits<int>::max();
  int mHighestId = std::numeric_limits<int>::min();
};

#endif
