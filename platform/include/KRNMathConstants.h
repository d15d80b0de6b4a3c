// Constants of the platform's math library: pi and its common multiples, and the three unit
// directions of the world axes.
#ifndef KRNMathConstants_h
#define KRNMathConstants_h

#include "KRNMathDirection.h"

inline constexpr double KRNPI = 3.14159265358979323846;
inline constexpr double KRN2PI = 6.28318530717958647692;
inline constexpr double KRNPIBY2 = 1.57079632679489661923;

inline constexpr KRNMathDirection KRNMathI(1.0, 0.0, 0.0);
inline constexpr KRNMathDirection KRNMathJ(0.0, 1.0, 0.0);
inline constexpr KRNMathDirection KRNMathK(0.0, 0.0, 1.0);

#endif
