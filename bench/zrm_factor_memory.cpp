// zrm_factor_memory: factors the k x k grid fairing problem with one side only, so that the peak
// memory of the two sides can be compared:
//   /usr/bin/time -v build/bench/bench/zrm_factor_memory ours 200
//   /usr/bin/time -v build/bench/bench/zrm_factor_memory eigen-natural 200
//   /usr/bin/time -v build/bench/bench/zrm_factor_memory eigen-amd 200
//   /usr/bin/time -v build/bench/bench/zrm_factor_memory fill 200      (ours, FillReducing)
//   /usr/bin/time -v build/bench/bench/zrm_factor_memory cholmod 200   (when built with CHOLMOD)
// ("Maximum resident set size"). The program also prints its own peak (VmHWM) after setting the
// problem up and after factoring, so the growth due to the factorization is visible directly.
#include "ZRMProblemGenerator.h"

#include <ZRMLSQSolver.h>
#include <ZRMUtLess.h>
#include <ZRMUtMap.h>

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#ifdef ZRM_BENCH_CHOLMOD
#  include <Eigen/CholmodSupport>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Peak resident set size of this process in MiB (VmHWM), or -1 when unknown.
double PeakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmHWM:") == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return -1.0;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RunOurs(const zrmgen::Problem& problem, ZRMLSQOrdering ordering) {
  ZRMLSQSolver solver;
  solver.SetOrdering(ordering);
  for (const zrmgen::Row& row : problem.rows) {
    ZRMUtMap<int, double, ZRMUtLess<int>> coefficients;
    for (const auto& [v, a] : row.coefficients) coefficients[v] = a;
    solver.AddConstraint(row.hard, coefficients, row.id);
    solver.SetRhs(row.id, row.rhs);
  }
  std::printf("registered: peak %.1f MiB\n", PeakMiB());
  const auto start = std::chrono::steady_clock::now();
  const bool ok = solver.Factor();
  std::printf("ours factor %s in %.2f s: peak %.1f MiB\n", ok ? "succeeded" : "FAILED", Seconds(start), PeakMiB());
  return ok ? 0 : 1;
}

// The reduced problem of the grid: soft rows over the non-boundary nodes, columns by first
// appearance in row order (the solver's own column order), boundary values removed.
Eigen::SparseMatrix<double> ReducedMatrix(const zrmgen::Problem& problem) {
  std::vector<bool> fixed(static_cast<std::size_t>(problem.variableCount), false);
  for (const zrmgen::Row& row : problem.rows)
    if (row.hard) fixed[static_cast<std::size_t>(row.coefficients[0].first)] = true;
  std::vector<int> column(static_cast<std::size_t>(problem.variableCount), -1);
  std::vector<Eigen::Triplet<double>> triplets;
  int rows = 0, columns = 0;
  for (const zrmgen::Row& row : problem.rows) {
    if (row.hard) continue;
    for (const auto& [v, a] : row.coefficients) {
      const std::size_t sv = static_cast<std::size_t>(v);
      if (fixed[sv]) continue;
      if (column[sv] < 0) column[sv] = columns++;
      triplets.emplace_back(rows, column[sv], a);
    }
    ++rows;
  }
  Eigen::SparseMatrix<double> a(rows, columns);
  a.setFromTriplets(triplets.begin(), triplets.end());
  return a;
}

template <class Solver>
double FactorEntries(const Solver& solver) {
  return static_cast<double>(solver.matrixL().nestedExpression().nonZeros());
}
template <class Solver>
void Prepare(Solver&) {}
#ifdef ZRM_BENCH_CHOLMOD
using CholmodLLT = Eigen::CholmodSupernodalLLT<Eigen::SparseMatrix<double>, Eigen::Lower>;
double FactorEntries(CholmodLLT& solver) { return solver.cholmod().lnz; }
void Prepare(CholmodLLT& solver) {
  solver.cholmod().nmethods = 1;
  solver.cholmod().method[0].ordering = CHOLMOD_AMD;
}
#endif

template <class Solver>
int RunEigen(const zrmgen::Problem& problem, const char* name) {
  const Eigen::SparseMatrix<double> a = ReducedMatrix(problem);
  std::printf("matrix built: peak %.1f MiB\n", PeakMiB());
  const auto start = std::chrono::steady_clock::now();
  const Eigen::SparseMatrix<double> normal = a.transpose() * a;
  Solver solver;
  Prepare(solver);
  solver.compute(normal);
  const bool ok = solver.info() == Eigen::Success;
  std::printf("%s factor %s in %.2f s (nnz L %.0f): peak %.1f MiB\n", name, ok ? "succeeded" : "FAILED", Seconds(start),
              FactorEntries(solver), PeakMiB());
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int k = argc == 3 ? std::atoi(argv[2]) : 200;
  if ((argc != 2 && argc != 3) || k < 3 || k > 2000) {
    std::fprintf(stderr, "usage: %s ours|fill|eigen-natural|eigen-amd|cholmod [k = 200, 3..2000]\n", argv[0]);
    return 2;
  }
  const zrmgen::Problem problem = zrmgen::GridFairing(k);
  std::printf("grid %d x %d: %zu rows, start: peak %.1f MiB\n", k, k, problem.rows.size(), PeakMiB());
  using Matrix = Eigen::SparseMatrix<double>;
  if (std::strcmp(argv[1], "ours") == 0) return RunOurs(problem, ZRMLSQOrdering::AsGiven);
  if (std::strcmp(argv[1], "fill") == 0) return RunOurs(problem, ZRMLSQOrdering::FillReducing);
#ifdef ZRM_BENCH_CHOLMOD
  if (std::strcmp(argv[1], "cholmod") == 0) return RunEigen<CholmodLLT>(problem, "cholmod");
#endif
  if (std::strcmp(argv[1], "eigen-natural") == 0)
    return RunEigen<Eigen::SimplicialLLT<Matrix, Eigen::Lower, Eigen::NaturalOrdering<int>>>(problem, "eigen-natural");
  if (std::strcmp(argv[1], "eigen-amd") == 0)
    return RunEigen<Eigen::SimplicialLLT<Matrix, Eigen::Lower>>(problem, "eigen-amd");
  std::fprintf(stderr, "usage: %s ours|fill|eigen-natural|eigen-amd|cholmod [k = 200, 3..2000]\n", argv[0]);
  return 2;
}
