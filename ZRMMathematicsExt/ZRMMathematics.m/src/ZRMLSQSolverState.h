// Internal: LSQSolverState, everything a ZRMLSQSolver knows.
#ifndef ZRMLSQSolverState_h
#define ZRMLSQSolverState_h

#include "ZRMCompressedRows.h"
#include "ZRMConstraintNumbering.h"
#include "ZRMAmdOrdering.h"
#include "ZRMConstraintStore.h"
#include "ZRMHardRowElimination.h"
#include "ZRMIdIndex.h"
#include "ZRMLSQSolver.h"
#include "ZRMSoftRowReduction.h"
#include "ZRMSparseCholesky.h"
#include "ZRMSupernodalCholesky.h"

#include <utility>
#include <vector>

// How far the last Factor got: each stage's outputs are those of the last Factor that reached
// it (the factor: of the last that reached kReduced, empty when its factorization failed).
enum class FactorStage {
  kNone,      // no Factor yet
  kNumbered,  // soft rows and the pivot rows taken numbered; elimination failed
  kColumns,   // columns numbered; an eliminated variable depends on one no soft row names
  kReduced,   // everything but the factor built; the normal matrix was rejected
  kFactored,  // a usable factorization
};

// The registered constraints, the stages of Factor with their outputs (each keeps its working
// storage from one Factor to the next), what Solve works in, and the last results.
struct LSQSolverState {
  ConstraintStore mStore;
  ZRMLSQOrdering mOrdering = ZRMLSQOrdering::AsGiven;  // for the next Factor

  // The hard rows' pivot rule of the next Factor (and of Diagnose, which follows Factor's order).
  HardRowElimination::PivotRule PivotRule() const {
    return mOrdering == ZRMLSQOrdering::FillReducing ? HardRowElimination::PivotRule::kShortestRow
                                                     : HardRowElimination::PivotRule::kScanOrder;
  }

  ConstraintNumbering mNumbering;
  HardRowElimination mElimination;
  SoftRowReduction mReduction;
  CompressedRows mSoftColumns;  // the reduced soft rows by column: A^T
  CompressedRows mNormal;       // lower triangle of A^T A
  AmdOrdering mAmd;
  std::vector<int> mPermutation;  // fill-reducing: position in the factor -> column (else empty)
  std::vector<int> mInverse;      // fill-reducing: column -> position in the factor
  CompressedRows mPermuted;       // fill-reducing: lower triangle of A^T A permuted
  CompressedRows mWorkRows;       // working rows of the permutation
  FactorPattern mPattern;         // of L, for the matrix factored
  SparseCholesky mCholesky;
  LowerFactor mFactor;             // column by column: as given, or fill-reducing with thin columns
  SupernodalCholesky mSupernodal;  // fill-reducing, by supernodes
  std::vector<int> mWorkIndex;     // working arrays of the stages above
  std::vector<double> mWorkValue;
  FactorStage mStage = FactorStage::kNone;
  bool mFactorCurrent = false;  // the factorization is usable and no constraint changed since
  bool mFillReducing = false;   // the factorization is of the fill-reducing kind
  bool mBySupernodes = false;   // and by supernodes (else in mFactor)
  bool mReordered = false;      // and in an order other than the columns' own (mPermutation)

  std::vector<double> mAdjustedRhs;  // Solve: row -> rhs with the hard rows' parts
  std::vector<double> mNormalRhs;    // Solve: column -> A^T b, then its value
  std::vector<double> mPermutedRhs;  // Solve, fill-reducing: the same in the factor's order
  std::vector<double> mOwnConstant;  // Solve, fill-reducing: step -> its pivot row's rhs part
  std::vector<double> mConstant;     // Solve, fill-reducing: step -> its constant part

  // The last Diagnose's dependent hard rows: store row -> the store rows it combines,
  // ascending store row.
  std::vector<std::pair<int, std::vector<int>>> mDependencies;

  // The last results: the value of each variable by its number in the Factor that preceded
  // the Solve, found through that Factor's id index (which Solve takes over from the numbering,
  // so that results stay readable through a later Factor until the next Solve).
  bool mHasResults = false;
  std::vector<double> mResults;
  IdIndex mResultIndex;
  bool mIndexTaken = false;  // mResultIndex is the current factorization's
};

#endif
