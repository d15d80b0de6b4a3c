// ZRMUtSplineCondition: initial state, the map operations against std::map models, the Count
// rule, changes through the returned maps, scalars, closure data and the stored spline.
#include "ZRMTestSupport.h"
#include "ZRMUtSplineCondition.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using Condition = ZRMUtSplineCondition;

TEST(ZRMUtSplineCondition, NewRecord) {
  Condition record;
  EXPECT_EQ(0, record.Count());
  EXPECT_EQ(3, record.GetDegree());
  EXPECT_EQ(1, static_cast<int>(record.GetParameterizationMode()));
  EXPECT_EQ(Condition::ParameterizationChordLength, record.GetParameterizationMode());
  EXPECT_TRUE(record.IsCreating());
  EXPECT_FALSE(record.ToNormalise());
  EXPECT_FALSE(record.IsPeriodic());
  EXPECT_FALSE(record.IsSolverEntity());
  EXPECT_FALSE(record.UseFullClamping());
  KRNMathPoint point(9, 9, 9);
  KRNMathVector vector(9, 9, 9);
  double value = 9.0;
  record.GetClosureData(point, vector, value);
  EXPECT_EQ(0.0, point.x);
  EXPECT_EQ(0.0, point.y);
  EXPECT_EQ(0.0, point.z);
  EXPECT_EQ(1.0, vector.x);
  EXPECT_EQ(0.0, vector.y);
  EXPECT_EQ(0.0, vector.z);
  EXPECT_EQ(0.0, value);
  EXPECT_EQ(0, record.GetTangentLines().Size());
  EXPECT_EQ(0, record.GetTangentialSpeeds().Size());
  EXPECT_EQ(0, record.GetSecondDerivativeLines().Size());
  EXPECT_EQ(0, record.GetSecondDerivativeNorms().Size());
  EXPECT_EQ(0, record.GetTangentLinePointers().Size());
  EXPECT_EQ(0, record.GetSecondDerivativeLinePointers().Size());
  EXPECT_EQ(0, record.GetTangentHandleEnds().Size());
  EXPECT_EQ(0, record.GetTangentHandleEndsPointers().Size());
  EXPECT_EQ(0, record.GetHandleRatios().Size());
  EXPECT_EQ(0, record.GetHandleDims().Size());
  EXPECT_EQ(0, record.GetHandleDimPointers().Size());
  ZRMUtBSpline spline(2, 0, nullptr, nullptr, true, KRNMathSetOfPoints(3));
  record.GetGeom(spline);
  EXPECT_EQ(0, spline.GetDegree());
  EXPECT_EQ(0, spline.GetNumberOfCPoints());
  EXPECT_FALSE(spline.GetPeriodic());
}

TEST(ZRMUtSplineCondition, UniqueIdDefaultsToNoId) {
  EXPECT_EQ(-1, ZRMUtUniqueId().Value());
  EXPECT_EQ(42, ZRMUtUniqueId(42).Value());
}

// The three id maps with Add / Has / Remove, reached uniformly.
struct IdMapOps {
  const char* name;
  void (Condition::*add)(int, ZRMUtUniqueId&);
  bool (Condition::*has)(int, ZRMUtUniqueId&);
  void (Condition::*remove)(int);
  Condition::IdMap& (Condition::*get)();
  bool counted;
};
const IdMapOps kIdMaps[] = {
    {"tangent lines", &Condition::AddTangentLines, &Condition::HasTangentLine, &Condition::RemoveTangentLine,
     &Condition::GetTangentLines, true},
    {"second-derivative lines", &Condition::AddSecondDerivativeLines, &Condition::HasSecondDerivativeLine,
     &Condition::RemoveSecondDerivativeLines, &Condition::GetSecondDerivativeLines, true},
    {"handle dims", &Condition::AddHandleDims, &Condition::HasHandleDim, &Condition::RemoveHandleDim,
     &Condition::GetHandleDims, false},
};

// The two double maps with Add / Has / Remove.
struct ValueMapOps {
  const char* name;
  void (Condition::*add)(int, double);
  bool (Condition::*has)(int, double&);
  void (Condition::*remove)(int);
  Condition::ValueMap& (Condition::*get)();
};
const ValueMapOps kValueMaps[] = {
    {"tangential speeds", &Condition::AddTangentialSpeeds, &Condition::HasTangentialSpeed,
     &Condition::RemoveTangentialSpeeds, &Condition::GetTangentialSpeeds},
    {"second-derivative norms", &Condition::AddSecondDerivativeNorms, &Condition::HasSecondDerivativeNorm,
     &Condition::RemoveSecondDerivativeNorms, &Condition::GetSecondDerivativeNorms},
};

TEST(ZRMUtSplineCondition, IdMapsOverwriteFindAndRemove) {
  for (const IdMapOps& ops : kIdMaps) {
    SCOPED_TRACE(ops.name);
    Condition record;
    ZRMUtUniqueId a(11), b(22);
    (record.*ops.add)(4, a);
    (record.*ops.add)(4, b);
    EXPECT_EQ(11, a.Value());  // the arguments are only read
    ZRMUtUniqueId out(5);
    EXPECT_TRUE((record.*ops.has)(4, out));
    EXPECT_EQ(22, out.Value());
    EXPECT_EQ(ops.counted ? 1 : 0, record.Count());
    EXPECT_EQ(1, (record.*ops.get)().Size());
    // Absent: false and the output becomes "no id".
    out = ZRMUtUniqueId(5);
    EXPECT_FALSE((record.*ops.has)(7, out));
    EXPECT_EQ(-1, out.Value());
    // Removing an absent key changes nothing; removing a present one removes it.
    (record.*ops.remove)(7);
    EXPECT_EQ(1, (record.*ops.get)().Size());
    (record.*ops.remove)(4);
    EXPECT_FALSE((record.*ops.has)(4, out));
    EXPECT_EQ(0, record.Count());
  }
}

TEST(ZRMUtSplineCondition, ValueMapsOverwriteFindAndRemove) {
  for (const ValueMapOps& ops : kValueMaps) {
    SCOPED_TRACE(ops.name);
    Condition record;
    (record.*ops.add)(4, 1.5);
    (record.*ops.add)(4, -2.5);
    double out = 0.0;
    EXPECT_TRUE((record.*ops.has)(4, out));
    EXPECT_EQ(-2.5, out);
    EXPECT_EQ(1, record.Count());
    // Absent: false and the output is left as it was.
    out = 3.5;
    EXPECT_FALSE((record.*ops.has)(7, out));
    EXPECT_EQ(3.5, out);
    (record.*ops.remove)(7);
    EXPECT_EQ(1, record.Count());
    (record.*ops.remove)(4);
    EXPECT_FALSE((record.*ops.has)(4, out));
    EXPECT_EQ(0, record.Count());
  }
}

TEST(ZRMUtSplineCondition, CountAddsTheFourCountedMapsOnly) {
  Condition record;
  ZRMUtUniqueId id(1), other(2);
  record.AddTangentLines(0, id);
  record.AddTangentialSpeeds(0, 1.0);
  record.AddSecondDerivativeLines(0, id);
  record.AddSecondDerivativeNorms(0, 2.0);
  EXPECT_EQ(4, record.Count());  // the same key in four maps counts four times
  record.AddTangentAngles(0, 0.5);
  record.AddTangentAngles(1, 0.5);
  record.AddHandleDims(0, id);
  record.AddHandleRatios(0, 0.25);
  record.AddTangentHandleEnds(0, id, other);
  record.GetTangentLinePointers()[0] = &record;
  record.GetSecondDerivativeLinePointers()[0] = &record;
  record.GetTangentHandleEndsPointers()[0] = ZRMUtPair<void*, void*>(&record, nullptr);
  record.GetHandleDimPointers()[0] = &record;
  EXPECT_EQ(4, record.Count());
  record.AddTangentLines(1, id);
  EXPECT_EQ(5, record.Count());
}

TEST(ZRMUtSplineCondition, ChangesThroughTheReturnedMapsAreChangesOfTheRecord) {
  Condition record;
  record.GetTangentLines()[9] = ZRMUtUniqueId(90);
  ZRMUtUniqueId out;
  EXPECT_TRUE(record.HasTangentLine(9, out));
  EXPECT_EQ(90, out.Value());
  EXPECT_EQ(1, record.Count());
  record.GetTangentialSpeeds()[3] = 0.75;
  double speed = 0.0;
  EXPECT_TRUE(record.HasTangentialSpeed(3, speed));
  EXPECT_EQ(0.75, speed);
  EXPECT_EQ(2, record.Count());
  EXPECT_TRUE(record.GetTangentLines().Erase(9));
  EXPECT_FALSE(record.HasTangentLine(9, out));
  EXPECT_EQ(1, record.Count());
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
  record.AddTangentHandleEnds(2, second, third);  // overwrite
  ASSERT_EQ(1, record.GetTangentHandleEnds().Size());
  const ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId>& ends = record.GetTangentHandleEnds()[2];
  EXPECT_EQ(4, ends.first.Value());
  EXPECT_EQ(5, ends.second.Value());
  const ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId>& fresh = record.GetTangentHandleEnds()[6];
  EXPECT_EQ(-1, fresh.first.Value());
  EXPECT_EQ(-1, fresh.second.Value());
  const ZRMUtPair<void*, void*>& pointers = record.GetTangentHandleEndsPointers()[6];
  EXPECT_EQ(nullptr, pointers.first);
  EXPECT_EQ(nullptr, pointers.second);
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

// Random Add / Remove / Has on the counted maps and the handle dims, against std::map models.
TEST(ZRMUtSplineCondition, RandomOperationsMatchMapModels) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> key(-5, 25), op(0, 2), value(0, 1000);
  Condition record;
  std::map<int, int> idModels[3];
  std::map<int, double> valueModels[2];
  for (long step = 0; step < zrmtest::Scaled(5000); ++step) {
    const int k = key(rng);
    const int which = static_cast<int>(rng() % 5);
    if (which < 3) {
      const IdMapOps& ops = kIdMaps[which];
      std::map<int, int>& model = idModels[which];
      switch (op(rng)) {
        case 0: {
          ZRMUtUniqueId id(value(rng));
          (record.*ops.add)(k, id);
          model[k] = id.Value();
          break;
        }
        case 1:
          (record.*ops.remove)(k);
          model.erase(k);
          break;
        default: {
          ZRMUtUniqueId out(-7);
          const bool present = (record.*ops.has)(k, out);
          ASSERT_EQ(model.count(k) == 1, present) << step;
          ASSERT_EQ(present ? model[k] : -1, out.Value()) << step;
        }
      }
    } else {
      const ValueMapOps& ops = kValueMaps[which - 3];
      std::map<int, double>& model = valueModels[which - 3];
      switch (op(rng)) {
        case 0: {
          const double v = value(rng) * 0.5;
          (record.*ops.add)(k, v);
          model[k] = v;
          break;
        }
        case 1:
          (record.*ops.remove)(k);
          model.erase(k);
          break;
        default: {
          double out = -7.0;
          const bool present = (record.*ops.has)(k, out);
          ASSERT_EQ(model.count(k) == 1, present) << step;
          ASSERT_EQ(present ? model[k] : -7.0, out) << step;
        }
      }
    }
    const int expected = static_cast<int>(idModels[0].size() + idModels[1].size() + valueModels[0].size() +
                                          valueModels[1].size());
    ASSERT_EQ(expected, record.Count()) << step;
    ASSERT_EQ(static_cast<int>(idModels[2].size()), record.GetHandleDims().Size()) << step;
  }
}

TEST(ZRMUtSplineCondition, ScalarsAndClosureDataAreStoredAsGiven) {
  Condition record;
  record.SetDegree(-4);
  EXPECT_EQ(-4, record.GetDegree());
  record.SetParameterizationMode(Condition::ParameterizationCentripetal);
  EXPECT_EQ(Condition::ParameterizationCentripetal, record.GetParameterizationMode());
  record.SetParameterizationMode(static_cast<Condition::ZRMUtParameterizationMode>(17));  // not validated
  EXPECT_EQ(17, static_cast<int>(record.GetParameterizationMode()));
  record.SetToNormalise(true);
  record.SetIsPeriodic(true);
  record.SetIsSolverEntity(true);
  record.SetUseFullClamping(true);
  record.SetIsCreating(false);
  EXPECT_TRUE(record.ToNormalise());
  EXPECT_TRUE(record.IsPeriodic());
  EXPECT_TRUE(record.IsSolverEntity());
  EXPECT_TRUE(record.UseFullClamping());
  EXPECT_FALSE(record.IsCreating());
  record.SetIsPeriodic(false);
  EXPECT_FALSE(record.IsPeriodic());
  EXPECT_TRUE(record.ToNormalise());  // the flags are independent

  record.SetClosureData(KRNMathPoint(1, 2, 3), KRNMathVector(0, 0, 0), -1.5);
  KRNMathPoint point;
  KRNMathVector vector;
  double value = 0.0;
  record.GetClosureData(point, vector, value);
  EXPECT_EQ(3.0, point.z);
  EXPECT_EQ(0.0, vector.x);  // a zero vector is kept
  EXPECT_EQ(-1.5, value);
}

ZRMUtBSpline MakeSpline(double shift) {
  double knots[] = {0.0, 1.0 + shift};
  int multiplicities[] = {3, 3};
  double weights[] = {1.0, 0.5 + shift, 1.0};
  KRNMathSetOfPoints points;
  points.Append(KRNMathPoint(0, 0, 0));
  points.Append(KRNMathPoint(1, shift, 0));
  points.Append(KRNMathPoint(2, 0, 0));
  ZRMUtBSpline spline(2, 2, knots, multiplicities, 3, weights, false, points);
  spline.SetClosureCondition(KRNMathVector(shift, 0, 0), KRNMathVector(0, shift, 0));
  return spline;
}

void ExpectSameSpline(const ZRMUtBSpline& expected, const ZRMUtBSpline& actual) {
  ASSERT_EQ(expected.GetDegree(), actual.GetDegree());
  ASSERT_EQ(expected.GetNbOfKnots(), actual.GetNbOfKnots());
  for (int i = 0; i < expected.GetNbOfKnots(); ++i) {
    EXPECT_EQ(expected.GetKnots()[i], actual.GetKnots()[i]);
    EXPECT_EQ(expected.GetMultiplicities()[i], actual.GetMultiplicities()[i]);
  }
  ASSERT_EQ(expected.GetNumberOfWeights(), actual.GetNumberOfWeights());
  for (int i = 0; i < expected.GetNumberOfWeights(); ++i) EXPECT_EQ(expected.GetWeights()[i], actual.GetWeights()[i]);
  EXPECT_EQ(expected.GetPeriodic(), actual.GetPeriodic());
  ASSERT_EQ(expected.GetNumberOfCPoints(), actual.GetNumberOfCPoints());
  for (int i = 0; i < expected.GetNumberOfCPoints(); ++i)
    EXPECT_EQ(expected.GetCPoints().GetPoint(i).y, actual.GetCPoints().GetPoint(i).y);
  KRNMathVector e1, e2, a1, a2;
  expected.GetClosureCondition(e1, e2);
  actual.GetClosureCondition(a1, a2);
  EXPECT_EQ(e1.x, a1.x);
  EXPECT_EQ(e2.y, a2.y);
}

TEST(ZRMUtSplineCondition, StoredSplineIsAnIndependentCopy) {
  Condition record;
  ZRMUtBSpline s = MakeSpline(0.25);
  record.SetGeom(s);
  ZRMUtBSpline t;
  record.GetGeom(t);
  ExpectSameSpline(MakeSpline(0.25), t);
  EXPECT_NE(s.GetKnots(), t.GetKnots());
  EXPECT_EQ(0, t.GetRefCount());  // no reference counting involved

  // Changing the caller's spline, or the one read out, leaves the stored one alone.
  s = MakeSpline(9.0);
  KRNMathSetOfPoints moved;
  moved.Append(KRNMathPoint(5, 5, 5));
  t.SetCPoints(moved);
  ZRMUtBSpline again;
  record.GetGeom(again);
  ExpectSameSpline(MakeSpline(0.25), again);

  // Setting a new spline replaces the stored one entirely.
  record.SetGeom(ZRMUtBSpline());
  record.GetGeom(again);
  EXPECT_EQ(0, again.GetNbOfKnots());
  EXPECT_EQ(nullptr, again.GetKnots());
  EXPECT_EQ(0, again.GetNumberOfCPoints());
}

}  // namespace
