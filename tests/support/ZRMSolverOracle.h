// The dense oracle of the solver's tests and fuzzers (Eigen):
// min |A x - b|^2 subject to C x = d through an orthonormal basis of the null space of C, with
// how well conditioned that problem is, and the rank and null-space support of a stack of rows;
// a deterministic generator of problems with planted faults, and the rules that decide the
// solver's answer and diagnosis on one of them.
#ifndef ZRMSolverOracle_h
#define ZRMSolverOracle_h

#include "ZRMLSQSolver.h"
#include "ZRMProblemGenerator.h"
#include "ZRMSolverRecords.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// The rows as a matrix over the given columns (variable id -> column), the right-hand sides
// in an extra last column when withRhs.
inline Eigen::MatrixXd Dense(const std::vector<Constraint>& rows, const std::map<int, int>& column, bool withRhs) {
  const Eigen::Index n = static_cast<Eigen::Index>(column.size());
  Eigen::MatrixXd m = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(rows.size()), n + (withRhs ? 1 : 0));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (const auto& entry : rows[r].coefficients)
      m(static_cast<Eigen::Index>(r), column.at(entry.first)) = entry.second;
    if (withRhs) m(static_cast<Eigen::Index>(r), n) = rows[r].rhs;
  }
  return m;
}

inline std::vector<int> ToVector(const ZRMUtVector<int>& list) {
  std::vector<int> values;
  for (int i = 0; i < list.Size(); ++i) values.push_back(list[i]);
  return values;
}

// The rank of a matrix (singular values above 1e-9 of the largest, or of 1) and the columns on
// which some null vector is not zero, ascending.
inline std::pair<int, std::vector<int>> Analyse(const Eigen::MatrixXd& m) {
  int rank = 0;
  Eigen::MatrixXd null = Eigen::MatrixXd::Identity(m.cols(), m.cols());
  if (m.rows() > 0) {
    const Eigen::BDCSVD<Eigen::MatrixXd> svd(m, Eigen::ComputeFullV);
    const Eigen::VectorXd& values = svd.singularValues();
    const double tolerance = 1e-9 * std::max(1.0, values.size() > 0 ? values(0) : 0.0);
    for (Eigen::Index i = 0; i < values.size(); ++i) rank += values(i) > tolerance ? 1 : 0;
    null = svd.matrixV().rightCols(m.cols() - rank);
  }
  std::vector<int> support;
  for (Eigen::Index column = 0; column < m.cols(); ++column)
    if (null.cols() > 0 && null.row(column).norm() > 1e-7) support.push_back(static_cast<int>(column));
  return {rank, support};
}

struct DenseSolution {
  // The smaller of the smallest singular value of C over its largest and of A on the null space
  // of C over |A|: 0 when C has dependent rows or A leaves a direction free.
  double conditioning = 0.0;
  std::map<int, double> values;  // variable id -> value
};

inline DenseSolution SolveDense(const std::vector<Constraint>& rows) {
  std::map<int, int> column;
  for (const Constraint& row : rows)
    for (const auto& entry : row.coefficients) column.emplace(entry.first, 0);
  int n = 0;
  for (auto& entry : column) entry.second = n++;
  std::vector<Constraint> hard, soft;
  for (const Constraint& row : rows) (row.hard ? hard : soft).push_back(row);
  const Eigen::MatrixXd withD = Dense(hard, column, true), withB = Dense(soft, column, true);
  const Eigen::MatrixXd c = withD.leftCols(n), a = withB.leftCols(n);
  const Eigen::Index h = c.rows();
  DenseSolution solution;
  if (n == 0 || h >= n) return solution;
  Eigen::VectorXd particular = Eigen::VectorXd::Zero(n);
  Eigen::MatrixXd nullSpace = Eigen::MatrixXd::Identity(n, n);
  double conditioning = 1.0;
  if (h > 0) {
    const Eigen::VectorXd sigma = Eigen::BDCSVD<Eigen::MatrixXd>(c).singularValues();
    conditioning = sigma(0) > 0.0 ? sigma(h - 1) / sigma(0) : 0.0;
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(c.transpose());
    const Eigen::MatrixXd q = qr.householderQ();
    const Eigen::MatrixXd r = qr.matrixQR().topRows(h).triangularView<Eigen::Upper>();
    particular = q.leftCols(h) * r.transpose().triangularView<Eigen::Lower>().solve(withD.col(n));
    nullSpace = q.rightCols(n - h);
  }
  const Eigen::MatrixXd reduced = a * nullSpace;
  if (reduced.rows() < reduced.cols() || a.norm() == 0.0) return solution;
  const Eigen::BDCSVD<Eigen::MatrixXd> svd(reduced, Eigen::ComputeThinU | Eigen::ComputeThinV);
  // Against the scale of the soft rows themselves: soft rows that the hard rows make constant
  // leave a reduced matrix of rounding noise, whose own singular values are all alike.
  solution.conditioning = std::min(conditioning, svd.singularValues().minCoeff() / a.norm());
  const Eigen::VectorXd x = particular + nullSpace * svd.solve(withB.col(n) - a * particular);
  for (const auto& entry : column) solution.values[entry.first] = x(entry.second);
  return solution;
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
inline std::string DiagnosisDisagreement(ZRMLSQSolver& solver, const Problem& problem, ZRMLSQDiagnosis& diagnosis) {
  if (!solver.Diagnose(diagnosis)) return "not diagnosed";
  const std::vector<Constraint>& rows = problem.constraints;
  std::map<int, int> column, named;
  for (const int id : problem.variables) column.emplace(id, static_cast<int>(column.size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rows[r].named) named[rows[r].id] = static_cast<int>(r);
  const auto analyse = [&](const std::vector<int>& which, bool withRhs) {
    std::vector<Constraint> stack;
    for (const int r : which) stack.push_back(rows.at(static_cast<std::size_t>(r)));
    return Analyse(Dense(stack, column, withRhs));
  };
  std::set<int> dependent;
  const auto check = [&](const ZRMUtVector<int>& list, bool isNamed, bool redundant) {
    for (int i = 0; i < list.Size(); ++i) {
      ZRMUtVector<int> ids, indices;
      if (!(isNamed ? solver.DependencyOf(list[i], ids, &indices) : solver.DependencyOfUnnamed(list[i], ids, &indices)))
        return "a dependent row without a group";
      std::vector<int> group;
      for (int k = 0; k < ids.Size(); ++k) group.push_back(named.at(ids[k]));
      for (int k = 0; k < indices.Size(); ++k) group.push_back(indices[k]);
      const int row = isNamed ? named.at(list[i]) : list[i];
      dependent.insert(row);
      const int rank = analyse(group, false).first;
      group.push_back(row);
      if (!rows.at(static_cast<std::size_t>(row)).hard || analyse(group, false).first != rank)
        return "a row outside the span of its group";
      if ((analyse(group, true).first == rank) != redundant) return "redundant and conflicting rows mixed up";
    }
    return "";
  };
  for (const char* found :
       {check(diagnosis.mRedundant, true, true), check(diagnosis.mConflicting, true, false),
        check(diagnosis.mRedundantUnnamed, false, true), check(diagnosis.mConflictingUnnamed, false, false)})
    if (*found) return found;
  std::vector<int> hard, kept, all;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    all.push_back(r);
    if (rows[static_cast<std::size_t>(r)].hard) hard.push_back(r);
    if (rows[static_cast<std::size_t>(r)].hard && !dependent.count(r)) kept.push_back(r);
  }
  const auto ofHard = analyse(hard, false);
  if (analyse(kept, false).first != static_cast<int>(kept.size()) || ofHard.first != static_cast<int>(kept.size()))
    return "dependent hard rows left unreported";
  if (diagnosis.mHardDegreesOfFreedom != static_cast<int>(column.size()) - ofHard.first) return "degrees of freedom";
  const auto ids = [&](const std::vector<int>& support) {
    std::vector<int> free;
    for (const int c : support) free.push_back(problem.variables[static_cast<std::size_t>(c)]);
    return free;
  };
  if (ToVector(diagnosis.mNotFixedByHardRows) != ids(ofHard.second)) return "variables not fixed by hard rows";
  if (ToVector(diagnosis.mUndetermined) != ids(analyse(all, false).second)) return "undetermined variables";
  return "";
}

// Below this conditioning the oracle finds dependent hard rows or soft rows that leave a
// direction free: such problems give values near 1e-16, the generated well-posed ones stay above 1e-3.
constexpr double kSingular = 1e-9;

// What the solver, given the problem in the ordering, does that the oracle rules out; empty when
// nothing. A unique solution (every well-posed problem has one) is found to 1e-8 of the largest
// value, meets every hard row to 1e-9 of it and is solved again bit for bit, unless a variable is
// reached only through hard rows, which Diagnose then names; anything else is refused, with no
// results.
inline std::string OracleDisagreement(const Problem& problem, Kind kind, ZRMLSQOrdering ordering) {
  const std::vector<Constraint>& rows = problem.constraints;
  const DenseSolution oracle = SolveDense(rows);
  const bool unique = oracle.conditioning > kSingular;
  ZRMLSQSolver solver;
  solver.SetOrdering(ordering);
  Register(solver, rows);
  const bool factored = solver.Factor();
  if (kind == Kind::WellPosed && !(unique && factored)) return "a well-posed problem refused";
  if (factored && !unique) return "a singular problem factored";
  ZRMLSQDiagnosis diagnosis;
  const std::string diagnosed = DiagnosisDisagreement(solver, problem, diagnosis);
  if (!diagnosed.empty()) return diagnosed;
  if (!factored) {
    if (solver.Solve() || !ResultBits(solver).empty()) return "refused, yet solved";
    return unique && diagnosis.mWithoutSoftRow.IsEmpty() ? "unique, refused, yet every variable has a soft row" : "";
  }
  if (!solver.Solve()) return "factored, yet not solved";
  const auto first = ResultBits(solver);
  if (!solver.Solve() || ResultBits(solver) != first) return "a second Solve differs";
  if (first.size() != oracle.values.size()) return "results for other variables than the oracle's";
  double largest = 1.0;
  for (const auto& value : oracle.values) largest = std::max(largest, std::fabs(value.second));
  for (const auto& value : oracle.values)
    if (!(std::fabs(solver.GetResult(value.first) - value.second) <= 1e-8 * largest))
      return "variable " + std::to_string(value.first) + " differs";
  for (const Constraint& row : rows) {
    double residual = -row.rhs;
    for (const auto& entry : row.coefficients) residual += entry.second * solver.GetResult(entry.first);
    if (row.hard && !(std::fabs(residual) <= 1e-9 * largest)) return "a hard row missed";
  }
  return "";
}

}  // namespace zrmtest

#endif
