#include "ZRMUtSplineCondition.h"

namespace {

// value := the value under index and true when present; false, value untouched, when absent.
template <class Map, class Value>
bool Lookup(Map& map, int index, Value& value) {
  const auto found = map.Find(index);
  if (found == map.End()) return false;
  value = found->second;
  return true;
}

// As Lookup, with id := -1 (no id) when absent.
bool LookupId(ZRMUtSplineCondition::IdMap& map, int index, ZRMUtUniqueId& id) {
  if (Lookup(map, index, id)) return true;
  id = ZRMUtUniqueId();
  return false;
}

}  // namespace

ZRMUtSplineCondition::ZRMUtSplineCondition() = default;
ZRMUtSplineCondition::~ZRMUtSplineCondition() = default;

void ZRMUtSplineCondition::AddTangentAngles(int index, double angle) { mTangentAngles[index] = angle; }

void ZRMUtSplineCondition::AddTangentLines(int index, ZRMUtUniqueId& id) { mTangentLines[index] = id; }
bool ZRMUtSplineCondition::HasTangentLine(int index, ZRMUtUniqueId& id) { return LookupId(mTangentLines, index, id); }
void ZRMUtSplineCondition::RemoveTangentLine(int index) { mTangentLines.Erase(index); }
ZRMUtSplineCondition::IdMap& ZRMUtSplineCondition::GetTangentLines() { return mTangentLines; }

void ZRMUtSplineCondition::AddTangentialSpeeds(int index, double speed) { mTangentialSpeeds[index] = speed; }
bool ZRMUtSplineCondition::HasTangentialSpeed(int index, double& speed) {
  return Lookup(mTangentialSpeeds, index, speed);
}
void ZRMUtSplineCondition::RemoveTangentialSpeeds(int index) { mTangentialSpeeds.Erase(index); }
ZRMUtSplineCondition::ValueMap& ZRMUtSplineCondition::GetTangentialSpeeds() { return mTangentialSpeeds; }

void ZRMUtSplineCondition::AddSecondDerivativeLines(int index, ZRMUtUniqueId& id) {
  mSecondDerivativeLines[index] = id;
}
bool ZRMUtSplineCondition::HasSecondDerivativeLine(int index, ZRMUtUniqueId& id) {
  return LookupId(mSecondDerivativeLines, index, id);
}
void ZRMUtSplineCondition::RemoveSecondDerivativeLines(int index) { mSecondDerivativeLines.Erase(index); }
ZRMUtSplineCondition::IdMap& ZRMUtSplineCondition::GetSecondDerivativeLines() { return mSecondDerivativeLines; }

void ZRMUtSplineCondition::AddSecondDerivativeNorms(int index, double norm) { mSecondDerivativeNorms[index] = norm; }
bool ZRMUtSplineCondition::HasSecondDerivativeNorm(int index, double& norm) {
  return Lookup(mSecondDerivativeNorms, index, norm);
}
void ZRMUtSplineCondition::RemoveSecondDerivativeNorms(int index) { mSecondDerivativeNorms.Erase(index); }
ZRMUtSplineCondition::ValueMap& ZRMUtSplineCondition::GetSecondDerivativeNorms() { return mSecondDerivativeNorms; }

ZRMUtSplineCondition::PointerMap& ZRMUtSplineCondition::GetTangentLinePointers() { return mTangentLinePointers; }
ZRMUtSplineCondition::PointerMap& ZRMUtSplineCondition::GetSecondDerivativeLinePointers() {
  return mSecondDerivativeLinePointers;
}

void ZRMUtSplineCondition::AddTangentHandleEnds(int index, ZRMUtUniqueId& first, ZRMUtUniqueId& second) {
  mTangentHandleEnds[index] = ZRMUtPair<ZRMUtUniqueId, ZRMUtUniqueId>(first, second);
}
ZRMUtSplineCondition::IdPairMap& ZRMUtSplineCondition::GetTangentHandleEnds() { return mTangentHandleEnds; }
ZRMUtSplineCondition::PointerPairMap& ZRMUtSplineCondition::GetTangentHandleEndsPointers() {
  return mTangentHandleEndsPointers;
}

void ZRMUtSplineCondition::AddHandleRatios(int index, double ratio) { mHandleRatios[index] = ratio; }
ZRMUtSplineCondition::ValueMap& ZRMUtSplineCondition::GetHandleRatios() { return mHandleRatios; }

void ZRMUtSplineCondition::AddHandleDims(int index, ZRMUtUniqueId& id) { mHandleDims[index] = id; }
bool ZRMUtSplineCondition::HasHandleDim(int index, ZRMUtUniqueId& id) { return LookupId(mHandleDims, index, id); }
void ZRMUtSplineCondition::RemoveHandleDim(int index) { mHandleDims.Erase(index); }
ZRMUtSplineCondition::IdMap& ZRMUtSplineCondition::GetHandleDims() { return mHandleDims; }
ZRMUtSplineCondition::PointerMap& ZRMUtSplineCondition::GetHandleDimPointers() { return mHandleDimPointers; }

int ZRMUtSplineCondition::Count() const {
  return mTangentLines.Size() + mTangentialSpeeds.Size() + mSecondDerivativeLines.Size() +
         mSecondDerivativeNorms.Size();
}

void ZRMUtSplineCondition::SetClosureData(const KRNMathPoint& point, const KRNMathVector& vector, double value) {
  mClosurePoint = point;
  mClosureVector = vector;
  mClosureValue = value;
}

void ZRMUtSplineCondition::GetClosureData(KRNMathPoint& point, KRNMathVector& vector, double& value) {
  point = mClosurePoint;
  vector = mClosureVector;
  value = mClosureValue;
}

void ZRMUtSplineCondition::SetGeom(const ZRMUtBSpline& spline) { mGeom = spline; }

void ZRMUtSplineCondition::GetGeom(ZRMUtBSpline& spline) { spline = mGeom; }
