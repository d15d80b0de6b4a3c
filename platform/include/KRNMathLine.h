// KRNMathLine: a line of 3-D space given by an origin and a direction vector.
//
// The direction is stored as given (not normalised). Built from two points, the origin is the
// first point and the direction is end - start, so GetLength() is the distance between them.
//
// Parameter (our choice): the parameter of a point on the line is its signed distance from the
// origin measured along the direction, so the point at parameter t is
// origin + t * direction / |direction|. For a unit direction this is origin + t * direction.
// Distances and projections refer to the unbounded line. A line whose direction is the zero
// vector is degenerate: it stands for its origin alone.
#ifndef KRNMathLine_h
#define KRNMathLine_h

#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathLine {
public:
  // Through (0, 0, 0) along (1, 0, 0).
  KRNMathLine();
  KRNMathLine(const KRNMathPoint& origin, const KRNMathVector& direction);
  // Origin start, direction end - start.
  KRNMathLine(const KRNMathPoint& start, const KRNMathPoint& end);

  const KRNMathPoint& GetOrigin() const { return mOrigin; }
  // The stored direction vector, not normalised.
  const KRNMathVector& GetDirection() const { return mDirection; }
  // Length of the direction vector (for a line built from two points: their distance).
  double GetLength() const;

  // 3-D distance from p to the unbounded line (to the origin for a degenerate line).
  double DistanceTo(const KRNMathPoint& p) const;

  // Point form: foot := the point of the line closest to p. Returns false for a degenerate
  // line, whose foot is the origin.
  bool Project(const KRNMathPoint& p, KRNMathPoint& foot) const;
  // Parameter form: parameter := the signed distance of the foot from the origin along the
  // direction. Returns false for a degenerate line, with parameter 0.
  bool Project(const KRNMathPoint& p, double& parameter) const;

  // The point at parameter t (see the class comment); the origin for a degenerate line.
  KRNMathPoint EvalPoint(double t) const;

private:
  KRNMathPoint mOrigin;
  KRNMathVector mDirection{1.0, 0.0, 0.0};
};

#endif
