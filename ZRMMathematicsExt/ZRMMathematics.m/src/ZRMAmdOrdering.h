// Internal: AmdOrdering, a fill-reducing order of the rows and columns of a sparse symmetric
// matrix (approximate minimum degree), and the symmetric permutation of a lower triangle.
#ifndef ZRMAmdOrdering_h
#define ZRMAmdOrdering_h

#include "ZRMCompressedRows.h"

#include <vector>

// Amestoy, Davis and Duff's approximate minimum degree ordering. Reads the pattern of a symmetric
// n x n matrix M, given by its lower triangle (row i: the columns j <= i of its entries,
// ascending, the diagonal last, as FormNormalMatrix gives it; values are not read). Gives an order
// of the variables 0 .. n - 1 under which the Cholesky factor of M fills in little:
// permutation[k] is the variable at position k, inverse[v] the position of variable v.
//
// The method eliminates variables of M's graph one at a time, each time one of the least
// approximate degree, on a quotient graph: an eliminated variable p becomes an element, whose
// variable list L_p stands for the clique the elimination creates, and each variable i keeps the
// elements it belongs to (E_i) and the variables it is still adjacent to outside them (A_i).
//  - The elements of E_p are absorbed into p; so is every element whose variables all lie in L_p
//    (aggressive absorption).
//  - Variables with the same elements and the same adjacent variables are indistinguishable: they
//    are merged into one supervariable, which is eliminated as a whole; a variable of L_p left
//    with no neighbour but p is eliminated along with p.
//  - The degree of i is the bound, in variables (|i| the size of i's supervariable, d_i' its
//    previous degree, left the variables not yet eliminated, |L_e \ L_p| over e in E_i, e != p):
//      d_i = min(left - |i|, d_i' + |L_p \ i|, |A_i \ i| + |L_p \ i| + sum of |L_e \ L_p|).
//  - Our choice, as the method proposes: a variable adjacent to more than max(16, 10 sqrt(n))
//    others is dense; dense variables take no part and come last, in ascending index.
// The order is the elimination order; the variables eliminated in one step follow one another in
// ascending index. Deterministic: the variables of least degree are kept in a list that the
// latest degree update heads, the first pivot being the lowest variable of least degree.
//
// Memory: the quotient graph in one array of the adjacency's size plus a fifth, compacted when a
// new element does not fit (it never needs more than the adjacency itself), and a few arrays of
// n. Time: near-linear in the entries of M on sparse patterns. Each object keeps its storage
// from one call to the next.
class AmdOrdering {
public:
  void Order(const CompressedRows& lower, std::vector<int>& permutation, std::vector<int>& inverse);

private:
  enum class State : unsigned char {
    Variable,  // a principal variable, not eliminated
    Element,   // an eliminated variable that stands for its element
    Merged,    // a variable merged into a supervariable, or eliminated along with a pivot
    Absorbed,  // an element absorbed into a later one
    Dense,     // left out, ordered last
  };

  // The quotient graph of M with every element list empty, dense variables left out.
  void Build(const CompressedRows& lower);
  // mLength := the neighbour counts of the variables, leaving out the dense ones when asked.
  void CountNeighbours(const CompressedRows& lower, bool withoutDense);
  void FillAdjacency(const CompressedRows& lower);

  // One elimination step: the pivot p becomes the element L_p, and the variables of L_p are
  // brought up to date.
  void Eliminate(int p);
  // L_p := the variables of A_p and of the elements of E_p, which p absorbs.
  void FormElement(int p);
  // Whether variable j joins the element being formed (once, and only as a principal variable).
  bool JoinsElement(int j);
  // mOverlap[e] := |L_e \ L_p| for every element e that a variable of L_p belongs to.
  void ComputeOverlaps(int p);
  // Prunes E_i and A_i of variable i of L_p, adds p to E_i, and notes i's degree outside L_p and
  // its hash; or eliminates i along with p.
  void UpdateVariable(int p, int i);
  // Merges the indistinguishable variables of L_p.
  void DetectSupervariables(int p);
  // Whether variable b has the element and variable lists of the variable whose lists carry
  // mark stamp.
  bool HasMarkedLists(int b, int stamp) const;
  void Merge(int b, int into);
  // The degrees of the variables left in L_p; L_p keeps those variables only.
  void FinishElement(int p);

  int SelectPivot();
  void InsertByDegree(int i);
  void RemoveByDegree(int i);
  void Absorb(int e, int into);
  int NewStamp() { return ++mStamp; }
  // Makes room for count more entries after the last list.
  void EnsureFree(int count);
  // Moves every list to the front of the pool, in pool order.
  void CollectGarbage();

  // The order from the elimination: variables by the step that eliminated them.
  void Number(std::vector<int>& permutation, std::vector<int>& inverse);
  // The step that eliminated variable v (dense variables: after every step).
  int StepOf(int v);

  int mCount = 0;        // n
  int mSparseCount = 0;  // variables that are not dense
  int mEliminated = 0;   // variables eliminated so far (sizes of supervariables added)
  int mMinDegree = 0;    // no variable has a lower degree
  int mStamp = 0;        // the last stamp handed out
  int mFree = 0;         // pool entries from here on are free

  // Lists in one pool: node x's entries are mPool[mStart[x] .. mStart[x] + mLength[x] - 1]; for
  // a variable, its mElementCount elements come first, then its adjacent variables.
  std::vector<int> mPool;
  std::vector<int> mStart;
  std::vector<int> mLength;
  std::vector<int> mElementCount;
  std::vector<State> mState;
  std::vector<int> mWeight;  // a principal variable: the size of its supervariable
  std::vector<int> mDegree;  // a variable: its approximate degree; an element: |L_e| in variables
  std::vector<int> mParent;  // Merged: the variable or element it went into; Absorbed: the element
  std::vector<int> mMark;    // node -> the stamp it carries
  // Degree lists: the variables of each degree, doubly linked.
  std::vector<int> mDegreeHead;
  std::vector<int> mNext;
  std::vector<int> mPrevious;
  // Per step: the overlaps |L_e \ L_p| (valid where mOverlapStep is the step), and per variable of
  // L_p its degree outside L_p and its hash list.
  std::vector<int> mOverlap;
  std::vector<int> mOverlapStep;
  std::vector<int> mExternal;
  std::vector<int> mHash;
  std::vector<int> mHashHead;
  std::vector<int> mHashNext;
  std::vector<int> mPivots;      // the pivots in elimination order
  std::vector<int> mStepOf;      // node -> the step that eliminated it, once known
  std::vector<int> mPath;        // working stack of StepOf
  std::vector<int> mGroupStart;  // step -> its first position
};

// permuted := the lower triangle of P M P^T, for M's lower triangle lower and inverse[v] the new
// position of variable v: entry (i, j) of lower goes to row max(inverse[i], inverse[j]), column
// min(...), its value unchanged. Rows ascending by column, the diagonal last. upper and fill are
// working storage. O(entries + n).
void PermuteLower(const CompressedRows& lower, const std::vector<int>& inverse, CompressedRows& permuted,
                  CompressedRows& upper, std::vector<int>& fill);

#endif
