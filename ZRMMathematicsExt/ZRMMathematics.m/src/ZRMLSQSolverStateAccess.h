// Internal: read access to a solver's private state, for the solver's tests.
#ifndef ZRMLSQSolverStateAccess_h
#define ZRMLSQSolverStateAccess_h

#include "ZRMLSQSolver.h"
#include "ZRMLSQSolverState.h"

struct ZRMLSQSolverStateAccess {
  static const LSQSolverState& State(const ZRMLSQSolver& solver) { return *solver.mState; }
};

#endif
