// ZRMUtSet<K, Less>: ordered set of unique keys.
//
// Keys are visited in ascending order under Less (ZRMUtLess<K> by default: scalars by <, pairs
// lexicographically). Keys cannot be changed in place: both iterator forms give read-only
// access. Iterators are tracked; see ZRMUtTree.h for the invalidation rules of every
// operation and the errors raised.
#ifndef ZRMUtSet_h
#define ZRMUtSet_h

#include "ZRMUtLess.h"
#include "ZRMUtTree.h"

#include <memory>

template <class K, class Less = ZRMUtLess<K>>
class ZRMUtSet : public ZRMUtTree<K> {
  using Base = ZRMUtTree<K>;
  using Block = typename Base::Block;

public:
  //@{
  // The key and item type, and the iterators: both read-only (see ZRMUtTree).
  using Key = K;
  using Item = K;
  using Iterator = typename Base::ConstIterator;
  using ConstIterator = typename Base::ConstIterator;
  //@}

  // An empty set.
  ZRMUtSet() : Base(&ZRMUtCompareKeys<K, Less>) {}
  // A set of copies of other's keys (other's iterators are untouched).
  ZRMUtSet(const ZRMUtSet& other) : Base(&ZRMUtCompareKeys<K, Less>) { this->CopyItemsFrom(other, &KeyOf); }
  // Replaces the contents by copies of other's (all iterators on elements are detached);
  // self-assignment does nothing. On failure the set is unchanged.
  ZRMUtSet& operator=(const ZRMUtSet& other) {
    this->AssignFrom(other, &KeyOf);
    return *this;
  }
  ~ZRMUtSet() override = default;

  // An iterator on the smallest key (equal to End when empty).
  ConstIterator Begin() const { return this->template BeginOf<true>(); }
  // A copy of the set's end iterator, which stands on no key.
  ConstIterator End() const { return Base::End(); }
  // An iterator on key, or End when absent.
  ConstIterator Find(const K& key) const { return this->template FindKey<true>(&key); }
  // 1 when the key is present, else 0.
  int Count(const K& key) const { return this->LookForItem(&key) != nullptr ? 1 : 0; }
  // The first key not below key, or End.
  ConstIterator LowerBound(const K& key) const { return this->template LowerBoundOf<true>(&key); }
  // The first key above key, or End.
  ConstIterator UpperBound(const K& key) const { return this->template UpperBoundOf<true>(&key); }

  // Inserts key when absent; true when it inserted. No iterator is invalidated.
  bool Insert(const K& key) {
    bool inserted = false;
    this->LookUpOrInsert(
        &key, [&key] { return std::unique_ptr<Block>(new Block(&KeyOf, key)); }, inserted);
    return inserted;
  }
  // Removes key; false (and no change) when absent.
  bool Erase(const K& key) { return this->EraseKey(&key); }
  // Removes the key under position (raises InvalidIterator when it is detached, at the end or
  // of another container).
  void Erase(const typename Base::IteratorBase& position) { this->EraseAt(position); }

private:
  static void* KeyOf(K& item) { return std::addressof(item); }
};

#endif
