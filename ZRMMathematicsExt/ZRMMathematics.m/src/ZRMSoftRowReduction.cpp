// SoftRowReduction: columns, eliminated rows, reduced soft rows, targets of the hard rhs.
#include "ZRMSoftRowReduction.h"

#include <algorithm>
#include <cassert>

bool SoftRowReduction::Run(const ConstraintNumbering& numbering, const HardRowElimination& elimination,
                           const Options& options) {
  NumberColumns(numbering, elimination, options);
  mEliminatedRows.Clear();
  mReducedRows.Clear();
  mHardRhs.Clear();
  mEliminatedEntries.Clear();
  if (!BuildEliminatedRows(elimination, options.symbolicConstants)) return false;
  const int softCount = static_cast<int>(numbering.SoftRows().size());
  mRhsTerms.clear();
  mLastRhsTerm.assign(static_cast<std::size_t>(elimination.StepCount()), -1);
  if (elimination.StepCount() > 0) {                                     // what ReduceRow works in
    mValue.resize(static_cast<std::size_t>(numbering.VariableCount()));  // read only where stamped
    mStamp.assign(static_cast<std::size_t>(numbering.VariableCount()), -1);
  }
  const bool anyEliminated = elimination.StepCount() > 0;
  int softEntries = 0;  // a first estimate: substitutions lengthen some rows and shorten others
  for (int r = 0; r < softCount; ++r) softEntries += numbering.SoftEntries(r).Size();
  mReducedRows.Reserve(softCount, softEntries);
  for (int r = 0; r < softCount; ++r) {
    const auto entries = numbering.SoftEntries(r);
    const bool namesEliminated = anyEliminated && std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
                                   return mColumnOf[entry.first] >= mFreeCount;
                                 });
    if (namesEliminated)
      ReduceRow(r, entries, elimination, options.symbolicConstants);
    else
      for (const auto& entry : entries) mReducedRows.Append(mColumnOf[entry.first], entry.second);
    SortOpenRow();
    mReducedRows.EndRow();
    if (!options.symbolicConstants) mEliminatedEntries.EndRow();
  }
  if (options.symbolicConstants) BuildHardRhs(softCount, elimination);
  return true;
}

void SoftRowReduction::NumberColumns(const ConstraintNumbering& numbering, const HardRowElimination& elimination,
                                     const Options& options) {
  constexpr int kEliminated = -2;  // until the free columns are numbered
  constexpr int kNamed = -3;       // named by a soft row, numbered after the scan of the rows
  mColumnOf.assign(static_cast<std::size_t>(numbering.VariableCount()), kNoColumn);
  for (int step = 0; step < elimination.StepCount(); ++step) mColumnOf[elimination.VariableOfStep(step)] = kEliminated;
  mVariableOfColumn.clear();
  mVariableOfColumn.reserve(static_cast<std::size_t>(numbering.VariableCount()));
  const auto number = [this](int variable) {
    mColumnOf[variable] = static_cast<int>(mVariableOfColumn.size());
    mVariableOfColumn.push_back(variable);
  };
  for (int r = 0; r < static_cast<int>(numbering.SoftRows().size()); ++r)
    for (const auto& entry : numbering.SoftEntries(r)) {
      if (mColumnOf[entry.first] != kNoColumn) continue;
      if (options.columnsByVariable)
        mColumnOf[entry.first] = kNamed;
      else
        number(entry.first);
    }
  for (int variable = 0; options.columnsByVariable && variable < numbering.VariableCount(); ++variable)
    if (mColumnOf[variable] == kNamed) number(variable);
  mSoftFreeCount = static_cast<int>(mVariableOfColumn.size());
  for (int variable = 0; options.everyFreeVariable && variable < numbering.VariableCount(); ++variable)
    if (mColumnOf[variable] == kNoColumn) number(variable);
  mFreeCount = static_cast<int>(mVariableOfColumn.size());
  for (int step = 0; step < elimination.StepCount(); ++step) {
    mColumnOf[elimination.VariableOfStep(step)] = mFreeCount + step;
    mVariableOfColumn.push_back(elimination.VariableOfStep(step));
  }
}

bool SoftRowReduction::BuildEliminatedRows(const HardRowElimination& elimination, bool keep) {
  const CompressedRows& substitutions = elimination.Substitutions();
  if (keep) mEliminatedRows.Reserve(elimination.StepCount(), substitutions.EntryCount());
  for (int step = 0; step < elimination.StepCount(); ++step) {
    for (int e = substitutions.Begin(step); e < substitutions.End(step); ++e) {
      const int column = mColumnOf[substitutions.mIndex[e]];
      if (column == kNoColumn) return false;  // a free variable that no soft row names
      if (keep) mEliminatedRows.Append(column, substitutions.mValue[e]);
    }
    if (keep) mEliminatedRows.EndRow();
  }
  return true;
}

// Each eliminated variable v of the row, with coefficient a, adds a * s to the value of every
// variable of its substitution (its s), in the order of the row's entries; an absent value
// starts at 0.0. Its constant part's terms t subtract a * t from the row's term of their step.
void SoftRowReduction::ReduceRow(int r, Span<ConstraintNumbering::Entry> entries, const HardRowElimination& elimination,
                                 bool symbolicConstants) {
  const CompressedRows& substitutions = elimination.Substitutions();
  mTouched.clear();
  for (const auto& entry : entries) {
    mValue[entry.first] = entry.second;
    mStamp[entry.first] = r;
    mTouched.push_back(entry.first);
  }
  for (const auto& entry : entries) {
    const int step = mColumnOf[entry.first] - mFreeCount;
    if (step < 0) continue;
    const double a = entry.second;
    for (int e = substitutions.Begin(step); e < substitutions.End(step); ++e) {
      const int w = substitutions.mIndex[e];
      if (mStamp[w] == r) {
        mValue[w] = mValue[w] + a * substitutions.mValue[e];
      } else {
        mValue[w] = 0.0 + a * substitutions.mValue[e];
        mStamp[w] = r;
        mTouched.push_back(w);
      }
    }
    if (symbolicConstants)
      AddConstantTerms(r, step, a, elimination);
    else
      mEliminatedEntries.Append(step, a);
  }
  for (const int variable : mTouched)
    if (mColumnOf[variable] < mFreeCount) mReducedRows.Append(mColumnOf[variable], mValue[variable]);
}

void SoftRowReduction::AddConstantTerms(int r, int step, double a, const HardRowElimination& elimination) {
  const CompressedRows& constants = elimination.SubstitutionRhs();
  for (int e = constants.Begin(step); e < constants.End(step); ++e) {
    const int hardStep = elimination.StepOfHardRow(constants.mIndex[e]);
    int& last = mLastRhsTerm[static_cast<std::size_t>(hardStep)];
    if (last >= 0 && mRhsTerms[static_cast<std::size_t>(last)].row == r) {
      RhsTerm& term = mRhsTerms[static_cast<std::size_t>(last)];
      term.value = term.value - a * constants.mValue[e];
    } else {
      last = static_cast<int>(mRhsTerms.size());
      mRhsTerms.push_back({hardStep, r, 0.0 - a * constants.mValue[e]});
    }
  }
}

void SoftRowReduction::SortOpenRow() {
  const auto first = static_cast<std::size_t>(mReducedRows.mStart.back());
  const auto end = mReducedRows.mIndex.size();
  std::size_t sorted = first + 1;
  while (sorted < end && mReducedRows.mIndex[sorted - 1] < mReducedRows.mIndex[sorted]) ++sorted;
  if (sorted >= end) return;  // in order already
  mSorted.clear();
  for (std::size_t e = first; e < end; ++e) mSorted.emplace_back(mReducedRows.mIndex[e], mReducedRows.mValue[e]);
  std::sort(mSorted.begin(), mSorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t k = 0; k < mSorted.size(); ++k) {
    mReducedRows.mIndex[first + k] = mSorted[k].first;  // columns distinct: ascending
    mReducedRows.mValue[first + k] = mSorted[k].second;
  }
}

// Row k: the soft rows its pivot's rhs reaches (ascending: the rows were reduced in order),
// then the constant parts of the eliminated variables (ascending: appended by step).
void SoftRowReduction::BuildHardRhs(int softCount, const HardRowElimination& elimination) {
  const CompressedRows& constants = elimination.SubstitutionRhs();
  const int steps = elimination.StepCount();
  std::vector<int>& start = mHardRhs.mStart;
  start.assign(static_cast<std::size_t>(steps) + 1, 0);
  for (const RhsTerm& term : mRhsTerms) ++start[static_cast<std::size_t>(term.step) + 1];
  for (const int hard : constants.mIndex) ++start[static_cast<std::size_t>(elimination.StepOfHardRow(hard)) + 1];
  for (int step = 0; step < steps; ++step) start[step + 1] += start[step];
  mHardRhs.mIndex.resize(static_cast<std::size_t>(start[steps]));
  mHardRhs.mValue.resize(static_cast<std::size_t>(start[steps]));
  std::vector<int> fill(start.begin(), start.end() - 1);
  const auto place = [&](int step, int target, double coefficient) {
    const int slot = fill[static_cast<std::size_t>(step)]++;
    mHardRhs.mIndex[slot] = target;
    mHardRhs.mValue[slot] = coefficient;
  };
  for (const RhsTerm& term : mRhsTerms) place(term.step, term.row, term.value);
  for (int step = 0; step < steps; ++step)
    for (int e = constants.Begin(step); e < constants.End(step); ++e)
      place(elimination.StepOfHardRow(constants.mIndex[e]), softCount + step, 0.0 + constants.mValue[e]);
}
