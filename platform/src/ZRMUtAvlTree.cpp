#include "ZRMUtAvlTree.h"

#include <functional>
#include <utility>

// Structural steps of the tree: navigation, rotations, rebalancing and the invariant walk.
struct ZRMUtAvlTreeImpl {
  using Node = ZRMUtAvlTreeNode;

  // Orders by address; stands in for a missing compare function.
  static int CompareAddresses(const void* a, const void* b) {
    const std::less<const void*> less;
    return less(a, b) ? -1 : (less(b, a) ? 1 : 0);
  }

  // Puts replacement where old hangs under parent (or at the root).
  static void ReplaceChild(ZRMUtAvlTree& tree, Node* parent, Node* old, Node* replacement) noexcept {
    if (parent == nullptr)
      tree.mRoot = replacement;
    else if (parent->mLeft == old)
      parent->mLeft = replacement;
    else
      parent->mRight = replacement;
    if (replacement != nullptr) replacement->mParent = parent;
  }

  // Lifts x's right child above x. Balance factors are the caller's business.
  static void RotateLeft(ZRMUtAvlTree& tree, Node* x) noexcept {
    Node* y = x->mRight;
    x->mRight = y->mLeft;
    if (y->mLeft != nullptr) y->mLeft->mParent = x;
    ReplaceChild(tree, x->mParent, x, y);
    y->mLeft = x;
    x->mParent = y;
  }

  // Lifts x's left child above x. Balance factors are the caller's business.
  static void RotateRight(ZRMUtAvlTree& tree, Node* x) noexcept {
    Node* y = x->mLeft;
    x->mLeft = y->mRight;
    if (y->mRight != nullptr) y->mRight->mParent = x;
    ReplaceChild(tree, x->mParent, x, y);
    y->mRight = x;
    x->mParent = y;
  }

  // Restores the balance of x (balance +2 or -2); returns the new root of its subtree and sets
  // shrunk when that subtree is now one level lower than before the rotation.
  static Node* Rebalance(ZRMUtAvlTree& tree, Node* x, bool& shrunk) noexcept {
    const signed char side = x->mBalance > 0 ? 1 : -1;  // the heavy side
    // Not null: x is two levels heavier on that side, which the static analyzer cannot know.
    Node* y = side > 0 ? x->mRight : x->mLeft;
    // NOLINTNEXTLINE(clang-analyzer-core.NullDereference)
    if (y->mBalance != -side) {  // single rotation
      if (side > 0)
        RotateLeft(tree, x);
      else
        RotateRight(tree, x);
      shrunk = y->mBalance != 0;
      x->mBalance = shrunk ? 0 : side;
      y->mBalance = shrunk ? 0 : static_cast<signed char>(-side);
      return y;
    }
    Node* z = side > 0 ? y->mLeft : y->mRight;  // double rotation around z
    if (side > 0) {
      RotateRight(tree, y);
      RotateLeft(tree, x);
    } else {
      RotateLeft(tree, y);
      RotateRight(tree, x);
    }
    x->mBalance = z->mBalance == side ? static_cast<signed char>(-side) : 0;
    y->mBalance = z->mBalance == -side ? side : 0;
    z->mBalance = 0;
    shrunk = true;
    return z;
  }

  // Walks up from a freshly linked leaf, updating balances; one rotation at most.
  static void RetraceInsertion(ZRMUtAvlTree& tree, Node* child) noexcept {
    for (Node* parent = child->mParent; parent != nullptr; child = parent, parent = parent->mParent) {
      parent->mBalance = static_cast<signed char>(parent->mBalance + (child == parent->mLeft ? -1 : 1));
      if (parent->mBalance == 0) return;  // subtree height unchanged
      if (parent->mBalance == 2 || parent->mBalance == -2) {
        bool shrunk = false;
        Rebalance(tree, parent, shrunk);
        return;  // the rotation gives back the height before the insertion
      }
    }
  }

  // Walks up from node, whose left (leftShrunk) or right subtree lost one level.
  static void RetraceRemoval(ZRMUtAvlTree& tree, Node* node, bool leftShrunk) noexcept {
    while (node != nullptr) {
      node->mBalance = static_cast<signed char>(node->mBalance + (leftShrunk ? 1 : -1));
      if (node->mBalance == 1 || node->mBalance == -1) return;  // height unchanged
      if (node->mBalance != 0) {
        bool shrunk = false;
        node = Rebalance(tree, node, shrunk);
        if (!shrunk) return;
      }
      Node* parent = node->mParent;
      if (parent == nullptr) return;
      leftShrunk = parent->mLeft == node;
      node = parent;
    }
  }

  // Unlinks node from the tree by relinking (the in-order successor takes its place when it
  // has two children), then rebalances.
  static void Unlink(ZRMUtAvlTree& tree, Node* node) noexcept {
    Node* start = nullptr;
    bool leftShrunk = false;
    if (node->mLeft != nullptr && node->mRight != nullptr) {
      Node* successor = Node::Leftmost(node->mRight);
      if (successor->mParent == node) {
        start = successor;
      } else {
        start = successor->mParent;
        leftShrunk = true;
        start->mLeft = successor->mRight;
        if (successor->mRight != nullptr) successor->mRight->mParent = start;
        successor->mRight = node->mRight;
        node->mRight->mParent = successor;
      }
      successor->mLeft = node->mLeft;
      node->mLeft->mParent = successor;
      successor->mBalance = node->mBalance;
      ReplaceChild(tree, node->mParent, node, successor);  // successor now stands where node stood
    } else {
      Node* child = node->mLeft != nullptr ? node->mLeft : node->mRight;
      start = node->mParent;
      leftShrunk = start != nullptr && start->mLeft == node;
      ReplaceChild(tree, start, node, child);
    }
    node->mLeft = node->mRight = node->mParent = nullptr;
    node->mBalance = 0;
    --tree.mCount;
    RetraceRemoval(tree, start, leftShrunk);
  }

  // Hands node's item to deleter, then frees node when the tree allocated it.
  static void Dispose(Node* node, ZRMUtAvlTree::Deleter deleter, void* context) noexcept {
    const bool ownedByTree = node->mOwnedByTree;
    if (deleter != nullptr) deleter(node, node->mItem, context);
    if (ownedByTree) delete node;
  }

  // Finds the node equal to probe, or the place where it would be linked (parent, side).
  static Node* Descend(const ZRMUtAvlTree& tree, const void* probe, Node*& parent, bool& left) {
    parent = nullptr;
    left = false;
    for (Node* node = tree.mRoot; node != nullptr;) {
      const int order = tree.mCompare(probe, node->mItem);
      if (order == 0) return node;
      parent = node;
      left = order < 0;
      node = left ? node->mLeft : node->mRight;
    }
    return nullptr;
  }

  // Links a detached node as a new leaf under parent, then rebalances.
  static void Attach(ZRMUtAvlTree& tree, Node* node, Node* parent, bool left) noexcept {
    node->mLeft = node->mRight = nullptr;
    node->mBalance = 0;
    node->mParent = parent;
    if (parent == nullptr)
      tree.mRoot = node;
    else if (left)
      parent->mLeft = node;
    else
      parent->mRight = node;
    ++tree.mCount;
    RetraceInsertion(tree, node);
  }

  // Height of the subtree at node, or -1 with fault set when its structure is broken.
  static int CheckedHeight(const Node* node, const char*& fault) {
    if (node == nullptr) return 0;
    for (const Node* child : {node->mLeft, node->mRight}) {
      if (child != nullptr && child->mParent != node) {
        fault = "child does not point back to its parent";
        return -1;
      }
    }
    const int left = CheckedHeight(node->mLeft, fault);
    if (left < 0) return -1;
    const int right = CheckedHeight(node->mRight, fault);
    if (right < 0) return -1;
    if (right - left != node->mBalance) {
      fault = "balance factor differs from the subtree heights";
      return -1;
    }
    if (node->mBalance < -1 || node->mBalance > 1) {
      fault = "subtree out of balance";
      return -1;
    }
    return 1 + (left > right ? left : right);
  }
};

using Impl = ZRMUtAvlTreeImpl;
using Node = ZRMUtAvlTreeNode;

// ---------------------------------------------------------------------------------------------

void ZRMUtAvlTreeCursor::ResetOnFirstItem() noexcept { mNode = mTree != nullptr ? mTree->FirstNode() : nullptr; }

void ZRMUtAvlTreeCursor::ResetOnItem(const void* probe) {
  mNode = mTree != nullptr ? mTree->LookForNode(probe) : nullptr;
}

void ZRMUtAvlTreeCursor::Increment() noexcept {
  if (mNode != nullptr) mNode = mNode->Next();
}

// ---------------------------------------------------------------------------------------------

ZRMUtAvlTree::ZRMUtAvlTree(CompareFunction compare) noexcept
    : mCompare(compare != nullptr ? compare : &Impl::CompareAddresses) {}

ZRMUtAvlTree::~ZRMUtAvlTree() { DeleteItems(nullptr, nullptr); }

bool ZRMUtAvlTree::SetCompareFunction(CompareFunction compare) noexcept {
  if (mCount != 0) return false;
  mCompare = compare != nullptr ? compare : &Impl::CompareAddresses;
  return true;
}

ZRMUtAvlTreeCursor ZRMUtAvlTree::InsertItem(void* item) {
  ZRMUtAvlTreeCursor cursor(this);
  if (item == nullptr) return cursor;
  Node* parent = nullptr;
  bool left = false;
  if (Impl::Descend(*this, item, parent, left) != nullptr) return cursor;
  Node* node = new Node(item);
  node->mOwnedByTree = true;
  Impl::Attach(*this, node, parent, left);
  cursor.ResetOnNode(node);
  return cursor;
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::InsertNode(ZRMUtAvlTreeNode* node) noexcept {
  Node* parent = nullptr;
  bool left = false;
  if (Node* equal = Impl::Descend(*this, node->mItem, parent, left)) return equal;
  node->mOwnedByTree = false;
  Impl::Attach(*this, node, parent, left);
  return node;
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::LookForNode(const void* probe, ZRMUtAvlTreePlace& place) const {
  return Impl::Descend(*this, probe, place.parent, place.left);
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::LookForNodeFromEnd(const void* probe, ZRMUtAvlTreePlace& place) const {
  Node* last = mRoot;
  if (last == nullptr) return LookForNode(probe, place);
  while (last->mRight != nullptr) last = last->mRight;
  if (mCompare(probe, last->mItem) <= 0) return LookForNode(probe, place);
  place.parent = last;  // probe orders after every item: its place is the last item's right
  place.left = false;
  return nullptr;
}

void ZRMUtAvlTree::LinkNodeAt(ZRMUtAvlTreeNode* node, const ZRMUtAvlTreePlace& place) noexcept {
  node->mOwnedByTree = false;
  Impl::Attach(*this, node, place.parent, place.left);
}

void* ZRMUtAvlTree::LookForItem(const void* probe) const {
  const Node* node = LookForNode(probe);
  return node != nullptr ? node->mItem : nullptr;
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::LookForNode(const void* probe) const {
  Node* node = mRoot;
  while (node != nullptr) {
    const int order = mCompare(probe, node->mItem);
    if (order == 0) return node;
    node = order < 0 ? node->mLeft : node->mRight;
  }
  return nullptr;
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::LowerBound(const void* probe) const {
  Node* bound = nullptr;
  for (Node* node = mRoot; node != nullptr;) {
    if (mCompare(node->mItem, probe) >= 0) {
      bound = node;  // candidate; a smaller one may lie to the left
      node = node->mLeft;
    } else {
      node = node->mRight;
    }
  }
  return bound;
}

ZRMUtAvlTreeNode* ZRMUtAvlTree::UpperBound(const void* probe) const {
  Node* bound = nullptr;
  for (Node* node = mRoot; node != nullptr;) {
    if (mCompare(node->mItem, probe) > 0) {
      bound = node;
      node = node->mLeft;
    } else {
      node = node->mRight;
    }
  }
  return bound;
}

bool ZRMUtAvlTree::RemoveItem(const void* item, Deleter deleter, void* context) {
  Node* node = LookForNode(item);
  if (node == nullptr) return false;
  RemoveNode(node, deleter, context);
  return true;
}

void ZRMUtAvlTree::RemoveNode(ZRMUtAvlTreeNode* node, Deleter deleter, void* context) noexcept {
  Impl::Unlink(*this, node);
  Impl::Dispose(node, deleter, context);
}

void ZRMUtAvlTree::DeleteItems(Deleter deleter, void* context) noexcept {
  Node* node = mRoot;
  mRoot = nullptr;
  mCount = 0;
  while (node != nullptr) {  // post-order: a node goes once both its subtrees are gone
    if (node->mLeft != nullptr) {
      node = node->mLeft;
    } else if (node->mRight != nullptr) {
      node = node->mRight;
    } else {
      Node* parent = node->mParent;
      if (parent != nullptr) (parent->mLeft == node ? parent->mLeft : parent->mRight) = nullptr;
      node->mParent = nullptr;
      Impl::Dispose(node, deleter, context);
      node = parent;
    }
  }
}

void ZRMUtAvlTree::Swap(ZRMUtAvlTree& other) noexcept {
  std::swap(mRoot, other.mRoot);
  std::swap(mCount, other.mCount);
  std::swap(mCompare, other.mCompare);
}

const char* ZRMUtAvlTree::FindInvariantViolation() const {
  if (mRoot != nullptr && mRoot->mParent != nullptr) return "root has a parent";
  const char* fault = nullptr;
  if (Impl::CheckedHeight(mRoot, fault) < 0) return fault;
  int count = 0;
  const Node* previous = nullptr;
  for (Node* node = Node::Leftmost(mRoot); node != nullptr; node = node->Next()) {
    if (node->mItem == nullptr) return "node without item";
    if (previous != nullptr && mCompare(previous->mItem, node->mItem) >= 0) return "items out of order";
    previous = node;
    ++count;
  }
  return count == mCount ? nullptr : "item count differs from the stored items";
}
