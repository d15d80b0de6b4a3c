// Lines, circles and ellipses by their properties, in one table over seeded random curves:
// points evaluate back from their parameters and projections, projections lie on the curve (its
// implicit equation) where the class says, tangents are unit and parallel to the chord of nearby
// parameters, and evaluation commutes with rigid motions, scalings and mirrors. Edge tables for
// the snapping of eccentric angles, the tolerances, refusals and non-finite input; and the error
// trap of the circle's Accept.
#include "GeometryTestSupport.h"
#include "KRNError.h"
#include "ZRMUtArc.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtLine.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <functional>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using zrmtest::kNaN;
using zrmtest::Near;
using P = KRNMathPoint;
using V = KRNMathVector;
using D = KRNMathDirection;
const P kO(0, 0, 0);
const double kUnset = -123.0, kTol = ZRMUtTolerance().LengthTol(), kRes = ZRMUtTolerance().ModelResolution();

template <class Curve>
P At(Curve& curve, double t) {
  P p;
  curve.EvalPoint(t, p);
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
ZRMUtEllipse Standard() { return ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2.0, 1.0); }
ZRMUtCircle RandomCircle(zrmtest::Random& r) {
  const KRNMathDirection axis = r.Direction();
  return ZRMUtCircle(r.Point(), axis, r.Direction(axis), r.Uniform(0.5, 5.0));
}
ZRMUtEllipse RandomEllipse(zrmtest::Random& r) {
  const KRNMathDirection x = r.Direction();
  const double a = r.Uniform(1.0, 5.0);
  return ZRMUtEllipse(r.Point(), x, r.Direction(x), a, r.Uniform(0.3, a));
}

ZRMUtLine RandomLine(zrmtest::Random& r) { return ZRMUtLine(r.Point(), r.Direction()); }

// What each class answers the same questions with: the point at t (lines also give the tangent
// direction), the parameter of a point, how far a point lies off the curve, and whether q is the
// projection the class promises of p (closest for lines and circles, along the ray from the
// center for ellipses).
P At(ZRMUtLine& line, double t) {
  P p;
  D d;
  EXPECT_TRUE(line.EvalPoint(t, p, &d) && Near(d, line.Direction(), 0));
  return p;
}
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

template <class Curve>
void CheckCurve(Curve c, zrmtest::Random& random, long i) {
  const double t = random.Uniform(-3.1, 3.1), h = 1e-4;
  const P p = random.Point(), onIt = At(c, t);
  P q;
  double param = kUnset;
  V v;
  ASSERT_TRUE(Project(c, onIt, q, param) && Project(c, p, q, param)) << i;
  EXPECT_TRUE(Off(c, onIt) < 1e-9 && Off(c, q) < 1e-9 && Near(At(c, param), q, 1e-9) && Promised(c, p, q)) << i;
  const V chord = At(c, t + h) - At(c, t - h);
  EXPECT_TRUE(c.GetTangentAtPoint(onIt, v) && std::fabs(v.Norm() - 1) < 1e-12 &&
              (v ^ chord).Norm() < 1e-6 * chord.Norm())
      << i;
  const KRNMathTransformation map = i % 3 == 0   ? zrmtest::Scaling(3.0, random.Point())
                                    : i % 3 == 1 ? zrmtest::Mirror(random.Point(), random.Direction())
                                                 : random.RigidMotion();
  Curve moved = c;
  moved.ApplyTransformation(map);
  const double stretch = std::is_same_v<Curve, ZRMUtLine> && i % 3 == 0 ? 3.0 : 1.0;  // a line's t is a length
  EXPECT_TRUE(Near(At(moved, stretch * t), map * onIt, 1e-9) && Near(At(moved, -stretch * t), map * At(c, -t), 1e-9))
      << i;
}

TEST(Curves, RandomCurvesEvaluateBackProjectAndTransform) {
  zrmtest::Random random(18);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    CheckCurve(RandomLine(random), random, i);
    CheckCurve(RandomCircle(random), random, i);
    CheckCurve(RandomEllipse(random), random, i);
  }
}

// Class by class: a circle starts on the x direction and turns towards y, its arc lengths are
// the turn fraction times the radius, a line's the parameter distance; an ellipse's curvature is
// that of the circle through three nearby points; outside its implicit equation a point is
// outside, and from there the two tangency points lie on the ellipse with T - P orthogonal to
// the normal there.
TEST(Curves, ClassRulesOfRandomCurves) {
  zrmtest::Random random(21);
  zrmtest::AssertRecorder recorder;
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    ZRMUtCircle c = RandomCircle(random);
    const double r = c.Radius(), t = random.Uniform(-3.1, 3.1), h = 1e-4, x = random.Uniform(-4, 4),
                 y = random.Uniform(-4, 4);
    EXPECT_TRUE(Near(At(c, 0.0), c.Center() + r * V(c.XDir()), 1e-12) &&
                Near(At(c, KRNPIBY2), c.Center() + r * V(c.YDir()), 1e-12));
    EXPECT_TRUE(c.ArcLength(t, 3 * t) == c.ArcLength(3 * t, t) &&
                std::fabs(c.ArcLength(t, 3 * t) - std::fabs(2 * t) / KRN2PI * r) < 1e-12 &&
                RandomLine(random).ArcLength(t, 2 * t) == std::fabs(t));
    const ZRMUtEllipse e = RandomEllipse(random);
    double k = kUnset;
    ASSERT_TRUE(e.GetCurvature(At(e, t), k));
    const V chord = At(e, t + h) - At(e, t - h), bend = (At(e, t + h) - At(e, t)) - (At(e, t) - At(e, t - h));
    EXPECT_NEAR(k, 4 * (chord ^ bend).Norm() / std::pow(chord.Norm(), 3), 1e-5 * k);  // |x' ^ x''| / |x'|^3
    const P p = e.Center() + x * V(e.XDir()) + y * V(e.YDir());
    const double s = Implicit(e, p);
    if (std::fabs(s - 1) > 1e-6) {
      EXPECT_EQ(e.PointPosWRTEllipse(p + random.Uniform(-3, 3) * V(e.Axis())), s > 1 ? 1 : -1);
    }
    P T1, T2;
    if (s < 1.05) continue;
    ASSERT_TRUE(e.EvalTangentsFromExternalPoint(p, T1, T2));
    for (const P& T : {T1, T2}) {
      const V lt = Local(e, T), l = Local(e, p),
              normal(lt.x / (e.GetMajorRadius() * e.GetMajorRadius()), lt.y / (e.GetMinorRadius() * e.GetMinorRadius()),
                     0);
      EXPECT_TRUE(Off(e, T) < 1e-9 && std::fabs((lt - l) * normal) < 1e-9 * (lt - l).Norm() * normal.Norm());
    }
    EXPECT_GT(T1.DistanceTo(T2), 1e-6);
  }
  EXPECT_TRUE(recorder.reports.empty());  // the sine check is never reached by such points
}

// Axis points have no projection: false with the point at angle 0; a null point refuses and
// leaves the angle; -pi is folded into (-pi, pi]. Tangent points lie within LengthTol; at the
// center the tangent is z x (1, 0, 0).
TEST(Circle, RefusalsTolerancesAndAngles) {
  ZRMUtCircle circle(P(1, 1, 1), KRNMathK, KRNMathI, 2.0);
  P q(7, 7, 7);
  double angle = 99;
  for (const P& p : {P(1, 1, 1), P(1, 1, -4)})
    EXPECT_TRUE(!circle.ProjectPoint(p, &q, &angle) && Near(q, P(3, 1, 1), 1e-15) && angle == 0);
  angle = 99;
  EXPECT_TRUE(!circle.ProjectPoint(P(1, 6, 3), nullptr, &angle) && angle == 99 &&
              !circle.ProjectPoint(P(kNaN, 0, 0), &q, &angle));
  const ZRMUtCircle five(kO, KRNMathK, KRNMathI, 5.0);
  V tc;
  EXPECT_TRUE(five.GetTangentAtPoint(P(0, 5 + 0.5 * kTol, 0), tc) && Near(tc, V(-1, 0, 0), 1e-15) &&
              !five.GetTangentAtPoint(P(0, 5 + 2 * kTol, 0), tc));
  EXPECT_TRUE(!five.GetTangentAtPoint(kO, tc) && Near(tc, V(0, 1, 0), 0));
  const ZRMUtArc arc(kO, KRNMathK, KRNMathI, 1.0, P(-1, -0.0, -0.0), P(-1, -1e-12, 0));
  EXPECT_TRUE(arc.GetStartAngle() == KRNPI && arc.GetEndAngle() > -KRNPI && arc.GetEndAngle() < -KRNPI + 1e-11);
}

// Eccentric angles of the vertices; snapping onto the quarter turns within ZeroAngle (strictly);
// the model resolution at the vertices; distances from the axis lines in 3-D; refusals, with
// the output untouched.
TEST(Ellipse, GetParamTable) {
  const double tiny = 1e-11, no = kUnset;
  const ZRMUtEllipse e = Standard(), thin(kO, KRNMathI, KRNMathJ, 2.0, 0.5 * kRes);
  for (const auto& [p, expected, tol] : {std::tuple(P(0, 1, 0), KRNPIBY2, 0.0),
                                         {P(-2, 0, 0), KRNPI, 0.0},
                                         {P(0, -1, 0), 1.5 * KRNPI, 0.0},
                                         {kO, 0.0, 0.0},
                                         {P(2, tiny, 0), 0.0, 0.0},
                                         {P(tiny, 1, 0), KRNPIBY2, 0.0},
                                         {P(-2, tiny, 0), KRNPI, 0.0},
                                         {P(-2, -tiny, 0), KRNPI, 0.0},
                                         {P(2, -tiny, 0), KRN2PI, 0.0},
                                         {P(-tiny, -1, 0), 1.5 * KRNPI, 0.0},
                                         {P(2, 1e-9, 0), 1e-9, 1e-20},
                                         {P(0, 1 + 0.5 * kRes, 0), KRNPIBY2, 0.0},
                                         {P(2 + 0.5 * kRes, 0, 0), 0.0, 0.0},
                                         {P(-1, 0, 0.5), 5 * KRNPI / 6, 1e-15},
                                         {P(0, -0.5, 0), 7 * KRNPI / 6, 1e-15},
                                         {P(0, 1 + 2 * kRes, 0), no, 0.0},
                                         {P(-2 - 2 * kRes, 0, 0), no, 0.0},
                                         {P(0, 0.6, 0.9), no, 0.0}}) {
    double t = kUnset;
    EXPECT_TRUE(e.GetParam(p, &t) == (expected != no) && std::fabs(t - expected) <= tol)
        << p.x << ", " << p.y << ", " << p.z << ": " << t;
  }
  double t = kUnset;
  EXPECT_TRUE(e.GetParam(P(1, 0.5, 0), nullptr) && !thin.GetParam(P(2, 0, 0), &t) && t == kUnset);
}

// Tangents at the vertices; curvatures at the vertices, refused for a^2 or b^2 below LengthTolSq
// and off the ellipse; positions on the ellipse within the tolerance; a projection from a point
// without a parameter keeps t, a refused one still writes it; the tangency points from a point on
// the ellipse are that point; refusals leave the outputs untouched.
TEST(Ellipse, VerticesEdgesAndRefusals) {
  const ZRMUtEllipse e = Standard();
  V v;
  EXPECT_TRUE(e.GetTangentAtPoint(P(0, -1, 0), v) && Near(v, V(1, 0, 0), 0) && e.GetTangentAtPoint(P(-2, 0, 0), v) &&
              Near(v, V(0, 1, 0), 1e-15));
  double k = kUnset;
  EXPECT_TRUE(e.GetCurvature(P(2, 0, 0), k) && k == 2 && e.GetCurvature(P(0, 1, 0), k) && k == 0.25);
  EXPECT_TRUE(ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 1e-6, 1).GetCurvature(P(1e-6, 0, 0), k));
  k = kUnset;
  for (const P& p : {P(2.1, 0, 0), kO}) EXPECT_FALSE(e.GetCurvature(p, k));
  EXPECT_TRUE(!ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 1e-7).GetCurvature(P(2, 0, 0), k) && k == kUnset);
  EXPECT_TRUE(e.PointPosWRTEllipse(P(2, 0, 0)) == 0 && e.PointPosWRTEllipse(P(0, -1, 5)) == 0 &&
              ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 0.5 * kTol).PointPosWRTEllipse(P(0, 100, 0)) == 0);
  P q(7, 7, 7), T1(7, 7, 7), T2(7, 7, 7);
  double t = kUnset;
  EXPECT_TRUE(e.ProjectPoint(P(4, 0, 0), &q, &t) && Near(q, P(2, 0, 0), 1e-15) && t == kUnset);  // no parameter
  q = P(7, 7, 7);
  EXPECT_TRUE(!e.ProjectPoint(kO, &q, &t) && Near(q, P(7, 7, 7), 0) && t == 0);  // the parameter, although refused
  EXPECT_TRUE(!e.ProjectPoint(P(0, 0, 3), &q, nullptr) &&
              !ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 0, 0).ProjectPoint(P(1, 1, 0), &q, nullptr) &&
              Near(q, P(7, 7, 7), 0));
  EXPECT_TRUE(e.EvalTangentsFromExternalPoint(P(0, -1, 0), T1, T2) && Near(T1, P(0, -1, 0), 1e-15));  // on it
  T1 = T2 = P(7, 7, 7);
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(kO, T1, T2) ||
               ZRMUtEllipse(kO, KRNMathI, KRNMathJ, 2, 0).EvalTangentsFromExternalPoint(P(4, 4, 0), T1, T2));
  EXPECT_TRUE(Near(T1, P(7, 7, 7), 0) && Near(T2, P(7, 7, 7), 0));
}

// A non-finite center, direction or radius makes every point question refuse, outputs untouched,
// nothing reported, for points the standard ellipse answers; so does a non-finite point.
TEST(Ellipse, NonFiniteInputIsRefused) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    P center;
    KRNMathDirection x;
    double a, b;
  } cases[] = {
      {P(kNaN, 0, 0), KRNMathI, 2, 1}, {P(0, -inf, 0), KRNMathI, 2, 1}, {kO, KRNMathDirection(kNaN, 0, 0), 2, 1},
      {kO, KRNMathI, inf, 1},          {kO, KRNMathI, 2, inf},          {kO, KRNMathI, kNaN, 1}};
  zrmtest::AssertRecorder recorder;
  for (const auto& c : cases) {
    ZRMUtEllipse e = Standard();
    e.SetCSys(c.center, c.x, KRNMathJ);
    e.SetMajorRadius(c.a);
    e.SetMinorRadius(c.b);
    double t = kUnset, k = kUnset;
    V v(7, 7, 7);
    P q(7, 7, 7), T1 = q, T2 = q;
    EXPECT_FALSE(e.GetParam(P(1, 0.5, 0), &t) || e.GetTangentAtPoint(P(2, 0, 0), v) || e.GetCurvature(P(2, 0, 0), k) ||
                 e.PointPosWRTEllipse(P(5, 5, 0)) || e.PointPosWRTEllipse(P(1, 0.5, 0)) ||
                 e.ProjectPoint(P(5, 5, 0), &q, &t) || e.EvalTangentsFromExternalPoint(P(5, 5, 0), T1, T2));
    EXPECT_TRUE(t == kUnset && k == kUnset && Near(v, V(7, 7, 7), 0) && Near(q, P(7, 7, 7), 0) && Near(T1, q, 0) &&
                Near(T2, q, 0))
        << &c - cases;
  }
  const ZRMUtEllipse e = Standard();
  double t = kUnset, k = kUnset;
  P T1, T2;
  for (const P& p : {P(kNaN, 0, 0), P(0, 0, kNaN), P(inf, 0, 0)})
    EXPECT_FALSE(e.GetParam(p, &t) || e.GetCurvature(p, k) || e.EvalTangentsFromExternalPoint(p, T1, T2));
  EXPECT_TRUE(t == kUnset && k == kUnset && recorder.reports.empty());
}

struct CountedError : KRNError {
  ~CountedError() override { ++destroyed; }
  const char* GetMessageText() const override {
    ++reads;
    return "counted";
  }
  static inline int destroyed = 0, reads = 0;
};
struct Other : KRNException {
  [[noreturn]] void Throw(const char* file, int line, void* data) override {
    thrown.push_back({file, line, data});
    KRNException::Throw(file, line, data);
  }
  std::vector<std::tuple<const char*, int, void*>> thrown;
};
// Raises whatever raise does from the circle overload; arcs raise a library error.
struct Raiser : ZRMUtGeomVisitor {
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCircle*) override {
    raise();
    return true;
  }
  bool Visit(const ZRMUtArc*) override { ZRMUtRaise(ZRMUtError::InvalidIterator, "arc", 4); }
  std::function<void()> raise = [] {};
};

// A platform error of the visitor is disposed of once (its text read once) and gives false;
// another platform kind is raised again from its own Throw, without a place; other exceptions
// pass; only the mutable circle traps.
TEST(Circle, AcceptTrapsPlatformErrors) {
  ZRMUtCircle circle(kO, KRNMathK, 1.0);
  Raiser fine, error, utError, other, standard;
  error.raise = [] { (new CountedError)->Throw("visitor", 1, nullptr); };
  utError.raise = [] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "visitor", 2); };
  standard.raise = [] { throw std::runtime_error("not a platform object"); };
  auto* raised = new Other;
  other.raise = [&] { raised->Throw("visitor", 3, &other); };
  EXPECT_TRUE(!circle.Accept(&error) && CountedError::destroyed == 1 && CountedError::reads == 1 &&
              !circle.Accept(&utError) && circle.Accept(&fine));
  try {
    circle.Accept(&other);
    ADD_FAILURE() << "nothing raised";
  } catch (KRNException* caught) {
    KRNExceptionOwner owner(caught);
    EXPECT_TRUE(caught == raised && raised->thrown.size() == 2 &&
                raised->thrown[1] == std::make_tuple(nullptr, 0, nullptr));
  }
  EXPECT_THROW(circle.Accept(&standard), std::runtime_error);
  EXPECT_EQ(zrmtest::CatchRaised([&] { std::as_const(circle).Accept(&utError); }).line, 2);
  ZRMUtArc arc(kO, KRNMathK, 1.0, kO, kO);
  EXPECT_TRUE(zrmtest::CatchRaised([&] { arc.Accept(&utError); }).raised);
}

}  // namespace
