// Golden corpus: the exact bit patterns of the factorization and the results over a fixed set
// of generated problems, and of sketches of up to 20 000 points with their pivot sequences. Any
// change of the arithmetic, of an order of summation or of the elimination order shows here; an
// optimisation must reproduce these hashes exactly.
#include "SolverTestSupport.h"
#include "ZRMProblemGenerator.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

using namespace solvertest;

namespace {

void AddResults(Hash& hash, const ZRMLSQSolver& solver) {
  const auto results = Results(solver);
  hash.Add(static_cast<int>(results.size()));
  for (const auto& result : results) {
    hash.Add(result.first);
    hash.Add(result.second);
  }
}

// Returns Factor's result.
bool AddFactorization(Hash& hash, ZRMLSQSolver& solver) {
  const bool factored = solver.Factor();
  hash.Add(factored ? 1 : 0);
  AddState(hash, solver);
  return factored;
}

void AddSolution(Hash& hash, ZRMLSQSolver& solver) {
  hash.Add(solver.Solve() ? 1 : 0);
  AddResults(hash, solver);
}

// New right-hand sides for the named constraints, then Solve again.
void AddNewRhsSolution(Random& random, Hash& hash, ZRMLSQSolver& solver, const Problem& problem) {
  for (const Constraint& constraint : problem.constraints)
    if (constraint.named) solver.SetRhs(constraint.id, random.Uniform(-20.0, 20.0));
  AddSolution(hash, solver);
}

// Factor, Solve, new right-hand sides for the named constraints, Solve again.
std::uint64_t CorpusHash(Random& random, const Problem& problem) {
  ZRMLSQSolver solver;
  Register(solver, problem);
  Hash hash;
  AddFactorization(hash, solver);
  AddSolution(hash, solver);
  AddNewRhsSolution(random, hash, solver, problem);
  return hash.Value();
}

// Six problems per kind with 1 to 60 variables, then larger well-posed ones.
std::vector<std::uint64_t> CorpusHashes() {
  Random random(0x5EEDC0DE);
  std::vector<std::uint64_t> hashes;
  for (const Kind kind : kKinds)
    for (int i = 0; i < 6; ++i) {
      const Problem problem = GenerateDrawn(random, kind, 1, 60, 0.0, 0.4);
      hashes.push_back(CorpusHash(random, problem));
    }
  for (int i = 0; i < 4; ++i) {
    const Problem problem = GenerateDrawn(random, Kind::WellPosed, 150, 300, 0.1, 0.4);
    hashes.push_back(CorpusHash(random, problem));
  }
  return hashes;
}

const std::vector<std::uint64_t> kExpected = {
    0x0A53B955426E14B8, 0x9CD1AAF089F62C71, 0x35322C57F784A4B3, 0x071A2175B4B11EB4, 0x8348E6D74DD91B0F,
    0xFE8C607C6F58C6EA, 0x088DA085DBB69144, 0x711A2ED2267A732E, 0x2100E893603A49C9, 0x03F9E2E7A15111F1,
    0x4A78EEAABB3D196B, 0xFC15D47BCC5590A1, 0x5F56A43F18ED23F3, 0xA31BEF46E5D3E959, 0xC51E601FA4E05FDB,
    0x8610B9B34878304C, 0xD878E998F361686F, 0x05A0C26C0A1F216E, 0x3E685FAA2F3510DD, 0xE8D77DCB406A4A4E,
    0xC92716DAD157029A, 0x053B4EF3C310FFFF, 0xC02FC350402AD330, 0x2D1189325D975830, 0x8B9E75A07AED0964,
    0x7CE571C67BBF2D32, 0x536CDD1FA96D53BD, 0x535D9F354F7FF92C, 0xABD710725D3AC1C3, 0xE3339F935B411370,
    0x3FA3CB423112D552, 0xA1FD39EB28B56A45, 0xB54848D92746397B, 0x3127ED11BCDE7BB0, 0xC49AAE319C59C09B,
    0x201745726A92A829, 0x4F30AECC742BF00D, 0x52F0093945E33CD4, 0x7D52750F44871BE5, 0xFAFFC8365299AE5D,
};

}  // namespace

TEST(LSQSolverGolden, CorpusReproducesItsBitPatterns) {
  zrmtest::AssertRecorder recorder(0);  // the failure kinds report rejected matrices
  const std::vector<std::uint64_t> actual = CorpusHashes();
  ASSERT_EQ(kExpected.size(), 40u);
  if (actual != kExpected) {
    std::string table;
    char line[64];
    for (const std::uint64_t hash : actual) {
      std::snprintf(line, sizeof line, "    0x%016" PRIX64 ",\n", hash);
      table += line;
    }
    ADD_FAILURE() << "corpus hashes differ; the current ones are:\n" << table;
  }
}

namespace {

// The elimination order of the last Factor: per step k, the variable eliminated
// (mColumnVariables[nfree + k]) and the key of its pivot row (row index nsoft + k).
std::uint64_t PivotHash(const ZRMLSQSolver& solver) {
  const zrmtest::SolverRecords state = State(solver);
  std::vector<std::pair<int, int>> pivotKeys;
  std::vector<int> keysPerStep;
  for (const auto& row : RowIndex(solver)) {
    if (row.second < state.mSoftRowCount) continue;
    const std::size_t step = static_cast<std::size_t>(row.second - state.mSoftRowCount);
    if (step >= pivotKeys.size()) {
      pivotKeys.resize(step + 1);
      keysPerStep.resize(step + 1, 0);
    }
    pivotKeys[step] = row.first;
    ++keysPerStep[step];
  }
  EXPECT_TRUE(std::all_of(keysPerStep.begin(), keysPerStep.end(), [](int keys) { return keys == 1; }))
      << "every elimination step has one pivot row";
  const int steps = static_cast<int>(pivotKeys.size());
  const int freeCount = state.mColumnVariables.Size() - steps;
  Hash hash;
  hash.Add(steps);
  for (int k = 0; k < steps; ++k) {
    hash.Add(state.mColumnVariables[freeCount + k]);
    hash.Add(pivotKeys[static_cast<std::size_t>(k)].first);
    hash.Add(pivotKeys[static_cast<std::size_t>(k)].second);
  }
  return hash.Value();
}

// A generated sketch as the corpus registers it: every row named by its id.
Problem NamedRows(const zrmgen::Problem& sketch) {
  Problem problem;
  for (int v = 0; v < sketch.variableCount; ++v) problem.variables.push_back(v);
  for (const zrmgen::Row& row : sketch.rows)
    problem.constraints.push_back({row.hard, row.coefficients, row.rhs, true, row.id});
  return problem;
}

// Sketch rows are consistent: the solution is the generator's positions up to rounding.
void ExpectGeneratedPositions(const ZRMLSQSolver& solver, const zrmgen::Problem& sketch) {
  double scale = 1.0;
  for (const double value : sketch.solution) scale = std::max(scale, std::fabs(value));
  double error = 0.0;
  for (int v = 0; v < sketch.variableCount; ++v)
    error = std::max(error, std::fabs(solver.GetResult(v) - sketch.solution[static_cast<std::size_t>(v)]));
  EXPECT_LE(error, 1e-11 * scale);
}

using zrmgen::kAllHardMix;
using zrmgen::kLongRowsMix;
using zrmgen::kShortRowsMix;
constexpr zrmgen::SketchMix kDefaultMix;

struct SketchPin {
  int points;
  bool shuffled;
  std::uint64_t seed;  // of the generator and of the new right-hand sides
  zrmgen::SketchMix mix;
  std::uint64_t pivots;  // PivotHash after Factor
  std::uint64_t all;     // as CorpusHash: Factor, every field, Solve, new right-hand sides, Solve
};

const SketchPin kSketchPins[] = {
    {300, false, 1, kDefaultMix, 0x627AC8D1EC88FB53, 0x16AAAB1C207141CF},
    {300, true, 2, kDefaultMix, 0x2CE0B39C766B7EE0, 0x24D7F2C0E46EBFEF},
    {500, false, 3, kLongRowsMix, 0x1EE3BFE99241B163, 0x462ACC834840C71F},
    {500, true, 4, kAllHardMix, 0x910E5C4E804FE679, 0x6F36E0F2E6FB6D3E},
    {2000, false, 5, kShortRowsMix, 0x6238E48A3F293FC2, 0xCDC6F6CBE8A58F40},
    {2000, true, 6, kLongRowsMix, 0xCE3768C813728510, 0x286E50534F0C76BD},
    {5000, false, 7, kAllHardMix, 0xEA08207E32CC3173, 0xB4FF38BAEA2290CC},
    {5000, true, 8, kDefaultMix, 0x69A39259C387127D, 0x087EBA0641334B4C},
    {20000, false, 9, kLongRowsMix, 0x0F1CF3F183343DE3, 0x6F0492E27E7A6E44},
    {20000, true, 10, kDefaultMix, 0x0079CAA81926A4C4, 0xE80023DCEE6414F2},
    {20000, true, 11, kAllHardMix, 0x4882C23514FDA86B, 0xF74A66038ED27BED},
};

}  // namespace

// Sketches whose hard rows have 1 to 4 entries (fixed coordinates, horizontal, vertical and
// coincident pairs, midpoints, symmetric points, points on lines), creation-ordered and renumbered,
// of 300 to 20 000 points: the pivot sequence and every bit of the factorization and the results.
TEST(LSQSolverGolden, SketchesReproduceTheirPivotsAndBitPatterns) {
  zrmtest::AssertRecorder recorder(0);
  std::string table;
  bool same = true;
  for (const SketchPin& pin : kSketchPins) {
    SCOPED_TRACE(::testing::Message() << pin.points << " points, seed " << pin.seed
                                      << (pin.shuffled ? ", shuffled" : ""));
    const zrmgen::Problem sketch = zrmgen::RelationSketch(pin.points, pin.shuffled, pin.seed, pin.mix);
    const Problem problem = NamedRows(sketch);
    ZRMLSQSolver solver;
    Register(solver, problem);
    Hash hash;
    EXPECT_TRUE(AddFactorization(hash, solver));
    const std::uint64_t pivots = PivotHash(solver);
    AddSolution(hash, solver);
    ExpectGeneratedPositions(solver, sketch);
    Random random(pin.seed);
    AddNewRhsSolution(random, hash, solver, problem);
    same = same && pivots == pin.pivots && hash.Value() == pin.all;
    char line[64];
    std::snprintf(line, sizeof line, "0x%016" PRIX64 ", 0x%016" PRIX64, pivots, hash.Value());
    table += std::string("    ") + line + (pivots == pin.pivots ? "" : "  pivots differ") +
             (hash.Value() == pin.all ? "" : "  fields or results differ") + "\n";
  }
  EXPECT_TRUE(recorder.reports.empty());
  if (!same) ADD_FAILURE() << "sketch hashes differ; the current ones (pivots, all) are:\n" << table;
}
