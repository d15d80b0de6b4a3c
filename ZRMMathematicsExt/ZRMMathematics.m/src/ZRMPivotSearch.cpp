// PivotSearch: the stop row and the best row of the pivot scan, over a tournament tree.
#include "ZRMPivotSearch.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

// The children of an inner node.
int LeftOf(int node) { return 2 * node; }
int RightOf(int node) { return 2 * node + 1; }

}  // namespace

double PivotSearch::Score(double a, int count) { return std::fabs(a) / (static_cast<double>(count) - 0.9); }

void PivotSearch::Reset(int count) {
  mLeaves = 1;
  while (mLeaves < count) mLeaves *= 2;
  mShort.assign(2 * static_cast<std::size_t>(mLeaves), 0.0);
  mLong.assign(2 * static_cast<std::size_t>(mLeaves), 0.0);
  mStopInRight.assign(static_cast<std::size_t>(mLeaves), kNone);
  mComputedIn.assign(static_cast<std::size_t>(mLeaves), 0);
  mGeneration = 1;
}

void PivotSearch::Place(int position, double best, bool isShort) {
  assert(position >= 0 && position < mLeaves && "position outside the search");
  assert(!(best < 0.0) && !std::isnan(best) && "a best score is 0.0 or above");
  mShort[mLeaves + position] = isShort ? best : 0.0;
  mLong[mLeaves + position] = isShort ? 0.0 : best;
}

void PivotSearch::Build() {
  for (int node = mLeaves - 1; node >= 1; --node) Update(node);
}

// While hot, every ancestor's StopInRight may depend on the leaf: the walk marks them all. While
// cold, none is read, and the walk ends where the maxima stay as they were; a walk that turns
// the search hot drops every StopInRight kept before.
void PivotSearch::Set(int position, double best, bool isShort) {
  const bool wasCold = IsCold();
  Place(position, best, isShort);
  for (int node = (mLeaves + position) / 2; node >= 1; node /= 2) {
    const double shortBefore = mShort[node];
    const double longBefore = mLong[node];
    Update(node);
    if (wasCold && mShort[node] == shortBefore && mLong[node] == longBefore) return;  // still cold
  }
  if (wasCold && !IsCold()) ++mGeneration;
}

void PivotSearch::Update(int node) {
  mShort[node] = std::max(mShort[LeftOf(node)], mShort[RightOf(node)]);
  mLong[node] = std::max(mLong[LeftOf(node)], mLong[RightOf(node)]);
  mComputedIn[node] = 0;
}

// Every recomputation answers for a mark that an update's walk set, and costs one descent: at
// most O(log h) descents per update, fewer as only the nodes a query reads are redone.
int PivotSearch::StopInRight(int node) const {
  if (mComputedIn[node] != mGeneration) {
    mStopInRight[node] = FirstStop(RightOf(node), mLong[LeftOf(node)]);
    mComputedIn[node] = mGeneration;
  }
  return mStopInRight[node];
}

// One path down the tree: a left half whose long rows block nothing above threshold either
// holds the answer or passes the search on unchanged; a left half with a blocking long row is
// searched, and without an answer there the kept answer of the right half under that block is
// the answer (threshold < mLong[left] makes mLong[left] the right half's threshold).
int PivotSearch::FirstStop(int node, double threshold) const {
  if (!(mShort[node] > threshold)) return kNone;
  if (node >= mLeaves) return node - mLeaves;
  const int left = LeftOf(node);
  const int right = RightOf(node);
  if (!(mLong[left] > threshold)) return FirstStop(mShort[left] > threshold ? left : right, threshold);
  const int inLeft = FirstStop(left, threshold);
  return inLeft != kNone ? inLeft : StopInRight(node);
}

double PivotSearch::StopThreshold(int position) const {
  double threshold = 0.5;  // and the highest M of the long rows before position
  for (int node = mLeaves + position; node > 1; node /= 2)
    if (node % 2 == 1) threshold = std::max(threshold, mLong[node - 1]);
  return threshold;
}

int PivotSearch::BestPosition() const {
  const double best = std::max(mShort[1], mLong[1]);
  if (!(best > 0.0)) return kNone;
  int node = 1;
  while (node < mLeaves) {
    const int left = LeftOf(node);
    node = std::max(mShort[left], mLong[left]) == best ? left : RightOf(node);  // the first of the best
  }
  return node - mLeaves;
}
