// Internal: read access to a solver's private state, for the solver's unit tests.
#ifndef ZRMLSQSolverInspector_h
#define ZRMLSQSolverInspector_h

#include "ZRMLSQSolver.h"
#include "ZRMLSQSolverState.h"

struct ZRMLSQSolverInspector {
  static const LSQSolverState& State(const ZRMLSQSolver& solver) { return *solver.mState; }
};

#endif
