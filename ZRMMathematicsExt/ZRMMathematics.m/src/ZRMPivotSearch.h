// Internal: PivotSearch, the pivot rule of the hard-row elimination over a tournament tree.
//
// The elimination scans its remaining hard rows in their current order (positions 0, 1, ...)
// and each row's entries in ascending variable. An entry with coefficient a in a row of m
// entries scores |a| / (m - 0.9). A score above the best so far (initially 0.0) becomes the
// pivot; the scan stops at such a new best that also exceeds 0.5 in a short row (m < 3). Ties
// keep the earlier entry.
//
// In terms of each row's best score M (0.0 when no entry scores above 0.0), the scan picks:
//  - the first short row whose M exceeds 0.5 and the M of every long row before it (a short row
//    before it with an M as high would have stopped the scan itself), and in that row the first
//    entry scoring above that threshold;
//  - without such a row, the first row of the highest M, and its first entry of that score.
// PivotSearch answers which row for h positions in one descent of a tournament tree, O(log h);
// an update costs O(log h). Where long rows score above 0.5, the descent also reads, per node, a
// kept answer for the node's right half, recomputed (one more descent) when an update below made
// it stale: O(log^2 h) per update at worst, in practice far less. The caller picks the entry.
#ifndef ZRMPivotSearch_h
#define ZRMPivotSearch_h

#include <cmath>
#include <vector>

class PivotSearch {
public:
  static constexpr int kNone = -1;

  // Score of an entry with coefficient a in a row of count entries.
  static double Score(double a, int count) { return std::fabs(a) / (static_cast<double>(count) - 0.9); }
  // Whether a row of count entries can stop the scan.
  static bool IsShort(int count) { return count < 3; }

  // Makes it positions 0 .. count - 1, each empty (M = 0.0).
  void Reset(int count);
  // Fills positions in bulk: Place each, then Build once. O(h log h) in all.
  void Place(int position, double best, bool isShort);
  void Build();
  // Sets the best score M of the row at position (0.0 empties it).
  void Set(int position, double best, bool isShort);

  // The position where the scan stops, or kNone when it runs to the end. O(1) when the row at
  // position 0 stops it (nothing comes before it), O(log h) otherwise.
  int StopPosition() const { return mNodes[mLeaves].shortRows > 0.5 ? 0 : FirstStop(1, 0.5); }
  // The threshold an entry of the row at the stop position must exceed to be the pivot.
  double StopThreshold(int position) const;
  // The first position of the highest M, or kNone when every M is 0.0.
  int BestPosition() const;

private:
  // In the subtree of node: the first short row whose M exceeds threshold and the M of each
  // long row before it within the subtree, or kNone.
  int FirstStop(int node, double threshold) const;
  // FirstStop(right child, mLong[left child]) of an inner node, computed when first asked for
  // after a change below the node. Read only where mLong[left child] > 0.5.
  int StopInRight(int node) const;
  // Recomputes an inner node's maxima from its children.
  void Update(int node);
  // Whether no long row scores above 0.5: then no StopInRight is read, and none is kept.
  bool IsCold() const { return !(mNodes[1].longRows > 0.5); }

  // What the tree keeps of a node; one record, so that a walk reads one place per node.
  struct Node {
    double shortRows = 0.0;   // highest M of its short rows (0.0 when none)
    double longRows = 0.0;    // highest M of its long rows (0.0 when none)
    int stopInRight = kNone;  // inner node: StopInRight, valid where computed in the
    unsigned computedIn = 0;  // current generation (0: to be recomputed)
  };

  int mLeaves = 1;                   // leaves: a power of two; leaf of position p: mLeaves + p
  mutable std::vector<Node> mNodes;  // node 1 the root, node k's children 2k and 2k + 1
  unsigned mGeneration = 1;          // advances when the search turns from cold to hot
};

#endif
