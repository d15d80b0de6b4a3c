// The runtime beneath the containers, as far as they do not reach it: the balanced tree's item
// protocol against std::set, its compare function, Swap and invariant checkers; platform errors,
// error trapping and the assertion sink.
#include "KRNError.h"
#include "KRNXHContext.h"
#include "ZRMTestSupport.h"
#include "ZRMUtAvlTree.h"
#include "ZRMUtIteratorTracker.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<const void*> Items(const ZRMUtAvlTree& tree) {
  std::vector<const void*> items;
  ZRMUtAvlTreeCursor cursor(tree);
  for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment()) items.push_back(cursor.GetItem());
  return items;
}

// A tree of ints, each item a new int, and the values its deleter was handed (it frees them).
// The node protocols are the containers' (fuzz_tree); this is the item protocol.
struct IntTree {
  ~IntTree() { tree.DeleteItems(&Delete, this); }
  static void Delete(ZRMUtAvlTreeNode*, void* item, void* context) {
    static_cast<IntTree*>(context)->deleted.push_back(*static_cast<int*>(item));
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
  ZRMUtAvlTree tree{&CompareInts};
  std::vector<int> deleted;
};

// InsertItem, RemoveItem and LookForItem against std::set (the deleter runs once per removal); the
// compare function changes only while the tree is empty, and no compare function orders items by
// address (our choice); Swap exchanges contents.
TEST(AvlTree, ItemProtocolAgainstStdSet) {
  std::mt19937 random(20261206);
  IntTree ints, other;
  std::set<int> model;
  for (long step = 0; step < zrmtest::Scaled(40000); ++step) {
    const int value = static_cast<int>(random() % 1000);
    if (random() % 2 == 0) {
      ASSERT_EQ(ints.Insert(value), model.insert(value).second);
    } else {
      const bool present = model.erase(value) == 1;
      ASSERT_EQ(ints.tree.RemoveItem(&value, &IntTree::Delete, &ints), present);
      ASSERT_TRUE(!present || ints.deleted.back() == value);
    }
    const int probe = static_cast<int>(random() % 1002) - 1;
    const void* found = ints.tree.LookForItem(&probe);
    ASSERT_EQ(found ? *static_cast<const int*>(found) : -2, model.count(probe) ? probe : -2);
    ASSERT_EQ(step % 500 == 0 ? ints.tree.FindInvariantViolation() : nullptr, nullptr) << "step " << step;
  }
  ASSERT_EQ(ints.tree.GetItemNumber(), int(model.size()));
  EXPECT_TRUE(ints.tree.InsertItem(nullptr).IsAfterLastItem() && !ints.tree.SetCompareFunction(nullptr));
  other.Insert(-1);
  ints.tree.Swap(other.tree);
  EXPECT_TRUE(Items(ints.tree).size() == 1 && *static_cast<const int*>(Items(ints.tree)[0]) == -1);
  other.deleted.clear();
  other.tree.DeleteItems(&IntTree::Delete, &other);
  std::sort(other.deleted.begin(), other.deleted.end());
  EXPECT_TRUE(other.deleted == std::vector<int>(model.begin(), model.end()) && !other.tree.FirstNode());
  EXPECT_TRUE(other.tree.SetCompareFunction(nullptr));
  ZRMUtAvlTree byAddress(nullptr);
  int same[3] = {5, 5, 5};  // equal values at distinct addresses
  for (ZRMUtAvlTree* tree : {&other.tree, &byAddress}) {
    for (int index : {2, 0, 1}) EXPECT_FALSE(tree->InsertItem(&same[index]).IsAfterLastItem());
    EXPECT_TRUE(tree->InsertItem(&same[0]).IsAfterLastItem());
    EXPECT_EQ(Items(*tree), std::vector<const void*>({&same[0], &same[1], &same[2]}));
    tree->DeleteItems(nullptr, nullptr);  // the items stay the caller's
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

// Each platform class: its name, the kinds it is, its message; a raise throws the object itself
// with the file, line and data given.
TEST(PlatformErrors, KindsMessagesAndRaisedObjects) {
  const struct {
    KRNException* object;
    const char* name;
    bool error, utError;
    const char* message;
  } cases[] = {
      {new KRNException(), "KRNException", false, false, "platform exception"},
      {new KRNError(), "KRNError", true, false, "platform error"},
      {new ZRMUtError(ZRMUtError::IndexOutOfRange), "ZRMUtError", true, true, "index or position outside a vector"},
      {new ZRMUtError(ZRMUtError::InvalidIterator), "ZRMUtError", true, true,
       "iterator bound to no container or not on an element"}};
  int data = 0;
  for (const auto& c : cases) {
    EXPECT_TRUE(std::string(c.object->GetClassName()) == c.name &&
                std::string(c.object->GetMessageText()) == c.message);
    EXPECT_TRUE(c.object->IsAKindOf("KRNException") && c.object->IsAKindOf("KRNError") == c.error &&
                c.object->IsAKindOf("ZRMUtError") == c.utError);
    EXPECT_FALSE(c.object->IsAKindOf("SomethingElse") || c.object->IsAKindOf(nullptr));
    try {
      c.object->Throw("f", 3, &data);
    } catch (KRNException* raised) {
      KRNExceptionOwner owner(raised);
      EXPECT_TRUE(raised == c.object && raised->GetData() == &data && raised->GetFile() == std::string("f") &&
                  raised->GetLine() == 3);
    }
  }
  const zrmtest::Raised raised = zrmtest::CatchRaised([] { ZRMUtRaise(ZRMUtError::InvalidIterator, "g", 4); });
  EXPECT_TRUE(raised.isZRMUtError && raised.code == 0x80000001u && raised.file == "g" && raised.line == 4 &&
              ZRMUtError::IndexOutOfRange == 0x80000000u);
}

// A context traps platform objects only and hands the last one over once, disposing of an earlier
// one and, at its end, of what is left (the sanitizer build proves nothing leaks).
TEST(PlatformErrors, ContextTrapsPlatformObjectsOnly) {
  KRNXHContext context;
  int calls = 0;
  EXPECT_TRUE(context.Run([&] { ++calls; }) && calls == 1 && context.Trapped() == nullptr);
  EXPECT_THROW(context.Run([] { throw std::runtime_error("not ours"); }), std::runtime_error);
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "a", 1); }));
  EXPECT_FALSE(context.Run([] { (new KRNError())->Throw("b", 2, nullptr); }));
  KRNException* last = context.Trapped();
  EXPECT_TRUE(last && std::string(last->GetFile()) == "b" && context.Trapped() == nullptr);
  KRNError::Flush(static_cast<KRNError*>(last));
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "c", 3); }));
}

TEST(AssertFailure, ReportsReachTheSinkStageAndSinkAreRestored) {
  const int stageBefore = ZRMGetKRNDevelopmentStage();
  {
    zrmtest::AssertRecorder recorder(3);
    EXPECT_TRUE(ZRMGetKRNDevelopmentStage() == 3 && ZRMSetKRNDevelopmentStage(5) == 3);
    ZRMUtAssertFailure(false, KRNUnicodeString("x > 0"), KRNUnicodeString("x must be positive"), "src/File", 17);
    KRNRuntimeAssert(L"(\"m\", e)", "src/File", 18);
    ASSERT_EQ(recorder.reports.size(), 2u);
    const zrmtest::AssertReport &failure = recorder.reports[0], &runtime = recorder.reports[1];
    EXPECT_TRUE(failure.kind == zrmtest::AssertReport::Failure && !failure.condition && failure.line == 17);
    EXPECT_EQ(failure.expression + "|" + failure.message + "|" + failure.file, "x > 0|x must be positive|src/File");
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
