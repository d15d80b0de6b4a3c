// Point, line and plane against analytic values: evaluation, feet of perpendiculars, tangents,
// projections, transformations and the plane's constructors.
#include "GeometryTestSupport.h"
#include "ZRMUtCSys.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtTolerance.h"

#include <cmath>

using geomtest::Coords;
using geomtest::Exact3;
using geomtest::kNaN;
using geomtest::Near3;

namespace {

TEST(PointTest, ValueAccessAndTransformation) {
  ZRMUtPoint point(KRNMathPoint(1.0, 2.0, 3.0));
  EXPECT_TRUE(Exact3(Coords(point, &ZRMUtPoint::Coord), KRNMathPoint(1.0, 2.0, 3.0)));
  point.SetPoint(KRNMathPoint(-1.0, 0.5, 4.0));
  EXPECT_TRUE(Exact3(point.Point(), KRNMathPoint(-1.0, 0.5, 4.0)));
  geomtest::RandomGeometry random(5);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const KRNMathTransformation motion = random.RigidMotion();
    const KRNMathPoint before = point.Point();
    point.ApplyTransformation(motion);
    EXPECT_TRUE(Exact3(point.Point(), motion * before));
  }
}

TEST(LineTest, DirectionIsStoredAsGivenArcLengthAndEvaluation) {
  KRNMathDirection raw;
  raw.x = 2.0;  // written directly: not a unit direction
  const ZRMUtLine unnormalised(KRNMathPoint(1.0, 2.0, 3.0), raw);
  EXPECT_TRUE(Exact3(Coords(unnormalised, &ZRMUtLine::PointCoord), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(Coords(unnormalised, &ZRMUtLine::DirectionCoord), KRNMathVector(2.0, 0.0, 0.0)));

  const ZRMUtLine line(KRNMathPoint(1.0, 1.0, 0.0), KRNMathDirection(0.6, 0.8, 0.0));
  EXPECT_EQ(line.ArcLength(2.0, 5.0), 3.0);
  EXPECT_EQ(line.ArcLength(5.0, 2.0), 3.0);
  EXPECT_EQ(line.ArcLength(-1.5, -1.5), 0.0);
  KRNMathPoint p;
  EXPECT_TRUE(line.EvalPoint(0.0, p, nullptr));
  EXPECT_TRUE(Exact3(p, line.Point()));
  KRNMathDirection tangent(0.0, 0.0, 1.0);
  EXPECT_TRUE(line.EvalPoint(5.0, p, &tangent));
  EXPECT_TRUE(Near3(p, KRNMathPoint(4.0, 5.0, 0.0), 1e-14));
  EXPECT_TRUE(Exact3(tangent, line.Direction()));
  EXPECT_TRUE(line.EvalPoint(-5.0, p, nullptr));
  EXPECT_TRUE(Near3(p, KRNMathPoint(-2.0, -3.0, 0.0), 1e-14));
}

TEST(LineTest, TangentWithinTheModelResolution) {
  const ZRMUtLine line(KRNMathPoint(0.0, 0.0, 0.0), KRNMathI);
  const double resolution = ZRMUtTolerance().ModelResolution();
  const struct {
    KRNMathPoint point;
    bool onLine;
  } probes[] = {
      {KRNMathPoint(3.0, 0.0, 0.0), true},           {KRNMathPoint(-7.0, 0.0, 0.0), true},
      {KRNMathPoint(2.0, 0.5 * resolution, 0.0), true}, {KRNMathPoint(2.0, 0.0, -0.99 * resolution), true},
      {KRNMathPoint(2.0, 1.01 * resolution, 0.0), false}, {KRNMathPoint(2.0, 1.0, 1.0), false},
      {KRNMathPoint(kNaN, 0.0, 0.0), false},
  };
  for (const auto& probe : probes) {
    KRNMathVector tangent(9.0, 9.0, 9.0);
    EXPECT_EQ(line.GetTangentAtPoint(probe.point, tangent), probe.onLine) << probe.point.x << " " << probe.point.y;
    EXPECT_TRUE(Exact3(tangent, KRNMathI));  // written either way
  }
}

TEST(LineTest, FootOfPerpendicularAgainstTheAnalyticFoot) {
  geomtest::RandomGeometry random(99);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    ZRMUtLine line(random.Point(), random.Direction());
    const KRNMathPoint p = random.Point();
    const KRNMathVector d(line.Direction());
    const double t = (p - line.Point()) * d;
    const KRNMathPoint expected = line.Point() + t * d;
    KRNMathPoint foot, projected;
    double param = kNaN;
    ASSERT_TRUE(line.PointOnLine(p, &foot));
    EXPECT_TRUE(Near3(foot, expected, 1e-12));
    EXPECT_NEAR((p - foot) * d, 0.0, 1e-11);
    ASSERT_TRUE(line.ProjectPoint(p, &projected, &param));
    EXPECT_TRUE(Near3(projected, expected, 1e-12));
    EXPECT_NEAR(param, t, 1e-12);
  }
}

TEST(LineTest, NullOutputsGiveFalseAndWriteNothing) {
  ZRMUtLine line(KRNMathPoint(), KRNMathK);
  EXPECT_FALSE(line.PointOnLine(KRNMathPoint(1.0, 1.0, 1.0), nullptr));
  double param = 42.0;
  EXPECT_FALSE(line.ProjectPoint(KRNMathPoint(1.0, 1.0, 1.0), nullptr, &param));
  EXPECT_EQ(param, 42.0);
  KRNMathPoint foot(5.0, 5.0, 5.0);
  EXPECT_TRUE(line.ProjectPoint(KRNMathPoint(1.0, 1.0, 1.0), &foot, nullptr));
  EXPECT_TRUE(Near3(foot, KRNMathPoint(0.0, 0.0, 1.0), 1e-15));

  const KRNMathLine segment(KRNMathPoint(), KRNMathPoint(1.0, 0.0, 0.0));
  foot = KRNMathPoint(7.0, 7.0, 7.0);
  param = 7.0;
  bool within = true;
  EXPECT_FALSE(ZRMUtLine::PointOnLine(KRNMathPoint(), segment, nullptr, &param, &within));
  EXPECT_FALSE(ZRMUtLine::PointOnLine(KRNMathPoint(), segment, &foot, nullptr, &within));
  EXPECT_TRUE(within);
  EXPECT_EQ(param, 7.0);
  EXPECT_TRUE(Exact3(foot, KRNMathPoint(7.0, 7.0, 7.0)));
}

TEST(LineTest, StaticPointOnLineTable) {
  const KRNMathLine segment(KRNMathPoint(1.0, 0.0, 0.0), KRNMathPoint(5.0, 0.0, 0.0));  // length 4 along +x
  const KRNMathLine degenerate(KRNMathPoint(1.0, 2.0, 3.0), KRNMathVector());  // stands for its origin
  const struct {
    const char* name;
    const KRNMathLine& line;
    KRNMathPoint point;
    double param;
    bool within;
    KRNMathPoint foot;
  } cases[] = {
      {"at origin", segment, {1.0, 0.0, 0.0}, 0.0, true, {1.0, 0.0, 0.0}},
      {"inside", segment, {3.0, 2.0, -1.0}, 2.0, true, {3.0, 0.0, 0.0}},
      {"at end", segment, {5.0, 1.0, 0.0}, 4.0, true, {5.0, 0.0, 0.0}},
      {"behind", segment, {-1.0, 3.0, 0.0}, -2.0, false, {-1.0, 0.0, 0.0}},
      {"beyond", segment, {6.5, 0.0, 2.0}, 5.5, false, {6.5, 0.0, 0.0}},
      {"zero direction", degenerate, {4.0, 4.0, 4.0}, 0.0, true, {1.0, 2.0, 3.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    KRNMathPoint foot;
    double param = kNaN;
    bool within = !c.within;
    EXPECT_TRUE(ZRMUtLine::PointOnLine(c.point, c.line, &foot, &param, &within));
    EXPECT_NEAR(param, c.param, 1e-14);
    EXPECT_EQ(within, c.within);
    EXPECT_TRUE(Near3(foot, c.foot, 1e-14));
    EXPECT_TRUE(ZRMUtLine::PointOnLine(c.point, c.line, &foot, &param, nullptr));
  }
  KRNMathPoint foot;
  double param = 0.0;
  bool within = true;  // a NaN parameter is not within
  EXPECT_TRUE(ZRMUtLine::PointOnLine(KRNMathPoint(kNaN, 0.0, 0.0), segment, &foot, &param, &within));
  EXPECT_TRUE(std::isnan(param));
  EXPECT_FALSE(within);
}

TEST(LineTest, TransformationKeepsExactUnitDirectionsAndRenormalisesOthers) {
  ZRMUtLine line(KRNMathPoint(1.0, 2.0, 3.0), KRNMathK);
  line.ApplyTransformation(KRNMathTransformation(KRNMathVector(0.5, -1.0, 2.0)));
  EXPECT_TRUE(Exact3(line.Point(), KRNMathPoint(1.5, 1.0, 5.0)));
  EXPECT_TRUE(Exact3(line.Direction(), KRNMathK));

  ZRMUtLine slanted(KRNMathPoint(1.0, 0.0, 0.0), KRNMathDirection(0.0, 0.6, 0.8));
  slanted.ApplyTransformation(geomtest::Scaling(3.0));
  EXPECT_TRUE(Exact3(slanted.Point(), KRNMathPoint(3.0, 0.0, 0.0)));
  EXPECT_NEAR(KRNMathVector(slanted.Direction()).Norm(), 1.0, 1e-15);
  EXPECT_TRUE(Near3(slanted.Direction(), KRNMathVector(0.0, 0.6, 0.8), 1e-15));

  ZRMUtLine collapsed(KRNMathPoint(1.0, 1.0, 1.0), KRNMathJ);
  collapsed.ApplyTransformation(geomtest::Linear(KRNMathVector(1, 0, 0), KRNMathVector(), KRNMathVector(0, 0, 1)));
  EXPECT_TRUE(Exact3(collapsed.Direction(), KRNMathI));
  EXPECT_TRUE(Exact3(collapsed.Point(), KRNMathPoint(1.0, 0.0, 1.0)));
}

TEST(LineTest, RigidMotionsCommuteWithEvaluation) {
  geomtest::ExpectRigidMotionsCommute(
      31337, 300, [](geomtest::RandomGeometry& r) { return ZRMUtLine(r.Point(), r.Direction()); },
      [](const ZRMUtLine& line, double t) {
        KRNMathPoint p;
        line.EvalPoint(6.0 * t, p, nullptr);
        return p;
      },
      1e-11,
      [](const ZRMUtLine&, const ZRMUtLine& moved, const KRNMathTransformation&, geomtest::RandomGeometry& r) {
        EXPECT_NEAR(KRNMathVector(moved.Direction()).Norm(), 1.0, 1e-14);
        KRNMathPoint p;
        moved.EvalPoint(r.Uniform(-20.0, 20.0), p, nullptr);
        KRNMathVector tangent;
        EXPECT_TRUE(moved.GetTangentAtPoint(p, tangent));  // a point on the moved line is on it
      });
}

TEST(PlaneTest, FromPlatformPlaneWithUnitOrthogonalDirectionsRoundTrips) {
  geomtest::RandomGeometry random(8);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const KRNMathDirection u = random.Direction();
    const KRNMathDirection v = random.OrthogonalTo(u);
    const KRNMathPlane source(random.Point(), KRNMathVector(u), KRNMathVector(v));
    zrmtest::AssertRecorder recorder;
    const ZRMUtPlane plane(source);
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_TRUE(Near3(plane.Normal(), KRNMathVector(plane.XDir()) ^ KRNMathVector(plane.YDir()), 1e-15));
    const KRNMathPlane back = plane.Plane();
    EXPECT_TRUE(Exact3(back.GetOrigin(), source.GetOrigin()));
    EXPECT_TRUE(Near3(back.GetFirstDirection(), source.GetFirstDirection(), 1e-15));
    EXPECT_TRUE(Near3(back.GetSecondDirection(), source.GetSecondDirection(), 1e-15));
  }
}

TEST(PlaneTest, FromPlatformPlaneNormalisesButDoesNotOrthogonalise) {
  zrmtest::AssertRecorder recorder;
  const ZRMUtPlane skew(KRNMathPlane(KRNMathPoint(1.0, 2.0, 3.0), KRNMathVector(3.0, 0.0, 0.0), KRNMathVector(1.0, 1.0, 0.0)));
  EXPECT_TRUE(recorder.reports.empty());  // no report on this path
  EXPECT_TRUE(Exact3(skew.XDir(), KRNMathI));
  EXPECT_TRUE(Near3(skew.YDir(), KRNMathVector(std::sqrt(0.5), std::sqrt(0.5), 0.0), 1e-15));
  EXPECT_TRUE(Near3(skew.Normal(), KRNMathK, 1e-15));  // unit direction of x cross y

  const ZRMUtPlane zeroFirst(KRNMathPlane(KRNMathPoint(), KRNMathVector(), KRNMathVector(0.0, 2.0, 0.0)));
  EXPECT_TRUE(Exact3(zeroFirst.XDir(), KRNMathI));
  EXPECT_TRUE(Exact3(zeroFirst.YDir(), KRNMathJ));
  EXPECT_TRUE(Exact3(zeroFirst.Normal(), KRNMathK));
  const ZRMUtPlane parallel(KRNMathPlane(KRNMathPoint(), KRNMathVector(0.0, 0.0, 2.0), KRNMathVector(0.0, 0.0, -1.0)));
  EXPECT_TRUE(Exact3(parallel.Normal(), KRNMathI));
}

TEST(PlaneTest, DirectionConstructorsFollowTheCoordinateSystem) {
  zrmtest::AssertRecorder recorder;
  const ZRMUtPlane byNormal(KRNMathPoint(0.0, 0.0, 2.0), KRNMathJ);
  EXPECT_TRUE(Near3(byNormal.XDir(), KRNMathK, 1e-15));
  EXPECT_TRUE(Near3(byNormal.YDir(), KRNMathI, 1e-15));
  EXPECT_TRUE(Exact3(Coords(byNormal, &ZRMUtPlane::NormalCoord), KRNMathJ));
  const ZRMUtPlane byAxes(KRNMathPoint(), KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(byAxes.Normal(), KRNMathI));
  EXPECT_TRUE(recorder.reports.empty());
  const ZRMUtPlane skew(KRNMathPoint(), KRNMathJ, KRNMathDirection(0.0, 1.0, 1.0));
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].message, "ZRMUtCSys non-orthogonal directions in.");
  EXPECT_EQ(recorder.reports[0].line, 33);
}

TEST(PlaneTest, TransformsAsACoordinateSystem) {
  geomtest::RandomGeometry random(4);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    ZRMUtPlane plane(random.Point(), random.Direction());
    ZRMUtCSys frame(plane.Point(), plane.XDir(), plane.YDir());
    const KRNMathTransformation motion = random.RigidMotion();
    plane.ApplyTransformation(motion);
    frame.ApplyTransformation(motion);
    EXPECT_TRUE(Exact3(plane.Point(), frame.Point()));
    EXPECT_TRUE(Exact3(plane.XDir(), frame.XDir()));
    EXPECT_TRUE(Exact3(plane.YDir(), frame.YDir()));
    EXPECT_TRUE(Exact3(plane.Normal(), frame.ZDir()));
  }
}

}  // namespace
