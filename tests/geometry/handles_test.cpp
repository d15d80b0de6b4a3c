// Reference-counting handles: counts through every handle operation, destruction exactly once,
// and the conversions that exist and those that must not.
#include "GeometryTestSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtCSys.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtTorus.h"

#include <map>
#include <random>
#include <type_traits>
#include <utility>

using geomtest::Counted;
using geomtest::Refs;

namespace {

template <class From, class To>
constexpr bool kConverts = std::is_convertible_v<From, To>;
template <class To, class From>
constexpr bool kMakes = std::is_constructible_v<To, From>;

// Every handle is one pointer wide.
static_assert(sizeof(ZRMUtGeometry_Ptr) == sizeof(void*) && sizeof(ZRMUtGeometry_ConstPtr) == sizeof(void*) &&
              sizeof(ZRMUtLine_Ptr) == sizeof(void*) && sizeof(ZRMUtArc_ConstPtr) == sizeof(void*) &&
              sizeof(ZRMUtTorus_Ptr) == sizeof(void*));
// The only conversion between handles: <Class>_ConstPtr from <Class>_Ptr.
static_assert(kConverts<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr> && kConverts<ZRMUtGeometry_Ptr, ZRMUtGeometry_ConstPtr> &&
              std::is_assignable_v<ZRMUtLine_ConstPtr&, ZRMUtLine_Ptr>);
static_assert(!kConverts<ZRMUtLine_ConstPtr, ZRMUtLine_Ptr> && !kMakes<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr>);
// No way up or across, neither implicit nor by direct construction or assignment.
static_assert(!kConverts<ZRMUtLine_Ptr, ZRMUtGeometry_Ptr> && !kMakes<ZRMUtGeometry_Ptr, ZRMUtLine_Ptr> &&
              !std::is_assignable_v<ZRMUtGeometry_Ptr&, ZRMUtLine_Ptr>);
static_assert(!kConverts<ZRMUtLine_Ptr, ZRMUtGeometry_ConstPtr> && !kMakes<ZRMUtGeometry_ConstPtr, ZRMUtLine_Ptr>);
static_assert(!kMakes<ZRMUtCSys_Ptr, ZRMUtPlane_Ptr> && !kMakes<ZRMUtCircle_Ptr, ZRMUtArc_Ptr> &&
              !kMakes<ZRMUtLine_Ptr, ZRMUtPoint_Ptr>);
// A raw pointer is taken only when named: explicit construction, from the class or a derived one.
static_assert(!kConverts<ZRMUtLine*, ZRMUtLine_Ptr> && kMakes<ZRMUtLine_Ptr, ZRMUtLine*> &&
              kMakes<ZRMUtGeometry_Ptr, ZRMUtLine*> && kMakes<ZRMUtLine_ConstPtr, const ZRMUtLine*>);
static_assert(!kMakes<ZRMUtLine_Ptr, const ZRMUtLine*> && !kMakes<ZRMUtLine_Ptr, ZRMUtGeometry*> &&
              !kMakes<ZRMUtPlane_Ptr, ZRMUtCSys*>);
// The held pointer is readable as the raw pointer.
static_assert(kConverts<ZRMUtLine_Ptr, ZRMUtLine*> && kConverts<ZRMUtLine_ConstPtr, const ZRMUtLine*> &&
              !kConverts<ZRMUtLine_ConstPtr, ZRMUtLine*>);

using CountedPoint = Counted<ZRMUtPoint>;

class HandleTest : public ::testing::Test {
protected:
  void SetUp() override { CountedPoint::destroyed = 0; }
  static CountedPoint* NewPoint(double x = 1.0) { return new CountedPoint(KRNMathPoint(x, 2.0, 3.0)); }
};

// Random handle operations against a model: each object's count is the number of handles
// holding it, and an object is destroyed exactly once, when its last handle lets go.
TEST_F(HandleTest, RandomOperationsAgainstACountModel) {
  std::mt19937 engine(2027);
  ZRMUtPoint_Ptr slots[6];
  int created = 0;
  for (long step = 0; step < zrmtest::Scaled(3000); ++step) {
    ZRMUtPoint_Ptr& a = slots[engine() % 6];
    const ZRMUtPoint_Ptr& b = slots[engine() % 6];  // may be a itself
    switch (engine() % 7) {
      case 0: a = b; break;  // self-assignment included
      case 1: a = ZRMUtPoint_Ptr(b); break;
      case 2: a = b.Ptr(); break;  // from the raw pointer, possibly the one a holds
      case 3: a.swap(slots[engine() % 6]); break;
      case 4: a.Reset(); break;
      case 5: a = nullptr; break;
      default: a = ZRMUtPoint_Ptr(NewPoint()); ++created;
    }
    std::map<const ZRMUtPoint*, long> holders;
    for (const ZRMUtPoint_Ptr& slot : slots)
      if (slot) ++holders[slot.Ptr()];
    for (const auto& [object, count] : holders) ASSERT_EQ(Refs(object), count) << "step " << step;
    ASSERT_EQ(CountedPoint::destroyed, created - static_cast<int>(holders.size())) << "step " << step;
  }
  for (ZRMUtPoint_Ptr& slot : slots) slot.Reset();
  EXPECT_EQ(CountedPoint::destroyed, created);
}

TEST_F(HandleTest, ConstHandlesCountAsWell) {
  ZRMUtPoint_Ptr a(NewPoint(2.0));
  const ZRMUtPoint* raw = a.Ptr();
  ZRMUtPoint_ConstPtr constCopy(a), constHandle;
  constHandle = a;
  EXPECT_TRUE(Refs(raw) == 3 && constCopy.Ptr() == raw);
  a = nullptr;
  constCopy.Reset();
  const ZRMUtPoint_ConstPtr& sameHandle = constHandle;
  constHandle = sameHandle;  // self-assignment
  EXPECT_EQ(Refs(raw), 1);
  EXPECT_EQ((*constHandle).Point().y, 2.0);
  EXPECT_EQ(CountedPoint::destroyed, 0);
  constHandle.Reset();
  EXPECT_EQ(CountedPoint::destroyed, 1);
}

TEST_F(HandleTest, EmptyHandles) {
  ZRMUtGeometry_Ptr empty, other, fromNull(static_cast<ZRMUtGeometry*>(nullptr));
  const ZRMUtGeometry_ConstPtr fromLiteral(nullptr);
  EXPECT_TRUE(fromLiteral.Ptr() == nullptr && fromLiteral == nullptr && !(empty != nullptr));  // via the raw pointer
  EXPECT_TRUE(static_cast<ZRMUtGeometry*>(empty) == nullptr && empty.operator->() == nullptr);
  EXPECT_TRUE(empty == other && empty == fromNull && !(empty != other || empty < other || other < empty));
  empty.Reset();
  empty = other;  // releases null, adds null
  EXPECT_EQ(empty.Ptr(), nullptr);
}

TEST_F(HandleTest, IdentityAndAddressOrder) {
  CountedPoint* p = NewPoint(1.0);
  CountedPoint* q = NewPoint(1.0);  // equal value, other object
  ZRMUtPoint_Ptr a(p), a2(p), b(q);
  EXPECT_TRUE(a == a2 && a != b);
  EXPECT_EQ(a < b, std::less<ZRMUtPoint*>()(p, q));
  EXPECT_NE(a < b, b < a);
  EXPECT_FALSE(a < a2);
  EXPECT_TRUE(ZRMUtPoint_Ptr() < a);  // null is the lowest address
  std::map<ZRMUtPoint_Ptr, int> byHandle;
  byHandle[a] = 1;
  byHandle[b] = 2;
  byHandle[a2] = 3;  // same object as a
  EXPECT_EQ(byHandle.size(), 2u);
  EXPECT_EQ(byHandle[a], 3);
  EXPECT_EQ(Refs(p), 3);  // a, a2 and the map's key
  byHandle.clear();
  EXPECT_EQ(Refs(p), 2);
}

TEST_F(HandleTest, MovingBetweenClassesGoesThroughRawPointers) {
  Counted<ZRMUtLine>::destroyed = 0;
  ZRMUtLine_Ptr line(new Counted<ZRMUtLine>(KRNMathPoint(), KRNMathDirection(0.0, 0.0, 1.0)));
  ZRMUtGeometry_Ptr geometry(line.Ptr());
  EXPECT_EQ(Refs(line.Ptr()), 2);
  EXPECT_EQ(static_cast<ZRMUtGeometry*>(line.Ptr()), geometry.Ptr());  // no address change upwards
  ZRMUtLine_Ptr back(geometry->AsLine());
  EXPECT_TRUE(back == line);
  EXPECT_EQ(Refs(line.Ptr()), 3);
  line.Reset();
  back.Reset();
  EXPECT_EQ(Counted<ZRMUtLine>::destroyed, 0);
  geometry.Reset();
  EXPECT_EQ(Counted<ZRMUtLine>::destroyed, 1);
}

TEST_F(HandleTest, CopiesAndMovesNeverCopyTheReferenceCount) {
  ZRMUtPoint_Ptr held(NewPoint(1.0));
  ZRMUtPoint_Ptr second(held);
  CountedPoint copy(static_cast<const CountedPoint&>(*held));
  EXPECT_EQ(Refs(&copy), 0);
  ZRMUtPoint_Ptr other(NewPoint(5.0));
  *other = *held;  // value assignment keeps the target's own count
  EXPECT_TRUE(Refs(other.Ptr()) == 1 && Refs(held.Ptr()) == 2);
  EXPECT_EQ(other->Point().x, 1.0);
  ZRMUtPoint moved(std::move(*other));  // move behaves as copy: the source keeps its value
  EXPECT_EQ(Refs(&moved), 0);
  EXPECT_TRUE(moved.Point().x == 1.0 && other->Point().x == 1.0);
  *other = std::move(moved);
  EXPECT_EQ(moved.Point().x, 1.0);
  EXPECT_EQ(Refs(other.Ptr()), 1);
}

}  // namespace
