// KRNMathVectorf: a vector of 3-D space in single precision, three public floats.
#ifndef KRNMathVectorf_h
#define KRNMathVectorf_h

#include "KRNPlatformExport.h"

class KRN_API KRNMathVectorf {
public:
  constexpr KRNMathVectorf() = default;  // (0, 0, 0)
  constexpr KRNMathVectorf(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

#endif
