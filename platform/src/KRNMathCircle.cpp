#include "KRNMathCircle.h"

#include <cmath>

KRNMathCircle::KRNMathCircle() = default;

KRNMathCircle::KRNMathCircle(const KRNMathPoint& center, const KRNMathVector& first, const KRNMathVector& second,
                             double radius, double scale, double offset)
    : mCenter(center), mFirst(first), mSecond(second), mRadius(radius), mScale(scale), mOffset(offset) {}

void KRNMathCircle::EvalPoint(double t, KRNMathPoint& point) const {
  const double a = mScale * t + mOffset;
  point = mCenter + mRadius * (std::cos(a) * mFirst + std::sin(a) * mSecond);
}

bool KRNMathCircle::Project(const KRNMathPoint& p, KRNMathPoint& projection) const {
  KRNMathVector e1 = mFirst;
  e1.Normalize();
  KRNMathVector e2 = mSecond - mSecond.Dot(e1) * e1;  // Gram-Schmidt
  e2.Normalize();
  const KRNMathVector d = p - mCenter;
  const double u = d.Dot(e1);
  const double v = d.Dot(e2);
  const double rho = std::sqrt(u * u + v * v);  // distance of p from the axis
  const bool spans = e1.SquareNorm() != 0.0 && e2.SquareNorm() != 0.0;
  if (!spans || !(rho > 0.0)) {
    projection = mCenter + mRadius * (e1.SquareNorm() != 0.0 ? e1 : mFirst);
    return false;
  }
  projection = mCenter + (mRadius / rho) * (u * e1 + v * e2);
  return true;
}
