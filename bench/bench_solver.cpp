// bench_solver: ZRMLSQSolver in both orderings against Eigen's sparse Cholesky (natural and AMD
// ordering) and CHOLMOD (AMD, supernodal) on the same least-squares problems.
//
// Build and run:
//   cmake --preset bench -B build/bench && cmake --build build/bench --target bench_solver
//   build/bench/bench/bench_solver                          (one pass: about two minutes of CPU time)
//   build/bench/bench/bench_solver --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
//   build/bench/bench/bench_solver --benchmark_filter=grid   (one family)
//
// Every problem comes from ZRMProblemGenerator.h, so both sides see the same numbers:
//   chain            (a) soft-only banded fairing chain, size = number of variables
//   grid             (b) k x k grid fairing with hard boundary values, size = k
//   sketch           (c) sketch-like system of P points (30 % of the two-point rows hard), size = P;
//   sketch-shuffled      the same system with row ids and variable ids randomly renumbered
//   bicubic          (d) bicubic surface fit with one hard edge, size = control points per side
//   relsketch        (e) sketch of P points whose hard rows have 1 to 4 entries (fixed coordinates,
//                        horizontal/vertical/coincident pairs, midpoints, symmetric points, points
//                        on lines), creation-ordered, size = P (a size is left out with a negative
//                        filter: --benchmark_filter=-relsketch/1000000)
//   hardchain(s)     (f) chains of hard difference rows (elimination stress), size = hard rows
//   parts, parts-arrow (g) sketch of parts, each with a label kept by soft rows registered with the
//                        part, or (arrow) after every part, size = parts
//
// Measured operations, per problem:
//   Factor/ours           ZRMLSQSolver::Factor on registered constraints (elimination, columns,
//                         normal matrix, Cholesky factor), repeated on one solver: from the second
//                         call on it reuses the storage of the previous factorization.
//   Factor/fill           the same with SetOrdering(ZRMLSQOrdering::FillReducing); Solve/fill too.
//   FactorNew/ours        the same on a solver that has never factored (registration untimed).
//   Factor/eigen-natural  Eigen forms AtA = A^T A from the prepared matrix A and factors it with
//                         SimplicialLLT<..., Lower, NaturalOrdering<int>>, repeated on one object.
//   FactorNew/eigen-natural  the same on a newly constructed SimplicialLLT object each time (what
//                         a caller starting a drag waits for; destruction untimed).
//   Factor/eigen-amd      the same with Eigen's default AMD fill-reducing ordering.
//   Factor/cholmod        the same with CHOLMOD's supernodal Cholesky, AMD ordering (through
//                         Eigen's CholmodSupport; built when SuiteSparse is found). Its dense
//                         kernels run on the BLAS the system provides: choose it with
//                         LD_LIBRARY_PATH (Debian: /usr/lib/x86_64-linux-gnu/blas for the
//                         reference BLAS, .../openblas-pthread with OPENBLAS_NUM_THREADS=1).
//   Solve/<side>          ours: SetRhs of every constraint, then Solve. Eigen: write every
//                         right-hand side into b, form A^T b (minus the fixed-value part), solve.
//   Diagnose/ours         ZRMLSQSolver::Diagnose on the registered constraints (no peer: compare
//                         with Factor/ours), where the problem has a drag.
//   Drag/<side>           one factorization, then 1000 rounds of moving the cursor rows' right-hand
//                         sides and solving; the time shown is per round.
//   EndToEnd/ours, /fill  chains, sketches, relsketch, hard chains of 10^4 rows and more, parts: from
//                         the problem's rows to the solution, building each row's ZRMUtMap,
//                         AddConstraint and SetRhs, Factor, one Solve (destruction untimed).
//   Register/ours         the registration part of that alone (each row's ZRMUtMap, AddConstraint,
//                         SetRhs).
//   EndToEnd/<peer>       the same for a peer: A and b assembled from triplets (columns = variable
//                         ids, hard rows as penalty rows), AtA = A^T A, a new solver, one solve.
//
// What the Eigen peer solves:
//   chain, grid, bicubic: the same reduced problem as ours. Their hard rows are simple fixed values
//     (a * x = r), so the peer removes those variables directly and its A holds the soft rows over the
//     remaining variables, columns numbered exactly as ours (first appearance in row-id order), so the
//     natural-ordering factor has the same fill as ours.
//   sketch, relsketch, hardchain(s), parts: the hard rows couple variables, so the peer keeps them as soft
//     rows scaled by a penalty weight of 1e4 (weight 1e8 in the normal equations). Its A has all rows
//     and all variables (more columns than our reduced system) and meets the hard rows only to about
//     1e-8.
//
// Reading the output: the usual table of per-iteration times comes first (counters: nnzL = non-zeros
// of Eigen's factor L, rows/cols of A, maxdiff = largest difference between our and Eigen's
// solution, checked once per problem). The summary at the end gives per problem our time, Eigen's
// natural-ordering time of the same operation and their ratio (ours / natural: below 1 means we
// are faster), then the fill-reducing mode, Eigen's AMD and CHOLMOD, and the ratio of the
// fill-reducing mode to the better of those two; with repetitions it uses the medians. The summary
// uses CPU time (every measured operation is single-threaded), which a shared machine disturbs less
// than wall time.
#include "ZRMProblemGenerator.h"

#include <ZRMLSQSolver.h>
#include <ZRMUtLess.h>
#include <ZRMUtMap.h>

#include <benchmark/benchmark.h>

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#ifdef ZRM_BENCH_CHOLMOD
#  include <Eigen/CholmodSupport>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

using SparseMatrix = Eigen::SparseMatrix<double>;
using NaturalLLT = Eigen::SimplicialLLT<SparseMatrix, Eigen::Lower, Eigen::NaturalOrdering<int>>;
using AmdLLT = Eigen::SimplicialLLT<SparseMatrix, Eigen::Lower>;

// Settings of a peer before its first factorization, and the entries of its L.
template <class Solver>
void Prepare(Solver&) {}
template <class Solver>
double FactorEntries(const Solver& solver) {
  return static_cast<double>(solver.matrixL().nestedExpression().nonZeros());
}
#ifdef ZRM_BENCH_CHOLMOD
using CholmodLLT = Eigen::CholmodSupernodalLLT<SparseMatrix, Eigen::Lower>;
void Prepare(CholmodLLT& solver) {
  solver.cholmod().nmethods = 1;
  solver.cholmod().method[0].ordering = CHOLMOD_AMD;
}
double FactorEntries(CholmodLLT& solver) { return solver.cholmod().lnz; }
#endif

constexpr double kPenaltyWeight = 1.0e4;

// The Eigen side of one problem: A, the fixed-value part G, and where each row's rhs goes.
struct EigenPeer {
  bool reduced = false;             // true: hard rows are fixed values, removed; false: penalty rows
  SparseMatrix A;                   // rows of the least-squares system, in row-id order
  SparseMatrix G;                   // reduced only: the same rows over the fixed variables
  std::vector<int> slot;            // per problem row: index into b (rows of A) or into fixed
  std::vector<bool> isFixed;        // per problem row: its rhs goes to the fixed values
  std::vector<double> scale;        // per problem row: factor applied to its rhs
  std::vector<int> columnVariable;  // column of A -> variable id
  std::vector<int> fixedVariable;   // fixed index -> variable id
  Eigen::VectorXd b, fixed, x;
};

// True when every hard row is a single non-zero term and no variable is fixed twice.
bool HardRowsAreFixedValues(const zrmgen::Problem& problem) {
  std::vector<bool> seen(static_cast<std::size_t>(problem.variableCount), false);
  for (const zrmgen::Row& row : problem.rows) {
    if (!row.hard) continue;
    if (row.coefficients.size() != 1 || row.coefficients[0].second == 0.0) return false;
    const std::size_t v = static_cast<std::size_t>(row.coefficients[0].first);
    if (seen[v]) return false;
    seen[v] = true;
  }
  return true;
}

// Builds the peer: rows in id order (the solver's key order), columns by first appearance.
std::unique_ptr<EigenPeer> BuildPeer(const zrmgen::Problem& problem) {
  auto peer = std::make_unique<EigenPeer>();
  peer->reduced = HardRowsAreFixedValues(problem);
  const std::size_t rowCount = problem.rows.size();
  std::vector<std::size_t> order(rowCount);
  for (std::size_t i = 0; i < rowCount; ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&problem](std::size_t a, std::size_t b) { return problem.rows[a].id < problem.rows[b].id; });

  std::vector<int> fixedIndex(static_cast<std::size_t>(problem.variableCount), -1);
  peer->slot.assign(rowCount, -1);
  peer->isFixed.assign(rowCount, false);
  peer->scale.assign(rowCount, 1.0);
  if (peer->reduced) {
    for (std::size_t i : order) {
      const zrmgen::Row& row = problem.rows[i];
      if (!row.hard) continue;
      const int v = row.coefficients[0].first;
      peer->slot[i] = static_cast<int>(peer->fixedVariable.size());
      peer->isFixed[i] = true;
      peer->scale[i] = 1.0 / row.coefficients[0].second;
      fixedIndex[static_cast<std::size_t>(v)] = peer->slot[i];
      peer->fixedVariable.push_back(v);
    }
  }
  std::vector<int> column(static_cast<std::size_t>(problem.variableCount), -1);
  std::vector<Eigen::Triplet<double>> aTriplets, gTriplets;
  int rows = 0;
  for (std::size_t i : order) {
    const zrmgen::Row& row = problem.rows[i];
    if (peer->reduced && row.hard) continue;
    const double weight = row.hard ? kPenaltyWeight : 1.0;
    peer->slot[i] = rows;
    peer->scale[i] = weight;
    for (const auto& [v, a] : row.coefficients) {
      const std::size_t sv = static_cast<std::size_t>(v);
      if (fixedIndex[sv] >= 0) {
        gTriplets.emplace_back(rows, fixedIndex[sv], a);
        continue;
      }
      if (column[sv] < 0) {
        column[sv] = static_cast<int>(peer->columnVariable.size());
        peer->columnVariable.push_back(v);
      }
      aTriplets.emplace_back(rows, column[sv], weight * a);
    }
    ++rows;
  }
  peer->A.resize(rows, static_cast<Eigen::Index>(peer->columnVariable.size()));
  peer->A.setFromTriplets(aTriplets.begin(), aTriplets.end());
  peer->G.resize(rows, static_cast<Eigen::Index>(peer->fixedVariable.size()));
  peer->G.setFromTriplets(gTriplets.begin(), gTriplets.end());
  peer->b = Eigen::VectorXd::Zero(rows);
  peer->fixed = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(peer->fixedVariable.size()));
  return peer;
}

// Eigen's factor step: form A^T A and factor it.
template <class Solver>
bool EigenFactor(const EigenPeer& peer, Solver& solver) {
  const SparseMatrix normal = peer.A.transpose() * peer.A;
  solver.compute(normal);
  return solver.info() == Eigen::Success;
}

// Eigen's solve step: every rhs into place, A^T (b - G fixed), triangular solves.
template <class Solver>
void EigenSolve(const zrmgen::Problem& problem, EigenPeer& peer, const Solver& solver) {
  for (std::size_t i = 0; i < problem.rows.size(); ++i) {
    const double value = peer.scale[i] * problem.rows[i].rhs;
    if (peer.isFixed[i])
      peer.fixed[peer.slot[i]] = value;
    else
      peer.b[peer.slot[i]] = value;
  }
  Eigen::VectorXd normalRhs = peer.reduced ? Eigen::VectorXd(peer.A.transpose() * (peer.b - peer.G * peer.fixed))
                                           : Eigen::VectorXd(peer.A.transpose() * peer.b);
  peer.x = solver.solve(normalRhs);
}

// Registers every row of the problem with our solver, named by its id, with its rhs.
std::unique_ptr<ZRMLSQSolver> RegisterOurs(const zrmgen::Problem& problem) {
  auto solver = std::make_unique<ZRMLSQSolver>();
  for (const zrmgen::Row& row : problem.rows) {
    ZRMUtMap<int, double, ZRMUtLess<int>> coefficients;
    for (const auto& [v, a] : row.coefficients) coefficients[v] = a;
    solver->AddConstraint(row.hard, coefficients, row.id);
    solver->SetRhs(row.id, row.rhs);
  }
  return solver;
}

// One problem with both sides, built lazily and kept while its benchmarks run.
struct Fixture {
  zrmgen::Problem problem;
  std::unique_ptr<ZRMLSQSolver> ours[2];  // by ordering: AsGiven, FillReducing
  bool oursFactored[2] = {false, false};
  std::unique_ptr<EigenPeer> peer;
  std::unique_ptr<NaturalLLT> natural;
  std::unique_ptr<AmdLLT> amd;
#ifdef ZRM_BENCH_CHOLMOD
  std::unique_ptr<CholmodLLT> cholmod;
#endif
  double maxDiff[2] = {-1.0, -1.0};
};

using Generator = std::function<zrmgen::Problem()>;

// The fixture of the problem named key; the previous problem is released first (memory).
Fixture& GetFixture(const std::string& key, const Generator& generate) {
  static std::string currentKey;
  static std::unique_ptr<Fixture> current;
  if (!current || currentKey != key) {
    current.reset();
    current = std::make_unique<Fixture>();
    current->problem = generate();
    currentKey = key;
  }
  return *current;
}

// Our solver of the problem in one ordering, registered on first use.
ZRMLSQSolver& Ours(Fixture& f, ZRMLSQOrdering ordering) {
  std::unique_ptr<ZRMLSQSolver>& ours = f.ours[static_cast<int>(ordering)];
  if (!ours) {
    ours = RegisterOurs(f.problem);
    ours->SetOrdering(ordering);
  }
  return *ours;
}

ZRMLSQSolver& OursFactored(Fixture& f, ZRMLSQOrdering ordering) {
  bool& factored = f.oursFactored[static_cast<int>(ordering)];
  if (!factored) factored = Ours(f, ordering).Factor();
  return Ours(f, ordering);
}

EigenPeer& Peer(Fixture& f) {
  if (!f.peer) f.peer = BuildPeer(f.problem);
  return *f.peer;
}

// A peer's solver, factored on first use.
template <class Solver>
Solver& PeerFactored(Fixture& f, std::unique_ptr<Solver>& solver) {
  if (!solver) {
    solver = std::make_unique<Solver>();
    Prepare(*solver);
    EigenFactor(Peer(f), *solver);
  }
  return *solver;
}

NaturalLLT& NaturalFactored(Fixture& f) { return PeerFactored(f, f.natural); }

// Largest difference between our solution and Eigen's natural-ordering solution, all variables.
double CompareSolutions(Fixture& f, ZRMLSQOrdering ordering) {
  ZRMLSQSolver& ours = OursFactored(f, ordering);
  EigenPeer& peer = Peer(f);
  for (const zrmgen::Row& row : f.problem.rows) ours.SetRhs(row.id, row.rhs);
  if (!ours.Solve()) return INFINITY;
  EigenSolve(f.problem, peer, NaturalFactored(f));
  double diff = 0.0;
  for (std::size_t c = 0; c < peer.columnVariable.size(); ++c)
    diff = std::max(diff, std::fabs(ours.GetResult(peer.columnVariable[c]) - peer.x[static_cast<Eigen::Index>(c)]));
  for (std::size_t k = 0; k < peer.fixedVariable.size(); ++k)
    diff = std::max(diff, std::fabs(ours.GetResult(peer.fixedVariable[k]) - peer.fixed[static_cast<Eigen::Index>(k)]));
  return diff;
}

void SetShapeCounters(benchmark::State& state, const EigenPeer& peer) {
  state.counters["rows"] = static_cast<double>(peer.A.rows());
  state.counters["cols"] = static_cast<double>(peer.A.cols());
}

void FactorOurs(benchmark::State& state, Fixture& f, ZRMLSQOrdering ordering) {
  ZRMLSQSolver& ours = Ours(f, ordering);
  bool ok = true;
  for (auto _ : state) ok = ours.Factor() && ok;
  f.oursFactored[static_cast<int>(ordering)] = ok;
  if (!ok) state.SkipWithError("ZRMLSQSolver::Factor returned false");
}

// Diagnose on the registered constraints (what a sketcher asks when Factor fails).
void DiagnoseOurs(benchmark::State& state, Fixture& f) {
  ZRMLSQSolver& ours = Ours(f, ZRMLSQOrdering::AsGiven);
  ZRMLSQDiagnosis diagnosis;
  bool ok = true;
  for (auto _ : state) ok = ours.Diagnose(diagnosis) && ok;
  if (!ok) state.SkipWithError("ZRMLSQSolver::Diagnose returned false");
}

// Factor on a solver that has never factored (registration and destruction not timed): no
// storage of an earlier factorization to reuse.
void FactorNewOurs(benchmark::State& state, Fixture& f) {
  bool ok = true;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<ZRMLSQSolver> solver = RegisterOurs(f.problem);
    state.ResumeTiming();
    ok = solver->Factor() && ok;
    state.PauseTiming();
    solver.reset();
    state.ResumeTiming();
  }
  if (!ok) state.SkipWithError("ZRMLSQSolver::Factor returned false");
}

template <class Solver>
void FactorEigen(benchmark::State& state, Fixture& f) {
  EigenPeer& peer = Peer(f);
  Solver solver;
  Prepare(solver);
  bool ok = true;
  for (auto _ : state) ok = EigenFactor(peer, solver) && ok;
  if (!ok) state.SkipWithError("the peer's factorization failed");
  SetShapeCounters(state, peer);
  state.counters["nnzL"] = FactorEntries(solver);
}

void FactorNewEigen(benchmark::State& state, Fixture& f) {
  EigenPeer& peer = Peer(f);
  bool ok = true;
  for (auto _ : state) {
    auto solver = std::make_unique<NaturalLLT>();
    ok = EigenFactor(peer, *solver) && ok;
    state.PauseTiming();
    solver.reset();
    state.ResumeTiming();
  }
  if (!ok) state.SkipWithError("Eigen SimplicialLLT failed");
}

void SolveOurs(benchmark::State& state, Fixture& f, ZRMLSQOrdering ordering) {
  double& maxDiff = f.maxDiff[static_cast<int>(ordering)];
  if (maxDiff < 0.0) maxDiff = CompareSolutions(f, ordering);
  ZRMLSQSolver& ours = OursFactored(f, ordering);
  bool ok = f.oursFactored[static_cast<int>(ordering)];
  for (auto _ : state) {
    for (const zrmgen::Row& row : f.problem.rows) ours.SetRhs(row.id, row.rhs);
    ok = ours.Solve() && ok;
  }
  if (!ok) state.SkipWithError("ZRMLSQSolver::Solve returned false");
  state.counters["maxdiff"] = maxDiff;
}

template <class Solver>
void SolveEigen(benchmark::State& state, Fixture& f, const Solver& solver) {
  EigenPeer& peer = Peer(f);
  for (auto _ : state) {
    EigenSolve(f.problem, peer, solver);
    benchmark::DoNotOptimize(peer.x.data());
  }
}

// Cursor position of drag round i: a small circle around the dragged point's start.
std::pair<double, double> CursorAt(const Fixture& f, long round) {
  const double angle = 0.01 * static_cast<double>(round);
  const double x0 = f.problem.rows[static_cast<std::size_t>(f.problem.cursorRowX)].rhs;
  const double y0 = f.problem.rows[static_cast<std::size_t>(f.problem.cursorRowY)].rhs;
  return {x0 + 10.0 * std::cos(angle), y0 + 10.0 * std::sin(angle)};
}

// Row position of a row id (the generator keeps ids and positions apart only when shuffled).
std::size_t RowPosition(const zrmgen::Problem& problem, int id) {
  for (std::size_t i = 0; i < problem.rows.size(); ++i)
    if (problem.rows[i].id == id) return i;
  return 0;
}

void DragOurs(benchmark::State& state, Fixture& f) {
  ZRMLSQSolver& ours = OursFactored(f, ZRMLSQOrdering::AsGiven);
  bool ok = f.oursFactored[0];
  long round = 0;
  for (auto _ : state) {
    const auto [cx, cy] = CursorAt(f, round++);
    ours.SetRhs(f.problem.cursorRowX, cx);
    ours.SetRhs(f.problem.cursorRowY, cy);
    ok = ours.Solve() && ok;
  }
  if (!ok) state.SkipWithError("ZRMLSQSolver drag failed");
}

void DragEigen(benchmark::State& state, Fixture& f) {
  EigenPeer& peer = Peer(f);
  const NaturalLLT& solver = NaturalFactored(f);
  EigenSolve(f.problem, peer, solver);
  const std::size_t rx = RowPosition(f.problem, f.problem.cursorRowX),
                    ry = RowPosition(f.problem, f.problem.cursorRowY);
  long round = 0;
  for (auto _ : state) {
    const auto [cx, cy] = CursorAt(f, round++);
    peer.b[peer.slot[rx]] = peer.scale[rx] * cx;
    peer.b[peer.slot[ry]] = peer.scale[ry] * cy;
    const Eigen::VectorXd normalRhs = peer.A.transpose() * peer.b;
    peer.x = solver.solve(normalRhs);
    benchmark::DoNotOptimize(peer.x.data());
  }
}

void EndToEndOurs(benchmark::State& state, Fixture& f, ZRMLSQOrdering ordering) {
  bool ok = true;
  for (auto _ : state) {
    std::unique_ptr<ZRMLSQSolver> solver = RegisterOurs(f.problem);
    solver->SetOrdering(ordering);
    ok = solver->Factor() && solver->Solve() && ok;
    state.PauseTiming();
    solver.reset();
    state.ResumeTiming();
  }
  if (!ok) state.SkipWithError("ZRMLSQSolver end to end failed");
}

// The registration part of the end to end: each row's ZRMUtMap, AddConstraint, SetRhs.
void RegisterOnly(benchmark::State& state, Fixture& f) {
  for (auto _ : state) {
    std::unique_ptr<ZRMLSQSolver> solver = RegisterOurs(f.problem);
    benchmark::DoNotOptimize(solver.get());
    state.PauseTiming();
    solver.reset();
    state.ResumeTiming();
  }
}

// What a peer's end to end builds; destroyed untimed.
template <class Solver>
struct EigenEndToEndRun {
  std::vector<Eigen::Triplet<double>> triplets;
  SparseMatrix A;
  Eigen::VectorXd b, x;
  Solver solver;
};

// A peer's end to end: A and b assembled from triplets (columns = variable ids, hard rows as
// penalty rows), A^T A, a new solver, one solve.
template <class Solver>
void EndToEndEigen(benchmark::State& state, Fixture& f) {
  const zrmgen::Problem& problem = f.problem;
  std::size_t entries = 0;
  for (const zrmgen::Row& row : problem.rows) entries += row.coefficients.size();
  const auto rows = static_cast<Eigen::Index>(problem.rows.size());
  bool ok = true;
  for (auto _ : state) {
    auto run = std::make_unique<EigenEndToEndRun<Solver>>();
    run->triplets.reserve(entries);
    run->b.resize(rows);
    for (Eigen::Index i = 0; i < rows; ++i) {
      const zrmgen::Row& row = problem.rows[static_cast<std::size_t>(i)];
      const double weight = row.hard ? kPenaltyWeight : 1.0;
      for (const auto& [v, a] : row.coefficients) run->triplets.emplace_back(static_cast<int>(i), v, weight * a);
      run->b[i] = weight * row.rhs;
    }
    run->A.resize(rows, problem.variableCount);
    run->A.setFromTriplets(run->triplets.begin(), run->triplets.end());
    Prepare(run->solver);
    run->solver.compute(SparseMatrix(run->A.transpose() * run->A));
    ok = run->solver.info() == Eigen::Success && ok;
    run->x = run->solver.solve(Eigen::VectorXd(run->A.transpose() * run->b));
    benchmark::DoNotOptimize(run->x.data());
    state.PauseTiming();
    run.reset();
    state.ResumeTiming();
  }
  if (!ok) state.SkipWithError("the peer's end to end failed");
}

// One problem of the benchmark: its name, size, generator and how long to run the slow ones.
struct Case {
  std::string family;
  int size;
  Generator generate;
  int factorIterations;  // 0: let the library choose
  bool drag = false;
  bool endToEnd = false;
  bool natural = true;  // ours as given and eigen-natural run too (else only the fill-reducing sides)
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (int n : {10000, 100000, 1000000})
    cases.push_back({"chain", n, [n] { return zrmgen::FairingChain(n); }, n >= 1000000 ? 1 : 0, false, true});
  // Grids of 16 and 24 a side: on either side of where the fill-reducing mode turns from
  // factoring by columns to factoring by supernodes.
  for (int k : {16, 24, 50, 100, 200})
    cases.push_back({"grid", k, [k] { return zrmgen::GridFairing(k); }, k >= 200 ? 2 : 0});
  for (int p : {500, 5000, 50000})
    cases.push_back({"sketch", p, [p] { return zrmgen::Sketch(p, false); }, p >= 50000 ? 10 : 0, p == 5000, p >= 5000});
  for (int p : {500, 5000, 50000})
    cases.push_back({"sketch-shuffled", p, [p] { return zrmgen::Sketch(p, true); }, p >= 50000 ? 6 : 0});
  for (int m : {30, 60}) cases.push_back({"bicubic", m, [m] { return zrmgen::BicubicFit(m); }, 0});
  for (int p : {10000, 100000, 1000000})
    cases.push_back(
        {"relsketch", p, [p] { return zrmgen::RelationSketch(p, false); }, p >= 1000000 ? 1 : 0, p == 10000, true});
  for (int length : {1000, 4000, 10000, 100000, 1000000})
    cases.push_back({"hardchain", length, [length] { return zrmgen::HardChains(1, length); }, length == 4000 ? 1 : 0,
                     false, length >= 10000, length <= 4000});
  cases.push_back({"hardchains", 4000, [] { return zrmgen::HardChains(40, 100); }, 0});
  for (int parts : {100, 1000, 10000})
    cases.push_back({"parts", parts, [parts] { return zrmgen::PartsSketch(parts, false); }, parts >= 10000 ? 2 : 0,
                     false, parts >= 1000});
  for (int parts : {300, 1000})
    cases.push_back(
        {"parts-arrow", parts, [parts] { return zrmgen::PartsSketch(parts, true); }, 0, false, false, parts <= 300});
  return cases;
}

void RegisterCase(const Case& c) {
  const std::string key = c.family + "/" + std::to_string(c.size);
  const Generator generate = c.generate;
  auto fixture = [key, generate]() -> Fixture& { return GetFixture(key, generate); };
  auto limit = [&c](benchmark::internal::Benchmark* b, bool factor) {
    if (factor && c.factorIterations > 0)
      b->Iterations(c.factorIterations);
    else if (!factor && c.factorIterations > 0)
      b->Iterations(5 * c.factorIterations);
  };
  auto ms = benchmark::kMillisecond;
  auto us = benchmark::kMicrosecond;
  const auto add = [&](const std::string& name, std::function<void(benchmark::State&, Fixture&)> run, bool factor) {
    limit(benchmark::RegisterBenchmark((name + "/" + key).c_str(),
                                       [fixture, run](benchmark::State& s) { run(s, fixture()); })
              ->Unit(factor ? ms : us),
          factor);
  };
  const ZRMLSQOrdering given = ZRMLSQOrdering::AsGiven, fill = ZRMLSQOrdering::FillReducing;
  if (c.natural) {
    add(
        "Factor/ours", [](benchmark::State& s, Fixture& f) { FactorOurs(s, f, given); }, true);
    add("FactorNew/ours", FactorNewOurs, true);
    add("Factor/eigen-natural", FactorEigen<NaturalLLT>, true);
    add("FactorNew/eigen-natural", FactorNewEigen, true);
  }
  add(
      "Factor/fill", [](benchmark::State& s, Fixture& f) { FactorOurs(s, f, fill); }, true);
  add("Factor/eigen-amd", FactorEigen<AmdLLT>, true);
#ifdef ZRM_BENCH_CHOLMOD
  add("Factor/cholmod", FactorEigen<CholmodLLT>, true);
#endif
  if (c.natural) {
    add(
        "Solve/ours", [](benchmark::State& s, Fixture& f) { SolveOurs(s, f, given); }, false);
    add(
        "Solve/eigen-natural", [](benchmark::State& s, Fixture& f) { SolveEigen(s, f, NaturalFactored(f)); }, false);
  }
  add(
      "Solve/fill", [](benchmark::State& s, Fixture& f) { SolveOurs(s, f, fill); }, false);
  add(
      "Solve/eigen-amd", [](benchmark::State& s, Fixture& f) { SolveEigen(s, f, PeerFactored(f, f.amd)); }, false);
#ifdef ZRM_BENCH_CHOLMOD
  add(
      "Solve/cholmod", [](benchmark::State& s, Fixture& f) { SolveEigen(s, f, PeerFactored(f, f.cholmod)); }, false);
#endif
  if (c.drag) {
    benchmark::RegisterBenchmark(("Diagnose/ours/" + key).c_str(), [fixture](benchmark::State& s) {
      DiagnoseOurs(s, fixture());
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Drag/ours/" + key).c_str(),
                                 [fixture](benchmark::State& s) { DragOurs(s, fixture()); })
        ->Unit(us)
        ->Iterations(1000);
    benchmark::RegisterBenchmark(("Drag/eigen-natural/" + key).c_str(),
                                 [fixture](benchmark::State& s) { DragEigen(s, fixture()); })
        ->Unit(us)
        ->Iterations(1000);
  }
  if (c.endToEnd) {
    if (c.natural) {
      add(
          "EndToEnd/ours", [](benchmark::State& s, Fixture& f) { EndToEndOurs(s, f, given); }, true);
      add("EndToEnd/eigen-natural", EndToEndEigen<NaturalLLT>, true);
    }
    add("Register/ours", RegisterOnly, true);
    add(
        "EndToEnd/fill", [](benchmark::State& s, Fixture& f) { EndToEndOurs(s, f, fill); }, true);
    add("EndToEnd/eigen-amd", EndToEndEigen<AmdLLT>, true);
#ifdef ZRM_BENCH_CHOLMOD
    add("EndToEnd/cholmod", EndToEndEigen<CholmodLLT>, true);
#endif
  }
}

// Console output as usual, plus the per-problem times collected for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  // Colours only on a terminal (the library applies --benchmark_color to its own reporter only).
  SummaryReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (mEntries.count(run.run_name.function_name) == 0) mOrder.push_back(run.run_name.function_name);
      Entry& entry = mEntries[run.run_name.function_name];
      if (entry.fromMedian && run.aggregate_name.empty()) continue;
      entry.fromMedian = !run.aggregate_name.empty();
      entry.seconds = seconds;
    }
  }

  // Prints one line per (operation, problem) in the order run: ours as given, Eigen natural and
  // their ratio; the fill-reducing mode, Eigen AMD, CHOLMOD and the ratio of the fill-reducing
  // mode to the better of the two ("-" where a side did not run).
  void PrintSummary() const {
    std::printf(
        "\nSummary (median when repeated): time per operation; ours / eigen-natural, fill / best of "
        "eigen-amd and cholmod\n");
    std::printf("%-9s %-12s %8s %10s %10s %6s %10s %10s %10s %6s\n", "op", "family", "size", "ours", "eigen-nat",
                "ratio", "fill", "eigen-amd", "cholmod", "ratio");
    std::vector<std::string> printed;
    for (const std::string& name : mOrder) {
      const std::size_t first = name.find('/'), second = name.find('/', first + 1);
      const std::string op = name.substr(0, first), problem = name.substr(second + 1);
      if (std::find(printed.begin(), printed.end(), op + "/" + problem) != printed.end()) continue;
      printed.push_back(op + "/" + problem);
      const auto side = [&](const char* which) { return Seconds(op + "/" + which + "/" + problem); };
      const double ours = side("ours"), natural = side("eigen-natural"), fill = side("fill");
      const double amd = side("eigen-amd"), cholmod = side("cholmod");
      const double best = amd < 0.0 ? cholmod : cholmod < 0.0 ? amd : std::min(amd, cholmod);
      const std::size_t slash = problem.find('/');
      std::printf("%-9s %-12s %8s %10s %10s %6s %10s %10s %10s %6s\n", op.c_str(), problem.substr(0, slash).c_str(),
                  problem.substr(slash + 1).c_str(), Format(ours).c_str(), Format(natural).c_str(),
                  Ratio(ours, natural).c_str(), Format(fill).c_str(), Format(amd).c_str(), Format(cholmod).c_str(),
                  Ratio(fill, best).c_str());
    }
  }

private:
  struct Entry {
    double seconds = -1.0;
    bool fromMedian = false;
  };

  double Seconds(const std::string& name) const {
    const auto it = mEntries.find(name);
    return it == mEntries.end() ? -1.0 : it->second.seconds;
  }

  static std::string Format(double seconds) {
    if (seconds < 0.0) return "-";
    char text[32];
    if (seconds >= 1.0)
      std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
      std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
      std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
  }

  static std::string Ratio(double a, double b) {
    if (a < 0.0 || b <= 0.0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", a / b);
    return text;
  }

  std::map<std::string, Entry> mEntries;
  std::vector<std::string> mOrder;  // names in the order of their first result
};

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : Cases()) RegisterCase(c);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
