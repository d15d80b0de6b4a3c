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

void PivotSearch::Reset(int count) {
  mLeaves = 1;
  while (mLeaves < count) mLeaves *= 2;
  mNodes.assign(2 * static_cast<std::size_t>(mLeaves), Node());
  mGeneration = 1;
}

void PivotSearch::Place(int position, double best, bool isShort) {
  assert(position >= 0 && position < mLeaves && "position outside the search");
  assert(!(best < 0.0) && !std::isnan(best) && "a best score is 0.0 or above");
  Node& leaf = mNodes[mLeaves + position];
  leaf.shortRows = isShort ? best : 0.0;
  leaf.longRows = isShort ? 0.0 : best;
}

void PivotSearch::Build() {
  for (int node = mLeaves - 1; node >= 1; --node) Update(node);
}

// StopInRight(node) reads the leaves of node's right half and the longRows of its left half. The
// walk recomputes the maxima while they change and drops the kept StopInRight of each ancestor
// whose right half holds the leaf or whose left half's longRows changed. While cold, no
// StopInRight is read and the walk ends where the maxima stay as they were; a walk that turns the
// search hot drops every StopInRight kept before.
void PivotSearch::Set(int position, double best, bool isShort) {
  const bool wasCold = IsCold();
  const Node leafBefore = mNodes[mLeaves + position];
  Place(position, best, isShort);
  const Node& leaf = mNodes[mLeaves + position];
  // Whether the longRows, and the maxima, of the walk's child changed.
  bool longChanged = leaf.longRows != leafBefore.longRows;
  bool changed = longChanged || leaf.shortRows != leafBefore.shortRows;
  if (!changed) return;  // no answer can change
  for (int child = mLeaves + position, node = child / 2; node >= 1; child = node, node /= 2) {
    if (child == RightOf(node) || longChanged) mNodes[node].computedIn = 0;
    if (changed) {
      const Node before = mNodes[node];
      Update(node);
      longChanged = mNodes[node].longRows != before.longRows;
      changed = longChanged || mNodes[node].shortRows != before.shortRows;
    }
    if (wasCold && !changed) return;  // still cold
  }
  if (wasCold && !IsCold()) ++mGeneration;
}

void PivotSearch::Update(int node) {
  const Node& left = mNodes[LeftOf(node)];
  const Node& right = mNodes[RightOf(node)];
  Node& inner = mNodes[node];
  inner.shortRows = std::max(left.shortRows, right.shortRows);
  inner.longRows = std::max(left.longRows, right.longRows);
}

// Every recomputation answers for a mark that an update's walk set, and costs one descent: at
// most O(log h) descents per update, fewer as only the nodes a query reads are redone.
int PivotSearch::StopInRight(int node) const {
  if (mNodes[node].computedIn != mGeneration) {
    mNodes[node].stopInRight = FirstStop(RightOf(node), mNodes[LeftOf(node)].longRows);
    mNodes[node].computedIn = mGeneration;
  }
  return mNodes[node].stopInRight;
}

// One path down the tree: a left half whose long rows block nothing above threshold either
// holds the answer or passes the search on unchanged; a left half with a blocking long row is
// searched, and without an answer there the kept answer of the right half under that block is
// the answer (threshold below the left half's longRows makes that the right half's threshold).
int PivotSearch::FirstStop(int node, double threshold) const {
  if (!(mNodes[node].shortRows > threshold)) return kNone;
  if (node >= mLeaves) return node - mLeaves;
  const int left = LeftOf(node);
  const int right = RightOf(node);
  if (!(mNodes[left].longRows > threshold))
    return FirstStop(mNodes[left].shortRows > threshold ? left : right, threshold);
  const int inLeft = FirstStop(left, threshold);
  return inLeft != kNone ? inLeft : StopInRight(node);
}

double PivotSearch::StopThreshold(int position) const {
  if (IsCold()) return 0.5;  // no long row scores above it
  double threshold = 0.5;    // and the highest M of the long rows before position
  for (int node = mLeaves + position; node > 1; node /= 2)
    if (node % 2 == 1) threshold = std::max(threshold, mNodes[node - 1].longRows);
  return threshold;
}

int PivotSearch::BestPosition() const {
  const double best = std::max(mNodes[1].shortRows, mNodes[1].longRows);
  if (!(best > 0.0)) return kNone;
  int node = 1;
  while (node < mLeaves) {
    const Node& left = mNodes[LeftOf(node)];
    node = std::max(left.shortRows, left.longRows) == best ? LeftOf(node) : RightOf(node);  // the first of the best
  }
  return node - mLeaves;
}
