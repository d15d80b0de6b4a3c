// ZRMUtPair: a record of two public fields, first and second, in this order.
#ifndef ZRMUtPair_h
#define ZRMUtPair_h

#include <utility>

template <class A, class B>
struct ZRMUtPair {
  A first;   // the first field (the key, in a map's items)
  B second;  // the second field (the value, in a map's items)

  // Both fields value-initialised (zero for scalars).
  ZRMUtPair() : first(), second() {}
  // The pair (a, b).
  ZRMUtPair(const A& a, const B& b) : first(a), second(b) {}
  // The pair of other's fields, each converted to its field's type.
  template <class C, class D>
  ZRMUtPair(const ZRMUtPair<C, D>& other) : first(other.first), second(other.second) {}
};

// Field-wise equality (plain ==, so a NaN field makes two pairs unequal; ordering in the
// containers goes through ZRMUtLess instead).
template <class A, class B>
bool operator==(const ZRMUtPair<A, B>& a, const ZRMUtPair<A, B>& b) {
  return a.first == b.first && a.second == b.second;
}

// The negation of operator==.
template <class A, class B>
bool operator!=(const ZRMUtPair<A, B>& a, const ZRMUtPair<A, B>& b) {
  return !(a == b);
}

// The pair (a, b).
template <class A, class B>
ZRMUtPair<A, B> ZRMUtMakePair(const A& a, const B& b) {
  return ZRMUtPair<A, B>(a, b);
}

#endif
