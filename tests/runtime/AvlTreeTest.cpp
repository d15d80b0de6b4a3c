// Balanced tree and cursor: structure, lookups and every insertion and removal protocol after
// random operations against std::set, cursor stability, cursor edge states.
#include "ZRMUtAvlTree.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
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
    if (self->blocks.erase(node) == 1) delete static_cast<IntBlock*>(node);
    else delete static_cast<int*>(item);
  }
  // Inserts value by one of the three protocols; false when already present.
  bool Insert(int value, int protocol) {
    if (protocol == 0) {
      int* item = new int(value);
      const ZRMUtAvlTreeCursor cursor = tree.InsertItem(item);
      EXPECT_EQ(cursor.Tree(), &tree);
      if (cursor.IsAfterLastItem()) delete item;  // refused: still ours
      else EXPECT_EQ(cursor.GetItem(), item);
      return !cursor.IsAfterLastItem();
    }
    auto* block = new IntBlock(value);
    ZRMUtAvlTreeNode* stored = nullptr;
    if (protocol == 1) {
      stored = tree.InsertNode(block);
    } else {
      ZRMUtAvlTreePlace place;
      stored = tree.LookForNode(&value, place);
      if (stored == nullptr) {
        tree.LinkNodeAt(block, place);
        stored = block;
      }
    }
    EXPECT_EQ(ValueAt(stored), value);
    if (stored != block) delete block;  // the equal node already stored
    else blocks.insert(block);
    return stored == block;
  }
  bool Remove(int value) { return tree.RemoveItem(&value, &Delete, this); }

  ZRMUtAvlTree tree;
  std::set<ZRMUtAvlTreeNode*> blocks;
  struct Deleted {
    ZRMUtAvlTreeNode* node;
    int value;
  };
  std::vector<Deleted> deleted;
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
      if (roll == 4) {
        ASSERT_EQ(ints.Remove(value), node != nullptr);
      } else if (node != nullptr) {
        ints.tree.RemoveNode(node, &IntTree::Delete, &ints);
      }
      ASSERT_EQ(ints.deleted.size(), deleted + (node != nullptr ? 1 : 0));  // the deleter ran once
      if (node != nullptr) {
        ASSERT_EQ(ints.deleted.back().node, node);
        ASSERT_EQ(ints.deleted.back().value, value);
      }
    }
    const int probe = static_cast<int>(random() % 1002) - 1;
    void* found = ints.tree.LookForItem(&probe);
    ASSERT_EQ(found != nullptr, model.count(probe) == 1);
    if (found != nullptr) {
      ASSERT_EQ(*static_cast<int*>(found), probe);
    }
    const ZRMUtAvlTreeNode* lower = ints.tree.LowerBound(&probe);
    const ZRMUtAvlTreeNode* upper = ints.tree.UpperBound(&probe);
    ASSERT_EQ(lower == nullptr ? -2 : ValueAt(lower), model.lower_bound(probe) == model.end() ? -2 : *model.lower_bound(probe));
    ASSERT_EQ(upper == nullptr ? -2 : ValueAt(upper), model.upper_bound(probe) == model.end() ? -2 : *model.upper_bound(probe));
    if (step % 500 == 0) {
      ASSERT_EQ(ints.tree.FindInvariantViolation(), nullptr) << "step " << step;
      ASSERT_EQ(Contents(ints.tree), std::vector<int>(model.begin(), model.end()));
    }
  }
  EXPECT_EQ(ints.tree.GetItemNumber(), static_cast<int>(model.size()));
  EXPECT_TRUE(ints.tree.CheckInvariants());
  EXPECT_TRUE(ints.tree.InsertItem(nullptr).IsAfterLastItem());
  const size_t stored = model.size();
  ints.deleted.clear();
  ints.tree.DeleteItems(&IntTree::Delete, &ints);
  EXPECT_EQ(ints.deleted.size(), stored);
  EXPECT_EQ(ints.tree.GetItemNumber(), 0);
  EXPECT_EQ(ints.tree.FirstNode(), nullptr);
}

TEST(AvlTree, AscendingAndDescendingInsertionStayBalanced) {
  // Sorted insertion would make an unbalanced tree a list; the invariant check proves the
  // balance factors, and a removal sweep from both ends takes every rotation case.
  IntTree ints;
  for (int value = 0; value < 2048; ++value) ASSERT_TRUE(ints.Insert(value, 0));
  for (int value = 5000; value >= 2048; --value) ASSERT_TRUE(ints.Insert(value, 1));
  ASSERT_TRUE(ints.tree.CheckInvariants());
  for (int low = 0, high = 5000; low <= high; ++low, --high) {
    ASSERT_TRUE(ints.Remove(low));
    if (high != low) {
      ASSERT_TRUE(ints.Remove(high));
    }
    if (low % 97 == 0) {
      ASSERT_EQ(ints.tree.FindInvariantViolation(), nullptr);
    }
  }
  EXPECT_EQ(ints.tree.GetItemNumber(), 0);
}

TEST(AvlTree, CursorsSurviveInsertionsAndRemovalOfOtherItems) {
  std::mt19937 random(7);
  IntTree ints;
  for (int value = 0; value < 200; ++value) ints.Insert(value * 2, value % 3);
  // One cursor on every fourth value; then churn everything else around them.
  std::map<int, ZRMUtAvlTreeCursor> cursors;
  for (int value = 0; value < 400; value += 4) {
    ZRMUtAvlTreeCursor cursor(ints.tree);
    cursor.ResetOnItem(&value);
    cursors.emplace(value, cursor);
  }
  for (int round = 0; round < 3000; ++round) {
    const int value = static_cast<int>(random() % 400);
    if (value % 4 == 0) continue;  // keep the watched items
    if (random() % 2 == 0) ints.Insert(value, round % 3);
    else ints.Remove(value);
  }
  ASSERT_TRUE(ints.tree.CheckInvariants());
  for (auto& [value, cursor] : cursors) {
    ASSERT_FALSE(cursor.IsAfterLastItem());
    EXPECT_EQ(*static_cast<int*>(cursor.GetItem()), value);
    EXPECT_EQ(ints.tree.LookForNode(&value), cursor.Node());  // items never change nodes
    ZRMUtAvlTreeCursor next = cursor;
    next.Increment();
    EXPECT_EQ(next.Node(), ints.tree.UpperBound(&value)) << value;  // the successor is still found
  }
}

TEST(AvlTree, CursorStatesOnNoItem) {
  IntTree ints;
  ZRMUtAvlTreeCursor unbound;
  EXPECT_EQ(unbound.Tree(), nullptr);
  unbound.ResetOnFirstItem();
  EXPECT_TRUE(unbound.IsAfterLastItem());
  EXPECT_EQ(unbound.GetItem(), nullptr);
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
  cursor.Increment();
  cursor.Increment();
  EXPECT_TRUE(cursor.IsAfterLastItem());
  cursor.Increment();  // stays after the last item
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
  EXPECT_EQ(a.tree.GetCompareFunction(), &CompareInts);
  a.Insert(1, 0);
  a.Insert(2, 0);
  EXPECT_FALSE(a.tree.SetCompareFunction(nullptr));
  EXPECT_EQ(a.tree.GetCompareFunction(), &CompareInts);
  EXPECT_TRUE(b.tree.SetCompareFunction(&CompareInts));
  b.Insert(9, 0);
  a.tree.Swap(b.tree);
  EXPECT_EQ(Contents(a.tree), std::vector<int>({9}));
  EXPECT_EQ(Contents(b.tree), std::vector<int>({1, 2}));
  EXPECT_TRUE(a.tree.CheckInvariants() && b.tree.CheckInvariants());

  int same[3] = {5, 5, 5};  // equal values at distinct addresses
  ZRMUtAvlTree byAddress(nullptr);  // our choice: no compare function orders by address
  for (int index : {2, 0, 1}) EXPECT_FALSE(byAddress.InsertItem(&same[index]).IsAfterLastItem());
  EXPECT_TRUE(byAddress.InsertItem(&same[0]).IsAfterLastItem());
  ZRMUtAvlTreeCursor cursor(byAddress);
  cursor.ResetOnFirstItem();
  for (int& item : same) {
    EXPECT_EQ(cursor.GetItem(), &item);
    cursor.Increment();
  }
  byAddress.DeleteItems(nullptr, nullptr);  // the items stay the caller's
  EXPECT_EQ(byAddress.GetItemNumber(), 0);
}

}  // namespace
