// ZRMLSQSolver: sparse linear least-squares solver with hard (exact) and soft constraint rows.
#ifndef ZRMLSQSolver_h
#define ZRMLSQSolver_h

#include "ZRMMathematicsExport.h"
#include "ZRMUtLess.h"
#include "ZRMUtMap.h"
#include "ZRMUtVector.h"

struct LSQSolverState;
struct ZRMLSQSolverStateAccess;

// How Factor orders its work; see ZRMLSQSolver::SetOrdering.
enum class ZRMLSQOrdering { AsGiven, FillReducing };

// What the registered constraints leave wrong or open; see ZRMLSQSolver::Diagnose. A constraint
// is given by its id, an unnamed one by its registration index (the number of constraints the
// solver held when it was registered) in the lists ending in Unnamed. Every list ascends.
struct ZRMLSQDiagnosis {
  ZRMUtVector<int> mRedundant;           // named hard constraints implied by others (consistent at the current rhs)
  ZRMUtVector<int> mConflicting;         // named hard constraints contradicting others at the current rhs
  ZRMUtVector<int> mNearlyDependent;     // named hard constraints taken as pivots although tiny relative to their row
  ZRMUtVector<int> mNotFixedByHardRows;  // variable ids that the hard rows alone leave free
  int mHardDegreesOfFreedom = 0;         // variables named anywhere minus the rank of the hard rows
  ZRMUtVector<int> mUndetermined;        // variable ids that hard and soft rows together leave free
  ZRMUtVector<int> mWithoutSoftRow;      // variables the elimination leaves free that no soft row names
  ZRMUtVector<int> mRedundantUnnamed;    // unnamed constraints of mRedundant's kind
  ZRMUtVector<int> mConflictingUnnamed;  // unnamed constraints of mConflicting's kind
  ZRMUtVector<int> mNearlyDependentUnnamed;  // unnamed constraints of mNearlyDependent's kind
};

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
// entries and the entries of L, plus, under AsGiven, O(log h) per elimination step over h hard
// rows (and the substitutions, which chains of hard rows make quadratic there); FillReducing adds
// an ordering near-linear in the entries of A^T A. Solve is linear in the same.
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

  // Chooses how the following Factor calls order their work (a change ends the current
  // factorization). AsGiven, the default: the columns in the order the soft rows name them,
  // each eliminated variable substituted into the earlier ones, results bit for bit as
  // documented. FillReducing: the normal matrix's columns taken in the order of the variable
  // ids, and reordered by an approximate minimum degree ordering unless L then has at most 1.25
  // times the entries of the matrix's lower triangle (the fewest any order gives); the hard
  // rows taken sparsest first, each pivot at least a tenth of its row's largest coefficient, and
  // eliminated without substituting into earlier eliminations (Solve recovers those variables in
  // one backward pass): far less fill and memory where the natural order fills (grids, sketches
  // whose rows come in any order), and chains of hard rows in linear time. Its results are
  // reproducible bit for bit on one build, SetRhs + Solve equal a fresh Factor + Solve, and they
  // agree with AsGiven's to about 1e-9 relative on well-conditioned problems. The failures are
  // those of AsGiven, but for one: a variable that no soft row names is taken as its row's pivot
  // where the tenth allows, so FillReducing factors some systems that AsGiven, leaving such a
  // variable free, refuses.
  void SetOrdering(ZRMLSQOrdering ordering);

  // Eliminates the hard rows and factors the normal matrix of the soft rows; true on success.
  bool Factor();

  // Computes every variable's value from the current right-hand sides; true on success.
  bool Solve();

  // The value of a variable after a successful Solve.
  // Our choice: for a variable without a result the report is followed by a quiet NaN, so a
  // caller that ignores the report gets no plausible value. A solver without state gives -2.0.
  double GetResult(int variable) const;

  // Finds what the registered constraints (at their current right-hand sides) leave wrong or
  // open; true when it could run (false only for a solver without state). It eliminates the
  // hard rows in Factor's own order, by the pivot rule of the ordering set:
  //  - a hard row left without a pivot is a combination of the pivot rows it was combined with
  //    (see DependencyOf): redundant when that combination of their right-hand sides matches
  //    its own (within 1e-9 of the magnitudes combined, plus the absolute tolerance), else
  //    conflicting. Removing every such row leaves independent hard rows of the same rank;
  //  - a pivot row whose pivot is below 1e-9 of the largest coefficient the row ever held is
  //    nearly dependent (Factor accepts it; the hard rows then hold only roughly);
  //  - the variables that stay free, and the eliminated ones whose substitution names one,
  //    are not fixed by the hard rows; mHardDegreesOfFreedom counts the free directions;
  //  - the null space of all rows (the reduced soft rows over every free variable, a pivot of
  //    their normal matrix at most 1e-10 of its diagonal counting as zero) gives the
  //    undetermined variables, eliminated ones included through their substitutions;
  //  - free variables that no soft row names are listed apart (Factor fails on them even where
  //    the rows together determine them, as hard x1 + x2 = 1 with soft x1 = 0 under AsGiven).
  // When Factor succeeds on well-conditioned rows, the redundant, conflicting, undetermined and
  // without-soft-row lists are empty. Diagnose changes no factorization and no result; its cost
  // is about that of a Factor, plus a backward substitution per undetermined direction.
  bool Diagnose(ZRMLSQDiagnosis& diagnosis);

  // After Diagnose: the constraints that the redundant or conflicting hard constraint named id
  // was found to be a combination of, ascending: named ones by id in group, unnamed ones by
  // registration index in unnamedGroup (when given). False, and the lists emptied, when the
  // last Diagnose reported no such constraint.
  bool DependencyOf(int id, ZRMUtVector<int>& group, ZRMUtVector<int>* unnamedGroup = nullptr) const;
  // The same for the unnamed constraint of registration index index.
  bool DependencyOfUnnamed(int index, ZRMUtVector<int>& group, ZRMUtVector<int>* unnamedGroup = nullptr) const;

private:
  friend struct ZRMLSQSolverStateAccess;

  LSQSolverState* mState;
};

#endif
