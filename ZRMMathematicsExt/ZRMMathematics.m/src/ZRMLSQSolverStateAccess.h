// Internal: read access to a solver's private state, for the solver's unit tests. Every record
// shows its current right-hand side, the factorization fields the last Factor, mResult the last Solve.
#ifndef ZRMLSQSolverStateAccess_h
#define ZRMLSQSolverStateAccess_h

#include "ZRMLSQSolver.h"
#include "ZRMLSQSolverState.h"

struct ZRMLSQSolverStateAccess {
  static const LSQSolverState& State(const ZRMLSQSolver& solver) {
    WriteBackRowRhs(*solver.mState);
    UpdateRowIndex(*solver.mState);
    ShowStoredFields(*solver.mState);
    return *solver.mState;
  }
};

#endif
