// Registration, right-hand sides, reports, failure paths and the life cycle of a factorization.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <set>
#include <type_traits>

using namespace solvertest;

namespace {

constexpr const char* kPath = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMLSQSolver";

zrmtest::ConstraintRecord Record(const ZRMLSQSolver& solver, int first, int second = -1) {
  const zrmtest::ConstraintRecords records = Constraints(solver);
  const auto found = records.Find(ZRMUtMakePair(first, second));
  if (found != records.End()) return found->second;
  ADD_FAILURE() << "no constraint (" << first << ", " << second << ")";
  return {};
}

// A reported check: the texts and the line it reports, and the wide text of its runtime assertion.
struct Site {
  const char* message;
  const char* expression;
  int line;
  const wchar_t* runtimeText;
};
const Site kNoConstraint{"No constraint", "mState->mConstraints.Count(ZRMUtMakePair(iId, -1))", 340,
                         L"(\"No constraint\", mState->mConstraints.Count(ZRMUtMakePair(iId, -1)))"};
const Site kWrongVariable{"Wrong variable id.", "mState->mResult.Find(iVar) != mState->mResult.End()", 651,
                          L"(\"Wrong variable id.\", mState->mResult.Find(iVar) != mState->mResult.End())"};
const Site kNotPositiveDefinite{"Not positive definite matrix (or ill-conditioned)", "false", 186,
                                L"(\"Not positive definite matrix (or ill-conditioned)\", false)"};

// A call on a fresh solver that reports exactly once.
struct ReportCase {
  const char* what;
  const Site& site;
  std::function<void(ZRMLSQSolver&)> call;
};
const ReportCase kReportCases[] = {
    {"SetRhs of an unknown id", kNoConstraint, [](ZRMLSQSolver& solver) { solver.SetRhs(12, 3.5); }},
    {"GetResult before Solve", kWrongVariable,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
       EXPECT_TRUE(std::isnan(solver.GetResult(1)));
     }},
    {"GetResult of an unknown variable", kWrongVariable,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
       ASSERT_TRUE(solver.Factor());
       ASSERT_TRUE(solver.Solve());
       EXPECT_EQ(solver.GetResult(1), 3.0);
       EXPECT_TRUE(std::isnan(solver.GetResult(INT_MIN)));
     }},
    {"Factor with undetermined soft variables", kNotPositiveDefinite,
     [](ZRMLSQSolver& solver) {
       solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
       EXPECT_FALSE(solver.Factor());
     }},
};

}  // namespace

TEST(LSQSolverRegistration, KeysOfNamedAndUnnamedConstraints) {
  static_assert(!std::is_copy_constructible_v<ZRMLSQSolver> && !std::is_copy_assignable_v<ZRMLSQSolver>,
                "copying is not offered");
  ZRMLSQSolver solver;
  Coefficients x = MakeCoefficients({{1, 1.0}});
  solver.AddConstraint(false, 1.0, x);
  solver.AddConstraint(false, 2.0, x);
  solver.AddConstraint(true, x, 5);
  solver.AddConstraint(false, 4.0, x);
  solver.AddConstraint(false, x, -3);
  solver.AddConstraint(false, x, 0);
  x[1] = 5.0;  // the caller's map is copied
  x[2] = 1.0;
  std::vector<std::pair<int, int>> keys;
  const zrmtest::ConstraintRecords records = Constraints(solver);
  for (auto it = records.Begin(); it != records.End(); ++it) keys.emplace_back(it->first.first, it->first.second);
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{-3, -1}, {0, -1}, {0, 0}, {0, 1}, {0, 3}, {5, -1}}));
  EXPECT_EQ(Record(solver, 0, 3).mRhs, 4.0);
  EXPECT_TRUE(Record(solver, 5).mIsHard);
  EXPECT_EQ(Record(solver, 5).mRhs, 0.0);
  for (const ConstraintRecord& record : {Record(solver, 0, 3), Record(solver, -3)}) {
    EXPECT_EQ(record.mCoefficients.Size(), 1);
    EXPECT_EQ(record.mCoefficients.Find(1)->second, 1.0);
  }
}

// Ids in the table of named constraints and outside it; registering an id again replaces the
// constraint and its right-hand side; SetRhs of an unknown id registers an empty soft row.
TEST(LSQSolverRegistration, EveryIdReachesItsOwnRecord) {
  zrmtest::AssertRecorder recorder(0);
  ZRMLSQSolver solver;
  std::vector<int> ids = {INT_MIN, -7, 0, 1, 1023, 1024, 5000, 123456789, INT_MAX};
  for (int id = 2000; id < 4000; ++id) ids.push_back(id);  // the table grows with the count
  for (const int id : ids) solver.AddConstraint(false, MakeCoefficients({{id, 1.0}}), id);
  for (const int id : ids) solver.SetRhs(id, 0.5 * id + 1.0);
  EXPECT_TRUE(recorder.reports.empty());
  for (const int id : ids) EXPECT_EQ(Record(solver, id).mRhs, 0.5 * id + 1.0) << id;

  solver.AddConstraint(true, MakeCoefficients({{4, -2.0}}), 1);
  EXPECT_EQ(Constraints(solver).Size(), static_cast<int>(ids.size()));
  EXPECT_TRUE(Record(solver, 1).mIsHard);
  EXPECT_EQ(Record(solver, 1).mRhs, 0.0);
  ASSERT_EQ(Record(solver, 1).mCoefficients.Size(), 1);
  EXPECT_EQ(Record(solver, 1).mCoefficients.Find(4)->second, -2.0);
  solver.SetRhs(1, 6.5);
  EXPECT_EQ(Record(solver, 1).mRhs, 6.5);

  solver.SetRhs(-8, 3.5);  // reported (see the reports test)
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_FALSE(Record(solver, -8).mIsHard);
  EXPECT_EQ(Record(solver, -8).mCoefficients.Size(), 0);
  EXPECT_EQ(Record(solver, -8).mRhs, 3.5);
  solver.SetRhs(-8, 4.0);  // known now
  EXPECT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(Record(solver, -8).mRhs, 4.0);
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), -8);
  EXPECT_EQ(Record(solver, -8).mRhs, 0.0);
}

// Each report once, with its texts, path and line; in the development stage followed by the
// runtime assertion.
TEST(LSQSolverReports, TextsPathsAndLines) {
  for (const ReportCase& report : kReportCases)
    for (const int stage : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << report.what << ", development stage " << stage);
      ZRMLSQSolver solver;
      zrmtest::AssertRecorder recorder(stage);
      report.call(solver);
      ASSERT_EQ(recorder.reports.size(), stage == 0 ? 1u : 2u);
      const zrmtest::AssertReport& failure = recorder.reports[0];
      EXPECT_EQ(failure.kind, zrmtest::AssertReport::Failure);
      EXPECT_FALSE(failure.condition);
      EXPECT_EQ(failure.message, report.site.message);
      EXPECT_EQ(failure.expression, report.site.expression);
      EXPECT_EQ(failure.file, kPath);
      EXPECT_EQ(failure.line, report.site.line);
      if (stage == 0) continue;
      const zrmtest::AssertReport& runtime = recorder.reports[1];
      EXPECT_EQ(runtime.kind, zrmtest::AssertReport::Runtime);
      EXPECT_EQ(runtime.text, report.site.runtimeText);
      EXPECT_EQ(runtime.file, kPath);
      EXPECT_EQ(runtime.line, report.site.line);
    }
}

TEST(LSQSolverSolve, NeedsACurrentFactorization) {
  ZRMLSQSolver solver;
  EXPECT_TRUE(solver.Solve());  // nothing registered, nothing factored
  EXPECT_EQ(State(solver).mResult.Size(), 0);
  EXPECT_TRUE(solver.Factor());
  EXPECT_EQ(StateHash(solver), StateHash(ZRMLSQSolver()));  // every field empty
  EXPECT_TRUE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);

  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 1);
  solver.SetRhs(1, 4.0);
  EXPECT_FALSE(solver.Solve());  // before Factor
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(1), 4.0);
  solver.SetRhs(1, 6.0);  // a known id: the factorization stays
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(1), 6.0);

  solver.AddConstraint(false, 2.0, MakeCoefficients({{1, 1.0}}));  // added since
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_DOUBLE_EQ(solver.GetResult(1), 4.0);

  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}, {2, 1.0}}), 1);  // replaced since
  EXPECT_FALSE(solver.Solve());
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 1);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  const auto before = Results(solver);
  {
    zrmtest::AssertRecorder recorder(0);
    solver.SetRhs(99, 1.0);  // registers an empty constraint: reported, and the factorization is stale
    EXPECT_EQ(recorder.reports.size(), 1u);
  }
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_DOUBLE_EQ(solver.GetResult(1), 1.0);  // rows x = 0 (id 1 again) and x = 2
  EXPECT_EQ(Results(solver), before);          // the empty row changes nothing

  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}}));
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}}));  // duplicate hard row
  EXPECT_FALSE(solver.Factor());
  EXPECT_FALSE(solver.Solve());  // a failed Factor ends the earlier factorization
  EXPECT_EQ(State(solver).mResult.Size(), 0);
}

TEST(LSQSolverSolve, ResultsFollowTheColumnsOfTheLatestFactor) {
  zrmtest::AssertRecorder recorder(0);
  ZRMLSQSolver solver;
  Register(solver, {{false, {{1, 1.0}}, 3.0, true, 10}, {false, {{2, 1.0}}, 4.0, true, 20}});
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(Results(solver), (std::vector<std::pair<int, std::uint64_t>>{{1, Bits(3.0)}, {2, Bits(4.0)}}));
  solver.AddConstraint(false, MakeCoefficients({{3, 2.0}}), 20);  // variable 2 leaves, 3 comes
  solver.SetRhs(20, 5.0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(Results(solver), (std::vector<std::pair<int, std::uint64_t>>{{1, Bits(3.0)}, {3, Bits(2.5)}}));
  EXPECT_TRUE(std::isnan(solver.GetResult(2)));
  EXPECT_EQ(recorder.reports.size(), 1u);
}

// GetResult finds the value of every solved variable and of nothing else, however the ids
// spread: packed, negative, far apart, at the ends of the int range.
TEST(LSQSolverSolve, GetResultFindsExactlyTheSolvedVariables) {
  const std::vector<std::vector<int>> idSets = {
      {0, 1, 2, 3, 4, 5, 6, 7},
      {-40, -39, -37, -30, -2},
      {-5000000, -17, 3, 99991, 2000003, 700000001},
      {INT_MIN, INT_MIN + 1, 0, INT_MAX - 1, INT_MAX},
  };
  for (const std::vector<int>& ids : idSets) {
    ZRMLSQSolver solver;
    std::set<int> known;
    for (std::size_t k = 0; k < ids.size(); ++k) {
      solver.AddConstraint(false, 1.5 * static_cast<double>(k) - 2.0, MakeCoefficients({{ids[k], 1.0}}));
      known.insert(ids[k]);
    }
    ASSERT_TRUE(solver.Factor());
    ASSERT_TRUE(solver.Solve());
    for (std::size_t k = 0; k < ids.size(); ++k)
      EXPECT_EQ(solver.GetResult(ids[k]), 1.5 * static_cast<double>(k) - 2.0) << "id " << ids[k];
    std::set<int> probes = {INT_MIN, INT_MAX, 0, -1, 1};
    for (const int id : ids) {
      if (id > INT_MIN) probes.insert(id - 1);
      if (id < INT_MAX) probes.insert(id + 1);
    }
    for (const int probe : probes) {
      if (known.count(probe) != 0) continue;
      zrmtest::AssertRecorder recorder(0);
      EXPECT_TRUE(std::isnan(solver.GetResult(probe))) << "id " << probe;
      EXPECT_EQ(recorder.reports.size(), 1u) << "id " << probe;
    }
  }
}

// Factor numbers the variables by ascending id, so renaming the ids in an order-preserving way
// changes no bit of any result, whether Factor reads the log in place (keys registered
// ascending, ids exactly 0..n-1) or reads copies (any other ids).
TEST(LSQSolverFactor, RenamingTheIdsInOrderChangesNoBit) {
  const std::vector<std::vector<int>> idSets = {
      {0, 1, 2, 3, 4, 5, 6, 7},       {0, 3, 9, 10, 11, 12},        {1, 2, 3, 4, 5},
      {-40, -39, -37, -30, -2, 0, 1}, {INT_MIN, -7, 0, 5, INT_MAX},
  };
  Random random(7);
  for (const std::vector<int>& ids : idSets) {
    const int n = static_cast<int>(ids.size());
    struct Row {
      bool hard;
      std::vector<std::pair<int, double>> terms;  // (index into ids, coefficient)
      double rhs;
    };
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i) rows.push_back({false, {{i, random.Uniform(0.5, 2.0)}}, random.Uniform(-1.0, 1.0)});
    for (int k = 0; k < 2 * n; ++k) {
      const int i = random.Int(0, n - 2);
      const int j = random.Int(i + 1, n - 1);
      rows.push_back(
          {false, {{i, random.Uniform(-2.0, 2.0)}, {j, random.Uniform(-2.0, 2.0)}}, random.Uniform(-1.0, 1.0)});
    }
    rows.push_back({true, {{0, 1.0}, {n - 1, -1.0}}, 0.25});
    const auto solve = [&rows, n](const std::vector<int>& names) {
      ZRMLSQSolver solver;
      for (const Row& row : rows) {
        Entries entries;
        for (const auto& term : row.terms)
          entries.emplace_back(names[static_cast<std::size_t>(term.first)], term.second);
        solver.AddConstraint(row.hard, row.rhs, MakeCoefficients(entries));
      }
      std::vector<std::uint64_t> bits;
      if (!solver.Factor() || !solver.Solve()) return bits;
      for (int i = 0; i < n; ++i) bits.push_back(Bits(solver.GetResult(names[static_cast<std::size_t>(i)])));
      return bits;
    };
    std::vector<int> renamed;
    for (int i = 0; i < n; ++i) renamed.push_back(1000 + 3 * i);
    SCOPED_TRACE(::testing::Message() << "ids from " << ids.front() << ", " << n << " of them");
    const std::vector<std::uint64_t> expected = solve(renamed);
    ASSERT_EQ(expected.size(), ids.size());
    EXPECT_EQ(solve(ids), expected);
  }
}

TEST(LSQSolverRegistration, RightHandSidesSetAfterAFactorShowInTheRecords) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, MakeCoefficients({{1, 1.0}}), 4);
  solver.AddConstraint(false, MakeCoefficients({{2, 1.0}}), 5);
  solver.AddConstraint(true, MakeCoefficients({{1, 1.0}, {2, 1.0}}), 9);
  ASSERT_TRUE(solver.Factor());
  solver.SetRhs(4, 2.5);
  solver.SetRhs(9, -1.0);
  EXPECT_EQ(Record(solver, 4).mRhs, 2.5);
  EXPECT_EQ(Record(solver, 9).mRhs, -1.0);
  solver.SetRhs(4, 6.0);                                           // again, the factorization still current
  solver.AddConstraint(false, 1.0, MakeCoefficients({{2, 1.0}}));  // ends it
  EXPECT_EQ(Record(solver, 4).mRhs, 6.0);
  EXPECT_EQ(Record(solver, 9).mRhs, -1.0);
}

// A new factorization reuses the storage of the previous one (rows, columns, row index), and
// right-hand sides set while a factorization is current reach the records only when it ends;
// neither may show: refactoring after new right-hand sides and further registrations gives the
// fields and results a fresh solver gets from the same calls, whether the earlier factorization
// succeeded or failed and whatever the shapes of the two. (After a failed elimination mFactor
// is the previous call's by design, so it is compared only after a success.)
TEST(LSQSolverFactor, RefactoringAfterRegistrationsMatchesAFreshSolver) {
  Random random(2026);
  int succeeded = 0;
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(::testing::Message() << "round " << round);
    const Kind firstKind = round % 2 == 0 ? Kind::WellPosed : kKinds[round % 6];
    const Kind secondKind = round % 3 == 0 ? kKinds[(round / 3) % 6] : Kind::WellPosed;
    const Problem first = GenerateDrawn(random, firstKind, 1, 80, 0.0, 0.4);
    const Problem second = GenerateDrawn(random, secondKind, 1, 80, 0.0, 0.4);
    ZRMLSQSolver reused;
    ZRMLSQSolver fresh;
    zrmtest::AssertRecorder recorder(0);
    Register(reused, first);
    Register(fresh, first);
    if (reused.Factor()) reused.Solve();                    // results of the earlier columns
    for (const Constraint& constraint : first.constraints)  // new right-hand sides, kept through the next registrations
      if (constraint.named && random.Chance(0.5)) {
        const double rhs = random.Uniform(-10.0, 10.0);
        reused.SetRhs(constraint.id, rhs);
        fresh.SetRhs(constraint.id, rhs);
      }
    Register(reused, second);
    Register(fresh, second);
    const bool factored = fresh.Factor();
    ASSERT_EQ(reused.Factor(), factored);
    EXPECT_EQ(StateHash(reused, factored), StateHash(fresh, factored));
    ASSERT_EQ(reused.Factor(), factored);  // the same structure again
    EXPECT_EQ(StateHash(reused, factored), StateHash(fresh, factored));
    ASSERT_EQ(reused.Solve(), fresh.Solve());
    EXPECT_EQ(Results(reused), Results(fresh));
    succeeded += factored ? 1 : 0;
  }
  EXPECT_GT(succeeded, 10);  // both outcomes occur
  EXPECT_LT(succeeded, 50);
}
