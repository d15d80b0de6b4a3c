// Fuzzer of the geometry handles: sequences of construction, copy, assignment (from handles and
// from raw pointers, self-assignment included), Reset, swap, Clone, downcasts and const
// conversions over a set of handle slots of several classes.
//
// A model records which object each slot holds. After every operation each live object's
// reference count equals the number of slots holding it, the number of live geometry objects
// equals the number of objects the slots hold, comparisons of handles agree with the identities
// of the held objects, and ZRMGetGeomType names each object's class. At the end every object is
// gone (and LeakSanitizer sees no leak in the fuzzing build).
#include "FuzzSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtCircle.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtLine.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>

namespace {

using GeomType = ZRMUtGeomTypeVisitor::GeomType;

// Slots per handle class.
constexpr int kGeometrySlots = 4;
constexpr int kSmallSlots = 2;

class HandleHarness {
public:
  explicit HandleHarness(FuzzedDataProvider& input) : mInput(input), mBaseline(ZRMUtSmartBase::LiveObjectCount()) {}

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      Check();
    }
  }

  // Empties every slot; then no object may be left.
  void Finish() {
    for (auto& slot : mGeometry) slot.Reset();
    for (auto& slot : mConstGeometry) slot = ZRMUtGeometry_ConstPtr();
    for (auto& slot : mPoints) slot.Reset();
    for (auto& slot : mConstPoints) slot.Reset();
    for (auto& slot : mSplines) slot.Reset();
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline);
  }

private:
  int PickGeometry() { return mInput.ConsumeIntegralInRange<int>(0, kGeometrySlots - 1); }
  int PickSmall() { return mInput.ConsumeIntegralInRange<int>(0, kSmallSlots - 1); }

  // A new object of a kind chosen by the input, and the code ZRMGetGeomType gives for it.
  ZRMUtGeometry* NewObject(GeomType& type) {
    switch (mInput.ConsumeIntegralInRange<int>(0, 5)) {
      case 0: type = ZRMUtGeomTypeVisitor::GeomPoint; return new ZRMUtPoint(KRNMathPoint(1.0, 2.0, 3.0));
      case 1:
        type = ZRMUtGeomTypeVisitor::GeomLine;
        return new ZRMUtLine(KRNMathPoint(0.0, 0.0, 0.0), KRNMathDirection(0.0, 0.0, 1.0));
      case 2: type = ZRMUtGeomTypeVisitor::GeomCircle; return new ZRMUtCircle();
      case 3: type = ZRMUtGeomTypeVisitor::GeomArc; return new ZRMUtArc();
      case 4: type = ZRMUtGeomTypeVisitor::GeomBSpline; return new ZRMUtBSpline();
      default: type = ZRMUtGeomTypeVisitor::GeomUnknown; return new ZRMUtSphere();
    }
  }

  void Step() {
    switch (mInput.ConsumeIntegralInRange<int>(0, 15)) {
      case 0: {  // a new object, through the raw-pointer constructor or assignment
        GeomType type;
        ZRMUtGeometry* object = NewObject(type);
        mTypes[object] = type;
        if (mInput.ConsumeBool())
          mGeometry[PickGeometry()] = ZRMUtGeometry_Ptr(object);
        else
          mGeometry[PickGeometry()] = object;
        break;
      }
      case 1: {  // copy construction, handed over by swap
        const int source = PickGeometry();
        ZRMUtGeometry_Ptr copy(mGeometry[source]);
        copy.swap(mGeometry[PickGeometry()]);
        break;
      }
      case 2: {  // assignment between slots, self-assignment included
        const int source = PickGeometry();
        mGeometry[PickGeometry()] = mGeometry[source];
        break;
      }
      case 3: {  // assignment of a raw pointer, possibly the one already held
        const int source = PickGeometry();
        mGeometry[PickGeometry()] = mGeometry[source].Ptr();
        break;
      }
      case 4: mGeometry[PickGeometry()].Reset(); break;
      case 5: {
        const int a = PickGeometry();
        mGeometry[a].swap(mGeometry[PickGeometry()]);
        break;
      }
      case 6: {  // Clone: a distinct object of the same class, held once
        const int source = PickGeometry();
        if (!mGeometry[source]) break;
        ZRMUtGeometry_Ptr clone = mGeometry[source]->Clone();
        ZRM_FUZZ_CHECK(clone.Ptr() != mGeometry[source].Ptr());
        ZRM_FUZZ_CHECK(clone->GetRefCount() == 1);
        mTypes[clone.Ptr()] = mTypes.at(mGeometry[source].Ptr());
        mGeometry[PickGeometry()] = clone;
        break;
      }
      case 7: {  // downcasts into typed slots: the object itself or null
        const int source = PickGeometry();
        if (!mGeometry[source]) break;
        ZRMUtGeometry& object = *mGeometry[source];
        const GeomType type = mTypes.at(&object);
        ZRMUtPoint* point = object.AsPoint();
        ZRMUtBSpline* spline = object.AsBSpline();
        ZRM_FUZZ_CHECK((point != nullptr) == (type == ZRMUtGeomTypeVisitor::GeomPoint));
        ZRM_FUZZ_CHECK((spline != nullptr) == (type == ZRMUtGeomTypeVisitor::GeomBSpline));
        if (point) ZRM_FUZZ_CHECK(static_cast<ZRMUtGeometry*>(point) == &object);
        mPoints[PickSmall()] = ZRMUtPoint_Ptr(point);
        mSplines[PickSmall()] = spline;
        break;
      }
      case 8: {  // and back up through the raw pointer
        const int source = PickSmall();
        if (mInput.ConsumeBool())
          mGeometry[PickGeometry()] = ZRMUtGeometry_Ptr(mPoints[source].Ptr());
        else
          mGeometry[PickGeometry()] = mSplines[source].Ptr();
        break;
      }
      case 9: {  // const handles from mutable ones and from each other
        const int source = PickSmall();
        if (mInput.ConsumeBool())
          mConstPoints[PickSmall()] = mPoints[source];
        else
          mConstPoints[PickSmall()] = ZRMUtPoint_ConstPtr(mPoints[source]);
        break;
      }
      case 10: {
        const int source = PickGeometry();
        if (mInput.ConsumeBool())
          mConstGeometry[PickSmall()] = mGeometry[source];
        else
          mConstGeometry[PickSmall()] = mConstGeometry[PickSmall()];
        break;
      }
      case 11: {  // new typed objects
        if (mInput.ConsumeBool()) {
          ZRMUtPoint* point = new ZRMUtPoint(KRNMathPoint(0.0, 0.0, 0.0));
          mTypes[point] = ZRMUtGeomTypeVisitor::GeomPoint;
          mPoints[PickSmall()] = point;
        } else {
          ZRMUtBSpline* spline = new ZRMUtBSpline();
          mTypes[spline] = ZRMUtGeomTypeVisitor::GeomBSpline;
          mSplines[PickSmall()] = ZRMUtBSpline_Ptr(spline);
        }
        break;
      }
      case 12: mPoints[PickSmall()].Reset(); break;
      case 13: mConstPoints[PickSmall()].Reset(); break;
      case 14: {
        const int a = PickSmall();
        mSplines[a].swap(mSplines[PickSmall()]);
        break;
      }
      default: {  // a handle taken by value and dropped again
        const int source = PickGeometry();
        const GeomType type = ZRMGetGeomType(mGeometry[source]);
        ZRM_FUZZ_CHECK(type ==
                       (mGeometry[source] ? mTypes.at(mGeometry[source].Ptr()) : ZRMUtGeomTypeVisitor::GeomUnknown));
        break;
      }
    }
  }

  // Counts how many slots hold each object.
  std::map<const ZRMUtGeometry*, long> Holders() const {
    std::map<const ZRMUtGeometry*, long> holders;
    auto add = [&](const ZRMUtGeometry* object) {
      if (object) ++holders[object];
    };
    for (const auto& slot : mGeometry) add(slot.Ptr());
    for (const auto& slot : mConstGeometry) add(slot.Ptr());
    for (const auto& slot : mPoints) add(slot.Ptr());
    for (const auto& slot : mConstPoints) add(slot.Ptr());
    for (const auto& slot : mSplines) add(slot.Ptr());
    return holders;
  }

  void Check() {
    const std::map<const ZRMUtGeometry*, long> holders = Holders();
    for (const auto& held : holders) ZRM_FUZZ_CHECK(held.first->GetRefCount() == held.second);
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline + static_cast<long>(holders.size()));
    for (auto it = mTypes.begin(); it != mTypes.end();) {  // forget the objects that are gone
      if (holders.count(it->first) == 0)
        it = mTypes.erase(it);
      else
        ++it;
    }
    for (int a = 0; a < kGeometrySlots; ++a)
      for (int b = 0; b < kGeometrySlots; ++b) {
        const ZRMUtGeometry* x = mGeometry[a].Ptr();
        const ZRMUtGeometry* y = mGeometry[b].Ptr();
        ZRM_FUZZ_CHECK((mGeometry[a] == mGeometry[b]) == (x == y));
        ZRM_FUZZ_CHECK((mGeometry[a] != mGeometry[b]) == (x != y));
        ZRM_FUZZ_CHECK(!(mGeometry[a] < mGeometry[b] && mGeometry[b] < mGeometry[a]));
        if (x != y) ZRM_FUZZ_CHECK((mGeometry[a] < mGeometry[b]) != (mGeometry[b] < mGeometry[a]));
      }
  }

  FuzzedDataProvider& mInput;
  const long mBaseline;
  std::map<const ZRMUtGeometry*, GeomType> mTypes;  // class code of every object a slot may hold
  ZRMUtGeometry_Ptr mGeometry[kGeometrySlots];
  ZRMUtGeometry_ConstPtr mConstGeometry[kSmallSlots];
  ZRMUtPoint_Ptr mPoints[kSmallSlots];
  ZRMUtPoint_ConstPtr mConstPoints[kSmallSlots];
  ZRMUtBSpline_Ptr mSplines[kSmallSlots];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  HandleHarness harness(input);
  harness.Run();
  harness.Finish();
  return 0;
}
