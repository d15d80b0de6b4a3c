// ZRMUtSplineCondition: initial state, the map operations against std::map models, the Count
// rule, changes through the returned maps, closure data and the stored spline.
#include "ZRMTestSupport.h"
#include "ZRMUtSplineCondition.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <type_traits>

namespace {

using Condition = ZRMUtSplineCondition;

TEST(ZRMUtSplineCondition, NewRecord) {
  Condition record;
  EXPECT_EQ(0, record.Count());
  EXPECT_EQ(3, record.GetDegree());
  EXPECT_EQ(1, static_cast<int>(record.GetParameterizationMode()));
  EXPECT_TRUE(record.IsCreating());
  EXPECT_FALSE(record.ToNormalise() || record.IsPeriodic() || record.IsSolverEntity() || record.UseFullClamping());
  KRNMathPoint point(9, 9, 9);
  KRNMathVector vector(9, 9, 9);
  double value = 9.0;
  record.GetClosureData(point, vector, value);
  EXPECT_TRUE(point.x == 0.0 && point.y == 0.0 && point.z == 0.0);
  EXPECT_TRUE(vector.x == 1.0 && vector.y == 0.0 && vector.z == 0.0);
  EXPECT_EQ(0.0, value);
  for (const int size : {record.GetTangentLines().Size(), record.GetTangentialSpeeds().Size(),
                         record.GetSecondDerivativeLines().Size(), record.GetSecondDerivativeNorms().Size(),
                         record.GetTangentLinePointers().Size(), record.GetSecondDerivativeLinePointers().Size(),
                         record.GetTangentHandleEnds().Size(), record.GetTangentHandleEndsPointers().Size(),
                         record.GetHandleRatios().Size(), record.GetHandleDims().Size(),
                         record.GetHandleDimPointers().Size()})
    EXPECT_EQ(0, size);
  ZRMUtBSpline spline(2, 0, nullptr, nullptr, true, KRNMathSetOfPoints(3));
  record.GetGeom(spline);
  EXPECT_EQ(0, spline.GetDegree());
  EXPECT_EQ(0, spline.GetNumberOfCPoints());
  EXPECT_FALSE(spline.GetPeriodic());
  EXPECT_EQ(-1, ZRMUtUniqueId().Value());  // no id
}

// One of the five maps with Add / Has / Remove, reached uniformly: values are whole numbers, so
// one std::map<int, int> models any of them.
struct MapOps {
  const char* name;
  bool counted;  // by Count()
  bool ids;      // Has of an absent key sets the output id to -1; the double variants leave it
  void (*add)(Condition&, int key, int value);
  bool (*has)(Condition&, int key, double& out);
  void (*remove)(Condition&, int key);
  int (*size)(Condition&);
};

template <auto Add, auto Has, auto Remove, auto Get>
MapOps Ops(const char* name, bool counted) {
  constexpr bool ids = std::is_invocable_v<decltype(Add), Condition&, int, ZRMUtUniqueId&>;
  MapOps ops{name, counted, ids, nullptr, nullptr, nullptr, nullptr};
  ops.add = [](Condition& r, int key, int value) {
    if constexpr (ids) {
      ZRMUtUniqueId id(value);
      (r.*Add)(key, id);
      EXPECT_EQ(value, id.Value());  // the argument is only read
    } else {
      (r.*Add)(key, value);
    }
  };
  ops.has = [](Condition& r, int key, double& out) {
    if constexpr (ids) {
      ZRMUtUniqueId id(static_cast<int>(out));
      const bool found = (r.*Has)(key, id);
      out = id.Value();
      return found;
    } else {
      return (r.*Has)(key, out);
    }
  };
  ops.remove = [](Condition& r, int key) { (r.*Remove)(key); };
  ops.size = [](Condition& r) { return (r.*Get)().Size(); };
  return ops;
}

const MapOps kMaps[] = {
    Ops<&Condition::AddTangentLines, &Condition::HasTangentLine, &Condition::RemoveTangentLine,
        &Condition::GetTangentLines>("tangent lines", true),
    Ops<&Condition::AddSecondDerivativeLines, &Condition::HasSecondDerivativeLine,
        &Condition::RemoveSecondDerivativeLines, &Condition::GetSecondDerivativeLines>("second-derivative lines", true),
    Ops<&Condition::AddHandleDims, &Condition::HasHandleDim, &Condition::RemoveHandleDim, &Condition::GetHandleDims>(
        "handle dims", false),
    Ops<&Condition::AddTangentialSpeeds, &Condition::HasTangentialSpeed, &Condition::RemoveTangentialSpeeds,
        &Condition::GetTangentialSpeeds>("tangential speeds", true),
    Ops<&Condition::AddSecondDerivativeNorms, &Condition::HasSecondDerivativeNorm,
        &Condition::RemoveSecondDerivativeNorms, &Condition::GetSecondDerivativeNorms>("second-derivative norms", true),
};

TEST(ZRMUtSplineCondition, MapsOverwriteFindAndRemove) {
  for (const MapOps& ops : kMaps) {
    SCOPED_TRACE(ops.name);
    Condition record;
    ops.add(record, 4, 11);
    ops.add(record, 4, 22);
    double out = 5.0;
    EXPECT_TRUE(ops.has(record, 4, out));
    EXPECT_EQ(22.0, out);
    EXPECT_EQ(ops.counted ? 1 : 0, record.Count());
    EXPECT_EQ(1, ops.size(record));
    out = 5.0;
    EXPECT_FALSE(ops.has(record, 7, out));
    EXPECT_EQ(ops.ids ? -1.0 : 5.0, out);
    ops.remove(record, 7);  // absent: nothing changes
    EXPECT_EQ(1, ops.size(record));
    ops.remove(record, 4);
    EXPECT_FALSE(ops.has(record, 4, out));
    EXPECT_EQ(0, record.Count());
  }
}

// Random Add / Remove / Has on the five maps against std::map models, with Count and sizes.
TEST(ZRMUtSplineCondition, RandomOperationsMatchMapModels) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> key(-5, 25), op(0, 2), value(0, 1000), which(0, 4);
  Condition record;
  std::map<int, int> models[5];
  for (long step = 0; step < zrmtest::Scaled(5000); ++step) {
    const int m = which(rng), k = key(rng);
    const MapOps& ops = kMaps[m];
    std::map<int, int>& model = models[m];
    switch (op(rng)) {
      case 0:
        model[k] = value(rng);
        ops.add(record, k, model[k]);
        break;
      case 1:
        ops.remove(record, k);
        model.erase(k);
        break;
      default: {
        double out = -7.0;
        const bool present = ops.has(record, k, out);
        ASSERT_EQ(model.count(k) == 1, present) << step;
        ASSERT_EQ(present ? model[k] : ops.ids ? -1.0 : -7.0, out) << step;
      }
    }
    std::size_t counted = 0;
    for (int i = 0; i < 5; ++i) {
      if (kMaps[i].counted) counted += models[i].size();
      ASSERT_EQ(static_cast<int>(models[i].size()), kMaps[i].size(record)) << step;
    }
    ASSERT_EQ(static_cast<int>(counted), record.Count()) << step;
  }
}

// The four counted maps count a shared key four times; no other map counts.
TEST(ZRMUtSplineCondition, CountAddsTheFourCountedMapsOnly) {
  Condition record;
  ZRMUtUniqueId id(1), other(2);
  record.AddTangentLines(0, id);
  record.AddTangentialSpeeds(0, 1.0);
  record.AddSecondDerivativeLines(0, id);
  record.AddSecondDerivativeNorms(0, 2.0);
  EXPECT_EQ(4, record.Count());
  record.AddTangentAngles(0, 0.5);
  record.AddHandleDims(0, id);
  record.AddHandleRatios(0, 0.25);
  record.AddTangentHandleEnds(0, id, other);
  record.GetTangentLinePointers()[0] = record.GetSecondDerivativeLinePointers()[0] = &record;
  record.GetHandleDimPointers()[0] = &record;
  record.GetTangentHandleEndsPointers()[0] = ZRMUtPair<void*, void*>(&record, nullptr);
  EXPECT_EQ(4, record.Count());
}

TEST(ZRMUtSplineCondition, ChangesThroughTheReturnedMapsAreChangesOfTheRecord) {
  Condition record;
  record.GetTangentLines()[9] = ZRMUtUniqueId(90);
  ZRMUtUniqueId out;
  EXPECT_TRUE(record.HasTangentLine(9, out));
  EXPECT_EQ(90, out.Value());
  record.GetTangentialSpeeds()[3] = 0.75;
  double speed = 0.0;
  EXPECT_TRUE(record.HasTangentialSpeed(3, speed));
  EXPECT_EQ(0.75, speed);
  EXPECT_EQ(2, record.Count());
  EXPECT_TRUE(record.GetTangentLines().Erase(9));
  EXPECT_FALSE(record.HasTangentLine(9, out));
  record.GetSecondDerivativeNorms()[1] = 4.0;
  record.GetSecondDerivativeLines()[1];  // an entry created with its default: no id
  EXPECT_TRUE(record.HasSecondDerivativeLine(1, out));
  EXPECT_EQ(-1, out.Value());
  EXPECT_EQ(3, record.Count());
}

TEST(ZRMUtSplineCondition, HandleEndsRatiosAndMapDefaults) {
  Condition record;
  ZRMUtUniqueId first(3), second(4), third(5);
  record.AddTangentHandleEnds(2, first, second);
  record.AddTangentHandleEnds(2, second, third);  // overwrite, in argument order
  ASSERT_EQ(1, record.GetTangentHandleEnds().Size());
  EXPECT_EQ(4, record.GetTangentHandleEnds()[2].first.Value());
  EXPECT_EQ(5, record.GetTangentHandleEnds()[2].second.Value());
  EXPECT_EQ(-1, record.GetTangentHandleEnds()[6].first.Value());
  EXPECT_EQ(-1, record.GetTangentHandleEnds()[6].second.Value());
  const ZRMUtPair<void*, void*>& pointers = record.GetTangentHandleEndsPointers()[6];
  EXPECT_TRUE(pointers.first == nullptr && pointers.second == nullptr);
  EXPECT_EQ(nullptr, record.GetHandleDimPointers()[1]);
  EXPECT_EQ(nullptr, record.GetTangentLinePointers()[1]);
  EXPECT_EQ(nullptr, record.GetSecondDerivativeLinePointers()[1]);
  record.AddHandleRatios(8, 0.5);
  record.AddHandleRatios(8, 0.25);
  EXPECT_EQ(1, record.GetHandleRatios().Size());
  EXPECT_EQ(0.25, record.GetHandleRatios()[8]);
  EXPECT_EQ(0.0, record.GetHandleRatios()[9]);
  EXPECT_EQ(0, record.Count());
}

TEST(ZRMUtSplineCondition, ScalarsAndClosureDataAreNotValidated) {
  Condition record;
  record.SetDegree(-4);
  record.SetParameterizationMode(static_cast<Condition::ZRMUtParameterizationMode>(17));
  EXPECT_EQ(-4, record.GetDegree());
  EXPECT_EQ(17, static_cast<int>(record.GetParameterizationMode()));
  record.SetClosureData(KRNMathPoint(1, 2, 3), KRNMathVector(0, 0, 0), -1.5);
  KRNMathPoint point;
  KRNMathVector vector(1, 1, 1);
  double value = 0.0;
  record.GetClosureData(point, vector, value);
  EXPECT_EQ(3.0, point.z);
  EXPECT_TRUE(vector.x == 0.0 && vector.y == 0.0 && vector.z == 0.0);  // a zero vector is kept
  EXPECT_EQ(-1.5, value);
}

ZRMUtBSpline MakeSpline(double shift) {
  double knots[] = {0.0, 1.0 + shift};
  int multiplicities[] = {3, 3};
  double weights[] = {1.0, 0.5 + shift, 1.0};
  KRNMathSetOfPoints points;
  for (const KRNMathPoint& p : {KRNMathPoint(0, 0, 0), KRNMathPoint(1, shift, 0), KRNMathPoint(2, 0, 0)})
    points.Append(p);
  ZRMUtBSpline spline(2, 2, knots, multiplicities, 3, weights, false, points);
  spline.SetClosureCondition(KRNMathVector(shift, 0, 0), KRNMathVector(0, shift, 0));
  return spline;
}

// The spline made by MakeSpline(shift).
void ExpectSpline(double shift, const ZRMUtBSpline& actual) {
  const ZRMUtBSpline expected = MakeSpline(shift);
  ASSERT_EQ(2, actual.GetDegree());
  ASSERT_EQ(2, actual.GetNbOfKnots());
  ASSERT_EQ(3, actual.GetNumberOfWeights());
  ASSERT_EQ(3, actual.GetNumberOfCPoints());
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(expected.GetKnots()[i], actual.GetKnots()[i]);
    EXPECT_EQ(expected.GetMultiplicities()[i], actual.GetMultiplicities()[i]);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(expected.GetWeights()[i], actual.GetWeights()[i]);
    EXPECT_EQ(expected.GetCPoints().GetPoint(i).y, actual.GetCPoints().GetPoint(i).y);
  }
  EXPECT_FALSE(actual.GetPeriodic());
  KRNMathVector first, second;
  actual.GetClosureCondition(first, second);
  EXPECT_EQ(shift, first.x);
  EXPECT_EQ(shift, second.y);
}

TEST(ZRMUtSplineCondition, StoredSplineIsAnIndependentCopy) {
  Condition record;
  ZRMUtBSpline s = MakeSpline(0.25);
  record.SetGeom(s);
  ZRMUtBSpline t;
  record.GetGeom(t);
  ExpectSpline(0.25, t);
  EXPECT_NE(s.GetKnots(), t.GetKnots());
  EXPECT_EQ(0, t.GetRefCount());  // no reference counting involved
  // Changing the caller's spline, or the one read out, leaves the stored one alone.
  s = MakeSpline(9.0);
  KRNMathSetOfPoints moved;
  moved.Append(KRNMathPoint(5, 5, 5));
  t.SetCPoints(moved);
  ZRMUtBSpline again;
  record.GetGeom(again);
  ExpectSpline(0.25, again);
  // Setting a new spline replaces the stored one entirely.
  record.SetGeom(ZRMUtBSpline());
  record.GetGeom(again);
  EXPECT_EQ(0, again.GetNbOfKnots());
  EXPECT_EQ(nullptr, again.GetKnots());
  EXPECT_EQ(0, again.GetNumberOfCPoints());
}

}  // namespace
