#include "ZRMUtIteratorTracker.h"

ZRMUtTrackedIterator::~ZRMUtTrackedIterator() {
  if (mTracker != nullptr) mTracker->RemoveIterator(this);
}

ZRMUtIteratorTracker::~ZRMUtIteratorTracker() { ReleaseAll(); }

void ZRMUtIteratorTracker::ReleaseAll() noexcept {
  for (ZRMUtTrackedIterator* iterator = mFirst; iterator != nullptr;) {
    ZRMUtTrackedIterator* next = NextIter(iterator);
    RemoveIterator(iterator);
    iterator->ReleaseContainer();
    iterator = next;
  }
}

bool ZRMUtIteratorTracker::CheckInvariants() const noexcept {
  int count = 0;
  const ZRMUtTrackedIterator* previous = nullptr;
  for (const ZRMUtTrackedIterator* iterator = mFirst; iterator != nullptr; iterator = iterator->mNext) {
    if (iterator->mTracker != this || iterator->mPrevious != previous) return false;
    previous = iterator;
    if (++count > mCount) return false;
  }
  return count == mCount;
}
