// The sparse Cholesky factorization's kernels called directly: rejected pivots, and the loops over
// consecutive rows against the plain loops they stand for. Its factors and solves in the solver
// are pinned by the golden corpus and checked by the dense oracle.
#include "ZRMSolverOracle.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zrmtest;

namespace {

using Matrix = std::vector<Entries>;  // rows of a lower triangle, ascending, diagonal last

// Analyze and Factorize of a lower triangle.
CholeskyStatus FactorLower(const Matrix& rows, LowerFactor& factor) {
  CompressedRows lower;
  for (const Entries& row : rows) {
    for (const auto& entry : row) lower.Append(entry.first, entry.second);
    lower.EndRow();
  }
  SparseCholesky cholesky;
  cholesky.Analyze(lower);
  return cholesky.Factorize(lower, factor);
}

}  // namespace

// Non-positive and non-finite pivots at any row: rejected, the empty factor.
TEST(SparseCholesky, RejectedPivotsGiveTheEmptyFactor) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Matrix rejected[] = {
      {{{0, 0.0}}},
      {{{0, 1.0}}, {{0, 1.0}, {1, 1.0}}},                        // zero at row 1
      {{{0, 4.0}}, {{1, 1.0}}, {{0, 2.0}, {1, 1.0}, {2, 1.0}}},  // negative at row 2
      {{{0, 1.0}}, {{0, nan}, {1, 2.0}}},
      {{{0, 1.0}}, {{0, inf}, {1, inf}}},
  };
  for (const Matrix& rows : rejected) {
    SCOPED_TRACE(::testing::Message() << "case " << (&rows - rejected));
    LowerFactor factor;
    EXPECT_EQ(FactorLower(rows, factor), CholeskyStatus::NotPositiveDefinite);
    EXPECT_EQ(factor.Size(), 0);
    EXPECT_TRUE(factor.mRow.empty());
  }
}

namespace {

// Values of every kind an update meets: ordinary, tiny, huge, signed zeros, infinities, NaN.
double DrawValue(Random& random) {
  static const double kSpecial[] = {
      0.0, -0.0, 1e-310, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  return random.Chance(0.05) ? kSpecial[random.Int(0, 5)] : random.Uniform(-4.0, 4.0);
}

std::vector<std::uint64_t> BitsOf(const std::vector<double>& values) {
  std::vector<std::uint64_t> bits;
  for (const double value : values) bits.push_back(Bits(value));
  return bits;
}

}  // namespace

// The loops over consecutive rows against the plain loops they stand for: the same bits for
// every length (across vector widths), offset and kind of value.
TEST(SparseCholesky, ConsecutiveColumnLoopsAgreeWithThePlainLoops) {
  Random random(5);
  for (int trial = 0; trial < Scaled(2000); ++trial) {
    const int count = random.Int(0, 70);
    const int first = random.Int(0, 5);
    const int size = first + count + random.Int(0, 3);
    std::vector<double> values(static_cast<std::size_t>(count)), inverse(static_cast<std::size_t>(size)),
        work(static_cast<std::size_t>(size));
    std::vector<int> rows(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t) rows[static_cast<std::size_t>(t)] = first + t;
    for (double& value : values) value = DrawValue(random);
    for (double& value : inverse) value = DrawValue(random);
    for (double& value : work) value = DrawValue(random);
    const double x = DrawValue(random);
    SCOPED_TRACE(::testing::Message() << "trial " << trial << ", count " << count);

    std::vector<double> plain = work, fast = work;
    UpdateByColumn(rows.data(), values.data(), count, x, inverse.data(), plain.data());
    UpdateByConsecutiveColumn(first, values.data(), count, x, inverse.data(), fast.data());
    EXPECT_EQ(BitsOf(fast), BitsOf(plain)) << "update";

    plain = work;
    fast = work;
    SubtractColumn(rows.data(), values.data(), count, x, plain.data());
    SubtractConsecutiveColumn(first, values.data(), count, x, fast.data());
    EXPECT_EQ(BitsOf(fast), BitsOf(plain)) << "forward";

    EXPECT_EQ(Bits(DotConsecutiveColumn(x, first, values.data(), count, work.data())),
              Bits(DotColumn(x, rows.data(), values.data(), count, work.data())))
        << "backward";
  }
}
