// Golden corpus: the exact bits of every result, with the column order and the fill-reducing
// permutation, over generated problems of every kind and sketches of up to 20 000 points in both
// orderings, long hard rows with heavy fill-in, wide bands joined by one row over every variable.
// Any change of the arithmetic, of an order of summation or of the elimination order shows here;
// an optimisation must reproduce these hashes exactly.
#include "ZRMSolverOracle.h"
#include "ZRMProblemGenerator.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zrmtest;

namespace {

// FNV-1a over 64-bit words.
void Add(std::uint64_t& hash, std::uint64_t word) {
  for (int byte = 0; byte < 8; ++byte) hash = (hash ^ ((word >> (8 * byte)) & 0xFF)) * 0x100000001B3ull;
}

// Solve, after Factor when factor: both outcomes, the order of the columns and the fill-reducing
// permutation of the last Factor, and every result's id and bits.
void AddSolve(std::uint64_t& hash, ZRMLSQSolver& solver, bool factor = true) {
  if (factor) Add(hash, solver.Factor());
  Add(hash, solver.Solve());
  for (const int id : ColumnVariables(solver)) Add(hash, static_cast<std::uint64_t>(id));
  for (const int column : StateOf(solver).mPermutation) Add(hash, static_cast<std::uint64_t>(column));
  for (const auto& result : ResultBits(solver)) {
    Add(hash, static_cast<std::uint64_t>(result.first));
    Add(hash, result.second);
  }
}

// In each ordering: Factor, Solve, Diagnose, new right-hand sides for the named constraints,
// Solve again; then the extra constraints registered and the same solver factored and solved
// again (the factorization keeps its storage from one Factor to the next).
void AddProblem(std::uint64_t& hash, Random& random, const Problem& problem, const Problem& extra) {
  for (const ZRMLSQOrdering ordering : {ZRMLSQOrdering::AsGiven, ZRMLSQOrdering::FillReducing}) {
    ZRMLSQSolver solver;
    solver.SetOrdering(ordering);
    Register(solver, problem.constraints);
    AddSolve(hash, solver);
    ZRMLSQDiagnosis diagnosis;
    solver.Diagnose(diagnosis);
    for (const Constraint& constraint : problem.constraints)
      if (constraint.named) solver.SetRhs(constraint.id, random.Uniform(-20.0, 20.0));
    AddSolve(hash, solver, false);
    Register(solver, extra.constraints);
    AddSolve(hash, solver);
  }
}

// Three problems per kind with 1 to 60 variables, then larger well-posed ones, each with a
// well-posed or faulty extra problem.
void GeneratedProblems(std::uint64_t& hash) {
  Random random(0x5EEDC0DE);
  const auto draw = [&random](Kind kind, int low, int high) {
    const int count = random.Int(low, high);
    const double share = random.Uniform(0.0, 0.4);
    return Generate(random, kind, count, share);
  };
  for (int p = 0; p < 20; ++p) {
    const Problem problem = p < 18 ? draw(kKinds[p / 3], 1, 60) : draw(Kind::WellPosed, 150, 300);
    const Problem extra = draw(p % 3 == 0 ? kKinds[(p / 3) % 6] : Kind::WellPosed, 1, 40);
    AddProblem(hash, random, problem, extra);
  }
}

// Long hard rows over few variables (heavy fill-in, many substitutions into earlier
// eliminations, scans without early stop), then wide bands: soft rows over 33 to 60 consecutive
// variables, so that factor columns run on over 32 or more consecutive rows beside columns with
// holes, and one soft row over every variable (the hub of an arrow), factored in the given order
// and then again in the fill-reducing one.
void DenseAndBanded(std::uint64_t& hash) {
  Random random(3);
  const auto row = [&random](int count, int always, double chance) {
    Entries entries;
    for (int v = 0; v < count; ++v)
      if (v == always || random.Chance(chance)) entries.emplace_back(v, random.Uniform(-2.0, 2.0));
    return MakeCoefficients(entries);
  };
  for (int p = 0; p < 8; ++p) {
    const int count = random.Int(3, 25);
    ZRMLSQSolver solver;
    for (int h = 0; h < count / 3; ++h) {
      const Coefficients coefficients = row(count, -1, 0.4);  // drawn before the right-hand side
      solver.AddConstraint(true, random.Uniform(-1.0, 1.0), coefficients);
    }
    for (int s = 0; s < count + 3; ++s) {
      const Coefficients coefficients = row(count, s % count, 0.3);
      solver.AddConstraint(false, random.Uniform(-1.0, 1.0), coefficients);
    }
    AddSolve(hash, solver);
  }
  for (int p = 0; p < 2; ++p) {
    const int count = random.Int(70, 140);
    const int band = random.Int(33, 60);
    ZRMLSQSolver solver;
    Entries arrow;
    for (int first = 0; first < count; ++first) {
      Entries entries{{first, random.Uniform(2.0, 3.0)}};  // triangular with a non-zero diagonal
      arrow.emplace_back(first, 0.01 * (1 + first % 5));
      for (int v = first + 1; v < std::min(count, first + band); ++v)
        if (v % 17 != p % 17) entries.emplace_back(v, random.Uniform(-1.0, 1.0));
      solver.AddConstraint(false, random.Uniform(-1.0, 1.0), MakeCoefficients(entries));
    }
    for (int h = 0; h < 3; ++h) {
      const int v = random.Int(0, count - 2);
      solver.AddConstraint(true, random.Uniform(-1.0, 1.0), MakeCoefficients({{v, 1.0}, {v + 1, -1.0}}));
    }
    solver.AddConstraint(false, 1.0, MakeCoefficients(arrow));  // joins every variable
    AddSolve(hash, solver);
    solver.SetOrdering(ZRMLSQOrdering::FillReducing);  // the same solver factored again
    AddSolve(hash, solver);
  }
}

// Sketches (both orderings) whose hard rows have 1 to 4 entries (fixed coordinates, horizontal, vertical and
// coincident pairs, midpoints, symmetric points, points on lines), creation-ordered and
// renumbered: long rows that never stop the pivot scan beside short ones that do.
void Sketches(std::uint64_t& hash) {
  struct Pin {
    int points;
    bool shuffled;
    std::uint64_t seed;  // of the generator and of the new right-hand sides
    zrmgen::SketchMix mix;
  };
  const Pin pins[] = {{300, true, 2, zrmgen::SketchMix()},
                      {500, false, 3, zrmgen::kLongRowsMix},
                      {2000, false, 5, zrmgen::kShortRowsMix},
                      {5000, false, 7, zrmgen::kAllHardMix},
                      {20000, true, 10, zrmgen::SketchMix()}};
  for (const Pin& pin : pins) {
    Problem problem;
    for (const zrmgen::Row& row : zrmgen::RelationSketch(pin.points, pin.shuffled, pin.seed, pin.mix).rows)
      problem.constraints.push_back({row.hard, row.coefficients, row.rhs, true, row.id});
    Random random(pin.seed);
    AddProblem(hash, random, problem, Problem());
  }
}

}  // namespace

TEST(LSQSolverGolden, FamiliesReproduceTheirBitPatterns) {
  AssertRecorder recorder(0);  // the failure kinds report rejected matrices
  const struct {
    const char* name;
    std::function<void(std::uint64_t&)> add;
    std::uint64_t expected;
  } families[] = {{"generated problems", GeneratedProblems, 0xE42C34D4B0B9F40A},
                  {"dense hard rows and wide bands", DenseAndBanded, 0x273AD7B829656590},
                  {"sketches", Sketches, 0xF7219F9A154EA0F0}};
  for (const auto& family : families) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    family.add(hash);
    EXPECT_EQ(hash, family.expected) << family.name << std::hex << ": now 0x" << hash;
  }
}
