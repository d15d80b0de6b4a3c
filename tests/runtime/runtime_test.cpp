// The runtime beneath the containers, as far as they do not reach it: the balanced tree's item
// protocol against std::set and its compare function; platform errors, error trapping and the
// assertion sink. (The invariant checkers are test instruments: the fuzzers call them.)
#include "KRNError.h"
#include "KRNXHContext.h"
#include "ZRMTestSupport.h"
#include "ZRMUtAvlTree.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int CompareInts(const void* a, const void* b) {
  const int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

// A deleter that appends the int of each item it is handed to the std::vector<int> of context.
void Record(ZRMUtAvlTreeNode*, void* item, void* context) {
  static_cast<std::vector<int>*>(context)->push_back(*static_cast<int*>(item));
}

// InsertItem, RemoveItem and LookForItem against std::set (the deleter runs once per removal); the
// compare function changes only while the tree is empty, and no compare function orders items by
// address (our choice). The node protocols, Swap and deleting all items with a deleter are the
// containers' (fuzz_tree).
TEST(AvlTree, ItemProtocolAgainstStdSet) {
  std::mt19937 random(20261206);
  std::vector<int> values(1000), removed;
  std::iota(values.begin(), values.end(), 0);
  ZRMUtAvlTree tree(&CompareInts);
  std::set<int> model;
  for (long step = 0; step < zrmtest::Scaled(40000); ++step) {
    const int value = static_cast<int>(random() % 1000);
    const std::size_t removals = removed.size();
    if (random() % 2 == 0) {
      const ZRMUtAvlTreeCursor cursor = tree.InsertItem(&values[value]);
      ASSERT_TRUE(cursor.Tree() == &tree &&
                  cursor.GetItem() == (model.insert(value).second ? &values[value] : nullptr));
    } else {
      const bool present = model.erase(value) == 1;
      ASSERT_EQ(tree.RemoveItem(&value, &Record, &removed), present);
      ASSERT_TRUE(removed.size() == removals + present && (!present || removed.back() == value));
    }
    const int probe = static_cast<int>(random() % 1002) - 1;
    const void* found = tree.LookForItem(&probe);
    ASSERT_EQ(found ? *static_cast<const int*>(found) : -2, model.count(probe) ? probe : -2);
    ASSERT_EQ(step % 500 == 0 ? tree.FindInvariantViolation() : nullptr, nullptr) << "step " << step;
  }
  ASSERT_EQ(tree.GetItemNumber(), int(model.size()));
  EXPECT_TRUE(tree.InsertItem(nullptr).IsAfterLastItem() && !tree.SetCompareFunction(nullptr));
  tree.DeleteItems(nullptr, nullptr);  // the items stay the caller's
  EXPECT_TRUE(tree.SetCompareFunction(nullptr));
  ZRMUtAvlTree byAddress(nullptr);
  int same[3] = {5, 5, 5};  // equal values at distinct addresses
  for (ZRMUtAvlTree* t : {&tree, &byAddress}) {
    for (int index : {2, 0, 1}) EXPECT_FALSE(t->InsertItem(&same[index]).IsAfterLastItem());
    EXPECT_TRUE(t->InsertItem(&same[0]).IsAfterLastItem());
    std::vector<const void*> items;
    ZRMUtAvlTreeCursor cursor(*t);
    for (cursor.ResetOnFirstItem(); !cursor.IsAfterLastItem(); cursor.Increment()) items.push_back(cursor.GetItem());
    EXPECT_EQ(items, std::vector<const void*>({&same[0], &same[1], &same[2]}));
    t->DeleteItems(nullptr, nullptr);
  }
}

// Each platform class: its name, the kinds it is, its message; a raise throws the object itself
// with the file, line and data given. What ZRMUtRaise reports the fuzzers check at every raise site.
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
  EXPECT_TRUE(ZRMUtError::IndexOutOfRange == 0x80000000u && ZRMUtError::InvalidIterator == 0x80000001u);
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

// Runtime assertions reach the installed sink (failed checks do too: the geometry and solver
// tests read their reports); a null sink restores the default one.
TEST(AssertFailure, RuntimeAssertsReachTheSinkAndNullRestoresTheDefault) {
  const int stageBefore = ZRMGetKRNDevelopmentStage();
  {
    zrmtest::AssertRecorder recorder(3);
    EXPECT_TRUE(ZRMGetKRNDevelopmentStage() == 3 && ZRMSetKRNDevelopmentStage(5) == 3);
    KRNRuntimeAssert(L"(\"m\", e)", "src/File", 18);
    ASSERT_EQ(recorder.reports.size(), 1u);
    const zrmtest::AssertReport& runtime = recorder.reports[0];
    EXPECT_TRUE(runtime.kind == zrmtest::AssertReport::Runtime && runtime.text == L"(\"m\", e)" &&
                runtime.file == "src/File" && runtime.line == 18);
    EXPECT_EQ(ZRMUtSetAssertSink(nullptr), &recorder);
    ZRMUtAssertSink* fallback = ZRMUtSetAssertSink(&recorder);
    EXPECT_TRUE(fallback != nullptr && fallback != &recorder);
  }
  EXPECT_EQ(ZRMGetKRNDevelopmentStage(), stageBefore);
  const KRNUnicodeString text("a, \"b\"");  // narrow literals widen one to one
  EXPECT_TRUE(text.ConvertToWChar() == L"a, \"b\"" && text.ConvertToChar() == "a, \"b\"");
  EXPECT_EQ(KRNUnicodeString(static_cast<const char*>(nullptr)).ConvertToChar(), "");
}

}  // namespace
