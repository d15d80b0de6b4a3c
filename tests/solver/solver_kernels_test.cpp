// The sparse Cholesky's loops over consecutive rows against the plain loops they stand for: the
// same bits for every length (across vector widths), offset and kind of value. The factorization
// itself is pinned by the golden corpus and checked by the dense oracle.
#include "ZRMSolverOracle.h"
#include "ZRMSparseCholesky.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

using namespace zrmtest;

TEST(SparseCholesky, ConsecutiveColumnLoopsAgreeWithThePlainLoops) {
  const double special[] = {
      0.0, -0.0, 1e-310, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  Random random(5);
  const auto draw = [&] { return random.Chance(0.05) ? special[random.Int(0, 5)] : random.Uniform(-4.0, 4.0); };
  const auto bits = [](const std::vector<double>& values) {
    std::vector<std::uint64_t> result;
    for (const double value : values) result.push_back(Bits(value));
    return result;
  };
  for (long trial = 0; trial < Scaled(2000); ++trial) {
    const int count = random.Int(0, 70);
    const int first = random.Int(0, 5);
    const int size = first + count + random.Int(0, 3);
    std::vector<int> rows(static_cast<std::size_t>(count));
    std::iota(rows.begin(), rows.end(), first);
    std::vector<double> values(rows.size()), inverse(static_cast<std::size_t>(size)), work(inverse.size());
    for (std::vector<double>* drawn : {&values, &inverse, &work})
      for (double& value : *drawn) value = draw();
    const double x = draw();
    std::vector<double> plain = work, fast = work;
    UpdateByColumn(rows.data(), values.data(), count, x, inverse.data(), plain.data());
    UpdateByConsecutiveColumn(first, values.data(), count, x, inverse.data(), fast.data());
    EXPECT_EQ(bits(fast), bits(plain)) << "update, trial " << trial;
    plain = fast = work;
    SubtractColumn(rows.data(), values.data(), count, x, plain.data());
    SubtractConsecutiveColumn(first, values.data(), count, x, fast.data());
    EXPECT_EQ(bits(fast), bits(plain)) << "forward, trial " << trial;
    EXPECT_EQ(Bits(DotConsecutiveColumn(x, first, values.data(), count, work.data())),
              Bits(DotColumn(x, rows.data(), values.data(), count, work.data())))
        << "backward, trial " << trial;
  }
}
