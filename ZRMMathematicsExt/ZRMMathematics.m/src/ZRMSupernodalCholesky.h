// Internal: SupernodalCholesky, the fill-reducing mode's factorization where the columns of L
// are long: L * L^T by dense blocks of columns that share their pattern, and its triangular
// solves.
#ifndef ZRMSupernodalCholesky_h
#define ZRMSupernodalCholesky_h

#include "ZRMCompressedRows.h"
#include "ZRMSparseCholesky.h"

#include <cstddef>
#include <vector>

// Left-looking supernodal Cholesky factorization of a symmetric matrix given by its lower
// triangle (as SparseCholesky reads it), in three phases:
//  - Analyze: from the elimination tree and the column counts of L, consecutive columns j, j + 1
//    form one fundamental supernode when j + 1 is j's parent and column j's pattern is column
//    j + 1's plus j + 1 (so one list of rows serves the whole supernode); then a supernode and
//    the one after it merge when that one holds its last column's parent and the merged block
//    stays narrow or mostly filled (relaxed supernodes: the block stores the zeros of the
//    pattern's gaps, which stay zero). A postorder of the tree puts each column's last child
//    right before it and so merges more. The rows of each supernode come from the matrix and
//    its children, without listing the pattern of L column by column.
//  - Factorize: supernode by supernode, ascending: its block of L (rows of the supernode by its
//    columns, dense, by columns) := its columns of the matrix, less the update of every earlier
//    supernode d with rows in it (the product of d's rows from there on by d's rows inside it,
//    summed over d's columns ascending), then the dense Cholesky of the block's top square
//    (column by column, left-looking, ascending) and the division of the rows below by it.
//  - Solve: forward and backward substitution block by block.
// The arithmetic differs from SparseCholesky's (sums grouped by supernode), but is fixed by the
// pattern: the same matrix gives the same bits on every run. The dense loops run over
// contiguous rows, which the compiler may vectorise.
//
// Memory: the blocks of L (each supernode's rows by its columns, the unused top right of the
// square and the zeros of merged supernodes included), the row lists of the supernodes, an
// update buffer of the largest update, the solve's buffer of the tallest supernode, and arrays
// of n. Each object keeps its storage from one factorization to the next.
class SupernodalCholesky {
public:
  // pattern: counted for lower (Count; its column lists are not read). Any order of the columns
  // serves; a postorder of the elimination tree gives wider supernodes.
  void Analyze(const FactorPattern& pattern, const CompressedRows& lower);
  // After Analyze of a matrix of the same pattern; fails on the first pivot that is not a finite
  // positive number.
  CholeskyStatus Factorize(const CompressedRows& lower);
  // L * L^T * x = b in place (x holds b on entry), after a successful Factorize. The forward
  // pass works on each supernode's rows' values gathered side by side (the arithmetic of x in
  // place); in the backward pass, each column's sum takes the rows below its block's square
  // first, ascending, then those inside it, so that the columns of a block wait on one another
  // only for the square.
  void Solve(double* x);

private:
  int SupernodeCount() const { return static_cast<int>(mFirstColumn.size()) - 1; }
  int Width(int s) const { return mFirstColumn[s + 1] - mFirstColumn[s]; }
  int Height(int s) const { return mRowStart[s + 1] - mRowStart[s]; }
  double* Block(int s) { return mValue.data() + mValueStart[s]; }
  const double* Block(int s) const { return mValue.data() + mValueStart[s]; }
  // Supernode s's block := its columns of the matrix (mColumns: the lower triangle by columns).
  void Assemble(int s);
  // Subtracts from s's block the update of supernode d, whose rows from position mNext[d] on
  // start inside s; advances mNext[d] past them and hands d on to the supernode of its next row.
  void ApplyUpdate(int d, int s);
  bool FactorBlock(int s);
  // Analyze's steps: mFirstColumn := the fundamental supernodes, then the merged ones; then the
  // rows and the value blocks of each.
  void FindFundamentalSupernodes(const FactorPattern& pattern);
  void Amalgamate(const FactorPattern& pattern);
  void ListRows(const FactorPattern& pattern, const CompressedRows& lower);
  // Puts d in the list of the supernode holding its row at mNext[d] (none when past its rows).
  void Link(int d);

  int mCount = 0;                        // n
  std::vector<int> mFirstColumn;         // supernode s: columns mFirstColumn[s] .. mFirstColumn[s + 1] - 1
  std::vector<int> mSupernodeOf;         // column -> its supernode
  std::vector<char> mStartsBlock;        // Amalgamate: fundamental supernode -> whether it stays first
  std::vector<int> mRowStart;            // supernode s: rows mRow[mRowStart[s] .. mRowStart[s + 1] - 1]
  std::vector<int> mRow;                 //   ascending, its own columns first
  std::vector<std::size_t> mValueStart;  // supernode s: Height(s) x Width(s) values by columns
  std::vector<double> mValue;
  CompressedRows mColumns;  // the matrix's lower triangle by columns
  std::vector<int> mTransposeWork;
  std::vector<int> mRelative;     // row -> its position in the supernode being factored
  std::vector<int> mNext;         // supernode -> position of its first row not yet applied
  std::vector<int> mHead;         // supernode -> first supernode of its update list, or -1
  std::vector<int> mLink;         // supernode -> the next in its update list, or -1
  std::vector<double> mUpdate;    // the update being applied, by columns
  std::vector<double> mGathered;  // Solve: the values of a supernode's rows (the tallest's room)
};

#endif
