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

// Hash of everything a solver holds after Factor and Solve: the flags, every factorization
// field in order and every result.
void AddState(Hash& hash, const ZRMLSQSolver& solver) {
  const LSQSolverState& state = State(solver);
  hash.Add(state.mSoftRowCount);
  hash.Add(state.mColumnVariables.Size());
  for (int i = 0; i < state.mColumnVariables.Size(); ++i) hash.Add(state.mColumnVariables[i]);
  for (const auto& row : RowIndex(solver)) {
    hash.Add(row.first.first);
    hash.Add(row.first.second);
    hash.Add(row.second);
  }
  for (const ZRMUtVector<SparseVector>* list :
       {&state.mEliminatedRows, &state.mHardRhsCoefficients, &state.mSoftRows, &state.mFactor.mRows,
        &state.mFactor.mColumns}) {
    hash.Add(list->Size());
    for (int i = 0; i < list->Size(); ++i) hash.Add((*list)[i]);
  }
  hash.Add(state.mFactor.mDiagonal.Size());
  for (int i = 0; i < state.mFactor.mDiagonal.Size(); ++i) hash.Add(state.mFactor.mDiagonal[i]);
  for (int i = 0; i < state.mFactor.mPermutation.Size(); ++i) hash.Add(state.mFactor.mPermutation[i]);
}

void AddResults(Hash& hash, const ZRMLSQSolver& solver) {
  const auto& result = State(solver).mResult;
  hash.Add(result.Size());
  for (auto it = result.Begin(); it != result.End(); ++it) {
    hash.Add(it->first);
    hash.Add(it->second);
  }
}

// Factor, Solve, new right-hand sides for the named constraints, Solve again.
std::uint64_t CorpusHash(Random& random, const Problem& problem) {
  ZRMLSQSolver solver;
  Register(solver, problem);
  Hash hash;
  const bool factored = solver.Factor();
  hash.Add(factored ? 1 : 0);
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
      const Problem problem = Generate(random, kind, random.Int(1, 60), random.Uniform(0.0, 0.4));
      hashes.push_back(CorpusHash(random, problem));
    }
  for (int i = 0; i < 4; ++i) {
    const Problem problem = Generate(random, Kind::WellPosed, random.Int(150, 300), random.Uniform(0.1, 0.4));
    hashes.push_back(CorpusHash(random, problem));
  }
  return hashes;
}

const std::uint64_t kExpected[] = {
    0xAE1AF1FD9627D052,
    0x6EC1F94691A59156,
    0xD59FCDFABCCC1D67,
    0xB918AF9C00A9C0B1,
    0x68341381759E55D9,
    0x0B34087B2A772DBE,
    0x5D700F9C6A4FAF65,
    0xE65FB53C28D486E1,
    0x678FD525325209BB,
    0x274BE9B9F6734F2E,
    0x296820FBDE33E58E,
    0x6294B65C69FE03C4,
    0x6556FFB0698368EA,
    0x1DC8548763FB575A,
    0xCE2C933D8A63BFF0,
    0x204B12A0F3D0B438,
    0xE8D0BD24167BD3B4,
    0xF022D8AA3A9DA60E,
    0x17F2D314E6F73A50,
    0x1C0445E7696287D2,
    0x9EB7EB23B597A031,
    0x233FB4D213C20A22,
    0x4CE61B7BDC24CBF9,
    0x1BFDD972FCCB0CE0,
    0x419E65CA540001F5,
    0xAE6E40D1FC32617F,
    0xEC46D6283010070C,
    0xAD9611217151DEBB,
    0x3F0DDFB3FC39C258,
    0x3717ED7267BC73B8,
    0x75A51CE78EBD3434,
    0x934205447281032C,
    0x195CE181CE279AA8,
    0xCECF3DD0D5368E11,
    0xA18EEBFCD02971F1,
    0x72EE1462B8355FC6,
    0xF165AC0F0550AAC7,
    0x3289811568A94F06,
    0xBA13BE9DEA5AEF4E,
    0xDB5E7AD987925CEF,
};

}  // namespace

TEST(LSQSolverGolden, CorpusReproducesItsBitPatterns) {
  zrmtest::AssertRecorder recorder(0);  // the failure kinds report rejected matrices
  const std::vector<std::uint64_t> actual = CorpusHashes();
  const std::vector<std::uint64_t> expected(std::begin(kExpected), std::end(kExpected));
  if (actual != expected) {
    std::string table;
    char line[64];
    for (const std::uint64_t hash : actual) {
      std::snprintf(line, sizeof line, "    0x%016" PRIX64 ",\n", hash);
      table += line;
    }
    ADD_FAILURE() << "corpus hashes differ; the current ones are:\n" << table;
  }
}
