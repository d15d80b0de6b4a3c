// HardRowElimination: Gauss-Jordan elimination of the hard rows, one variable per row.
#include "ZRMHardRowElimination.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

using Entry = HardRowElimination::Entry;
using EntryList = HardRowElimination::EntryList;
using Entries = Span<Entry>;

double Add(double a, double b) { return a + b; }
double Subtract(double a, double b) { return a - b; }

// merged := target without the entry of index skip, combined with scale * other (both
// ascending): a shared index takes combine(old, product), an index only other has
// combine(0.0, product) and is reported to onNew.
template <class Combine, class OnNew>
void MergeScaled(Entries target, int skip, Entries other, double scale, Combine combine, OnNew onNew,
                 EntryList& merged) {
  merged.clear();
  const Entry* mine = target.begin();
  for (const Entry& entry : other) {
    for (; mine != target.end() && mine->first < entry.first; ++mine)
      if (mine->first != skip) merged.push_back(*mine);
    if (mine != target.end() && mine->first == entry.first) {
      merged.emplace_back(entry.first, combine(mine->second, scale * entry.second));
      ++mine;
    } else {
      merged.emplace_back(entry.first, combine(0.0, scale * entry.second));
      onNew(entry.first);
    }
  }
  for (; mine != target.end(); ++mine)
    if (mine->first != skip) merged.push_back(*mine);  // merged ascending, without skip
}

// The value under index in an ascending list that holds it.
double ValueAt(Entries list, int index) {
  const Entry* const found = std::lower_bound(list.begin(), list.end(), index,
                                              [](const Entry& entry, int wanted) { return entry.first < wanted; });
  assert(found != list.end() && found->first == index && "ValueAt of an index the list does not hold");
  return found->second;
}

// The first entry of the highest score in a row (-1 when none scores above 0.0), and that score.
int FirstBestEntry(Entries row, double& bestScore) {
  const int count = row.Size();
  int best = -1;
  bestScore = 0.0;
  for (int e = 0; e < count; ++e) {
    const double score = PivotSearch::Score(row[e].second, count);
    if (score > bestScore) {
      best = e;
      bestScore = score;
    }
  }
  return best;
}

}  // namespace

void HardRowElimination::PooledLists::Reset(int keys) {
  mSlots.assign(static_cast<std::size_t>(keys), {0, 0, 0});
  mUsed = 0;
}

Span<HardRowElimination::Entry> HardRowElimination::PooledLists::operator[](int key) const {
  const Slot& slot = mSlots[static_cast<std::size_t>(key)];
  const Entry* first = mPool.data() + slot.first;
  return {first, first + slot.size};
}

void HardRowElimination::PooledLists::MakeRoom(int key, int size) {
  Slot& slot = mSlots[static_cast<std::size_t>(key)];
  if (size <= slot.room) return;
  const std::size_t first = mUsed;
  const int room = std::max(size, 2 * slot.room);
  const std::size_t used = first + static_cast<std::size_t>(room);
  if (used > mPool.size()) mPool.resize(used);  // may throw: nothing has changed then
  mUsed = used;
  const auto from = mPool.begin() + static_cast<std::ptrdiff_t>(slot.first);
  std::copy(from, from + slot.size, mPool.begin() + static_cast<std::ptrdiff_t>(first));
  slot.first = first;
  slot.room = room;  // the list keeps its entries, now with room for size
}

void HardRowElimination::PooledLists::Assign(int key, const Entry* first, const Entry* last) {
  assert((mPool.empty() || last <= mPool.data() || first >= mPool.data() + mPool.size()) &&
         "Assign from the lists themselves, which a move would invalidate");
  MakeRoom(key, static_cast<int>(last - first));
  Slot& slot = mSlots[static_cast<std::size_t>(key)];
  std::copy(first, last, mPool.begin() + static_cast<std::ptrdiff_t>(slot.first));
  slot.size = static_cast<int>(last - first);
}

void HardRowElimination::PooledLists::Append(int key, const Entry& entry) {
  Slot& slot = mSlots[static_cast<std::size_t>(key)];
  MakeRoom(key, slot.size + 1);
  mPool[slot.first + static_cast<std::size_t>(slot.size)] = entry;
  ++slot.size;
}

void HardRowElimination::KeyedLists::Reset(int keys) {
  mHead.assign(static_cast<std::size_t>(keys), -1);
  mNodes.clear();
}

void HardRowElimination::KeyedLists::Add(int key, int number) {
  mNodes.push_back({number, mHead[static_cast<std::size_t>(key)]});
  mHead[static_cast<std::size_t>(key)] = static_cast<int>(mNodes.size()) - 1;
}

bool HardRowElimination::Run(const ConstraintNumbering& numbering, double tolerance, Substitution substitution,
                             PivotRule rule) {
  assert(tolerance > 0.0 && "a pivot must score above a positive tolerance");
  mIntoEarlier = substitution == Substitution::kIntoEarlier;
  mShortestRow = rule == PivotRule::kShortestRow;
  mTolerance = tolerance;
  Load(numbering);
  for (int step = 0; !mRowAt.empty(); ++step) {
    int position = PivotSearch::kNone;
    int entry = -1;
    if (tolerance > FindPivot(position, entry)) break;  // every remaining row is dependent
    const int variable = TakePivot(position, entry, step);
    SubstituteIntoHardRows(variable);
    if (mIntoEarlier) SubstituteIntoEliminated(variable);
  }
  Gather();
  if (!mIntoEarlier) Expand();
  return mRowAt.empty();
}

void HardRowElimination::Load(const ConstraintNumbering& numbering) {
  const auto hardCount = numbering.HardRows().size();
  mRows.Reset(static_cast<int>(hardCount));
  mRowRhs.Reset(static_cast<int>(hardCount));
  mSubstitutions.Reset(static_cast<int>(hardCount));
  mSubstitutionRhs.Reset(static_cast<int>(hardCount));
  mBestEntry.assign(hardCount, -1);
  mRowAt.resize(hardCount);
  mPositionOf.resize(hardCount);
  mStepOfRow.assign(hardCount, -1);
  mStepOfVariable.assign(static_cast<std::size_t>(numbering.VariableCount()), -1);
  mVariableOfStep.clear();
  mVariableOfStep.reserve(hardCount);
  mRowOfStep.clear();
  mRowOfStep.reserve(hardCount);
  mPivotOfStep.clear();
  mPivotOfStep.reserve(hardCount);
  mLargest.assign(hardCount, 0.0);
  const int listKeys = hardCount > 0 ? numbering.VariableCount() : 0;  // no lists without hard rows
  mRowsHolding.Reset(listKeys);
  mSubstitutionsHolding.Reset(mIntoEarlier ? listKeys : 0);
  if (mShortestRow) {
    mShortest.Reset(static_cast<int>(hardCount), listKeys);  // a row names each variable once at most
    mSoftNamed.assign(static_cast<std::size_t>(listKeys), 0);
    if (hardCount > 0)
      for (std::size_t r = 0; r < numbering.SoftRows().size(); ++r)
        for (const Entry& entry : numbering.SoftEntries(static_cast<int>(r))) mSoftNamed[entry.first] = 1;
  } else {
    mSearch.Reset(static_cast<int>(hardCount));
  }
  for (int hard = 0; hard < static_cast<int>(hardCount); ++hard) {
    const auto entries = numbering.HardEntries(hard);
    mRows.Assign(hard, entries.begin(), entries.end());
    if (mIntoEarlier) mRowRhs.Append(hard, {hard, 1.0});  // its own right-hand side
    mRowAt[hard] = hard;
    mPositionOf[hard] = hard;
    for (const Entry& entry : entries) mRowsHolding.Add(entry.first, hard);
    double bestScore = 0.0;
    mBestEntry[hard] = FirstBestEntry(mRows[hard], bestScore);
    if (mShortestRow)
      Enqueue(hard, bestScore);
    else
      mSearch.Place(hard, bestScore, PivotSearch::IsShort(entries.Size()));
    NoteLargest(hard);
  }
  if (!mShortestRow) mSearch.Build();
}

double HardRowElimination::FindPivot(int& position, int& entry) {
  if (mShortestRow) {
    const int hard = mShortest.Shortest();
    if (hard == ShortestRowQueue::kNone) return 0.0;  // no row reaches tolerance
    position = mPositionOf[hard];
    entry = ShortestRowEntry(hard);
    return PivotSearch::Score(mRows[hard][entry].second, mRows[hard].Size());
  }
  position = mSearch.StopPosition();
  if (position != PivotSearch::kNone) {
    const Entries row = mRows[mRowAt[position]];
    const double threshold = mSearch.StopThreshold(position);
    const int count = row.Size();
    for (entry = 0; !(PivotSearch::Score(row[entry].second, count) > threshold); ++entry) {
      assert(entry + 1 < count && "a stop row has an entry above its threshold");
    }
    return PivotSearch::Score(row[entry].second, count);
  }
  position = mSearch.BestPosition();
  if (position == PivotSearch::kNone) return 0.0;
  const Entries row = mRows[mRowAt[position]];
  entry = mBestEntry[mRowAt[position]];
  return PivotSearch::Score(row[entry].second, row.Size());
}

int HardRowElimination::TakePivot(int position, int entry, int step) {
  const int hard = mRowAt[position];
  const int last = static_cast<int>(mRowAt.size()) - 1;
  const int moved = mRowAt[last];  // takes the pivot row's place in the scan order
  mRowAt[position] = moved;
  mPositionOf[moved] = position;
  mRowAt.pop_back();
  if (mShortestRow) {
    mShortest.Remove(hard);
  } else {
    mSearch.Set(last, 0.0, true);
    if (moved != hard) Reposition(moved);
  }

  const Entries row = mRows[hard];
  const int variable = row[entry].first;
  mPivotOfStep.push_back(row[entry].second);
  mStepOfVariable[variable] = step;
  mVariableOfStep.push_back(variable);
  mStepOfRow[hard] = step;
  mRowOfStep.push_back(hard);
  const double f = -1.0 / row[entry].second;
  mScratch.clear();
  for (const Entry& other : row) {
    if (other.first == variable) continue;
    mScratch.emplace_back(other.first, f * other.second);
    if (mIntoEarlier) mSubstitutionsHolding.Add(other.first, step);
  }
  mSubstitutions.Assign(step, mScratch);
  const Entries rhs = mRowRhs[hard];
  if (mIntoEarlier) {
    mScratch.clear();
    for (const Entry& term : rhs) mScratch.emplace_back(term.first, -(f * term.second));
    mSubstitutionRhs.Assign(step, mScratch);
  } else {
    mSubstitutionRhs.Assign(step, rhs.begin(), rhs.end());  // the row's events
  }
  mRows.Clear(hard);
  mRowRhs.Clear(hard);
  return variable;
}

void HardRowElimination::SubstituteIntoHardRows(int variable) {
  const int step = mStepOfVariable[variable];
  mRowsHolding.ForEach(variable, [&](int hard) {  // each row on its own: the order is free
    if (mStepOfRow[hard] >= 0) return;            // a pivot row already
    const double c = ValueAt(mRows[hard], variable);
    MergeScaled(
        mRows[hard], variable, mSubstitutions[step], c, Add, [&](int added) { mRowsHolding.Add(added, hard); },
        mScratch);
    mRows.Assign(hard, mScratch);
    if (mIntoEarlier) {
      MergeScaled(
          mRowRhs[hard], -1, mSubstitutionRhs[step], c, Subtract, [](int) {}, mScratch);
      mRowRhs.Assign(hard, mScratch);
    } else {
      mRowRhs.Append(hard, {step, c});  // an event: rhs -= c * (step's constant)
    }
    Rescore(hard);
  });
  mRowsHolding.Clear(variable);  // no remaining row holds it
}

void HardRowElimination::SubstituteIntoEliminated(int variable) {
  const int step = mStepOfVariable[variable];
  mSubstitutionsHolding.ForEach(variable, [&](int earlier) {  // each on its own: the order is free
    const double c = ValueAt(mSubstitutions[earlier], variable);
    MergeScaled(
        mSubstitutions[earlier], variable, mSubstitutions[step], c, Add,
        [&](int added) { mSubstitutionsHolding.Add(added, earlier); }, mScratch);
    mSubstitutions.Assign(earlier, mScratch);
    MergeScaled(
        mSubstitutionRhs[earlier], -1, mSubstitutionRhs[step], c, Add, [](int) {}, mScratch);
    mSubstitutionRhs.Assign(earlier, mScratch);
  });
  mSubstitutionsHolding.Clear(variable);  // no substitution holds it any more
}

void HardRowElimination::Rescore(int hard) {
  double bestScore = 0.0;
  mBestEntry[hard] = FirstBestEntry(mRows[hard], bestScore);
  if (mShortestRow) {
    if (mShortest.Holds(hard)) mShortest.Remove(hard);
    Enqueue(hard, bestScore);  // the newest of its count: a row just changed is taken next
  } else {
    mSearch.Set(mPositionOf[hard], bestScore, PivotSearch::IsShort(mRows[hard].Size()));
  }
  NoteLargest(hard);
}

void HardRowElimination::Enqueue(int hard, double bestScore) {
  if (!(mTolerance > bestScore)) mShortest.Insert(hard, mRows[hard].Size());
}

int HardRowElimination::ShortestRowEntry(int hard) const {
  const Entries row = mRows[hard];
  const int best = mBestEntry[hard];
  const double floor = kThreshold * std::fabs(row[best].second);
  for (int e = 0; e < row.Size(); ++e) {
    const double a = std::fabs(row[e].second);
    if (!mSoftNamed[row[e].first] && a >= floor && !(mTolerance > PivotSearch::Score(a, row.Size()))) return e;
  }
  return best;
}

void HardRowElimination::Reposition(int hard) {
  const Entries row = mRows[hard];
  const int best = mBestEntry[hard];
  const double bestScore = best < 0 ? 0.0 : PivotSearch::Score(row[best].second, row.Size());
  mSearch.Set(mPositionOf[hard], bestScore, PivotSearch::IsShort(row.Size()));
}

void HardRowElimination::NoteLargest(int hard) {
  for (const Entry& entry : mRows[hard]) mLargest[hard] = std::max(mLargest[hard], std::fabs(entry.second));
}

void HardRowElimination::Gather() {
  const auto gather = [this](const PooledLists& lists, CompressedRows& rows) {
    rows.Clear();
    for (int step = 0; step < StepCount(); ++step) {
      for (const Entry& entry : lists[step]) rows.Append(entry.first, entry.second);
      rows.EndRow();
    }
  };
  gather(mSubstitutions, mGatheredSubstitutions);
  gather(mSubstitutionRhs, mGatheredRhs);
  mGatheredForward.Clear();
}

// Step k's part in free variables: its free entries, plus each later-eliminated entry's
// coefficient times that variable's part (already expanded), summed in entry order; a variable
// met first starts at 0.0.
void HardRowElimination::Expand() {
  std::swap(mGatheredForward, mGatheredSubstitutions);
  const CompressedRows& forward = mGatheredForward;
  mExpandedStamp.assign(mStepOfVariable.size(), -1);
  mExpandedValue.resize(mStepOfVariable.size());
  PooledLists& expanded = mSubstitutions;  // reused: step -> its part in free variables
  for (int step = StepCount() - 1; step >= 0; --step) {
    mExpandedTouched.clear();
    for (int e = forward.Begin(step); e < forward.End(step); ++e) {
      const int later = mStepOfVariable[static_cast<std::size_t>(forward.mIndex[e])];
      if (later < 0) {
        Accumulate(step, forward.mIndex[e], forward.mValue[e]);
        continue;
      }
      assert(later > step && "a forward substitution names variables eliminated later only");
      for (const Entry& term : expanded[later]) Accumulate(step, term.first, forward.mValue[e] * term.second);
    }
    std::sort(mExpandedTouched.begin(), mExpandedTouched.end());
    mScratch.clear();
    for (const int variable : mExpandedTouched) mScratch.emplace_back(variable, mExpandedValue[variable]);
    expanded.Assign(step, mScratch);
  }
  mGatheredSubstitutions.Clear();
  for (int step = 0; step < StepCount(); ++step) {
    for (const Entry& entry : expanded[step]) mGatheredSubstitutions.Append(entry.first, entry.second);
    mGatheredSubstitutions.EndRow();
  }
}

void HardRowElimination::Accumulate(int step, int variable, double value) {
  if (mExpandedStamp[static_cast<std::size_t>(variable)] == step) {
    mExpandedValue[variable] = mExpandedValue[variable] + value;
    return;
  }
  mExpandedStamp[static_cast<std::size_t>(variable)] = step;
  mExpandedValue[variable] = 0.0 + value;
  mExpandedTouched.push_back(variable);
}
