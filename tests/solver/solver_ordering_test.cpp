// The fill-reducing mode's pieces, on symmetric patterns: the order is a deterministic
// permutation, L fills about as little as under Eigen's AMD ordering (far less than in the given
// order on grids and arrows). The solver's results in this mode are the dense oracle's
// (fuzz_solver_oracle), and a new Factor builds the bits of a fresh one (solver_resolve_test).
#include "ZRMSolverOracle.h"
#include "ZRMAmdOrdering.h"
#include "ZRMSparseCholesky.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace zrmtest;

namespace {

// A symmetric pattern: n and the entries (i, j), j < i, of its lower triangle, each with a value.
struct Pattern {
  std::string what;
  int n = 0;
  std::map<std::pair<int, int>, double> below;
  void Connect(int a, int b, Random& random) {
    if (a != b) below[{std::max(a, b), std::min(a, b)}] = random.Uniform(-1.0, 1.0);
  }
};

// A k x k grid (5- or 9-point stencil), node ids given by id(node).
template <class Id>
Pattern Grid(int k, bool ninePoint, Id id, Random& random) {
  Pattern p{std::to_string(k) + (ninePoint ? " 9-point grid" : " 5-point grid"), k * k, {}};
  for (int i = 0; i < k; ++i)
    for (int j = 0; j < k; ++j) {
      const int node = i * k + j;
      if (j + 1 < k) p.Connect(id(node), id(node + 1), random);
      if (i + 1 < k) p.Connect(id(node), id(node + k), random);
      if (ninePoint && i + 1 < k && j + 1 < k) p.Connect(id(node), id(node + k + 1), random);
      if (ninePoint && i + 1 < k && j > 0) p.Connect(id(node), id(node + k - 1), random);
    }
  return p;
}

// A path with one variable joined to every other.
Pattern Arrow(int n, int hub, Random& random) {
  Pattern p{"arrow " + std::to_string(n) + " hub " + std::to_string(hub), n, {}};
  for (int i = 0; i < n; ++i) {
    p.Connect(i, hub, random);
    if (i + 1 < n) p.Connect(i, i + 1, random);
  }
  return p;
}

Pattern RandomPattern(int n, double degree, Random& random) {
  Pattern p{"random " + std::to_string(n), n, {}};
  for (int e = 0; e < static_cast<int>(degree * n / 2); ++e) {
    const int second = random.Int(0, n - 1);  // drawn in a fixed order, the same for every compiler
    const int first = random.Int(0, n - 1);
    p.Connect(first, second, random);
  }
  return p;
}

std::vector<Pattern> Patterns() {
  Random random(77);
  const auto same = [](int v) { return v; };
  const auto shuffled = [](int v) { return (v * 7919) % 2025; };  // 45 x 45 nodes, ids scattered
  std::vector<Pattern> patterns{{"empty", 0, {}},
                                {"diagonal", 40, {}},
                                Grid(2, false, same, random),
                                Grid(45, false, same, random),
                                Grid(45, false, shuffled, random),
                                Grid(40, true, same, random),
                                Arrow(60, 0, random),
                                Arrow(2000, 1234, random)};
  for (int trial = 0; trial < 10; ++trial)
    patterns.push_back(RandomPattern(random.Int(2, 1500), random.Uniform(0.5, 6.0), random));
  return patterns;
}

// The lower triangle, rows ascending with the diagonal last; the diagonal dominates.
CompressedRows LowerOf(const Pattern& p) {
  std::vector<double> diagonal(static_cast<std::size_t>(p.n), 1.0);
  for (const auto& entry : p.below) {
    diagonal[static_cast<std::size_t>(entry.first.first)] += std::abs(entry.second);
    diagonal[static_cast<std::size_t>(entry.first.second)] += std::abs(entry.second);
  }
  CompressedRows lower;
  auto entry = p.below.begin();
  for (int i = 0; i < p.n; ++i) {
    for (; entry != p.below.end() && entry->first.first == i; ++entry) lower.Append(entry->first.second, entry->second);
    lower.Append(i, diagonal[static_cast<std::size_t>(i)]);
    lower.EndRow();
  }
  return lower;
}

LowerFactor UpLooking(const CompressedRows& lower) {
  SparseCholesky cholesky;
  cholesky.Analyze(lower);
  LowerFactor factor;
  EXPECT_EQ(cholesky.Factorize(lower, factor), CholeskyStatus::Success);
  return factor;
}

long EigenAmdFill(const CompressedRows& lower) {
  std::vector<Eigen::Triplet<double>> triplets;
  for (int i = 0; i < lower.RowCount(); ++i)
    for (int e = lower.Begin(i); e < lower.End(i); ++e) triplets.emplace_back(i, lower.mIndex[e], lower.mValue[e]);
  Eigen::SparseMatrix<double> matrix(lower.RowCount(), lower.RowCount());
  matrix.setFromTriplets(triplets.begin(), triplets.end());
  Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::AMDOrdering<int>> llt(matrix);
  EXPECT_EQ(llt.info(), Eigen::Success);
  return static_cast<long>(llt.matrixL().nestedExpression().nonZeros()) - lower.RowCount();
}

}  // namespace

TEST(FillReducingMode, OrderFillsAboutAsLittleAsEigensAmd) {
  AmdOrdering reused;  // keeps its storage from pattern to pattern
  for (const Pattern& p : Patterns()) {
    SCOPED_TRACE(p.what);
    const CompressedRows lower = LowerOf(p);
    std::vector<int> permutation, inverse, again, againInverse;
    AmdOrdering().Order(lower, permutation, inverse);
    reused.Order(lower, again, againInverse);
    EXPECT_EQ(again, permutation);
    ASSERT_EQ(static_cast<int>(permutation.size()), p.n);
    ASSERT_EQ(static_cast<int>(inverse.size()), p.n);
    for (int k = 0; k < p.n; ++k)
      ASSERT_EQ(inverse[static_cast<std::size_t>(permutation[static_cast<std::size_t>(k)])], k);

    CompressedRows permuted, work;
    std::vector<int> fill;
    PermuteLower(lower, inverse, permuted, work, fill);
    const auto fillOf = [](const CompressedRows& m) { return static_cast<long>(UpLooking(m).mRow.size()); };
    const long ours = fillOf(permuted), eigen = EigenAmdFill(lower), given = fillOf(lower);
    EXPECT_LE(ours, eigen + eigen / 10 + 8) << "Eigen's AMD: " << eigen;
    const bool grid = p.what.find("grid") != std::string::npos && p.n > 100;
    const bool arrow = p.what.find("arrow") != std::string::npos;
    EXPECT_TRUE(!grid || 10 * ours <= 6 * given) << "ours " << ours << ", given " << given;
    EXPECT_TRUE(!arrow || ours <= 3 * p.n) << "ours " << ours << ", given " << given;
  }
}
