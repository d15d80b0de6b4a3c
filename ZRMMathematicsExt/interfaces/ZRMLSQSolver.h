// ZRMLSQSolver: sparse linear least-squares solver with hard (exact) and soft constraint rows.
#ifndef ZRMLSQSolver_h
#define ZRMLSQSolver_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"

struct LSQSolverState;
struct ZRMLSQSolverStateAccess;

// Sparse linear least-squares solver over integer variable ids.
//
// Each constraint is a linear row  sum(coefficient[v] * x[v]) = rhs  over the variables named
// in its coefficient map. Hard rows (flag true) are met exactly; soft rows (flag false) all have
// weight 1. The solver computes the x that minimises the sum of squared soft residuals
// subject to every hard row holding exactly. Hard rows are removed by sparse elimination, the
// normal matrix of the reduced soft rows is factored by a sparse Cholesky factorization.
//
// Calling order:
//   AddConstraint (any number) -> Factor -> SetRhs (any number) -> Solve -> GetResult.
// Right-hand sides stay symbolic through Factor, so after one successful Factor the caller may
// alternate SetRhs and Solve freely; the results are bit for bit those of a new Factor with the
// same data. Adding or replacing a constraint (including SetRhs of an id without a constraint,
// which registers one) invalidates the factorization until the next Factor.
//
// Failures (never raised, always a result or a report):
//   Factor returns false when the hard rows are dependent, duplicate or contradictory (no pivot
//     above the absolute tolerance), when a variable is left free by the hard rows but named by
//     no soft row, or when the normal matrix is not positive definite (reported as "Not positive
//     definite matrix (or ill-conditioned)"). Dependent soft rows or free variables that the
//     soft rows do not determine give that last case; so does a pivot of the factorization that
//     is NaN or infinite (a NaN or infinite coefficient in a soft row, say).
//   Solve returns false and leaves every result unset when there is no usable factorization:
//     before any Factor, after a Factor that returned false, or after constraints were added or
//     replaced since the last successful Factor. A solver without constraints solves to true
//     with no results.
//   SetRhs of an id without a constraint reports "No constraint" and registers a soft
//     constraint without coefficients carrying the value (which invalidates the factorization).
//   GetResult of a variable without a result reports "Wrong variable id.".
//
// Memory: a solver keeps its constraints once, in flat arrays; its factorization in compressed
// arrays (L once, by columns); its results in an array; and the working arrays of its last
// Factor and Solve, so that a refactorization of a similar system and every further Solve
// allocate almost nothing. All of it is released with the solver.
//
// Cost: registration is amortised O(entries); Factor is linear in the constraints, their
// entries and the entries of L, plus O(log h) per elimination step over h hard rows (and the
// substitutions, which chains of hard rows make quadratic); Solve is linear in the same.
//
// Copying a solver is not offered. One solver is used by one thread at a time.
class ZRMMATH_API ZRMLSQSolver {
public:
  ZRMLSQSolver();
  virtual ~ZRMLSQSolver();

  ZRMLSQSolver(const ZRMLSQSolver&) = delete;
  ZRMLSQSolver& operator=(const ZRMLSQSolver&) = delete;

  // Registers the constraint named id, replacing an earlier one of that id (its flag,
  // coefficients and right-hand side); the right-hand side starts at 0.0 (see SetRhs).
  void AddConstraint(bool hard, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients, int id);

  // Registers a new unnamed constraint with its right-hand side.
  void AddConstraint(bool hard, double rhs, const ZRMUtMap<int, double, ZRMUtLess<int>>& coefficients);

  // Sets the right-hand side of the constraint named id.
  void SetRhs(int id, double value);

  // Eliminates the hard rows and factors the normal matrix of the soft rows; true on success.
  bool Factor();

  // Computes every variable's value from the current right-hand sides; true on success.
  bool Solve();

  // The value of a variable after a successful Solve.
  // Our choice: for a variable without a result the report is followed by a quiet NaN, so a
  // caller that ignores the report gets no plausible value. A solver without state gives -2.0.
  double GetResult(int variable) const;

private:
  friend struct ZRMLSQSolverStateAccess;

  LSQSolverState* mState;
};

#endif
