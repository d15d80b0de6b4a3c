// KRNRawColl<T>: the growable raw collection behind KRNRawColldouble and KRNRawCollint.
//
// Elements are indexed from 1 to Size(). operator[] with an index outside that range raises
// ZRMUtError::IndexOutOfRange (file: the collection's class name, line 0) and touches nothing.
#ifndef KRNRawColl_h
#define KRNRawColl_h

#include "ZRMUtError.h"

#include <cstddef>
#include <vector>

template <class T>
class KRNRawColl {
public:
  // Number of elements.
  int Size() const { return static_cast<int>(mItems.size()); }
  // Adds value at the end, as element Size() + 1.
  void Append(T value) { mItems.push_back(value); }
  // Removes every element.
  void RemoveAll() { mItems.clear(); }

  T& operator[](int index) { return mItems[Position(index)]; }
  const T& operator[](int index) const { return mItems[Position(index)]; }

protected:
  explicit KRNRawColl(const char* className) : mClassName(className) {}

private:
  // 0-based position of the 1-based index; raises when it is outside 1 .. Size().
  std::size_t Position(int index) const {
    if (index < 1 || index > Size()) ZRMUtRaise(ZRMUtError::IndexOutOfRange, mClassName, 0);
    return static_cast<std::size_t>(index - 1);
  }

  const char* mClassName;
  std::vector<T> mItems;
};

#endif
