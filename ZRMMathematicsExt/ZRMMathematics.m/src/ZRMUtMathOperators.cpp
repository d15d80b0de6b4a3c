#include "ZRMUtMathOperators.h"

#include "ZRMUtTolerance.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace {

// True when |a[i] - b[i]| < AbsoluteTol for every i, tested in index order. The difference is
// formed in Real and compared with the tolerance converted to Real; NaN fails the test.
template <class Real, std::size_t N>
bool ComponentsEqual(const std::array<Real, N>& a, const std::array<Real, N>& b) {
  const Real tolerance = static_cast<Real>(ZRMUtTolerance().AbsoluteTol());
  for (std::size_t i = 0; i < N; ++i) {
    const Real difference = a[i] - b[i];
    if (!(std::fabs(difference) < tolerance)) return false;
  }
  return true;
}

// The stored components of each type, in comparison order.
std::array<double, 3> Components(const KRNMathPoint& p) { return {p.x, p.y, p.z}; }
std::array<double, 3> Components(const KRNMathVector& v) { return {v.x, v.y, v.z}; }
std::array<double, 2> Components(const KRNMathPoint2D& p) { return {p.x, p.y}; }
std::array<float, 3> Components(const KRNMathPointf& p) { return {p.x, p.y, p.z}; }
std::array<float, 3> Components(const KRNMathVectorf& v) { return {v.x, v.y, v.z}; }
std::array<float, 3> Components(const KRNMathDirectionf& d) { return {d.x, d.y, d.z}; }

std::array<double, 4> Components(const KRNMathBox2D& box) {
  const KRNMathPoint2D low = box.GetLow(), high = box.GetHigh();
  return {low.x, low.y, high.x, high.y};
}

std::array<double, 9> Components(const KRNMathPlane& plane) {
  const KRNMathPoint& o = plane.GetOrigin();
  const KRNMathVector& u = plane.GetFirstDirection();
  const KRNMathVector& v = plane.GetSecondDirection();
  return {o.x, o.y, o.z, u.x, u.y, u.z, v.x, v.y, v.z};
}

std::array<double, 12> Components(const KRNMathAxis& axis) {
  const KRNMathPoint& o = axis.GetOrigin();
  const KRNMathVector& u = axis.GetFirstDirection();
  const KRNMathVector& v = axis.GetSecondDirection();
  const KRNMathVector& w = axis.GetThirdDirection();
  return {o.x, o.y, o.z, u.x, u.y, u.z, v.x, v.y, v.z, w.x, w.y, w.z};
}

// The tolerant equality of any of the types above.
template <class T>
bool TolerantlyEqual(const T& a, const T& b) {
  return ComponentsEqual(Components(a), Components(b));
}

}  // namespace

bool operator==(const KRNMathAxis& a, const KRNMathAxis& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathAxis& a, const KRNMathAxis& b) { return !(a == b); }
bool operator==(const KRNMathBox2D& a, const KRNMathBox2D& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathBox2D& a, const KRNMathBox2D& b) { return !(a == b); }
bool operator==(const KRNMathDirectionf& a, const KRNMathDirectionf& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathDirectionf& a, const KRNMathDirectionf& b) { return !(a == b); }
bool operator==(const KRNMathPlane& a, const KRNMathPlane& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathPlane& a, const KRNMathPlane& b) { return !(a == b); }
bool operator==(const KRNMathPoint2D& a, const KRNMathPoint2D& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathPoint2D& a, const KRNMathPoint2D& b) { return !(a == b); }
bool operator==(const KRNMathPoint& a, const KRNMathPoint& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathPoint& a, const KRNMathPoint& b) { return !(a == b); }
bool operator==(const KRNMathPointf& a, const KRNMathPointf& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathPointf& a, const KRNMathPointf& b) { return !(a == b); }
bool operator==(const KRNMathVector& a, const KRNMathVector& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathVector& a, const KRNMathVector& b) { return !(a == b); }
bool operator==(const KRNMathVectorf& a, const KRNMathVectorf& b) { return TolerantlyEqual(a, b); }
bool operator!=(const KRNMathVectorf& a, const KRNMathVectorf& b) { return !(a == b); }

KRNMathDirection ZRMUtDirectionFtoDirection(const KRNMathDirectionf& direction) {
  return KRNMathDirection(static_cast<double>(direction.x), static_cast<double>(direction.y),
                          static_cast<double>(direction.z));
}

KRNMathPoint ZRMUtMathPointFtoMathPoint(const KRNMathPointf& point) {
  return KRNMathPoint(static_cast<double>(point.x), static_cast<double>(point.y), static_cast<double>(point.z));
}

KRNMathVector ZRMUtPointToVector(const KRNMathPoint& point) { return KRNMathVector(point.x, point.y, point.z); }

KRNMathVectorf ZRMUtPointfToVectorf(const KRNMathPointf& point) { return KRNMathVectorf(point.x, point.y, point.z); }

KRNMathPointf ZRMUtVectorfToPointf(const KRNMathVectorf& vector) { return KRNMathPointf(vector.x, vector.y, vector.z); }
