#include "KRNMathLine.h"

#include <cmath>

KRNMathLine::KRNMathLine() = default;

KRNMathLine::KRNMathLine(const KRNMathPoint& origin, const KRNMathVector& direction)
    : mOrigin(origin), mDirection(direction) {}

KRNMathLine::KRNMathLine(const KRNMathPoint& start, const KRNMathPoint& end)
    : mOrigin(start), mDirection(end - start) {}

double KRNMathLine::GetLength() const { return mDirection.Norm(); }

double KRNMathLine::DistanceTo(const KRNMathPoint& p) const {
  KRNMathPoint foot;
  Project(p, foot);
  return foot.DistanceTo(p);
}

bool KRNMathLine::Project(const KRNMathPoint& p, KRNMathPoint& foot) const {
  double t = 0.0;
  const bool defined = Project(p, t);
  foot = EvalPoint(t);
  return defined;
}

bool KRNMathLine::Project(const KRNMathPoint& p, double& parameter) const {
  const double length = GetLength();
  if (length == 0.0) {
    parameter = 0.0;
    return false;
  }
  parameter = (p - mOrigin).Dot(mDirection) / length;
  return true;
}

KRNMathPoint KRNMathLine::EvalPoint(double t) const {
  const double length = GetLength();
  if (length == 0.0) return mOrigin;
  return mOrigin + (t / length) * mDirection;
}
