// The invariant checks of the balanced tree, the iterator register, the vector and the tree
// containers: each fault a check claims to find, made on a sound structure through the test
// access, is reported with its own description, and the structure is sound again once undone.
#include "ZRMUtAvlTree.h"
#include "ZRMUtIteratorTracker.h"
#include "ZRMUtMap.h"
#include "ZRMUtVector.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

// The private state the checks inspect (each of those classes names this struct friend).
struct ZRMUtContainerTestAccess {
  using Node = ZRMUtAvlTreeNode;
  static Node*& Left(Node* node) { return node->mLeft; }
  static Node*& Right(Node* node) { return node->mRight; }
  static Node*& Parent(Node* node) { return node->mParent; }
  static signed char& Balance(Node* node) { return node->mBalance; }
  static void*& Item(Node* node) { return node->mItem; }
  static ZRMUtIteratorTracker*& Tracker(ZRMUtTrackedIterator* it) { return it->mTracker; }
  static ZRMUtTrackedIterator*& Previous(ZRMUtTrackedIterator* it) { return it->mPrevious; }
  static ZRMUtTrackedIterator*& Next(ZRMUtTrackedIterator* it) { return it->mNext; }
  template <class T>
  static T*& First(ZRMUtVector<T>& vector) {
    return vector.mFirst;
  }
  template <class T>
  static T*& Last(ZRMUtVector<T>& vector) {
    return vector.mLast;
  }
  template <class T>
  static T*& End(ZRMUtVector<T>& vector) {
    return vector.mEnd;
  }
  template <class Item>
  static ZRMUtAvlTree& Tree(ZRMUtTree<Item>& container) {
    return container.mTree;
  }
  template <class Item>
  static ZRMUtAvlTreeCursor& Cursor(ZRMUtTree<Item>& container) {
    return container.mCursor;
  }
  template <class Item>
  static typename ZRMUtTree<Item>::Iterator& EndIterator(ZRMUtTree<Item>& container) {
    return *container.mEnd;
  }
  template <class Item>
  static typename ZRMUtTree<Item>::ConstIterator* ConstEnd(ZRMUtTree<Item>& container) {
    return container.mConstEnd;
  }
};

namespace {

using Access = ZRMUtContainerTestAccess;
// Element types no other test of this program checks: gcov drops the branch counts of a
// header's last function when one object holds several instances of it.
using LongMap = ZRMUtMap<long, long>;
using LongVector = ZRMUtVector<long>;

// Sets fields for one fault and undoes every change, last first, when it goes.
class Patch {
public:
  Patch() = default;
  Patch(const Patch&) = delete;
  Patch& operator=(const Patch&) = delete;
  ~Patch() {
    for (; !mUndo.empty(); mUndo.pop_back()) mUndo.back()();
  }
  template <class T, class V>
  void Set(T& field, V value) {
    mUndo.push_back([&field, old = field] { field = old; });
    field = value;
  }
  void OnExit(std::function<void()> undo) { mUndo.push_back(std::move(undo)); }

private:
  std::vector<std::function<void()>> mUndo;
};

template <class Subject>
struct Fault {
  const char* what;
  const char* expected;  // the description the check must give
  std::function<void(Subject&, Patch&)> corrupt;
};

// Makes each fault on a fresh subject: reported as expected, and sound again once undone.
template <class Subject>
void ExpectEachFaultReported(const std::vector<Fault<Subject>>& faults) {
  for (const Fault<Subject>& fault : faults) {
    SCOPED_TRACE(fault.what);
    Subject subject;
    ASSERT_EQ(subject.Check(), nullptr);
    {
      Patch patch;
      fault.corrupt(subject, patch);
      EXPECT_STREQ(subject.Check(), fault.expected);
    }
    EXPECT_EQ(subject.Check(), nullptr);
  }
}

// Faults of a subject's iterator register (at least two registered iterators and a spare
// unregistered one); a container reports each one as expected.
template <class Subject>
void AddRegisterFaults(std::vector<Fault<Subject>>& faults, const char* expected) {
  static ZRMUtIteratorTracker elsewhere;
  const auto links = [](Subject& s) {
    std::vector<ZRMUtTrackedIterator*> chain;
    for (ZRMUtTrackedIterator* it = s.Register()->FirstIter(); it != nullptr; it = s.Register()->NextIter(it))
      chain.push_back(it);
    return chain;
  };
  faults.push_back({"register: an iterator names another register", expected,
                    [links](Subject& s, Patch& p) { p.Set(Access::Tracker(links(s)[1]), &elsewhere); }});
  faults.push_back({"register: a broken back link", expected,
                    [links](Subject& s, Patch& p) { p.Set(Access::Previous(links(s)[1]), nullptr); }});
  faults.push_back({"register: more links than its count", expected, [links](Subject& s, Patch& p) {
                      ZRMUtTrackedIterator* last = links(s).back();
                      p.Set(Access::Tracker(&s.spare), s.Register());
                      p.Set(Access::Previous(&s.spare), last);
                      p.Set(Access::Next(last), &s.spare);
                    }});
  faults.push_back({"register: fewer links than its count", expected,
                    [links](Subject& s, Patch& p) { p.Set(Access::Next(links(s).front()), nullptr); }});
}

int CompareInts(const void* a, const void* b) {
  const int x = *static_cast<const int*>(a);
  const int y = *static_cast<const int*>(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

// 1..7 inserted in ascending order: 4 over 2 and 6, over the leaves 1, 3, 5, 7; all balanced.
struct AvlSubject {
  AvlSubject() {
    for (int& item : items) tree.InsertItem(&item);
  }
  ZRMUtAvlTreeNode* Node(int value) const { return tree.LookForNode(&value); }
  const char* Check() const { return tree.FindInvariantViolation(); }
  int items[7] = {1, 2, 3, 4, 5, 6, 7};
  ZRMUtAvlTree tree{&CompareInts};
};

TEST(InvariantChecks, AvlTreeReportsEachStructuralFault) {
  using S = AvlSubject;
  const char* const backLink = "child does not point back to its parent";
  const char* const unbalanced = "subtree out of balance";
  ExpectEachFaultReported<S>({
      {"root with a parent", "root has a parent", [](S& s, Patch& p) { p.Set(Access::Parent(s.Node(4)), s.Node(1)); }},
      {"left subtree: a child names its grandparent", backLink,
       [](S& s, Patch& p) { p.Set(Access::Parent(s.Node(3)), s.Node(4)); }},
      {"right subtree: a child names its grandparent", backLink,
       [](S& s, Patch& p) { p.Set(Access::Parent(s.Node(7)), s.Node(4)); }},
      {"balance factor off by one", "balance factor differs from the subtree heights",
       [](S& s, Patch& p) { p.Set(Access::Balance(s.Node(2)), 1); }},
      {"left side two levels higher", unbalanced,
       [](S& s, Patch& p) {
         p.Set(Access::Right(s.Node(4)), nullptr);
         p.Set(Access::Balance(s.Node(4)), -2);
       }},
      {"right side two levels higher", unbalanced,
       [](S& s, Patch& p) {
         p.Set(Access::Left(s.Node(4)), nullptr);
         p.Set(Access::Balance(s.Node(4)), 2);
       }},
      {"node without item", "node without item", [](S& s, Patch& p) { p.Set(Access::Item(s.Node(5)), nullptr); }},
      {"items out of order", "items out of order",
       [](S& s, Patch& p) { p.Set(Access::Item(s.Node(3)), Access::Item(s.Node(5))); }},
      {"a leaf lost from a sound structure", "item count differs from the stored items",
       [](S& s, Patch& p) {
         p.Set(Access::Right(s.Node(6)), nullptr);
         p.Set(Access::Balance(s.Node(6)), -1);
       }},
  });
}

// 0, 10, .., 40 in storage for 6, iterators on elements 0 and 3; another vector with an iterator.
struct VectorSubject {
  VectorSubject() {
    for (long value = 0; value < 50; value += 10) vector.PushBack(value);
    atStart = vector.Begin();
    atThree = vector.Begin() + 3;
    onOther = other.Begin();
  }
  const char* Check() const { return vector.FindInvariantViolation(); }
  ZRMUtIteratorTracker* Register() const { return atStart.GetTracker(); }
  LongVector vector, other;
  LongVector::Iterator atStart, atThree, onOther, spare;
};

TEST(InvariantChecks, VectorReportsStorageRegisterAndIteratorFaults) {
  using S = VectorSubject;
  const char* const noStorage = "storage pointers without storage";
  const char* const disorder = "storage pointers out of order";
  const char* const outside = "registered iterator outside the elements";
  std::vector<Fault<S>> faults = {
      {"elements end without storage", noStorage, [](S& s, Patch& p) { p.Set(Access::First(s.vector), nullptr); }},
      {"capacity end without storage", noStorage,
       [](S& s, Patch& p) {
         p.Set(Access::First(s.vector), nullptr);
         p.Set(Access::Last(s.vector), nullptr);
       }},
      {"first element after the elements end", disorder,
       [](S& s, Patch& p) { p.Set(Access::First(s.vector), Access::End(s.vector)); }},
      {"capacity end before the elements end", disorder,
       [](S& s, Patch& p) { p.Set(Access::End(s.vector), Access::First(s.vector) + 2); }},
      {"storage without capacity", disorder,
       [](S& s, Patch& p) {
         p.Set(Access::Last(s.vector), Access::First(s.vector));
         p.Set(Access::End(s.vector), Access::First(s.vector));
       }},
      {"iterator before the first element", outside,
       [](S& s, Patch& p) { p.Set(Access::First(s.vector), Access::First(s.vector) + 1); }},
      {"iterator after the elements end", outside,
       [](S& s, Patch& p) { p.Set(Access::Last(s.vector), Access::First(s.vector) + 2); }},
      {"iterator of another vector", "registered iterator of another vector",
       [](S& s, Patch& p) {
         ZRMUtIteratorTracker* home = s.onOther.GetTracker();
         s.Register()->AddIterator(&s.onOther);
         p.OnExit([&s, home] { home->AddIterator(&s.onOther); });
       }},
  };
  AddRegisterFaults(faults, "iterator register is inconsistent");
  ExpectEachFaultReported(faults);
}

// 0..6, an iterator on 3; another map with an iterator.
struct MapSubject {
  MapSubject() {
    for (long key = 0; key < 7; ++key) map[key] = key;
    other[9] = 9;
    onThree = map.Find(3);
    onOther = other.Begin();
  }
  const char* Check() const { return map.FindInvariantViolation(); }
  ZRMUtIteratorTracker* Register() const { return onThree.GetTracker(); }
  ZRMUtAvlTreeNode* Node(long key) { return Access::Tree(map).LookForNode(&key); }
  LongMap map, other;
  LongMap::Iterator onThree, onOther, spare;
};

TEST(InvariantChecks, TreeContainerReportsTreeRegisterEndAndIteratorFaults) {
  using S = MapSubject;
  const char* const cursorMoved = "own cursor moved";
  const char* const endMoved = "end iterator moved or unregistered";
  std::vector<Fault<S>> faults = {
      {"tree fault", "balance factor differs from the subtree heights",
       [](S& s, Patch& p) { p.Set(Access::Balance(s.Node(5)), 1); }},
      {"own cursor bound to no tree", cursorMoved,
       [](S& s, Patch& p) { p.Set(Access::Cursor(s.map), ZRMUtAvlTreeCursor()); }},
      {"own cursor on an element", cursorMoved,
       [](S& s, Patch& p) {
         ZRMUtAvlTreeCursor onFirst(Access::Tree(s.map));
         onFirst.ResetOnFirstItem();
         p.Set(Access::Cursor(s.map), onFirst);
       }},
      {"end iterator on an element", endMoved,
       [](S& s, Patch& p) { p.Set(Access::EndIterator(s.map), s.map.Begin()); }},
      {"end iterator of another map in this register", endMoved,
       [](S& s, Patch& p) {
         p.Set(Access::EndIterator(s.map), s.other.End());  // joins the other register
         s.Register()->AddIterator(&Access::EndIterator(s.map));
       }},
      {"read-only end iterator out of the register", endMoved,
       [](S& s, Patch& p) {
         s.Register()->RemoveIterator(Access::ConstEnd(s.map));
         p.OnExit([&s] { s.Register()->AddIterator(Access::ConstEnd(s.map)); });
       }},
      {"iterator of another map", "registered iterator of another container",
       [](S& s, Patch& p) {
         ZRMUtIteratorTracker* home = s.onOther.GetTracker();
         s.Register()->AddIterator(&s.onOther);
         p.OnExit([&s, home] { home->AddIterator(&s.onOther); });
       }},
      {"iterator on a node taken out of the tree", "registered iterator on a foreign node",
       [](S& s, Patch& p) {
         ZRMUtAvlTree& tree = Access::Tree(s.map);
         ZRMUtAvlTreeNode* node = s.Node(3);
         tree.RemoveNode(node, nullptr, nullptr);  // no deleter: the block stays, its iterator registered
         p.OnExit([&tree, node] { tree.InsertNode(node); });
       }},
  };
  AddRegisterFaults(faults, "iterator register is inconsistent");
  ExpectEachFaultReported(faults);
}

}  // namespace
