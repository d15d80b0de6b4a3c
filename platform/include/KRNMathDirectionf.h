// KRNMathDirectionf: a direction of 3-D space in single precision, three public floats.
// Our choice: the components are stored as given (no normalisation in single precision); the
// conversion to a double-precision KRNMathDirection applies the unit-direction rule.
#ifndef KRNMathDirectionf_h
#define KRNMathDirectionf_h

#include "KRNPlatformExport.h"

class KRN_API KRNMathDirectionf {
public:
  constexpr KRNMathDirectionf() = default;  // (1, 0, 0)
  constexpr KRNMathDirectionf(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

  float x = 1.0f;
  float y = 0.0f;
  float z = 0.0f;
};

#endif
