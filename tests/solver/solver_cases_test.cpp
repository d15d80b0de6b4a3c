// Registration, right-hand sides, reports, the life cycle of a factorization, and small cases
// known by hand: pivot choices, column order and failure paths in both orderings.
#include "ZRMSolverOracle.h"
#include "ZRMTestSupport.h"
#include "ZRMUtTolerance.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>

using namespace zrmtest;

namespace {

constexpr const char* kPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";

// A reported check: the texts and the line it reports.
struct Site {
  std::string message, expression;
  int line;
};
const Site kNoConstraint{"No constraint", "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))", 340};
const Site kWrongVariable{"Wrong variable id.", "mState->mResult.Find(iVar) != mState->mResult.End()", 651};
const Site kNotPositiveDefinite{"Not positive definite matrix (or ill-conditioned)", "false", 186};

// A call on a fresh solver that reports exactly once.
struct ReportCase {
  const char* what;
  const Site& site;
  std::function<void(ZRMLSQSolver&)> call;
};
const ReportCase kReportCases[] = {
    {"SetRhs of an unknown id", kNoConstraint, [](ZRMLSQSolver& solver) { solver.SetRhs(12, 3.5); }},
    {"GetResult of an unknown variable", kWrongVariable,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
       ASSERT_TRUE(solver.Factor());
       ASSERT_TRUE(solver.Solve());
       EXPECT_EQ(solver.GetResult(1), 3.0);
       EXPECT_TRUE(std::isnan(solver.GetResult(INT_MIN)));
     }},
    {"GetResult after a Solve that a registration made refuse", kWrongVariable,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
       ASSERT_TRUE(solver.Factor());
       ASSERT_TRUE(solver.Solve());
       solver.AddConstraint(false, 1.0, MakeCoefficients({{2, 1.0}}));
       EXPECT_FALSE(solver.Solve());
       EXPECT_TRUE(std::isnan(solver.GetResult(1)));  // the refused Solve left no result
     }},
    {"Factor with undetermined soft variables", kNotPositiveDefinite,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
       EXPECT_FALSE(solver.Factor());
     }},
};

}  // namespace

// Keys of named and unnamed constraints; registering an id again replaces the constraint and
// its right-hand side (the store compacts the replaced entries); SetRhs of an unknown id
// registers an empty soft row (and reports); the caller's map is copied. Ids in the table of
// named constraints and far outside it.
TEST(LSQSolverRegistration, KeysReplacementsAndRightHandSides) {
  static_assert(!std::is_copy_constructible_v<ZRMLSQSolver> && !std::is_copy_assignable_v<ZRMLSQSolver>,
                "copying is not offered");
  AssertRecorder recorder(0);
  ZRMLSQSolver solver;
  Coefficients x = MakeCoefficients({{1, 1.0}});
  solver.AddConstraint(false, 1.0, x);
  solver.AddConstraint(false, 2.0, x);
  solver.AddConstraint(true, x, 5);
  solver.AddConstraint(false, 4.0, x);
  solver.AddConstraint(false, x, -3);
  solver.AddConstraint(false, x, 0);
  x[1] = 5.0;
  x[2] = 1.0;
  std::vector<int> ids = {INT_MIN, -7, 1, 1023, 1024, 5000, 123456789, INT_MAX};
  for (int id = 2000; id < 4000; ++id) ids.push_back(id);  // the table grows with the count
  for (int round = 0; round < 3; ++round)                  // replaced twice: dead entries outnumber live ones
    for (const int id : ids) solver.AddConstraint(false, MakeCoefficients({{id, round + 1.0}}), id);
  for (const int id : ids) solver.SetRhs(id, 0.5 * id + 1.0);
  solver.AddConstraint(true, MakeCoefficients({{4, -2.0}}), 1);  // replaced: its rhs 0 again
  solver.SetRhs(-8, 3.5);                                        // unknown: reported, registered
  solver.SetRhs(-8, 4.0);                                        // known now
  solver.SetRhs(1023, 6.5);
  EXPECT_EQ(recorder.reports.size(), 1u);
  ConstraintRecords expected;
  for (const int id : ids) expected[{id, -1}] = Record(false, 0.5 * id + 1.0, {{id, 3.0}});
  expected[{0, 0}] = Record(false, 1.0, {{1, 1.0}});
  expected[{0, 1}] = Record(false, 2.0, {{1, 1.0}});
  expected[{0, 3}] = Record(false, 4.0, {{1, 1.0}});
  expected[{5, -1}] = Record(true, 0.0, {{1, 1.0}});
  expected[{-3, -1}] = expected[{0, -1}] = Record(false, 0.0, {{1, 1.0}});
  expected[{1, -1}] = Record(true, 0.0, {{4, -2.0}});
  expected[{-8, -1}] = Record(false, 4.0, {});
  expected[{1023, -1}][1] = Bits(6.5);
  EXPECT_TRUE(ConstraintsOf(solver) == expected);
}

// Each report once, with its texts, path and line (the development stage's runtime assertion
// that follows a report is the reporting layer's own, tested with it).
TEST(LSQSolverReports, TextsPathsAndLines) {
  for (const ReportCase& report : kReportCases) {
    SCOPED_TRACE(report.what);
    ZRMLSQSolver solver;
    AssertRecorder recorder(0);
    report.call(solver);
    ASSERT_EQ(recorder.reports.size(), 1u);
    const AssertReport& failure = recorder.reports[0];
    EXPECT_EQ(failure.kind, AssertReport::Failure);
    EXPECT_FALSE(failure.condition);
    EXPECT_EQ(failure.message, report.site.message);
    EXPECT_EQ(failure.expression, report.site.expression);
    EXPECT_EQ(failure.file, kPath);
    EXPECT_EQ(failure.line, report.site.line);
  }
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// The coefficient whose one-entry row scores exactly 0.5.
constexpr double kHalfScore = 0.5 * (1.0 - 0.9);

// A small problem with what is known of it by hand: whether Factor succeeds, the reports it
// gives (unchecked when negative) and the results (unchecked when empty).
struct Pinned {
  const char* what;
  std::vector<Constraint> constraints;  // {hard, coefficients, rhs, named, id}
  bool factors;
  int reports;
  Entries results;  // exact in the given order
};

const Pinned kPinned[] = {
    {"x + y = 3, y + z = 1 hard, z = 2 soft: later eliminations substituted into earlier ones",
     {{true, {{1, 1.0}, {2, 1.0}}, 3.0, true, 1}, {true, {{2, 1.0}, {3, 1.0}}, 1.0, true, 2}, {false, {{3, 1.0}}, 2.0}},
     true,
     0,
     {{1, 4.0}, {2, -1.0}, {3, 2.0}}},
    {"the pivot of a short row is its first entry scoring above 0.5, not its first above 0: x2 here",
     {{true, {{1, 0.5}, {2, 1.0}}, 1.0}, {false, {{1, 1.0}}, 2.0}},
     true,
     0,
     {{1, 2.0}, {2, 0.0}}},
    {"a short row scoring exactly 0.5 does not stop the scan, the next one above it does: x3, not x4, is "
     "eliminated from x3 + 10 x4",
     {{true, {{1, kHalfScore}}, 1.0},
      {true, {{2, 1.0}, {3, 0.1}}, 1.0},
      {true, {{3, 1.0}, {4, 10.0}}, 1.0},
      {false, {{4, 1.0}}, 3.0}},
     true,
     0,
     {}},
    {"variable ids -1 and 1 (as many as the top id + 1) are numbered by rank",
     {{false, {{-1, 1.0}}, 2.0}, {false, {{1, 1.0}}, 3.0}},
     true,
     0,
     {{-1, 2.0}, {1, 3.0}}},
    {"hard row without coefficients", {{true, {}, 1.0}, {false, {{1, 1.0}}, 1.0}}, false, -1, {}},
    {"variable that no soft row names", {{true, {{1, 1.0}, {2, 1.0}}, 4.0}, {false, {{3, 1.0}}, 1.0}}, false, 0, {}},
    {"NaN in a soft row", {{false, {{1, 1.0}, {2, kNaN}}, 1.0}, {false, {{2, 1.0}}, 1.0}}, false, 1, {}},
    {"a NaN entry is never a pivot", {{true, {{1, kNaN}}, 1.0}, {false, {{1, 1.0}}, 1.0}}, false, -1, {}},
    {"an infinite pivot reaches the soft rows as NaN",
     {{true, {{1, kInf}, {2, kInf}}, 1.0}, {false, {{1, 1.0}, {2, 1.0}}, 1.0}},
     false,
     1,
     {}},
};

}  // namespace

// Each case in both orderings; a failed Factor leaves no usable factorization: Solve then fails
// with no results.
TEST(LSQSolverFactor, PinnedCases) {
  for (const Pinned& pinned : kPinned)
    for (const ZRMLSQOrdering ordering : {ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing}) {
      const bool given = ordering == ZRMLSQOrdering::AsGiven;
      SCOPED_TRACE(::testing::Message() << pinned.what << (given ? "" : ", fill-reducing"));
      ZRMLSQSolver solver;
      solver.SetOrdering(ordering);
      Register(solver, pinned.constraints);
      AssertRecorder recorder(0);
      EXPECT_EQ(solver.Factor(), pinned.factors);
      EXPECT_EQ(solver.Solve(), pinned.factors);
      EXPECT_TRUE(pinned.reports < 0 || recorder.reports.size() == static_cast<std::size_t>(pinned.reports));
      EXPECT_TRUE(pinned.factors || ResultBits(solver).empty());
      if (pinned.results.empty()) continue;
      EXPECT_EQ(ResultBits(solver).size(), pinned.results.size());
      for (const auto& result : pinned.results) {
        const double value = solver.GetResult(result.first);
        EXPECT_TRUE(given ? value == result.second : std::fabs(value - result.second) < 1e-15) << result.first;
      }
    }
}

// Only hard rows determine a variable that no soft row names. The fill-reducing mode takes it as
// its row's pivot where its magnitude is at least a tenth of the row's largest; the given order's
// rule takes the first entry of the largest, leaves it free and refuses. Diagnose, in Factor's
// order, names it exactly where Factor refuses.
TEST(LSQSolverFactor, FillReducingEliminatesWhatOnlyHardRowsReach) {
  struct Case {
    const char* what;
    double a, b;  // the hard row a x1 + b x2 = 1.5, beside the soft row x1 = 1
    bool fillFactors;
  };
  const Case cases[] = {{"an equal magnitude", 1.0, 1.0, true},
                        {"exactly a tenth of the largest", 1.0, 0.1, true},
                        {"below a tenth of the largest: x2 is left free", 2.0, 0.15, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Constraint> constraints = {{true, {{1, c.a}, {2, c.b}}, 1.5}, {false, {{1, 1.0}}, 1.0}};
    for (const ZRMLSQOrdering ordering : {ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing}) {
      ZRMLSQSolver solver;
      solver.SetOrdering(ordering);
      Register(solver, constraints);
      AssertRecorder recorder(0);
      const bool factors = ordering == ZRMLSQOrdering::FillReducing && c.fillFactors;
      EXPECT_EQ(solver.Factor(), factors);
      EXPECT_EQ(solver.Solve(), factors);
      ZRMLSQDiagnosis diagnosis;  // follows Factor's rule: x2 is without a soft row where it refuses
      ASSERT_TRUE(solver.Diagnose(diagnosis));
      EXPECT_EQ(diagnosis.mWithoutSoftRow.IsEmpty(), factors);
      if (!factors) continue;
      EXPECT_EQ(solver.GetResult(1), 1.0);
      EXPECT_NEAR(solver.GetResult(2), (1.5 - c.a) / c.b, 1e-14);
    }
  }
}

// A pivot may score exactly the absolute tolerance (an entry a in a row of m entries scores
// |a| / (m - 0.9)): the one entry of the hard row a x1 = 1 is taken in both orderings; in the
// fill-reducing mode, so is x2 of 1e-9 x1 + b x2 = 1, which no soft row names, beside the larger x1.
TEST(LSQSolverFactor, APivotScoringExactlyTheToleranceIsTaken) {
  const double tolerance = ZRMUtTolerance().AbsoluteTol();
  const auto scoringTolerance = [tolerance](int count) {  // the coefficient that scores it exactly
    const double d = static_cast<double>(count) - 0.9;
    double a = tolerance * d;
    for (int ulp = 0; ulp < 8 && a / d != tolerance; ++ulp) a = std::nextafter(a, a / d < tolerance ? 1.0 : 0.0);
    return a;
  };
  const double a = scoringTolerance(1), b = scoringTolerance(2);
  ASSERT_EQ(a / (1.0 - 0.9), tolerance);
  ASSERT_EQ(b / (2.0 - 0.9), tolerance);
  const struct {
    const char* what;
    std::vector<Constraint> constraints;
    bool givenFactors;
  } cases[] = {{"a x1 = 1", {{true, {{1, a}}, 1.0}, {false, {{2, 1.0}}, 1.0}}, true},
               {"1e-9 x1 + b x2 = 1", {{true, {{1, 1e-9}, {2, b}}, 1.0}, {false, {{1, 1.0}}, 1.0}}, false}};
  for (const auto& c : cases)
    for (const ZRMLSQOrdering ordering : {ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing}) {
      ZRMLSQSolver solver;
      solver.SetOrdering(ordering);
      Register(solver, c.constraints);
      AssertRecorder recorder(0);
      EXPECT_EQ(solver.Factor(), c.givenFactors || ordering == ZRMLSQOrdering::FillReducing)
          << c.what << (ordering == ZRMLSQOrdering::AsGiven ? ", as given" : ", fill-reducing");
    }
}
