// Internal: ShortestRowQueue, the row choice of the fill-reducing mode's hard-row elimination.
//
// The rule: take the newest held row of the fewest entries. The elimination holds the rows that
// can give a pivot, keyed by their entry counts, and changes a row's key as substitutions change
// its entries. Markowitz's choice of the sparsest row keeps the fill of the remaining rows small,
// and the newest-first order follows a chain of substitutions (a row just changed is taken next),
// so that a chain of hard rows is taken from one end and each step touches the rows of the step
// before.
#ifndef ZRMShortestRowQueue_h
#define ZRMShortestRowQueue_h

#include <vector>

// Rows 0 .. rows - 1 by count (0 .. the highest count given at Reset): per count, a doubly
// linked list of its rows, newest first. Insert and Remove cost O(1). Shortest moves a cursor up
// over empty counts, from the lowest count inserted since the previous call to the count of the
// row it returns: at most that count, the size of the pivot row it gives.
class ShortestRowQueue {
public:
  static constexpr int kNone = -1;

  // Makes it hold no row, for rows 0 .. rows - 1 and counts 0 .. highestCount (storage kept).
  void Reset(int rows, int highestCount);
  bool Holds(int row) const { return mCountOf[static_cast<std::size_t>(row)] != kNone; }
  // Enters row (not held) as the newest of count.
  void Insert(int row, int count);
  // Takes row (held) out.
  void Remove(int row);
  // The newest row of the lowest count held, or kNone when it holds none.
  int Shortest();

private:
  std::vector<int> mNewest;   // count -> its newest row, or kNone
  std::vector<int> mOlder;    // row -> the next older row of its count, or kNone
  std::vector<int> mNewer;    // row -> the next newer row of its count, or kNone
  std::vector<int> mCountOf;  // row -> its count, or kNone when not held
  int mLowest = 0;            // no count below it holds a row
};

#endif
