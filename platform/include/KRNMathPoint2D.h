// KRNMathPoint2D: a point of the plane with two public double coordinates.
#ifndef KRNMathPoint2D_h
#define KRNMathPoint2D_h

#include "KRNPlatformExport.h"

class KRN_API KRNMathPoint2D {
public:
  constexpr KRNMathPoint2D() = default;  // (0, 0)
  constexpr KRNMathPoint2D(double ax, double ay) : x(ax), y(ay) {}

  void GetCoord(double& ax, double& ay) const {
    ax = x;
    ay = y;
  }

  double x = 0.0;
  double y = 0.0;
};

#endif
