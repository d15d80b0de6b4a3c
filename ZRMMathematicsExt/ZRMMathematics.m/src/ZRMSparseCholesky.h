// Internal: the normal matrix of a sparse least-squares problem, its sparse Cholesky
// factorization L * L^T (up-looking, no reordering) and the triangular solves.
#ifndef ZRMSparseCholesky_h
#define ZRMSparseCholesky_h

#include "ZRMCompressedRows.h"
#include "ZRMFactorPattern.h"

#include <cassert>
#include <vector>

// lower := the lower triangle of A^T A, row c holding (c', sum over ascending r of
// A[r][c] * A[r][c']) for every c' <= c that shares a row of A with c, ascending c', the diagonal
// last (0.0 for a column of A without entries). rows: A by rows, ascending column; columns: A by
// columns (its transpose). mark and sum are working arrays.
void FormNormalMatrix(const CompressedRows& rows, const CompressedRows& columns, CompressedRows& lower,
                      std::vector<int>& mark, std::vector<double>& sum);

// L of a factorization, by columns: column j holds (i, L[i][j]) for every structurally non-zero
// i > j, ascending i (an entry that cancels to 0.0 stays); the diagonal apart.
struct LowerFactor {
  std::vector<int> mStart{0};  // column j: entries mStart[j] .. mStart[j + 1] - 1
  std::vector<int> mRow;
  std::vector<double> mValue;
  std::vector<double> mDiagonal;  // L[j][j]

  int Size() const { return static_cast<int>(mDiagonal.size()); }
  // Makes it the factor of the 0 x 0 matrix.
  void Clear() {
    mStart.assign(1, 0);
    mRow.clear();
    mValue.clear();
    mDiagonal.clear();
  }
};

enum class CholeskyStatus {
  Success,
  NotPositiveDefinite,  // a pivot (the diagonal before its square root) was not a finite positive number
};

// Up-looking sparse Cholesky factorization of a symmetric matrix given by its lower triangle,
// in two phases: Analyze finds the pattern of every row of L, ascending, from the pattern of its
// columns (work proportional to the entries of L), Factorize computes its values row by row,
// row k being the sparse triangular solve of row k of the matrix against rows 0 .. k - 1, in
// ascending column order. The arithmetic of every entry is fixed:
//   L[k][j] = (M[k][j] * inv[j]) - (x_c * L[j][c]) * inv[j] - ... over the pattern's columns c < j
//             ascending, x_c = L[k][c] and inv[j] = 1 / L[j][j];
//   L[k][k] = sqrt(M[k][k] - x_c * x_c - ...), subtracted in ascending c.
class SparseCholesky {
public:
  // pattern: found for the matrix (Count and Find).
  void Analyze(const FactorPattern& pattern);
  // After Analyze of a matrix of the same pattern. On failure factor is the empty factor.
  CholeskyStatus Factorize(const CompressedRows& lower, LowerFactor& factor);
  // As Factorize, but a pivot that is not above relative times its diagonal entry of the matrix
  // (nor a finite positive number) takes its column out instead of failing: the column's
  // diagonal in factor is 0.0 and its entries below are 0.0, as if the matrix had no such row
  // and column. dropped lists those columns, ascending; droppedRows holds, per dropped column k,
  // row k of L as it stood (columns of its pattern, below k): L1^T w = -that row, w[k] = 1, gives
  // a vector of the matrix's null space (L1 the rows and columns of L below k). factor is not
  // for solving when a column was dropped.
  void FactorizeRevealingRank(const CompressedRows& lower, double relative, LowerFactor& factor,
                              std::vector<int>& dropped, CompressedRows& droppedRows);

private:
  Span<int> Pattern(int k) const { return SpanOf(mPatternColumn, mPatternStart[k], mPatternStart[k + 1]); }
  // Sizes factor for the pattern of the last Analyze, every column empty.
  void StartFactor(const CompressedRows& lower, LowerFactor& factor);
  // Values of row k over its pattern, into mWork.
  void SolveRow(const CompressedRows& lower, int k, const LowerFactor& factor);
  // Writes row k into its columns; returns its pivot (the diagonal before the square root).
  double FinishRow(const CompressedRows& lower, int k, LowerFactor& factor);
  // Whether a pivot can be taken: a finite positive number.
  static bool IsAccepted(double pivot);
  // Row k's diagonal from its pivot.
  void TakePivot(int k, double pivot, LowerFactor& factor);

  std::vector<int> mPatternStart;   // row k: columns mPatternColumn[mPatternStart[k] ..
  std::vector<int> mPatternColumn;  //   mPatternStart[k + 1] - 1], ascending
  std::vector<int> mColumnStart;    // the column starts of L
  std::vector<int> mFill;           // row -> its next free slot (Analyze); column -> its next
                                    // free entry (Factorize)
  std::vector<double> mInverseDiagonal;
  std::vector<double> mWork;  // row k's values on its pattern
};

// The update of row k's values by column c of L, the step that dominates the factorization:
// work[i] = work[i] - (x * L[i][c]) * inverse[i] for each entry (i, L[i][c]) of the column
// (rows given, values given), x = L[k][c].
void UpdateByColumn(const int* rows, const double* values, int count, double x, const double* inverse, double* work);
// The same for a column whose rows are first, first + 1, ..., first + count - 1: plain arrays
// that the compiler may vectorise, each lane rounding as the loop above does. Our choice for
// the bands of grids and surface fits, whose columns mostly run over consecutive rows.
void UpdateByConsecutiveColumn(int first, const double* values, int count, double x, const double* inverse,
                               double* work);

// L * L^T * x = b in place (x holds b on entry), factor.Size() values: forward substitution
// y[i] = (b[i] - L[i][j] * y[j] - ...) / L[i][i] subtracted in ascending j, then backward
// x[i] = (y[i] - L[j][i] * x[j] - ...) / L[i][i] in ascending j > i.
void SolveCholesky(const LowerFactor& factor, double* x);

// The steps of the two passes over one column of L (rows and values given):
// x[row] = x[row] - value * xj for each entry (forward), and value - L[j][i] * x[j] - ...
// subtracted in entry order (backward); each also for a column whose rows are consecutive from
// first on, read without their row numbers (the forward one vectorisable, lanes rounding as the
// plain loop does). Our choice, for the bands of grids and surface fits.
void SubtractColumn(const int* rows, const double* values, int count, double xj, double* x);
void SubtractConsecutiveColumn(int first, const double* values, int count, double xj, double* x);
double DotColumn(double value, const int* rows, const double* values, int count, const double* x);
double DotConsecutiveColumn(double value, int first, const double* values, int count, const double* x);

#endif
