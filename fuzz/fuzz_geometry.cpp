// Fuzzer of the geometry handles and of the B-spline as a value that owns its arrays. Slots of
// handles (of the base, const, point and spline classes) take new objects of several classes,
// copies, assignments from handles and raw pointers (self-assignment included), Reset, swap,
// Clone, downcasts and const conversions; splines are built from decoded arrays (empty ones,
// negative counts and null arrays included), copied and assigned as values. (New control
// points, closure vectors and transformations: bspline_test.)
//
// After every operation each live object's reference count is the number of slots holding it,
// the live geometry objects are exactly those the slots hold (so the last release destroyed each
// other one once), handle comparisons agree with the identities of the objects, every spline
// holds its model's values in arrays of its own (null exactly for a count below 1), and only the
// documented checks were reported (a positive count with a null array, taken as 0). At the end
// nothing is left. (Type codes and downcasts of every class: classes_test.)
#include "FuzzSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtLine.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace {

// What a spline holds, as one list of numbers.
std::vector<double> Numbers(const ZRMUtBSpline& s) {
  std::vector<double> numbers = {double(s.GetDegree()), double(s.GetNbOfKnots()), double(s.GetNumberOfWeights()),
                                 double(s.GetPeriodic())};
  for (int i = 0; i < s.GetNbOfKnots(); ++i)
    numbers.insert(numbers.end(), {s.GetKnots()[i], double(s.GetMultiplicities()[i])});
  numbers.insert(numbers.end(), s.GetWeights(), s.GetWeights() + std::max(0, s.GetNumberOfWeights()));
  KRNMathVector first, second;
  s.GetClosureCondition(first, second);
  numbers.insert(numbers.end(), {first.x, first.y, first.z, second.x, second.y, second.z});
  for (int i = 0; i < s.GetNumberOfCPoints(); ++i)
    numbers.insert(numbers.end(),
                   {s.GetCPoints().GetPoint(i).x, s.GetCPoints().GetPoint(i).y, s.GetCPoints().GetPoint(i).z});
  return numbers;
}

class GeometryHarness {
public:
  explicit GeometryHarness(FuzzedDataProvider& input) : mInput(input), mRecorder(0) {}

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      Check();
    }
    for (auto& slot : mAny) slot = nullptr;
    for (auto& slot : mConstAny) slot.Reset();
    for (auto& slot : mPoints) slot.Reset();
    for (auto& slot : mSplines) slot.Reset();
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline);
  }

private:
  template <class Handle, int N>
  Handle& Pick(Handle (&slots)[N]) {
    return slots[mInput.ConsumeIntegralInRange<int>(0, N - 1)];
  }
  // The model of a spline: its numbers, the control points last.
  std::vector<double>& Model(const ZRMUtBSpline* spline) { return mModels.at(spline); }
  int Small(int low, int high) { return mInput.ConsumeIntegralInRange<int>(low, high); }
  KRNMathSetOfPoints Points() {
    KRNMathSetOfPoints points;
    for (int n = Small(0, 5); n > 0; --n) points.Append(KRNMathPoint(Small(-9, 9), Small(-9, 9), Small(-9, 9)));
    return points;
  }

  // A spline from decoded arrays: a positive count with a null array is reported and taken as 0,
  // other counts are kept as passed.
  ZRMUtBSpline* NewSpline() {
    const int degree = Small(-1, 5), knotCount = Small(-1, 6), weightCount = Small(-1, 6);
    const bool nullKnots = Small(0, 7) == 0, nullMults = Small(0, 7) == 0, nullWeights = Small(0, 7) == 0;
    std::vector<double> knots, weights;
    std::vector<int> mults;
    for (int i = 0; i < knotCount; ++i) {
      knots.push_back(mInput.ConsumeFloatingPointInRange<double>(-10, 10));
      mults.push_back(Small(1, 4));
    }
    for (int i = 0; i < weightCount; ++i) weights.push_back(mInput.ConsumeFloatingPointInRange<double>(0.1, 5));
    const bool periodic = mInput.ConsumeBool(), withWeights = mInput.ConsumeBool();
    const bool knotsMissing = knotCount > 0 && (nullKnots || nullMults),
               weightsMissing = withWeights && weightCount > 0 && nullWeights;
    const int storedKnots = knotsMissing ? 0 : knotCount,
              storedWeights = withWeights && !weightsMissing ? weightCount : 0;
    const KRNMathSetOfPoints points = Points();
    std::vector<double> model = {double(degree), double(storedKnots), double(storedWeights), double(periodic)};
    for (int i = 0; i < storedKnots; ++i) model.insert(model.end(), {knots[i], double(mults[i])});
    if (storedWeights > 0) model.insert(model.end(), weights.begin(), weights.end());
    model.resize(model.size() + 6, 0.0);  // closure vectors (0, 0, 0)
    for (int i = 0; i < points.GetNumberOfPoints(); ++i)
      model.insert(model.end(), {points.GetPoint(i).x, points.GetPoint(i).y, points.GetPoint(i).z});
    double* knotArray = nullKnots ? nullptr : knots.data();
    int* multArray = nullMults ? nullptr : mults.data();
    const std::size_t reports = mRecorder.reports.size();
    ZRMUtBSpline* spline = withWeights ? new ZRMUtBSpline(degree, knotCount, knotArray, multArray, weightCount,
                                                          nullWeights ? nullptr : weights.data(), periodic, points)
                                       : new ZRMUtBSpline(degree, knotCount, knotArray, multArray, periodic, points);
    ZRM_FUZZ_CHECK(mRecorder.reports.size() - reports == std::size_t(knotsMissing) + std::size_t(weightsMissing));
    mModels[spline] = model;
    return spline;
  }

  ZRMUtGeometry* NewAny() {
    switch (Small(0, 5)) {
      case 0: return new ZRMUtPoint(KRNMathPoint(1, 2, 3));
      case 1: return new ZRMUtLine(KRNMathPoint(), KRNMathDirection(0, 0, 1));
      case 2: return new ZRMUtCircle();
      case 3: return new ZRMUtArc();
      case 4: return NewSpline();
      default: return new ZRMUtSphere();
    }
  }

  void Step() {
    ZRMUtGeometry_Ptr& any = Pick(mAny);
    const ZRMUtGeometry_Ptr& other = Pick(mAny);  // may be any itself
    ZRMUtBSpline_Ptr& spline = Pick(mSplines);
    const ZRMUtBSpline_Ptr& source = Pick(mSplines);
    switch (Small(0, 11)) {
      case 0: any = ZRMUtGeometry_Ptr(NewAny()); break;
      case 1: any = NewAny(); break;
      case 2: ZRMUtGeometry_Ptr(other).swap(any); break;
      case 3: any = other; break;
      case 4: any = other.Ptr(); break;  // possibly the object any holds
      case 5: mInput.ConsumeBool() ? any.Reset() : any.swap(Pick(mAny)); break;
      case 6: {  // a distinct object of the same class, held once, equal in value
        if (!other) break;
        const ZRMUtGeometry_Ptr clone = other->Clone();
        ZRM_FUZZ_CHECK(clone != other && clone->GetRefCount() == 1);
        if (const auto* s = dynamic_cast<const ZRMUtBSpline*>(other.Ptr())) mModels[clone->AsBSpline()] = Model(s);
        any = clone.Ptr();
        break;
      }
      case 7:  // downcasts into typed slots, and back up through the raw pointer
        if (other) {
          Pick(mPoints) = ZRMUtPoint_Ptr(other->AsPoint());
          spline = other->AsBSpline();
        }
        any = mInput.ConsumeBool() ? ZRMUtGeometry_Ptr(Pick(mPoints).Ptr()) : ZRMUtGeometry_Ptr(source.Ptr());
        break;
      case 8:  // const handles: converted from a handle, or assigned from each other (itself included)
        if (ZRMUtGeometry_ConstPtr& target = Pick(mConstAny); mInput.ConsumeBool())
          target = other;
        else
          target = Pick(mConstAny);
        break;
      case 9:
        if (mInput.ConsumeBool())
          Pick(mPoints) = new ZRMUtPoint(KRNMathPoint());
        else
          spline = NewSpline();
        break;
      case 10: spline.swap(Pick(mSplines)); break;
      default:  // a copy (no references of its own) or an assignment (self-assignment included,
                // keeping the target's count) of a spline's value
        if (!source) break;
        if (const std::vector<double> model = Model(source.Ptr()); mInput.ConsumeBool() || !spline) {
          spline = new ZRMUtBSpline(*source);
          mModels[spline.Ptr()] = model;
        } else {
          *spline = *source;
          mModels[spline.Ptr()] = model;
        }
        break;
    }
  }

  void Check() {
    std::map<const ZRMUtGeometry*, long> holders;
    auto count = [&](const ZRMUtGeometry* object) { holders[object] += object != nullptr; };
    for (const auto& slot : mAny) count(slot.Ptr());
    for (const auto& slot : mConstAny) count(slot.Ptr());
    for (const auto& slot : mPoints) count(slot.Ptr());
    for (const auto& slot : mSplines) count(slot.Ptr());
    holders.erase(nullptr);
    for (const auto& [object, held] : holders) ZRM_FUZZ_CHECK(object->GetRefCount() == held);
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline + long(holders.size()));
    for (auto it = mModels.begin(); it != mModels.end();)
      it = holders.count(it->first) ? std::next(it) : mModels.erase(it);
    for (const auto& [spline, numbers] : mModels) {  // values in arrays of their own
      ZRM_FUZZ_CHECK(Numbers(*spline) == numbers);
      ZRM_FUZZ_CHECK((spline->GetKnots() == nullptr) == (spline->GetNbOfKnots() < 1) &&
                     (spline->GetMultiplicities() == nullptr) == (spline->GetNbOfKnots() < 1));
      ZRM_FUZZ_CHECK((spline->GetWeights() == nullptr) == (spline->GetNumberOfWeights() < 1));
      for (const auto& [other, unused] : mModels)
        ZRM_FUZZ_CHECK(other == spline || ((!spline->GetKnots() || spline->GetKnots() != other->GetKnots()) &&
                                           (!spline->GetWeights() || spline->GetWeights() != other->GetWeights())));
    }
    for (const ZRMUtGeometry_Ptr& a : mAny)
      for (const ZRMUtGeometry_Ptr& b : mAny)
        ZRM_FUZZ_CHECK((a == b) == (a.Ptr() == b.Ptr()) && (a != b) == (a.Ptr() != b.Ptr()) &&
                       (a < b) == std::less<const ZRMUtGeometry*>()(a.Ptr(), b.Ptr()));
    for (const zrmtest::AssertReport& report : mRecorder.reports)
      ZRM_FUZZ_CHECK(report.message == "ZRMUtBSpline null knot or multiplicity array in." ||
                     report.message == "ZRMUtBSpline null weight array in.");
  }

  FuzzedDataProvider& mInput;
  const long mBaseline = ZRMUtSmartBase::LiveObjectCount();
  zrmtest::AssertRecorder mRecorder;
  std::map<const ZRMUtBSpline*, std::vector<double>> mModels;  // the values of every spline a slot may hold
  ZRMUtGeometry_Ptr mAny[4];
  ZRMUtGeometry_ConstPtr mConstAny[2];
  ZRMUtPoint_Ptr mPoints[2];
  ZRMUtBSpline_Ptr mSplines[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  GeometryHarness(input).Run();
  return 0;
}
