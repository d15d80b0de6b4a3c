// KRNMathPlane: a plane of 3-D space given by an origin and two directions spanning it. The
// directions are stored as given: neither normalised nor made orthogonal.
#ifndef KRNMathPlane_h
#define KRNMathPlane_h

#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathPlane {
public:
  // Through (0, 0, 0), directions (1, 0, 0) and (0, 1, 0).
  KRNMathPlane() = default;
  KRNMathPlane(const KRNMathPoint& origin, const KRNMathVector& first, const KRNMathVector& second)
      : mOrigin(origin), mFirst(first), mSecond(second) {}

  const KRNMathPoint& GetOrigin() const { return mOrigin; }
  const KRNMathVector& GetFirstDirection() const { return mFirst; }
  const KRNMathVector& GetSecondDirection() const { return mSecond; }
  // first := the first direction, second := the second direction.
  void GetDirections(KRNMathVector& first, KRNMathVector& second) const {
    first = mFirst;
    second = mSecond;
  }

private:
  KRNMathPoint mOrigin;
  KRNMathVector mFirst{1.0, 0.0, 0.0};
  KRNMathVector mSecond{0.0, 1.0, 0.0};
};

#endif
