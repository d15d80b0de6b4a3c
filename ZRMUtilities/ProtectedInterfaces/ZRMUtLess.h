// ZRMUtLess: the ordering functor of the tree containers.
//
// Compare(a, b) is the three-way order the containers hand to the balanced tree: -1 when
// a < b, 1 when b < a, else 0. A value that is unordered with the other (a NaN double)
// therefore compares equal to it. Pairs order lexicographically: first fields, then second
// fields, each with its own ZRMUtLess; (1, 5) comes before (2, -1).
#ifndef ZRMUtLess_h
#define ZRMUtLess_h

#include "ZRMUtPair.h"

template <class T>
struct ZRMUtLess {
  // -1 when a < b, 1 when b < a, else 0.
  static int Compare(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }
  // Compare(a, b) < 0.
  bool operator()(const T& a, const T& b) const { return Compare(a, b) < 0; }
};

// The lexicographic order of pairs.
template <class A, class B>
struct ZRMUtLess<ZRMUtPair<A, B>> {
  // The first fields' Compare, or the second fields' when the first fields compare equal.
  static int Compare(const ZRMUtPair<A, B>& a, const ZRMUtPair<A, B>& b) {
    const int first = ZRMUtLess<A>::Compare(a.first, b.first);
    return first != 0 ? first : ZRMUtLess<B>::Compare(a.second, b.second);
  }
  // Compare(a, b) < 0.
  bool operator()(const ZRMUtPair<A, B>& a, const ZRMUtPair<A, B>& b) const { return Compare(a, b) < 0; }
};

// Three-way compare of two keys built from any strict-order functor Less.
template <class K, class Less>
int ZRMUtCompareKeys(const void* a, const void* b) {
  const K& x = *static_cast<const K*>(a);
  const K& y = *static_cast<const K*>(b);
  const Less less;
  return less(x, y) ? -1 : (less(y, x) ? 1 : 0);
}

#endif
