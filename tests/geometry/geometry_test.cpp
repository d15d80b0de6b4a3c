// The geometry classes by their properties. Lines, circles and ellipses in one table over seeded
// random curves: points evaluate back from their parameters and projections, projections lie on the
// curve (its implicit equation) where the class says and a null output refuses them, tangents are
// unit and parallel to the chord of nearby parameters, arc lengths are symmetric (a circle's full
// turn measuring its radius), and evaluation commutes with rigid motions and uniform scalings; edge
// tables for the snapping of eccentric angles, the tolerances and refusals; the error trap of the
// circle's Accept. One table over every class: dispatch, type codes and downcasts; default sizes
// and the orthogonality report; lines on a segment and their refusals. B-spline records: the
// reports of null arrays word for word, knot vectors against a multiplicity model, packing by the
// running mean, end tangents from the control polygon, bounding boxes, copies and transformations.
//
// The math value types and helpers against their definitions and analytic models: one table of
// properties over seeded random rotations, half-turns, scalings and their products (inverses,
// composition, Rodrigues' formula, fixed points), with the platform's unit-direction rule exactly,
// the library's rotation helpers, perpendiculars, rigid motions and the frames of an origin and a z
// direction; identities, singular maps and checked indexes; the roles of the plane/axis
// conversions and their reported index check, the tolerant equality of the math value types and
// their float conversions, and the spline condition record. (Reference counts of the handles:
// fuzz_geometry.)
#include "KRNError.h"
#include "KRNMathConstants.h"
#include "KRNMathLine.h"
#include "KRNMathTransformation.h"
#include "ZRMTestSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtGeomUtils.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtLine.h"
#include "ZRMUtMathOperators.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtSplineCondition.h"
#include "ZRMUtTolerance.h"
#include "ZRMUtTorus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using P = KRNMathPoint;
using V = KRNMathVector;
using D = KRNMathDirection;
using Mat = KRNMath3x3Matrix;
using Xf = KRNMathTransformation;
using Utils = ZRMUtGeomUtils;
const P kO(0, 0, 0);
const double kNaN = std::numeric_limits<double>::quiet_NaN(), kUnset = -123.0, kTol = ZRMUtTolerance().LengthTol(),
             kRes = ZRMUtTolerance().ModelResolution(), kAbsoluteTol = ZRMUtTolerance().AbsoluteTol();

// Seeded random points, directions and rigid motions.
class Random {
public:
  explicit Random(unsigned seed) : mEngine(seed) {}
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(mEngine); }
  V Vector(double range = 10.0) { return {Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)}; }
  P Point(double range = 10.0) { return P(Vector(range)); }
  // A unit direction, orthogonal to d when d is given.
  D Direction(const V& d = V()) {
    for (;;) {
      const V v = Vector(1.0), w = v - (v * d) * d;
      if (w.Norm() > 0.1) return D(w);
    }
  }
  // A rotation about a random line followed by a random translation (each draw in a statement of
  // its own: the order of arguments and operands is unspecified).
  Xf RigidMotion() {
    const V shift = Vector();
    const double angle = Uniform(-KRNPI, KRNPI);
    const P point = Point();
    return Xf(shift) * Xf(angle, KRNMathLine(point, Direction()));
  }

private:
  std::mt19937 mEngine;
};

// Component-wise comparison of points, vectors and directions within tol (0: equal).
template <class A, class B>
bool Near(const A& a, const B& b, double tol) {
  return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol;
}

Mat Diagonal(double a, double b, double c) { return Mat(V(a, 0, 0), V(0, b, 0), V(0, 0, c)); }
// The uniform scaling by f about center.
Xf Scaling(double f, const P& center = P()) { return Xf(Diagonal(f, f, f), (1.0 - f) * V(center)); }

// The reports of one failed check, from reports[0] on: the failure report, and in the development
// stage its runtime assertion ("message", expression).
void ExpectCheckReport(const std::vector<zrmtest::AssertReport>& reports, const std::string& expression,
                       const std::string& message, const std::string& file, int line, bool development) {
  using Report = zrmtest::AssertReport;
  const std::string text = "(\"" + message + "\", " + expression + ")";
  ASSERT_EQ(reports.size(), development ? 2u : 1u);
  EXPECT_TRUE(reports[0].kind == Report::Failure && !reports[0].condition && reports[0].expression == expression &&
              reports[0].message == message && reports[0].file == file && reports[0].line == line);
  EXPECT_TRUE(!development || (reports[1].kind == Report::Runtime && reports[1].file == file &&
                               reports[1].line == line && reports[1].text == std::wstring(text.begin(), text.end())));
}

// A point set or raw collection holding values.
template <class Collection, class Value = double>
Collection Filled(const std::vector<Value>& values) {
  Collection collection;
  for (const Value& value : values) collection.Append(value);
  return collection;
}

template <class Curve>
P At(Curve& curve, double t) {
  P p;
  curve.EvalPoint(t, p);
  return p;
}
// Lines also give the tangent direction.
P At(ZRMUtLine& line, double t) {
  P p;
  D d;
  EXPECT_TRUE(line.EvalPoint(t, p, &d) && Near(d, line.Direction(), 0));
  return p;
}
// Local coordinates of p in a frame.
V Local(const ZRMUtCSys& frame, const P& p) {
  return V((p - frame.Point()) * frame.XDir(), (p - frame.Point()) * frame.YDir(), (p - frame.Point()) * frame.ZDir());
}
// x^2/a^2 + y^2/b^2 of p in the ellipse's frame: 1 on the ellipse.
double Implicit(const ZRMUtEllipse& e, const P& p) {
  const V l = Local(e, p);
  return l.x * l.x / (e.GetMajorRadius() * e.GetMajorRadius()) + l.y * l.y / (e.GetMinorRadius() * e.GetMinorRadius());
}
// Random curves, each draw in a statement of its own (the argument order is unspecified).
ZRMUtCircle RandomCircle(Random& r) {
  const P center = r.Point();
  const D axis = r.Direction(), x = r.Direction(axis);
  return ZRMUtCircle(center, axis, x, r.Uniform(0.5, 5.0));
}
ZRMUtEllipse RandomEllipse(Random& r) {
  const P center = r.Point();
  const D x = r.Direction(), y = r.Direction(x);
  const double a = r.Uniform(1.0, 5.0), b = r.Uniform(0.3, a);
  return ZRMUtEllipse(center, x, y, a, b);
}
ZRMUtLine RandomLine(Random& r) {
  const P point = r.Point();
  return ZRMUtLine(point, r.Direction());
}

// What each class answers the same questions with: the parameter of a point, how far a point lies
// off the curve, and whether q is the projection the class promises of p (closest for lines and
// circles, along the ray from the center for ellipses).
bool Project(ZRMUtCircle& c, const P& p, P& q, double& t) { return c.ProjectPoint(p, &q, &t); }
bool Project(ZRMUtLine& line, const P& p, P& q, double& t) {
  P foot;
  return line.ProjectPoint(p, &q, &t) && line.PointOnLine(p, &foot) && Near(foot, q, 1e-12);
}
bool Project(ZRMUtEllipse& e, const P& p, P& q, double& t) {
  return e.ProjectPoint(p, &q, nullptr) && e.GetParam(q, &t);
}
double Off(const ZRMUtLine& line, const P& q) { return ((q - line.Point()) ^ V(line.Direction())).Norm(); }
double Off(const ZRMUtCircle& c, const P& q) {
  const V l = Local(c, q);
  return std::fabs(l.z) + std::fabs(std::hypot(l.x, l.y) - c.Radius());
}
double Off(const ZRMUtEllipse& e, const P& q) { return std::fabs(Local(e, q).z) + std::fabs(Implicit(e, q) - 1); }
template <class Curve>
bool Promised(const Curve& c, const P& p, const P& q) {
  V v;
  return c.GetTangentAtPoint(q, v) && std::fabs((p - q) * v) < 1e-9 * (1 + p.DistanceTo(q));
}
bool Promised(const ZRMUtEllipse& e, const P& p, const P& q) {
  const V l = Local(e, p), lq = Local(e, q);
  return std::fabs(lq.x * l.y - lq.y * l.x) < 1e-9 * l.Norm() && lq.x * l.x + lq.y * l.y > 0;
}

// Of an ellipse also: the curvature is that of the circle through three nearby points
// (|x' ^ x''| / |x'|^3); off its implicit equation a point is outside or inside, and from outside the
// two tangency points lie on the ellipse, apart, with T - P along the tangent there.
void CheckEllipse(const ZRMUtEllipse& e, Random& random, double t, double h) {
  double k = kUnset;
  ASSERT_TRUE(e.GetCurvature(At(e, t), k));
  const V chord = At(e, t + h) - At(e, t - h), bend = (At(e, t + h) - At(e, t)) - (At(e, t) - At(e, t - h));
  EXPECT_NEAR(k, 4 * (chord ^ bend).Norm() / std::pow(chord.Norm(), 3), 1e-5 * k);
  const double x = random.Uniform(-4, 4), y = random.Uniform(-4, 4);
  const P p = e.Center() + x * V(e.XDir()) + y * V(e.YDir());
  const double s = Implicit(e, p);
  if (std::fabs(s - 1) > 1e-6) {
    EXPECT_EQ(e.PointPosWRTEllipse(p + random.Uniform(-3, 3) * V(e.Axis())), s > 1 ? 1 : -1);
  }
  P tangency[2];
  if (s < 1.05) return;
  ASSERT_TRUE(e.EvalTangentsFromExternalPoint(p, tangency[0], tangency[1]));
  for (const P& q : tangency) {
    V v;
    EXPECT_TRUE(Off(e, q) < 1e-9 && e.GetTangentAtPoint(q, v) && (v ^ (q - p)).Norm() < 1e-7 * q.DistanceTo(p));
  }
  EXPECT_GT(tangency[0].DistanceTo(tangency[1]), 1e-6);
}

template <class Curve>
void CheckCurve(Curve c, Random& random, long i) {
  const double t = random.Uniform(-3.1, 3.1), h = 1e-4;
  const P p = random.Point(), onIt = At(c, t);
  P q;
  double param = kUnset;
  V v;
  ASSERT_TRUE(Project(c, onIt, q, param) && Project(c, p, q, param)) << i;
  EXPECT_TRUE(Off(c, onIt) < 1e-9 && Off(c, q) < 1e-9 && Near(At(c, param), q, 1e-9) && Promised(c, p, q)) << i;
  EXPECT_FALSE(c.ProjectPoint(p, nullptr, &param)) << i;  // nowhere to write the projection
  const V chord = At(c, t + h) - At(c, t - h);
  EXPECT_TRUE(c.GetTangentAtPoint(onIt, v) && std::fabs(v.Norm() - 1) < 1e-12 &&
              (v ^ chord).Norm() < 1e-6 * chord.Norm())
      << i;
  if constexpr (std::is_same_v<Curve, ZRMUtEllipse>) CheckEllipse(c, random, t, h);
  const KRNMathTransformation map = i % 3 == 0   ? Scaling(3.0, random.Point())
                                    : i % 3 == 1 ? Scaling(-1.0, random.Point())  // orientation reversed
                                                 : random.RigidMotion();
  Curve moved = c;
  moved.ApplyTransformation(map);
  const double stretch = std::is_same_v<Curve, ZRMUtLine> && i % 3 == 0 ? 3.0 : 1.0;  // a line's t is a length
  EXPECT_TRUE(Near(At(moved, stretch * t), map * onIt, 1e-9) && Near(At(moved, -stretch * t), map * At(c, -t), 1e-9))
      << i;
  V w;  // the tangent moves with the curve (a moved frame's z follows its x and y)
  EXPECT_TRUE(moved.GetTangentAtPoint(map * onIt, w) && (w ^ (map * v)).Norm() < 1e-9 * (map * v).Norm()) << i;
  if constexpr (std::is_same_v<Curve, ZRMUtLine>) {
    EXPECT_TRUE(c.ArcLength(t, -t) == 2 * std::fabs(t) && c.ArcLength(-t, t) == 2 * std::fabs(t)) << i;
  }
  if constexpr (std::is_same_v<Curve, ZRMUtCircle>) {
    EXPECT_TRUE(std::fabs(c.ArcLength(t, -t) - std::fabs(t) / KRNPI * c.Radius()) <= 1e-12 * c.Radius() &&
                c.ArcLength(-t, t) == c.ArcLength(t, -t))  // a full turn measures the radius
        << i;
    // An arc on it, ends at the angles t and -t, moves with it too; its end tangents run
    // counter-clockwise.
    ZRMUtArc arc(c.Center(), c.Axis(), c.XDir(), c.Radius(), onIt, At(c, -t));
    arc.ApplyTransformation(map);
    EXPECT_TRUE(Near(At(arc, t), map * onIt, 1e-9) && std::fabs(arc.GetStartAngle() - t) < 1e-9 &&
                std::fabs(arc.GetEndAngle() + t) < 1e-9)
        << i;
    for (const int end : {1, 2, 0})  // end 1: the start, any other: the end
      EXPECT_TRUE(Near(arc.GetTangent(end),
                       D(V(arc.Axis()) ^ ((end == 1 ? arc.GetStartPoint() : arc.GetEndPoint()) - arc.Center())), 1e-12))
          << i << ' ' << end;
  }
}

TEST(Curves, RandomCurvesEvaluateBackProjectAndTransform) {
  Random random(18);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    CheckCurve(RandomLine(random), random, i);
    CheckCurve(RandomCircle(random), random, i);
    CheckCurve(RandomEllipse(random), random, i);
  }
}

// Of x^2/4 + y^2 = 1: eccentric angles of the vertices; snapping onto the quarter turns within
// ZeroAngle; the model resolution at the vertices; distances from the axis lines in 3-D; refusals,
// with the output untouched.
//
// Tangents at the vertices (exact at (0, -1), whose eccentric angle snaps onto the quarter turn);
// curvatures refused for b^2 below LengthTolSq and off the ellipse; positions on the ellipse within
// the tolerance; a projection from a point without a parameter keeps t, a refused one still writes
// it; a null output or a NaN point refuses the projection; the tangency points from a point on the
// ellipse are that point; refusals leave the outputs untouched. Exactly ModelResolution beyond the
// minor vertex is refused. Nothing is reported (the clamped sine never exceeds 1).
TEST(Ellipse, VerticesEdgesAndRefusals) {
  zrmtest::AssertRecorder recorder;
  const double tiny = 1e-11, no = kUnset;
  const ZRMUtEllipse e(kO, KRNMathI, KRNMathJ, 2.0, 1.0);
  for (const auto& [p, expected, tol] : {std::tuple(P(-tiny, -1, 0), 1.5 * KRNPI, 0.0),
                                         {P(2, tiny, 0), 0.0, 0.0},
                                         {P(2, -tiny, 0), KRN2PI, 0.0},
                                         {P(0, 1 + 0.5 * kRes, 0), KRNPIBY2, 0.0},
                                         {P(-1, 0, 0.5), 5 * KRNPI / 6, 1e-15},
                                         {P(0, -0.5, 0), 7 * KRNPI / 6, 1e-15},
                                         {P(0, 1 + 2 * kRes, 0), no, 0.0},
                                         {P(-2 - 2 * kRes, 0, 0), no, 0.0},
                                         {P(kNaN, 0, 0), no, 0.0}}) {
    double t = kUnset;
    EXPECT_TRUE(e.GetParam(p, &t) == (expected != no) && std::fabs(t - expected) <= tol)
        << p.x << ", " << p.y << ", " << p.z << ": " << t;
  }
  V v;
  EXPECT_TRUE(e.GetTangentAtPoint(P(0, -1, 0), v) && Near(v, V(1, 0, 0), 0) && e.GetTangentAtPoint(P(-2, 0, 0), v) &&
              Near(v, V(0, 1, 0), 1e-15));
  double k = kUnset;
  for (const P& p : {P(2.1, 0, 0), kO}) EXPECT_FALSE(e.GetCurvature(p, k));
  EXPECT_TRUE(!ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 1e-7).GetCurvature(P(2, 0, 0), k) && k == kUnset);
  EXPECT_TRUE(e.PointPosWRTEllipse(P(2, 0, 0)) == 0 && e.PointPosWRTEllipse(P(0, -1, 5)) == 0 &&
              ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 0.5 * kTol).PointPosWRTEllipse(P(0, 100, 0)) == 0);
  P q(7, 7, 7), T1(7, 7, 7), T2(7, 7, 7);
  double t = kUnset;
  // Refused projections: from the center the parameter is written all the same.
  EXPECT_TRUE(!e.ProjectPoint(kO, &q, &t) && t == 0 && !e.ProjectPoint(P(0, 0, 3), &q, nullptr) &&
              !e.ProjectPoint(P(kNaN, 1, 0), &q, nullptr) && !e.ProjectPoint(P(4, 0, 0), nullptr, nullptr) &&
              !ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 0, 0).ProjectPoint(P(1, 1, 0), &q, nullptr) &&
              Near(q, P(7, 7, 7), 0));
  t = kUnset;
  EXPECT_TRUE(e.ProjectPoint(P(4, 0, 0), &q, &t) && Near(q, P(2, 0, 0), 1e-15) && t == kUnset);  // no parameter
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(kO, T1, T2) ||
               ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 0).EvalTangentsFromExternalPoint(P(4, 4, 0), T1, T2));
  EXPECT_TRUE(Near(T1, P(7, 7, 7), 0) && Near(T2, P(7, 7, 7), 0) &&
              e.EvalTangentsFromExternalPoint(P(0, -1, 0), T1, T2) && Near(T1, P(0, -1, 0), 1e-15));  // on it
  const ZRMUtEllipse thin(kO, KRNMathI, KRNMathJ, 2, kRes);  // b + ModelResolution is 2 kRes exactly
  EXPECT_TRUE(thin.GetParam(P(0, std::nextafter(2 * kRes, 0.0), 0), &t) && t == KRNPIBY2 &&
              !thin.GetParam(P(0, 2 * kRes, 0), nullptr));
  EXPECT_TRUE(recorder.reports.empty());
}

struct CountedError : KRNError {
  ~CountedError() override { ++destroyed; }
  static inline int destroyed = 0;
};
// Overrides only the general overload, to which every class default must forward the object; raise
// runs first.
struct Forwarded : ZRMUtGeomVisitor {
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtGeometry* g) override {
    raise();
    visited.push_back(g);
    return answer;
  }
  bool answer = true;
  std::vector<const void*> visited;
  std::function<void()> raise = [] {};
};

using T = ZRMUtGeomTypeVisitor;

// Every class forwards to the general Visit overload and answers its type code and its own
// downcast only; default objects have size 0 (our choice). The circle's Accept disposes of a
// platform error of the visitor once and gives false, as for a null platform object; the const
// circle does not trap.
TEST(GeometryClasses, DispatchTypesDowncastsAndTheCircleTrap) {
  const P o(1, -2, 0.5);
  // Type code and a new object, in the order of the downcasts below.
  const std::pair<T::GeomType, std::function<ZRMUtGeometry*()>> cases[] = {
      {T::GeomPoint, [&] { return new ZRMUtPoint(o); }},
      {T::GeomLine, [&] { return new ZRMUtLine(o, KRNMathK); }},
      {T::GeomPlane, [&] { return new ZRMUtPlane(o, KRNMathK); }},
      {T::GeomCSys, [&] { return new ZRMUtCSys(o, KRNMathI, KRNMathJ); }},
      {T::GeomCone, [&] { return new ZRMUtCone(o, KRNMathK, 0.3); }},
      {T::GeomCylinder, [&] { return new ZRMUtCylinder(o, KRNMathK, 2.0); }},
      {T::GeomUnknown, [&] { return new ZRMUtSphere(o, 2.0); }},
      {T::GeomUnknown, [&] { return new ZRMUtTorus(o, 3.0, 1.0); }},
      {T::GeomCircle, [&] { return new ZRMUtCircle(o, KRNMathK, 2.0); }},
      {T::GeomArc, [&] { return new ZRMUtArc(o, KRNMathK, 1.0, o, o); }},
      {T::GeomEllipse, [&] { return new ZRMUtEllipse(o, KRNMathI, KRNMathJ, 2.0, 1.0); }},
      {T::GeomBSpline, [] { return new ZRMUtBSpline(2, 0, nullptr, nullptr, false, KRNMathSetOfPoints()); }},
  };
  for (int c = 0; c < 12; ++c) {
    SCOPED_TRACE(c);
    const T::GeomType code = cases[c].first;
    ZRMUtGeometry_Ptr g(cases[c].second());
    const ZRMUtGeometry& cg = *g;
    Forwarded forwarded;     // each object once through either overload, with either answer
    ZRMUtGeomVisitor plain;  // overrides nothing
    EXPECT_TRUE(g->Accept(&forwarded) && cg.Accept(&forwarded));
    forwarded.answer = false;
    EXPECT_FALSE(g->Accept(&forwarded) || cg.Accept(&forwarded) || g->Accept(nullptr) || cg.Accept(nullptr) ||
                 g->Accept(&plain) || cg.Accept(&plain));
    EXPECT_EQ(forwarded.visited, std::vector<const void*>(4, g.Ptr()));
    ZRMUtGeomTypeVisitor type;
    EXPECT_TRUE(type.GetType() == T::GeomUnknown && cg.Accept(&type) == (code != T::GeomUnknown) &&
                type.GetType() == code && ZRMGetGeomType(g) == code);
    const void* const casts[] = {g->AsPoint(),  g->AsLine(),     g->AsPlane(),   g->AsCSys(),
                                 g->AsCone(),   g->AsCylinder(), g->AsSphere(),  g->AsTorus(),
                                 g->AsCircle(), g->AsArc(),      g->AsEllipse(), g->AsBSpline()};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(casts[k], k == c ? g.Ptr() : nullptr) << k;
  }
  EXPECT_EQ(ZRMUtTorus().MajorRadius() + ZRMUtTorus().MinorRadius() + ZRMUtCone().HalfAngle() +
                ZRMUtCylinder().Radius() + ZRMUtSphere().Radius() + ZRMUtCircle().Radius() +
                ZRMUtEllipse().GetMajorRadius() + ZRMUtEllipse().GetMinorRadius(),
            0.0);
  ZRMUtCircle circle(kO, KRNMathK, 1.0);
  Forwarded fine, error, utError, nullRaised;
  error.raise = [] { (new CountedError)->Throw("visitor", 1, nullptr); };
  utError.raise = [] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "visitor", 2); };
  nullRaised.raise = [] { throw static_cast<KRNException*>(nullptr); };  // a null platform object
  EXPECT_TRUE(!circle.Accept(&error) && CountedError::destroyed == 1 && !circle.Accept(&utError) &&
              !circle.Accept(&nullRaised) && circle.Accept(&fine));
  EXPECT_EQ(zrmtest::CatchRaised([&] { std::as_const(circle).Accept(&utError); }).line, 2);
}

// A point is on the curve for its tangent within the model resolution of a line and within the
// length tolerance of a circle's radius, the bounds included, and only exactly at an arc's radius;
// the tangent is written either way.
TEST(Curves, TangentAtPointWithinEachClassTolerance) {
  const ZRMUtLine line(kO, KRNMathI);
  const ZRMUtCircle circle(kO, KRNMathK, 2.0), tiny(kO, KRNMathK, kTol);  // tiny: an exact bound
  const ZRMUtArc arc(kO, KRNMathK, 2.0, P(2, 0, 0), P(0, 2, 0));
  V v;
  for (const auto& [off, on] : {std::pair(0.5, true), {1.0, true}, {2.0, false}})
    EXPECT_TRUE(line.GetTangentAtPoint(P(3, off * kRes, 0), v) == on && Near(v, V(1, 0, 0), 0)) << off;
  for (const auto& [off, onCircle, onArc] : {std::tuple(0.0, true, true), {0.5, true, false}, {2.0, false, false}})
    EXPECT_TRUE(circle.GetTangentAtPoint(P(0, 2 + off * kTol, 0), v) == onCircle && Near(v, V(-1, 0, 0), 1e-12) &&
                arc.GetTangentAtPoint(P(0, 2 + off * kTol, 0), v) == onArc && Near(v, V(-1, 0, 0), 1e-12))
        << off;
  EXPECT_TRUE(tiny.GetTangentAtPoint(P(0, 2 * kTol, 0), v) && !tiny.GetTangentAtPoint(P(0, 3 * kTol, 0), v));
}

// Null outputs refuse. The static form on a segment of length 4: the parameter along the unit
// direction, whether it lies within [0, length], the foot.
TEST(Line, SegmentsAndRefusals) {
  const ZRMUtLine line(P(), KRNMathI);
  P foot(7, 7, 7);
  const KRNMathLine segment(P(1, 0, 0), P(5, 0, 0));
  double param = 42;
  bool within = true;
  EXPECT_TRUE(!line.PointOnLine(P(1, 1, 1), nullptr) && !ZRMUtLine(line).ProjectPoint(P(1, 1, 1), nullptr, &param) &&
              !ZRMUtLine::PointOnLine(P(), segment, nullptr, &param, &within) &&
              !ZRMUtLine::PointOnLine(P(), segment, &foot, nullptr, &within) && within && param == 42 &&
              Near(foot, P(7, 7, 7), 0));
  for (const auto& [point, t, inside] : {std::tuple(P(1, 1, 0), 0.0, true),
                                         {P(5, 1, 0), 4.0, true},
                                         {P(-1, 3, 0), -2.0, false},
                                         {P(6.5, 0, 2), 5.5, false}}) {
    EXPECT_TRUE(ZRMUtLine::PointOnLine(point, segment, &foot, &param, &within) && param == t && within == inside &&
                Near(foot, P(1 + t, 0, 0), 0) && ZRMUtLine::PointOnLine(point, segment, &foot, &param, nullptr))
        << t;
  }
}

const char* const kFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtBSpline";

// A positive count with a null array is reported (in production without the runtime assertion) and
// taken as 0; outputs of PackKnots of unequal lengths are reported and left alone. Non-orthogonal
// directions of a frame are reported, construction completing with the directions as passed.
TEST(CallerErrors, NullArraysUnequalOutputsAndSkewFramesAreReported) {
  double knots[] = {0, 0.5, 1}, weights[] = {1};
  int mults[] = {3, 1, 3};
  for (const auto& [k, m] : {std::pair<double*, int*>(nullptr, mults), {knots, nullptr}}) {
    zrmtest::AssertRecorder recorder;
    const ZRMUtBSpline s(2, 3, k, m, 1, weights, false, KRNMathSetOfPoints());
    EXPECT_TRUE(s.GetNbOfKnots() == 0 && s.GetNumberOfWeights() == 1);
    ExpectCheckReport(recorder.reports, "nbKnots < 1 || (knots && multiplicities)",
                      "ZRMUtBSpline null knot or multiplicity array in.", kFile, 42, true);
  }
  zrmtest::AssertRecorder recorder(0);
  const ZRMUtBSpline s(2, 3, knots, mults, 1, nullptr, false, KRNMathSetOfPoints());
  EXPECT_TRUE(s.GetNbOfKnots() == 3 && s.GetNumberOfWeights() == 0);
  ExpectCheckReport(recorder.reports, "nbWeights < 1 || weights", "ZRMUtBSpline null weight array in.", kFile, 43,
                    false);
  KRNRawColldouble packed = Filled<KRNRawColldouble>({1});
  KRNRawCollint counts;
  ZRMUtBSpline::PackKnots(Filled<KRNRawColldouble>({1}), packed, counts);
  EXPECT_TRUE(recorder.reports.size() == 2 && recorder.reports[1].line == 44 && packed.Size() == 1 &&
              counts.Size() == 0);
  zrmtest::AssertRecorder development;
  const ZRMUtEllipse e(P(), KRNMathI, KRNMathI, 2, 1);
  EXPECT_TRUE(Near(e.XDir(), KRNMathI, 0) && Near(e.YDir(), KRNMathI, 0) && Near(e.ZDir(), KRNMathI, 0));
  ExpectCheckReport(development.reports, "mXDir.IsOrthogonal(mYDir)", "ZRMUtCSys non-orthogonal directions in.",
                    "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys", 33, true);
}

// Expanded knot vectors of runs with random multiplicities (at least AbsoluteTol apart): every run
// at most degree + 1 long, and for a clamped vector both ends exactly degree + 1 long.
TEST(BSpline, IsQOBCompatibleAgainstAMultiplicityModel) {
  Random random(31);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const double gap = i % 2 == 0 ? 1.0 : kAbsoluteTol;  // exactly AbsoluteTol apart: distinct
    const int degree = 1 + int(random.Uniform(0, 4)), values = 1 + int(random.Uniform(0, gap == 1.0 ? 5 : 3));
    std::vector<int> mults;
    std::vector<double> knots;
    for (int v = 0; v < values; ++v) {
      mults.push_back(1 + int(random.Uniform(0, degree + 2.5)));
      knots.insert(knots.end(), mults.back(), v * gap);
    }
    const bool runsFit = std::all_of(mults.begin(), mults.end(), [degree](int m) { return m <= degree + 1; });
    const int n = int(knots.size());
    const bool clamped = runsFit && mults.front() == degree + 1 && mults.back() == degree + 1;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, true), n >= 2 && runsFit) << i;
    EXPECT_EQ(ZRMUtBSpline::IsQOBCompatible(knots.data(), n, degree, false), n >= 2 && clamped) << i;
  }
  const double merged[] = {0, 0.5 * kAbsoluteTol, 1, 1}, two[] = {0, 0};
  const auto compatible = &ZRMUtBSpline::IsQOBCompatible;
  EXPECT_TRUE(compatible(merged, 4, 1, false) && compatible(two, 2, 1, false) && compatible(two, 2, INT_MAX, true));
  EXPECT_FALSE(compatible(nullptr, 2, 1, true) || compatible(two, 2, 0, true) || compatible(two, 2, INT_MAX, false));
}

// Values join the group whose running mean lies closer than AbsoluteTol (so a drift of 1.4
// AbsoluteTol merges, AbsoluteTol exactly does not); outputs are appended to.
TEST(BSpline, PackKnotsByTheRunningMean) {
  const double step = 0.35 * kAbsoluteTol;
  const struct {
    std::vector<double> before, in, packed;
    std::vector<int> mults;
  } cases[] = {
      {{}, {0, step, 2 * step, 3 * step, 4 * step, 1}, {2 * step, 1}, {5, 1}},
      {{5}, {5 + 0.3 * kAbsoluteTol, 7}, {5 + 0.1 * kAbsoluteTol, 7}, {3, 1}},
      {{}, {0, kAbsoluteTol}, {0, kAbsoluteTol}, {1, 1}},
  };
  for (const auto& c : cases) {
    KRNRawColldouble packed = Filled<KRNRawColldouble>(c.before);
    KRNRawCollint mults = Filled<KRNRawCollint>(std::vector<int>(c.before.size(), 2));
    ZRMUtBSpline::PackKnots(Filled<KRNRawColldouble>(c.in), packed, mults);
    ASSERT_TRUE(packed.Size() == int(c.packed.size()) && mults.Size() == int(c.mults.size())) << &c - cases;
    for (int i = 1; i <= packed.Size(); ++i)
      EXPECT_TRUE(std::fabs(packed[i] - c.packed[i - 1]) < 1e-14 && mults[i] == c.mults[i - 1]);
  }
}

// End tangents along the parameter from the end legs (longer than LengthTol, strictly), for points
// within LengthTol of an end; TangentAtEnd writes only on success, GetTangentAtPoint writes (1, 0,
// 0) on failure.
TEST(BSpline, TangentsFromTheEndLegs) {
  const std::vector<P> corner = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  const KRNMathVector no(0, 0, 0);  // no tangent
  for (const auto& [polygon, p, dir] :
       {std::tuple(corner, P(1, 1, 0), KRNMathVector(0, 1, 0)),
        {corner, P(0.5 * kTol, 0, 0), {1, 0, 0}},
        {{{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, P(), {-1, 0, 0}},       // the end leg
        {{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, kTol, 0}}, P(2, kTol, 0), no},  // a leg of exactly LengthTol
        {{{0, 0, 0}}, P(), no},
        {corner, P(0.5, 0.5, 0), no},  // near neither end
        {{{0, 0, 0}, {0, 3, 4}}, P(0, 3, 4), {0, 0.6, 0.8}}}) {
    ZRMUtBSpline s;
    s.SetCPoints(Filled<KRNMathSetOfPoints>(polygon));
    const bool ok = dir.Norm() > 0;
    KRNMathDirection d(0, 0, 1);
    KRNMathVector v(7, 7, 7);
    EXPECT_TRUE(s.TangentAtEnd(p, d) == ok && Near(d, ok ? dir : KRNMathVector(0, 0, 1), 1e-15) &&
                s.GetTangentAtPoint(p, v) == ok && Near(v, ok ? dir : KRNMathVector(1, 0, 0), 1e-15))
        << p.x << " " << p.y << " " << p.z;
  }
}

// The default spline is empty. The box grows from what the caller passes in; none without control
// points. Copies and assignments (to itself too) hold the values in arrays of their own and keep
// the closure vectors; transformations move the control points and the closure vectors (by the
// linear part), nothing else.
TEST(BSpline, DefaultsBoxesCopiesAndTransformations) {
  const ZRMUtBSpline empty;
  EXPECT_TRUE(empty.GetDegree() == 0 && empty.GetNbOfKnots() == 0 && !empty.GetKnots() && !empty.GetPeriodic() &&
              empty.GetNumberOfWeights() == 0 && !empty.GetWeights() && empty.GetNumberOfCPoints() == 0);
  KRNMathBox box(P(10, 10, 10), P(10, 10, 10));
  EXPECT_TRUE(!empty.GetBoundingBox(box) && Near(box.GetLow(), P(10, 10, 10), 0));
  double knots[] = {0.5}, weights[] = {1, 0.5, 1};
  int mults[] = {3};
  ZRMUtBSpline s(2, 1, knots, mults, 3, weights, true,
                 Filled<KRNMathSetOfPoints, P>({{0, 0, 0}, {1, -1, 0}, {1, 1, 2}})),
      assigned;
  const V closure[] = {{1, 2, 3}, {0, -1, 4}};
  s.SetClosureCondition(closure[0], closure[1]);
  EXPECT_TRUE(s.GetBoundingBox(box) && Near(box.GetLow(), P(0, -1, 0), 0) && Near(box.GetHigh(), P(10, 10, 10), 0));
  const ZRMUtBSpline before(s);
  assigned = s;
  assigned = std::as_const(assigned);
  const KRNMathTransformation map = Random(33).RigidMotion();
  s.ApplyTransformation(map);
  for (int p = 0; p < 3; ++p) EXPECT_TRUE(Near(s.GetCPoints().GetPoint(p), map * before.GetCPoints().GetPoint(p), 0));
  for (const ZRMUtBSpline* copy : {&std::as_const(s), &before, &std::as_const(assigned)}) {
    V first, second;
    copy->GetClosureCondition(first, second);
    const Xf kept = copy == &s ? map : Xf();
    EXPECT_TRUE(Near(first, kept * closure[0], 0) && Near(second, kept * closure[1], 0));
    EXPECT_TRUE(copy->GetDegree() == 2 && copy->GetNbOfKnots() == 1 && copy->GetKnots()[0] == 0.5 &&
                copy->GetMultiplicities()[0] == 3 && copy->GetNumberOfWeights() == 3 && copy->GetWeights()[1] == 0.5 &&
                copy->GetPeriodic() && copy->GetKnots() != knots && (copy == &s || copy->GetKnots() != s.GetKnots()) &&
                (copy == &s || copy->GetWeights() != s.GetWeights()));
  }
}

// Every map has an inverse that undoes it and composes to the identity with it. Rotations follow Rodrigues'
// formula about their axis line, and so do the rotation helpers; a half-turn about a point and a
// vector fixes the point, reverses the vector and keeps the unit axis across it and the world axis
// of its smallest component (x first on a tie); a uniform scaling is recovered with its center and
// factor. The library's perpendiculars have the length of the part across (1, 0, 0) (across (0, 1,
// 0) along x; (1, 0, 0) for zero); its motion from (P1, D1) to (P2, D2) is rigid and carries P1 to
// P2 and D1 onto D2, for random, equal (a translation), opposite and nearly parallel directions.
// Frames made from an origin and a z direction are right-handed with x across (0, 1, 0). Unit
// directions: a squared length of exactly 1 keeps the components; otherwise each component is
// divided by the length (not multiplied by its reciprocal), zero giving (1, 0, 0); one that
// underflows or overflows is first rescaled by the largest component.
TEST(KRNMathTransformation, PropertiesOfRandomMapsAndMotions) {
  EXPECT_TRUE(Near(Utils::GetPerpendicularVector(V(-5, 0, 0)), V(0, 0, 5), 0) &&
              Near(Utils::GetPerpendicularVector(V()), V(1, 0, 0), 0));
  EXPECT_TRUE(Near(D(V(-0.0, 0.0, -0.0)), V(1, 0, 0), 0));
  for (const double scale : {1e-200, 1e200})  // squared lengths out of range: rescaled first
    EXPECT_TRUE(Near(D(V(3, 0, -4) * scale), V(0.6, 0, -0.8), 1e-15) &&
                Near(D(V(-3, 0, -4) * scale), V(-0.6, 0, -0.8), 1e-15) && Near(D(V(0, -scale, 0)), V(0, -1, 0), 0))
        << scale;
  Random random(42);
  for (long i = 0; i < zrmtest::Scaled(2000); ++i) {
    V w = random.Vector(i % 2 == 0 ? 10.0 : 1e3);
    if (i % 2 == 1) w.Normalize();
    const double s = w.x * w.x + w.y * w.y + w.z * w.z, length = std::sqrt(s);
    EXPECT_TRUE(Near(D(w), s == 1.0 ? w : V(w.x / length, w.y / length, w.z / length), 0) &&
                Near(D(1e-200 * w), D(w), 1e-15) && Near(D(1e200 * w), D(w), 1e-15))
        << i;
    const P origin = random.Point(), p = random.Point();
    const D unit = random.Direction();
    const V axis = V(unit) * random.Uniform(0.1, 5);
    const double angle = random.Uniform(-2 * KRNPI, 2 * KRNPI), factor = random.Uniform(0.05, 0.95) * (i % 2 ? 1 : 20);
    const KRNMathLine line(origin, axis);
    const Xf rotation(angle, line), halfTurn(origin, axis), scaling = Scaling(factor, origin);
    const V k = (1.0 / axis.Norm()) * axis, v = p - origin;  // Rodrigues' formula about the unit axis k
    const V rodrigues = std::cos(angle) * v + std::sin(angle) * (k ^ v) + ((1.0 - std::cos(angle)) * (k * v)) * k;
    EXPECT_TRUE(Near(rotation * p, origin + rodrigues, 1e-11) &&
                Near(Utils::GetRotatedPoint(line, angle, p), rotation * p, 1e-12) &&
                Near(Utils::GetRotatedVector(line, angle, D(p - origin)), rotation * V(D(p - origin)), 1e-12));
    const V a = std::fabs(axis.x) <= std::min(std::fabs(axis.y), std::fabs(axis.z)) ? V(1, 0, 0)
                : std::fabs(axis.y) <= std::fabs(axis.z)                            ? V(0, 1, 0)
                                                                                    : V(0, 0, 1),
            across = (1.0 / (axis ^ a).Norm()) * (axis ^ a);
    EXPECT_TRUE(Near(halfTurn * origin, origin, 1e-12) && Near(halfTurn * axis, -1.0 * axis, 1e-12) &&
                Near(halfTurn * across, across, 1e-12));
    P center;
    double found = 0.0;
    ASSERT_TRUE(scaling.IsScaling(center, found));
    EXPECT_TRUE(std::fabs(found - factor) <= 1e-14 * factor && Near(center, origin, 1e-9));
    for (const Xf& t : {rotation, halfTurn, scaling, rotation * scaling * halfTurn}) {
      Xf inverse;
      ASSERT_TRUE(t.GetInverse(inverse));
      EXPECT_TRUE(Near(inverse * (t * p), p, 1e-9) && (t * inverse).IsIdentity() &&
                  Near(t.Inverse() * p, inverse * p, 0));
    }
    const ZRMUtPlane frame(origin, unit);  // the frame of the (origin, z) constructor
    EXPECT_TRUE(Near(frame.ZDir(), unit, 0) && std::fabs(frame.XDir().y) < 1e-15 &&
                Near(V(frame.XDir()) ^ V(frame.YDir()), unit, 1e-12) && std::fabs(frame.XDir() * frame.YDir()) < 1e-12);
    const ZRMUtPlane spanned{KRNMathPlane(origin, axis, p - origin)};  // unit directions, not made orthogonal
    EXPECT_TRUE(Near(spanned.Point(), origin, 0) && Near(spanned.XDir(), unit, 1e-15) &&
                Near(spanned.YDir(), D(p - origin), 0) && Near(spanned.ZDir(), D(axis ^ (p - origin)), 1e-9));
    const V normal = Utils::GetPerpendicularVector(axis);
    EXPECT_TRUE(std::fabs(normal * axis) <= 1e-12 * (axis * axis) &&
                std::fabs(normal.Norm() - std::hypot(axis.y, axis.z)) <= 1e-12 * axis.Norm());
    const D to = i % 4 == 0   ? random.Direction()
                 : i % 4 == 1 ? unit
                 : i % 4 == 2 ? D(-1.0 * unit)
                              : D(V(unit) + (3e-10 / normal.Norm()) * normal);
    Xf motion;
    Utils::GetTransformationOfPointsAndDirections(motion, origin, unit, p, to);
    const Mat& m = motion.GetMatrix();
    EXPECT_TRUE(Near(motion * origin, p, 1e-9) && Near(motion * V(unit), to, 1e-7) &&
                std::fabs(m.Determinant() - 1) < 1e-12 && std::fabs((m * rodrigues).Norm() - rodrigues.Norm()) < 1e-9)
        << i;
    EXPECT_TRUE(i % 4 != 1 || Near(m * V(1, 2, 3), V(1, 2, 3), 0));  // equal: a translation
  }
}

// IsIdentity within the tolerance; what is no scaling (the identity is none, our choice) leaves
// IsScaling's outputs alone; singular maps and those whose inverse overflows have none; no axis
// gives the identity. A bad index of a matrix, a point set (from 0) or a raw collection (from 1)
// raises IndexOutOfRange.
TEST(KRNMathTransformation, IdentitiesScalingsAndSingularMaps) {
  const Xf identities[] = {Xf(), Xf(V(1e-13, 0, 0)), Xf(KRN2PI, KRNMathLine(P(1, 2, 3), V(1, 1, 1))),
                           Xf(1.0, KRNMathLine(P(3, 3, 3), V())), Xf(P(1, 2, 3), V())},
           others[] = {Xf(V(0, 0, 1e-11)), Xf(Diagonal(1, 1 + 1e-11, 1)), Xf(Diagonal(2, 2, 2.001)),
                       Scaling(-1, P(1, 0, 0)), Scaling(0, P(1, 0, 0))};
  for (const Xf* t : {identities, others})
    for (int i = 0; i < 5; ++i) {
      P center(7, 7, 7);
      double factor = 42;
      EXPECT_TRUE(!t[i].IsScaling(center, factor) && Near(center, V(7, 7, 7), 0) && factor == 42 &&
                  t[i].IsIdentity() == (t == identities))
          << i;
    }
  Xf untouched(V(9, 9, 9));
  for (const Mat& m : {Diagonal(1, 1, 0), Diagonal(1e-200, 1e-200, 1e-200), Diagonal(1e-105, 1e-105, 1e-105)})
    EXPECT_FALSE(Xf(m).GetInverse(untouched));  // singular, a determinant of 0, an overflowing inverse
  EXPECT_TRUE(Near(untouched.GetTranslation(), V(9, 9, 9), 0) &&
              zrmtest::CatchRaised([] { static_cast<void>(Mat()(3, 0)); }).code == ZRMUtError::IndexOutOfRange &&
              zrmtest::CatchRaised([] { KRNMathSetOfPoints().SetPoint(P(), 0); }).code == ZRMUtError::IndexOutOfRange &&
              zrmtest::CatchRaised([] { static_cast<void>(KRNRawColldouble()[1]); }).file == "KRNRawColldouble");
}

// PlaneToSys puts the plane's directions and their unit normal in the roles index k names;
// SysToPlane takes the plane across axis k. An index outside 0..2 is reported by both and reduced
// modulo 3.
TEST(GeomUtils, PlaneAndAxisRolesAndTheIndexCheck) {
  const P o(1, -2, 3);
  const V U(2, 0, 0), W(1, 3, 0), N(0, 0, 1), X(1, 2, 0), Y(0, 1, 5), Z(3, 0, 1);
  const KRNMathAxis axis(o, X, Y, Z), roles[] = {{o, W, N, U}, {o, N, U, W}, {o, U, W, N}};
  const KRNMathPlane plane(o, U, W), planes[] = {{o, Y, Z}, {o, Z, X}, {o, X, Y}};
  const char* const file = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtGeomUtils";
  for (const auto& [k, reduced] : {std::pair(0, 0), {1, 1}, {2, 2}, {-1, 2}, {-3, 0}, {3, 0}, {7, 1}, {INT_MIN, 1}}) {
    zrmtest::AssertRecorder recorder;
    const KRNMathAxis sys = Utils::PlaneToSys(plane, k);
    const KRNMathPlane across = Utils::SysToPlane(axis, k);
    EXPECT_TRUE(sys == roles[reduced] && across == planes[reduced]) << k;
    ASSERT_EQ(recorder.reports.size(), k == reduced ? 0u : 4u) << k;
    if (k == reduced) continue;
    EXPECT_EQ(recorder.reports[2].line, 102);  // SysToPlane's, after PlaneToSys's
    recorder.reports.resize(2);
    ExpectCheckReport(recorder.reports, "k >= 0 && k <= 2", "Axis index out of range", file, 101, true);
  }
}

// Every component in turn, for a point and a float direction: half the tolerance keeps two values
// equal, a thousand tolerances or one float step (single precision subtracts in float) or a NaN
// make them unequal; from zero, the value just below the tolerance is equal, the tolerance itself
// not (the test is strict). != is the negation, the test symmetric. The float conversions keep
// the components.
template <class Value>
void ExpectStrictComponentTolerance(const Value& base) {
  using Real = std::remove_const_t<decltype(base.x)>;
  const bool single = std::is_same_v<Real, float>;
  for (int i = 0; i < 3; ++i) {
    const auto equal = [i](const Value& a, double component) {
      Value b = a;
      (i == 0 ? b.x : i == 1 ? b.y : b.z) = Real(component);
      EXPECT_TRUE((a != b) == !(a == b) && (a == b) == (b == a));
      return a == b;
    };
    const Value zero(0, 0, 0);
    const Real c = i == 0 ? base.x : i == 1 ? base.y : base.z;
    const double step = single ? std::nextafter(c, Real(1e9)) : c + 1e3 * kAbsoluteTol,
                 below = single ? 0.99 * kAbsoluteTol : std::nextafter(kAbsoluteTol, 0.0);
    EXPECT_TRUE(equal(base, c + 0.5 * kAbsoluteTol) && equal(zero, below)) << i;
    EXPECT_FALSE(equal(base, step) || equal(base, kNaN) || equal(zero, kAbsoluteTol) || equal(zero, -kAbsoluteTol))
        << i;
  }
}

TEST(MathOperators, EveryComponentStrictlyWithinTheTolerance) {
  ExpectStrictComponentTolerance(P(-1, 2, -3));
  ExpectStrictComponentTolerance(KRNMathDirectionf(-1, 2, -3));
  const KRNMathPointf pf(0.1f, -2.5f, 3.3f);
  EXPECT_TRUE(Near(ZRMUtMathPointFtoMathPoint(pf), pf, 0) &&
              Near(ZRMUtDirectionFtoDirection(KRNMathDirectionf(0.6f, -0.8f, 0)), V(0.6f, -0.8f, 0), 1e-7));
}

// Has gives the value (or false, with -1 for ids and the output left for values); Add overwrites;
// Count adds the tangent lines and speeds and the second-derivative lines and norms, not the handle
// dimensions; Remove erases.
TEST(SplineCondition, MapsAndCount) {
  ZRMUtSplineCondition record;
  ZRMUtUniqueId one(1), two(2), out(7);
  double value = 7;
  record.AddTangentLines(3, one);
  record.AddTangentLines(3, two);
  record.AddSecondDerivativeLines(1, one);
  record.AddTangentialSpeeds(3, 0.5);
  record.AddSecondDerivativeNorms(2, 1.5);
  record.AddHandleDims(3, one);
  EXPECT_TRUE(record.Count() == 4 && record.HasTangentLine(3, out) && out.Value() == 2 &&
              !record.HasSecondDerivativeLine(3, out) && out.Value() == -1 &&
              record.HasSecondDerivativeNorm(2, value) && value == 1.5 && !record.HasTangentialSpeed(2, value) &&
              value == 1.5 && record.HasHandleDim(3, out));
  record.RemoveTangentLine(3);
  EXPECT_TRUE(record.Count() == 3 && !record.HasTangentLine(3, out));
}

}  // namespace
