// ZRMUtSplineCondition: the initial state, the map operations against std::map models, the Count
// rule, changes through the returned maps, the map defaults, closure data and the stored spline.
#include "ZRMTestSupport.h"
#include "ZRMUtSplineCondition.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <type_traits>
#include <vector>

namespace {

using Condition = ZRMUtSplineCondition;

// Degree, counts, knots, multiplicities, weights, control points, periodic flag and closure
// condition of a spline, as one list of numbers.
std::vector<double> Signature(const ZRMUtBSpline& s) {
  std::vector<double> v{double(s.GetDegree()), double(s.GetNbOfKnots()), double(s.GetNumberOfWeights()),
                        double(s.GetNumberOfCPoints()), double(s.GetPeriodic())};
  for (int i = 0; i < s.GetNbOfKnots(); ++i) v.insert(v.end(), {s.GetKnots()[i], double(s.GetMultiplicities()[i])});
  for (int i = 0; i < s.GetNumberOfWeights(); ++i) v.push_back(s.GetWeights()[i]);
  for (int i = 0; i < s.GetNumberOfCPoints(); ++i) {
    const KRNMathPoint p = s.GetCPoints().GetPoint(i);
    v.insert(v.end(), {p.x, p.y, p.z});
  }
  KRNMathVector first, second;
  s.GetClosureCondition(first, second);
  v.insert(v.end(), {first.x, first.y, first.z, second.x, second.y, second.z});
  return v;
}

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
  EXPECT_TRUE(point.x == 0.0 && point.y == 0.0 && point.z == 0.0 && value == 0.0);
  EXPECT_TRUE(vector.x == 1.0 && vector.y == 0.0 && vector.z == 0.0);
  for (const int size :
       {record.GetTangentLines().Size(), record.GetTangentialSpeeds().Size(), record.GetSecondDerivativeLines().Size(),
        record.GetSecondDerivativeNorms().Size(), record.GetTangentLinePointers().Size(),
        record.GetSecondDerivativeLinePointers().Size(), record.GetTangentHandleEnds().Size(),
        record.GetTangentHandleEndsPointers().Size(), record.GetHandleRatios().Size(), record.GetHandleDims().Size(),
        record.GetHandleDimPointers().Size()})
    EXPECT_EQ(0, size);
  ZRMUtBSpline spline(2, 0, nullptr, nullptr, true, KRNMathSetOfPoints(3));
  record.GetGeom(spline);
  EXPECT_EQ(Signature(ZRMUtBSpline()), Signature(spline));
  EXPECT_EQ(-1, ZRMUtUniqueId().Value());  // no id
}

// One of the five maps with Add / Has / Remove, reached uniformly: values are whole numbers, so
// one std::map<int, int> models any of them.
struct MapOps {
  bool counted;  // by Count()
  bool ids;      // Has of an absent key sets the output id to -1; the double variants leave it
  void (*add)(Condition&, int key, int value);
  bool (*has)(Condition&, int key, double& out);
  void (*remove)(Condition&, int key);
  int (*size)(Condition&);
};

double Number(const ZRMUtUniqueId& id) { return id.Value(); }
double Number(double value) { return value; }

template <class V, auto Add, auto Has, auto Remove, auto Get>
MapOps Ops(bool counted) {
  return {counted,
          std::is_same_v<V, ZRMUtUniqueId>,
          [](Condition& r, int key, int value) {
            V v(value);
            (r.*Add)(key, v);
            EXPECT_EQ(value, Number(v));  // the argument is only read
          },
          [](Condition& r, int key, double& out) {
            V v(static_cast<int>(out));
            const bool found = (r.*Has)(key, v);
            out = Number(v);
            return found;
          },
          [](Condition& r, int key) { (r.*Remove)(key); },
          [](Condition& r) { return (r.*Get)().Size(); }};
}

using C = Condition;
const MapOps kMaps[] = {
    Ops<ZRMUtUniqueId, &C::AddTangentLines, &C::HasTangentLine, &C::RemoveTangentLine, &C::GetTangentLines>(true),
    Ops<ZRMUtUniqueId, &C::AddSecondDerivativeLines, &C::HasSecondDerivativeLine, &C::RemoveSecondDerivativeLines,
        &C::GetSecondDerivativeLines>(true),
    Ops<ZRMUtUniqueId, &C::AddHandleDims, &C::HasHandleDim, &C::RemoveHandleDim, &C::GetHandleDims>(false),
    Ops<double, &C::AddTangentialSpeeds, &C::HasTangentialSpeed, &C::RemoveTangentialSpeeds, &C::GetTangentialSpeeds>(
        true),
    Ops<double, &C::AddSecondDerivativeNorms, &C::HasSecondDerivativeNorm, &C::RemoveSecondDerivativeNorms,
        &C::GetSecondDerivativeNorms>(true),
};

// Random Add (insert or overwrite) / Remove (absent keys included) / Has on the five maps against
// std::map models, with Count and the sizes after every step.
TEST(ZRMUtSplineCondition, RandomOperationsMatchMapModels) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> key(-5, 25), op(0, 2), value(0, 1000), which(0, 4);
  Condition record;
  std::map<int, int> models[5];
  for (long step = 0; step < zrmtest::Scaled(5000); ++step) {
    const int m = which(rng), k = key(rng);
    const MapOps& ops = kMaps[m];
    std::map<int, int>& model = models[m];
    const int o = op(rng);
    if (o == 0) {
      ops.add(record, k, model[k] = value(rng));
    } else if (o == 1) {
      ops.remove(record, k);
      model.erase(k);
    } else {
      double out = -7.0;
      const bool present = ops.has(record, k, out);
      ASSERT_EQ(model.count(k) == 1, present) << step;
      ASSERT_EQ(present ? model[k] : ops.ids ? -1.0 : -7.0, out) << step;
    }
    std::size_t counted = 0;
    for (int i = 0; i < 5; ++i) {
      if (kMaps[i].counted) counted += models[i].size();
      ASSERT_EQ(static_cast<int>(models[i].size()), kMaps[i].size(record)) << step;
    }
    ASSERT_EQ(static_cast<int>(counted), record.Count()) << step;
  }
}

// Count adds the four counted maps only (a shared key four times), entries made through the
// returned maps included; Add overwrites (handle ends in argument order); an entry that a map read
// creates holds the map's default value.
TEST(ZRMUtSplineCondition, CountReturnedMapsAndDefaults) {
  Condition record;
  ZRMUtUniqueId id(1), other(2), third(5), out;
  record.AddTangentLines(0, id);
  record.AddTangentialSpeeds(0, 1.0);
  record.AddSecondDerivativeLines(0, id);
  record.AddSecondDerivativeNorms(0, 2.0);
  record.AddTangentAngles(0, 0.5);
  record.AddHandleDims(0, id);
  record.AddHandleRatios(0, 0.25);
  record.AddHandleRatios(0, 0.75);
  record.AddTangentHandleEnds(0, id, other);
  record.AddTangentHandleEnds(0, other, third);
  record.GetTangentLinePointers()[0] = record.GetSecondDerivativeLinePointers()[0] = &record;
  record.GetHandleDimPointers()[0] = &record;
  record.GetTangentHandleEndsPointers()[0] = ZRMUtPair<void*, void*>(&record, nullptr);
  EXPECT_EQ(4, record.Count());
  EXPECT_TRUE(record.GetHandleRatios().Size() == 1 && record.GetHandleRatios()[0] == 0.75);
  ASSERT_EQ(1, record.GetTangentHandleEnds().Size());
  const ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId> stored = record.GetTangentHandleEnds()[0];
  EXPECT_TRUE(stored.first.Value() == 2 && stored.second.Value() == 5);
  record.GetTangentLines()[9] = ZRMUtUniqueId(90);
  record.GetTangentialSpeeds()[3] = 0.75;
  double speed = 0.0;
  EXPECT_TRUE(record.HasTangentLine(9, out) && out.Value() == 90);
  EXPECT_TRUE(record.HasTangentialSpeed(3, speed) && speed == 0.75);
  EXPECT_TRUE(record.GetTangentLines().Erase(9));
  record.GetSecondDerivativeLines()[1];
  EXPECT_TRUE(record.HasSecondDerivativeLine(1, out) && out.Value() == -1);
  EXPECT_EQ(6, record.Count());
  const ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId> ends = record.GetTangentHandleEnds()[6];
  const ZRMUtPair<void*, void*> pointers = record.GetTangentHandleEndsPointers()[6];
  EXPECT_TRUE(ends.first.Value() == -1 && ends.second.Value() == -1 && !pointers.first && !pointers.second);
  EXPECT_TRUE(record.GetHandleDimPointers()[1] == nullptr && record.GetTangentLinePointers()[1] == nullptr);
  EXPECT_TRUE(record.GetSecondDerivativeLinePointers()[1] == nullptr && record.GetHandleRatios()[9] == 0.0);
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
  EXPECT_TRUE(point.z == 3.0 && value == -1.5);
  EXPECT_TRUE(vector.x == 0.0 && vector.y == 0.0 && vector.z == 0.0);  // a zero vector is kept
}

ZRMUtBSpline MakeSpline(double shift) {
  double knots[] = {0.0, 1.0 + shift}, weights[] = {1.0, 0.5 + shift, 1.0};
  int multiplicities[] = {3, 3};
  KRNMathSetOfPoints points;
  for (const KRNMathPoint& p : {KRNMathPoint(0, 0, 0), KRNMathPoint(1, shift, 0), KRNMathPoint(2, 0, 0)})
    points.Append(p);
  ZRMUtBSpline spline(2, 2, knots, multiplicities, 3, weights, false, points);
  spline.SetClosureCondition(KRNMathVector(shift, 0, 0), KRNMathVector(0, shift, 0));
  return spline;
}

// The stored spline is a copy: changing the caller's spline, or the one read out, leaves it
// alone; setting a new spline replaces it entirely.
TEST(ZRMUtSplineCondition, StoredSplineIsAnIndependentCopy) {
  Condition record;
  ZRMUtBSpline s = MakeSpline(0.25), t, again;
  record.SetGeom(s);
  record.GetGeom(t);
  EXPECT_EQ(Signature(MakeSpline(0.25)), Signature(t));
  EXPECT_NE(s.GetKnots(), t.GetKnots());
  EXPECT_EQ(0, t.GetRefCount());  // no reference counting involved
  s = MakeSpline(9.0);
  KRNMathSetOfPoints moved;
  moved.Append(KRNMathPoint(5, 5, 5));
  t.SetCPoints(moved);
  record.GetGeom(again);
  EXPECT_EQ(Signature(MakeSpline(0.25)), Signature(again));
  record.SetGeom(ZRMUtBSpline());
  record.GetGeom(again);
  EXPECT_EQ(Signature(ZRMUtBSpline()), Signature(again));
  EXPECT_EQ(nullptr, again.GetKnots());
}

}  // namespace
