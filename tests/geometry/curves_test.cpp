// Circles, arcs and ellipses against the analytic curves: evaluation, projection, angles and
// eccentric angles with their snapping, tangents, curvature, inside/outside, tangent points,
// transformations; and the error trap of the circle's Accept.
#include "GeometryTestSupport.h"
#include "KRNError.h"
#include "KRNException.h"
#include "ZRMUtArc.h"
#include "ZRMUtCircle.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <limits>
#include <stdexcept>

using geomtest::Exact3;
using geomtest::kNaN;
using geomtest::Near3;
using geomtest::RandomGeometry;

namespace {

const KRNMathPoint kOrigin(0.0, 0.0, 0.0);
const double kUnset = -123.0;

// A random circle (center, axis, x direction orthogonal to it, radius in [0.5, 5]) with its
// analytic point center + r (cos t x + sin t y) and unit tangent.
struct RandomCircle {
  explicit RandomCircle(RandomGeometry& random)
      : center(random.Point()),
        axis(random.Direction()),
        xDir(random.OrthogonalTo(axis)),
        radius(random.Uniform(0.5, 5.0)) {}
  KRNMathPoint center;
  KRNMathDirection axis;
  KRNMathDirection xDir;
  double radius;
  KRNMathVector YDir() const { return KRNMathVector(axis) ^ KRNMathVector(xDir); }
  KRNMathPoint At(double t) const {
    return center + radius * (std::cos(t) * KRNMathVector(xDir) + std::sin(t) * YDir());
  }
  KRNMathVector TangentAt(double t) const { return -std::sin(t) * KRNMathVector(xDir) + std::cos(t) * YDir(); }
  ZRMUtCircle Circle() const { return ZRMUtCircle(center, axis, xDir, radius); }
};

// The point at parameter t of a circle, arc or ellipse.
template <class Curve>
KRNMathPoint Eval(Curve& curve, double t) {
  KRNMathPoint p;
  curve.EvalPoint(t, p);
  return p;
}

// A random ellipse with its analytic description.
struct RandomEllipse {
  explicit RandomEllipse(RandomGeometry& random)
      : center(random.Point()),
        x(random.Direction()),
        y(random.OrthogonalTo(KRNMathDirection(x))),
        a(random.Uniform(1.0, 5.0)),
        b(random.Uniform(0.3, a)) {}
  KRNMathPoint center;
  KRNMathVector x, y;
  double a, b;
  ZRMUtEllipse Make() const { return ZRMUtEllipse(center, KRNMathDirection(x), KRNMathDirection(y), a, b); }
  KRNMathPoint At(double t) const { return center + a * std::cos(t) * x + b * std::sin(t) * y; }
  KRNMathPoint Local(double u, double v) const { return center + u * x + v * y; }
  // x^2/a^2 + y^2/b^2 of a point's local coordinates (1 on the ellipse).
  double Implicit(const KRNMathPoint& p) const {
    const double u = (p - center) * x, v = (p - center) * y;
    return u * u / (a * a) + v * v / (b * b);
  }
};

// The ellipse a = 2, b = 1 in the standard frame at the origin.
ZRMUtEllipse Standard() { return ZRMUtEllipse(kOrigin, KRNMathI, KRNMathJ, 2.0, 1.0); }

}  // namespace

TEST(Circle, RandomCirclesMatchTheAnalyticCircle) {
  RandomGeometry random(11);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const RandomCircle c(random);
    ZRMUtCircle circle = c.Circle();
    EXPECT_TRUE(Near3(circle.Axis(), c.axis, 1e-12));  // x and y follow from the evaluation below
    const double t = random.Uniform(-KRNPI, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, 3.0 * t), c.At(3.0 * t), 1e-12));
    KRNMathVector tangent;
    EXPECT_TRUE(circle.GetTangentAtPoint(Eval(circle, t), tangent));
    EXPECT_TRUE(Near3(tangent, c.TangentAt(t), 1e-9));
    // The turn fraction times the radius, symmetric in its arguments.
    EXPECT_EQ(circle.ArcLength(t, 3.0 * t), circle.ArcLength(3.0 * t, t));
    EXPECT_NEAR(circle.ArcLength(t, 3.0 * t), std::fabs(2.0 * t) / (2 * KRNPI) * c.radius, 1e-12);

    // Closest point: center + r * unit in-plane component of p - center; its angle evaluates back.
    const KRNMathPoint p = random.Point();
    const KRNMathVector d = p - c.center;
    const KRNMathVector inPlane = d - (d * KRNMathVector(c.axis)) * KRNMathVector(c.axis);
    KRNMathPoint q;
    double angle = 99.0;
    ASSERT_TRUE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, c.center + (c.radius / inPlane.Norm()) * inPlane, 1e-9));
    EXPECT_GT(angle, -KRNPI);
    EXPECT_LE(angle, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, angle), q, 1e-9));
  }
  const ZRMUtCircle five(kOrigin, KRNMathK, 5.0);
  EXPECT_DOUBLE_EQ(five.ArcLength(0.0, KRN2PI), 5.0);  // a full turn gives the radius itself
  EXPECT_DOUBLE_EQ(five.ArcLength(0.0, KRNPI), 2.5);
}

TEST(Circle, ProjectionRefusesAxisPointsNullPointsAndNaN) {
  ZRMUtCircle circle(KRNMathPoint(1, 1, 1), KRNMathK, KRNMathI, 2.0);
  for (const KRNMathPoint& p : {KRNMathPoint(1, 1, 1), KRNMathPoint(1, 1, -4)}) {
    KRNMathPoint q(7, 7, 7);
    double angle = 99.0;
    EXPECT_FALSE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, KRNMathPoint(3, 1, 1), 1e-15));  // the platform's fallback at angle 0
    EXPECT_EQ(angle, 0.0);
  }
  KRNMathPoint q;
  EXPECT_TRUE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), &q, nullptr));  // only the point wanted
  EXPECT_TRUE(Near3(q, KRNMathPoint(1, 3, 1), 1e-15));
  double angle = 99.0;
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), nullptr, &angle));
  EXPECT_EQ(angle, 99.0);
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), nullptr, nullptr));
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(kNaN, 0, 0), &q, &angle));
  KRNMathVector tangent;
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(kNaN, 1, 0), tangent));
}

// The circle accepts points within LengthTol of its radius, the arc only at exactly the
// radius; both write the tangent either way; at the center it is z x (1, 0, 0).
TEST(CircleArcTangent, ToleranceCenterEndsAndTheMinusPiFold) {
  const double r = 5.0;
  const ZRMUtCircle circle(kOrigin, KRNMathK, KRNMathI, r);
  ZRMUtArc arc(kOrigin, KRNMathK, KRNMathI, r, KRNMathPoint(r, 0, 0), KRNMathPoint(0, r, 0));
  const KRNMathPoint off(0, r + 0.5 * ZRMUtTolerance().LengthTol(), 0);
  KRNMathVector tc, ta;
  EXPECT_TRUE(circle.GetTangentAtPoint(off, tc));
  EXPECT_FALSE(arc.GetTangentAtPoint(off, ta));
  EXPECT_TRUE(Exact3(tc, ta));
  EXPECT_TRUE(Near3(tc, KRNMathVector(-1, 0, 0), 1e-15));
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(0, r + 2.0 * ZRMUtTolerance().LengthTol(), 0), tc));
  EXPECT_TRUE(arc.GetTangentAtPoint(KRNMathPoint(3, 4, 0), ta));  // |(3, 4)| == 5 exactly
  EXPECT_TRUE(Near3(ta, KRNMathVector(-0.8, 0.6, 0), 1e-15));
  // End 1 selects the start, every other value the end.
  EXPECT_TRUE(Near3(arc.GetTangent(1), KRNMathVector(0, 1, 0), 1e-15));
  for (int end : {0, 2, -1, 7}) EXPECT_TRUE(Near3(arc.GetTangent(end), KRNMathVector(-1, 0, 0), 1e-15));

  KRNMathVector tangent(9, 9, 9);
  const ZRMUtCircle offCenter(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0);
  EXPECT_FALSE(offCenter.GetTangentAtPoint(KRNMathPoint(1, 2, 3), tangent));
  EXPECT_TRUE(Exact3(tangent, KRNMathVector(0, 1, 0)));  // unit direction of z x (1, 0, 0)
  const ZRMUtArc zeroArc(kOrigin, KRNMathK, KRNMathI, 0.0, kOrigin, kOrigin);
  EXPECT_TRUE(zeroArc.GetTangentAtPoint(kOrigin, tangent));  // d == radius == 0 exactly

  const ZRMUtArc exact(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, 0, 0), KRNMathPoint(-1, -0.0, -0.0));
  EXPECT_EQ(exact.GetStartAngle(), KRNPI);
  EXPECT_EQ(exact.GetEndAngle(), KRNPI);  // -pi is folded into (-pi, pi]
  const ZRMUtArc below(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, -1e-12, 0), KRNMathPoint(0, 1, 0));
  EXPECT_LT(below.GetStartAngle(), -KRNPI + 1e-11);
  EXPECT_GT(below.GetStartAngle(), -KRNPI);
  EXPECT_NEAR(below.GetEndAngle(), KRNPIBY2, 1e-15);
}

// The end angles recover the angles the ends were evaluated at, before and after a rigid
// motion; evaluation commutes with it.
TEST(CircleArcTransform, RigidMotionsCommuteAndKeepEndsAndAngles) {
  geomtest::ExpectRigidMotionsCommute(
      15, 300,
      [](RandomGeometry& r) {
        const RandomCircle c(r);
        const double a1 = r.Uniform(-3.1, 3.1), a2 = r.Uniform(-3.1, 3.1);
        const ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, c.At(a1), c.At(a2));
        EXPECT_NEAR(arc.GetStartAngle(), a1, 1e-9);
        EXPECT_NEAR(arc.GetEndAngle(), a2, 1e-9);  // not normalised: may be below the start angle
        return arc;
      },
      Eval<ZRMUtArc>, 1e-9,
      [](const ZRMUtArc& before, const ZRMUtArc& moved, const KRNMathTransformation& motion, RandomGeometry&) {
        EXPECT_TRUE(Exact3(moved.GetStartPoint(), motion * before.GetStartPoint()));
        EXPECT_TRUE(Exact3(moved.GetEndPoint(), motion * before.GetEndPoint()));
        EXPECT_NEAR(moved.GetStartAngle(), before.GetStartAngle(), 1e-9);
        EXPECT_NEAR(moved.GetEndAngle(), before.GetEndAngle(), 1e-9);
      });
}

// Uniform scalings about random centers and random mirrorings commute with evaluation of
// circles, arcs and ellipses; scalings multiply the sizes, the frame stays right-handed.
TEST(CurveTransform, ScalingsAndMirroringsCommuteWithEvaluation) {
  RandomGeometry random(18);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c(random);
    const RandomEllipse r(random);
    const bool scale = i % 2 == 0;
    const double factor = scale ? 3.0 : 1.0;
    const KRNMathTransformation map = scale ? geomtest::Scaling(factor, random.Point())
                                            : geomtest::Mirror(random.Point(), KRNMathVector(random.Direction()));
    ZRMUtCircle circle = c.Circle();
    ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, kOrigin, kOrigin);
    ZRMUtEllipse e = r.Make();
    circle.ApplyTransformation(map);
    arc.ApplyTransformation(map);
    e.ApplyTransformation(map);
    EXPECT_NEAR(circle.Radius(), factor * c.radius, 1e-12);
    EXPECT_NEAR(arc.Radius(), factor * c.radius, 1e-12);
    EXPECT_NEAR(e.GetMajorRadius(), factor * r.a, 1e-12);
    EXPECT_NEAR(e.GetMinorRadius(), factor * r.b, 1e-12);
    EXPECT_TRUE(geomtest::RightHandedOrthonormal(circle.XDir(), circle.YDir(), circle.ZDir(), 1e-9));
    const double t = random.Uniform(-KRNPI, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, t), map * c.At(t), 1e-9));
    EXPECT_TRUE(Near3(Eval(e, t), map * r.At(t), 1e-9));
  }
}

// ----- ellipse ------------------------------------------------------------------------------

// Eccentric angles of the vertices, snapping onto the quarter turns within ZeroAngle, the
// model resolution at the vertices, 3-D distances from the axis lines, refusals.
TEST(EllipseParam, Table) {
  const double r = ZRMUtTolerance().ModelResolution();
  const double tiny = 1e-11;  // y = tiny gives theta ~ 1e-11, below ZeroAngle
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    KRNMathPoint p;
    bool ok;
    double t;
    double tol;
  } cases[] = {
      {{0, 1, 0}, true, KRNPIBY2, 0},
      {{-2, 0, 0}, true, KRNPI, 0},
      {{0, -1, 0}, true, 1.5 * KRNPI, 0},
      {{2, 0, 0}, true, 0.0, 0},
      {kOrigin, true, 0.0, 0},
      {{2, tiny, 0}, true, 0.0, 0},
      {{-2, tiny, 0}, true, KRNPI, 0},
      {{-2, -tiny, 0}, true, KRNPI, 0},
      {{2, -tiny, 0}, true, KRN2PI, 0},
      {{tiny, 1, 0}, true, KRNPIBY2, 0},
      {{-tiny, 1, 0}, true, KRNPIBY2, 0},
      {{tiny, -1, 0}, true, 1.5 * KRNPI, 0},
      {{-tiny, -1, 0}, true, 1.5 * KRNPI, 0},
      {{2, 1e-6, 0}, true, 1e-6, 1e-12},  // beyond ZeroAngle: not snapped
      {{0, 1 + 0.5 * r, 0}, true, KRNPIBY2, 0},
      {{2 + 0.5 * r, 0, 0}, true, 0.0, 0},
      {{0, 0.6, 0.8}, true, KRNPIBY2, 1e-15},  // 3-D distance 1 from the x axis line
      {{0, 1 + 2 * r, 0}, false, 0, 0},
      {{2 + 2 * r, 0, 0}, false, 0, 0},
      {{-2 - 2 * r, 0, 0}, false, 0, 0},
      {{0, 0.6, 0.9}, false, 0, 0},
      {{kNaN, 0, 0}, false, 0, 0},
      {{0, 0, kNaN}, false, 0, 0},
      {{inf, 0, 0}, false, 0, 0},
  };
  const ZRMUtEllipse e = Standard();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << ", " << c.p.y << ", " << c.p.z);
    double t = kUnset;
    EXPECT_EQ(e.GetParam(c.p, &t), c.ok);
    EXPECT_NEAR(t, c.ok ? c.t : kUnset, c.tol);  // untouched when refused
  }
  EXPECT_TRUE(e.GetParam(KRNMathPoint(1, 0.5, 0), nullptr));  // no output wanted
  ZRMUtEllipse nanRadius = Standard();
  nanRadius.SetMinorRadius(kNaN);
  const ZRMUtEllipse thin(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.5 * r), zero(kOrigin, KRNMathI, KRNMathJ, 0.0, 1.0);
  double t = kUnset;
  EXPECT_FALSE(thin.GetParam(KRNMathPoint(2, 0, 0), &t));
  EXPECT_FALSE(zero.GetParam(KRNMathPoint(0, 1, 0), &t));
  EXPECT_FALSE(nanRadius.GetParam(kOrigin, &t));
  EXPECT_EQ(t, kUnset);
}

// Random points on all four quadrants: their eccentric angle, the unit tangent along the
// derivative and the analytic curvature.
TEST(EllipseParam, RandomPointsGiveTheirAngleTangentAndCurvature) {
  RandomGeometry random(21);
  zrmtest::AssertRecorder recorder;
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r(random);
    const ZRMUtEllipse e = r.Make();
    const int quadrant = static_cast<int>(i % 4);
    const double t = quadrant * KRNPIBY2 + random.Uniform(0.05, KRNPIBY2 - 0.05);
    double param = kUnset;
    ASSERT_TRUE(e.GetParam(r.At(t), &param));
    EXPECT_NEAR(param, t, 1e-7) << "quadrant " << quadrant;
    KRNMathVector v;
    ASSERT_TRUE(e.GetTangentAtPoint(r.At(t), v));
    EXPECT_NEAR(v.Norm(), 1.0, 1e-12);
    const KRNMathVector derivative = -r.a * std::sin(t) * r.x + r.b * std::cos(t) * r.y;
    EXPECT_LT((v ^ derivative).Norm() / derivative.Norm(), 1e-6);  // parallel
    double k = kUnset;
    ASSERT_TRUE(e.GetCurvature(r.At(t), k));
    const double s = std::sin(t), c = std::cos(t);
    const double expected = r.a * r.b / std::pow(r.a * r.a * s * s + r.b * r.b * c * c, 1.5);
    EXPECT_NEAR(k, expected, 1e-9 * expected);
  }
  EXPECT_TRUE(recorder.reports.empty());  // the sine check is never reached by such points
}

TEST(EllipseTangentAndCurvature, VerticesAndRefusals) {
  const ZRMUtEllipse e = Standard();
  KRNMathVector v;
  EXPECT_TRUE(e.GetTangentAtPoint(KRNMathPoint(-2, 0, 0), v));
  EXPECT_TRUE(Near3(v, KRNMathVector(0, 1, 0), 1e-15));
  EXPECT_TRUE(e.GetTangentAtPoint(KRNMathPoint(0, -1, 0), v));
  EXPECT_TRUE(Near3(v, KRNMathVector(1, 0, 0), 1e-15));
  KRNMathVector untouched(7, 7, 7);
  EXPECT_FALSE(e.GetTangentAtPoint(KRNMathPoint(0, 3, 0), untouched));
  EXPECT_TRUE(Exact3(untouched, KRNMathVector(7, 7, 7)));

  double k = kUnset;  // values at generic points: the random test above
  for (const KRNMathPoint& p : {KRNMathPoint(2.1, 0, 0), kOrigin, KRNMathPoint(kNaN, 0, 0)})
    EXPECT_FALSE(e.GetCurvature(p, k));
  ZRMUtEllipse nanRadius = Standard();
  nanRadius.SetMajorRadius(kNaN);
  EXPECT_FALSE(nanRadius.GetCurvature(KRNMathPoint(2, 0, 0), k));
  EXPECT_FALSE(ZRMUtEllipse(kOrigin, KRNMathI, KRNMathJ, 2.0, 1e-7).GetCurvature(KRNMathPoint(2, 0, 0), k));
  EXPECT_EQ(k, kUnset);
}

TEST(EllipsePosition, TableAndRandomPointsAgainstTheImplicitEquation) {
  const ZRMUtEllipse e = Standard();
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(2, 0, 0)), 0);
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(0, -1, 5)), 0);  // the normal component is ignored
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(kNaN, 0, 0)), 0);
  EXPECT_EQ(ZRMUtEllipse().PointPosWRTEllipse(KRNMathPoint(1, 0, 0)), 0);  // radii 0 by default
  const ZRMUtEllipse thin(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.5 * ZRMUtTolerance().LengthTol());
  for (const KRNMathPoint& p : {KRNMathPoint(3, 0, 0), kOrigin, KRNMathPoint(0, 100, 0)})
    EXPECT_EQ(thin.PointPosWRTEllipse(p), 0);

  RandomGeometry random(24);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const RandomEllipse r(random);
    const KRNMathPoint p = r.Local(random.Uniform(-2 * r.a, 2 * r.a), random.Uniform(-2 * r.b, 2 * r.b));
    const double s = r.Implicit(p);
    if (std::fabs(s - 1) < 1e-6) continue;  // too close to call
    EXPECT_EQ(r.Make().PointPosWRTEllipse(p + random.Uniform(-1, 1) * (r.x ^ r.y)), s > 1 ? 1 : -1);
  }
}

TEST(EllipseProject, RadialCasesAndRandomPointsAlongTheirRay) {
  const ZRMUtEllipse e = Standard();
  KRNMathPoint q(7, 7, 7);
  double t = kUnset;
  EXPECT_TRUE(e.ProjectPoint(KRNMathPoint(4, 0, 0), &q, &t));
  EXPECT_TRUE(Near3(q, KRNMathPoint(2, 0, 0), 1e-15));
  EXPECT_EQ(t, kUnset);  // (4, 0, 0) has no parameter
  q = KRNMathPoint(7, 7, 7);
  EXPECT_FALSE(e.ProjectPoint(kOrigin, &q, &t));
  EXPECT_TRUE(Exact3(q, KRNMathPoint(7, 7, 7)));
  EXPECT_EQ(t, 0.0);  // set by the parameter step although the projection is refused
  t = kUnset;
  EXPECT_TRUE(e.ProjectPoint(KRNMathPoint(0, 0.5, 0), &q, &t));
  EXPECT_TRUE(Near3(q, KRNMathPoint(0, 1, 0), 1e-15));
  EXPECT_NEAR(t, KRNPI / 6, 1e-15);  // the parameter of the input point, asin(0.5)
  t = kUnset;
  EXPECT_FALSE(e.ProjectPoint(KRNMathPoint(0, -0.5, 0), nullptr, &t));
  EXPECT_NEAR(t, KRNPI + KRNPI / 6, 1e-15);
  q = KRNMathPoint(7, 7, 7);
  EXPECT_FALSE(e.ProjectPoint(KRNMathPoint(kNaN, 1, 0), &q, nullptr));
  EXPECT_FALSE(e.ProjectPoint(KRNMathPoint(0, 0, 3), &q, nullptr));  // on the axis line
  EXPECT_FALSE(ZRMUtEllipse(kOrigin, KRNMathI, KRNMathJ, 0.0, 0.0).ProjectPoint(KRNMathPoint(1, 1, 0), &q, nullptr));
  EXPECT_TRUE(Exact3(q, KRNMathPoint(7, 7, 7)));

  RandomGeometry random(25);
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r(random);
    const double u = random.Uniform(-10, 10), v = random.Uniform(-10, 10), w = random.Uniform(-3, 3);
    ASSERT_TRUE(r.Make().ProjectPoint(r.Local(u, v) + w * (r.x ^ r.y), &q, nullptr));
    const double qu = (q - r.center) * r.x, qv = (q - r.center) * r.y;
    EXPECT_NEAR(r.Implicit(q), 1.0, 1e-9);
    EXPECT_NEAR((q - r.center) * (r.x ^ r.y), 0.0, 1e-9);                     // in the plane
    EXPECT_NEAR(qu * v - qv * u, 0.0, 1e-9 * (std::fabs(u) + std::fabs(v)));  // on the ray ...
    EXPECT_GT(qu * u + qv * v, 0.0);                                          // ... not behind
  }
}

// A non-finite center, frame direction or radius makes every point question refuse, with the
// outputs untouched and nothing reported, for points that the standard ellipse answers.
TEST(EllipseQuestions, NonFiniteCenterFrameOrRadiiAreRefused) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    KRNMathPoint center;
    KRNMathDirection xDir;
    double a, b;
  } cases[] = {
      {"NaN center", KRNMathPoint(kNaN, 0, 0), KRNMathI, 2.0, 1.0},
      {"infinite center", KRNMathPoint(0, -inf, 0), KRNMathI, 2.0, 1.0},
      {"NaN x direction", kOrigin, KRNMathDirection(kNaN, 0, 0), 2.0, 1.0},
      {"infinite major radius", kOrigin, KRNMathI, inf, 1.0},
      {"infinite minor radius", kOrigin, KRNMathI, 2.0, inf},
      {"both radii infinite", kOrigin, KRNMathI, inf, inf},
      {"NaN major radius", kOrigin, KRNMathI, kNaN, 1.0},
  };
  const KRNMathPoint onIt(2, 0, 0), inside(1, 0.5, 0), outside(5, 5, 0);
  const ZRMUtEllipse standard = Standard();
  double t = kUnset, k = kUnset;
  KRNMathVector v;
  KRNMathPoint q, T1, T2;
  ASSERT_TRUE(standard.GetParam(inside, &t) && standard.GetTangentAtPoint(onIt, v) && standard.GetCurvature(onIt, k) &&
              standard.PointPosWRTEllipse(outside) == 1 && standard.ProjectPoint(outside, &q, &t) &&
              standard.EvalTangentsFromExternalPoint(outside, T1, T2));
  zrmtest::AssertRecorder recorder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ZRMUtEllipse e = Standard();
    e.SetCSys(c.center, c.xDir, KRNMathJ);
    e.SetMajorRadius(c.a);
    e.SetMinorRadius(c.b);
    t = k = kUnset;
    v = KRNMathVector(7, 7, 7);
    q = T1 = T2 = KRNMathPoint(7, 7, 7);
    EXPECT_FALSE(e.GetParam(inside, &t));
    EXPECT_FALSE(e.GetTangentAtPoint(onIt, v));
    EXPECT_FALSE(e.GetCurvature(onIt, k));
    EXPECT_EQ(e.PointPosWRTEllipse(outside), 0);
    EXPECT_EQ(e.PointPosWRTEllipse(inside), 0);
    EXPECT_FALSE(e.ProjectPoint(outside, &q, &t));
    EXPECT_FALSE(e.EvalTangentsFromExternalPoint(outside, T1, T2));
    EXPECT_EQ(t, kUnset);
    EXPECT_EQ(k, kUnset);
    EXPECT_TRUE(Exact3(v, KRNMathVector(7, 7, 7)));
    EXPECT_TRUE(Exact3(q, KRNMathPoint(7, 7, 7)) && Exact3(T1, KRNMathPoint(7, 7, 7)) &&
                Exact3(T2, KRNMathPoint(7, 7, 7)));
  }
  EXPECT_TRUE(recorder.reports.empty());
}

TEST(EllipseTangentPoints, RandomOutsidePointsSeeTwoTangencyPoints) {
  RandomGeometry random(26);
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r(random);
    KRNMathPoint P;
    do {
      P = r.Local(random.Uniform(-4 * r.a, 4 * r.a), random.Uniform(-4 * r.b, 4 * r.b));
    } while (r.Implicit(P) < 1.05);
    KRNMathPoint T1, T2;
    ASSERT_TRUE(r.Make().EvalTangentsFromExternalPoint(P, T1, T2));
    for (const KRNMathPoint& T : {T1, T2}) {
      EXPECT_NEAR(r.Implicit(T), 1.0, 1e-9);  // on the ellipse
      // Tangency: T - P is orthogonal to the normal (tu/a^2, tv/b^2) at T.
      const KRNMathVector normal =
          ((T - r.center) * r.x / (r.a * r.a)) * r.x + ((T - r.center) * r.y / (r.b * r.b)) * r.y;
      EXPECT_LT(std::fabs((T - P) * normal) / ((T - P).Norm() * normal.Norm()), 1e-9);
    }
    EXPECT_GT(T1.DistanceTo(T2), 1e-6);
  }
}

TEST(EllipseTangentPoints, PointsOnInsideAndDegenerateCases) {
  const ZRMUtEllipse e = Standard();
  KRNMathPoint T1(7, 7, 7), T2(7, 7, 7);
  for (const KRNMathPoint& on : {KRNMathPoint(2, 0, 0), KRNMathPoint(0, -1, 0)}) {  // that point twice
    EXPECT_TRUE(e.EvalTangentsFromExternalPoint(on, T1, T2));
    EXPECT_TRUE(Near3(T1, on, 1e-15) && Near3(T2, on, 1e-15));
  }
  // From (4, 0): the tangency points are at x = a^2/4 = 1, y = +-sqrt(3)/2.
  EXPECT_TRUE(e.EvalTangentsFromExternalPoint(KRNMathPoint(4, 0, 0), T1, T2));
  EXPECT_TRUE(Near3(T1, KRNMathPoint(1, std::sqrt(3.0) / 2, 0), 1e-12));
  EXPECT_TRUE(Near3(T2, KRNMathPoint(1, -std::sqrt(3.0) / 2, 0), 1e-12));
  T1 = T2 = KRNMathPoint(7, 7, 7);
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(kOrigin, T1, T2));
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(KRNMathPoint(1, 0.5, 0), T1, T2));
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(KRNMathPoint(kNaN, 5, 0), T1, T2));
  const ZRMUtEllipse flat(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.0);
  EXPECT_FALSE(flat.EvalTangentsFromExternalPoint(KRNMathPoint(4, 4, 0), T1, T2));
  EXPECT_TRUE(Exact3(T1, KRNMathPoint(7, 7, 7)) && Exact3(T2, KRNMathPoint(7, 7, 7)));
}

// ----- the circle's error trap ----------------------------------------------------------------

namespace {

// A platform error that counts its destruction and the reads of its text.
class CountedError : public KRNError {
public:
  ~CountedError() override { ++destroyed; }
  const char* GetMessageText() const override {
    ++textReads;
    return "counted error";
  }
  static inline int destroyed = 0;
  static inline int textReads = 0;
};

// A platform object of another kind that records each Throw.
class OtherRaised : public KRNException {
public:
  [[noreturn]] void Throw(const char* file, int line, void* data) override {
    ++throws;
    lastFile = file;
    lastLine = line;
    lastData = data;
    KRNException::Throw(file, line, data);
  }
  int throws = 0;
  const char* lastFile = "unset";
  int lastLine = -1;
  void* lastData = this;
};

// Raises what it is told to from Visit(const ZRMUtCircle*) and Visit(const ZRMUtArc*).
class RaisingVisitor : public ZRMUtGeomVisitor {
public:
  enum Mode { RaiseError, RaiseUtError, RaiseOther, ThrowStd, ReturnTrue };
  explicit RaisingVisitor(Mode mode) : mMode(mode) {}
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCircle*) override {
    if (mMode == RaiseError) (new CountedError)->Throw("visitor", 1, nullptr);
    if (mMode == RaiseUtError) ZRMUtRaise(ZRMUtError::IndexOutOfRange, "visitor", 2);
    if (mMode == RaiseOther) {
      other = new OtherRaised;
      other->Throw("visitor", 3, &mMode);
    }
    if (mMode == ThrowStd) throw std::runtime_error("not a platform object");
    return true;
  }
  bool Visit(const ZRMUtArc*) override { ZRMUtRaise(ZRMUtError::InvalidIterator, "arc", 4); }
  OtherRaised* other = nullptr;

private:
  Mode mMode;
};

}  // namespace

TEST(CircleAcceptTrap, APlatformErrorIsDisposedOfOnceAndGivesFalse) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  CountedError::destroyed = 0;
  CountedError::textReads = 0;
  RaisingVisitor raiser(RaisingVisitor::RaiseError);
  EXPECT_FALSE(circle.Accept(&raiser));
  EXPECT_EQ(CountedError::destroyed, 1);  // flushed exactly once, no leak
  EXPECT_EQ(CountedError::textReads, 1);
  RaisingVisitor utError(RaisingVisitor::RaiseUtError);  // a KRNError kind as well
  EXPECT_FALSE(circle.Accept(&utError));
  RaisingVisitor fine(RaisingVisitor::ReturnTrue);
  EXPECT_TRUE(circle.Accept(&fine));
}

TEST(CircleAcceptTrap, AnotherPlatformKindIsRaisedAgainFromItsOwnThrow) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  RaisingVisitor raiser(RaisingVisitor::RaiseOther);
  KRNException* caught = nullptr;
  try {
    circle.Accept(&raiser);
  } catch (KRNException* raised) {
    caught = raised;
  }
  ASSERT_NE(caught, nullptr);
  KRNExceptionOwner owner(caught);
  EXPECT_EQ(caught, raiser.other);  // the same object, not a copy
  EXPECT_EQ(raiser.other->throws, 2);
  EXPECT_EQ(raiser.other->lastFile, nullptr);
  EXPECT_EQ(raiser.other->lastLine, 0);
  EXPECT_EQ(raiser.other->lastData, nullptr);
}

TEST(CircleAcceptTrap, NonPlatformExceptionsPassThroughAndOnlyTheMutableCircleTraps) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  RaisingVisitor thrower(RaisingVisitor::ThrowStd);
  EXPECT_THROW(circle.Accept(&thrower), std::runtime_error);
  RaisingVisitor raiser(RaisingVisitor::RaiseUtError);
  const zrmtest::Raised raised = zrmtest::CatchRaised([&] { std::as_const(circle).Accept(&raiser); });
  EXPECT_TRUE(raised.raised);
  EXPECT_TRUE(raised.isZRMUtError);
  EXPECT_EQ(raised.line, 2);
  ZRMUtArc arc(kOrigin, KRNMathK, 1.0, kOrigin, kOrigin);
  EXPECT_TRUE(zrmtest::CatchRaised([&] { arc.Accept(&raiser); }).raised);  // not the arc
}
