// Balanced tree and cursor beyond what the container model tests reach through ZRMUtMap and
// ZRMUtSet (caller nodes, bounds, rotations, cursors held across changes): the tree's own nodes
// mixed with caller nodes under every insertion and removal protocol against std::set, cursor
// edge states, the compare function and Swap.
#include "ZRMUtAvlTree.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

int CompareInts(const void* a, const void* b) {
  const int x = *static_cast<const int*>(a);
  const int y = *static_cast<const int*>(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

int ValueAt(const ZRMUtAvlTreeNode* node) { return *static_cast<const int*>(node->GetItem()); }

// A caller-supplied node that carries its item, as the containers use.
struct IntBlock : ZRMUtAvlTreeNode {
  explicit IntBlock(int v) : value(v) { SetItem(&value); }
  int value;
};

// A tree of int items, held either in nodes of the tree's own (item: a new int) or in
// caller-supplied IntBlocks; the deleter frees what the tree hands it and records it.
class IntTree {
public:
  IntTree() : tree(&CompareInts) {}
  ~IntTree() { tree.DeleteItems(&Delete, this); }

  static void Delete(ZRMUtAvlTreeNode* node, void* item, void* context) {
    auto* self = static_cast<IntTree*>(context);
    self->deleted.push_back({node, *static_cast<int*>(item)});
    if (self->blocks.erase(node) == 1)
      delete static_cast<IntBlock*>(node);
    else
      delete static_cast<int*>(item);
  }
  // Inserts value by one of the three protocols; false when already present.
  bool Insert(int value, int protocol) {
    if (protocol == 0) {
      int* item = new int(value);
      const ZRMUtAvlTreeCursor cursor = tree.InsertItem(item);
      EXPECT_EQ(cursor.Tree(), &tree);
      if (cursor.IsAfterLastItem())
        delete item;  // refused: still ours
      else
        EXPECT_EQ(cursor.GetItem(), item);
      return !cursor.IsAfterLastItem();
    }
    auto* block = new IntBlock(value);
    ZRMUtAvlTreePlace place;
    ZRMUtAvlTreeNode* stored = protocol == 1 ? tree.InsertNode(block) : tree.LookForNode(&value, place);
    if (stored == nullptr) tree.LinkNodeAt(stored = block, place);
    EXPECT_EQ(ValueAt(stored), value);
    if (stored != block)
      delete block;  // the equal node already stored
    else
      blocks.insert(block);
    return stored == block;
  }
  bool Remove(int value) { return tree.RemoveItem(&value, &Delete, this); }

  ZRMUtAvlTree tree;
  std::set<ZRMUtAvlTreeNode*> blocks;
  std::vector<std::pair<ZRMUtAvlTreeNode*, int>> deleted;
};

std::vector<int> Contents(const ZRMUtAvlTree& tree) {
  std::vector<int> items;
  ZRMUtAvlTreeCursor cursor(tree);
  for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment())
    items.push_back(*static_cast<int*>(cursor.GetItem()));
  return items;
}

TEST(AvlTree, RandomOperationsKeepStructureOrderAndLookups) {
  std::mt19937 random(20261206);
  IntTree ints;
  std::set<int> model;
  for (int step = 0; step < 40000; ++step) {
    const int value = static_cast<int>(random() % 1000);
    const int roll = static_cast<int>(random() % 6);
    if (roll < 4) {
      ASSERT_EQ(ints.Insert(value, roll % 3), model.insert(value).second);
    } else {
      ZRMUtAvlTreeNode* node = ints.tree.LookForNode(&value);
      ASSERT_EQ(node != nullptr, model.erase(value) == 1);
      const size_t deleted = ints.deleted.size();
      if (roll == 4)
        ASSERT_EQ(ints.Remove(value), node != nullptr);
      else if (node != nullptr)
        ints.tree.RemoveNode(node, &IntTree::Delete, &ints);
      ASSERT_EQ(ints.deleted.size(), deleted + (node != nullptr ? 1 : 0));  // the deleter ran once
      ASSERT_TRUE(node == nullptr || ints.deleted.back() == std::make_pair(node, value));
    }
    const int probe = static_cast<int>(random() % 1002) - 1;
    const void* found = ints.tree.LookForItem(&probe);
    ASSERT_EQ(found == nullptr ? -2 : *static_cast<const int*>(found), model.count(probe) == 1 ? probe : -2);
    if (step % 500 == 0) {
      ASSERT_EQ(ints.tree.FindInvariantViolation(), nullptr) << "step " << step;
      ASSERT_EQ(Contents(ints.tree), std::vector<int>(model.begin(), model.end()));
    }
  }
  EXPECT_EQ(ints.tree.GetItemNumber(), static_cast<int>(model.size()));
  EXPECT_TRUE(ints.tree.InsertItem(nullptr).IsAfterLastItem());
  ints.deleted.clear();
  ints.tree.DeleteItems(&IntTree::Delete, &ints);
  EXPECT_EQ(ints.deleted.size(), model.size());
  EXPECT_EQ(ints.tree.GetItemNumber(), 0);
  EXPECT_EQ(ints.tree.FirstNode(), nullptr);
}

TEST(AvlTree, CursorStatesOnNoItem) {
  IntTree ints;
  ZRMUtAvlTreeCursor unbound;
  EXPECT_EQ(unbound.Tree(), nullptr);
  unbound.ResetOnFirstItem();
  EXPECT_TRUE(unbound.IsAfterLastItem() && unbound.GetItem() == nullptr);
  ZRMUtAvlTreeCursor onEmpty(&ints.tree);
  onEmpty.ResetOnFirstItem();
  EXPECT_TRUE(onEmpty.IsAfterLastItem());

  ints.Insert(1, 0);
  ints.Insert(2, 1);
  ZRMUtAvlTreeCursor cursor(ints.tree);
  EXPECT_EQ(cursor.GetItem(), nullptr);  // a fresh cursor stands on no item
  const int absent = 7;
  cursor.ResetOnItem(&absent);
  EXPECT_TRUE(cursor.IsAfterLastItem());
  cursor.ResetOnFirstItem();
  for (int step = 0; step < 3; ++step) cursor.Increment();  // stays after the last item
  EXPECT_TRUE(cursor.IsAfterLastItem());
  cursor.ResetOnNode(ints.tree.FirstNode());
  EXPECT_EQ(*static_cast<int*>(cursor.GetItem()), 1);
  cursor.ResetOnNode(nullptr);
  EXPECT_TRUE(cursor.IsAfterLastItem());
  unbound.ResetOnNode(ints.tree.FirstNode());  // a cursor bound to no tree stays on no item
  EXPECT_EQ(unbound.Node(), nullptr);
  unbound.ResetOnItem(&absent);
  EXPECT_TRUE(unbound.IsAfterLastItem());
}

TEST(AvlTree, CompareFunctionChangesOnlyWhileEmptyOrdersByAddressWhenNullSwapExchanges) {
  IntTree a;
  IntTree b;
  a.Insert(1, 0);
  a.Insert(2, 0);
  EXPECT_FALSE(a.tree.SetCompareFunction(nullptr));  // refused while it holds an item
  EXPECT_EQ(a.tree.GetCompareFunction(), &CompareInts);
  EXPECT_TRUE(b.tree.SetCompareFunction(&CompareInts));
  b.Insert(9, 0);
  a.tree.Swap(b.tree);
  EXPECT_EQ(Contents(a.tree), std::vector<int>({9}));
  EXPECT_EQ(Contents(b.tree), std::vector<int>({1, 2}));
  EXPECT_TRUE(a.tree.CheckInvariants() && b.tree.CheckInvariants());

  int same[3] = {5, 5, 5};          // equal values at distinct addresses
  ZRMUtAvlTree byAddress(nullptr);  // our choice: no compare function orders by address
  ZRMUtAvlTree emptied(&CompareInts);
  emptied.InsertItem(&same[1]);
  emptied.DeleteItems(nullptr, nullptr);  // the items stay the caller's
  ASSERT_TRUE(emptied.SetCompareFunction(nullptr));
  for (ZRMUtAvlTree* tree : {&byAddress, &emptied}) {
    for (int index : {2, 0, 1}) EXPECT_FALSE(tree->InsertItem(&same[index]).IsAfterLastItem());
    EXPECT_TRUE(tree->InsertItem(&same[0]).IsAfterLastItem());
    ZRMUtAvlTreeCursor cursor(*tree);
    cursor.ResetOnFirstItem();
    for (int& item : same) {
      EXPECT_EQ(cursor.GetItem(), &item);
      cursor.Increment();
    }
    EXPECT_TRUE(tree->CheckInvariants());
    tree->DeleteItems(nullptr, nullptr);
    EXPECT_EQ(tree->GetItemNumber(), 0);
  }
}

}  // namespace
