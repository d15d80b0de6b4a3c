// Internal: HardRowElimination, the second stage of Factor: sparse Gauss-Jordan elimination of
// the hard rows.
#ifndef ZRMHardRowElimination_h
#define ZRMHardRowElimination_h

#include "ZRMCompressedRows.h"
#include "ZRMConstraintNumbering.h"
#include "ZRMPivotSearch.h"
#include "ZRMShortestRowQueue.h"

#include <utility>
#include <vector>

// Reads: the hard constraints of a ConstraintNumbering (hard row h: the h-th in key order).
// Gives: per elimination step k, the eliminated variable, the hard row that was its pivot, and
// the variable's substitution: its value as a combination of the variables left free, plus a
// combination of the hard rows' right-hand sides.
//
// Each step takes a pivot among the remaining hard rows, expresses its variable through the rest
// of its row, substitutes that into every remaining hard row, and moves the last row of the scan
// order into the pivot row's place. Two rules choose the pivot:
//  - PivotRule::kScanOrder: PivotSearch's rule over the rows in scan order;
//  - PivotRule::kShortestRow: ShortestRowQueue's row (the newest of the fewest entries among
//    those whose best score reaches tolerance), at its first entry of a variable that no soft
//    row names among those whose magnitude is at least kThreshold times the row's largest and
//    whose score reaches tolerance; without one, at its first entry of the largest magnitude.
//    Such a variable is determined by the hard rows alone: left free, it would fail the
//    reduction of the soft rows.
// Two ways to finish:
//  - Substitution::kIntoEarlier (Gauss-Jordan): each step also substitutes into every earlier
//    substitution, so each eliminated variable ends expressed directly in free variables, its
//    constant part a combination of hard right-hand sides;
//  - Substitution::kForwardOnly: the substitutions stay as taken (over free variables and
//    variables eliminated later, with the pivot row's own right-hand side), and their parts in
//    free variables are expanded once, last step first. A value is then recovered by a pass in
//    reverse step order; chains of hard rows stay linear.
class HardRowElimination {
public:
  using Entry = std::pair<int, double>;
  using EntryList = std::vector<Entry>;  // ascending index
  enum class Substitution { kIntoEarlier, kForwardOnly };
  enum class PivotRule { kScanOrder, kShortestRow };
  // Our choice for kShortestRow: multipliers of the substitution stay at most 1 / kThreshold = 10
  // in magnitude, the usual bound of threshold pivoting.
  static constexpr double kThreshold = 0.1;

  // True when every hard row became a pivot; false when the best remaining score fell below
  // tolerance: every remaining row is then a combination of the pivot rows (its coefficients
  // reduced to that tolerance). Either way the steps taken stay readable.
  bool Run(const ConstraintNumbering& numbering, double tolerance, Substitution substitution, PivotRule rule);

  int StepCount() const { return static_cast<int>(mVariableOfStep.size()); }
  int VariableOfStep(int step) const { return mVariableOfStep[static_cast<std::size_t>(step)]; }
  // -1 for a variable not eliminated.
  int StepOfVariable(int variable) const { return mStepOfVariable[static_cast<std::size_t>(variable)]; }
  // -1 for a hard row that was no pivot.
  int StepOfHardRow(int hard) const { return mStepOfRow[static_cast<std::size_t>(hard)]; }
  int HardRowOfStep(int step) const { return mRowOfStep[static_cast<std::size_t>(step)]; }
  // The part in free variables of the variable eliminated at step, as (free variable,
  // coefficient), ascending variable; and its constant part as (hard row, coefficient),
  // ascending hard row (the value being the sum of coefficient * that row's rhs). Under
  // kForwardOnly the second lists instead the substitutions the pivot row went through, as
  // (earlier step, coefficient c), in order: the pivot row's rhs less c times that step's own
  // constant, each in turn, times -(-1 / pivot) is the step's own constant; see
  // ForwardSubstitutions for the rest.
  const CompressedRows& Substitutions() const { return mGatheredSubstitutions; }
  const CompressedRows& SubstitutionRhs() const { return mGatheredRhs; }
  // Under kForwardOnly: the substitutions as taken, over free variables and variables
  // eliminated at later steps, ascending variable.
  const CompressedRows& ForwardSubstitutions() const { return mGatheredForward; }
  // The pivot coefficient of a step, and the largest magnitude a hard row ever held.
  double PivotOfStep(int step) const { return mPivotOfStep[static_cast<std::size_t>(step)]; }
  double LargestOf(int hard) const { return mLargest[static_cast<std::size_t>(hard)]; }
  // After a Run that returned false: the hard rows left without a pivot; and for each of them,
  // its right-hand side as (hard row, coefficient), ascending hard row. A remaining row reads
  // (coefficients about 0) = that combination of registered right-hand sides: consistent when
  // the combination is about 0 too.
  const std::vector<int>& RemainingRows() const { return mRowAt; }
  Span<Entry> RhsOfRow(int hard) const { return mRowRhs[hard]; }

private:
  // Hard rows as lists, scan order, the pivot rule's search or queue.
  void Load(const ConstraintNumbering& numbering);
  // The pivot (position in scan order, entry of its row) and its score; score 0.0 when none.
  double FindPivot(int& position, int& entry);
  // Makes the pivot's variable eliminated at step; returns the variable.
  int TakePivot(int position, int entry, int step);
  void SubstituteIntoHardRows(int variable);
  void SubstituteIntoEliminated(int variable);
  // Refreshes a row's best entry and its place in the pivot rule's search.
  void Rescore(int hard);
  // Under kShortestRow: holds the row in the queue, by its count, where its best score reaches
  // tolerance.
  void Enqueue(int hard, double bestScore);
  // Under kShortestRow: the entry of the row's pivot.
  int ShortestRowEntry(int hard) const;
  // Gives an unchanged row's best score to the pivot search at the row's new position.
  void Reposition(int hard);
  // Raises the row's largest magnitude to its entries'.
  void NoteLargest(int hard);
  // The final substitutions, side by side by step.
  void Gather();
  // Under kForwardOnly: the parts in free variables of the gathered substitutions, last step
  // first, into mGatheredSubstitutions.
  void Expand();
  // Adds value to variable's coefficient in the part of step being expanded.
  void Accumulate(int step, int variable, double value);

  // Lists of entries, one per key, side by side in one array (no allocation per list). A list
  // that outgrows its room moves to the end of the used part with twice the room; its old room
  // stays unused until Reset. Changing a list invalidates the spans of every list.
  class PooledLists {
  public:
    // Makes it keys empty lists (storage kept).
    void Reset(int keys);
    Span<Entry> operator[](int key) const;
    // key's list := first .. last (which must not point into these lists).
    void Assign(int key, const Entry* first, const Entry* last);
    void Assign(int key, const EntryList& list) { Assign(key, list.data(), list.data() + list.size()); }
    void Append(int key, const Entry& entry);
    void Clear(int key) { mSlots[static_cast<std::size_t>(key)].size = 0; }

  private:
    struct Slot {
      std::size_t first;  // in mPool
      int size;
      int room;  // size <= room; first + room <= mPool.size()
    };
    // Gives key room for at least size entries, moving its list to the end if needed.
    void MakeRoom(int key, int size);
    std::vector<Slot> mSlots;
    std::vector<Entry> mPool;  // mPool[0 .. mUsed) holds the rooms; the rest is spare
    std::size_t mUsed = 0;
  };

  // Lists of numbers by key, chained through one array; a list is walked newest first.
  class KeyedLists {
  public:
    void Reset(int keys);
    void Add(int key, int number);
    void Clear(int key) { mHead[static_cast<std::size_t>(key)] = -1; }
    template <class Visit>
    void ForEach(int key, Visit visit) const {
      for (int node = mHead[static_cast<std::size_t>(key)]; node >= 0;
           node = mNodes[static_cast<std::size_t>(node)].next)
        visit(mNodes[static_cast<std::size_t>(node)].number);
    }

  private:
    struct Node {
      int number;
      int next;  // the next node of the same list, or -1
    };
    std::vector<int> mHead;  // key -> its newest node, or -1
    std::vector<Node> mNodes;
  };

  bool mIntoEarlier = true;      // the Substitution of the current Run
  bool mShortestRow = false;     // the PivotRule of the current Run
  double mTolerance = 0.0;       // of the current Run
  PooledLists mRows;             // hard row -> (variable, coefficient), reduced
  PooledLists mRowRhs;           // hard row -> (hard row, coefficient) of its rhs; under kForwardOnly
                                 // (step, coefficient) of its substitutions
  std::vector<int> mBestEntry;   // hard row -> its first entry of the highest score, or -1
  std::vector<int> mRowAt;       // scan position -> hard row (the remaining ones)
  std::vector<int> mPositionOf;  // hard row -> its scan position while it remains
  PivotSearch mSearch;           // under kScanOrder
  ShortestRowQueue mShortest;    // under kShortestRow
  std::vector<char> mSoftNamed;  // under kShortestRow: variable -> whether a soft row names it
  KeyedLists mRowsHolding;       // variable -> hard rows that hold it (and maybe did)
  std::vector<int> mStepOfRow;
  std::vector<int> mStepOfVariable;
  std::vector<int> mVariableOfStep;
  std::vector<int> mRowOfStep;
  std::vector<double> mPivotOfStep;  // step -> the pivot's coefficient
  std::vector<double> mLargest;      // hard row -> largest magnitude it held
  PooledLists mSubstitutions;        // step -> (free variable, coefficient)
  PooledLists mSubstitutionRhs;      // step -> (hard row, coefficient)
  KeyedLists mSubstitutionsHolding;  // under kIntoEarlier: variable -> steps whose substitution holds it
  EntryList mScratch;
  CompressedRows mGatheredSubstitutions;
  CompressedRows mGatheredRhs;
  CompressedRows mGatheredForward;
  std::vector<double> mExpandedValue;  // variable -> its coefficient in the step being expanded
  std::vector<int> mExpandedStamp;     // variable -> last step that gave it a coefficient
  std::vector<int> mExpandedTouched;
};

#endif
