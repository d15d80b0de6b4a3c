// Fuzzer of the geometry handles. Slots of handles (of the base, const and point classes) take
// new points and lines, copies, assignments from handles and raw pointers
// (self-assignment included), Reset, swap, Clone, downcasts and const conversions; points are
// copied and assigned as values.
//
// After every operation each live object's reference count is the number of slots holding it,
// the live geometry objects are exactly those the slots hold (so the last release destroyed each
// other one once), and handle comparisons agree with the identities of the objects; a clone is a
// distinct object of its original's class. At the end nothing is left. (Spline values and copies, type codes and
// downcasts of every class: geometry_test.)
#include "FuzzSupport.h"
#include "ZRMUtLine.h"
#include "ZRMUtPoint.h"

#include <functional>
#include <map>
#include <typeinfo>

namespace {

struct Slots {
  ZRMUtGeometry_Ptr any[4];
  ZRMUtGeometry_ConstPtr constAny[2];
  ZRMUtPoint_Ptr points[2];
};

template <class Handle, int N>
Handle& Pick(FuzzedDataProvider& input, Handle (&slots)[N]) {
  return slots[input.ConsumeIntegralInRange<int>(0, N - 1)];
}

ZRMUtGeometry* NewAny(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return new ZRMUtPoint(KRNMathPoint(1, 2, 3));
  return new ZRMUtLine(KRNMathPoint(), KRNMathDirection(0, 0, 1));
}

void Step(FuzzedDataProvider& input, Slots& s) {
  ZRMUtGeometry_Ptr& any = Pick(input, s.any);
  const ZRMUtGeometry_Ptr& other = Pick(input, s.any);  // may be any itself
  ZRMUtPoint_Ptr& point = Pick(input, s.points);
  const ZRMUtPoint_Ptr& source = Pick(input, s.points);
  switch (input.ConsumeIntegralInRange<int>(0, 8)) {
    case 0: any = ZRMUtGeometry_Ptr(NewAny(input)); break;
    case 1: any = NewAny(input); break;
    case 2: any = other; break;
    case 3: any = other.Ptr(); break;  // possibly the object any holds
    case 4: input.ConsumeBool() ? any.Reset() : any.swap(Pick(input, s.any)); break;
    case 5: {  // a distinct object of the same class, held once
      if (!other) break;
      const ZRMUtGeometry_Ptr clone = other->Clone();
      const ZRMUtGeometry &copy = *clone, &original = *other;
      ZRM_FUZZ_CHECK(clone != other && typeid(copy) == typeid(original) && clone->GetRefCount() == 1);
      any = clone.Ptr();
      break;
    }
    case 6:  // a downcast into a typed slot, and back up through the raw pointer
      if (other) point = ZRMUtPoint_Ptr(other->AsPoint());
      any = ZRMUtGeometry_Ptr(source.Ptr());
      break;
    case 7:  // const handles: converted from a handle, or assigned from each other (itself included)
      if (ZRMUtGeometry_ConstPtr& target = Pick(input, s.constAny); input.ConsumeBool())
        target = other;
      else
        target = Pick(input, s.constAny);
      break;
    default:  // a copy (no references of its own) or an assignment (self-assignment included,
              // keeping the target's count) of a point's value
      if (!source) break;
      if (input.ConsumeBool() || !point)
        point = new ZRMUtPoint(*source);
      else
        *point = *source;
      break;
  }
}

void Check(const Slots& s, long baseline) {
  std::map<const ZRMUtGeometry*, long> holders;
  auto count = [&](const ZRMUtGeometry* object) { holders[object] += object != nullptr; };
  for (const auto& slot : s.any) count(slot.Ptr());
  for (const auto& slot : s.constAny) count(slot.Ptr());
  for (const auto& slot : s.points) count(slot.Ptr());
  holders.erase(nullptr);
  for (const auto& [object, held] : holders) ZRM_FUZZ_CHECK(object->GetRefCount() == held);
  ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == baseline + long(holders.size()));
  for (const ZRMUtGeometry_Ptr& a : s.any)
    for (const ZRMUtGeometry_Ptr& b : s.any)
      ZRM_FUZZ_CHECK((a == b) == (a.Ptr() == b.Ptr()) && (a != b) == (a.Ptr() != b.Ptr()) &&
                     (a < b) == std::less<const ZRMUtGeometry*>()(a.Ptr(), b.Ptr()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const long baseline = ZRMUtSmartBase::LiveObjectCount();
  {
    Slots slots;  // releases its objects at the end of the block
    while (input.remaining_bytes() > 0) {
      Step(input, slots);
      Check(slots, baseline);
    }
  }
  ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == baseline);
  return 0;
}
