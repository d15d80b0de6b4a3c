// KRNMathCircle: a circle of 3-D space given by its center, two directions spanning its plane and
// its radius.
//
// The point at parameter t is center + radius * (cos a * first + sin a * second) with the angle
// a = scale * t + offset. Our meaning of the two trailing constructor values: scale and offset of
// that parameter; with (1.0, 0.0) the parameter is the angle itself.
//
// The two directions are meant to be orthonormal; they are stored as given and EvalPoint uses them
// as given. Project works in the orthonormal frame (e1, e2) derived from them: e1 = first
// normalised, e2 = the part of second orthogonal to e1, normalised (e1 = first and e2 = second
// for orthonormal input).
#ifndef KRNMathCircle_h
#define KRNMathCircle_h

#include "KRNMathPoint.h"
#include "KRNMathVector.h"
#include "KRNPlatformExport.h"

class KRN_API KRNMathCircle {
public:
  // Center (0,0,0), directions (1,0,0) and (0,1,0), radius 1, scale 1, offset 0.
  KRNMathCircle();
  KRNMathCircle(const KRNMathPoint& center, const KRNMathVector& first, const KRNMathVector& second, double radius,
                double scale, double offset);

  const KRNMathPoint& GetCenter() const { return mCenter; }
  const KRNMathVector& GetFirstDirection() const { return mFirst; }
  const KRNMathVector& GetSecondDirection() const { return mSecond; }
  double GetRadius() const { return mRadius; }
  double GetScale() const { return mScale; }
  double GetOffset() const { return mOffset; }

  // point := center + radius * (cos a * first + sin a * second), a = scale * t + offset.
  void EvalPoint(double t, KRNMathPoint& point) const;

  // projection := the point of the circle closest to p; true. The projection is undefined when p
  // lies on the circle's axis (its distance from the axis is exactly 0) or when the directions
  // do not span a plane: then false, and projection := the point at angle 0,
  // center + radius * e1 (center + radius * first when first is the zero vector).
  bool Project(const KRNMathPoint& p, KRNMathPoint& projection) const;

private:
  KRNMathPoint mCenter;
  KRNMathVector mFirst{1.0, 0.0, 0.0};
  KRNMathVector mSecond{0.0, 1.0, 0.0};
  double mRadius = 1.0;
  double mScale = 1.0;
  double mOffset = 0.0;
};

#endif
