// KRNMathBox: an axis-aligned box of 3-D space, empty until the first point is added.
//
// Our choices: GetLow and GetHigh of an empty box give (0, 0, 0); a point with a NaN
// coordinate is not added.
#ifndef KRNMathBox_h
#define KRNMathBox_h

#include "KRNMathPoint.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathBox {
public:
  KRNMathBox() = default;  // empty
  // The box spanning the two corners (each coordinate ordered).
  KRNMathBox(const KRNMathPoint& corner1, const KRNMathPoint& corner2);

  // Grows the box to contain p.
  void AddInside(const KRNMathPoint& p);
  bool IsEmpty() const { return mEmpty; }

  KRNMathPoint GetLow() const { return mLow; }
  KRNMathPoint GetHigh() const { return mHigh; }

private:
  bool mEmpty = true;
  KRNMathPoint mLow;   // meaningful only when not empty
  KRNMathPoint mHigh;  // meaningful only when not empty
};

#endif
