// Internal: the radius factor of a transformation, for the placed curves that rescale their radii.
#ifndef ZRMScalingFactor_h
#define ZRMScalingFactor_h

#include "KRNMathPoint.h"
#include "KRNMathTransformation.h"

// The factor of transformation when it is a pure uniform scaling (and not the identity), 1.0
// for every other map: rotations, translations, mirrorings, non-uniform and degenerate maps.
inline double ZRMScalingFactor(const KRNMathTransformation& transformation) {
  KRNMathPoint center(0.0, 0.0, 0.0);
  double factor = 1.0;
  if (!transformation.IsIdentity()) transformation.IsScaling(center, factor);  // factor stays 1.0 when not a scaling
  return factor;
}

#endif
