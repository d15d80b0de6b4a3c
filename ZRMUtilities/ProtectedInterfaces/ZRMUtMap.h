// ZRMUtMap<K, V, Less>: ordered map from unique keys to values.
//
// Items are ZRMUtPair<K, V> (first: key, second: value), visited in ascending key order under
// Less (ZRMUtLess<K> by default: scalars by <, pairs lexicographically). Iterators are tracked;
// see ZRMUtTree.h for the invalidation rules of every operation and the errors raised.
// Do not change an item's key (first) through an iterator: the order rests on it.
//
//   ZRMUtMap<int, double> coefficients;
//   coefficients[7] += 2.0;                       // inserts (7, 0.0) first
//   for (auto it = coefficients.Begin(); it != coefficients.End(); ++it) use(it->first, it->second);
//
// K must be default-constructible and copyable, V default-constructible and copyable.
#ifndef ZRMUtMap_h
#define ZRMUtMap_h

#include "ZRMUtLess.h"
#include "ZRMUtPair.h"
#include "ZRMUtTree.h"

#include <memory>

template <class K, class V, class Less = ZRMUtLess<K>>
class ZRMUtMap : public ZRMUtTree<ZRMUtPair<K, V>> {
  using Base = ZRMUtTree<ZRMUtPair<K, V>>;
  using Block = typename Base::Block;

public:
  //@{
  // The key, value and item types, and the iterators (see ZRMUtTree).
  using Key = K;
  using Value = V;
  using Item = ZRMUtPair<K, V>;
  using Iterator = typename Base::Iterator;
  using ConstIterator = typename Base::ConstIterator;
  //@}

  // An empty map.
  ZRMUtMap() : Base(&ZRMUtCompareKeys<K, Less>) {}
  // A map of copies of other's items (other's iterators are untouched).
  ZRMUtMap(const ZRMUtMap& other) : Base(&ZRMUtCompareKeys<K, Less>) { this->CopyItemsFrom(other, &KeyOf); }
  // Replaces the contents by copies of other's (all iterators on elements are detached);
  // self-assignment does nothing. On failure the map is unchanged.
  ZRMUtMap& operator=(const ZRMUtMap& other) {
    this->AssignFrom(other, &KeyOf);
    return *this;
  }
  ~ZRMUtMap() override = default;

  // An iterator on the item with this key, or End when absent.
  Iterator Find(const K& key) { return this->template FindKey<false>(&key); }
  ConstIterator Find(const K& key) const { return this->template FindKey<true>(&key); }
  // 1 when the key is present, else 0.
  int Count(const K& key) const { return this->LookForItem(&key) != nullptr ? 1 : 0; }
  // The first item whose key is not below key, or End.
  Iterator LowerBound(const K& key) { return this->template LowerBoundOf<false>(&key); }
  ConstIterator LowerBound(const K& key) const { return this->template LowerBoundOf<true>(&key); }
  // The first item whose key is above key, or End.
  Iterator UpperBound(const K& key) { return this->template UpperBoundOf<false>(&key); }
  ConstIterator UpperBound(const K& key) const { return this->template UpperBoundOf<true>(&key); }

  // The value under key; inserts (key, V()) first when absent. One descent of the tree; it
  // allocates only to insert.
  V& operator[](const K& key) { return ValueOf(key, false); }
  // As operator[], for filling a map in ascending key order: when key orders after every key
  // present, one comparison with the last key replaces the descent.
  V& InsertOrGetAtEnd(const K& key) { return ValueOf(key, true); }
  // Inserts (key, value) when key is absent; true when it inserted.
  bool Insert(const K& key, const V& value) {
    bool inserted = false;
    this->LookUpOrInsert(
        &key, [&] { return std::unique_ptr<Block>(new Block(&KeyOf, key, value)); }, inserted);
    return inserted;
  }

  // Removes the item with this key; false (and no change) when absent.
  bool Erase(const K& key) { return this->EraseKey(&key); }
  // Removes the item under position (raises InvalidIterator when it is detached, at the end or
  // of another container).
  void Erase(const typename Base::IteratorBase& position) { this->EraseAt(position); }

private:
  static void* KeyOf(Item& item) { return std::addressof(item.first); }
  // The value under key, inserting (key, V()) when absent; fromEnd as in LookUpOrInsert.
  V& ValueOf(const K& key, bool fromEnd) {
    bool inserted = false;
    return this
        ->LookUpOrInsert(
            &key,
            [&key] {
              std::unique_ptr<Block> block(new Block(&KeyOf));  // (K(), V()) built in place, then the key
              block->mItem.first = key;
              return block;
            },
            inserted, fromEnd)
        .second;
  }
};

#endif
