// The dense oracle (Eigen), compiled once for the solver's tests and fuzzers.
#include "ZRMSolverOracle.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zrmtest {
namespace {

// The rows as a matrix over the given columns (variable id -> column), the right-hand sides
// in an extra last column when withRhs.
Eigen::MatrixXd Dense(const std::vector<Constraint>& rows, const std::map<int, int>& column, bool withRhs) {
  const Eigen::Index n = static_cast<Eigen::Index>(column.size());
  Eigen::MatrixXd m = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(rows.size()), n + (withRhs ? 1 : 0));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (const auto& entry : rows[r].coefficients)
      m(static_cast<Eigen::Index>(r), column.at(entry.first)) = entry.second;
    if (withRhs) m(static_cast<Eigen::Index>(r), n) = rows[r].rhs;
  }
  return m;
}

// The rank of a matrix (singular values above 1e-9 of the largest, or of 1) and the columns on
// which some null vector is not zero, ascending.
std::pair<int, std::vector<int>> Analyse(const Eigen::MatrixXd& m) {
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

DenseSolution SolveDense(const std::vector<Constraint>& rows) {
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

// Below this conditioning the oracle finds dependent hard rows or soft rows that leave a
// direction free: such problems give values near 1e-16, the generated well-posed ones stay above 1e-3.
constexpr double kSingular = 1e-9;

}  // namespace

std::string DiagnosisDisagreement(ZRMLSQSolver& solver, const Problem& problem, ZRMLSQDiagnosis& diagnosis) {
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

std::string OracleDisagreement(const Problem& problem, Kind kind, ZRMLSQOrdering ordering) {
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
