// ZRMUtBSpline: the record of a B-spline curve.
//
// Definition: degree, distinct knot values each paired with a multiplicity (one shared count),
// optional weights, a control polygon, a periodic flag and two closure vectors. The record does
// not evaluate the curve; its parameter runs along the knot vector, so the curve starts at the
// first control point and ends at the last one for a vector clamped at both ends (see
// IsQOBCompatible), and the end tangents are read from the control polygon's end legs.
//
// Ownership: the knot, multiplicity and weight arrays belong to the object, hold exactly their
// counts of values, are null when their count is below 1, and are deep-copied on copy and
// assignment. Nothing relates the counts to each other or to the number of control points.
//
// Degenerate cases:
// - A positive count passed with a null array cannot be copied: it is reported and taken as 0,
//   so counts and arrays always agree. Knots and multiplicities share one count, so a null knot
//   or multiplicity array empties both. Reported with the source file
//   "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtBSpline":
//     line 42  "ZRMUtBSpline null knot or multiplicity array in."
//              expression "nbKnots < 1 || (knots && multiplicities)"
//     line 43  "ZRMUtBSpline null weight array in."
//              expression "nbWeights < 1 || weights"
// - Negative counts are stored as passed, with null arrays.
// - PackKnots with outputs of unequal lengths is reported (line 44, "ZRMUtBSpline::PackKnots
//   outputs of unequal lengths.", expression "packed.Size() == mults.Size()") and appends
//   nothing.
// - TangentAtEnd and GetTangentAtPoint refuse points at neither end, polygons of fewer than two
//   points and end legs no longer than LengthTol.
#ifndef ZRMUtBSpline_h
#define ZRMUtBSpline_h

#include "KRNMathBox.h"
#include "KRNMathDirection.h"
#include "KRNMathPoint.h"
#include "KRNMathSetOfPoints.h"
#include "KRNMathTransformation.h"
#include "KRNMathVector.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"
#include "ZRMMathematicsExport.h"
#include "ZRMUtGeometry.h"

#include <memory>

class ZRMMATH_API ZRMUtBSpline : public ZRMUtGeometry {
public:
  // Degree 0, no knots, no weights, not periodic, no control points, closure vectors zero.
  ZRMUtBSpline();
  // Copies nbKnots values from knots and from multiplicities and nbWeights values from weights;
  // closure vectors zero.
  ZRMUtBSpline(int degree, int nbKnots, double* knots, int* multiplicities, int nbWeights, double* weights,
               bool periodic, const KRNMathSetOfPoints& cpoints);
  // As above without weights.
  ZRMUtBSpline(int degree, int nbKnots, double* knots, int* multiplicities, bool periodic,
               const KRNMathSetOfPoints& cpoints);
  // A deep copy of every field (the arrays are copied); the reference count is not copied.
  ZRMUtBSpline(const ZRMUtBSpline& other);
  // Replaces every field by a deep copy of other's; assigning an object to itself changes nothing.
  ZRMUtBSpline& operator=(const ZRMUtBSpline& other);
  ~ZRMUtBSpline() override;

  // The degree.
  int GetDegree() const { return mDegree; }
  // The number of distinct knots, the length of GetKnots() and of GetMultiplicities().
  int GetNbOfKnots() const { return mNbKnots; }
  // The distinct knot values (null when there are none); owned by the spline.
  const double* GetKnots() const { return mKnots.get(); }
  // The multiplicity of each knot (null when there are no knots); owned by the spline.
  const int* GetMultiplicities() const { return mMultiplicities.get(); }
  // The number of weights, the length of GetWeights() (0 for a non-rational spline).
  int GetNumberOfWeights() const { return mNbWeights; }
  // The weights (null when there are none); owned by the spline.
  const double* GetWeights() const { return mWeights.get(); }
  // Whether the spline is periodic.
  bool GetPeriodic() const { return mPeriodic; }
  // The control points.
  const KRNMathSetOfPoints& GetCPoints() const { return mCPoints; }
  // The number of control points.
  int GetNumberOfCPoints() const { return mCPoints.GetNumberOfPoints(); }
  // first, second := the two closure vectors (zero unless set).
  void GetClosureCondition(KRNMathVector& first, KRNMathVector& second) const;

  // Replaces the control points by a copy of cpoints; knots and weights are not checked against them.
  void SetCPoints(const KRNMathSetOfPoints& cpoints);
  // Stores the two closure vectors as passed.
  void SetClosureCondition(const KRNMathVector& first, const KRNMathVector& second);

  // Adds every control point to box (which is not emptied first); false, box untouched, when
  // there are no control points.
  bool GetBoundingBox(KRNMathBox& box) const;

  // True when the expanded knot vector (count values, each repeated by its multiplicity) has no
  // multiplicity above degree + 1 and, unless periodic, is clamped at both ends with
  // multiplicity exactly degree + 1. Neighbours closer than AbsoluteTol are equal. False for a
  // null vector, degree < 1 or count < 2.
  static bool IsQOBCompatible(const double* knots, int count, int degree, bool periodic);
  // Appends the distinct values of the expanded knot vector in to packed and their
  // multiplicities to mults (both indexed from 1, of equal lengths on entry). A value within
  // AbsoluteTol of the running mean of the current group joins it and moves the mean.
  static void PackKnots(const KRNRawColldouble& in, KRNRawColldouble& packed, KRNRawCollint& mults);

  // dir := the unit direction of the first control leg when P is within LengthTol of the first
  // control point, else of the last leg when P is within LengthTol of the last control point;
  // both follow the parameter direction. dir is written only on success.
  bool TangentAtEnd(const KRNMathPoint& P, KRNMathDirection& dir) const;

  // Control points and closure vectors mapped (the vectors by the linear part only); knots,
  // multiplicities and weights unchanged.
  void ApplyTransformation(const KRNMathTransformation& transformation) override;
  // tangent := TangentAtEnd's direction, or (1, 0, 0) when it refuses; returns its result.
  bool GetTangentAtPoint(const KRNMathPoint& P, KRNMathVector& tangent) const override;
  ZRMUtGeometry_Ptr Clone() const override;
  // Visits as Visit(const ZRMUtBSpline*).
  bool Accept(ZRMUtGeomVisitor* visitor) const override;
  bool Accept(ZRMUtGeomVisitor* visitor) override;

private:
  // Frees the three arrays (pointers null); the counts stay as they are.
  void Clear();
  // Each sets its array to a new copy of n values when n >= 1, else to null; counts untouched.
  void InitKnots(int n, const double* knots);
  void InitMultiplicities(int n, const int* multiplicities);
  void InitWeights(int n, const double* weights);

  int mDegree;
  int mNbKnots;                            // length of mKnots and of mMultiplicities
  std::unique_ptr<double[]> mKnots;        // null when mNbKnots < 1
  std::unique_ptr<int[]> mMultiplicities;  // null when mNbKnots < 1
  bool mPeriodic;
  int mNbWeights;                      // length of mWeights
  std::unique_ptr<double[]> mWeights;  // null when mNbWeights < 1
  KRNMathSetOfPoints mCPoints;
  KRNMathVector mClosureFirst;
  KRNMathVector mClosureSecond;
};

#endif
