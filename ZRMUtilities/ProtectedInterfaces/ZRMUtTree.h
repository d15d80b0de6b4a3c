// ZRMUtTree<Item>: common base of the ordered containers ZRMUtMap and ZRMUtSet.
//
// The items sit in a ZRMUtAvlTree in ascending key order. Every iterator is tracked: it is
// registered with its container while it refers to it, and the container detaches it when its
// element goes, so that a stale iterator raises ZRMUtError InvalidIterator (0x80000001,
// reported from "zrmutilities/protectedinterfaces/ZRMUtTree", line 182) instead of reading
// freed memory.
//
// Iterator invalidation, per operation:
//   Begin, End, Find, Count, LowerBound, UpperBound, operator[] of a present key, ForEach,
//   Size:           none.
//   operator[] / InsertOrGetAtEnd of an absent key, Insert: none (no existing item moves).
//   Erase:          the iterators on the erased element are detached; all others stay valid.
//   Clear, assignment (from another container):
//                   every iterator on an element is detached; end iterators stay valid.
//   destruction:    every iterator is detached.
// A detached iterator refers to nothing: dereferencing or advancing it raises
// InvalidIterator, and so does dereferencing or advancing an end iterator. Copying it gives
// another detached iterator; assigning a live iterator to it revives it.
//
// Our choice of storage: each element is one heap block holding the tree node and the item
// together (one allocation per element). The tree compares keys, not items: for a map the
// node's item pointer is the address of the key field, so a lookup needs only the key and
// never builds a value.
#ifndef ZRMUtTree_h
#define ZRMUtTree_h

#include "ZRMUtAvlTree.h"
#include "ZRMUtError.h"
#include "ZRMUtIteratorTracker.h"

#include <memory>
#include <type_traits>
#include <utility>

template <class Item>
class ZRMUtTree {
protected:
  // Address of the key inside an item: what the tree's compare function receives.
  using KeyOfFunction = void* (*)(Item&);

  // One element: the tree node and the item in a single allocation.
  struct Block : ZRMUtAvlTreeNode {
    // The item built from args; the node's item pointer is keyOf of it.
    template <class... Args>
    explicit Block(KeyOfFunction keyOf, Args&&... args) : mItem(std::forward<Args>(args)...) {
      SetItem(keyOf(mItem));
    }
    Item mItem;  // the element
  };

public:
  class IteratorBase;
  template <bool IsConst>
  class BasicIterator;
  // Iterator with write access to the elements.
  using Iterator = BasicIterator<false>;
  // Iterator with read-only access to the elements.
  using ConstIterator = BasicIterator<true>;

  ZRMUtTree(const ZRMUtTree&) = delete;
  ZRMUtTree& operator=(const ZRMUtTree&) = delete;
  // Detaches every iterator, destroys every item, then the end iterators.
  virtual ~ZRMUtTree();

  // An iterator on the smallest element (equal to End when empty).
  Iterator Begin() { return BeginOf<false>(); }
  // A read-only iterator on the smallest element (equal to End when empty).
  ConstIterator Begin() const { return BeginOf<true>(); }
  // A copy of the container's end iterator, which stands on no element.
  Iterator End() { return *mEnd; }
  // A copy of the container's read-only end iterator, which stands on no element.
  ConstIterator End() const { return *mConstEnd; }

  // Calls visit(item) for every element in ascending key order without building an iterator
  // (nothing is registered). visit must not insert or erase elements.
  template <class Visit>
  void ForEach(Visit visit) {
    for (ZRMUtAvlTreeNode* node = mTree.FirstNode(); node != nullptr; node = node->Next())
      visit(static_cast<Block*>(node)->mItem);
  }
  // Calls visit(item) with read-only items, as the mutable ForEach.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (ZRMUtAvlTreeNode* node = mTree.FirstNode(); node != nullptr; node = node->Next())
      visit(static_cast<const Item&>(static_cast<Block*>(node)->mItem));
  }

  // The number of elements.
  int Size() const noexcept { return mTree.GetItemNumber(); }
  // Size() == 0.
  bool IsEmpty() const noexcept { return Size() == 0; }
  // Removes every element; iterators on elements are detached.
  void Clear() noexcept;

  // Null when the container is sound (tree structure, end iterators, and every registered
  // iterator refers to this container and to one of its nodes or none); otherwise a
  // description of the first fault.
  const char* FindInvariantViolation() const;
  // FindInvariantViolation() == nullptr.
  bool CheckInvariants() const { return FindInvariantViolation() == nullptr; }

protected:
  // An empty container whose tree orders keys by compare.
  explicit ZRMUtTree(ZRMUtAvlTree::CompareFunction compare);

  // Positions cursor on the element whose key equals *key (no element when absent).
  virtual void PositionOnKey(ZRMUtAvlTreeCursor& cursor, const void* key) const { cursor.ResetOnItem(key); }
  // Positions cursor on the first element whose key is not below *key (no element when none).
  virtual void PositionOnLowerBound(ZRMUtAvlTreeCursor& cursor, const void* key) const {
    cursor.ResetOnNode(mTree.LowerBound(key));
  }
  // Positions cursor on the first element whose key is above *key (no element when none).
  virtual void PositionOnUpperBound(ZRMUtAvlTreeCursor& cursor, const void* key) const {
    cursor.ResetOnNode(mTree.UpperBound(key));
  }

  // A new registered iterator on the smallest element.
  template <bool IsConst>
  BasicIterator<IsConst> BeginOf() const;
  // A new registered iterator on the element whose key equals *key (End when absent).
  template <bool IsConst>
  BasicIterator<IsConst> FindKey(const void* key) const;
  // A new registered iterator on the first element whose key is not below *key.
  template <bool IsConst>
  BasicIterator<IsConst> LowerBoundOf(const void* key) const;
  // A new registered iterator on the first element whose key is above *key.
  template <bool IsConst>
  BasicIterator<IsConst> UpperBoundOf(const void* key) const;

  // The item whose key equals *key, or null. Allocates nothing.
  Item* LookForItem(const void* key) const;
  // The item whose key equals *key; when absent, a new block from make() (a
  // std::unique_ptr<Block> whose key equals *key) is linked in its place. Sets inserted.
  // fromEnd: *key is expected to order after every key present (see
  // ZRMUtAvlTree::LookForNodeFromEnd); only the speed differs.
  template <class Make>
  Item& LookUpOrInsert(const void* key, Make make, bool& inserted, bool fromEnd = false);
  // Removes the element whose key equals *key; false when absent.
  bool EraseKey(const void* key);
  // Removes the element under position, which must be a live iterator of this container on
  // an element (else InvalidIterator).
  void EraseAt(const IteratorBase& position);
  // Adds copies of source's items (the constructors' copy step).
  void CopyItemsFrom(const ZRMUtTree& source, KeyOfFunction keyOf);
  // Replaces the contents and the order by copies of source's; self-assignment does nothing.
  // Either succeeds or leaves the container unchanged.
  void AssignFrom(const ZRMUtTree& source, KeyOfFunction keyOf);

private:
  [[noreturn]] static void RaiseInvalidIterator() {
    ZRMUtRaise(ZRMUtError::InvalidIterator, "zrmutilities/protectedinterfaces/ZRMUtTree", 182);
  }
  // Item deleter of Erase: detaches the iterators on the node, then frees the block.
  static void DeleteBlock(ZRMUtAvlTreeNode* node, void* item, void* context) noexcept;
  // Item deleter for blocks no iterator can stand on any more.
  static void FreeBlock(ZRMUtAvlTreeNode* node, void* item, void* context) noexcept;
  // Detaches the registered iterators standing on node (on any node when node is null).
  void DetachIteratorsOn(const ZRMUtAvlTreeNode* node) noexcept;
  // Inserts copies of source's items into target; on failure target's blocks are freed.
  static void CopyBlocks(ZRMUtAvlTree& target, const ZRMUtAvlTree& source, KeyOfFunction keyOf);

  ZRMUtAvlTree mTree;
  ZRMUtAvlTreeCursor mCursor;  // on mTree, never moved: stands on no item
  Iterator* mEnd;
  ConstIterator* mConstEnd;
  mutable ZRMUtIteratorTracker mTracker;  // const containers hand out iterators too
};

// Position and owner shared by both iterator forms. The owner pointer is null exactly when
// the iterator is detached (then it is in no register and its cursor is bound to no tree).
template <class Item>
class ZRMUtTree<Item>::IteratorBase : public ZRMUtTrackedIterator {
public:
  // Detaches the iterator: no owner, a cursor bound to no tree.
  void ReleaseContainer() noexcept override {
    mContainer = nullptr;
    mCursor = ZRMUtAvlTreeCursor();
  }

protected:
  IteratorBase() noexcept = default;
  // At cursor of container, registered with it.
  IteratorBase(const ZRMUtTree* container, const ZRMUtAvlTreeCursor& cursor) noexcept
      : mCursor(cursor), mContainer(container) {
    Register();
  }
  // At other's position, registered with other's container (detached when other is).
  IteratorBase(const IteratorBase& other) noexcept
      : ZRMUtTrackedIterator(), mCursor(other.mCursor), mContainer(other.mContainer) {
    Register();
  }
  // Takes other's position and container, leaving or joining registers to match.
  IteratorBase& operator=(const IteratorBase& other) noexcept {
    mCursor = other.mCursor;
    mContainer = other.mContainer;
    if (mContainer == nullptr && GetTracker() != nullptr) GetTracker()->RemoveIterator(this);
    Register();
    return *this;
  }
  ~IteratorBase() override = default;

  // Joins the owner's register (nothing for a detached iterator).
  void Register() noexcept {
    if (mContainer != nullptr) mContainer->mTracker.AddIterator(this);
  }
  // The block under the iterator; raises InvalidIterator when detached or on no element.
  Block* CheckedBlock() const {
    if (mContainer == nullptr || mCursor.Tree() == nullptr || mCursor.Node() == nullptr) RaiseInvalidIterator();
    return static_cast<Block*>(mCursor.Node());
  }
  // Equal positions: same tree and same node (two iterators on no item of a tree are equal).
  bool SamePosition(const IteratorBase& other) const noexcept {
    return mCursor.Tree() == other.mCursor.Tree() && mCursor.Node() == other.mCursor.Node();
  }

private:
  friend class ZRMUtTree;

  // Mutable: the container detaches const iterator objects too.
  mutable ZRMUtAvlTreeCursor mCursor;
  mutable const ZRMUtTree* mContainer = nullptr;
};

// Forward iterator over the elements in ascending key order; IsConst gives read-only access.
template <class Item>
template <bool IsConst>
class ZRMUtTree<Item>::BasicIterator : public ZRMUtTree<Item>::IteratorBase {
public:
  // The element as the dereference gives it: read-only when IsConst.
  using Reference = std::conditional_t<IsConst, const Item&, Item&>;
  // The element's address as operator-> gives it: read-only when IsConst.
  using Pointer = std::conditional_t<IsConst, const Item*, Item*>;

  // A detached iterator.
  BasicIterator() noexcept = default;
  // At other's position, registered with other's container.
  BasicIterator(const BasicIterator&) noexcept = default;
  // Takes other's position and container.
  BasicIterator& operator=(const BasicIterator&) noexcept = default;
  ~BasicIterator() override = default;
  // A read-only iterator from a mutable one.
  template <bool OtherConst, class = std::enable_if_t<IsConst && !OtherConst>>
  BasicIterator(const BasicIterator<OtherConst>& other) noexcept
      : IteratorBase(other) {}  // NOLINT: implicit on purpose

  // The element (raises InvalidIterator when detached or at the end).
  Reference operator*() const { return this->CheckedBlock()->mItem; }
  // The element's address (raises InvalidIterator when detached or at the end).
  Pointer operator->() const { return &this->CheckedBlock()->mItem; }
  // Moves to the next element (raises InvalidIterator when detached or at the end).
  BasicIterator& operator++() {
    this->CheckedBlock();
    this->mCursor.Increment();
    return *this;
  }
  // Moves to the next element and returns the position before (raises as the prefix form).
  BasicIterator operator++(int) {
    BasicIterator before(*this);
    ++*this;
    return before;
  }

  // Same tree and same element (any two iterators on no element of one tree are equal).
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
  friend class ZRMUtTree;
  BasicIterator(const ZRMUtTree* container, const ZRMUtAvlTreeCursor& cursor) noexcept
      : IteratorBase(container, cursor) {}
};

// ---------------------------------------------------------------------------------------------

template <class Item>
ZRMUtTree<Item>::ZRMUtTree(ZRMUtAvlTree::CompareFunction compare)
    : mTree(compare), mCursor(&mTree), mEnd(nullptr), mConstEnd(nullptr) {
  std::unique_ptr<Iterator> end(new Iterator(this, mCursor));
  mConstEnd = new ConstIterator(this, mCursor);
  mEnd = end.release();  // both end iterators registered
}

template <class Item>
ZRMUtTree<Item>::~ZRMUtTree() {
  DetachIteratorsOn(nullptr);
  mTree.DeleteItems(&FreeBlock, nullptr);
  delete mEnd;
  delete mConstEnd;
  // The tracker, destroyed next, releases the iterators still registered (those at the end).
}

template <class Item>
void ZRMUtTree<Item>::Clear() noexcept {
  DetachIteratorsOn(nullptr);
  mTree.DeleteItems(&FreeBlock, nullptr);
}

template <class Item>
template <bool IsConst>
auto ZRMUtTree<Item>::BeginOf() const -> BasicIterator<IsConst> {
  ZRMUtAvlTreeCursor cursor(&mTree);
  cursor.ResetOnFirstItem();
  return BasicIterator<IsConst>(this, cursor);
}

template <class Item>
template <bool IsConst>
auto ZRMUtTree<Item>::FindKey(const void* key) const -> BasicIterator<IsConst> {
  ZRMUtAvlTreeCursor cursor(&mTree);
  PositionOnKey(cursor, key);
  return BasicIterator<IsConst>(this, cursor);
}

template <class Item>
template <bool IsConst>
auto ZRMUtTree<Item>::LowerBoundOf(const void* key) const -> BasicIterator<IsConst> {
  ZRMUtAvlTreeCursor cursor(&mTree);
  PositionOnLowerBound(cursor, key);
  return BasicIterator<IsConst>(this, cursor);
}

template <class Item>
template <bool IsConst>
auto ZRMUtTree<Item>::UpperBoundOf(const void* key) const -> BasicIterator<IsConst> {
  ZRMUtAvlTreeCursor cursor(&mTree);
  PositionOnUpperBound(cursor, key);
  return BasicIterator<IsConst>(this, cursor);
}

template <class Item>
Item* ZRMUtTree<Item>::LookForItem(const void* key) const {
  ZRMUtAvlTreeNode* node = mTree.LookForNode(key);
  return node != nullptr ? &static_cast<Block*>(node)->mItem : nullptr;
}

template <class Item>
template <class Make>
Item& ZRMUtTree<Item>::LookUpOrInsert(const void* key, Make make, bool& inserted, bool fromEnd) {
  ZRMUtAvlTreePlace place;
  ZRMUtAvlTreeNode* node = fromEnd ? mTree.LookForNodeFromEnd(key, place) : mTree.LookForNode(key, place);
  inserted = node == nullptr;
  if (inserted) {
    std::unique_ptr<Block> block = make();  // may throw: the tree is unchanged
    node = block.release();
    mTree.LinkNodeAt(node, place);
  }
  return static_cast<Block*>(node)->mItem;
}

template <class Item>
bool ZRMUtTree<Item>::EraseKey(const void* key) {
  ZRMUtAvlTreeNode* node = mTree.LookForNode(key);
  if (node == nullptr) return false;
  mTree.RemoveNode(node, &DeleteBlock, this);
  return true;
}

template <class Item>
void ZRMUtTree<Item>::EraseAt(const IteratorBase& position) {
  Block* block = position.CheckedBlock();
  if (position.mContainer != this) RaiseInvalidIterator();
  mTree.RemoveNode(block, &DeleteBlock, this);
}

template <class Item>
void ZRMUtTree<Item>::CopyItemsFrom(const ZRMUtTree& source, KeyOfFunction keyOf) {
  CopyBlocks(mTree, source.mTree, keyOf);
}

template <class Item>
void ZRMUtTree<Item>::AssignFrom(const ZRMUtTree& source, KeyOfFunction keyOf) {
  if (&source == this) return;
  ZRMUtAvlTree staged(source.mTree.GetCompareFunction());
  CopyBlocks(staged, source.mTree, keyOf);
  Clear();
  mTree.Swap(staged);  // takes the copies and the source's order; staged is left empty
}

template <class Item>
void ZRMUtTree<Item>::DeleteBlock(ZRMUtAvlTreeNode* node, void*, void* context) noexcept {
  static_cast<ZRMUtTree*>(context)->DetachIteratorsOn(node);
  delete static_cast<Block*>(node);
}

template <class Item>
void ZRMUtTree<Item>::FreeBlock(ZRMUtAvlTreeNode* node, void*, void*) noexcept {
  delete static_cast<Block*>(node);
}

template <class Item>
void ZRMUtTree<Item>::DetachIteratorsOn(const ZRMUtAvlTreeNode* node) noexcept {
  for (ZRMUtTrackedIterator* tracked = mTracker.FirstIter(); tracked != nullptr;) {
    ZRMUtTrackedIterator* next = mTracker.NextIter(tracked);
    const ZRMUtAvlTreeNode* on = static_cast<IteratorBase*>(tracked)->mCursor.Node();
    if (on != nullptr && (node == nullptr || on == node)) {
      mTracker.RemoveIterator(tracked);
      tracked->ReleaseContainer();
    }
    tracked = next;
  }
}

template <class Item>
void ZRMUtTree<Item>::CopyBlocks(ZRMUtAvlTree& target, const ZRMUtAvlTree& source, KeyOfFunction keyOf) {
  try {
    ZRMUtAvlTreeCursor cursor(&source);
    for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment()) {
      std::unique_ptr<Block> copy(new Block(keyOf, static_cast<const Block*>(cursor.Node())->mItem));
      if (target.InsertNode(copy.get()) == copy.get()) copy.release();
    }
  } catch (...) {
    target.DeleteItems(&FreeBlock, nullptr);
    throw;
  }
}

template <class Item>
const char* ZRMUtTree<Item>::FindInvariantViolation() const {
  if (const char* fault = mTree.FindInvariantViolation()) return fault;
  if (!mTracker.CheckInvariants()) return "iterator register is inconsistent";
  if (mCursor.Tree() != &mTree || !mCursor.IsAfterLastItem()) return "own cursor moved";
  for (const IteratorBase* end :
       {static_cast<const IteratorBase*>(mEnd), static_cast<const IteratorBase*>(mConstEnd)}) {
    if (end->GetTracker() != &mTracker || end->mContainer != this || end->mCursor.Tree() != &mTree ||
        !end->mCursor.IsAfterLastItem())
      return "end iterator moved or unregistered";
  }
  for (const ZRMUtTrackedIterator* tracked = mTracker.FirstIter(); tracked != nullptr;
       tracked = mTracker.NextIter(tracked)) {
    const IteratorBase* iterator = static_cast<const IteratorBase*>(tracked);
    if (iterator->mContainer != this || iterator->mCursor.Tree() != &mTree)
      return "registered iterator of another container";
    const ZRMUtAvlTreeNode* node = iterator->mCursor.Node();
    if (node != nullptr && mTree.LookForNode(node->GetItem()) != node) return "registered iterator on a foreign node";
  }
  return nullptr;
}

#endif
