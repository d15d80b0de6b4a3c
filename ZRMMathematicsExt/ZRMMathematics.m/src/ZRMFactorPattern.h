// Internal: FactorPattern, the pattern of the Cholesky factor L of a sparse symmetric matrix.
#ifndef ZRMFactorPattern_h
#define ZRMFactorPattern_h

#include "ZRMCompressedRows.h"

#include <cassert>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

// The pattern of L for a symmetric matrix given by its lower triangle (each row ascending by
// column, strictly below the diagonal but for its last entry, which is the diagonal), in two
// phases of one walk each over the row patterns of L, in time proportional to the entries of L:
//  - Count: the elimination tree and the length of each column; the work per entry of L it
//    returns tells the caller whether dense blocks pay, and an entry limit whether an order
//    fills in;
//  - Find: the rows of each column, ascending.
// Between the two, Postorder may renumber the columns (in O(n)) for wider supernodes. The
// column-by-column factorization analyses a matrix from its Find, the supernodal one from its
// Count alone. Each object keeps its storage from one matrix to the next.
class FactorPattern {
public:
  // Returns the work of the factorization per entry of L: the sum over the columns of L of their
  // squared lengths (diagonal included), over the entries of L. With an entry limit, stops as
  // soon as L has more entries than that (diagonal included; the cost stays within the limit and
  // n) and returns nullopt; the counts are then incomplete.
  std::optional<double> Count(const CompressedRows& lower,
                              std::size_t entryLimit = std::numeric_limits<std::size_t>::max());
  // After a complete Count of the same matrix.
  void Find(const CompressedRows& lower);
  // After a complete Count: order := the columns in a postorder of the elimination tree (each
  // column after its children, which come in ascending order, each subtree's columns together),
  // order[k] the column at position k; then the tree and the counts become those of the matrix
  // renumbered by it (column order[k] becomes k), whose L fills in as much, with each column's
  // last child right before it. Find then needs the matrix so renumbered.
  void Postorder(std::vector<int>& order);

  int Size() const { return static_cast<int>(mParent.size()); }
  // After a complete Count: the elimination tree, column -> parent or -1.
  const std::vector<int>& Parent() const { return mParent; }
  // After a complete Count: column j of L has ColumnStart()[j + 1] - ColumnStart()[j] entries
  // below its diagonal.
  // After Find, also: column j of L holds, below its diagonal, the rows
  // ColumnRow()[ColumnStart()[j] .. ColumnStart()[j + 1] - 1], ascending.
  const std::vector<int>& ColumnStart() const { return mColumnStart; }
  const std::vector<int>& ColumnRow() const { return mColumnRow; }

private:
  std::vector<int> mParent;       // elimination tree: column -> parent, or -1
  std::vector<int> mVisited;      // column -> the last row whose pattern met it
  std::vector<int> mColumnStart;  // Count: the column starts of L
  std::vector<int> mColumnRow;    // Find: the rows of each column
  std::vector<int> mFill;         // Find: column -> its next free slot
  std::vector<int> mChild;        // Postorder: column -> its lowest child not yet ordered, or -1;
                                  //   then column -> its position
  std::vector<int> mSibling;      // Postorder: column -> the next higher child of its parent, or -1;
                                  //   then the renumbered counts and tree
  bool mCounted = false;          // the last Count completed

  // Postorder's renumbering by order (mChild and mSibling sized n).
  void Renumber(const std::vector<int>& order);
};

// Visits the pattern of row k of L, unordered, for a matrix given by its lower triangle: the
// tree paths from row k's columns up to the first column already met in this row, in time
// proportional to their length. Called for k = 0, 1, ... in turn, it builds the elimination tree
// on the way (parent: column -> parent or -1, a column without one getting k, all -1 before row
// 0; visited: column -> the last row that met it, any values before row 0, as row j marks j
// before a later row can meet it). With the complete tree it changes none of parent.
template <class Visit>
void WalkRowPattern(const CompressedRows& lower, int k, std::vector<int>& parent, std::vector<int>& visited,
                    Visit visit) {
  assert(lower.Begin(k) < lower.End(k) && lower.mIndex[lower.End(k) - 1] == k && "each row ends with its diagonal");
  visited[k] = k;
  for (int e = lower.Begin(k); e < lower.End(k) - 1; ++e) {
    assert(lower.mIndex[e] < k && (e == lower.Begin(k) || lower.mIndex[e - 1] < lower.mIndex[e]) && "lower triangle");
    for (int column = lower.mIndex[e]; visited[column] != k; column = parent[column]) {
      if (parent[column] < 0) parent[column] = k;
      visited[column] = k;
      visit(column);
    }
  }
}

#endif
