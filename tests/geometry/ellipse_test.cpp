// Ellipses against the analytic ellipse: parameters on the four quadrants and their snapping,
// tangents, curvature, inside/outside, radial projection, tangent points from outside points,
// transformations and frame setting.
#include "GeometryTestSupport.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <limits>

using geomtest::Exact3;
using geomtest::kNaN;
using geomtest::Near3;
using geomtest::RandomGeometry;

namespace {

const KRNMathPoint kOrigin(0.0, 0.0, 0.0);
const double kUnset = -123.0;

// The ellipse a = 2, b = 1 in the standard frame at the origin.
ZRMUtEllipse Standard() { return ZRMUtEllipse(kOrigin, KRNMathI, KRNMathJ, 2.0, 1.0); }

// A random ellipse with its analytic description.
struct RandomEllipse {
  KRNMathPoint center;
  KRNMathVector x;
  KRNMathVector y;
  double a;
  double b;
  ZRMUtEllipse Make() const { return ZRMUtEllipse(center, KRNMathDirection(x), KRNMathDirection(y), a, b); }
  KRNMathPoint At(double t) const { return center + a * std::cos(t) * x + b * std::sin(t) * y; }
  // Point with local coordinates (u, v) in the ellipse's plane.
  KRNMathPoint Local(double u, double v) const { return center + u * x + v * y; }
};
RandomEllipse MakeRandomEllipse(RandomGeometry& random) {
  RandomEllipse e;
  e.center = random.Point();
  const KRNMathDirection x = random.Direction();
  e.x = x;
  e.y = random.OrthogonalTo(x);
  e.a = random.Uniform(1.0, 5.0);
  e.b = random.Uniform(0.3, e.a);
  return e;
}

// Sine of the angle between two non-zero vectors.
double SineBetween(const KRNMathVector& u, const KRNMathVector& v) { return (u ^ v).Norm() / (u.Norm() * v.Norm()); }

}  // namespace

// ----- GetParam ---------------------------------------------------------------------------------

TEST(EllipseParam, VerticesGiveTheQuarterTurns) {
  const ZRMUtEllipse e = Standard();
  const struct {
    KRNMathPoint p;
    double t;
  } cases[] = {{{0, 1, 0}, KRNPIBY2}, {{-2, 0, 0}, KRNPI}, {{0, -1, 0}, 1.5 * KRNPI}, {{2, 0, 0}, 0.0}, {kOrigin, 0.0}};
  for (const auto& c : cases) {
    double t = kUnset;
    EXPECT_TRUE(e.GetParam(c.p, &t));
    EXPECT_EQ(t, c.t);
  }
}

// Random points on all four quadrants: their eccentric angle, the unit tangent along the
// derivative and the analytic curvature.
TEST(EllipseParam, RandomPointsGiveTheirAngleTangentAndCurvature) {
  RandomGeometry random(21);
  zrmtest::AssertRecorder recorder;
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r = MakeRandomEllipse(random);
    const ZRMUtEllipse e = r.Make();
    const int quadrant = static_cast<int>(i % 4);
    const double t = quadrant * KRNPIBY2 + random.Uniform(0.05, KRNPIBY2 - 0.05);
    double param = kUnset;
    ASSERT_TRUE(e.GetParam(r.At(t), &param));
    EXPECT_NEAR(param, t, 1e-7) << "quadrant " << quadrant;
    KRNMathVector v;
    ASSERT_TRUE(e.GetTangentAtPoint(r.At(t), v));
    EXPECT_NEAR(v.Norm(), 1.0, 1e-12);
    EXPECT_LT(SineBetween(v, -r.a * std::sin(t) * r.x + r.b * std::cos(t) * r.y), 1e-6);
    double k = kUnset;
    ASSERT_TRUE(e.GetCurvature(r.At(t), k));
    const double s = std::sin(t), c = std::cos(t);
    const double expected = r.a * r.b / std::pow(r.a * r.a * s * s + r.b * r.b * c * c, 1.5);
    EXPECT_NEAR(k, expected, 1e-9 * expected);
  }
  EXPECT_TRUE(recorder.reports.empty());  // the sine check is never reached by such points
}

TEST(EllipseParam, AnglesWithinZeroAngleOfTheMarksSnapOntoThem) {
  const ZRMUtEllipse e = Standard();
  const double tiny = 1e-11;  // y = tiny gives theta ~ 1e-11, below ZeroAngle
  const struct {
    KRNMathPoint p;
    double t;
  } cases[] = {{{2, tiny, 0}, 0.0},         {{-2, tiny, 0}, KRNPI},         {{-2, -tiny, 0}, KRNPI},
               {{2, -tiny, 0}, KRN2PI},     {{tiny, 1, 0}, KRNPIBY2},       {{-tiny, 1, 0}, KRNPIBY2},
               {{tiny, -1, 0}, 1.5 * KRNPI}, {{-tiny, -1, 0}, 1.5 * KRNPI}};
  for (const auto& c : cases) {
    double t = kUnset;
    EXPECT_TRUE(e.GetParam(c.p, &t));
    EXPECT_EQ(t, c.t) << c.p.x << ", " << c.p.y;
  }
  // Farther than ZeroAngle from a mark: no snapping.
  double t = kUnset;
  EXPECT_TRUE(e.GetParam(KRNMathPoint(2, 1e-6, 0), &t));
  EXPECT_GT(t, 0.0);
  EXPECT_NEAR(t, 1e-6, 1e-12);
}

TEST(EllipseParam, ModelResolutionDecidesAtTheVerticesAndRadii) {
  const ZRMUtEllipse e = Standard();
  const double r = ZRMUtTolerance().ModelResolution();
  double t = kUnset;
  EXPECT_TRUE(e.GetParam(KRNMathPoint(0, 1 + 0.5 * r, 0), &t));
  EXPECT_EQ(t, KRNPIBY2);
  t = kUnset;
  EXPECT_FALSE(e.GetParam(KRNMathPoint(0, 1 + 2 * r, 0), &t));
  EXPECT_EQ(t, kUnset);
  EXPECT_TRUE(e.GetParam(KRNMathPoint(2 + 0.5 * r, 0, 0), &t));
  EXPECT_EQ(t, 0.0);
  t = kUnset;
  EXPECT_FALSE(e.GetParam(KRNMathPoint(2 + 2 * r, 0, 0), &t));
  EXPECT_FALSE(e.GetParam(KRNMathPoint(-2 - 2 * r, 0, 0), &t));
  EXPECT_EQ(t, kUnset);

  const ZRMUtEllipse thin(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.5 * r);
  const ZRMUtEllipse zero(kOrigin, KRNMathI, KRNMathJ, 0.0, 1.0);
  EXPECT_FALSE(thin.GetParam(KRNMathPoint(2, 0, 0), &t));
  EXPECT_FALSE(zero.GetParam(KRNMathPoint(0, 1, 0), &t));
  EXPECT_EQ(t, kUnset);
}

TEST(EllipseParam, DistancesAreThreeDimensionalAndBadInputIsRefused) {
  const ZRMUtEllipse e = Standard();
  double t = kUnset;
  EXPECT_TRUE(e.GetParam(KRNMathPoint(0, 0.6, 0.8), &t));  // 3-D distance 1 from the x axis line
  EXPECT_NEAR(t, KRNPIBY2, 1e-15);
  EXPECT_FALSE(e.GetParam(KRNMathPoint(0, 0.6, 0.9), &t));
  EXPECT_TRUE(e.GetParam(KRNMathPoint(1, 0.5, 0), nullptr));  // no output wanted

  t = kUnset;
  EXPECT_FALSE(e.GetParam(KRNMathPoint(kNaN, 0, 0), &t));
  EXPECT_FALSE(e.GetParam(KRNMathPoint(0, 0, kNaN), &t));
  EXPECT_FALSE(e.GetParam(KRNMathPoint(std::numeric_limits<double>::infinity(), 0, 0), &t));
  ZRMUtEllipse nanRadius = Standard();
  nanRadius.SetMinorRadius(kNaN);
  EXPECT_FALSE(nanRadius.GetParam(kOrigin, &t));
  EXPECT_EQ(t, kUnset);
}

// ----- tangent and curvature --------------------------------------------------------------------

TEST(EllipseTangent, VertexTangentsAreTheAxes) {
  const ZRMUtEllipse e = Standard();
  KRNMathVector v;
  EXPECT_TRUE(e.GetTangentAtPoint(KRNMathPoint(-2, 0, 0), v));
  EXPECT_TRUE(Near3(v, KRNMathVector(0, 1, 0), 1e-15));
  EXPECT_TRUE(e.GetTangentAtPoint(KRNMathPoint(0, -1, 0), v));
  EXPECT_TRUE(Near3(v, KRNMathVector(1, 0, 0), 1e-15));

  KRNMathVector untouched(7, 7, 7);
  EXPECT_FALSE(e.GetTangentAtPoint(KRNMathPoint(0, 3, 0), untouched));
  EXPECT_TRUE(Exact3(untouched, KRNMathVector(7, 7, 7)));
}

TEST(EllipseCurvature, VerticesGiveAOverBSquaredAndBOverASquared) {
  const ZRMUtEllipse e = Standard();
  double k = kUnset;
  EXPECT_TRUE(e.GetCurvature(KRNMathPoint(2, 0, 0), k));
  EXPECT_DOUBLE_EQ(k, 2.0);
  EXPECT_TRUE(e.GetCurvature(KRNMathPoint(0, 1, 0), k));
  EXPECT_DOUBLE_EQ(k, 0.25);
  EXPECT_TRUE(e.GetCurvature(KRNMathPoint(-2, 0, 0), k));
  EXPECT_DOUBLE_EQ(k, 2.0);
}

TEST(EllipseCurvature, PointsOffTheEllipseAndTinyOrNaNRadiiAreRefused) {
  const ZRMUtEllipse e = Standard();
  double k = kUnset;
  EXPECT_FALSE(e.GetCurvature(KRNMathPoint(2.1, 0, 0), k));
  EXPECT_FALSE(e.GetCurvature(kOrigin, k));
  EXPECT_FALSE(e.GetCurvature(KRNMathPoint(kNaN, 0, 0), k));
  const ZRMUtEllipse tiny(kOrigin, KRNMathI, KRNMathJ, 2.0, 1e-7);
  EXPECT_FALSE(tiny.GetCurvature(KRNMathPoint(2, 0, 0), k));
  ZRMUtEllipse nanRadius = Standard();
  nanRadius.SetMajorRadius(kNaN);
  EXPECT_FALSE(nanRadius.GetCurvature(KRNMathPoint(2, 0, 0), k));
  EXPECT_EQ(k, kUnset);
}

// ----- inside / outside -------------------------------------------------------------------------

TEST(EllipsePosition, TableOfPositions) {
  const ZRMUtEllipse e = Standard();
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(3, 0, 0)), 1);
  EXPECT_EQ(e.PointPosWRTEllipse(kOrigin), -1);
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(2, 0, 0)), 0);
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(0, -1, 5)), 0);  // the normal component is ignored
  EXPECT_EQ(e.PointPosWRTEllipse(KRNMathPoint(kNaN, 0, 0)), 0);
  const ZRMUtEllipse thin(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.5 * ZRMUtTolerance().LengthTol());
  for (const KRNMathPoint& p : {KRNMathPoint(3, 0, 0), kOrigin, KRNMathPoint(0, 100, 0)})
    EXPECT_EQ(thin.PointPosWRTEllipse(p), 0);
}

TEST(EllipsePosition, RandomPointsAgreeWithTheImplicitEquation) {
  RandomGeometry random(24);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const RandomEllipse r = MakeRandomEllipse(random);
    const ZRMUtEllipse e = r.Make();
    const double u = random.Uniform(-2 * r.a, 2 * r.a), v = random.Uniform(-2 * r.b, 2 * r.b);
    const double s = u * u / (r.a * r.a) + v * v / (r.b * r.b);
    if (std::fabs(s - 1) < 1e-6) continue;  // too close to call
    EXPECT_EQ(e.PointPosWRTEllipse(r.Local(u, v) + random.Uniform(-1, 1) * (r.x ^ r.y)), s > 1 ? 1 : -1);
  }
}

// ----- radial projection ------------------------------------------------------------------------

TEST(EllipseProject, TableOfRadialCases) {
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
  const ZRMUtEllipse collapsed(kOrigin, KRNMathI, KRNMathJ, 0.0, 0.0);
  EXPECT_FALSE(collapsed.ProjectPoint(KRNMathPoint(1, 1, 0), &q, nullptr));
  EXPECT_TRUE(Exact3(q, KRNMathPoint(7, 7, 7)));
}

TEST(EllipseProject, RandomPointsLandOnTheEllipseAlongTheirRay) {
  RandomGeometry random(25);
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r = MakeRandomEllipse(random);
    const ZRMUtEllipse e = r.Make();
    const double u = random.Uniform(-10, 10), v = random.Uniform(-10, 10), w = random.Uniform(-3, 3);
    KRNMathPoint q;
    ASSERT_TRUE(e.ProjectPoint(r.Local(u, v) + w * (r.x ^ r.y), &q, nullptr));
    const double qu = (q - r.center) * r.x, qv = (q - r.center) * r.y;
    EXPECT_NEAR(qu * qu / (r.a * r.a) + qv * qv / (r.b * r.b), 1.0, 1e-9);
    EXPECT_NEAR((q - r.center) * (r.x ^ r.y), 0.0, 1e-9);  // in the plane
    EXPECT_NEAR(qu * v - qv * u, 0.0, 1e-9 * (std::fabs(u) + std::fabs(v)));  // on the ray ...
    EXPECT_GT(qu * u + qv * v, 0.0);                                         // ... not behind
  }
}

// ----- tangent points from an outside point -----------------------------------------------------

TEST(EllipseTangentPoints, RandomOutsidePointsSeeTwoTangencyPoints) {
  RandomGeometry random(26);
  for (long i = 0; i < zrmtest::Scaled(400); ++i) {
    const RandomEllipse r = MakeRandomEllipse(random);
    const ZRMUtEllipse e = r.Make();
    double u = 0, v = 0;
    do {
      u = random.Uniform(-4 * r.a, 4 * r.a);
      v = random.Uniform(-4 * r.b, 4 * r.b);
    } while (u * u / (r.a * r.a) + v * v / (r.b * r.b) < 1.05);
    const KRNMathPoint P = r.Local(u, v);
    KRNMathPoint T1, T2;
    ASSERT_TRUE(e.EvalTangentsFromExternalPoint(P, T1, T2));
    for (const KRNMathPoint& T : {T1, T2}) {
      const double tu = (T - r.center) * r.x, tv = (T - r.center) * r.y;
      EXPECT_NEAR(tu * tu / (r.a * r.a) + tv * tv / (r.b * r.b), 1.0, 1e-9);  // on the ellipse
      // Tangency: T - P is orthogonal to the normal (tu/a^2, tv/b^2) at T.
      const KRNMathVector normal = (tu / (r.a * r.a)) * r.x + (tv / (r.b * r.b)) * r.y;
      const KRNMathVector toT = T - P;
      EXPECT_LT(std::fabs(toT * normal) / (toT.Norm() * normal.Norm()), 1e-9);
    }
    EXPECT_GT(T1.DistanceTo(T2), 1e-6);
  }
}

TEST(EllipseTangentPoints, PointsOnInsideAndDegenerateCases) {
  const ZRMUtEllipse e = Standard();
  KRNMathPoint T1(7, 7, 7), T2(7, 7, 7);
  EXPECT_TRUE(e.EvalTangentsFromExternalPoint(KRNMathPoint(2, 0, 0), T1, T2));
  EXPECT_TRUE(Near3(T1, KRNMathPoint(2, 0, 0), 1e-15));
  EXPECT_TRUE(Near3(T2, KRNMathPoint(2, 0, 0), 1e-15));
  EXPECT_TRUE(e.EvalTangentsFromExternalPoint(KRNMathPoint(0, -1, 0), T1, T2));
  EXPECT_TRUE(Near3(T1, KRNMathPoint(0, -1, 0), 1e-15));
  EXPECT_TRUE(Near3(T2, KRNMathPoint(0, -1, 0), 1e-15));

  // From (4, 0): the tangency points are at x = a^2/4 = 1, y = +-sqrt(3)/2.
  EXPECT_TRUE(e.EvalTangentsFromExternalPoint(KRNMathPoint(4, 0, 0), T1, T2));
  EXPECT_TRUE(Near3(T1, KRNMathPoint(1, std::sqrt(3.0) / 2, 0), 1e-12));
  EXPECT_TRUE(Near3(T2, KRNMathPoint(1, -std::sqrt(3.0) / 2, 0), 1e-12));

  T1 = T2 = KRNMathPoint(7, 7, 7);
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(kOrigin, T1, T2));
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(KRNMathPoint(1, 0.5, 0), T1, T2));
  EXPECT_FALSE(e.EvalTangentsFromExternalPoint(KRNMathPoint(kNaN, 5, 0), T1, T2));
  const ZRMUtEllipse thin(kOrigin, KRNMathI, KRNMathJ, 2.0, 0.0);
  EXPECT_FALSE(thin.EvalTangentsFromExternalPoint(KRNMathPoint(4, 4, 0), T1, T2));
  EXPECT_TRUE(Exact3(T1, KRNMathPoint(7, 7, 7)));
  EXPECT_TRUE(Exact3(T2, KRNMathPoint(7, 7, 7)));
}

// ----- transformations --------------------------------------------------------------------------

TEST(EllipseTransform, RigidMotionsCommuteWithEvaluationAndPointQuestions) {
  geomtest::ExpectRigidMotionsCommute(
      27, 200, [](RandomGeometry& random) { return MakeRandomEllipse(random).Make(); },
      [](const ZRMUtEllipse& e, double t) {
        KRNMathPoint p;
        e.EvalPoint(t, p);
        return p;
      },
      1e-9,
      [](const ZRMUtEllipse& e, const ZRMUtEllipse& moved, const KRNMathTransformation& motion, RandomGeometry& random) {
        EXPECT_EQ(moved.GetMajorRadius(), e.GetMajorRadius());
        EXPECT_EQ(moved.GetMinorRadius(), e.GetMinorRadius());
        const double t = random.Uniform(0.05, KRNPIBY2 - 0.05) + std::floor(random.Uniform(0, 4)) * KRNPIBY2;
        KRNMathPoint before;
        e.EvalPoint(t, before);
        double param = kUnset;
        ASSERT_TRUE(moved.GetParam(motion * before, &param));
        EXPECT_NEAR(param, t, 1e-6);
        const KRNMathPoint outside = e.Center() + 2 * e.GetMajorRadius() * KRNMathVector(e.XDir()) + 0.1 * KRNMathVector(e.YDir());
        EXPECT_EQ(moved.PointPosWRTEllipse(motion * outside), 1);
        EXPECT_EQ(moved.PointPosWRTEllipse(motion * e.Center()), -1);
      });
}

TEST(EllipseTransform, UniformScalingMultipliesBothRadiiOtherMapsKeepThem) {
  RandomGeometry random(28);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const RandomEllipse r = MakeRandomEllipse(random);
    const ZRMUtEllipse e = r.Make();
    const KRNMathTransformation scaling = geomtest::Scaling(2.0, random.Point());
    ZRMUtEllipse scaled(e);
    scaled.ApplyTransformation(scaling);
    EXPECT_NEAR(scaled.GetMajorRadius(), 2 * r.a, 1e-12);
    EXPECT_NEAR(scaled.GetMinorRadius(), 2 * r.b, 1e-12);
    const double t = random.Uniform(0, KRN2PI);
    KRNMathPoint before, after;
    e.EvalPoint(t, before);
    scaled.EvalPoint(t, after);
    EXPECT_TRUE(Near3(after, scaling * before, 1e-9));
  }
  for (const KRNMathTransformation& map :
       {KRNMathTransformation(), geomtest::Linear(KRNMathVector(2, 0, 0), KRNMathVector(0, 1, 0), KRNMathVector(0, 0, 1)),
        geomtest::Mirror(kOrigin, KRNMathJ), KRNMathTransformation(KRNMathVector(1, 2, 3))}) {
    ZRMUtEllipse e = Standard();
    e.ApplyTransformation(map);
    EXPECT_EQ(e.GetMajorRadius(), 2.0);
    EXPECT_EQ(e.GetMinorRadius(), 1.0);
  }
}

TEST(EllipseTransform, MirroringKeepsTheImagePointsAndARightHandedFrame) {
  ZRMUtEllipse e(KRNMathPoint(1, 2, 3), KRNMathI, KRNMathJ, 3.0, 1.0);
  const KRNMathTransformation mirror = geomtest::Mirror(kOrigin, KRNMathJ);
  ZRMUtEllipse mirrored(e);
  mirrored.ApplyTransformation(mirror);
  EXPECT_TRUE(geomtest::RightHandedOrthonormal(mirrored.XDir(), mirrored.YDir(), mirrored.ZDir(), 1e-15));
  EXPECT_TRUE(Exact3(mirrored.Axis(), KRNMathVector(0, 0, -1)));
  for (double t : {0.3, 1.9, 4.0}) {
    KRNMathPoint before, after;
    e.EvalPoint(t, before);
    mirrored.EvalPoint(t, after);
    EXPECT_TRUE(Near3(after, mirror * before, 1e-12));
  }
}

// ----- frame, accessors, copies, visiting -------------------------------------------------------

TEST(EllipseFrame, SetCSysStoresTheFrameWithoutAReport) {
  zrmtest::AssertRecorder recorder;
  ZRMUtEllipse e = Standard();
  e.SetCSys(KRNMathPoint(1, 1, 1), KRNMathJ, KRNMathJ);
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_TRUE(Exact3(e.Center(), KRNMathPoint(1, 1, 1)));
  EXPECT_TRUE(Exact3(e.XDir(), KRNMathVector(0, 1, 0)));
  EXPECT_TRUE(Exact3(e.YDir(), KRNMathVector(0, 1, 0)));
  EXPECT_TRUE(Exact3(e.ZDir(), KRNMathVector(1, 0, 0)));

  e.SetCSys(KRNMathPoint(0, 0, 5), KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(geomtest::Coords(e, &ZRMUtEllipse::AxisCoord), KRNMathVector(1, 0, 0)));
  KRNMathPoint p;
  e.EvalPoint(KRNPIBY2, p);
  EXPECT_TRUE(Near3(p, KRNMathPoint(0, 0, 6), 1e-15));

  e.SetCenter(KRNMathPoint(9, 9, 9));
  EXPECT_TRUE(Exact3(e.Center(), KRNMathPoint(9, 9, 9)));

  const ZRMUtEllipse skewed(kOrigin, KRNMathI, KRNMathDirection(1, 1, 0), 2.0, 1.0);
  ASSERT_EQ(recorder.reports.size(), 2u);  // the constructor's one report (assertion, runtime text)
  EXPECT_EQ(recorder.reports[0].expression, "mXDir.IsOrthogonal(mYDir)");
}

TEST(EllipseValue, DefaultIsEmpty) {
  const ZRMUtEllipse empty;
  EXPECT_EQ(empty.GetMajorRadius(), 0.0);
  EXPECT_EQ(empty.GetMinorRadius(), 0.0);
  EXPECT_EQ(empty.PointPosWRTEllipse(KRNMathPoint(1, 0, 0)), 0);
  ZRMUtEllipse_Ptr held(new ZRMUtEllipse);  // value assignment keeps the target's own count
  *held = Standard();
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_EQ(held->GetMajorRadius(), 2.0);
  EXPECT_EQ(held->GetMinorRadius(), 1.0);
}
