// The dense oracle of the solver's tests and fuzzers (Eigen): min |A x - b|^2 subject to C x = d
// through an orthonormal basis of the null space of C, with how well conditioned that problem
// is, and the rank and null-space support of a stack of rows.
#ifndef ZRMSolverOracle_h
#define ZRMSolverOracle_h

#include <Eigen/Dense>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace zrmtest {

// One row: sum(coefficient * x[variable]) = rhs, hard or soft.
struct DenseRow {
  bool hard = false;
  std::vector<std::pair<int, double>> coefficients;
  double rhs = 0.0;
};

// The rows as a matrix over the given columns (variable id -> column), the right-hand sides
// in an extra last column when withRhs.
inline Eigen::MatrixXd Dense(const std::vector<DenseRow>& rows, const std::map<int, int>& column, bool withRhs) {
  const Eigen::Index n = static_cast<Eigen::Index>(column.size());
  Eigen::MatrixXd m = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(rows.size()), n + (withRhs ? 1 : 0));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (const auto& entry : rows[r].coefficients)
      m(static_cast<Eigen::Index>(r), column.at(entry.first)) = entry.second;
    if (withRhs) m(static_cast<Eigen::Index>(r), n) = rows[r].rhs;
  }
  return m;
}

// Rank (singular values above 1e-9 of the largest, or of 1) and the columns on which some null
// vector is not zero.
struct Spectrum {
  int rank = 0;
  std::set<int> support;
};

inline Spectrum Analyse(const Eigen::MatrixXd& m) {
  Spectrum spectrum;
  Eigen::MatrixXd null = Eigen::MatrixXd::Identity(m.cols(), m.cols());
  if (m.rows() > 0) {
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(m, Eigen::ComputeFullV);
    const Eigen::VectorXd& values = svd.singularValues();
    const double tolerance = 1e-9 * std::max(1.0, values.size() > 0 ? values(0) : 0.0);
    for (Eigen::Index i = 0; i < values.size(); ++i) spectrum.rank += values(i) > tolerance ? 1 : 0;
    null = svd.matrixV().rightCols(m.cols() - spectrum.rank);
  }
  for (Eigen::Index column = 0; column < m.cols(); ++column)
    if (null.cols() > 0 && null.row(column).norm() > 1e-7) spectrum.support.insert(static_cast<int>(column));
  return spectrum;
}

struct DenseSolution {
  // The smaller of the smallest singular value of C over its largest and of A on the null space
  // of C over |A|: 0 when C has dependent rows or A leaves a direction free.
  double conditioning = 0.0;
  std::map<int, double> values;  // variable id -> value
};

inline DenseSolution SolveDense(const std::vector<DenseRow>& rows) {
  std::map<int, int> column;
  for (const DenseRow& row : rows)
    for (const auto& entry : row.coefficients) column.emplace(entry.first, 0);
  int n = 0;
  for (auto& entry : column) entry.second = n++;
  std::vector<DenseRow> hard, soft;
  for (const DenseRow& row : rows) (row.hard ? hard : soft).push_back(row);
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

}  // namespace zrmtest

#endif
