// ZRMUtVector<T>: growable array with checked indexed access and tracked iterators.
//
// Layout: pointer to the first element, pointer past the last element, pointer past the
// reserved capacity, then the register of live iterators. An empty vector that never held
// anything has three null pointers.
//
// Growth rule, for a needed element count: a vector with no capacity gets capacity 1;
// otherwise, when the capacity is below the needed count, it becomes the larger of
// capacity + capacity / 2 and the needed count; otherwise it stays. Appending one at a time to
// an empty vector thus gives capacities 1, 2, 3, 4, 6, 9, 13, 19, ...
//
// Iterator invalidation, per operation (a detached iterator has no element: using it raises
// InvalidIterator):
//   PushBack (copying or moving):
//                    when it reallocates, every iterator on the vector's storage (the end
//                    included) is detached; otherwise none.
//   Reserve:         when the capacity changes, as a reallocating PushBack; otherwise none.
//   Resize(n) down:  the iterators at index n and beyond (the end included) are detached.
//   Resize(n) up:    always reallocates: every iterator on the storage is detached.
//   Clear, assignment, move from, destruction:
//                    every iterator on the storage is detached.
//   operator[], Back, Size, Capacity, Begin, End: none.
//
// Errors (ZRMUtError, raised from "ZRMUtilities/ProtectedInterfaces/ZRMUtVector"):
//   0x80000000 IndexOutOfRange  operator[] / Back with an index not below Size (line 385
//                               mutable, 395 read-only); an iterator stepped back (operator-,
//                               -=, --, whatever the sign of the count) to a place outside
//                               [first element, end), so End() - 0 and Begin() - (-Size())
//                               included, or, our choice, stepped forward (operator+, +=, ++)
//                               outside [first element, end] (line 269); our choice: a negative
//                               count given to Reserve or Resize (line 385).
//   0x80000001 InvalidIterator  an iterator without vector, with no element, or past the end,
//                               dereferenced or stepped (line 307); this check comes first.
// A failing operation leaves the contents unchanged; out of memory is std::bad_alloc.
//
// Our choice: elements are moved instead of copied into a new block when their move
// constructor cannot throw (a vector of vectors then moves the inner vectors' storage), and
// trivially copyable elements grow in place where the heap allows (see kGrowsInPlace).
#ifndef ZRMUtVector_h
#define ZRMUtVector_h

#include "ZRMUtError.h"
#include "ZRMUtIteratorTracker.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

template <class T>
class ZRMUtVector {
public:
  class IteratorBase;
  template <bool IsConst>
  class BasicIterator;
  // Iterator with write access to the elements.
  using Iterator = BasicIterator<false>;
  // Iterator with read-only access to the elements.
  using ConstIterator = BasicIterator<true>;

  // An empty vector without storage.
  ZRMUtVector() noexcept = default;
  // Starts from the growth rule for other's size, then appends other's elements in order.
  ZRMUtVector(const ZRMUtVector& other);
  // Takes other's storage; other is left empty and its iterators on that storage detached.
  ZRMUtVector(ZRMUtVector&& other) noexcept;
  // Becomes a copy of other (self-assignment does nothing); on failure unchanged.
  ZRMUtVector& operator=(const ZRMUtVector& other);
  // Frees this vector's storage and takes other's; other is left empty and its iterators on
  // that storage detached (self-assignment does nothing).
  ZRMUtVector& operator=(ZRMUtVector&& other) noexcept;
  // Detaches every iterator, destroys the elements and frees the storage.
  ~ZRMUtVector() { ReleaseStorage(); }
  // Our choice, beside the growth rule: an empty vector whose storage holds exactly capacity
  // elements (no storage for 0), for callers that know the final size. A negative capacity
  // raises IndexOutOfRange (line 385).
  static ZRMUtVector WithCapacity(int capacity);

  // Appends a copy of value (which may be an element of this vector).
  void PushBack(const T& value) {
    if (mLast == mEnd) {
      Reallocate(GrownCapacity(static_cast<std::size_t>(Size()) + 1), &value, false);
      return;
    }
    ::new (static_cast<void*>(mLast)) T(value);
    ++mLast;
  }
  // Appends value by moving it (it may be an element of this vector). When the growth fails,
  // the contents are unchanged but value may have been moved from.
  void PushBack(T&& value) {
    if (mLast == mEnd) {
      Reallocate(GrownCapacity(static_cast<std::size_t>(Size()) + 1), &value, true);
      return;
    }
    ::new (static_cast<void*>(mLast)) T(std::move(value));
    ++mLast;
  }
  // Makes room for count more elements by the growth rule.
  void Reserve(int count);
  // Shrinks to count elements, or grows to count by appending copies of fill.
  void Resize(int count, const T& fill = T());

  // Element at index (raises IndexOutOfRange unless 0 <= index < Size()).
  T& operator[](int index) {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(Size())) Raise(ZRMUtError::IndexOutOfRange, 385);
    return mFirst[index];
  }
  // Read-only element at index (raises IndexOutOfRange unless 0 <= index < Size()).
  const T& operator[](int index) const {
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(Size())) Raise(ZRMUtError::IndexOutOfRange, 395);
    return mFirst[index];
  }
  // The last element (raises IndexOutOfRange, as operator[], when empty).
  T& Back() { return (*this)[Size() - 1]; }
  const T& Back() const { return (*this)[Size() - 1]; }

  // The number of elements.
  int Size() const noexcept { return static_cast<int>(mLast - mFirst); }
  // The number of elements the storage holds.
  int Capacity() const noexcept { return static_cast<int>(mEnd - mFirst); }
  // Size() == 0.
  bool IsEmpty() const noexcept { return mLast == mFirst; }
  // Destroys every element; the storage stays allocated.
  void Clear() noexcept;

  // An iterator on the first element (on nothing, as good as detached, without storage).
  Iterator Begin() noexcept { return Iterator(this, mFirst); }
  ConstIterator Begin() const noexcept { return ConstIterator(this, mFirst); }
  // An iterator past the last element (on nothing, as good as detached, without storage).
  Iterator End() noexcept { return Iterator(this, mLast); }
  ConstIterator End() const noexcept { return ConstIterator(this, mLast); }

  // Null when the vector is sound (pointer order, iterator register, every registered
  // iterator on this vector's elements or end); otherwise a description of the first fault.
  const char* FindInvariantViolation() const;
  // FindInvariantViolation() == nullptr.
  bool CheckInvariants() const { return FindInvariantViolation() == nullptr; }

private:
  [[noreturn]] static void Raise(ZRMUtError::ValidErrors_e code, int line) {
    ZRMUtRaise(code, "ZRMUtilities/ProtectedInterfaces/ZRMUtVector", line);
  }
  // Capacity the growth rule gives for needed elements (capped to what Size can count).
  std::size_t GrownCapacity(std::size_t needed) const noexcept;
  // Our choice: trivially copyable elements of ordinary alignment live in a malloc block that
  // grows with realloc (in place when the heap allows, else by a byte copy); other elements in
  // std::allocator blocks, moved or copied element by element.
  static constexpr bool kGrowsInPlace = std::is_trivially_copyable_v<T> && alignof(T) <= alignof(std::max_align_t);

  // Moves the elements into a new block of capacity elements, placing *appended after them
  // (moved from when moveAppended, else copied) when appended is not null; detaches the
  // iterators on the old block.
  void Reallocate(std::size_t capacity, const T* appended, bool moveAppended);
  // Reallocate for kGrowsInPlace elements. When memory runs out the elements stay, but the
  // iterators have been detached.
  void GrowInPlace(std::size_t capacity, const T* appended);
  // Detaches the registered iterators whose element lies in [from, capacity end].
  void DetachFrom(const T* from) noexcept;
  // Destroys the elements from from to the end, in order; the end becomes from.
  void DestroyFrom(T* from) noexcept;
  // Clear, then free the storage: back to three null pointers.
  void ReleaseStorage() noexcept;
  // Takes other's storage (this holds none); other's iterators on it are detached.
  void TakeStorage(ZRMUtVector& other) noexcept;

  T* mFirst = nullptr;
  T* mLast = nullptr;
  T* mEnd = nullptr;
  mutable ZRMUtIteratorTracker mTracker;  // const vectors hand out iterators too
};

// Owner and element shared by both iterator forms. A registered iterator's element is null
// (empty vector) or lies in [first element, end] of its vector.
template <class T>
class ZRMUtVector<T>::IteratorBase : public ZRMUtTrackedIterator {
public:
  // Detaches the iterator: no vector, no element.
  void ReleaseContainer() noexcept override {
    mVector = nullptr;
    mElement = nullptr;
  }

protected:
  IteratorBase() noexcept = default;
  // On element of vector, registered with it.
  IteratorBase(const ZRMUtVector* vector, T* element) noexcept : mVector(vector), mElement(element) {
    vector->mTracker.AddIterator(this);
  }
  // At other's place, registered with the same register as other (none when other is detached).
  IteratorBase(const IteratorBase& other) noexcept
      : ZRMUtTrackedIterator(), mVector(other.mVector), mElement(other.mElement) {
    if (other.GetTracker() != nullptr) other.GetTracker()->AddIterator(this);
  }
  // Takes other's place, leaving or joining registers to match.
  IteratorBase& operator=(const IteratorBase& other) noexcept {
    mVector = other.mVector;
    mElement = other.mElement;
    if (other.GetTracker() != nullptr)
      other.GetTracker()->AddIterator(this);
    else if (GetTracker() != nullptr)
      GetTracker()->RemoveIterator(this);
    return *this;
  }
  ~IteratorBase() override = default;

  // The element under the iterator (raises InvalidIterator when invalid or at the end).
  T* CheckedElement() const {
    if (mVector == nullptr || mElement == nullptr || mElement >= mVector->mLast)
      Raise(ZRMUtError::InvalidIterator, 307);
    return mElement;
  }
  // Moves by offset elements. The target must lie in [first element, end], and a step back
  // (back: operator-, -=, --) must land before the end: in [first element, end).
  void Step(std::ptrdiff_t offset, bool back) {
    if (mVector == nullptr || mElement == nullptr || mElement > mVector->mLast) Raise(ZRMUtError::InvalidIterator, 307);
    const std::ptrdiff_t index = (mElement - mVector->mFirst) + offset;
    const std::ptrdiff_t size = mVector->mLast - mVector->mFirst;
    if (index < 0 || index > size || (back && index == size)) Raise(ZRMUtError::IndexOutOfRange, 269);
    mElement = mVector->mFirst + index;
  }
  // Same vector and same element.
  bool SamePosition(const IteratorBase& other) const noexcept {
    return mVector == other.mVector && mElement == other.mElement;
  }

private:
  friend class ZRMUtVector;

  // Mutable: the vector detaches const iterator objects too.
  mutable const ZRMUtVector* mVector = nullptr;
  mutable T* mElement = nullptr;
};

// Random-access-style iterator; IsConst gives read-only access.
template <class T>
template <bool IsConst>
class ZRMUtVector<T>::BasicIterator : public ZRMUtVector<T>::IteratorBase {
public:
  // The element as the dereference gives it: read-only when IsConst.
  using Reference = std::conditional_t<IsConst, const T&, T&>;
  // The element's address as operator-> gives it: read-only when IsConst.
  using Pointer = std::conditional_t<IsConst, const T*, T*>;

  // An iterator bound to no vector.
  BasicIterator() noexcept = default;
  // At other's place, registered as other is.
  BasicIterator(const BasicIterator&) noexcept = default;
  // Takes other's place.
  BasicIterator& operator=(const BasicIterator&) noexcept = default;
  ~BasicIterator() override = default;
  // A read-only iterator from a mutable one.
  template <bool OtherConst, class = std::enable_if_t<IsConst && !OtherConst>>
  BasicIterator(const BasicIterator<OtherConst>& other) noexcept
      : IteratorBase(other) {}  // NOLINT: implicit on purpose

  // The element (raises InvalidIterator when invalid or at the end).
  Reference operator*() const { return *this->CheckedElement(); }
  // The element's address (raises InvalidIterator when invalid or at the end).
  Pointer operator->() const { return this->CheckedElement(); }

  // Steps forward by one, as += 1.
  BasicIterator& operator++() { return *this += 1; }
  // Steps back by one, as -= 1.
  BasicIterator& operator--() { return *this -= 1; }
  // Steps forward by one and returns the place before.
  BasicIterator operator++(int) {
    BasicIterator before(*this);
    *this += 1;
    return before;
  }
  // Steps back by one and returns the place before.
  BasicIterator operator--(int) {
    BasicIterator before(*this);
    *this -= 1;
    return before;
  }
  // Steps forward by count (raises as described in the header's error list).
  BasicIterator& operator+=(int count) {
    this->Step(count, false);
    return *this;
  }
  // Steps back by count (raises as described in the header's error list).
  BasicIterator& operator-=(int count) {
    this->Step(-static_cast<std::ptrdiff_t>(count), true);
    return *this;
  }
  // A copy stepped forward by count.
  BasicIterator operator+(int count) const {
    BasicIterator moved(*this);
    return moved += count;
  }
  // A copy stepped back by count.
  BasicIterator operator-(int count) const {
    BasicIterator moved(*this);
    return moved -= count;
  }

  // Same vector and same element.
  template <bool OtherConst>
  bool operator==(const BasicIterator<OtherConst>& other) const noexcept {
    return this->SamePosition(other);
  }
  // The negation of operator==.
  template <bool OtherConst>
  bool operator!=(const BasicIterator<OtherConst>& other) const noexcept {
    return !this->SamePosition(other);
  }

private:
  friend class ZRMUtVector;
  BasicIterator(const ZRMUtVector* vector, T* element) noexcept : IteratorBase(vector, element) {}
};

// ---------------------------------------------------------------------------------------------

template <class T>
ZRMUtVector<T>::ZRMUtVector(const ZRMUtVector& other) {
  try {
    Reallocate(GrownCapacity(static_cast<std::size_t>(other.Size())), nullptr, false);
    for (const T* element = other.mFirst; element != other.mLast; ++element) PushBack(*element);
  } catch (...) {
    ReleaseStorage();
    throw;
  }
}

template <class T>
ZRMUtVector<T>::ZRMUtVector(ZRMUtVector&& other) noexcept {
  TakeStorage(other);
}

template <class T>
ZRMUtVector<T>& ZRMUtVector<T>::operator=(const ZRMUtVector& other) {
  if (this != &other) {
    ZRMUtVector copy(other);
    ReleaseStorage();
    TakeStorage(copy);
  }
  return *this;
}

template <class T>
ZRMUtVector<T>& ZRMUtVector<T>::operator=(ZRMUtVector&& other) noexcept {
  if (this != &other) {
    ReleaseStorage();
    TakeStorage(other);
  }
  return *this;
}

template <class T>
ZRMUtVector<T> ZRMUtVector<T>::WithCapacity(int capacity) {
  if (capacity < 0) Raise(ZRMUtError::IndexOutOfRange, 385);
  ZRMUtVector vector;
  if (capacity > 0) vector.Reallocate(static_cast<std::size_t>(capacity), nullptr, false);
  return vector;
}

template <class T>
void ZRMUtVector<T>::Reserve(int count) {
  if (count < 0) Raise(ZRMUtError::IndexOutOfRange, 385);
  const std::size_t capacity = GrownCapacity(static_cast<std::size_t>(Size()) + static_cast<std::size_t>(count));
  if (capacity != static_cast<std::size_t>(Capacity())) Reallocate(capacity, nullptr, false);
}

template <class T>
void ZRMUtVector<T>::Resize(int count, const T& fill) {
  if (count < 0) Raise(ZRMUtError::IndexOutOfRange, 385);
  const int size = Size();
  if (count < size) {
    DetachFrom(mFirst + count);
    DestroyFrom(mFirst + count);
    return;
  }
  if (count == size) return;
  const T value(fill);  // fill may be one of the elements about to move
  Reallocate(GrownCapacity(static_cast<std::size_t>(count)), nullptr, false);
  try {
    while (Size() < count) PushBack(value);
  } catch (...) {
    DestroyFrom(mFirst + size);  // contents back as they were
    throw;
  }
}

template <class T>
void ZRMUtVector<T>::Clear() noexcept {
  DetachFrom(mFirst);
  DestroyFrom(mFirst);
}

template <class T>
std::size_t ZRMUtVector<T>::GrownCapacity(std::size_t needed) const noexcept {
  const std::size_t capacity = static_cast<std::size_t>(Capacity());
  if (capacity == 0) return 1;
  if (capacity >= needed) return capacity;
  const std::size_t grown = capacity + capacity / 2;
  const std::size_t wanted = grown > needed ? grown : needed;
  return wanted < static_cast<std::size_t>(INT_MAX) ? wanted : static_cast<std::size_t>(INT_MAX);
}

template <class T>
void ZRMUtVector<T>::Reallocate(std::size_t capacity, const T* appended, bool moveAppended) {
  const std::size_t size = static_cast<std::size_t>(Size());
  if (capacity < size + (appended != nullptr ? 1 : 0) || capacity > PTRDIFF_MAX / sizeof(T))
    throw std::bad_alloc();  // beyond what Size can count
  if constexpr (kGrowsInPlace) {
    GrowInPlace(capacity, appended);
    return;
  }
  std::allocator<T> allocator;
  T* block = allocator.allocate(capacity);
  T* built = block;
  bool appendedBuilt = false;
  try {
    if (appended != nullptr) {
      if (moveAppended)
        ::new (static_cast<void*>(block + size)) T(std::move(*const_cast<T*>(appended)));
      else
        ::new (static_cast<void*>(block + size)) T(*appended);
      appendedBuilt = true;
    }
    for (T* element = mFirst; element != mLast; ++element, ++built)
      ::new (static_cast<void*>(built)) T(std::move_if_noexcept(*element));
  } catch (...) {
    for (T* element = block; element != built; ++element) element->~T();
    if (appendedBuilt) block[size].~T();
    allocator.deallocate(block, capacity);
    throw;
  }
  ReleaseStorage();
  mFirst = block;
  mLast = block + size + (appendedBuilt ? 1 : 0);
  mEnd = block + capacity;
}

template <class T>
void ZRMUtVector<T>::GrowInPlace(std::size_t capacity, const T* appended) {
  const std::size_t size = static_cast<std::size_t>(Size());
  alignas(T) unsigned char saved[sizeof(T)] = {};  // appended may lie in the block that moves
  if (appended != nullptr) std::memcpy(saved, static_cast<const void*>(appended), sizeof(T));
  DetachFrom(mFirst);  // before the old block may go
  // The static analyzer loses the block once it is stored in mFirst and takes it for leaked here.
  // NOLINTNEXTLINE(clang-analyzer-unix.Malloc)
  void* block = std::realloc(static_cast<void*>(mFirst), capacity * sizeof(T));
  if (block == nullptr) throw std::bad_alloc();  // the old block and the elements stay
  mFirst = static_cast<T*>(block);
  mLast = mFirst + size;
  mEnd = mFirst + capacity;
  if (appended != nullptr) {
    std::memcpy(static_cast<void*>(mLast), saved, sizeof(T));
    ++mLast;
  }
}

template <class T>
void ZRMUtVector<T>::DetachFrom(const T* from) noexcept {
  if (mFirst == nullptr) return;  // no storage: no iterator stands on an element
  for (ZRMUtTrackedIterator* tracked = mTracker.FirstIter(); tracked != nullptr;) {
    ZRMUtTrackedIterator* next = mTracker.NextIter(tracked);
    IteratorBase* iterator = static_cast<IteratorBase*>(tracked);
    if (iterator->mElement != nullptr && iterator->mElement >= from && iterator->mElement <= mEnd) {
      mTracker.RemoveIterator(iterator);
      iterator->mElement = nullptr;
    }
    tracked = next;
  }
}

template <class T>
void ZRMUtVector<T>::DestroyFrom(T* from) noexcept {
  for (T* element = from; element != mLast; ++element) element->~T();
  mLast = from;
}

template <class T>
void ZRMUtVector<T>::ReleaseStorage() noexcept {
  if (mFirst == nullptr) return;
  Clear();
  if constexpr (kGrowsInPlace)
    std::free(static_cast<void*>(mFirst));
  else
    std::allocator<T>().deallocate(mFirst, static_cast<std::size_t>(mEnd - mFirst));
  mFirst = mLast = mEnd = nullptr;
}

template <class T>
void ZRMUtVector<T>::TakeStorage(ZRMUtVector& other) noexcept {
  other.DetachFrom(other.mFirst);
  mFirst = other.mFirst;
  mLast = other.mLast;
  mEnd = other.mEnd;
  other.mFirst = other.mLast = other.mEnd = nullptr;
}

template <class T>
const char* ZRMUtVector<T>::FindInvariantViolation() const {
  if (mFirst == nullptr && (mLast != nullptr || mEnd != nullptr)) return "storage pointers without storage";
  if (mFirst != nullptr && (mLast < mFirst || mEnd < mLast || mEnd == mFirst)) return "storage pointers out of order";
  if (!mTracker.CheckInvariants()) return "iterator register is inconsistent";
  for (const ZRMUtTrackedIterator* tracked = mTracker.FirstIter(); tracked != nullptr;
       tracked = mTracker.NextIter(tracked)) {
    const IteratorBase* iterator = static_cast<const IteratorBase*>(tracked);
    if (iterator->mVector != this) return "registered iterator of another vector";
    if (iterator->mElement != nullptr && (iterator->mElement < mFirst || iterator->mElement > mLast))
      return "registered iterator outside the elements";
  }
  return nullptr;
}

#endif
