// Fuzzer of ZRMUtBSpline as a value with owned arrays: construction from decoded arrays (empty,
// negative counts and null arrays included), copy construction, assignment, self-assignment,
// control-point and closure setters, translation, and Clone through a handle.
//
// A model holds what each of three slots must contain. After every operation each slot matches
// its model field by field, no two slots share an array, the number of live geometry objects
// equals the number of slots in use, and only the documented checks were reported. At the end
// nothing is left (LeakSanitizer watches the arrays in the fuzzing build).
#include "FuzzSupport.h"
#include "ZRMUtBSpline.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <vector>

namespace {

constexpr int kSlots = 3;

// What a spline must hold.
struct Model {
  int degree = 0;
  int knotCount = 0;  // as stored (negative counts are kept)
  std::vector<double> knots;
  std::vector<int> multiplicities;
  int weightCount = 0;
  std::vector<double> weights;
  bool periodic = false;
  std::vector<KRNMathPoint> points;
  KRNMathVector first, second;
};

bool SamePoint(const KRNMathPoint& a, const KRNMathPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
bool SameVector(const KRNMathVector& a, const KRNMathVector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

class SplineHarness {
public:
  explicit SplineHarness(FuzzedDataProvider& input)
      : mInput(input), mBaseline(ZRMUtSmartBase::LiveObjectCount()), mRecorder(0) {}

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      Check();
    }
    for (auto& slot : mSplines) slot.reset();
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline);
  }

private:
  int PickSlot() { return mInput.ConsumeIntegralInRange<int>(0, kSlots - 1); }

  std::vector<KRNMathPoint> DecodePoints() {
    std::vector<KRNMathPoint> points(mInput.ConsumeIntegralInRange<std::size_t>(0, 5));
    for (KRNMathPoint& point : points)
      point = KRNMathPoint(mInput.ConsumeIntegralInRange<int>(-9, 9), mInput.ConsumeIntegralInRange<int>(-9, 9),
                           mInput.ConsumeIntegralInRange<int>(-9, 9));
    return points;
  }

  static KRNMathSetOfPoints ToSet(const std::vector<KRNMathPoint>& points) {
    KRNMathSetOfPoints set(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) set.SetPoint(points[i], static_cast<int>(i));
    return set;
  }

  // A spline built by one of the two array constructors from decoded arrays. A positive count
  // with a null array is reported and taken as 0; negative counts are kept with null arrays.
  void Construct(int slot) {
    Model model;
    model.degree = mInput.ConsumeIntegralInRange<int>(-1, 5);
    const int knotCount = mInput.ConsumeIntegralInRange<int>(-1, 6);
    const bool nullKnots = mInput.ConsumeIntegralInRange<int>(0, 7) == 0;
    const bool nullMultiplicities = mInput.ConsumeIntegralInRange<int>(0, 7) == 0;
    std::vector<double> knots;
    std::vector<int> multiplicities;
    for (int i = 0; i < knotCount; ++i) {
      knots.push_back(mInput.ConsumeFloatingPointInRange<double>(-10.0, 10.0));
      multiplicities.push_back(mInput.ConsumeIntegralInRange<int>(1, 4));
    }
    const bool withWeights = mInput.ConsumeBool();
    const int weightCount = withWeights ? mInput.ConsumeIntegralInRange<int>(-1, 6) : 0;
    const bool nullWeights = mInput.ConsumeIntegralInRange<int>(0, 7) == 0;
    std::vector<double> weights;
    for (int i = 0; i < weightCount; ++i) weights.push_back(mInput.ConsumeFloatingPointInRange<double>(0.1, 5.0));
    model.periodic = mInput.ConsumeBool();
    model.points = DecodePoints();

    const bool knotsMissing = knotCount > 0 && (nullKnots || nullMultiplicities);
    model.knotCount = knotsMissing ? 0 : knotCount;
    if (!knotsMissing) {
      model.knots = knots;
      model.multiplicities = multiplicities;
    }
    const bool weightsMissing = weightCount > 0 && nullWeights;
    model.weightCount = weightsMissing ? 0 : weightCount;
    if (!weightsMissing) model.weights = weights;

    double* knotArray = nullKnots || knots.empty() ? nullptr : knots.data();
    int* multiplicityArray = nullMultiplicities || multiplicities.empty() ? nullptr : multiplicities.data();
    double* weightArray = nullWeights || weights.empty() ? nullptr : weights.data();
    const std::size_t reportsBefore = mRecorder.reports.size();
    if (withWeights)
      mSplines[slot].reset(new ZRMUtBSpline(model.degree, knotCount, knotArray, multiplicityArray, weightCount,
                                            weightArray, model.periodic, ToSet(model.points)));
    else
      mSplines[slot].reset(
          new ZRMUtBSpline(model.degree, knotCount, knotArray, multiplicityArray, model.periodic, ToSet(model.points)));
    const std::size_t expectedReports = (knotsMissing ? 1u : 0u) + (weightsMissing ? 1u : 0u);
    ZRM_FUZZ_CHECK(mRecorder.reports.size() - reportsBefore == expectedReports);
    mModels[slot] = model;
  }

  void Step() {
    const int slot = PickSlot();
    switch (mInput.ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
      case 1: Construct(slot); break;
      case 2:
        mSplines[slot].reset(new ZRMUtBSpline());
        mModels[slot] = Model();
        break;
      case 3: {  // copy construction, possibly of the spline the slot holds now
        const int source = PickSlot();
        if (!mSplines[source]) break;
        std::unique_ptr<ZRMUtBSpline> copy(new ZRMUtBSpline(*mSplines[source]));
        mSplines[slot] = std::move(copy);
        mModels[slot] = mModels[source];
        break;
      }
      case 4: {  // assignment, self-assignment included
        const int source = PickSlot();
        if (!mSplines[source] || !mSplines[slot]) break;
        *mSplines[slot] = *mSplines[source];
        mModels[slot] = mModels[source];
        break;
      }
      case 5:
        if (!mSplines[slot]) break;
        mModels[slot].points = DecodePoints();
        {
          KRNMathSetOfPoints points = ToSet(mModels[slot].points);
          mSplines[slot]->SetCPoints(points);
        }
        break;
      case 6: {
        if (!mSplines[slot]) break;
        const KRNMathVector first(mInput.ConsumeIntegralInRange<int>(-3, 3), 0.0, 1.0);
        const KRNMathVector second(0.0, mInput.ConsumeIntegralInRange<int>(-3, 3), -1.0);
        mSplines[slot]->SetClosureCondition(first, second);
        mModels[slot].first = first;
        mModels[slot].second = second;
        break;
      }
      case 7: {  // a translation by whole numbers: exact; the closure vectors do not move
        if (!mSplines[slot]) break;
        const KRNMathVector shift(mInput.ConsumeIntegralInRange<int>(-4, 4), mInput.ConsumeIntegralInRange<int>(-4, 4),
                                  mInput.ConsumeIntegralInRange<int>(-4, 4));
        mSplines[slot]->ApplyTransformation(KRNMathTransformation(shift));
        for (KRNMathPoint& point : mModels[slot].points)
          point = KRNMathPoint(point.x + shift.x, point.y + shift.y, point.z + shift.z);
        break;
      }
      case 8: {  // Clone: a deep copy in a handle, dropped again
        if (!mSplines[slot]) break;
        ZRMUtGeometry_Ptr clone = mSplines[slot]->Clone();
        ZRMUtBSpline* copy = clone->AsBSpline();
        ZRM_FUZZ_CHECK(copy != nullptr && copy != mSplines[slot].get());
        CheckSpline(*copy, mModels[slot]);
        CheckDistinct(*copy, *mSplines[slot]);
        break;
      }
      default: mSplines[slot].reset(); break;
    }
  }

  static void CheckSpline(const ZRMUtBSpline& spline, const Model& model) {
    ZRM_FUZZ_CHECK(spline.GetDegree() == model.degree);
    ZRM_FUZZ_CHECK(spline.GetNbOfKnots() == model.knotCount);
    ZRM_FUZZ_CHECK((spline.GetKnots() == nullptr) == (model.knotCount < 1));
    ZRM_FUZZ_CHECK((spline.GetMultiplicities() == nullptr) == (model.knotCount < 1));
    for (int i = 0; i < model.knotCount; ++i) {
      ZRM_FUZZ_CHECK(spline.GetKnots()[i] == model.knots[static_cast<std::size_t>(i)]);
      ZRM_FUZZ_CHECK(spline.GetMultiplicities()[i] == model.multiplicities[static_cast<std::size_t>(i)]);
    }
    ZRM_FUZZ_CHECK(spline.GetNumberOfWeights() == model.weightCount);
    ZRM_FUZZ_CHECK((spline.GetWeights() == nullptr) == (model.weightCount < 1));
    for (int i = 0; i < model.weightCount; ++i)
      ZRM_FUZZ_CHECK(spline.GetWeights()[i] == model.weights[static_cast<std::size_t>(i)]);
    ZRM_FUZZ_CHECK(spline.GetPeriodic() == model.periodic);
    ZRM_FUZZ_CHECK(spline.GetNumberOfCPoints() == static_cast<int>(model.points.size()));
    for (std::size_t i = 0; i < model.points.size(); ++i)
      ZRM_FUZZ_CHECK(SamePoint(spline.GetCPoints().GetPoint(static_cast<int>(i)), model.points[i]));
    KRNMathVector first, second;
    spline.GetClosureCondition(first, second);
    ZRM_FUZZ_CHECK(SameVector(first, model.first) && SameVector(second, model.second));
  }

  // Two splines never share an array.
  static void CheckDistinct(const ZRMUtBSpline& a, const ZRMUtBSpline& b) {
    if (a.GetKnots()) ZRM_FUZZ_CHECK(a.GetKnots() != b.GetKnots());
    if (a.GetMultiplicities()) ZRM_FUZZ_CHECK(a.GetMultiplicities() != b.GetMultiplicities());
    if (a.GetWeights()) ZRM_FUZZ_CHECK(a.GetWeights() != b.GetWeights());
  }

  void Check() {
    long used = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
      if (!mSplines[slot]) continue;
      ++used;
      CheckSpline(*mSplines[slot], mModels[slot]);
      ZRM_FUZZ_CHECK(mSplines[slot]->GetRefCount() == 0);  // values: never counted
      for (int other = slot + 1; other < kSlots; ++other)
        if (mSplines[other]) CheckDistinct(*mSplines[slot], *mSplines[other]);
    }
    ZRM_FUZZ_CHECK(ZRMUtSmartBase::LiveObjectCount() == mBaseline + used);
    for (const zrmtest::AssertReport& report : mRecorder.reports)
      ZRM_FUZZ_CHECK(report.message == "ZRMUtBSpline null knot or multiplicity array in." ||
                     report.message == "ZRMUtBSpline null weight array in.");
  }

  FuzzedDataProvider& mInput;
  const long mBaseline;
  zrmtest::AssertRecorder mRecorder;
  std::unique_ptr<ZRMUtBSpline> mSplines[kSlots];
  Model mModels[kSlots];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  SplineHarness harness(input);
  harness.Run();
  return 0;
}
