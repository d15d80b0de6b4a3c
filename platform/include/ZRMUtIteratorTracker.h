// ZRMUtIteratorTracker: register of a container's live iterators.
//
// Each registered iterator derives from ZRMUtTrackedIterator, whose links make the register an
// intrusive doubly linked list: adding and removing are O(1) and allocate nothing. A container
// walks its register to detach the iterators that an operation invalidates:
//
//   for (ZRMUtTrackedIterator* it = tracker.FirstIter(); it != nullptr;) {
//     ZRMUtTrackedIterator* next = tracker.NextIter(it);  // fetch before removing
//     if (...) { tracker.RemoveIterator(it); it->ReleaseContainer(); }
//     it = next;
//   }
//
// An iterator leaves its register when destroyed. A register destroyed while iterators are
// still in it releases them (ReleaseContainer) and empties itself.
#ifndef ZRMUtIteratorTracker_h
#define ZRMUtIteratorTracker_h

#include "KRNPlatformExport.h"

class ZRMUtIteratorTracker;

// Polymorphic base of every registered iterator.
class KRN_API ZRMUtTrackedIterator {
public:
  ZRMUtTrackedIterator() noexcept = default;
  // Registration belongs to an iterator object, not to its value: copies start unregistered
  // and assignment keeps the target's registration.
  ZRMUtTrackedIterator(const ZRMUtTrackedIterator&) noexcept {}
  ZRMUtTrackedIterator& operator=(const ZRMUtTrackedIterator&) noexcept { return *this; }
  // Leaves the register the iterator is in.
  virtual ~ZRMUtTrackedIterator();

  // Makes the iterator forget its container; called when the container detaches it or goes
  // away. Afterwards the iterator refers to nothing.
  virtual void ReleaseContainer() noexcept = 0;

  // The register the iterator is in, null when none.
  ZRMUtIteratorTracker* GetTracker() const noexcept { return mTracker; }

private:
  friend class ZRMUtIteratorTracker;

  // Mutable: a container detaches const iterator objects too.
  mutable ZRMUtIteratorTracker* mTracker = nullptr;
  mutable ZRMUtTrackedIterator* mPrevious = nullptr;
  mutable ZRMUtTrackedIterator* mNext = nullptr;
};

class KRN_API ZRMUtIteratorTracker {
public:
  ZRMUtIteratorTracker() noexcept = default;
  ZRMUtIteratorTracker(const ZRMUtIteratorTracker&) = delete;
  ZRMUtIteratorTracker& operator=(const ZRMUtIteratorTracker&) = delete;
  ~ZRMUtIteratorTracker();

  // Registers iterator (first leaving the register it was in, if any).
  void AddIterator(const ZRMUtTrackedIterator* iterator) noexcept {
    if (iterator->mTracker == this) return;
    if (iterator->mTracker != nullptr) iterator->mTracker->RemoveIterator(iterator);
    iterator->mTracker = this;
    iterator->mPrevious = nullptr;
    iterator->mNext = mFirst;
    if (mFirst != nullptr) mFirst->mPrevious = const_cast<ZRMUtTrackedIterator*>(iterator);
    mFirst = const_cast<ZRMUtTrackedIterator*>(iterator);
    ++mCount;
  }

  // Unregisters iterator; nothing happens when it is not in this register.
  void RemoveIterator(const ZRMUtTrackedIterator* iterator) noexcept {
    if (iterator->mTracker != this) return;
    if (iterator->mPrevious != nullptr)
      iterator->mPrevious->mNext = iterator->mNext;
    else
      mFirst = iterator->mNext;
    if (iterator->mNext != nullptr) iterator->mNext->mPrevious = iterator->mPrevious;
    iterator->mTracker = nullptr;
    iterator->mPrevious = iterator->mNext = nullptr;
    --mCount;
  }

  // The most recently registered iterator, null when none.
  ZRMUtTrackedIterator* FirstIter() const noexcept { return mFirst; }
  // The iterator after iterator (which must be in this register), null after the last.
  ZRMUtTrackedIterator* NextIter(const ZRMUtTrackedIterator* iterator) const noexcept { return iterator->mNext; }

  int GetIteratorNumber() const noexcept { return mCount; }

  // Unregisters every iterator and releases each one's container.
  void ReleaseAll() noexcept;

  // True when the links are consistent: each iterator points back to this register and to
  // its neighbours, and the count matches.
  bool CheckInvariants() const noexcept;

private:
  ZRMUtTrackedIterator* mFirst = nullptr;
  int mCount = 0;
};

#endif
