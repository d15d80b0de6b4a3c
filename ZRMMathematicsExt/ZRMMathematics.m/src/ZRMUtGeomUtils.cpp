#include "ZRMUtGeomUtils.h"

#include "ZRMCheck.h"

#include <cmath>

namespace {

// Reported source path and lines of the axis-index checks.
constexpr const char* ZRMGeomUtilsFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils";
constexpr int ZRMPlaneToSysCheckLine = 101;
constexpr int ZRMSysToPlaneCheckLine = 102;

// k itself when it is 0, 1 or 2; otherwise reports the caller error (at line) and returns k
// modulo 3 in 0..2.
int AxisIndex(int k, int line) {
  const bool inRange = k >= 0 && k <= 2;
  ZRMReportCheck(inRange, "k >= 0 && k <= 2", "Axis index out of range", ZRMGeomUtilsFile, line);
  const int reduced = k % 3;
  return reduced < 0 ? reduced + 3 : reduced;  // in 0..2
}

// The rotation by angle about axis.
KRNMathTransformation Rotation(const KRNMathLine& axis, double angle) { return KRNMathTransformation(angle, axis); }

}  // namespace

ZRMUtGeomUtils::~ZRMUtGeomUtils() = default;

KRNMathVector ZRMUtGeomUtils::GetPerpendicularVector(const KRNMathVector& v) {
  const KRNMathVector a(1.0, 0.0, 0.0);
  if (!a.IsParallel(v)) return a ^ v;  // (0, -v.z, v.y)
  const KRNMathVector b(0.0, 1.0, 0.0);
  if (!b.IsParallel(v)) return b ^ v;  // (v.z, 0, -v.x)
  return a;
}

KRNMathPoint ZRMUtGeomUtils::GetRotatedPoint(const KRNMathLine& axis, double angle, const KRNMathPoint& point) {
  return Rotation(axis, angle) * point;
}

KRNMathDirection ZRMUtGeomUtils::GetRotatedVector(const KRNMathLine& axis, double angle,
                                                  const KRNMathDirection& direction) {
  const KRNMathVector rotated = Rotation(axis, angle) * KRNMathVector(direction);
  return KRNMathDirection(rotated);
}

void ZRMUtGeomUtils::GetTransformationOfPointsAndDirections(KRNMathTransformation& result, const KRNMathPoint& P1,
                                                            const KRNMathDirection& D1, const KRNMathPoint& P2,
                                                            const KRNMathDirection& D2) {
  const KRNMathTransformation translation(P2 - P1);
  const double cosine = D1 * D2;
  if (!D1.IsParallel(D2)) {
    // The cosine is clamped into [-1, 1]: rounding may push the dot product of two nearly
    // parallel unit directions just past 1, where acos has no value.
    const double angle = std::acos(std::fmax(-1.0, std::fmin(1.0, cosine)));
    const KRNMathLine axis(P2, D1 ^ D2);
    result = Rotation(axis, angle) * translation;
  } else if (cosine > 0.0) {
    result = translation;
  } else {
    result = KRNMathTransformation(P2, KRNMathVector(D2)) * translation;
  }
}

KRNMathAxis ZRMUtGeomUtils::PlaneToSys(const KRNMathPlane& plane, int k) {
  const int third = AxisIndex(k, ZRMPlaneToSysCheckLine);
  KRNMathVector list[3];
  plane.GetDirections(list[0], list[1]);
  list[2] = list[0] ^ list[1];
  list[2].Normalize();
  return KRNMathAxis(plane.GetOrigin(), list[(third + 1) % 3], list[(third + 2) % 3], list[third]);
}

KRNMathPlane ZRMUtGeomUtils::SysToPlane(const KRNMathAxis& axis, int k) {
  const int normal = AxisIndex(k, ZRMSysToPlaneCheckLine);
  KRNMathVector list[3];
  axis.GetDirections(list[0], list[1], list[2]);
  return KRNMathPlane(axis.GetOrigin(), list[(normal + 1) % 3], list[(normal + 2) % 3]);
}
