// Golden corpus: the exact bits of every result, with the column order and the fill-reducing
// permutation, over generated problems of every kind, sketches of up to 20 000 points, grid
// fairings and surface fits, each ordering apart. Any change of the arithmetic, of an order of
// summation or of the elimination order shows here; an optimisation must reproduce these hashes
// exactly.
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

// Factor, Solve, Diagnose, new right-hand sides for the named constraints, Solve again; then the
// extra constraints registered and the same solver factored and solved again (the factorization
// keeps its storage from one Factor to the next).
void AddProblem(std::uint64_t& hash, ZRMLSQOrdering ordering, Random& random, const Problem& problem,
                const Problem& extra) {
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

// Three problems per kind with 1 to 60 variables, then larger well-posed ones, each with a
// well-posed or faulty extra problem.
void GeneratedProblems(std::uint64_t& hash, ZRMLSQOrdering ordering) {
  Random random(0x5EEDC0DE);
  const auto draw = [&random](Kind kind, int low, int high) {
    const int count = random.Int(low, high);
    const double share = random.Uniform(0.0, 0.4);
    return Generate(random, kind, count, share);
  };
  for (int p = 0; p < 20; ++p) {
    const Problem problem = p < 18 ? draw(kKinds[p / 3], 1, 60) : draw(Kind::WellPosed, 150, 300);
    const Problem extra = draw(p % 3 == 0 ? kKinds[(p / 3) % 6] : Kind::WellPosed, 1, 40);
    AddProblem(hash, ordering, random, problem, extra);
  }
}

// Sketches whose hard rows have 1 to 4 entries (fixed coordinates, horizontal, vertical and
// coincident pairs, midpoints, symmetric points, points on lines), creation-ordered and
// renumbered: long rows that never stop the pivot scan beside short ones that do.
void Sketches(std::uint64_t& hash, ZRMLSQOrdering ordering) {
  const auto add = [&hash, ordering](int points, bool shuffled, std::uint64_t seed, const zrmgen::SketchMix& mix) {
    Random random(seed);  // the new right-hand sides
    AddProblem(hash, ordering, random, FromGenerated(zrmgen::RelationSketch(points, shuffled, seed, mix)), Problem());
  };
  add(300, true, 2, zrmgen::SketchMix());
  add(500, false, 3, zrmgen::kLongRowsMix);
  add(2000, false, 5, zrmgen::kShortRowsMix);
  add(5000, false, 7, zrmgen::kAllHardMix);
  add(20000, true, 10, zrmgen::SketchMix());
}

// Grid fairings and surface fits, whose normal matrices fill in under any order: the
// fill-reducing mode factors them by supernodes, merged where their blocks stay mostly filled.
void StructuredProblems(std::uint64_t& hash, ZRMLSQOrdering ordering) {
  Random random(0x57A7);  // the new right-hand sides
  for (const int k : {20, 30}) AddProblem(hash, ordering, random, FromGenerated(zrmgen::GridFairing(k)), Problem());
  for (const int m : {10, 16}) AddProblem(hash, ordering, random, FromGenerated(zrmgen::BicubicFit(m)), Problem());
}

}  // namespace

// One hash per family and ordering, so that a change of one mode's arithmetic shows which.
TEST(LSQSolverGolden, FamiliesReproduceTheirBitPatterns) {
  AssertRecorder recorder(0);  // the failure kinds report rejected matrices
  const struct {
    const char* name;
    std::function<void(std::uint64_t&, ZRMLSQOrdering)> add;
    ZRMLSQOrdering ordering;
    std::uint64_t expected;
  } families[] = {
      {"generated problems, as given", GeneratedProblems, ZRMLSQOrdering::AsGiven, 0x63F07CF00B57CA6B},
      {"generated problems, fill-reducing", GeneratedProblems, ZRMLSQOrdering::FillReducing, 0x7BACD273D78BB372},
      {"sketches, as given", Sketches, ZRMLSQOrdering::AsGiven, 0x2D70C8DA838DF757},
      {"sketches, fill-reducing", Sketches, ZRMLSQOrdering::FillReducing, 0xA81925974B14DE6E},
      {"structured problems, as given", StructuredProblems, ZRMLSQOrdering::AsGiven, 0x9B3A96622DE5E5B5},
      {"structured problems, fill-reducing", StructuredProblems, ZRMLSQOrdering::FillReducing, 0x562DD75A58033D07},
  };
  for (const auto& family : families) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    family.add(hash, family.ordering);
    EXPECT_EQ(hash, family.expected) << family.name << std::hex << ": now 0x" << hash;
  }
}
