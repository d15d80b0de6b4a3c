// Diagnose: small cases known by hand, and seeded problems with planted faults against the dense
// oracle's ranks and null spaces (singular value decompositions of the hard rows and of all rows).
#include "ZRMSolverOracle.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace zrmtest;

namespace {

std::vector<int> ToVector(const ZRMUtVector<int>& list) {
  std::vector<int> values;
  for (int i = 0; i < list.Size(); ++i) values.push_back(list[i]);
  return values;
}

// A case known by hand: the reports the random problems below leave unchecked (named
// constraints, which row of a dependent set is reported, nearly dependent rows, variables
// without a soft row); lists of named ids (all constraints named), variable ids.
struct Known {
  const char* what;
  std::vector<Constraint> constraints;
  std::vector<int> redundant, conflicting, nearlyDependent, withoutSoftRow;
  std::map<int, std::vector<int>> groups;  // dependent constraint -> its group
};

Constraint Hard(int id, Entries entries, double rhs) { return {true, std::move(entries), rhs, true, id}; }
Constraint Soft(int id, Entries entries, double rhs) { return {false, std::move(entries), rhs, true, id}; }

// The solver's own order decides which row of a dependent set is reported: each step pivots on
// the first row of the scan, and the last row takes the pivot row's place.
const Known kKnown[] = {
    {"x2 - x3 = 0 is implied by x1 - x2 = 0 and x1 - x3 = 0 (pivots: 1, then 3)",
     {Hard(1, {{1, 1.0}, {2, -1.0}}, 0.0), Hard(2, {{2, 1.0}, {3, -1.0}}, 0.0), Hard(3, {{1, 1.0}, {3, -1.0}}, 0.0),
      Soft(4, {{3, 1.0}}, 5.0)},
     {2},
     {},
     {},
     {},
     {{2, {1, 3}}}},
    {"the same at right-hand sides that contradict",
     {Hard(1, {{1, 1.0}, {2, -1.0}}, 0.0), Hard(2, {{2, 1.0}, {3, -1.0}}, 0.0), Hard(3, {{1, 1.0}, {3, -1.0}}, 1.0),
      Soft(4, {{3, 1.0}}, 5.0)},
     {},
     {2},
     {},
     {},
     {{2, {1, 3}}}},
    {"a duplicate scaled by 2 (the later one is reported)",
     {Hard(1, {{1, 1.0}, {2, 1.0}}, 1.0), Hard(2, {{1, 2.0}, {2, 2.0}}, 2.0), Soft(3, {{2, 1.0}}, 0.0)},
     {2},
     {},
     {},
     {},
     {{2, {1}}}},
    {"a hard row over two variables and nothing else", {Hard(1, {{1, 1.0}, {2, 1.0}}, 1.0)}, {}, {}, {}, {2}, {}},
    {"a pivot of exactly 1e-9 of the largest its row held: not nearly dependent",
     {Hard(1, {{1, 1.0}, {2, 1.0}}, 0.0), Hard(2, {{1, 1.0}, {2, 1.0}, {3, 1e-9}}, 0.0), Soft(3, {{2, 1.0}}, 1.0)},
     {},
     {},
     {},
     {},
     {}},
    {"a pivot of 5e-10 in a row that held 1: nearly dependent",
     {Hard(1, {{1, 1.0}, {2, 1.0}}, 0.0), Hard(2, {{1, 1.0}, {2, 1.0}, {3, 5e-10}}, 0.0), Soft(3, {{2, 1.0}}, 1.0)},
     {},
     {},
     {2},
     {},
     {}},
};

}  // namespace

TEST(LSQSolverDiagnose, KnownCases) {
  for (const Known& known : kKnown) {
    SCOPED_TRACE(known.what);
    ZRMLSQSolver solver;
    Register(solver, known.constraints);
    ZRMLSQDiagnosis diagnosis;
    ASSERT_TRUE(solver.Diagnose(diagnosis));
    EXPECT_EQ(ToVector(diagnosis.mRedundant), known.redundant);
    EXPECT_EQ(ToVector(diagnosis.mConflicting), known.conflicting);
    EXPECT_EQ(ToVector(diagnosis.mNearlyDependent), known.nearlyDependent);
    EXPECT_EQ(ToVector(diagnosis.mWithoutSoftRow), known.withoutSoftRow);
    for (const Constraint& constraint : known.constraints) {
      ZRMUtVector<int> group;
      const auto expected = known.groups.find(constraint.id);
      const bool dependent = expected != known.groups.end();
      EXPECT_EQ(solver.DependencyOf(constraint.id, group), dependent) << constraint.id;
      EXPECT_EQ(ToVector(group), dependent ? expected->second : std::vector<int>()) << constraint.id;
    }
    ZRMUtVector<int> group;  // an id or index without a constraint: false, the group emptied
    group.PushBack(7);
    EXPECT_FALSE(solver.DependencyOf(99, group));
    EXPECT_TRUE(group.IsEmpty());
    group.PushBack(7);
    EXPECT_FALSE(solver.DependencyOfUnnamed(-1, group));
    EXPECT_TRUE(group.IsEmpty());
  }
}

namespace {

// A problem of small integer rows with planted faults: dependent and contradictory hard rows,
// variables no hard row fixes, soft rows that leave directions free.
struct Planted {
  int variables = 0;
  std::vector<Constraint> hard, soft;  // hard rows in registration (and key) order
};

Entries IntegerRow(Random& random, int variables, int terms) {
  std::map<int, double> row;
  while (static_cast<int>(row.size()) < std::min(terms, variables)) {
    const int v = random.Int(0, variables - 1);
    int c = 0;
    while (c == 0) c = random.Int(-3, 3);
    row[v] = c;
  }
  return Entries(row.begin(), row.end());
}

double Dot(const Entries& row, const std::vector<double>& x) {
  double sum = 0.0;
  for (const auto& entry : row) sum += entry.second * x[static_cast<std::size_t>(entry.first)];
  return sum;
}

std::map<int, int> Columns(int n) {
  std::map<int, int> columns;
  for (int v = 0; v < n; ++v) columns[v] = v;
  return columns;
}

Planted Plant(Random& random) {
  Planted planted;
  const int n = random.Chance(0.95) ? random.Int(1, 40) : random.Int(41, 300);
  planted.variables = n;
  std::vector<double> x(static_cast<std::size_t>(n));
  for (double& value : x) value = random.Int(-5, 5);
  const int hardCount = random.Int(0, n / 2 + 1);
  for (int h = 0; h < hardCount; ++h) {
    const Entries row = IntegerRow(random, n, random.Int(1, 4));
    planted.hard.push_back({true, row, Dot(row, x)});
  }
  const int faults = hardCount > 0 ? random.Int(0, 3) : 0;
  for (int f = 0; f < faults; ++f) {
    const Constraint a = planted.hard[static_cast<std::size_t>(random.Int(0, hardCount - 1))];
    const Constraint b = planted.hard[static_cast<std::size_t>(random.Int(0, hardCount - 1))];
    Constraint fault = a;
    switch (random.Int(0, 3)) {
      case 0: break;  // duplicate
      case 1:         // scaled
        for (auto& entry : fault.coefficients) entry.second *= -2.0;
        fault.rhs *= -2.0;
        break;
      case 2: {  // summed
        std::map<int, double> sum(a.coefficients.begin(), a.coefficients.end());
        for (const auto& entry : b.coefficients) sum[entry.first] += entry.second;
        fault.coefficients.assign(sum.begin(), sum.end());
        fault.rhs = a.rhs + b.rhs;
        break;
      }
      default: fault.rhs += random.Int(1, 4);  // contradictory
    }
    planted.hard.insert(planted.hard.begin() + random.Int(0, static_cast<int>(planted.hard.size())), fault);
  }
  for (int v = 0; v < n; ++v)
    if (random.Chance(0.7)) planted.soft.push_back({false, {{v, static_cast<double>(random.Int(1, 3))}}, x[v]});
  const int extra = random.Int(0, n / 3);
  for (int s = 0; s < extra; ++s) {
    const Entries row = IntegerRow(random, n, random.Int(2, 3));
    planted.soft.push_back({false, row, Dot(row, x)});
  }
  return planted;
}

// The rows (by registration index) stacked over the variables 0 .. n - 1, with or without their
// right-hand sides; its rank.
int RankOf(const std::vector<Constraint>& rows, const std::vector<int>& which, int n, bool withRhs = false) {
  std::vector<DenseRow> stack;
  for (const int r : which)
    stack.push_back({true, rows[static_cast<std::size_t>(r)].coefficients, rows[static_cast<std::size_t>(r)].rhs});
  return Analyse(Dense(stack, Columns(n), withRhs)).rank;
}

// The variables named by some row, as the solver numbers them (ids ascending).
std::vector<int> NamedVariables(const Planted& planted) {
  std::set<int> named;
  for (const auto* rows : {&planted.hard, &planted.soft})
    for (const Constraint& row : *rows)
      for (const auto& entry : row.coefficients) named.insert(entry.first);
  return std::vector<int>(named.begin(), named.end());
}

std::vector<int> Restrict(const std::set<int>& support, const std::vector<int>& named) {
  std::vector<int> result;
  for (const int v : named)
    if (support.count(v)) result.push_back(v);
  return result;
}

}  // namespace

// Every report checked against the singular value decompositions: each group really spans its
// dependent row, removing the dependent rows keeps the rank with independent rows, redundant
// and conflicting follow the right-hand sides, and the free variables are exactly the supports
// of the null spaces of the hard rows and of all rows.
TEST(LSQSolverDiagnose, AgreesWithARankRevealingOracle) {
  Random random(2027);
  const long problems = std::max(50L, Scaled(500));
  for (long p = 0; p < problems; ++p) {
    SCOPED_TRACE(::testing::Message() << "problem " << p);
    const Planted planted = Plant(random);
    const int n = planted.variables;
    ZRMLSQSolver solver;
    for (const Constraint& row : planted.hard) solver.AddConstraint(true, row.rhs, MakeCoefficients(row.coefficients));
    for (const Constraint& row : planted.soft) solver.AddConstraint(false, row.rhs, MakeCoefficients(row.coefficients));
    ZRMLSQDiagnosis diagnosis;
    ASSERT_TRUE(solver.Diagnose(diagnosis));
    ASSERT_TRUE(diagnosis.mRedundant.IsEmpty() && diagnosis.mConflicting.IsEmpty());  // all unnamed

    const Spectrum hard = Analyse(Dense(DenseRows(planted.hard), Columns(n), false));
    std::set<int> reported;
    for (const auto* list : {&diagnosis.mRedundantUnnamed, &diagnosis.mConflictingUnnamed})
      for (const int index : ToVector(*list)) {
        reported.insert(index);
        ZRMUtVector<int> named, unnamed;
        ASSERT_TRUE(solver.DependencyOfUnnamed(index, named, &unnamed));
        EXPECT_TRUE(named.IsEmpty());
        std::vector<int> group = ToVector(unnamed);
        const int groupRank = RankOf(planted.hard, group, n);
        group.push_back(index);
        EXPECT_EQ(RankOf(planted.hard, group, n), groupRank) << "row " << index << " outside its group";
        const bool consistent = RankOf(planted.hard, group, n, true) == groupRank;
        EXPECT_EQ(consistent, list == &diagnosis.mRedundantUnnamed) << "row " << index;
      }
    std::vector<int> kept;
    for (int h = 0; h < static_cast<int>(planted.hard.size()); ++h)
      if (!reported.count(h)) kept.push_back(h);
    EXPECT_EQ(RankOf(planted.hard, kept, n), static_cast<int>(kept.size()));
    EXPECT_EQ(static_cast<int>(kept.size()), hard.rank);

    const std::vector<int> named = NamedVariables(planted);
    EXPECT_EQ(diagnosis.mHardDegreesOfFreedom, static_cast<int>(named.size()) - hard.rank);
    EXPECT_EQ(ToVector(diagnosis.mNotFixedByHardRows), Restrict(hard.support, named));
    std::vector<Constraint> all = planted.hard;
    all.insert(all.end(), planted.soft.begin(), planted.soft.end());
    EXPECT_EQ(ToVector(diagnosis.mUndetermined),
              Restrict(Analyse(Dense(DenseRows(all), Columns(n), false)).support, named));
  }
}
