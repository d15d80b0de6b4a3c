// KRNMathAxis: an axis system of 3-D space, an origin and three directions, all stored as given
// in doubles (neither normalised nor checked for orthogonality).
#ifndef KRNMathAxis_h
#define KRNMathAxis_h

#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathAxis {
public:
  // The world axis system: origin (0,0,0), directions (1,0,0), (0,1,0), (0,0,1).
  KRNMathAxis() = default;
  KRNMathAxis(const KRNMathPoint& origin, const KRNMathVector& first, const KRNMathVector& second,
              const KRNMathVector& third)
      : mOrigin(origin), mFirst(first), mSecond(second), mThird(third) {}

  const KRNMathPoint& GetOrigin() const { return mOrigin; }
  const KRNMathVector& GetFirstDirection() const { return mFirst; }
  const KRNMathVector& GetSecondDirection() const { return mSecond; }
  const KRNMathVector& GetThirdDirection() const { return mThird; }
  void GetDirections(KRNMathVector& first, KRNMathVector& second, KRNMathVector& third) const {
    first = mFirst;
    second = mSecond;
    third = mThird;
  }

private:
  KRNMathPoint mOrigin;
  KRNMathVector mFirst{1.0, 0.0, 0.0};
  KRNMathVector mSecond{0.0, 1.0, 0.0};
  KRNMathVector mThird{0.0, 0.0, 1.0};
};

#endif
