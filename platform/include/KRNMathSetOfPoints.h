// KRNMathSetOfPoints: an ordered, growable list of points indexed from 0.
//
// GetPoint and SetPoint with an index outside 0 .. GetNumberOfPoints() - 1 raise
// ZRMUtError::IndexOutOfRange (file "KRNMathSetOfPoints", line 0) and change nothing.
#ifndef KRNMathSetOfPoints_h
#define KRNMathSetOfPoints_h

#include "KRNMathPoint.h"
#include "KRNPlatformExport.h"

#include <vector>

class KRN_API KRNMathSetOfPoints {
public:
  KRNMathSetOfPoints() = default;  // no points
  // count points at (0, 0, 0); a count below 1 gives an empty set.
  explicit KRNMathSetOfPoints(int count);
  KRNMathSetOfPoints(const KRNMathSetOfPoints&) = default;
  KRNMathSetOfPoints& operator=(const KRNMathSetOfPoints&) = default;
  ~KRNMathSetOfPoints() = default;

  int GetNumberOfPoints() const { return static_cast<int>(mPoints.size()); }
  KRNMathPoint GetPoint(int index) const;
  void SetPoint(const KRNMathPoint& point, int index);
  // Adds point at the end (index GetNumberOfPoints() before the call).
  void Append(const KRNMathPoint& point) { mPoints.push_back(point); }

private:
  // Raises IndexOutOfRange unless 0 <= index < GetNumberOfPoints().
  void CheckIndex(int index) const;

  std::vector<KRNMathPoint> mPoints;
};

#endif
