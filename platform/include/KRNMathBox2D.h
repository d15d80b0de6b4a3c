// KRNMathBox2D: an axis-aligned rectangle of the plane, empty until the first point is added.
//
// Our choices: GetLow and GetHigh of an empty box give (0, 0); a point with a NaN coordinate
// is not added.
#ifndef KRNMathBox2D_h
#define KRNMathBox2D_h

#include "KRNMathPoint2D.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathBox2D {
public:
  KRNMathBox2D() = default;  // empty
  // The box spanning the two corners (each coordinate ordered).
  KRNMathBox2D(const KRNMathPoint2D& corner1, const KRNMathPoint2D& corner2);

  // Grows the box to contain p.
  void AddInside(const KRNMathPoint2D& p);
  bool IsEmpty() const { return mEmpty; }

  KRNMathPoint2D GetLow() const { return mLow; }
  KRNMathPoint2D GetHigh() const { return mHigh; }

private:
  bool mEmpty = true;
  KRNMathPoint2D mLow;   // meaningful only when not empty
  KRNMathPoint2D mHigh;  // meaningful only when not empty
};

#endif
