// Sparse Cholesky factorization and its triangular solve called directly, and the sparse-vector
// sort.
#include "SolverTestSupport.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace solvertest;

namespace {

using Matrix = std::vector<Entries>;

ZRMUtVector<SparseVector> Rows(const Matrix& rows) {
  ZRMUtVector<SparseVector> result;
  for (const Entries& row : rows) {
    SparseVector vector;
    for (const auto& entry : row) vector.PushBack(ZRMUtMakePair(entry.first, entry.second));
    result.PushBack(vector);
  }
  return result;
}

Matrix ToMatrix(const ZRMUtVector<SparseVector>& rows) {
  Matrix matrix;
  for (int i = 0; i < rows.Size(); ++i) matrix.push_back(ToEntries(rows[i]));
  return matrix;
}

// An accepted input and its factor L: rows and columns below the diagonal, and the diagonal.
struct Accepted {
  const char* what;
  Matrix input, rows, columns;
  std::vector<double> diagonal;
};

const Accepted kAccepted[] = {
    {"empty matrix", {}, {}, {}, {}},
    {"[[4, 2], [2, 3]] as lower triangle", {{{0, 4.0}}, {{0, 2.0}, {1, 3.0}}}, {{}, {{0, 1.0}}}, {{{1, 1.0}}, {}},
     {2.0, std::sqrt(2.0)}},
    {"[[4, 2], [2, 3]] as upper triangle", {{{1, 2.0}, {0, 4.0}}, {{1, 3.0}}}, {{}, {{0, 1.0}}}, {{{1, 1.0}}, {}},
     {2.0, std::sqrt(2.0)}},
    {"[[4, 2], [2, 3]] with the pair given twice", {{{0, 4.0}, {1, 2.0}}, {{0, 2.0}, {1, 3.0}}}, {{}, {{0, 1.0}}},
     {{{1, 1.0}}, {}}, {2.0, std::sqrt(2.0)}},
    // L[2][1] = (0 - 1 * 1) / 2 although (2, 1) is zero.
    {"[[4, 2, 2], [2, 5, 0], [2, 0, 6]]: fill-in through the closure",
     {{{0, 4.0}}, {{0, 2.0}, {1, 5.0}}, {{0, 2.0}, {2, 6.0}}}, {{}, {{0, 1.0}}, {{0, 1.0}, {1, -0.5}}},
     {{{1, 1.0}, {2, 1.0}}, {{2, -0.5}}, {}}, {2.0, 2.0, std::sqrt(4.75)}},
    // L[2][1] = (1 - 1 * 1) / 1 = 0, stored.
    {"[[1, 1, 1], [1, 2, 1], [1, 1, 2]]: an exact cancellation keeps the entry",
     {{{0, 1.0}}, {{0, 1.0}, {1, 2.0}}, {{0, 1.0}, {1, 1.0}, {2, 2.0}}}, {{}, {{0, 1.0}}, {{0, 1.0}, {1, 0.0}}},
     {{{1, 1.0}, {2, 1.0}}, {{2, 0.0}}, {}}, {1.0, 1.0, 1.0}},
};

}  // namespace

TEST(SparseCholesky, AcceptedMatrices) {
  for (const Accepted& accepted : kAccepted) {
    SCOPED_TRACE(accepted.what);
    zrmtest::AssertRecorder recorder(0);
    const CholeskyFactor factor = FactorCholesky(Rows(accepted.input));
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_EQ(ToMatrix(factor.mRows), accepted.rows);
    EXPECT_EQ(ToMatrix(factor.mColumns), accepted.columns);
    EXPECT_EQ(ToStd(factor.mDiagonal), accepted.diagonal);
    std::vector<int> identity(accepted.input.size());
    for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<int>(i);
    EXPECT_EQ(ToStd(factor.mPermutation), identity);
  }
}

// Non-positive and non-finite pivots, and input that breaks the precondition (each row ascends
// strictly by column and ends with its diagonal): one report with its texts, the empty factor.
TEST(SparseCholesky, RejectedMatricesReportOnceAndGiveTheEmptyFactor) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Matrix rejected[] = {
      {{{0, 0.0}}},
      {{{0, -1.0}}},
      {{{0, 1.0}}, {{0, 1.0}, {1, 1.0}}},                        // zero at row 1
      {{{0, 4.0}}, {{1, 1.0}}, {{0, 2.0}, {1, 1.0}, {2, 1.0}}},  // negative at row 2
      {{{0, nan}}},
      {{{0, 1.0}}, {{0, nan}, {1, 2.0}}},
      {{{0, inf}}},
      {{{0, 1.0}}, {{0, inf}, {1, inf}}},
      {{{0, 1.0}}, {{0, 1.0}}},                      // row 1 without its diagonal
      {{{0, 1.0}}, {}},                              // empty row
      {{}},
      {{{0, 1.0}}, {{5, 1.0}, {1, 1.0}}},            // column outside the matrix
      {{{0, 1.0}}, {{-1, 1.0}, {1, 1.0}}},           // negative column
      {{{0, 1.0}}, {{0, 0.5}, {0, 0.25}, {1, 1.0}}},  // one column twice
      {{{0, 1.0}, {0, 2.0}}},                        // two diagonals
  };
  for (const Matrix& rows : rejected) {
    SCOPED_TRACE(::testing::Message() << "case " << (&rows - rejected));
    zrmtest::AssertRecorder recorder(0);
    const CholeskyFactor factor = FactorCholesky(Rows(rows));
    EXPECT_TRUE(factor.mRows.Size() == 0 && factor.mColumns.Size() == 0 && factor.mDiagonal.Size() == 0 &&
                factor.mPermutation.Size() == 0);
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].expression, "false");
    EXPECT_EQ(recorder.reports[0].message, "Not positive definite matrix (or ill-conditioned)");
    EXPECT_EQ(recorder.reports[0].file, "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver");
    EXPECT_EQ(recorder.reports[0].line, 186);
  }
}

// Random sparse positive definite matrices (B B^T + n I over a random pattern), some with rows of
// L much longer than the short rows of the solver's usual systems: L agrees with Eigen's dense
// factorization, its rows and columns ascend strictly, and the solve agrees with a dense solve.
TEST(SparseCholesky, RandomMatricesAgreeWithADenseFactorization) {
  Random random(20261207);
  for (int trial = 0; trial < 40; ++trial) {
    const int n = random.Int(1, 70);
    const double density = random.Uniform(0.02, 0.3);
    Eigen::MatrixXd b = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        if (random.Chance(density)) b(i, j) = random.Uniform(-1.0, 1.0);
    const Eigen::MatrixXd a = b * b.transpose() + n * Eigen::MatrixXd::Identity(n, n);
    Matrix lower(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= i; ++j)
        if (a(i, j) != 0.0 || i == j) lower[static_cast<std::size_t>(i)].emplace_back(j, a(i, j));
    SCOPED_TRACE(::testing::Message() << "trial " << trial << ", n " << n);
    const CholeskyFactor factor = FactorCholesky(Rows(lower));
    ASSERT_EQ(factor.mDiagonal.Size(), n);
    const Eigen::MatrixXd expected = a.llt().matrixL();
    Eigen::MatrixXd l = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i) {
      l(i, i) = factor.mDiagonal[i];
      const Entries row = ToEntries(factor.mRows[i]);
      for (std::size_t e = 0; e < row.size(); ++e) {
        EXPECT_TRUE(e == 0 || row[e - 1].first < row[e].first) << "row " << i;
        l(i, row[e].first) = row[e].second;
      }
    }
    for (int i = 0; i < n; ++i) {
      const Entries column = ToEntries(factor.mColumns[i]);
      for (std::size_t e = 0; e < column.size(); ++e) {
        EXPECT_TRUE(e == 0 || column[e - 1].first < column[e].first) << "column " << i;
        EXPECT_EQ(column[e].second, l(column[e].first, i)) << "column " << i;
      }
    }
    EXPECT_LE((l - expected).cwiseAbs().maxCoeff(), 1e-12 * expected.cwiseAbs().maxCoeff());
    std::vector<double> x(static_cast<std::size_t>(n));
    Eigen::VectorXd rhs(n);
    for (int i = 0; i < n; ++i) x[static_cast<std::size_t>(i)] = rhs(i) = random.Uniform(-1.0, 1.0);
    ASSERT_TRUE(SolveCholesky(factor, x));
    const Eigen::VectorXd solution = a.llt().solve(rhs);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x[static_cast<std::size_t>(i)], solution(i), 1e-12) << "x " << i;
  }
}

TEST(SparseCholesky, SolveRejectsAVectorOfAnotherSize) {
  const CholeskyFactor factor = FactorCholesky(Rows({{{0, 4.0}}, {{0, 2.0}, {1, 3.0}}}));
  std::vector<double> x{1.0, 2.0, 3.0};
  EXPECT_FALSE(SolveCholesky(factor, x));
  EXPECT_EQ(x, (std::vector<double>{1.0, 2.0, 3.0}));
  std::vector<double> empty;
  EXPECT_TRUE(SolveCholesky(CholeskyFactor(), empty));
}

TEST(SparseVectorSort, ByIndexThenValueWithoutRepeats) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  SparseVector vector;
  for (const auto& entry : Entries{{3, 1.0}, {1, 2.0}, {3, -1.0}, {1, 2.0}, {0, nan}, {2, 5.0}, {0, 1.0}, {0, nan}})
    vector.PushBack(ZRMUtMakePair(entry.first, entry.second));
  SortSparseVector(vector);
  const Entries sorted = ToEntries(vector);
  ASSERT_EQ(sorted.size(), 6u);
  EXPECT_EQ(sorted[0], (std::pair<int, double>{0, 1.0}));
  EXPECT_EQ(sorted[1].first, 0);
  EXPECT_TRUE(std::isnan(sorted[1].second));
  EXPECT_EQ(Entries(sorted.begin() + 2, sorted.end()), (Entries{{1, 2.0}, {2, 5.0}, {3, -1.0}, {3, 1.0}}));
}
