// The solver against a literal model of its algorithm over ordered maps: every factorization
// field and every result must agree bit for bit, on generated problems of all kinds and on
// small cases with what is known of them by hand (failure paths included).
#include "SolverTestSupport.h"
#include "ZRMProblemGenerator.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <numeric>
#include <set>

using namespace solvertest;

namespace {

using Key = std::pair<int, int>;
using Row = std::map<int, double>;
using List = std::vector<std::pair<int, double>>;

// Step by step as documented: elimination over maps, Cholesky with column lists.
class Model {
public:
  explicit Model(const ZRMLSQSolver& solver) {
    const auto& constraints = Constraints(solver);
    for (auto it = constraints.Begin(); it != constraints.End(); ++it) {
      Input input{Key(it->first.first, it->first.second), it->second.mIsHard, {}, it->second.mRhs};
      const auto& coefficients = it->second.mCoefficients;
      for (auto c = coefficients.Begin(); c != coefficients.End(); ++c) input.coefficients[c->first] = c->second;
      mInputs.push_back(input);
    }
  }

  bool Factor() {
    for (const Input& input : mInputs)
      if (!input.hard) mRowIndex[input.key] = mSoft++;
    std::vector<HardRow> rows;  // coefficients, key, right-hand side as (key, factor) terms
    for (const Input& input : mInputs)
      if (input.hard) rows.push_back({input.coefficients, input.key, {{input.key, 1.0}}});
    const int hardCount = static_cast<int>(rows.size());
    std::map<int, int> order;
    std::map<int, Row> subs;
    std::map<int, std::map<Key, double>> subRhs;
    for (int k = 0; !rows.empty(); ++k) {
      double best = 0.0;
      std::size_t pivotRow = 0;
      int u = 0;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const double m = static_cast<double>(rows[i].row.size());
        bool stop = false;
        for (const auto& entry : rows[i].row) {
          const double score = std::fabs(entry.second) / (m - 0.9);
          if (score > best) {
            best = score;
            pivotRow = i;
            u = entry.first;
            if (score > 0.5 && m < 3) stop = true;
          }
          if (stop) break;
        }
        if (stop) break;
      }
      if (1e-10 > best) return false;
      order[u] = k;
      subRhs[u] = rows[pivotRow].rhs;
      mRowIndex[rows[pivotRow].key] = mSoft + k;
      std::swap(rows[pivotRow], rows.back());
      const double f = -1.0 / rows.back().row[u];
      for (const auto& entry : rows.back().row)
        if (entry.first != u) subs[u][entry.first] = f * entry.second;
      for (auto& term : subRhs[u]) term.second = -(f * term.second);
      rows.pop_back();
      for (HardRow& other : rows) {
        if (!other.row.count(u)) continue;
        const double c = other.row[u];
        other.row.erase(u);
        for (const auto& entry : subs[u]) other.row[entry.first] += c * entry.second;
        for (const auto& term : subRhs[u]) other.rhs[term.first] -= c * term.second;
      }
      for (auto& e : subs) {
        if (!e.second.count(u)) continue;
        const double c = e.second[u];
        e.second.erase(u);
        for (const auto& entry : subs[u]) e.second[entry.first] += c * entry.second;
        for (const auto& term : subRhs[u]) subRhs[e.first][term.first] += c * term.second;
      }
    }
    std::map<int, int> column;
    for (const Input& input : mInputs)
      if (!input.hard)
        for (const auto& entry : input.coefficients)
          if (!order.count(entry.first) && !column.count(entry.first)) {
            column[entry.first] = static_cast<int>(mColumnVariables.size());
            mColumnVariables.push_back(entry.first);
          }
    const int freeCount = static_cast<int>(mColumnVariables.size());
    mColumnVariables.resize(freeCount + hardCount);
    for (const auto& e : order) {
      column[e.first] = freeCount + e.second;
      mColumnVariables[freeCount + e.second] = e.first;
    }
    mEliminatedRows.resize(hardCount);
    for (const auto& e : order)
      for (const auto& entry : subs[e.first]) {
        if (!column.count(entry.first)) return false;
        mEliminatedRows[e.second].emplace_back(column[entry.first], entry.second);
      }
    std::vector<Row> accumulators(hardCount);
    mSoftRows.resize(mSoft);
    for (const Input& input : mInputs) {
      if (input.hard) continue;
      const int r = mRowIndex[input.key];
      Row reduced = input.coefficients;
      for (const auto& entry : input.coefficients) {
        if (!order.count(entry.first)) continue;
        for (const auto& s : subs[entry.first]) reduced[s.first] += entry.second * s.second;
        for (const auto& t : subRhs[entry.first])
          accumulators[mRowIndex[t.first] - mSoft][r] -= entry.second * t.second;
      }
      for (const auto& entry : reduced)
        if (!order.count(entry.first)) mSoftRows[r].emplace_back(column[entry.first], entry.second);
      std::sort(mSoftRows[r].begin(), mSoftRows[r].end());
    }
    for (const auto& e : order)
      for (const auto& t : subRhs[e.first]) accumulators[mRowIndex[t.first] - mSoft][mSoft + e.second] += t.second;
    for (const Row& accumulator : accumulators) mHardRhs.emplace_back(accumulator.begin(), accumulator.end());
    std::vector<Row> normal(freeCount);
    for (const List& row : mSoftRows)
      for (std::size_t i = 0; i < row.size(); ++i)
        for (std::size_t j = 0; j <= i; ++j) normal[row[i].first][row[j].first] += row[i].second * row[j].second;
    return Cholesky(normal) || freeCount == 0;
  }

  bool Solve() {
    std::vector<double> rowRhs;
    for (const Input& input : mInputs) {
      const int r = mRowIndex.at(input.key);
      if (static_cast<int>(rowRhs.size()) <= r) rowRhs.resize(r + 1, 0.0);
      rowRhs[r] = input.rhs;
    }
    std::vector<double> adjusted = rowRhs;
    for (std::size_t i = mSoft; i < adjusted.size(); ++i) adjusted[i] = 0.0;
    for (std::size_t k = 0; k < mHardRhs.size(); ++k)
      for (const auto& entry : mHardRhs[k]) adjusted[entry.first] += rowRhs[mSoft + k] * entry.second;
    const int n = static_cast<int>(mDiagonal.size());
    std::vector<double> x(n, 0.0);
    for (int r = 0; r < mSoft; ++r)
      for (const auto& entry : mSoftRows[r]) x[entry.first] += adjusted[r] * entry.second;
    for (int i = 0; i < n; ++i) {
      for (const auto& entry : mL[i]) x[i] = x[i] - entry.second * x[entry.first];
      x[i] = x[i] / mDiagonal[i];
    }
    for (int i = n - 1; i >= 0; --i) {
      for (const auto& entry : mLt[i]) x[i] = x[i] - entry.second * x[entry.first];
      x[i] = x[i] / mDiagonal[i];
    }
    for (int i = 0; i < n; ++i) mResult[mColumnVariables[i]] = x[i];
    for (std::size_t k = 0; k + n < mColumnVariables.size(); ++k) {
      double v = adjusted[mSoft + k];
      for (const auto& entry : mEliminatedRows[k]) v += x[entry.first] * entry.second;
      mResult[mColumnVariables[n + k]] = v;
    }
    return true;
  }

  void ExpectSameAs(const ZRMLSQSolver& solver) const {
    const zrmtest::SolverRecords state = State(solver);
    EXPECT_EQ(state.mSoftRowCount, mSoft);
    EXPECT_EQ(ToStd(state.mColumnVariables), mColumnVariables);
    EXPECT_EQ(RowIndex(solver), RowIndexList(mRowIndex.begin(), mRowIndex.end()));
    EXPECT_EQ(Bitwise(state.mEliminatedRows), Bitwise(mEliminatedRows)) << "eliminated rows";
    EXPECT_EQ(Bitwise(state.mHardRhsCoefficients), Bitwise(mHardRhs)) << "hard right-hand sides";
    EXPECT_EQ(Bitwise(state.mSoftRows), Bitwise(mSoftRows)) << "soft rows";
    EXPECT_EQ(Bitwise(state.mFactor.mRows), Bitwise(mL)) << "factor rows";
    EXPECT_EQ(Bitwise(state.mFactor.mColumns), Bitwise(mLt)) << "factor columns";
    std::vector<std::uint64_t> diagonal, expected;
    for (double d : ToStd(state.mFactor.mDiagonal)) diagonal.push_back(Bits(d));
    for (double d : mDiagonal) expected.push_back(Bits(d));
    EXPECT_EQ(diagonal, expected);
    std::vector<int> identity(mDiagonal.size());
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(ToStd(state.mFactor.mPermutation), identity);
  }

  void ExpectSameResults(const ZRMLSQSolver& solver) const {
    std::vector<std::pair<int, std::uint64_t>> expected;
    for (const auto& value : mResult) expected.emplace_back(value.first, Bits(value.second));
    EXPECT_EQ(Results(solver), expected);
  }

private:
  struct Input {
    Key key;
    bool hard;
    Row coefficients;
    double rhs;
  };

  struct HardRow {
    Row row;
    Key key;
    std::map<Key, double> rhs;
  };

  using BitLists = std::vector<std::vector<std::pair<int, std::uint64_t>>>;
  static BitLists Bitwise(const std::vector<List>& lists) {
    BitLists bits(lists.size());
    for (std::size_t i = 0; i < lists.size(); ++i)
      for (const auto& entry : lists[i]) bits[i].emplace_back(entry.first, Bits(entry.second));
    return bits;
  }
  static BitLists Bitwise(const ZRMUtVector<SparseVector>& lists) {
    std::vector<List> copy;
    for (int i = 0; i < lists.Size(); ++i) copy.push_back(ToEntries(lists[i]));
    return Bitwise(copy);
  }

  // Up-looking factorization with column lists whose last entry is the current row's slot.
  bool Cholesky(const std::vector<Row>& rows) {
    const int n = static_cast<int>(rows.size());
    std::vector<List> columns(n);
    std::vector<double> inverse(n, 0.0);
    std::vector<List> l(n);
    std::vector<double> diagonal(n, 0.0);
    for (int k = 0; k < n; ++k) {
      const List row(rows[k].begin(), rows[k].end());
      std::set<int> pattern;
      std::vector<int> walk;
      for (std::size_t e = 0; e + 1 < row.size(); ++e) {
        pattern.insert(row[e].first);
        walk.push_back(row[e].first);
      }
      for (std::size_t p = 0; p < walk.size(); ++p) {
        const int c = walk[p];
        for (const auto& entry : columns[c])
          if (pattern.insert(entry.first).second) walk.push_back(entry.first);
      }
      for (int c : pattern) columns[c].emplace_back(k, 0.0);
      for (std::size_t e = 0; e + 1 < row.size(); ++e)
        columns[row[e].first].back().second = row[e].second * inverse[row[e].first];
      for (int c : pattern) {
        const double x = columns[c].back().second;
        for (std::size_t e = 0; e + 1 < columns[c].size(); ++e) {
          const int i = columns[c][e].first;
          columns[i].back().second = columns[i].back().second - (x * columns[c][e].second) * inverse[i];
        }
      }
      double d = row.back().second;
      for (int c : pattern) {
        const double x = columns[c].back().second;
        d = d - x * x;
        l[k].emplace_back(c, x);
      }
      if (!(d > 0.0) || !std::isfinite(d)) return false;
      diagonal[k] = std::sqrt(d);
      inverse[k] = 1.0 / diagonal[k];
    }
    mL = l;
    mLt.assign(n, List());
    for (int i = 0; i < n; ++i)
      for (const auto& entry : l[i]) mLt[entry.first].emplace_back(i, entry.second);
    mDiagonal = diagonal;
    return true;
  }

  std::vector<Input> mInputs;
  int mSoft = 0;
  std::map<Key, int> mRowIndex;
  std::vector<int> mColumnVariables;
  std::vector<List> mEliminatedRows, mHardRhs, mSoftRows, mL, mLt;
  std::vector<double> mDiagonal;
  std::map<int, double> mResult;
};

// Factors and solves with the solver and the model: the same outcome and, after a success, the
// same fields and results bit for bit. Returns whether the model's Factor succeeded.
bool Agrees(ZRMLSQSolver& solver) {
  Model model(solver);
  const bool factored = model.Factor();
  EXPECT_EQ(solver.Factor(), factored);
  if (!factored) return false;
  model.ExpectSameAs(solver);
  EXPECT_TRUE(solver.Solve());
  model.Solve();
  model.ExpectSameResults(solver);
  return true;
}

bool FactorIsEmpty(const ZRMLSQSolver& solver) {
  const zrmtest::SolverRecords records = State(solver);
  const CholeskyFactor& factor = records.mFactor;
  return factor.mRows.Size() == 0 && factor.mColumns.Size() == 0 && factor.mDiagonal.Size() == 0 &&
         factor.mPermutation.Size() == 0;
}

constexpr int kLow = -2147483647 - 1;
constexpr int kHigh = 2147483647;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A small problem with what is known of it by hand: whether Factor succeeds, the reports it
// gives (unchecked when negative), the column variables (free ones in order of first
// appearance, then the eliminated ones by step) and the results, each unchecked when empty, and
// what a failed Factor leaves of the fields it built.
struct Pinned {
  const char* what;
  std::vector<Constraint> constraints;  // {hard, coefficients, rhs, named, id}
  bool factors;
  int reports;
  std::vector<int> columns;
  Entries results;
  bool inexact = false;  // results within four ulps, else exact
  std::function<void(const ZRMLSQSolver&)> state = nullptr;
};

const Pinned kPinned[] = {
    {"soft rows only: keys (-1,-1) (0,1) (0,3) (4,-1), normal matrix [[2,2,0],[2,6,1],[0,1,1]]",
     {{false, {{2, 1.0}, {9, 1.0}}, 0.0, true, 4},
      {false, {{2, 2.0}, {5, 1.0}}, 1.0},
      {false, {{5, 1.0}}, 0.0, true, -1},
      {false, {{2, 1.0}}, 2.0}},
     true,
     0,
     {5, 2, 9},
     {}},
    {"one hard row 2x = 7", {{true, {{3, 2.0}}, 7.0, true, 1}}, true, 0, {3}, {{3, 3.5}}},
    {"x + y = 4 hard, y = 1 soft",
     {{true, {{1, 1.0}, {2, 1.0}}, 4.0}, {false, {{2, 1.0}}, 1.0}},
     true,
     0,
     {2, 1},
     {{1, 3.0}, {2, 1.0}}},
    {"x - y = 0 hard, y = 5 soft",
     {{true, {{10, 1.0}, {20, -1.0}}, 0.0}, {false, {{20, 1.0}}, 5.0}},
     true,
     0,
     {20, 10},
     {{10, 5.0}, {20, 5.0}}},
    {"x = 3 and x = 1 soft", {{false, {{1, 1.0}}, 3.0}, {false, {{1, 1.0}}, 1.0}}, true, 0, {1}, {{1, 2.0}}, true},
    {"x - z = 1 hard, x + z = 5 soft",
     {{true, {{1, 1.0}, {2, -1.0}}, 1.0}, {false, {{1, 1.0}, {2, 1.0}}, 5.0}},
     true,
     0,
     {2, 1},
     {{1, 3.0}, {2, 2.0}}},
    {"x + y = 3, y + z = 1 hard, z = 2 soft: later eliminations substituted into earlier ones",
     {{true, {{1, 1.0}, {2, 1.0}}, 3.0, true, 1}, {true, {{2, 1.0}, {3, 1.0}}, 1.0, true, 2}, {false, {{3, 1.0}}, 2.0}},
     true,
     0,
     {3, 1, 2},
     {{1, 4.0}, {2, -1.0}, {3, 2.0}}},
    // Step 0: B's x (score 10 stops the scan); the last row E takes its place: order A, E, C, D.
    // Step 1: E's c (1/1.1 in a two-entry row, before C's 2 only because of the swap); A becomes
    //         {a, b, z}: order A, D, C.
    // Step 2: A's a scores 1/2.1 without stopping; D's z scores 3 and stops; A becomes {a, b}:
    //         order A, C. Step 3: A's a (1/1.1, stops). Step 4: C's y.
    {"pivot rule favours short rows and follows the swaps",
     {{true, {{1, 1.0}, {2, 1.0}, {3, 1.0}}, 0.0, true, 1},
      {true, {{4, 1.0}}, 0.0, true, 2},
      {true, {{5, 0.2}}, 0.0, true, 3},
      {true, {{6, 0.3}}, 0.0, true, 4},
      {true, {{3, 1.0}, {6, 1.0}}, 0.0, true, 5},
      {false, {{2, 1.0}}, 0.0, true, 6}},
     true,
     0,
     {2, 4, 3, 6, 1, 5},
     {}},
    // Equal scores 2/2.1 in the first two hard rows: the earlier row wins. In the third the -1 at
    // 4 ties with the 1 at 5 and 6 and comes first.
    {"ties keep the earlier entry",
     {{true, {{7, 2.0}, {8, 1.0}, {9, 1.0}}, 0.0, true, 1},
      {true, {{1, 2.0}, {2, 1.0}, {3, 1.0}}, 0.0, true, 2},
      {true, {{4, -1.0}, {5, 1.0}, {6, 1.0}}, 0.0, true, 3},
      {false, {{2, 1.0}}, 1.0},
      {false, {{3, 1.0}}, 1.0},
      {false, {{5, 1.0}}, 1.0},
      {false, {{6, 1.0}}, 1.0},
      {false, {{8, 1.0}}, 1.0},
      {false, {{9, 1.0}}, 1.0}},
     true,
     0,
     {2, 3, 5, 6, 8, 9, 7, 1, 4},
     {}},
    {"huge and negative ids",
     {{true, {{kLow, 1.0}, {kHigh, -1.0}}, 2.0, true, kHigh},
      {false, {{kHigh, 1.0}}, 1.0, true, kLow},
      {false, {{kLow, 1.0}, {0, 1.0}}, 5.0, true, 0}},
     true,
     0,
     {},
     {{kLow, 3.0}, {0, 2.0}, {kHigh, 1.0}},
     true},
    {"empty soft row", {{false, {}, 9.0}, {false, {{1, 1.0}}, 2.0}}, true, 0, {1}, {{1, 2.0}}},
    {"duplicate hard row",
     {{true, {{1, 1.0}, {2, 1.0}}, 1.0}, {true, {{1, 1.0}, {2, 1.0}}, 1.0}, {false, {{2, 1.0}}, 0.0}},
     false,
     0,
     {},
     {},
     false,
     [](const ZRMLSQSolver& solver) {
       EXPECT_EQ(State(solver).mSoftRowCount, 1);
       EXPECT_EQ(RowIndex(solver), (RowIndexList{{{0, 0}, 1}, {{0, 2}, 0}}));  // soft row, first pivot
       EXPECT_EQ(State(solver).mColumnVariables.Size(), 0);
     }},
    {"hard row without coefficients", {{true, {}, 1.0}, {false, {{1, 1.0}}, 1.0}}, false, -1, {}, {}},
    {"variable that no soft row names",
     {{true, {{1, 1.0}, {2, 1.0}}, 4.0}, {false, {{3, 1.0}}, 1.0}},
     false,
     0,
     {3, 1},
     {}},  // the columns complete
    {"undetermined soft variables",
     {{false, {{1, 1.0}, {2, 1.0}}, 1.0}},
     false,
     1,
     {},
     {},
     false,
     [](const ZRMLSQSolver& solver) {
       EXPECT_TRUE(FactorIsEmpty(solver));
       EXPECT_EQ(State(solver).mSoftRows.Size(), 1);  // every other field is built
     }},
    {"NaN in a soft row", {{false, {{1, 1.0}, {2, kNaN}}, 1.0}, {false, {{2, 1.0}}, 1.0}}, false, 1, {}, {}},
    {"infinity in a soft row", {{false, {{1, 1.0}, {2, kInf}}, 1.0}, {false, {{2, 1.0}}, 1.0}}, false, 1, {}, {}},
    {"-infinity in a soft row", {{false, {{1, 1.0}, {2, -kInf}}, 1.0}, {false, {{2, 1.0}}, 1.0}}, false, 1, {}, {}},
    {"a NaN entry is never a pivot", {{true, {{1, kNaN}}, 1.0}, {false, {{1, 1.0}}, 1.0}}, false, -1, {}, {}},
    {"an infinite pivot reaches the soft rows as NaN",
     {{true, {{1, kInf}, {2, kInf}}, 1.0}, {false, {{1, 1.0}, {2, 1.0}}, 1.0}},
     false,
     1,
     {},
     {}},
};

}  // namespace

// Each case agrees with the model and with what is known of it; a failed Factor leaves no
// usable factorization: Solve then fails with an empty result.
TEST(LSQSolverModel, PinnedCases) {
  for (const Pinned& pinned : kPinned) {
    SCOPED_TRACE(pinned.what);
    ZRMLSQSolver solver;
    Register(solver, pinned.constraints);
    zrmtest::AssertRecorder recorder(0);
    EXPECT_EQ(Agrees(solver), pinned.factors);
    if (pinned.reports >= 0) {
      EXPECT_EQ(recorder.reports.size(), static_cast<std::size_t>(pinned.reports));
    }
    if (!pinned.columns.empty()) {
      EXPECT_EQ(ToStd(State(solver).mColumnVariables), pinned.columns);
    }
    if (pinned.state) pinned.state(solver);
    if (!pinned.factors) {
      EXPECT_FALSE(solver.Solve());
      EXPECT_EQ(State(solver).mResult.Size(), 0);
    }
    if (pinned.results.empty()) continue;
    EXPECT_EQ(State(solver).mResult.Size(), static_cast<int>(pinned.results.size()));
    for (const auto& result : pinned.results) {
      if (pinned.inexact) {
        EXPECT_DOUBLE_EQ(solver.GetResult(result.first), result.second) << result.first;
      } else {
        EXPECT_EQ(solver.GetResult(result.first), result.second) << result.first;
      }
    }
  }
}

TEST(LSQSolverModel, FieldsAndResultsMatchTheLiteralAlgorithmBitForBit) {
  zrmtest::AssertRecorder recorder(0);  // rejected matrices report
  Random random(99);
  const long problems = zrmtest::Scaled(150);
  for (long p = 0; p < problems; ++p) {
    const Kind kind = p % 3 == 0 ? kKinds[(p / 3) % 6] : Kind::WellPosed;
    const Problem problem = GenerateDrawn(random, kind, 1, 80, 0.0, 0.4);
    SCOPED_TRACE(::testing::Message() << "problem " << p);
    ZRMLSQSolver solver;
    Register(solver, problem);
    Agrees(solver);
  }
}

// Long hard rows over few variables: heavy fill-in, many substitutions into earlier
// eliminations, scans without early stop.
TEST(LSQSolverModel, DenseHardRowsWithFillIn) {
  zrmtest::AssertRecorder recorder(0);
  Random random(3);
  for (int p = 0; p < zrmtest::Scaled(40); ++p) {
    SCOPED_TRACE(::testing::Message() << "problem " << p);
    const int count = random.Int(3, 25);
    ZRMLSQSolver solver;
    for (int h = 0; h < count / 3; ++h) {
      Entries row;
      for (int v = 0; v < count; ++v)
        if (random.Chance(0.4)) row.emplace_back(v, random.Uniform(-2.0, 2.0));
      solver.AddConstraint(true, random.Uniform(-1.0, 1.0), MakeCoefficients(row));
    }
    for (int s = 0; s < count + 3; ++s) {
      Entries row;
      for (int v = 0; v < count; ++v)
        if (v == s % count || random.Chance(0.3)) row.emplace_back(v, random.Uniform(-2.0, 2.0));
      solver.AddConstraint(false, random.Uniform(-1.0, 1.0), MakeCoefficients(row));
    }
    Agrees(solver);
  }
}

// Wide bands (every soft row spans 33 to 60 consecutive variables) with a few hard rows and
// gaps: factor columns that start on the next row and run on over 32 or more consecutive rows,
// beside columns with holes, so both triangular passes take every one of their paths.
TEST(LSQSolverModel, WideBandsAgreeWithTheLiteralAlgorithm) {
  zrmtest::AssertRecorder recorder(0);
  Random random(7);
  for (int p = 0; p < zrmtest::Scaled(8); ++p) {
    SCOPED_TRACE(::testing::Message() << "problem " << p);
    const int count = random.Int(70, 140);
    const int band = random.Int(33, 60);
    ZRMLSQSolver solver;
    for (int first = 0; first < count; ++first) {
      Entries row{{first, random.Uniform(2.0, 3.0)}};  // A stays triangular with a non-zero diagonal
      for (int v = first + 1; v < std::min(count, first + band); ++v)
        if (v % 17 != p % 17) row.emplace_back(v, random.Uniform(-1.0, 1.0));
      solver.AddConstraint(false, random.Uniform(-1.0, 1.0), MakeCoefficients(row));
    }
    for (int h = 0; h < 3; ++h) {
      const int v = random.Int(0, count - 2);
      solver.AddConstraint(true, random.Uniform(-1.0, 1.0), MakeCoefficients({{v, 1.0}, {v + 1, -1.0}}));
    }
    EXPECT_TRUE(Agrees(solver));
  }
}

// Sketches of 10 to 65 points whose hard rows have 1 to 4 entries (fixed coordinates, horizontal,
// vertical and coincident pairs, midpoints, symmetric points, points on lines), creation-ordered
// and renumbered: long rows that never stop the pivot scan beside short ones that do.
TEST(LSQSolverModel, SketchesWithOneToFourEntryHardRows) {
  zrmtest::AssertRecorder recorder(0);
  const zrmgen::SketchMix mixes[] = {zrmgen::SketchMix{}, zrmgen::kLongRowsMix, zrmgen::kShortRowsMix,
                                     zrmgen::kAllHardMix};
  std::set<std::size_t> hardRowSizes;
  for (int i = 0; i < 24; ++i) {
    const int points = 10 + 55 * i / 23;
    const bool shuffled = i % 2 == 1;
    SCOPED_TRACE(::testing::Message() << "sketch " << i << ", " << points << " points"
                                      << (shuffled ? ", shuffled" : ""));
    const zrmgen::Problem sketch =
        zrmgen::RelationSketch(points, shuffled, 100 + static_cast<std::uint64_t>(i), mixes[(i / 2) % 4]);
    ZRMLSQSolver solver;
    for (const zrmgen::Row& row : sketch.rows) {
      solver.AddConstraint(row.hard, MakeCoefficients(row.coefficients), row.id);
      solver.SetRhs(row.id, row.rhs);
      if (row.hard) hardRowSizes.insert(row.coefficients.size());
    }
    EXPECT_TRUE(Agrees(solver));
  }
  EXPECT_EQ(hardRowSizes, (std::set<std::size_t>{1, 2, 3, 4}));
  EXPECT_TRUE(recorder.reports.empty());
}

// Registration histories with many replacements (longer, shorter and empty coefficient maps),
// named ids out of key order among unnamed constraints, right-hand sides set before and after
// factorizations and for unknown ids: every Factor agrees with the model read from the records.
TEST(LSQSolverModel, RegistrationHistoriesWithReplacements) {
  zrmtest::AssertRecorder recorder(0);
  Random random(4242);
  int compared = 0;
  for (int history = 0; history < zrmtest::Scaled(12); ++history) {
    SCOPED_TRACE(::testing::Message() << "history " << history);
    const int variables = random.Int(4, 30);
    ZRMLSQSolver solver;
    for (int v = 0; v < variables; ++v)  // every variable determined by its own soft row
      solver.AddConstraint(false, random.Uniform(-5.0, 5.0), MakeCoefficients({{v, random.Uniform(1.0, 2.0)}}));
    for (int step = 0; step < 900; ++step) {  // enough replaced entries to compact the pool
      const int id = random.Int(-6, 6);
      const int action = random.Int(0, 99);
      if (action < 70) {
        Entries row;
        const int count = random.Int(0, 8);
        for (int e = 0; e < count; ++e) row.emplace_back(random.Int(0, variables - 1), random.Uniform(-1.0, 1.0));
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
                  row.end());
        const bool hard = !row.empty() && random.Chance(0.15);
        if (hard) row[0].second = 3.0;  // a clear pivot
        solver.AddConstraint(hard, MakeCoefficients(row), id);
      } else if (action < 80) {
        solver.AddConstraint(false, random.Uniform(-1.0, 1.0), MakeCoefficients({{random.Int(0, variables - 1), 1.0}}));
      } else if (action < 95) {
        solver.SetRhs(id, random.Uniform(-5.0, 5.0));
      } else {
        compared += Agrees(solver) ? 1 : 0;
      }
    }
    compared += Agrees(solver) ? 1 : 0;
  }
  EXPECT_GT(compared, zrmtest::Scaled(12) * 10);  // most factorizations succeed and are compared
}
