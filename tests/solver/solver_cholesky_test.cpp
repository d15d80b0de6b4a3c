// The sparse Cholesky factorization's kernels called directly: the loops over consecutive rows
// against the plain loops they stand for. Its factors, rejected pivots and solves in the solver
// are pinned by the golden corpus and the cases known by hand, and checked by the dense oracle.
#include "ZRMSolverOracle.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace zrmtest;

namespace {

// Values of every kind an update meets: ordinary, tiny, huge, signed zeros, infinities, NaN.
double DrawValue(Random& random) {
  static const double kSpecial[] = {
      0.0, -0.0, 1e-310, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  return random.Chance(0.05) ? kSpecial[random.Int(0, 5)] : random.Uniform(-4.0, 4.0);
}

// Bit for bit, NaN included.
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
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
    EXPECT_TRUE(SameBits(fast, plain)) << "update";

    plain = work;
    fast = work;
    SubtractColumn(rows.data(), values.data(), count, x, plain.data());
    SubtractConsecutiveColumn(first, values.data(), count, x, fast.data());
    EXPECT_TRUE(SameBits(fast, plain)) << "forward";

    EXPECT_EQ(Bits(DotConsecutiveColumn(x, first, values.data(), count, work.data())),
              Bits(DotColumn(x, rows.data(), values.data(), count, work.data())))
        << "backward";
  }
}
