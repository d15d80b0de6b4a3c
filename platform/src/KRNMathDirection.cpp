#include "KRNMathDirection.h"

#include <algorithm>
#include <cmath>

void KRNMathDirection::AssignRescaled(double ax, double ay, double az) {
  const double largest = std::max({std::fabs(ax), std::fabs(ay), std::fabs(az)});  // finite, > 0
  Assign(ax / largest, ay / largest, az / largest);  // the largest component becomes +-1: s lies in [1, 3]
}
