// Golden corpus: the exact bit patterns of the factorization and the results over a fixed set
// of generated problems. Any change of the arithmetic, of an order of summation or of the
// elimination order shows here; an optimisation must reproduce these hashes exactly.
#include "SolverTestSupport.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <cinttypes>
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

// Factor, Solve, new right-hand sides for the named constraints, Solve again.
std::uint64_t CorpusHash(Random& random, const Problem& problem) {
  ZRMLSQSolver solver;
  Register(solver, problem);
  Hash hash;
  hash.Add(solver.Factor() ? 1 : 0);
  AddState(hash, solver);
  hash.Add(solver.Solve() ? 1 : 0);
  AddResults(hash, solver);
  for (const Constraint& constraint : problem.constraints)
    if (constraint.named) solver.SetRhs(constraint.id, random.Uniform(-20.0, 20.0));
  hash.Add(solver.Solve() ? 1 : 0);
  AddResults(hash, solver);
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
