// Elimination, reduction and solution on small problems whose state is known exactly, and the
// failure paths of Factor and Solve.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace solvertest;

namespace {

using RowIndexList = std::vector<std::pair<std::pair<int, int>, int>>;

bool FactorIsEmpty(const ZRMLSQSolver& solver) {
  const CholeskyFactor& factor = State(solver).mFactor;
  return factor.mRows.Size() == 0 && factor.mColumns.Size() == 0 && factor.mDiagonal.Size() == 0 &&
         factor.mPermutation.Size() == 0;
}

// Hash of every factorization field (mFactor left out unless withFactor), to compare two states
// bit for bit.
std::uint64_t FieldsHash(const ZRMLSQSolver& solver, bool withFactor = true) {
  const LSQSolverState& state = State(solver);
  Hash hash;
  hash.Add(state.mSoftRowCount);
  for (int v : ToStd(state.mColumnVariables)) hash.Add(v);
  for (const auto& row : RowIndex(solver)) {
    hash.Add(row.first.first);
    hash.Add(row.first.second);
    hash.Add(row.second);
  }
  for (int i = 0; i < state.mEliminatedRows.Size(); ++i) hash.Add(state.mEliminatedRows[i]);
  for (int i = 0; i < state.mHardRhsCoefficients.Size(); ++i) hash.Add(state.mHardRhsCoefficients[i]);
  for (int i = 0; i < state.mSoftRows.Size(); ++i) hash.Add(state.mSoftRows[i]);
  if (!withFactor) return hash.Value();
  for (int i = 0; i < state.mFactor.mRows.Size(); ++i) hash.Add(state.mFactor.mRows[i]);
  for (int i = 0; i < state.mFactor.mColumns.Size(); ++i) hash.Add(state.mFactor.mColumns[i]);
  for (double d : ToStd(state.mFactor.mDiagonal)) hash.Add(d);
  for (int p : ToStd(state.mFactor.mPermutation)) hash.Add(p);
  return hash.Value();
}

// Hash of every result, in variable order.
std::uint64_t ResultsHash(const ZRMLSQSolver& solver) {
  Hash hash;
  State(solver).mResult.ForEach([&hash](const ZRMUtPair<int, double>& result) {
    hash.Add(result.first);
    hash.Add(result.second);
  });
  return hash.Value();
}

}  // namespace

TEST(LSQSolverFactor, NoConstraints) {
  ZRMLSQSolver solver;
  EXPECT_TRUE(solver.Solve());  // nothing registered, nothing factored
  EXPECT_EQ(State(solver).mResult.Size(), 0);
  EXPECT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(state.mSoftRowCount, 0);
  EXPECT_EQ(state.mColumnVariables.Size(), 0);
  EXPECT_EQ(state.mRowIndex.Size(), 0);
  EXPECT_EQ(state.mEliminatedRows.Size(), 0);
  EXPECT_EQ(state.mHardRhsCoefficients.Size(), 0);
  EXPECT_EQ(state.mSoftRows.Size(), 0);
  EXPECT_TRUE(FactorIsEmpty(solver));
  EXPECT_TRUE(solver.Solve());
  EXPECT_EQ(state.mResult.Size(), 0);
}

TEST(LSQSolverFactor, SoftRowsOnlyNumberColumnsByFirstAppearance) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, MakeCoefficients({{9, 1.0}, {2, 1.0}}), 4);  // key (4, -1): last
  solver.AddConstraint(false, 1.0, MakeCoefficients({{5, 1.0}, {2, 2.0}}));  // (0, 1)
  solver.AddConstraint(false, MakeCoefficients({{5, 1.0}}), -1);            // (-1, -1): first
  solver.AddConstraint(false, 2.0, MakeCoefficients({{2, 1.0}}));             // (0, 3)
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(state.mSoftRowCount, 4);
  EXPECT_EQ(ToStd(state.mColumnVariables), (std::vector<int>{5, 2, 9}));
  EXPECT_EQ(RowIndex(solver), (RowIndexList{{{-1, -1}, 0}, {{0, 1}, 1}, {{0, 3}, 2}, {{4, -1}, 3}}));
  EXPECT_EQ(ToEntries(state.mSoftRows[1]), (Entries{{0, 1.0}, {1, 2.0}}));
  EXPECT_EQ(ToEntries(state.mSoftRows[3]), (Entries{{1, 1.0}, {2, 1.0}}));
  // Normal matrix [[2, 2, 0], [2, 6, 1], [0, 1, 1]]: L = [[r2], [r2, 2], [0, 0.5, r0.75]].
  const std::vector<double> diagonal = ToStd(state.mFactor.mDiagonal);
  ASSERT_EQ(diagonal.size(), 3u);
  EXPECT_EQ(diagonal[0], std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(diagonal[1], 2.0);
  EXPECT_DOUBLE_EQ(diagonal[2], std::sqrt(0.75));
  const Entries row2 = ToEntries(state.mFactor.mRows[2]);
  ASSERT_EQ(row2.size(), 1u);  // no fill from column 0
  EXPECT_EQ(row2[0].first, 1);
  EXPECT_DOUBLE_EQ(row2[0].second, 0.5);
  EXPECT_EQ(ToStd(state.mFactor.mPermutation), (std::vector<int>{0, 1, 2}));
}

TEST(LSQSolverFactor, OneHardRowAndNothingElse) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, MakeCoefficients({{3, 2.0}}), 1);
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToStd(state.mColumnVariables), std::vector<int>{3});
  EXPECT_EQ(RowIndex(solver), (RowIndexList{{{1, -1}, 0}}));
  ASSERT_EQ(state.mEliminatedRows.Size(), 1);
  EXPECT_EQ(state.mEliminatedRows[0].Size(), 0);
  EXPECT_EQ(ToEntries(state.mHardRhsCoefficients[0]), (Entries{{0, 0.5}}));
  EXPECT_TRUE(FactorIsEmpty(solver));
  solver.SetRhs(1, 7.0);
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(3), 3.5);
}

TEST(LSQSolverFactor, TwoEntryHardRowEliminatesTheFirstVariable) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 4.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));  // x + y = 4
  solver.AddConstraint(false, 1.0, MakeCoefficients({{2, 1.0}}));           // y = 1
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToStd(state.mColumnVariables), (std::vector<int>{2, 1}));
  EXPECT_EQ(ToEntries(state.mEliminatedRows[0]), (Entries{{0, -1.0}}));
  EXPECT_EQ(ToEntries(state.mHardRhsCoefficients[0]), (Entries{{1, 1.0}}));
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(2), 1.0);
  EXPECT_EQ(solver.GetResult(1), 3.0);
}

TEST(LSQSolverFactor, HardDifferenceWithSoftValue) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 0.0, MakeCoefficients({{10, 1.0}, {20, -1.0}}));  // x - y = 0
  solver.AddConstraint(false, 5.0, MakeCoefficients({{20, 1.0}}));             // y = 5
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(10), 5.0);
  EXPECT_EQ(solver.GetResult(20), 5.0);
  EXPECT_EQ(State(solver).mResult.Size(), 2);
}

TEST(LSQSolverFactor, SoftRowsAloneGiveTheirLeastSquaresValue) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, 3.0, MakeCoefficients({{1, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(1), 3.0);

  solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToEntries(state.mSoftRows[0]), (Entries{{0, 1.0}}));
  EXPECT_EQ(ToEntries(state.mSoftRows[1]), (Entries{{0, 1.0}}));
  EXPECT_EQ(ToStd(state.mFactor.mDiagonal), std::vector<double>{std::sqrt(2.0)});
  ASSERT_TRUE(solver.Solve());
  EXPECT_DOUBLE_EQ(solver.GetResult(1), 2.0);
}

TEST(LSQSolverFactor, EliminatedVariableInASoftRowCarriesTheHardRhs) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}, {2, -1.0}}));  // x - z = 1
  solver.AddConstraint(false, 5.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));  // x + z = 5
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToEntries(state.mSoftRows[0]), (Entries{{0, 2.0}}));
  EXPECT_EQ(ToEntries(state.mEliminatedRows[0]), (Entries{{0, 1.0}}));
  EXPECT_EQ(ToEntries(state.mHardRhsCoefficients[0]), (Entries{{0, -1.0}, {1, 1.0}}));
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(2), 2.0);
  EXPECT_EQ(solver.GetResult(1), 3.0);
}

TEST(LSQSolverFactor, LaterEliminationsAreSubstitutedIntoEarlierOnes) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, MakeCoefficients({{1, 1.0}, {2, 1.0}}), 1);  // x + y = r1
  solver.AddConstraint(true, MakeCoefficients({{2, 1.0}, {3, 1.0}}), 2);  // y + z = r2
  solver.AddConstraint(false, 2.0, MakeCoefficients({{3, 1.0}}));          // z = 2
  ASSERT_TRUE(solver.Factor());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToStd(state.mColumnVariables), (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(RowIndex(solver), (RowIndexList{{{0, 2}, 0}, {{1, -1}, 1}, {{2, -1}, 2}}));
  EXPECT_EQ(ToEntries(state.mEliminatedRows[0]), (Entries{{0, 1.0}}));   // x = z + r1 - r2
  EXPECT_EQ(ToEntries(state.mEliminatedRows[1]), (Entries{{0, -1.0}}));  // y = -z + r2
  EXPECT_EQ(ToEntries(state.mHardRhsCoefficients[0]), (Entries{{1, 1.0}}));
  EXPECT_EQ(ToEntries(state.mHardRhsCoefficients[1]), (Entries{{1, -1.0}, {2, 1.0}}));
  solver.SetRhs(1, 3.0);
  solver.SetRhs(2, 1.0);
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(3), 2.0);
  EXPECT_EQ(solver.GetResult(2), -1.0);
  EXPECT_EQ(solver.GetResult(1), 4.0);
}

TEST(LSQSolverFactor, PivotRuleFavoursShortRowsAndFollowsTheSwaps) {
  ZRMLSQSolver solver;
  // Hard rows in key order: A {a, b, c}, B {x}, C {y: 0.2}, D {z: 0.3}.
  solver.AddConstraint(true, MakeCoefficients({{1, 1.0}, {2, 1.0}, {3, 1.0}}), 1);
  solver.AddConstraint(true, MakeCoefficients({{4, 1.0}}), 2);
  solver.AddConstraint(true, MakeCoefficients({{5, 0.2}}), 3);
  solver.AddConstraint(true, MakeCoefficients({{6, 0.3}}), 4);
  solver.AddConstraint(true, MakeCoefficients({{3, 1.0}, {6, 1.0}}), 5);  // E {c, z}
  solver.AddConstraint(false, MakeCoefficients({{2, 1.0}}), 6);
  ASSERT_TRUE(solver.Factor());
  // Step 0: B's x (score 10 stops the scan); the last row E takes its place: order A, E, C, D.
  // Step 1: E's c (1/1.1 in a two-entry row, before C's 2 only because of the swap); A becomes
  //         {a, b, z}: order A, D, C.
  // Step 2: A's a scores 1/2.1 without stopping; D's z scores 3 and stops; A becomes {a, b}:
  //         order A, C. Step 3: A's a (1/1.1, stops). Step 4: C's y.
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(ToStd(state.mColumnVariables), (std::vector<int>{2, 4, 3, 6, 1, 5}));
  EXPECT_EQ(RowIndex(solver), (RowIndexList{{{1, -1}, 4}, {{2, -1}, 1}, {{3, -1}, 5}, {{4, -1}, 3},
                                            {{5, -1}, 2}, {{6, -1}, 0}}));
  EXPECT_EQ(ToEntries(state.mEliminatedRows[3]), (Entries{{0, -1.0}}));  // a = -b + ...
}

TEST(LSQSolverFactor, TiesKeepTheEarlierEntry) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, MakeCoefficients({{7, 2.0}, {8, 1.0}, {9, 1.0}}), 1);
  solver.AddConstraint(true, MakeCoefficients({{1, 2.0}, {2, 1.0}, {3, 1.0}}), 2);
  solver.AddConstraint(true, MakeCoefficients({{4, -1.0}, {5, 1.0}, {6, 1.0}}), 3);
  for (const int free : {2, 3, 5, 6, 8, 9}) solver.AddConstraint(false, 1.0, MakeCoefficients({{free, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  const std::vector<int> columns = ToStd(State(solver).mColumnVariables);
  // Equal scores 2/2.1 in rows 1 and 2: the earlier row wins. In row 3 the -1 at 4 ties with
  // the 1 at 5 and 6 and comes first.
  EXPECT_EQ(std::vector<int>(columns.end() - 3, columns.end()), (std::vector<int>{7, 1, 4}));
}

TEST(LSQSolverFactor, FactorTwiceGivesIdenticalFields) {
  Random random(17);
  const Problem problem = Generate(random, Kind::WellPosed, 40, 0.3);
  ZRMLSQSolver solver;
  Register(solver, problem);
  ASSERT_TRUE(solver.Factor());
  const std::uint64_t first = FieldsHash(solver);
  ASSERT_TRUE(solver.Factor());
  EXPECT_EQ(FieldsHash(solver), first);
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
    const Kind firstKind = round % 2 == 0 ? Kind::WellPosed : kKinds[round % 6];
    const Kind secondKind = round % 3 == 0 ? kKinds[(round / 3) % 6] : Kind::WellPosed;
    const Problem first = GenerateDrawn(random, firstKind, 1, 80, 0.0, 0.4);
    const Problem second = GenerateDrawn(random, secondKind, 1, 80, 0.0, 0.4);
    ZRMLSQSolver reused;
    ZRMLSQSolver fresh;
    zrmtest::AssertRecorder recorder(0);
    Register(reused, first);
    Register(fresh, first);
    reused.Factor();
    for (const Constraint& constraint : first.constraints)  // new right-hand sides, kept through the next registrations
      if (constraint.named && random.Chance(0.5)) {
        const double rhs = random.Uniform(-10.0, 10.0);
        reused.SetRhs(constraint.id, rhs);
        fresh.SetRhs(constraint.id, rhs);
      }
    Register(reused, second);
    Register(fresh, second);
    const bool factored = fresh.Factor();
    ASSERT_EQ(reused.Factor(), factored) << "round " << round;
    EXPECT_EQ(FieldsHash(reused, factored), FieldsHash(fresh, factored)) << "round " << round;
    ASSERT_EQ(reused.Factor(), factored) << "round " << round;  // the same structure again
    EXPECT_EQ(FieldsHash(reused, factored), FieldsHash(fresh, factored)) << "round " << round;
    ASSERT_EQ(reused.Solve(), fresh.Solve());
    EXPECT_EQ(ResultsHash(reused), ResultsHash(fresh)) << "round " << round;
    succeeded += factored ? 1 : 0;
  }
  EXPECT_GT(succeeded, 10);  // both outcomes occur
  EXPECT_LT(succeeded, 50);
}

TEST(LSQSolverFactor, DuplicateHardRowFailsWithoutReport) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
  solver.AddConstraint(false, 0.0, MakeCoefficients({{2, 1.0}}));
  zrmtest::AssertRecorder recorder(1);
  EXPECT_FALSE(solver.Factor());
  EXPECT_TRUE(recorder.reports.empty());
  const LSQSolverState& state = State(solver);
  EXPECT_EQ(state.mSoftRowCount, 1);
  EXPECT_EQ(RowIndex(solver), (RowIndexList{{{0, 0}, 1}, {{0, 2}, 0}}));  // soft row, first pivot
  EXPECT_EQ(state.mColumnVariables.Size(), 0);
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(state.mResult.Size(), 0);
}

TEST(LSQSolverFactor, HardRowWithoutCoefficientsFails) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 1.0, Coefficients());
  solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}}));
  EXPECT_FALSE(solver.Factor());
  EXPECT_FALSE(solver.Solve());
}

TEST(LSQSolverFactor, VariableThatNoSoftRowNamesFails) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 4.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));  // x + y, y nowhere else
  solver.AddConstraint(false, 1.0, MakeCoefficients({{3, 1.0}}));
  zrmtest::AssertRecorder recorder(1);
  EXPECT_FALSE(solver.Factor());
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(ToStd(State(solver).mColumnVariables), (std::vector<int>{3, 1}));  // complete
  EXPECT_FALSE(solver.Solve());
}

TEST(LSQSolverFactor, UndeterminedSoftVariablesAreReportedOnce) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
  zrmtest::AssertRecorder recorder(0);
  EXPECT_FALSE(solver.Factor());
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].message, "Not positive definite matrix (or ill-conditioned)");
  EXPECT_EQ(recorder.reports[0].expression, "false");
  EXPECT_EQ(recorder.reports[0].line, 186);
  EXPECT_TRUE(FactorIsEmpty(solver));
  EXPECT_EQ(State(solver).mSoftRows.Size(), 1);  // every other field is built
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);
}

TEST(LSQSolverFactor, NonFiniteCoefficientsNeverGiveAPlausibleResult) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double bad : {nan, inf, -inf}) {
    ZRMLSQSolver solver;  // in a soft row: the normal matrix is rejected
    solver.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}, {2, bad}}));
    solver.AddConstraint(false, 1.0, MakeCoefficients({{2, 1.0}}));
    zrmtest::AssertRecorder recorder(0);
    EXPECT_FALSE(solver.Factor()) << bad;
    EXPECT_EQ(recorder.reports.size(), 1u) << bad;
    EXPECT_FALSE(solver.Solve());
  }
  ZRMLSQSolver onlyNaN;  // a NaN entry is never a pivot
  onlyNaN.AddConstraint(true, 1.0, MakeCoefficients({{1, nan}}));
  onlyNaN.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}}));
  EXPECT_FALSE(onlyNaN.Factor());
  ZRMLSQSolver pivotInfinite;  // reaches the soft rows as NaN
  pivotInfinite.AddConstraint(true, 1.0, MakeCoefficients({{1, inf}, {2, inf}}));
  pivotInfinite.AddConstraint(false, 1.0, MakeCoefficients({{1, 1.0}, {2, 1.0}}));
  zrmtest::AssertRecorder recorder(0);
  EXPECT_FALSE(pivotInfinite.Factor());
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST(LSQSolverFactor, HugeAndNegativeIds) {
  const int low = -2147483647 - 1;
  const int high = 2147483647;
  ZRMLSQSolver solver;
  solver.AddConstraint(true, MakeCoefficients({{low, 1.0}, {high, -1.0}}), high);
  solver.AddConstraint(false, MakeCoefficients({{high, 1.0}}), low);
  solver.AddConstraint(false, MakeCoefficients({{0, 1.0}, {low, 1.0}}), 0);
  solver.SetRhs(high, 2.0);
  solver.SetRhs(low, 1.0);
  solver.SetRhs(0, 5.0);
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  // x_low = x_high + 2; x_high = 1 and x_0 + x_low = 5 fit exactly.
  EXPECT_DOUBLE_EQ(solver.GetResult(high), 1.0);
  EXPECT_DOUBLE_EQ(solver.GetResult(low), 3.0);
  EXPECT_DOUBLE_EQ(solver.GetResult(0), 2.0);
}

TEST(LSQSolverFactor, EmptySoftRowIsHarmless) {
  ZRMLSQSolver solver;
  solver.AddConstraint(false, 9.0, Coefficients());
  solver.AddConstraint(false, 2.0, MakeCoefficients({{1, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  EXPECT_EQ(State(solver).mSoftRows[0].Size(), 0);
  ASSERT_TRUE(solver.Solve());
  EXPECT_EQ(solver.GetResult(1), 2.0);
}

TEST(LSQSolverSolve, NeedsACurrentFactorization) {
  ZRMLSQSolver solver;
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

  {
    zrmtest::AssertRecorder recorder(0);
    solver.SetRhs(99, 1.0);  // registers a constraint: reported, and the factorization is stale
    EXPECT_EQ(recorder.reports.size(), 1u);
  }
  EXPECT_FALSE(solver.Solve());
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  EXPECT_DOUBLE_EQ(solver.GetResult(1), 1.0);  // rows x = 0 (id 1 again) and x = 2
}

TEST(LSQSolverSolve, AFailedFactorLeavesNoUsableFactorization) {
  ZRMLSQSolver solver;
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}}));
  solver.AddConstraint(false, 2.0, MakeCoefficients({{2, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  ASSERT_TRUE(solver.Solve());
  solver.AddConstraint(true, 1.0, MakeCoefficients({{1, 1.0}}));  // duplicate hard row
  EXPECT_FALSE(solver.Factor());
  EXPECT_FALSE(solver.Solve());
  EXPECT_EQ(State(solver).mResult.Size(), 0);
}
