// Approximate minimum degree ordering and the symmetric permutation of a lower triangle.
#include "ZRMAmdOrdering.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kNone = -1;

// A variable with more neighbours than this is dense.
int DenseThreshold(int n) { return std::max(16, static_cast<int>(10.0 * std::sqrt(static_cast<double>(n)))); }

// Checks the shape of a lower triangle: each row ascending, below the diagonal but for its last
// entry, which is the diagonal.
void AssertLowerTriangle(const CompressedRows& lower) {
  for (int i = 0; i < lower.RowCount(); ++i) {
    assert(lower.Begin(i) < lower.End(i) && lower.mIndex[lower.End(i) - 1] == i && "each row ends with its diagonal");
    for (int e = lower.Begin(i) + 1; e < lower.End(i); ++e)
      assert(lower.mIndex[e - 1] >= 0 && lower.mIndex[e - 1] < lower.mIndex[e] && "rows ascend");
  }
  static_cast<void>(lower);
}

}  // namespace

void AmdOrdering::Order(const CompressedRows& lower, std::vector<int>& permutation, std::vector<int>& inverse) {
  AssertLowerTriangle(lower);
  Build(lower);
  while (mEliminated < mSparseCount) Eliminate(SelectPivot());
  Number(permutation, inverse);
}

// The pool holds the adjacency and a fifth more (plus n) for the first elements; the lists of the
// dense variables are not kept, and their entries are left out of the others' lists.
void AmdOrdering::Build(const CompressedRows& lower) {
  const int n = lower.RowCount();
  mCount = n;
  mState.assign(static_cast<std::size_t>(n), State::Variable);
  CountNeighbours(lower, false);
  const int threshold = DenseThreshold(n);
  mSparseCount = n;
  for (int i = 0; i < n; ++i)
    if (mLength[i] > threshold) {
      mState[i] = State::Dense;
      --mSparseCount;
    }
  CountNeighbours(lower, true);
  FillAdjacency(lower);
  mEliminated = 0;
  mStamp = 0;
  mMark.assign(static_cast<std::size_t>(n), 0);
  mElementCount.assign(static_cast<std::size_t>(n), 0);
  mWeight.assign(static_cast<std::size_t>(n), 1);
  mParent.assign(static_cast<std::size_t>(n), kNone);
  mOverlap.assign(static_cast<std::size_t>(n), 0);
  mOverlapStep.assign(static_cast<std::size_t>(n), kNone);
  mExternal.assign(static_cast<std::size_t>(n), 0);
  mHash.assign(static_cast<std::size_t>(n), 0);
  mHashHead.assign(static_cast<std::size_t>(n), kNone);
  mHashNext.assign(static_cast<std::size_t>(n), kNone);
  mPivots.clear();
  mDegree.assign(mLength.begin(), mLength.end());
  mDegreeHead.assign(static_cast<std::size_t>(n) + 1, kNone);
  mNext.assign(static_cast<std::size_t>(n), kNone);
  mPrevious.assign(static_cast<std::size_t>(n), kNone);
  mMinDegree = n;
  for (int i = n - 1; i >= 0; --i)  // the lowest index heads each list
    if (mState[i] == State::Variable) InsertByDegree(i);
}

void AmdOrdering::CountNeighbours(const CompressedRows& lower, bool withoutDense) {
  mLength.assign(static_cast<std::size_t>(lower.RowCount()), 0);
  for (int i = 0; i < lower.RowCount(); ++i)
    for (int e = lower.Begin(i); e < lower.End(i) - 1; ++e) {
      const int j = lower.mIndex[e];
      if (withoutDense && (mState[i] == State::Dense || mState[j] == State::Dense)) continue;
      ++mLength[i];
      ++mLength[j];
    }
}

void AmdOrdering::FillAdjacency(const CompressedRows& lower) {
  const int n = lower.RowCount();
  mStart.assign(static_cast<std::size_t>(n), 0);
  int total = 0;
  for (int i = 0; i < n; ++i) {
    mStart[i] = total;
    total += mLength[i];
  }
  mPool.assign(static_cast<std::size_t>(total) + total / 5 + n, 0);
  mFree = total;
  mNext.assign(mStart.begin(), mStart.end());  // the next free slot of each list
  for (int i = 0; i < n; ++i)
    for (int e = lower.Begin(i); e < lower.End(i) - 1; ++e) {
      const int j = lower.mIndex[e];
      if (mState[i] == State::Dense || mState[j] == State::Dense) continue;
      mPool[mNext[i]++] = j;
      mPool[mNext[j]++] = i;
    }
}

void AmdOrdering::Eliminate(int p) {
  FormElement(p);
  ComputeOverlaps(p);
  for (int slot = mStart[p]; slot < mStart[p] + mLength[p]; ++slot) UpdateVariable(p, mPool[slot]);
  DetectSupervariables(p);
  FinishElement(p);
}

// Built in place over A_p when E_p is empty (L_p is then a part of A_p); otherwise after the last
// list, whose room the bound |A_p| + sum of |L_e| over E_p (stale entries included) secures.
void AmdOrdering::FormElement(int p) {
  RemoveByDegree(p);
  mPivots.push_back(p);
  mEliminated += mWeight[p];
  mState[p] = State::Element;
  mMark[p] = NewStamp();
  mDegree[p] = 0;  // |L_p|, added up as variables join
  const int elements = mElementCount[p];
  mElementCount[p] = 0;
  if (elements == 0) {
    int write = mStart[p];
    for (int slot = mStart[p]; slot < mStart[p] + mLength[p]; ++slot)
      if (JoinsElement(mPool[slot])) mPool[write++] = mPool[slot];
    mLength[p] = write - mStart[p];
    return;
  }
  int bound = mLength[p] - elements;
  for (int slot = mStart[p]; slot < mStart[p] + elements; ++slot) bound += mLength[mPool[slot]];
  EnsureFree(std::min(bound, mSparseCount));
  int write = mFree;
  for (int slot = mStart[p] + elements; slot < mStart[p] + mLength[p]; ++slot)
    if (JoinsElement(mPool[slot])) mPool[write++] = mPool[slot];
  for (int slot = mStart[p]; slot < mStart[p] + elements; ++slot) {
    const int e = mPool[slot];
    assert(mState[e] == State::Element && "a variable's elements are live");
    for (int entry = mStart[e]; entry < mStart[e] + mLength[e]; ++entry)
      if (JoinsElement(mPool[entry])) mPool[write++] = mPool[entry];
    Absorb(e, p);
  }
  mStart[p] = mFree;
  mLength[p] = write - mFree;
  mFree = write;
}

bool AmdOrdering::JoinsElement(int j) {
  if (mState[j] != State::Variable || mMark[j] == mStamp) return false;
  mMark[j] = mStamp;
  RemoveByDegree(j);
  mDegree[mPivots.back()] += mWeight[j];
  return true;
}

// |L_e \ L_p| starts at |L_e| and loses the size of each variable of L_p that e holds.
void AmdOrdering::ComputeOverlaps(int p) {
  const int step = static_cast<int>(mPivots.size());
  for (int slot = mStart[p]; slot < mStart[p] + mLength[p]; ++slot) {
    const int i = mPool[slot];
    for (int entry = mStart[i]; entry < mStart[i] + mElementCount[i]; ++entry) {
      const int e = mPool[entry];
      if (mState[e] != State::Element) continue;  // absorbed into p
      if (mOverlapStep[e] != step) {
        mOverlapStep[e] = step;
        mOverlap[e] = mDegree[e];
      }
      mOverlap[e] -= mWeight[i];
    }
  }
}

// E_i loses the absorbed elements, A_i the variables of L_p (p's element now joins them) and the
// variables no longer principal. Either i was adjacent to p (p leaves A_i) or it belonged to an
// element of E_p (which leaves E_i): p takes a freed place.
void AmdOrdering::UpdateVariable(int p, int i) {
  const int begin = mStart[i];
  const int step = static_cast<int>(mPivots.size());
  int write = begin;
  int external = 0;
  std::uint64_t hash = 0;
  for (int slot = begin; slot < begin + mElementCount[i]; ++slot) {
    const int e = mPool[slot];
    if (mState[e] != State::Element) continue;
    assert(mOverlapStep[e] == step && "the overlap of every element of a variable of L_p is known");
    static_cast<void>(step);
    if (mOverlap[e] == 0) {  // L_e lies in L_p
      Absorb(e, p);
      continue;
    }
    external += mOverlap[e];
    hash += static_cast<std::uint64_t>(e);
    mPool[write++] = e;
  }
  const int elements = write - begin;
  for (int slot = begin + mElementCount[i]; slot < begin + mLength[i]; ++slot) {
    const int j = mPool[slot];
    if (mState[j] != State::Variable || mMark[j] == mMark[p]) continue;
    external += mWeight[j];
    hash += static_cast<std::uint64_t>(j);
    mPool[write++] = j;
  }
  assert(write < begin + mLength[i] && "the element p takes a place its elimination freed");
  if (write == begin) {  // adjacent to p alone: eliminated along with p
    mState[i] = State::Merged;
    mParent[i] = p;
    mLength[i] = 0;
    mEliminated += mWeight[i];
    mDegree[p] -= mWeight[i];
    return;
  }
  mPool[write] = mPool[begin + elements];  // the first adjacent variable moves to the end
  mPool[begin + elements] = p;
  mLength[i] = write + 1 - begin;
  mElementCount[i] = elements + 1;
  mExternal[i] = external;
  mHash[i] = static_cast<int>(hash % static_cast<std::uint64_t>(mCount));
  mHashNext[i] = mHashHead[mHash[i]];
  mHashHead[mHash[i]] = i;
}

// Variables of one hash list are compared pairwise: a against every later b of the same list
// sizes, through the marks of a's lists. Every list met is emptied.
void AmdOrdering::DetectSupervariables(int p) {
  for (int slot = mStart[p]; slot < mStart[p] + mLength[p]; ++slot) {
    const int i = mPool[slot];
    if (mState[i] != State::Variable || mHashHead[mHash[i]] == kNone) continue;
    const int first = mHashHead[mHash[i]];
    mHashHead[mHash[i]] = kNone;
    for (int a = first; a != kNone; a = mHashNext[a]) {
      if (mState[a] != State::Variable) continue;
      int stamp = kNone;
      for (int b = mHashNext[a]; b != kNone; b = mHashNext[b]) {
        if (mState[b] != State::Variable || mLength[b] != mLength[a] || mElementCount[b] != mElementCount[a]) continue;
        if (stamp == kNone) {
          stamp = NewStamp();
          for (int entry = mStart[a]; entry < mStart[a] + mLength[a]; ++entry) mMark[mPool[entry]] = stamp;
        }
        if (HasMarkedLists(b, stamp)) Merge(b, a);
      }
    }
  }
}

bool AmdOrdering::HasMarkedLists(int b, int stamp) const {
  for (int entry = mStart[b]; entry < mStart[b] + mLength[b]; ++entry)
    if (mMark[mPool[entry]] != stamp) return false;
  return true;
}

void AmdOrdering::Merge(int b, int into) {
  mWeight[into] += mWeight[b];
  mState[b] = State::Merged;
  mParent[b] = into;
  mLength[b] = 0;
}

void AmdOrdering::FinishElement(int p) {
  const int size = mDegree[p];
  const int left = mSparseCount - mEliminated;
  int write = mStart[p];
  for (int slot = mStart[p]; slot < mStart[p] + mLength[p]; ++slot) {
    const int i = mPool[slot];
    if (mState[i] != State::Variable) continue;
    const int own = mWeight[i];
    mDegree[i] = std::min({left - own, mDegree[i] + size - own, mExternal[i] + size - own});
    mPool[write++] = i;
  }
  mLength[p] = write - mStart[p];
  for (int slot = mStart[p]; slot < write; ++slot) InsertByDegree(mPool[slot]);
}

int AmdOrdering::SelectPivot() {
  while (mDegreeHead[mMinDegree] == kNone) {
    assert(mMinDegree < mCount && "a variable is left while some are not eliminated");
    ++mMinDegree;
  }
  return mDegreeHead[mMinDegree];
}

void AmdOrdering::InsertByDegree(int i) {
  const int degree = mDegree[i];
  assert(degree >= 0 && degree < mCount && "a degree counts other variables");
  mNext[i] = mDegreeHead[degree];
  mPrevious[i] = kNone;
  if (mNext[i] != kNone) mPrevious[mNext[i]] = i;
  mDegreeHead[degree] = i;
  mMinDegree = std::min(mMinDegree, degree);
}

void AmdOrdering::RemoveByDegree(int i) {
  if (mPrevious[i] != kNone)
    mNext[mPrevious[i]] = mNext[i];
  else
    mDegreeHead[mDegree[i]] = mNext[i];
  if (mNext[i] != kNone) mPrevious[mNext[i]] = mPrevious[i];
}

void AmdOrdering::Absorb(int e, int into) {
  mState[e] = State::Absorbed;
  mParent[e] = into;
  mLength[e] = 0;
}

void AmdOrdering::EnsureFree(int count) {
  if (static_cast<int>(mPool.size()) - mFree >= count) return;
  CollectGarbage();
  if (static_cast<int>(mPool.size()) - mFree < count) mPool.resize(static_cast<std::size_t>(mFree) + count + mFree / 5);
}

// Each list's first entry is replaced by its owner (as -1 - owner; entries are never negative)
// and kept in mStart meanwhile; one scan in pool order then moves every list down.
void AmdOrdering::CollectGarbage() {
  for (int x = 0; x < mCount; ++x) {
    if (mLength[x] == 0) continue;
    const int head = mStart[x];
    mStart[x] = mPool[head];
    mPool[head] = -1 - x;
  }
  int write = 0;
  for (int read = 0; read < mFree;) {
    if (mPool[read] >= 0) {
      ++read;
      continue;
    }
    const int x = -1 - mPool[read];
    mPool[write] = mStart[x];
    std::copy(mPool.begin() + read + 1, mPool.begin() + read + mLength[x], mPool.begin() + write + 1);
    mStart[x] = write;
    write += mLength[x];
    read += mLength[x];
  }
  mFree = write;
}

void AmdOrdering::Number(std::vector<int>& permutation, std::vector<int>& inverse) {
  const int n = mCount;
  const int steps = static_cast<int>(mPivots.size());
  mStepOf.assign(static_cast<std::size_t>(n), kNone);
  for (int step = 0; step < steps; ++step) mStepOf[mPivots[step]] = step;
  std::vector<int>& groupStart = mGroupStart;  // steps + 1 groups, the dense variables last
  groupStart.assign(static_cast<std::size_t>(steps) + 2, 0);
  for (int v = 0; v < n; ++v) ++groupStart[StepOf(v) + 1];
  for (int step = 0; step <= steps; ++step) groupStart[step + 1] += groupStart[step];
  permutation.resize(static_cast<std::size_t>(n));
  inverse.resize(static_cast<std::size_t>(n));
  for (int v = 0; v < n; ++v) {
    const int position = groupStart[StepOf(v)]++;
    permutation[position] = v;
    inverse[v] = position;
  }
}

// Follows the merges up to the pivot they went into, and notes the step on the way.
int AmdOrdering::StepOf(int v) {
  if (mState[v] == State::Dense) return static_cast<int>(mPivots.size());
  mPath.clear();
  int x = v;
  for (; mStepOf[x] == kNone; x = mParent[x]) {
    assert(mState[x] == State::Merged && "a variable not eliminated as a pivot went into another");
    mPath.push_back(x);
  }
  for (const int on : mPath) mStepOf[on] = mStepOf[x];
  return mStepOf[x];
}

// The entries are first gathered by new column (each holding its new row), then transposed, which
// sorts every row by column.
void PermuteLower(const CompressedRows& lower, const std::vector<int>& inverse, CompressedRows& permuted,
                  CompressedRows& upper, std::vector<int>& fill) {
  const int n = lower.RowCount();
  assert(static_cast<int>(inverse.size()) == n && "a new position for every variable");
  upper.mStart.assign(static_cast<std::size_t>(n) + 1, 0);
  for (int i = 0; i < n; ++i)
    for (int e = lower.Begin(i); e < lower.End(i); ++e)
      ++upper.mStart[std::min(inverse[i], inverse[lower.mIndex[e]]) + 1];
  for (int c = 0; c < n; ++c) upper.mStart[c + 1] += upper.mStart[c];
  upper.mIndex.resize(lower.mIndex.size());
  upper.mValue.resize(lower.mIndex.size());
  fill.assign(upper.mStart.begin(), upper.mStart.end() - 1);
  for (int i = 0; i < n; ++i)
    for (int e = lower.Begin(i); e < lower.End(i); ++e) {
      const int a = inverse[i];
      const int b = inverse[lower.mIndex[e]];
      const int slot = fill[std::min(a, b)]++;
      upper.mIndex[slot] = std::max(a, b);
      upper.mValue[slot] = lower.mValue[e];
    }
  Transpose(upper, n, permuted, fill);
}
