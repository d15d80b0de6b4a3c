// ShortestRowQueue: rows by entry count, the newest of the lowest count first.
#include "ZRMShortestRowQueue.h"

#include <cassert>

void ShortestRowQueue::Reset(int rows, int highestCount) {
  mNewest.assign(static_cast<std::size_t>(highestCount) + 1, kNone);
  mOlder.resize(static_cast<std::size_t>(rows));
  mNewer.resize(static_cast<std::size_t>(rows));
  mCountOf.assign(static_cast<std::size_t>(rows), kNone);
  mLowest = 0;
}

void ShortestRowQueue::Insert(int row, int count) {
  assert(!Holds(row) && "Insert of a row already held");
  assert(count >= 0 && count < static_cast<int>(mNewest.size()) && "count beyond the highest given at Reset");
  const int older = mNewest[static_cast<std::size_t>(count)];
  mOlder[static_cast<std::size_t>(row)] = older;
  mNewer[static_cast<std::size_t>(row)] = kNone;
  if (older != kNone) mNewer[static_cast<std::size_t>(older)] = row;
  mNewest[static_cast<std::size_t>(count)] = row;
  mCountOf[static_cast<std::size_t>(row)] = count;
  if (count < mLowest) mLowest = count;  // no count below mLowest holds a row
}

void ShortestRowQueue::Remove(int row) {
  assert(Holds(row) && "Remove of a row not held");
  const int older = mOlder[static_cast<std::size_t>(row)];
  const int newer = mNewer[static_cast<std::size_t>(row)];
  if (older != kNone) mNewer[static_cast<std::size_t>(older)] = newer;
  if (newer != kNone)
    mOlder[static_cast<std::size_t>(newer)] = older;
  else
    mNewest[static_cast<std::size_t>(mCountOf[static_cast<std::size_t>(row)])] = older;
  mCountOf[static_cast<std::size_t>(row)] = kNone;
}

int ShortestRowQueue::Shortest() {
  const int counts = static_cast<int>(mNewest.size());
  while (mLowest < counts && mNewest[static_cast<std::size_t>(mLowest)] == kNone) ++mLowest;
  return mLowest < counts ? mNewest[static_cast<std::size_t>(mLowest)] : kNone;
}
