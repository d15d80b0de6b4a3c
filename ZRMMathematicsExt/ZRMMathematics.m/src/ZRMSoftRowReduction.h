// Internal: SoftRowReduction, the third stage of Factor: the soft rows over the free variables.
#ifndef ZRMSoftRowReduction_h
#define ZRMSoftRowReduction_h

#include "ZRMCompressedRows.h"
#include "ZRMConstraintNumbering.h"
#include "ZRMHardRowElimination.h"

#include <vector>

// Reads: a ConstraintNumbering and the HardRowElimination run on it. Gives:
//  - columns: the free variables numbered 0 .. nfree - 1 by first appearance in the soft rows
//    (key order, ascending variable) or by ascending variable, the variable eliminated at step k
//    numbered nfree + k;
//  - with symbolic constants, the eliminated rows: per step, its variable over the free columns
//    (its substitution's order);
//  - the reduced soft rows: each soft row with the eliminated variables substituted, over the
//    free columns, ascending column (an entry that cancels to 0.0 stays);
//  - the hard right-hand sides' targets: per step k, (target, coefficient) ascending target,
//    where the rhs of step k's pivot row adds coefficient * rhs to soft row target < nsoft, or
//    to the constant part of the variable eliminated at step target - nsoft.
class SoftRowReduction {
public:
  struct Options {
    // The free variables that no soft row names get the columns after those that one does
    // (ascending variable), and Run never fails.
    bool everyFreeVariable = false;
    // The hard right-hand sides reach their targets as symbolic coefficients (HardRhs), and the
    // eliminated rows are built; else each soft row lists the eliminated variables it names
    // (EliminatedEntries), for a Solve that evaluates their constant parts and values itself.
    bool symbolicConstants = true;
    // The free variables that a soft row names are numbered by ascending variable (the order of
    // their ids) instead of by first appearance in the soft rows.
    bool columnsByVariable = false;
  };

  // Numbers the columns; false (columns numbered, the rest not built) when an eliminated
  // variable depends on a variable that no soft row names.
  bool Run(const ConstraintNumbering& numbering, const HardRowElimination& elimination, const Options& options);

  int FreeCount() const { return mFreeCount; }
  // The free variables that a soft row names: columns 0 .. this - 1.
  int SoftFreeCount() const { return mSoftFreeCount; }
  // Column -> variable number.
  const std::vector<int>& VariableOfColumn() const { return mVariableOfColumn; }
  const CompressedRows& EliminatedRows() const { return mEliminatedRows; }
  const CompressedRows& ReducedRows() const { return mReducedRows; }
  const CompressedRows& HardRhs() const { return mHardRhs; }
  // Without symbolic constants: per soft row, (elimination step, coefficient) of each eliminated
  // variable it names, in the order of its entries.
  const CompressedRows& EliminatedEntries() const { return mEliminatedEntries; }

private:
  void NumberColumns(const ConstraintNumbering& numbering, const HardRowElimination& elimination,
                     const Options& options);
  // False when a substitution names a variable without a column; else builds the eliminated
  // rows when keep.
  bool BuildEliminatedRows(const HardRowElimination& elimination, bool keep);
  // Appends soft row r (which names an eliminated variable) reduced, in no particular order,
  // and collects its hard right-hand-side terms.
  void ReduceRow(int r, Span<ConstraintNumbering::Entry> entries, const HardRowElimination& elimination,
                 bool symbolicConstants);
  // Collects how the eliminated variable's constant part, with coefficient a, reaches soft row r.
  void AddConstantTerms(int r, int step, double a, const HardRowElimination& elimination);
  // Sorts the entries of the row being appended by column.
  void SortOpenRow();
  void BuildHardRhs(int softCount, const HardRowElimination& elimination);

  // A term of a hard row's rhs in a soft row: coefficient value, collected as rows are reduced.
  struct RhsTerm {
    int step;  // elimination step of the hard row
    int row;   // soft row
    double value;
  };

  int mFreeCount = 0;
  int mSoftFreeCount = 0;
  static constexpr int kNoColumn = -1;
  // Variable -> column: a free variable's (< mFreeCount) or kNoColumn, the variable eliminated at
  // step k's mFreeCount + k. One array, so that a row's entries are classified and placed by one
  // read each.
  std::vector<int> mColumnOf;
  std::vector<int> mVariableOfColumn;  // column -> variable
  CompressedRows mEliminatedRows;
  CompressedRows mReducedRows;
  CompressedRows mHardRhs;
  CompressedRows mEliminatedEntries;
  std::vector<RhsTerm> mRhsTerms;               // in the order the rows are reduced
  std::vector<int> mLastRhsTerm;                // step -> its latest term, or -1
  std::vector<double> mValue;                   // variable -> its value in the row being reduced
  std::vector<int> mStamp;                      // variable -> last soft row that gave it a value
  std::vector<int> mTouched;                    // variables given a value in the row being reduced
  std::vector<std::pair<int, double>> mSorted;  // working list of SortOpenRow
};

#endif
