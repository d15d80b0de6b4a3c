// The dense oracle of the solver's tests and fuzzers (ZRMSolverOracle.cpp, with Eigen):
// min |A x - b|^2 subject to C x = d through an orthonormal basis of the null space of C, with
// how well conditioned that problem is, and the rank and null-space support of a stack of rows;
// a deterministic generator of problems with planted faults, and the rules that decide the
// solver's answer and diagnosis on one of them.
#ifndef ZRMSolverOracle_h
#define ZRMSolverOracle_h

#include "ZRMLSQSolver.h"
#include "ZRMProblemGenerator.h"
#include "ZRMSolverRecords.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zrmtest {

using Coefficients = ZRMUtMap<int, double, ZRMUtLess<int>>;

inline Coefficients MakeCoefficients(const Entries& entries) {
  Coefficients coefficients;
  for (const auto& entry : entries) coefficients[entry.first] = entry.second;
  return coefficients;
}

// One constraint: sum(coefficient * x[variable]) = rhs, hard or soft. A named constraint is
// registered with its id and gets its right-hand side through SetRhs.
struct Constraint {
  bool hard = false;
  Entries coefficients;  // ascending variable id, distinct
  double rhs = 0.0;
  bool named = false;
  int id = 0;
};

inline std::vector<int> ToVector(const ZRMUtVector<int>& list) {
  std::vector<int> values;
  for (int i = 0; i < list.Size(); ++i) values.push_back(list[i]);
  return values;
}

// The benchmark generator's splitmix64 source (independent of the standard library's
// distributions), with the draws the tests use.
class Random : public zrmgen::Random {
public:
  using zrmgen::Random::Random;
  double Uniform(double low, double high) { return low + (high - low) * zrmgen::Random::Uniform(); }
  int Int(int low, int high) { return low + Below(high - low + 1); }  // uniform in [low, high]
  bool Chance(double probability) { return zrmgen::Random::Uniform() < probability; }
};

// Kinds of generated problems: the fault planted, if any.
enum class Kind {
  WellPosed,          // unique, well conditioned: Factor succeeds
  DuplicateHard,      // a hard row repeated with a power-of-two factor, same rhs: dependent
  ContradictoryHard,  // a hard row repeated with another rhs: no solution
  DependentHard,      // a hard row that is the sum of two others: dependent
  UndeterminedHard,   // a hard row over two variables that no soft row names
  SingularSoft,       // two variables named only by one soft row: not determined
};
constexpr Kind kKinds[] = {Kind::WellPosed,     Kind::DuplicateHard,    Kind::ContradictoryHard,
                           Kind::DependentHard, Kind::UndeterminedHard, Kind::SingularSoft};

struct Problem {
  std::vector<int> variables;  // every variable id, ascending
  std::vector<Constraint> constraints;
};

// A problem of the benchmark families: its rows, each named by its id.
inline Problem FromGenerated(const zrmgen::Problem& generated) {
  Problem problem;
  for (int v = 0; v < generated.variableCount; ++v) problem.variables.push_back(v);
  for (const zrmgen::Row& row : generated.rows)
    problem.constraints.push_back({row.hard, row.coefficients, row.rhs, true, row.id});
  return problem;
}

// A problem of the given kind over count variables (1..200): distinct ids in [-10^6, 10^6], each
// variable owning a soft row (some two), the first hardShare of them (0..0.4) also a hard row. A
// row holds its own variable with a dominant coefficient and up to three small others, so the
// hard rows are independent and well conditioned. The fault comes last; the rows are shuffled and
// about half of them named. Every draw is a statement of its own: the problems must not depend
// on the compiler.
inline Problem Generate(Random& random, Kind kind, int count, double hardShare) {
  const bool fresh = kind == Kind::UndeterminedHard || kind == Kind::SingularSoft;
  std::vector<int> ids;  // with fresh, two more that only the fault names
  while (static_cast<int>(ids.size()) < count + (fresh ? 2 : 0)) {
    const int id = random.Int(-1000000, 1000000);
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  const auto makeRow = [&](bool hard, const std::map<int, double>& entries) {
    Constraint row;
    row.hard = hard;
    row.coefficients.assign(entries.begin(), entries.end());
    row.rhs = random.Uniform(-10.0, 10.0);
    return row;
  };
  const auto dominant = [&](bool hard, int own) {
    const double sign = random.Chance(0.5) ? -1.0 : 1.0;
    std::map<int, double> entries{{ids[own], sign * random.Uniform(1.0, 2.0)}};
    for (int k = random.Int(0, 3); k > 0; --k) {
      const int other = ids[random.Int(0, count - 1)];
      entries.emplace(other, random.Uniform(-0.3, 0.3));
    }
    return makeRow(hard, entries);
  };
  const bool combined = !fresh && kind != Kind::WellPosed;
  const int hardCount = std::max(static_cast<int>(hardShare * count), combined ? 1 : 0);
  std::vector<Constraint> rows;
  for (int h = 0; h < hardCount; ++h) rows.push_back(dominant(true, h));
  const int softCount = count + random.Int(0, count / 2);
  for (int s = 0; s < softCount; ++s) rows.push_back(dominant(false, s % count));
  if (combined) {  // factor * first + (second when dependent), rhs shifted when contradictory
    const int first = random.Int(0, hardCount - 1);
    const int second = random.Int(0, hardCount - 1);
    const double factor = kind == Kind::DependentHard ? 1.0 : random.Chance(0.5) ? 2.0 : -0.5;
    std::map<int, double> entries;
    for (const auto& entry : rows[first].coefficients) entries[entry.first] += factor * entry.second;
    double rhs = factor * rows[first].rhs;
    if (kind == Kind::DependentHard) {
      for (const auto& entry : rows[second].coefficients) entries[entry.first] += entry.second;
      rhs += rows[second].rhs;
    }
    if (kind == Kind::ContradictoryHard) rhs += random.Uniform(1.0, 5.0);
    rows.push_back(makeRow(true, entries));
    rows.back().rhs = rhs;
  }
  if (fresh) {  // powers of two keep the normal matrix of the soft pair exactly singular
    const double powers[] = {-2.0, -1.0, -0.5, 0.5, 1.0, 2.0, 4.0};
    const double a = powers[random.Int(0, 6)];
    const double b = powers[random.Int(0, 6)];
    std::map<int, double> entries{{ids[count], a}, {ids[count + 1], b}};
    if (kind == Kind::UndeterminedHard) {
      const int other = ids[random.Int(0, count - 1)];
      entries.emplace(other, random.Uniform(-0.3, 0.3));
    }
    rows.push_back(makeRow(kind == Kind::UndeterminedHard, entries));
  }
  for (int i = static_cast<int>(rows.size()) - 1; i > 0; --i) std::swap(rows[i], rows[random.Int(0, i)]);
  std::set<int> names;
  for (Constraint& row : rows) {
    if (!random.Chance(0.5)) continue;
    do row.id = random.Int(-5000, 5000);
    while (!names.insert(row.id).second);
    row.named = true;
  }
  std::sort(ids.begin(), ids.end());
  return {ids, rows};
}

// Registers every constraint (named ones with their id, then SetRhs).
inline void Register(ZRMLSQSolver& solver, const std::vector<Constraint>& constraints) {
  for (const Constraint& constraint : constraints) {
    const Coefficients coefficients = MakeCoefficients(constraint.coefficients);
    if (constraint.named) {
      solver.AddConstraint(constraint.hard, coefficients, constraint.id);
      solver.SetRhs(constraint.id, constraint.rhs);
    } else {
      solver.AddConstraint(constraint.hard, constraint.rhs, coefficients);
    }
  }
}

// What Diagnose reports that the ranks of the problem's rows rule out; empty when nothing. Each
// dependent hard row lies in the span of its group and is redundant exactly when its right-hand
// side does too; the other hard rows are independent; the variables left free are the supports
// of the null spaces of the hard rows and of all rows. The problem's named ids are distinct, and
// an unnamed constraint's index is its place in the problem.
std::string DiagnosisDisagreement(ZRMLSQSolver& solver, const Problem& problem, ZRMLSQDiagnosis& diagnosis);

// What the solver, given the problem in the ordering, does that the oracle rules out; empty when
// nothing. A unique solution (every well-posed problem has one) is found to 1e-8 of the largest
// value, meets every hard row to 1e-9 of it and is solved again bit for bit, unless a variable is
// reached only through hard rows, which Diagnose then names; anything else is refused, with no
// results.
std::string OracleDisagreement(const Problem& problem, Kind kind, ZRMLSQOrdering ordering);

}  // namespace zrmtest

#endif
