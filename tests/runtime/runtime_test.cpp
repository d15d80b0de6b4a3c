// The runtime beneath the containers, as far as they do not reach it: the balanced tree's item
// protocol against std::set, the compare function and Swap; platform errors, error trapping and
// the assertion sink.
#include "KRNError.h"
#include "KRNXHContext.h"
#include "ZRMTestSupport.h"
#include "ZRMUtAvlTree.h"
#include "ZRMUtIteratorTracker.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Test access to the links the invariant checkers judge, to corrupt them.
struct ZRMUtContainerTestAccess {
  static signed char& Balance(ZRMUtAvlTreeNode* node) { return node->mBalance; }
  static ZRMUtAvlTreeNode*& Left(ZRMUtAvlTreeNode* node) { return node->mLeft; }
  // Links extra behind last in last's register without counting it (null: undoes that).
  static void Smuggle(const ZRMUtTrackedIterator& last, const ZRMUtTrackedIterator* extra) {
    if (last.mNext != nullptr) {
      last.mNext->mTracker = nullptr;
      last.mNext->mPrevious = nullptr;
    }
    last.mNext = const_cast<ZRMUtTrackedIterator*>(extra);
    if (extra == nullptr) return;
    extra->mTracker = last.mTracker;
    extra->mPrevious = const_cast<ZRMUtTrackedIterator*>(&last);
  }
};

namespace {

int CompareInts(const void* a, const void* b) {
  const int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

// A tree of ints, each item a new int; the deleter frees what it is handed and records it. (The
// node protocols, InsertNode and LookForNode + LinkNodeAt, are the containers': fuzz_tree.)
struct IntTree {
  ~IntTree() { tree.DeleteItems(&Delete, this); }
  static void Delete(ZRMUtAvlTreeNode* node, void* item, void* context) {
    static_cast<IntTree*>(context)->deleted.emplace_back(node, *static_cast<int*>(item));
    delete static_cast<int*>(item);
  }
  // false when present (the item stays the caller's).
  bool Insert(int value) {
    int* item = new int(value);
    const ZRMUtAvlTreeCursor cursor = tree.InsertItem(item);
    EXPECT_TRUE(cursor.Tree() == &tree && (cursor.IsAfterLastItem() || cursor.GetItem() == item));
    if (cursor.IsAfterLastItem()) delete item;
    return !cursor.IsAfterLastItem();
  }
  std::vector<int> Contents() const {
    std::vector<int> items;
    ZRMUtAvlTreeCursor cursor(tree);
    for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment())
      items.push_back(*static_cast<int*>(cursor.GetItem()));
    return items;
  }
  ZRMUtAvlTree tree{&CompareInts};
  std::vector<std::pair<ZRMUtAvlTreeNode*, int>> deleted;
};

// InsertItem, RemoveItem and RemoveNode against std::set; the deleter runs once per removal, with
// the node and its item; the search from the end finds what the search from the root finds.
TEST(AvlTree, ItemProtocolAgainstStdSet) {
  std::mt19937 random(20261206);
  IntTree ints;
  std::set<int> model;
  for (long step = 0; step < zrmtest::Scaled(40000); ++step) {
    const int value = static_cast<int>(random() % 1000), roll = static_cast<int>(random() % 4);
    if (roll < 2) {
      ASSERT_EQ(ints.Insert(value), model.insert(value).second);
    } else {
      ZRMUtAvlTreeNode* node = ints.tree.LookForNode(&value);
      ASSERT_EQ(node != nullptr, model.erase(value) == 1);
      const std::size_t deleted = ints.deleted.size();
      if (roll == 2)
        ASSERT_EQ(ints.tree.RemoveItem(&value, &IntTree::Delete, &ints), node != nullptr);
      else if (node != nullptr)
        ints.tree.RemoveNode(node, &IntTree::Delete, &ints);
      ASSERT_EQ(ints.deleted.size(), deleted + (node != nullptr));
      ASSERT_TRUE(node == nullptr || ints.deleted.back() == std::make_pair(node, value));
    }
    const int probe = static_cast<int>(random() % 1002) - 1;
    const void* found = ints.tree.LookForItem(&probe);
    ASSERT_EQ(found ? *static_cast<const int*>(found) : -2, model.count(probe) ? probe : -2);
    ZRMUtAvlTreePlace fromRoot, fromEnd;  // the search from the end differs only in speed
    ASSERT_EQ(ints.tree.LookForNodeFromEnd(&probe, fromEnd), ints.tree.LookForNode(&probe, fromRoot));
    ASSERT_TRUE(fromEnd.parent == fromRoot.parent && fromEnd.left == fromRoot.left);
    if (step % 500 == 0) {
      ASSERT_EQ(ints.tree.FindInvariantViolation(), nullptr) << "step " << step;
      ASSERT_EQ(ints.Contents(), std::vector<int>(model.begin(), model.end()));
    }
  }
  EXPECT_EQ(ints.tree.GetItemNumber(), static_cast<int>(model.size()));
  EXPECT_TRUE(ints.tree.InsertItem(nullptr).IsAfterLastItem());
  ints.deleted.clear();
  ints.tree.DeleteItems(&IntTree::Delete, &ints);
  EXPECT_TRUE(ints.deleted.size() == model.size() && ints.tree.GetItemNumber() == 0 && !ints.tree.FirstNode());
}

TEST(AvlTree, CompareFunctionChangesOnlyWhileEmptyNullOrdersByAddressSwapExchanges) {
  IntTree a, b;
  a.Insert(1);
  a.Insert(2);
  EXPECT_FALSE(a.tree.SetCompareFunction(nullptr));  // refused while it holds items
  EXPECT_TRUE(a.tree.GetCompareFunction() == &CompareInts && b.tree.SetCompareFunction(&CompareInts));
  b.Insert(9);
  a.tree.Swap(b.tree);
  EXPECT_TRUE(a.Contents() == std::vector<int>({9}) && b.Contents() == std::vector<int>({1, 2}));
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
    tree->DeleteItems(nullptr, nullptr);
  }
}

// The invariant checkers name what is wrong with a corrupted tree or register.
TEST(AvlTree, CheckersNameCorruptions) {
  IntTree ints;
  for (int value : {1, 2, 3, 4}) ints.Insert(value);  // 2 (1, 3 (-, 4))
  const int one = 1, two = 2;
  ZRMUtAvlTreeNode *leaf = ints.tree.LookForNode(&one), *root = ints.tree.LookForNode(&two);
  ZRMUtContainerTestAccess::Balance(leaf) = 1;
  EXPECT_STREQ(ints.tree.FindInvariantViolation(), "balance factor differs from the subtree heights");
  ZRMUtContainerTestAccess::Balance(leaf) = 0;
  ZRMUtContainerTestAccess::Left(root) = nullptr;  // heights 0 and 2
  ZRMUtContainerTestAccess::Balance(root) = 2;
  EXPECT_STREQ(ints.tree.FindInvariantViolation(), "subtree out of balance");
  ZRMUtContainerTestAccess::Left(root) = leaf;
  ZRMUtContainerTestAccess::Balance(root) = 1;
  EXPECT_EQ(ints.tree.FindInvariantViolation(), nullptr);
  struct Iterator : ZRMUtTrackedIterator {
    void ReleaseContainer() noexcept override {}
  } registered, extra;
  ZRMUtIteratorTracker tracker;
  tracker.AddIterator(&registered);
  ZRMUtContainerTestAccess::Smuggle(registered, &extra);  // two iterators, one counted
  EXPECT_FALSE(tracker.CheckInvariants());
  ZRMUtContainerTestAccess::Smuggle(registered, nullptr);
  EXPECT_TRUE(tracker.CheckInvariants());
}

TEST(PlatformErrors, KindsMessagesAndThrowOfTheObjectItself) {
  const struct {
    KRNException* object;
    const char* name;
    bool error, utError;
  } cases[] = {{new KRNException(), "KRNException", false, false},
               {new KRNError(), "KRNError", true, false},
               {new ZRMUtError(ZRMUtError::IndexOutOfRange), "ZRMUtError", true, true}};
  for (const auto& c : cases) {
    KRNExceptionOwner owner(c.object);
    EXPECT_STREQ(c.object->GetClassName(), c.name);
    EXPECT_TRUE(c.object->IsAKindOf(KRNException::ClassName()) && c.object->GetMessageText()[0] != '\0');
    EXPECT_TRUE(c.object->IsAKindOf(KRNError::ClassName()) == c.error &&
                c.object->IsAKindOf(ZRMUtError::ClassName()) == c.utError);
    EXPECT_FALSE(c.object->IsAKindOf("SomethingElse") || c.object->IsAKindOf(nullptr));
  }
  EXPECT_STRNE(ZRMUtError(ZRMUtError::IndexOutOfRange).GetMessageText(),
               ZRMUtError(ZRMUtError::InvalidIterator).GetMessageText());
  EXPECT_TRUE(ZRMUtError::IndexOutOfRange == 0x80000000u && ZRMUtError::InvalidIterator == 0x80000001u);
  KRNError* error = new KRNError();
  int data = 0;
  try {
    error->Throw("f", 3, &data);
  } catch (KRNException* raised) {
    KRNExceptionOwner owner(raised);
    EXPECT_TRUE(raised == error && raised->GetData() == &data && raised->GetFile() == std::string("f") &&
                raised->GetLine() == 3);
  }
}

// Trapped platform objects are handed over once; a second trap disposes of the first and the
// context of what is left (the sanitizer build proves nothing leaks).
TEST(PlatformErrors, ContextTrapsPlatformObjectsOnly) {
  KRNXHContext context;
  int calls = 0;
  EXPECT_TRUE(context.Run([&] { ++calls; }) && calls == 1 && context.Trapped() == nullptr);
  EXPECT_THROW(context.Run([] { throw std::runtime_error("not ours"); }), std::runtime_error);
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::InvalidIterator, "x", 1); }));
  KRNException* trapped = context.Trapped();
  ASSERT_TRUE(trapped && trapped->IsAKindOf(KRNError::ClassName()) && context.Trapped() == nullptr);
  KRNError::Flush(static_cast<KRNError*>(trapped));
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "a", 1); }));
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "b", 2); }));
  KRNException* last = context.Trapped();
  EXPECT_STREQ(last->GetFile(), "b");
  KRNException::Dispose(last);
  EXPECT_FALSE(context.Run([] { (new KRNException())->Throw("inner", 9, nullptr); }));
  trapped = context.Trapped();  // no KRNError: the caller passes it on through its own Throw
  const zrmtest::Raised again = zrmtest::CatchRaised([&] { trapped->Throw(nullptr, 0, nullptr); });
  EXPECT_TRUE(again.raised && !again.isZRMUtError && again.file.empty() && again.line == 0);
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "c", 3); }));
}

TEST(AssertFailure, ReportsReachTheSinkStageAndSinkAreRestored) {
  const int stageBefore = ZRMGetKRNDevelopmentStage();
  {
    zrmtest::AssertRecorder recorder(3);
    EXPECT_TRUE(ZRMGetKRNDevelopmentStage() == 3 && ZRMSetKRNDevelopmentStage(5) == 3 &&
                ZRMGetKRNDevelopmentStage() == 5);
    ZRMUtAssertFailure(false, KRNUnicodeString("x > 0"), KRNUnicodeString("x must be positive"), "src/File", 17);
    KRNRuntimeAssert(L"(\"m\", e)", "src/File", 18);
    ASSERT_EQ(recorder.reports.size(), 2u);
    const zrmtest::AssertReport& failure = recorder.reports[0];
    EXPECT_TRUE(failure.kind == zrmtest::AssertReport::Failure && !failure.condition && failure.line == 17);
    EXPECT_EQ(failure.expression + "|" + failure.message + "|" + failure.file, "x > 0|x must be positive|src/File");
    const zrmtest::AssertReport& runtime = recorder.reports[1];
    EXPECT_TRUE(runtime.kind == zrmtest::AssertReport::Runtime && runtime.text == L"(\"m\", e)" && runtime.line == 18);
    EXPECT_EQ(ZRMUtSetAssertSink(nullptr), &recorder);  // null restores the default sink
    ZRMUtAssertSink* fallback = ZRMUtSetAssertSink(&recorder);
    EXPECT_TRUE(fallback != nullptr && fallback != &recorder);
  }
  EXPECT_EQ(ZRMGetKRNDevelopmentStage(), stageBefore);
  const KRNUnicodeString text("a, \"b\"");  // narrow literals widen one to one
  EXPECT_TRUE(text.ConvertToWChar() == L"a, \"b\"" && text.ConvertToChar() == "a, \"b\"");
  EXPECT_EQ(KRNUnicodeString(static_cast<const char*>(nullptr)).ConvertToChar(), "");
}

}  // namespace
