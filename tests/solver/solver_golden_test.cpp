// Golden corpus: the exact bits of every factorization field, pivot and result, in the given
// order, over generated problems of every kind, long hard rows with heavy fill-in, wide bands,
// registration histories with many replacements, and sketches of up to 20 000 points. Any change
// of the arithmetic, of an order of summation or of the elimination order shows here; an
// optimisation must reproduce these hashes exactly.
#include "ZRMSolverOracle.h"
#include "ZRMProblemGenerator.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

using namespace zrmtest;

namespace {

// Factor with every field it built, Solve with the results.
void AddFactorAndSolve(Hash& hash, ZRMLSQSolver& solver) {
  hash.Add(solver.Factor() ? 1 : 0);
  AddState(hash, solver);
  hash.Add(solver.Solve() ? 1 : 0);
  for (const auto& result : ResultBits(solver)) {
    hash.Add(result.first);
    hash.Add(result.second);
  }
}

// Factor, Solve, new right-hand sides for the named constraints, Solve again.
std::uint64_t ProblemHash(Random& random, const Problem& problem) {
  ZRMLSQSolver solver;
  Register(solver, problem);
  Hash hash;
  AddFactorAndSolve(hash, solver);
  for (const Constraint& constraint : problem.constraints)
    if (constraint.named) solver.SetRhs(constraint.id, random.Uniform(-20.0, 20.0));
  hash.Add(solver.Solve() ? 1 : 0);
  for (const auto& result : ResultBits(solver)) hash.Add(result.second);
  return hash.Value();
}

// Six problems per kind with 1 to 60 variables, then larger well-posed ones.
std::vector<std::uint64_t> GeneratedProblems() {
  Random random(0x5EEDC0DE);
  std::vector<std::uint64_t> hashes;
  for (const Kind kind : kKinds)
    for (int i = 0; i < 6; ++i) hashes.push_back(ProblemHash(random, GenerateDrawn(random, kind, 1, 60, 0.0, 0.4)));
  for (int i = 0; i < 4; ++i)
    hashes.push_back(ProblemHash(random, GenerateDrawn(random, Kind::WellPosed, 150, 300, 0.1, 0.4)));
  return hashes;
}

// Long hard rows over few variables (heavy fill-in, many substitutions into earlier
// eliminations, scans without early stop), then wide bands: soft rows over 33 to 60 consecutive
// variables, so that factor columns run on over 32 or more consecutive rows beside columns with
// holes.
std::vector<std::uint64_t> DenseAndBanded() {
  Random random(3);
  std::vector<std::uint64_t> hashes;
  const auto row = [&random](int count, int always, double chance) {
    Entries entries;
    for (int v = 0; v < count; ++v)
      if (v == always || random.Chance(chance)) entries.emplace_back(v, random.Uniform(-2.0, 2.0));
    return MakeCoefficients(entries);
  };
  for (int p = 0; p < 12; ++p) {
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
    Hash hash;
    AddFactorAndSolve(hash, solver);
    hashes.push_back(hash.Value());
  }
  for (int p = 0; p < 4; ++p) {
    const int count = random.Int(70, 140);
    const int band = random.Int(33, 60);
    ZRMLSQSolver solver;
    for (int first = 0; first < count; ++first) {
      Entries entries{{first, random.Uniform(2.0, 3.0)}};  // triangular with a non-zero diagonal
      for (int v = first + 1; v < std::min(count, first + band); ++v)
        if (v % 17 != p % 17) entries.emplace_back(v, random.Uniform(-1.0, 1.0));
      solver.AddConstraint(false, random.Uniform(-1.0, 1.0), MakeCoefficients(entries));
    }
    for (int h = 0; h < 3; ++h) {
      const int v = random.Int(0, count - 2);
      solver.AddConstraint(true, random.Uniform(-1.0, 1.0), MakeCoefficients({{v, 1.0}, {v + 1, -1.0}}));
    }
    Hash hash;
    AddFactorAndSolve(hash, solver);
    hashes.push_back(hash.Value());
  }
  return hashes;
}

// Registration histories with many replacements (longer, shorter and empty coefficient maps,
// enough replaced entries to compact the store), named ids out of key order among unnamed
// constraints, right-hand sides set before and after factorizations and for unknown ids, and a
// Factor and Solve now and then.
std::vector<std::uint64_t> RegistrationHistories() {
  Random random(4242);
  std::vector<std::uint64_t> hashes;
  for (int history = 0; history < 4; ++history) {
    const int variables = random.Int(4, 30);
    ZRMLSQSolver solver;
    Hash hash;
    for (int v = 0; v < variables; ++v) {  // every variable determined by its own soft row
      const Coefficients coefficients = MakeCoefficients({{v, random.Uniform(1.0, 2.0)}});
      solver.AddConstraint(false, random.Uniform(-5.0, 5.0), coefficients);
    }
    for (int step = 0; step < 900; ++step) {
      const int id = random.Int(-6, 6);
      const int action = random.Int(0, 99);
      if (action < 70) {
        std::map<int, double> entries;
        for (int e = random.Int(0, 8); e > 0; --e) {
          const double coefficient = random.Uniform(-1.0, 1.0);  // drawn before its variable
          entries[random.Int(0, variables - 1)] = coefficient;
        }
        const bool hard = !entries.empty() && random.Chance(0.15);
        if (hard) entries.begin()->second = 3.0;  // a clear pivot
        solver.AddConstraint(hard, MakeCoefficients(Entries(entries.begin(), entries.end())), id);
      } else if (action < 80) {
        const Coefficients coefficients = MakeCoefficients({{random.Int(0, variables - 1), 1.0}});
        solver.AddConstraint(false, random.Uniform(-1.0, 1.0), coefficients);
      } else if (action < 95) {
        solver.SetRhs(id, random.Uniform(-5.0, 5.0));
      } else {
        AddFactorAndSolve(hash, solver);
      }
    }
    AddFactorAndSolve(hash, solver);
    hashes.push_back(hash.Value());
  }
  return hashes;
}

struct SketchPin {
  int points;
  bool shuffled;
  std::uint64_t seed;  // of the generator and of the new right-hand sides
  zrmgen::SketchMix mix;
};

constexpr zrmgen::SketchMix kDefaultMix;
const SketchPin kSketches[] = {
    {300, false, 1, kDefaultMix},
    {300, true, 2, kDefaultMix},
    {500, false, 3, zrmgen::kLongRowsMix},
    {500, true, 4, zrmgen::kAllHardMix},
    {2000, false, 5, zrmgen::kShortRowsMix},
    {2000, true, 6, zrmgen::kLongRowsMix},
    {5000, false, 7, zrmgen::kAllHardMix},
    {5000, true, 8, kDefaultMix},
    {20000, false, 9, zrmgen::kLongRowsMix},
    {20000, true, 10, kDefaultMix},
    {20000, true, 11, zrmgen::kAllHardMix},
};

// Sketches whose hard rows have 1 to 4 entries (fixed coordinates, horizontal, vertical and
// coincident pairs, midpoints, symmetric points, points on lines), creation-ordered and
// renumbered: long rows that never stop the pivot scan beside short ones that do.
std::vector<std::uint64_t> Sketches() {
  std::vector<std::uint64_t> hashes;
  for (const SketchPin& pin : kSketches) {
    const zrmgen::Problem sketch = zrmgen::RelationSketch(pin.points, pin.shuffled, pin.seed, pin.mix);
    Problem problem;
    for (const zrmgen::Row& row : sketch.rows)
      problem.constraints.push_back({row.hard, row.coefficients, row.rhs, true, row.id});
    Random random(pin.seed);
    hashes.push_back(ProblemHash(random, problem));
  }
  return hashes;
}

struct Family {
  const char* name;
  std::function<std::vector<std::uint64_t>()> hashes;
  std::vector<std::uint64_t> expected;
};

const Family kFamilies[] = {
    {"generated problems",
     GeneratedProblems,
     {0x4700935818E4B397, 0x4037566DDF8B78B7, 0x80BFB9CBD3E1749A, 0x6294D31047F723FE, 0xAB78173E60E0517C,
      0x4643292A70916A0B, 0x0F1CD6A0D8801CEB, 0x27F04D1461230B07, 0x476CD955EBCA503D, 0x910E866E9F9F26A0,
      0x31CB6B7A103F3A45, 0x83E2546F1443F4C0, 0x5B6FB60F18335259, 0x7F9139F5802277E6, 0x3A00B2C943BBEC26,
      0x3514CA6036EF87C5, 0x78C7B43E5E73FB8F, 0x5EAE212552B7ACB3, 0x8160AF70F9EB778B, 0xE5A473BF61DBBF32,
      0xC60A3D40795513BB, 0x9C104C1F23711AB2, 0xA1D5442D4AA8364D, 0x12146C040C35A5C0, 0xE5CE244F353F18F1,
      0x2753B578307B642F, 0x695603888CEDAFFC, 0x1CFECE8091C44D7C, 0xA1B6628284C02241, 0xF6EAFAAF95952AE7,
      0x6EDE7CB7DDF699DB, 0xE3D8E98ABA3D1AE3, 0x345443FA2F87C54F, 0x502C6A1E38978DF0, 0xD216637EC6BF61CF,
      0x28543AF46FCE3011, 0x8595B52C6A886F12, 0x85DA5C6703423E71, 0x9F5305E758EE70F0, 0x4E8A8A86354C131E}},
    {"dense hard rows and wide bands",
     DenseAndBanded,
     {0xA3F87C3AD14A18FA, 0x1FD20D7BFBC90AD5, 0x7E634F49E482097C, 0xE52A48D1084CB65A, 0x6EB9D9525E6773CB,
      0x11AC686086E92D40, 0xE9A433EB65EFCC4E, 0x1D5E1E6B89ABD4EE, 0xB9489CFE2EE12B13, 0x0C58A0824B5A54CF,
      0x0DFBAC04417C0BBA, 0xE5F655E74F3C504F, 0x3222B2295976F2A5, 0x097267EBE96C6FE2, 0x09E3DD4F3286BF4A,
      0x0885C75ACF0BC3D3}},
    {"registration histories",
     RegistrationHistories,
     {0x3A585543B49147CC, 0xD579A3E1585B76F5, 0xF8618290C37FFA51, 0x457CC4F530629279}},
    {"sketches",
     Sketches,
     {0xF8846D40F419D93B, 0x04D2A8630E58F2E9, 0x92AFA41D3B1D2289, 0x074BFB1FEA7AE67E, 0x6706ACE337B2753A,
      0x6757266FA3AC557A, 0x00A65AF51392F0BC, 0x67D9A85B0B431440, 0x99C23011211E1589, 0xDFC824A0D5BA5131,
      0x69E08620311AE7AE}},
};

}  // namespace

TEST(LSQSolverGolden, FamiliesReproduceTheirBitPatterns) {
  AssertRecorder recorder(0);  // the failure kinds report rejected matrices
  for (const Family& family : kFamilies) {
    const std::vector<std::uint64_t> actual = family.hashes();
    if (actual == family.expected) continue;
    std::string table;
    char line[32];
    for (const std::uint64_t hash : actual) {
      std::snprintf(line, sizeof line, "0x%016" PRIX64 ", ", hash);
      table += line;
    }
    ADD_FAILURE() << family.name << ": hashes differ; the current ones are:\n" << table;
  }
}
