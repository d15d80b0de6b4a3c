// Diagnose on small cases known by hand: what the dense oracle's ranks leave open (named
// constraints, which row of a dependent set is reported, nearly dependent rows, variables without
// a soft row). Generated problems with planted faults are diagnosed against the oracle's ranks
// and null spaces in the replay of fuzz_solver_oracle.
#include "ZRMSolverOracle.h"

#include <gtest/gtest.h>

#include <map>

using namespace zrmtest;

namespace {

// Lists of named ids (all constraints named; none conflicting), variable ids; groups: dependent
// id -> its group.
struct Known {
  const char* what;
  std::vector<Constraint> constraints;
  std::vector<int> redundant, nearlyDependent, withoutSoftRow;
  std::map<int, std::vector<int>> groups;
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
     {{2, {1, 3}}}},
    {"two pairs of equal rows registered in descending ids: each pair's higher id is the dependent one",
     {Hard(4, {{1, 1.0}, {2, -1.0}}, 0.0), Hard(3, {{3, 1.0}, {4, -1.0}}, 0.0), Hard(2, {{3, 1.0}, {4, -1.0}}, 0.0),
      Hard(1, {{1, 1.0}, {2, -1.0}}, 0.0), Soft(5, {{2, 1.0}}, 1.0), Soft(6, {{4, 1.0}}, 1.0)},
     {3, 4},
     {},
     {},
     {{3, {2}}, {4, {1}}}},
    {"a hard row over two variables and nothing else", {Hard(1, {{1, 1.0}, {2, 1.0}}, 1.0)}, {}, {}, {2}, {}},
    {"a pivot of exactly 1e-9 of the largest its row held: not nearly dependent",
     {Hard(1, {{1, 1.0}, {2, 1.0}}, 0.0), Hard(2, {{1, 1.0}, {2, 1.0}, {3, 1e-9}}, 0.0), Soft(3, {{2, 1.0}}, 1.0)},
     {},
     {},
     {},
     {}},
    {"a pivot of 5e-10 in a row that held 1: nearly dependent",
     {Hard(1, {{1, 1.0}, {2, 1.0}}, 0.0), Hard(2, {{1, 1.0}, {2, 1.0}, {3, 5e-10}}, 0.0), Soft(3, {{2, 1.0}}, 1.0)},
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
    EXPECT_EQ(ToVector(diagnosis.mNearlyDependent), known.nearlyDependent);
    EXPECT_EQ(ToVector(diagnosis.mWithoutSoftRow), known.withoutSoftRow);
    for (const Constraint& constraint : known.constraints) {
      ZRMUtVector<int> group, unnamed;
      unnamed.PushBack(7);  // every constraint here is named: the unnamed part is emptied
      const auto expected = known.groups.find(constraint.id);
      const bool dependent = expected != known.groups.end();
      EXPECT_EQ(solver.DependencyOf(constraint.id, group, &unnamed), dependent) << constraint.id;
      EXPECT_EQ(ToVector(group), dependent ? expected->second : std::vector<int>()) << constraint.id;
      EXPECT_TRUE(unnamed.IsEmpty()) << constraint.id;
    }
    ZRMUtVector<int> group;  // an id or index without a constraint: false, the group emptied
    group.PushBack(7);
    EXPECT_FALSE(solver.DependencyOf(99, group));
    EXPECT_TRUE(group.IsEmpty());
    for (const int index : {-1, static_cast<int>(known.constraints.size())}) {  // before and past the store
      group.PushBack(7);
      EXPECT_FALSE(solver.DependencyOfUnnamed(index, group)) << index;
      EXPECT_TRUE(group.IsEmpty());
    }
  }
}

// DependencyOf answers for the last Diagnose only: constraint 2, dependent in the first one and
// replaced by an independent row, has no group in the second, whether or not another row is
// dependent then.
TEST(LSQSolverDiagnose, GroupsAreThoseOfTheLastDiagnose) {
  for (const bool otherDependent : {false, true}) {
    SCOPED_TRACE(otherDependent);
    ZRMLSQSolver solver;
    Register(solver, kKnown[0].constraints);
    ZRMLSQDiagnosis diagnosis;
    ZRMUtVector<int> group;
    ASSERT_TRUE(solver.Diagnose(diagnosis) && solver.DependencyOf(2, group));
    solver.AddConstraint(true, MakeCoefficients({{2, 1.0}, {4, 1.0}}), 2);
    if (otherDependent) solver.AddConstraint(true, MakeCoefficients({{1, 1.0}, {2, -1.0}}), 7);  // constraint 1 again
    ASSERT_TRUE(solver.Diagnose(diagnosis));
    EXPECT_FALSE(solver.DependencyOf(2, group));
    EXPECT_EQ(solver.DependencyOf(7, group), otherDependent);
    EXPECT_EQ(ToVector(group), otherDependent ? std::vector<int>{1} : std::vector<int>());
  }
}

namespace {

// Every diagnosis list and count, in one comparable record.
std::vector<std::vector<int>> Lists(const ZRMLSQDiagnosis& d) {
  return {ToVector(d.mRedundant),          ToVector(d.mConflicting),  ToVector(d.mNearlyDependent),
          ToVector(d.mNotFixedByHardRows), ToVector(d.mUndetermined), ToVector(d.mWithoutSoftRow),
          {d.mHardDegreesOfFreedom}};
}

}  // namespace

// Whether all rows leave a direction free is decided relative to the normal matrix's diagonal:
// scaling the soft rows, which the hard rows' tolerances never see, changes no decision.
TEST(LSQSolverDiagnose, SoftRowScaleChangesNoDecision) {
  std::vector<std::vector<Constraint>> cases;
  for (const Known& known : kKnown) cases.push_back(known.constraints);
  // Nearly parallel soft rows: pivot 5e-13 of a diagonal of 2, below 1e-10 of it.
  const std::vector<Constraint> nearlyParallel = {Soft(1, {{1, 1.0}, {2, 1.0}}, 1.0),
                                                  Soft(2, {{1, 1.0}, {2, 1.0 + 1e-6}}, 1.0)};
  cases.push_back(nearlyParallel);
  for (const std::vector<Constraint>& constraints : cases) {
    ZRMLSQSolver reference;
    Register(reference, constraints);
    ZRMLSQDiagnosis expected;
    ASSERT_TRUE(reference.Diagnose(expected));
    if (&constraints == &cases.back()) {  // decided undetermined at scale 1
      EXPECT_EQ(ToVector(expected.mUndetermined), (std::vector<int>{1, 2}));
    }
    for (const double scale : {1e-4, 1e4}) {
      SCOPED_TRACE(scale);
      std::vector<Constraint> scaled = constraints;
      for (Constraint& c : scaled) {
        if (c.hard) continue;
        for (auto& entry : c.coefficients) entry.second *= scale;
        c.rhs *= scale;
      }
      ZRMLSQSolver solver;
      Register(solver, scaled);
      ZRMLSQDiagnosis diagnosis;
      ASSERT_TRUE(solver.Diagnose(diagnosis));
      EXPECT_EQ(Lists(diagnosis), Lists(expected));
    }
  }
}
