#include "ZRMUtBSpline.h"

#include "ZRMCheck.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Reported source positions of the checks on caller input (our numbering).
constexpr const char* kBSplineSourceFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtBSpline";
constexpr int kKnotArrayLine = 42;
constexpr int kWeightArrayLine = 43;
constexpr int kPackOutputsLine = 44;

// A new array holding a copy of the first n values of source; null when n < 1.
template <class T>
std::unique_ptr<T[]> CopyOf(int n, const T* source) {
  if (n < 1) return nullptr;
  std::unique_ptr<T[]> copy(new T[static_cast<std::size_t>(n)]);
  std::copy(source, source + n, copy.get());
  return copy;
}

// The shared knot/multiplicity count, 0 (after a report) when a positive count comes with a
// null array.
int CheckedKnotCount(int nbKnots, const double* knots, const int* multiplicities) {
  const bool ok = nbKnots < 1 || (knots != nullptr && multiplicities != nullptr);
  ZRMReportCheck(ok, "nbKnots < 1 || (knots && multiplicities)", "ZRMUtBSpline null knot or multiplicity array in.",
                 kBSplineSourceFile, kKnotArrayLine);
  return ok ? nbKnots : 0;
}

// The weight count, 0 (after a report) when a positive count comes with a null array.
int CheckedWeightCount(int nbWeights, const double* weights) {
  const bool ok = nbWeights < 1 || weights != nullptr;
  ZRMReportCheck(ok, "nbWeights < 1 || weights", "ZRMUtBSpline null weight array in.", kBSplineSourceFile,
                 kWeightArrayLine);
  return ok ? nbWeights : 0;
}

// Two neighbouring knots are equal when they differ by less than AbsoluteTol.
bool SameKnot(double u, double v) { return std::fabs(u - v) < ZRMUtTolerance().AbsoluteTol(); }

// Unit direction of v when it is longer than LengthTol; false (dir untouched) otherwise.
bool LegDirection(const KRNMathVector& v, KRNMathDirection& dir) {
  if (!(v.Norm() > ZRMUtTolerance().LengthTol())) return false;
  dir = KRNMathDirection(v);
  return true;
}

}  // namespace

ZRMUtBSpline::ZRMUtBSpline() : mDegree(0), mNbKnots(0), mPeriodic(false), mNbWeights(0) {}

ZRMUtBSpline::ZRMUtBSpline(int degree, int nbKnots, double* knots, int* multiplicities, int nbWeights, double* weights,
                           bool periodic, const KRNMathSetOfPoints& cpoints)
    : mDegree(degree),
      mNbKnots(CheckedKnotCount(nbKnots, knots, multiplicities)),
      mPeriodic(periodic),
      mNbWeights(CheckedWeightCount(nbWeights, weights)),
      mCPoints(cpoints) {
  InitKnots(mNbKnots, knots);
  InitMultiplicities(mNbKnots, multiplicities);
  InitWeights(mNbWeights, weights);  // counts and arrays agree from here on
}

ZRMUtBSpline::ZRMUtBSpline(int degree, int nbKnots, double* knots, int* multiplicities, bool periodic,
                           const KRNMathSetOfPoints& cpoints)
    : ZRMUtBSpline(degree, nbKnots, knots, multiplicities, 0, nullptr, periodic, cpoints) {}

ZRMUtBSpline::ZRMUtBSpline(const ZRMUtBSpline& other)
    : ZRMUtGeometry(other),
      mDegree(other.mDegree),
      mNbKnots(other.mNbKnots),
      mKnots(CopyOf(other.mNbKnots, other.mKnots.get())),
      mMultiplicities(CopyOf(other.mNbKnots, other.mMultiplicities.get())),
      mPeriodic(other.mPeriodic),
      mNbWeights(other.mNbWeights),
      mWeights(CopyOf(other.mNbWeights, other.mWeights.get())),
      mCPoints(other.mCPoints),
      mClosureFirst(other.mClosureFirst),
      mClosureSecond(other.mClosureSecond) {}

ZRMUtBSpline& ZRMUtBSpline::operator=(const ZRMUtBSpline& other) {
  if (this == &other) return *this;  // freeing first would lose the very arrays to be copied
  ZRMUtGeometry::operator=(other);
  Clear();
  mDegree = other.mDegree;
  mNbKnots = other.mNbKnots;
  mPeriodic = other.mPeriodic;
  mNbWeights = other.mNbWeights;
  mCPoints = other.mCPoints;
  mClosureFirst = other.mClosureFirst;
  mClosureSecond = other.mClosureSecond;
  InitKnots(mNbKnots, other.mKnots.get());
  InitMultiplicities(mNbKnots, other.mMultiplicities.get());
  InitWeights(mNbWeights, other.mWeights.get());
  return *this;
}

ZRMUtBSpline::~ZRMUtBSpline() = default;

void ZRMUtBSpline::Clear() {
  mKnots.reset();
  mMultiplicities.reset();
  mWeights.reset();
}

void ZRMUtBSpline::InitKnots(int n, const double* knots) { mKnots = CopyOf(n, knots); }
void ZRMUtBSpline::InitMultiplicities(int n, const int* multiplicities) { mMultiplicities = CopyOf(n, multiplicities); }
void ZRMUtBSpline::InitWeights(int n, const double* weights) { mWeights = CopyOf(n, weights); }

void ZRMUtBSpline::GetClosureCondition(KRNMathVector& first, KRNMathVector& second) const {
  first = mClosureFirst;
  second = mClosureSecond;
}

void ZRMUtBSpline::SetCPoints(const KRNMathSetOfPoints& cpoints) { mCPoints = cpoints; }

void ZRMUtBSpline::SetClosureCondition(const KRNMathVector& first, const KRNMathVector& second) {
  mClosureFirst = first;
  mClosureSecond = second;
}

bool ZRMUtBSpline::GetBoundingBox(KRNMathBox& box) const {
  const int n = mCPoints.GetNumberOfPoints();
  if (n < 1) return false;
  for (int i = 0; i < n; ++i) box.AddInside(mCPoints.GetPoint(i));
  return true;
}

void ZRMUtBSpline::ApplyTransformation(const KRNMathTransformation& transformation) {
  const int n = mCPoints.GetNumberOfPoints();
  for (int i = 0; i < n; ++i) mCPoints.SetPoint(transformation * mCPoints.GetPoint(i), i);
  mClosureFirst = transformation * mClosureFirst;
  mClosureSecond = transformation * mClosureSecond;
}

bool ZRMUtBSpline::IsQOBCompatible(const double* knots, int count, int degree, bool periodic) {
  if (knots == nullptr || degree < 1 || count < 2) return false;
  int run = 1;    // multiplicity of the current value so far
  int first = 0;  // multiplicity of the first value; 0 while that value's run goes on
  for (int i = 1; i < count; ++i) {
    const bool same = SameKnot(knots[i], knots[i - 1]);
    if (!same && first == 0) first = run;
    run = same ? run + 1 : 1;
    if (run - 1 > degree) return false;  // run > degree + 1, written without overflow
  }
  if (periodic) return true;
  if (first == 0) first = run;  // every knot equal
  return run - 1 == degree && first - 1 == degree;
}

void ZRMUtBSpline::PackKnots(const KRNRawColldouble& in, KRNRawColldouble& packed, KRNRawCollint& mults) {
  if (in.Size() < 1) return;
  const bool ok = packed.Size() == mults.Size();
  ZRMReportCheck(ok, "packed.Size() == mults.Size()", "ZRMUtBSpline::PackKnots outputs of unequal lengths.",
                 kBSplineSourceFile, kPackOutputsLine);
  if (!ok) return;
  for (int i = 1; i <= in.Size(); ++i) {
    const int m = packed.Size();
    if (m >= 1 && std::fabs(in[i] - packed[m]) < ZRMUtTolerance().AbsoluteTol()) {
      const int k = mults[m];
      packed[m] = (in[i] + k * packed[m]) / (k + 1);  // running mean of the group
      mults[m] = k + 1;
    } else {
      packed.Append(in[i]);
      mults.Append(1);
    }
  }
}

bool ZRMUtBSpline::TangentAtEnd(const KRNMathPoint& P, KRNMathDirection& dir) const {
  const int n = mCPoints.GetNumberOfPoints();
  if (n < 2) return false;
  const double tolSq = ZRMUtTolerance().LengthTolSq();
  const KRNMathPoint first = mCPoints.GetPoint(0);
  if (P.SquareDistanceTo(first) < tolSq && LegDirection(mCPoints.GetPoint(1) - first, dir)) return true;
  const KRNMathPoint last = mCPoints.GetPoint(n - 1);
  if (!(P.SquareDistanceTo(last) < tolSq)) return false;
  return LegDirection(last - mCPoints.GetPoint(n - 2), dir);
}

bool ZRMUtBSpline::GetTangentAtPoint(const KRNMathPoint& P, KRNMathVector& tangent) const {
  KRNMathDirection dir(1.0, 0.0, 0.0);
  const bool found = TangentAtEnd(P, dir);
  tangent = dir;
  return found;
}

ZRMUtGeometry_Ptr ZRMUtBSpline::Clone() const { return ZRMUtGeometry_Ptr(new ZRMUtBSpline(*this)); }

bool ZRMUtBSpline::Accept(ZRMUtGeomVisitor* visitor) const { return visitor != nullptr && visitor->Visit(this); }
bool ZRMUtBSpline::Accept(ZRMUtGeomVisitor* visitor) { return std::as_const(*this).Accept(visitor); }
