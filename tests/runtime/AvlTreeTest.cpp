// Balanced tree and cursor: structure after random operations against std::set, cursor
// stability, bounds, insertion and removal protocols.
#include "ZRMUtAvlTree.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Deleter that records what it was handed and frees the int item.
struct DeleteLog {
  std::vector<int> items;
  std::vector<ZRMUtAvlTreeNode*> nodes;
};

void DeleteInt(ZRMUtAvlTreeNode* node, void* item, void* context) {
  auto* log = static_cast<DeleteLog*>(context);
  log->items.push_back(*static_cast<int*>(item));
  log->nodes.push_back(node);
  delete static_cast<int*>(item);
}

std::vector<int> Contents(const ZRMUtAvlTree& tree) {
  std::vector<int> items;
  ZRMUtAvlTreeCursor cursor(tree);
  for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment())
    items.push_back(*static_cast<int*>(cursor.GetItem()));
  return items;
}

// A tree of int items owned by the test, emptied at the end.
class IntTree {
public:
  IntTree() : tree(&CompareInts) {}
  ~IntTree() { tree.DeleteItems(&DeleteInt, &log); }
  bool Insert(int value) {
    int* item = new int(value);
    const ZRMUtAvlTreeCursor cursor = tree.InsertItem(item);
    if (cursor.IsAfterLastItem()) {
      delete item;
      return false;
    }
    return true;
  }
  bool Remove(int value) { return tree.RemoveItem(&value, &DeleteInt, &log); }

  ZRMUtAvlTree tree;
  DeleteLog log;
};

TEST(AvlTree, RandomOperationsKeepStructureAndOrder) {
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> key(0, 999);
  IntTree ints;
  std::set<int> model;
  for (int step = 0; step < 40000; ++step) {
    const int value = key(random);
    if (random() % 3 != 0) {
      EXPECT_EQ(ints.Insert(value), model.insert(value).second);
    } else {
      EXPECT_EQ(ints.Remove(value), model.erase(value) == 1);
    }
    if (step % 500 == 0) {
      ASSERT_EQ(ints.tree.FindInvariantViolation(), nullptr) << "step " << step;
      ASSERT_EQ(Contents(ints.tree), std::vector<int>(model.begin(), model.end()));
    }
  }
  EXPECT_EQ(ints.tree.GetItemNumber(), static_cast<int>(model.size()));
  EXPECT_TRUE(ints.tree.CheckInvariants());
}

TEST(AvlTree, AscendingAndDescendingInsertionStayLogarithmic) {
  // A sorted insertion order would make an unbalanced tree a list; the invariant check proves
  // the balance factors, and a removal sweep from both ends exercises every rotation case.
  IntTree ints;
  for (int value = 0; value < 2048; ++value) ASSERT_TRUE(ints.Insert(value));
  for (int value = 5000; value >= 2048; --value) ASSERT_TRUE(ints.Insert(value));
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

TEST(AvlTree, InsertItemOfEqualItemIsRefusedAndLeavesItToCaller) {
  IntTree ints;
  ASSERT_TRUE(ints.Insert(5));
  int duplicate = 5;
  const ZRMUtAvlTreeCursor refused = ints.tree.InsertItem(&duplicate);
  EXPECT_TRUE(refused.IsAfterLastItem());
  EXPECT_EQ(refused.Tree(), &ints.tree);
  EXPECT_EQ(ints.tree.GetItemNumber(), 1);
  EXPECT_NE(ints.tree.LookForItem(&duplicate), &duplicate);  // the stored one, not ours
  EXPECT_TRUE(ints.tree.InsertItem(nullptr).IsAfterLastItem());
}

TEST(AvlTree, InsertItemCursorStandsOnTheStoredItem) {
  IntTree ints;
  int* item = new int(9);
  const ZRMUtAvlTreeCursor cursor = ints.tree.InsertItem(item);
  EXPECT_EQ(cursor.GetItem(), item);
  EXPECT_EQ(cursor.Node()->GetItem(), item);
}

TEST(AvlTree, LookupAndBoundsMatchStdSet) {
  IntTree ints;
  std::set<int> model;
  for (int value = 0; value < 300; value += 3) {
    ints.Insert(value);
    model.insert(value);
  }
  for (int probe = -2; probe < 305; ++probe) {
    const bool present = model.count(probe) == 1;
    void* found = ints.tree.LookForItem(&probe);
    EXPECT_EQ(found != nullptr, present);
    if (found != nullptr) {
      EXPECT_EQ(*static_cast<int*>(found), probe);
    }
    const auto lower = model.lower_bound(probe);
    ZRMUtAvlTreeNode* lowerNode = ints.tree.LowerBound(&probe);
    ASSERT_EQ(lowerNode == nullptr, lower == model.end()) << probe;
    if (lowerNode != nullptr) {
      EXPECT_EQ(*static_cast<int*>(lowerNode->GetItem()), *lower);
    }
    const auto upper = model.upper_bound(probe);
    ZRMUtAvlTreeNode* upperNode = ints.tree.UpperBound(&probe);
    ASSERT_EQ(upperNode == nullptr, upper == model.end()) << probe;
    if (upperNode != nullptr) {
      EXPECT_EQ(*static_cast<int*>(upperNode->GetItem()), *upper);
    }
  }
}

TEST(AvlTree, CursorsSurviveInsertionsAndRemovalOfOtherItems) {
  std::mt19937 random(7);
  IntTree ints;
  for (int value = 0; value < 200; ++value) ints.Insert(value * 2);
  // One cursor on every even item; then churn everything else around them.
  std::map<int, ZRMUtAvlTreeCursor> cursors;
  for (int value = 0; value < 400; value += 4) {
    ZRMUtAvlTreeCursor cursor(ints.tree);
    cursor.ResetOnItem(&value);
    cursors.emplace(value, cursor);
  }
  for (int round = 0; round < 3000; ++round) {
    const int value = static_cast<int>(random() % 400);
    if (value % 4 == 0) continue;  // keep the watched items
    if (random() % 2 == 0) ints.Insert(value);
    else ints.Remove(value);
  }
  ASSERT_TRUE(ints.tree.CheckInvariants());
  for (auto& [value, cursor] : cursors) {
    ASSERT_FALSE(cursor.IsAfterLastItem());
    EXPECT_EQ(*static_cast<int*>(cursor.GetItem()), value);
    ZRMUtAvlTreeCursor next = cursor;
    next.Increment();
    ZRMUtAvlTreeNode* expected = ints.tree.UpperBound(&value);
    EXPECT_EQ(next.Node(), expected) << value;  // the successor is still found from the node
  }
}

TEST(AvlTree, RemovingANodeWithTwoChildrenRelinksItsSuccessor) {
  // The successor's node takes the removed node's place; items never change nodes.
  IntTree ints;
  for (int value : {4, 2, 6, 1, 3, 5, 7}) ints.Insert(value);
  const int successor = 5;
  ZRMUtAvlTreeCursor onSuccessor(ints.tree);
  onSuccessor.ResetOnItem(&successor);
  ZRMUtAvlTreeNode* successorNode = onSuccessor.Node();
  ASSERT_TRUE(ints.Remove(4));  // the root, with two children
  EXPECT_EQ(onSuccessor.Node(), successorNode);
  EXPECT_EQ(*static_cast<int*>(onSuccessor.GetItem()), 5);
  EXPECT_EQ(ints.tree.LookForNode(&successor), successorNode);
  onSuccessor.Increment();
  EXPECT_EQ(*static_cast<int*>(onSuccessor.GetItem()), 6);
  EXPECT_EQ(Contents(ints.tree), std::vector<int>({1, 2, 3, 5, 6, 7}));
  EXPECT_TRUE(ints.tree.CheckInvariants());
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

  ints.Insert(1);
  ints.Insert(2);
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
}

TEST(AvlTree, DeleterReceivesNodeItemAndContextOnce) {
  IntTree ints;
  for (int value : {4, 2, 6, 1, 3, 5, 7}) ints.Insert(value);
  int probe = 4;
  ZRMUtAvlTreeNode* node = ints.tree.LookForNode(&probe);
  ASSERT_TRUE(ints.Remove(4));
  ASSERT_EQ(ints.log.items, std::vector<int>({4}));
  EXPECT_EQ(ints.log.nodes.front(), node);
  EXPECT_FALSE(ints.Remove(4));
  EXPECT_EQ(ints.log.items.size(), 1u);

  ints.tree.DeleteItems(&DeleteInt, &ints.log);
  std::vector<int> deleted(ints.log.items.begin() + 1, ints.log.items.end());
  std::sort(deleted.begin(), deleted.end());
  EXPECT_EQ(deleted, std::vector<int>({1, 2, 3, 5, 6, 7}));
  EXPECT_EQ(ints.tree.GetItemNumber(), 0);
  EXPECT_EQ(ints.tree.FirstNode(), nullptr);
}

// A caller-supplied node that carries its item, as the containers use.
struct IntBlock : ZRMUtAvlTreeNode {
  explicit IntBlock(int v) : value(v) { SetItem(&value); }
  int value;
};

void DeleteBlock(ZRMUtAvlTreeNode* node, void*, void* context) {
  ++*static_cast<int*>(context);
  delete static_cast<IntBlock*>(node);
}

TEST(AvlTree, CallerSuppliedNodesAreOwnedByTheDeleter) {
  ZRMUtAvlTree tree(&CompareInts);
  int freed = 0;
  std::vector<IntBlock*> blocks;
  for (int value = 0; value < 100; ++value) {
    auto* block = new IntBlock((value * 31) % 100);
    ASSERT_EQ(tree.InsertNode(block), block);
    blocks.push_back(block);
  }
  IntBlock duplicate(31);
  EXPECT_EQ(tree.InsertNode(&duplicate), blocks[1]);  // the equal node already stored
  ASSERT_TRUE(tree.CheckInvariants());
  for (int index = 0; index < 100; index += 2) tree.RemoveNode(blocks[static_cast<size_t>(index)], &DeleteBlock, &freed);
  EXPECT_EQ(freed, 50);
  EXPECT_TRUE(tree.CheckInvariants());
  tree.DeleteItems(&DeleteBlock, &freed);
  EXPECT_EQ(freed, 100);
}

TEST(AvlTree, SingleDescentInsertionLinksAtTheFoundPlace) {
  std::mt19937 random(3);
  ZRMUtAvlTree tree(&CompareInts);
  std::set<int> model;
  int freed = 0;
  for (int step = 0; step < 3000; ++step) {
    const int value = static_cast<int>(random() % 1000);
    ZRMUtAvlTreePlace place;
    ZRMUtAvlTreeNode* found = tree.LookForNode(&value, place);
    ASSERT_EQ(found == nullptr, model.count(value) == 0);
    if (found == nullptr) {
      tree.LinkNodeAt(new IntBlock(value), place);
      model.insert(value);
    }
  }
  ASSERT_EQ(tree.FindInvariantViolation(), nullptr);
  EXPECT_EQ(Contents(tree), std::vector<int>(model.begin(), model.end()));
  tree.DeleteItems(&DeleteBlock, &freed);
  EXPECT_EQ(freed, static_cast<int>(model.size()));
}

TEST(AvlTree, CompareFunctionChangesOnlyWhileEmpty) {
  IntTree ints;
  EXPECT_EQ(ints.tree.GetCompareFunction(), &CompareInts);
  ints.Insert(1);
  EXPECT_FALSE(ints.tree.SetCompareFunction(nullptr));
  EXPECT_EQ(ints.tree.GetCompareFunction(), &CompareInts);
  ints.Remove(1);
  EXPECT_TRUE(ints.tree.SetCompareFunction(&CompareInts));
}

TEST(AvlTree, SwapExchangesContentsAndOrder) {
  IntTree a;
  IntTree b;
  a.Insert(1);
  a.Insert(2);
  b.Insert(9);
  a.tree.Swap(b.tree);
  EXPECT_EQ(Contents(a.tree), std::vector<int>({9}));
  EXPECT_EQ(Contents(b.tree), std::vector<int>({1, 2}));
  EXPECT_TRUE(a.tree.CheckInvariants());
  EXPECT_TRUE(b.tree.CheckInvariants());
}

}  // namespace
