// KRNMathPointf: a point of 3-D space in single precision, three public floats.
#ifndef KRNMathPointf_h
#define KRNMathPointf_h

#include "KRNPlatformExport.h"

class KRN_API KRNMathPointf {
public:
  constexpr KRNMathPointf() = default;  // (0, 0, 0)
  constexpr KRNMathPointf(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

#endif
