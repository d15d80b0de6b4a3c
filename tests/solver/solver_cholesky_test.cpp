// Sparse Cholesky factorization, its triangular solve and the sparse-vector sort.
#include "SolverTestSupport.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace solvertest;

namespace {

ZRMUtVector<SparseVector> Rows(const std::vector<Entries>& rows) {
  ZRMUtVector<SparseVector> result;
  for (const Entries& row : rows) {
    SparseVector vector;
    for (const auto& entry : row) vector.PushBack(ZRMUtMakePair(entry.first, entry.second));
    result.PushBack(vector);
  }
  return result;
}

bool IsEmpty(const CholeskyFactor& factor) {
  return factor.mRows.Size() == 0 && factor.mColumns.Size() == 0 && factor.mDiagonal.Size() == 0 &&
         factor.mPermutation.Size() == 0;
}

// Factors rows that must be rejected: exactly one report with the stated texts, empty factor.
void ExpectRejected(const std::vector<Entries>& rows) {
  zrmtest::AssertRecorder recorder(0);
  const CholeskyFactor factor = FactorCholesky(Rows(rows));
  EXPECT_TRUE(IsEmpty(factor));
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].expression, "false");
  EXPECT_EQ(recorder.reports[0].message, "Not positive definite matrix (or ill-conditioned)");
  EXPECT_EQ(recorder.reports[0].file, "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver");
  EXPECT_EQ(recorder.reports[0].line, 186);
}

}  // namespace

TEST(SparseCholesky, EmptyMatrixGivesTheEmptyRecordWithoutReport) {
  zrmtest::AssertRecorder recorder(0);
  EXPECT_TRUE(IsEmpty(FactorCholesky(Rows({}))));
  EXPECT_TRUE(recorder.reports.empty());
}

TEST(SparseCholesky, OneByOneAndDiagonal) {
  const CholeskyFactor one = FactorCholesky(Rows({{{0, 9.0}}}));
  EXPECT_EQ(ToStd(one.mDiagonal), std::vector<double>{3.0});
  EXPECT_EQ(one.mRows[0].Size(), 0);
  EXPECT_EQ(one.mColumns[0].Size(), 0);
  EXPECT_EQ(ToStd(one.mPermutation), std::vector<int>{0});
  const CholeskyFactor diagonal = FactorCholesky(Rows({{{0, 4.0}}, {{1, 2.0}}, {{2, 0.25}}}));
  EXPECT_EQ(ToStd(diagonal.mDiagonal), (std::vector<double>{2.0, std::sqrt(2.0), 0.5}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(diagonal.mRows[i].Size(), 0);
    EXPECT_EQ(diagonal.mColumns[i].Size(), 0);
  }
  EXPECT_EQ(ToStd(diagonal.mPermutation), (std::vector<int>{0, 1, 2}));
}

TEST(SparseCholesky, TwoByTwoFromEitherTriangle) {
  for (const auto& rows : {std::vector<Entries>{{{0, 4.0}}, {{0, 2.0}, {1, 3.0}}},
                           std::vector<Entries>{{{1, 2.0}, {0, 4.0}}, {{1, 3.0}}}}) {
    const CholeskyFactor factor = FactorCholesky(Rows(rows));
    EXPECT_EQ(ToEntries(factor.mRows[0]), Entries{});
    EXPECT_EQ(ToEntries(factor.mRows[1]), (Entries{{0, 1.0}}));
    EXPECT_EQ(ToEntries(factor.mColumns[0]), (Entries{{1, 1.0}}));
    EXPECT_EQ(ToEntries(factor.mColumns[1]), Entries{});
    EXPECT_EQ(ToStd(factor.mDiagonal), (std::vector<double>{2.0, std::sqrt(2.0)}));
  }
}

TEST(SparseCholesky, FillInThroughTheClosure) {
  // [[4, 2, 2], [2, 5, 0], [2, 0, 6]]: L[2][1] = (0 - 1 * 1) / 2 although (2, 1) is zero.
  const CholeskyFactor factor = FactorCholesky(Rows({{{0, 4.0}}, {{0, 2.0}, {1, 5.0}}, {{0, 2.0}, {2, 6.0}}}));
  EXPECT_EQ(ToEntries(factor.mRows[2]), (Entries{{0, 1.0}, {1, -0.5}}));
  EXPECT_EQ(ToEntries(factor.mColumns[0]), (Entries{{1, 1.0}, {2, 1.0}}));
  EXPECT_EQ(ToEntries(factor.mColumns[1]), (Entries{{2, -0.5}}));
  EXPECT_EQ(ToStd(factor.mDiagonal), (std::vector<double>{2.0, 2.0, std::sqrt(4.75)}));
}

TEST(SparseCholesky, ExactCancellationKeepsTheEntry) {
  // [[1, 1, 1], [1, 2, 1], [1, 1, 2]]: L[2][1] = (1 - 1 * 1) / 1 = 0, stored.
  const CholeskyFactor factor =
      FactorCholesky(Rows({{{0, 1.0}}, {{0, 1.0}, {1, 2.0}}, {{0, 1.0}, {1, 1.0}, {2, 2.0}}}));
  EXPECT_EQ(ToEntries(factor.mRows[2]), (Entries{{0, 1.0}, {1, 0.0}}));
  EXPECT_EQ(ToEntries(factor.mColumns[1]), (Entries{{2, 0.0}}));
}

TEST(SparseCholesky, SymmetricPairGivenTwiceWithTheSameValueCountsOnce) {
  const CholeskyFactor factor = FactorCholesky(Rows({{{0, 4.0}, {1, 2.0}}, {{0, 2.0}, {1, 3.0}}}));
  EXPECT_EQ(ToEntries(factor.mRows[1]), (Entries{{0, 1.0}}));
}

TEST(SparseCholesky, NonPositiveAndNonFinitePivotsAreRejectedOnce) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ExpectRejected({{{0, 0.0}}});
  ExpectRejected({{{0, -1.0}}});
  ExpectRejected({{{0, 1.0}}, {{0, 1.0}, {1, 1.0}}});                                 // zero at row 1
  ExpectRejected({{{0, 4.0}}, {{1, 1.0}}, {{0, 2.0}, {1, 1.0}, {2, 1.0}}});           // negative at row 2
  ExpectRejected({{{0, nan}}});
  ExpectRejected({{{0, 1.0}}, {{0, nan}, {1, 2.0}}});
  ExpectRejected({{{0, inf}}});
  ExpectRejected({{{0, 1.0}}, {{0, inf}, {1, inf}}});
}

TEST(SparseCholesky, InputThatBreaksThePreconditionIsRejected) {
  ExpectRejected({{{0, 1.0}}, {{0, 1.0}}});             // row 1 without its diagonal
  ExpectRejected({{{0, 1.0}}, {}});                     // empty row
  ExpectRejected({{}});
  ExpectRejected({{{0, 1.0}}, {{5, 1.0}, {1, 1.0}}});   // column outside the matrix
  ExpectRejected({{{0, 1.0}}, {{-1, 1.0}, {1, 1.0}}});  // negative column
  ExpectRejected({{{0, 1.0}}, {{0, 0.5}, {0, 0.25}, {1, 1.0}}});  // one column twice
  ExpectRejected({{{0, 1.0}, {0, 2.0}}});                         // two diagonals
}

TEST(SparseCholesky, SolveAgreesWithADenseFactorization) {
  Random random(5);
  for (int trial = 0; trial < 40; ++trial) {
    const int n = random.Int(1, 30);
    Eigen::MatrixXd b = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        if (i == j || random.Chance(0.15)) b(i, j) = random.Uniform(-1.0, 1.0);
    const Eigen::MatrixXd m = b.transpose() * b + Eigen::MatrixXd::Identity(n, n);
    std::vector<Entries> rows(n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j <= i; ++j)
        if (m(i, j) != 0.0) rows[i].emplace_back(j, m(i, j));
    const CholeskyFactor factor = FactorCholesky(Rows(rows));
    ASSERT_EQ(factor.mRows.Size(), n);
    Eigen::MatrixXd l = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i) {
      l(i, i) = factor.mDiagonal[i];
      for (const auto& entry : ToEntries(factor.mRows[i])) l(i, entry.first) = entry.second;
    }
    EXPECT_LT((l * l.transpose() - m).norm(), 1e-12 * m.norm());
    Eigen::VectorXd rhs(n);
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) x[i] = rhs(i) = random.Uniform(-5.0, 5.0);
    ASSERT_TRUE(SolveCholesky(factor, x));
    const Eigen::VectorXd expected = m.llt().solve(rhs);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x[i], expected(i), 1e-10 * (1.0 + expected.norm()));
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
  EXPECT_EQ(Entries(sorted.begin() + 2, sorted.end()),
            (Entries{{1, 2.0}, {2, 5.0}, {3, -1.0}, {3, 1.0}}));
}
