// ZRMUtAvlTree: balanced (AVL) binary search tree of untyped item pointers, with cursors.
//
// Items are ordered by a three-way compare function int(const void*, const void*) (negative,
// zero, positive); no two stored items compare equal. Every stored item sits in a
// ZRMUtAvlTreeNode. A node is either allocated by the tree (InsertItem) or supplied by the
// caller (InsertNode), typically as the base of a block that also holds the item, so that item
// and node take one allocation.
//
// Node identity is stable: rebalancing and removal relink nodes and never move an item from one
// node to another. Hence a ZRMUtAvlTreeCursor stays valid across insertions and across the
// removal of any other item; only a cursor on the removed node becomes dangling.
//
// Removal hands the node and its item to a deleter (node, item, context), which frees the item.
// For a caller-supplied node the deleter owns the node as well; a tree-allocated node is freed
// by the tree after the deleter returns. Deleters must not throw.
#ifndef ZRMUtAvlTree_h
#define ZRMUtAvlTree_h

#include "KRNPlatformExport.h"

class ZRMUtAvlTree;
class ZRMUtAvlTreeCursor;
struct ZRMUtAvlTreeImpl;

// One place in a tree: the links, the balance factor and the item it holds.
class KRN_API ZRMUtAvlTreeNode {
public:
  ZRMUtAvlTreeNode() noexcept = default;
  explicit ZRMUtAvlTreeNode(void* item) noexcept : mItem(item) {}
  ZRMUtAvlTreeNode(const ZRMUtAvlTreeNode&) = delete;
  ZRMUtAvlTreeNode& operator=(const ZRMUtAvlTreeNode&) = delete;

  void* GetItem() const noexcept { return mItem; }

  // The node after this one in key order (null after the last), for a node in a tree.
  ZRMUtAvlTreeNode* Next() noexcept {
    if (mRight != nullptr) return Leftmost(mRight);
    ZRMUtAvlTreeNode* node = this;
    ZRMUtAvlTreeNode* parent = mParent;
    while (parent != nullptr && node == parent->mRight) {
      node = parent;
      parent = parent->mParent;
    }
    return parent;
  }
  // Leftmost node of the subtree at node (null for null).
  static ZRMUtAvlTreeNode* Leftmost(ZRMUtAvlTreeNode* node) noexcept {
    if (node == nullptr) return nullptr;
    while (node->mLeft != nullptr) node = node->mLeft;
    return node;
  }

protected:
  // Sets the item of a node that is in no tree yet (blocks that embed the node use it).
  void SetItem(void* item) noexcept { mItem = item; }

private:
  friend class ZRMUtAvlTree;
  friend class ZRMUtAvlTreeCursor;
  friend struct ZRMUtAvlTreeImpl;

  ZRMUtAvlTreeNode* mLeft = nullptr;
  ZRMUtAvlTreeNode* mRight = nullptr;
  ZRMUtAvlTreeNode* mParent = nullptr;
  void* mItem = nullptr;
  signed char mBalance = 0;  // height(right) - height(left), in [-1, 1] between operations
  bool mOwnedByTree = false;
};

// A position in a tree: on a node, or on no item (after the last item). A cursor built without
// a tree is bound to no tree and always stands on no item. Cursors are plain values.
class KRN_API ZRMUtAvlTreeCursor {
public:
  ZRMUtAvlTreeCursor() noexcept = default;
  explicit ZRMUtAvlTreeCursor(const ZRMUtAvlTree* tree) noexcept : mTree(tree) {}
  explicit ZRMUtAvlTreeCursor(const ZRMUtAvlTree& tree) noexcept : mTree(&tree) {}

  // Moves to the smallest item (no item when the tree is empty).
  void ResetOnFirstItem() noexcept;
  // Moves to the stored item equal to probe, or to no item when there is none.
  void ResetOnItem(const void* probe);
  // Moves to node, which must belong to the cursor's tree; null moves after the last item.
  void ResetOnNode(ZRMUtAvlTreeNode* node) noexcept { mNode = mTree != nullptr ? node : nullptr; }
  // Moves to the next item in ascending order; a cursor on no item stays there.
  void Increment() noexcept;

  bool IsAfterLastItem() const noexcept { return mNode == nullptr; }
  // The item under the cursor, null when it stands on no item.
  void* GetItem() const noexcept { return mNode != nullptr ? mNode->mItem : nullptr; }
  ZRMUtAvlTreeNode* Node() const noexcept { return mNode; }
  const ZRMUtAvlTree* Tree() const noexcept { return mTree; }

private:
  const ZRMUtAvlTree* mTree = nullptr;
  ZRMUtAvlTreeNode* mNode = nullptr;
};

// Where an absent item would be linked, as found by ZRMUtAvlTree::LookForNode(probe, place).
struct ZRMUtAvlTreePlace {
  ZRMUtAvlTreeNode* parent = nullptr;
  bool left = false;
};

class KRN_API ZRMUtAvlTree {
public:
  using CompareFunction = int (*)(const void*, const void*);
  using Deleter = void (*)(ZRMUtAvlTreeNode* node, void* item, void* context);

  // Our choice: a null compare function orders items by address.
  explicit ZRMUtAvlTree(CompareFunction compare) noexcept;
  // Frees the nodes the tree allocated; items, and nodes supplied by the caller, are the
  // caller's and must have been removed before (DeleteItems).
  ~ZRMUtAvlTree();
  ZRMUtAvlTree(const ZRMUtAvlTree&) = delete;
  ZRMUtAvlTree& operator=(const ZRMUtAvlTree&) = delete;

  // Replaces the order; refused (false) while the tree holds items.
  bool SetCompareFunction(CompareFunction compare) noexcept;
  CompareFunction GetCompareFunction() const noexcept { return mCompare; }

  // Stores item in a node of the tree's own. Returns a cursor on it, or one after the last item
  // when an equal item is already stored (or item is null): the item is then not taken.
  ZRMUtAvlTreeCursor InsertItem(void* item);
  // Links a caller-supplied node (not in any tree, item set). Returns the node now stored under
  // that item: node itself, or the equal node already present (node is then not taken).
  ZRMUtAvlTreeNode* InsertNode(ZRMUtAvlTreeNode* node) noexcept;

  // Single-descent insertion: LookForNode(probe, place) returns the node equal to probe or, when
  // there is none, null with the place where probe belongs; LinkNodeAt then links a
  // caller-supplied node whose item equals probe at that place. The tree must not change in
  // between.
  ZRMUtAvlTreeNode* LookForNode(const void* probe, ZRMUtAvlTreePlace& place) const;
  // LookForNode(probe, place) for a probe expected to order after every stored item: when it
  // does, the place after the last item is found with one comparison; otherwise it descends.
  ZRMUtAvlTreeNode* LookForNodeFromEnd(const void* probe, ZRMUtAvlTreePlace& place) const;
  void LinkNodeAt(ZRMUtAvlTreeNode* node, const ZRMUtAvlTreePlace& place) noexcept;

  // The stored item equal to probe, or null.
  void* LookForItem(const void* probe) const;
  // The node holding the item equal to probe, or null.
  ZRMUtAvlTreeNode* LookForNode(const void* probe) const;
  // First node whose item is not below probe / is above probe; null when there is none.
  ZRMUtAvlTreeNode* LowerBound(const void* probe) const;
  ZRMUtAvlTreeNode* UpperBound(const void* probe) const;
  // Node of the smallest item, null when empty.
  ZRMUtAvlTreeNode* FirstNode() const noexcept { return ZRMUtAvlTreeNode::Leftmost(mRoot); }

  // Removes the item equal to item through deleter; false when there is none.
  bool RemoveItem(const void* item, Deleter deleter, void* context);
  // Removes node, which must belong to this tree, through deleter.
  void RemoveNode(ZRMUtAvlTreeNode* node, Deleter deleter, void* context) noexcept;
  // Removes every item through deleter (null: items are left to the caller).
  void DeleteItems(Deleter deleter, void* context) noexcept;

  int GetItemNumber() const noexcept { return mCount; }

  // Exchanges contents and compare functions. Cursors keep pointing at the tree they were
  // built on, so no cursor may stand on a node of either tree.
  void Swap(ZRMUtAvlTree& other) noexcept;

  // Null when the structure is sound (parent links, balance factors and heights, strictly
  // ascending order, item count); otherwise a description of the first fault found.
  const char* FindInvariantViolation() const;
  bool CheckInvariants() const { return FindInvariantViolation() == nullptr; }

private:
  friend class ZRMUtAvlTreeCursor;
  friend struct ZRMUtAvlTreeImpl;

  ZRMUtAvlTreeNode* mRoot = nullptr;
  int mCount = 0;
  CompareFunction mCompare;
};

#endif
