// Point, line and plane against analytic values: evaluation, feet of perpendiculars, tangents,
// projections, transformations and the plane's constructors.
#include "GeometryTestSupport.h"
#include "ZRMTestSupport.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <limits>
#include <utility>

using geomtest::Exact3;
using geomtest::Near3;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

KRNMathTransformation Scaling(double factor) {
  return KRNMathTransformation(KRNMath3x3Matrix(KRNMathVector(factor, 0, 0), KRNMathVector(0, factor, 0),
                                                KRNMathVector(0, 0, factor)));
}

// ---- point ----

TEST(PointTest, ValueAccessAndTransformation) {
  ZRMUtPoint point(KRNMathPoint(1.0, 2.0, 3.0));
  double x = 0, y = 0, z = 0;
  point.Coord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathPoint(x, y, z), KRNMathPoint(1.0, 2.0, 3.0)));
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

TEST(PointTest, MovesBehaveAsCopies) {
  ZRMUtPoint source(KRNMathPoint(1.0, 2.0, 3.0));
  ZRMUtPoint moved(std::move(source));
  EXPECT_TRUE(Exact3(moved.Point(), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(source.Point(), KRNMathPoint(1.0, 2.0, 3.0)));  // the source is kept
  ZRMUtPoint target(KRNMathPoint(0.0, 0.0, 0.0));
  target = std::move(moved);
  EXPECT_TRUE(Exact3(target.Point(), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(moved.Point(), KRNMathPoint(1.0, 2.0, 3.0)));
}

TEST(PointTest, CloneIsIndependent) {
  ZRMUtPoint point(KRNMathPoint(1.0, 2.0, 3.0));
  ZRMUtGeometry_Ptr clone = point.Clone();
  clone->ApplyTransformation(KRNMathTransformation(KRNMathVector(1.0, 1.0, 1.0)));
  EXPECT_TRUE(Exact3(point.Point(), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(clone->AsPoint()->Point(), KRNMathPoint(2.0, 3.0, 4.0)));
}

// ---- line ----

TEST(LineTest, ConstructionStoresTheDirectionAsGiven) {
  KRNMathDirection raw;
  raw.x = 2.0;  // written directly: not a unit direction
  const ZRMUtLine line(KRNMathPoint(1.0, 2.0, 3.0), raw);
  EXPECT_TRUE(Exact3(line.Direction(), KRNMathVector(2.0, 0.0, 0.0)));
  double x = 0, y = 0, z = 0;
  line.PointCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathPoint(x, y, z), KRNMathPoint(1.0, 2.0, 3.0)));
  line.DirectionCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathVector(x, y, z), KRNMathVector(2.0, 0.0, 0.0)));
}

TEST(LineTest, ArcLengthAndEvaluation) {
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
  struct Probe {
    KRNMathPoint point;
    bool onLine;
  };
  const Probe probes[] = {
      {KRNMathPoint(3.0, 0.0, 0.0), true},
      {KRNMathPoint(-7.0, 0.0, 0.0), true},
      {KRNMathPoint(2.0, 0.5 * resolution, 0.0), true},
      {KRNMathPoint(2.0, 0.0, -0.99 * resolution), true},
      {KRNMathPoint(2.0, 1.01 * resolution, 0.0), false},
      {KRNMathPoint(2.0, 1.0, 1.0), false},
      {KRNMathPoint(kNaN, 0.0, 0.0), false},
  };
  for (const Probe& probe : probes) {
    KRNMathVector tangent(9.0, 9.0, 9.0);
    EXPECT_EQ(line.GetTangentAtPoint(probe.point, tangent), probe.onLine) << probe.point.x << " " << probe.point.y;
    EXPECT_TRUE(Exact3(tangent, KRNMathI));  // written either way
  }
}

TEST(LineTest, FootOfPerpendicularAgainstTheAnalyticFoot) {
  geomtest::RandomGeometry random(99);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const ZRMUtLine line(random.Point(), random.Direction());
    const KRNMathPoint p = random.Point();
    const KRNMathVector d(line.Direction());
    const double t = (p - line.Point()) * d;
    const KRNMathPoint expected = line.Point() + t * d;

    KRNMathPoint foot;
    ASSERT_TRUE(line.PointOnLine(p, &foot));
    EXPECT_TRUE(Near3(foot, expected, 1e-12));
    EXPECT_NEAR((p - foot) * d, 0.0, 1e-11);

    KRNMathPoint projected;
    double param = kNaN;
    ZRMUtLine mutableLine(line);
    ASSERT_TRUE(mutableLine.ProjectPoint(p, &projected, &param));
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
}

struct StaticFootCase {
  const char* name;
  KRNMathPoint point;
  double param;
  bool within;
  KRNMathPoint foot;
};

TEST(LineTest, StaticPointOnLineTable) {
  // From (1, 0, 0) to (5, 0, 0): length 4 along +x.
  const KRNMathLine segment(KRNMathPoint(1.0, 0.0, 0.0), KRNMathPoint(5.0, 0.0, 0.0));
  const StaticFootCase cases[] = {
      {"at origin", KRNMathPoint(1.0, 0.0, 0.0), 0.0, true, KRNMathPoint(1.0, 0.0, 0.0)},
      {"inside", KRNMathPoint(3.0, 2.0, -1.0), 2.0, true, KRNMathPoint(3.0, 0.0, 0.0)},
      {"at end", KRNMathPoint(5.0, 1.0, 0.0), 4.0, true, KRNMathPoint(5.0, 0.0, 0.0)},
      {"behind", KRNMathPoint(-1.0, 3.0, 0.0), -2.0, false, KRNMathPoint(-1.0, 0.0, 0.0)},
      {"beyond", KRNMathPoint(6.5, 0.0, 2.0), 5.5, false, KRNMathPoint(6.5, 0.0, 0.0)},
  };
  for (const StaticFootCase& c : cases) {
    KRNMathPoint foot;
    double param = kNaN;
    bool within = !c.within;
    EXPECT_TRUE(ZRMUtLine::PointOnLine(c.point, segment, &foot, &param, &within)) << c.name;
    EXPECT_NEAR(param, c.param, 1e-14) << c.name;
    EXPECT_EQ(within, c.within) << c.name;
    EXPECT_TRUE(Near3(foot, c.foot, 1e-14)) << c.name;
    EXPECT_TRUE(ZRMUtLine::PointOnLine(c.point, segment, &foot, &param, nullptr)) << c.name;
  }
}

TEST(LineTest, StaticPointOnLineFailuresAndDegenerateInput) {
  const KRNMathLine segment(KRNMathPoint(), KRNMathPoint(1.0, 0.0, 0.0));
  KRNMathPoint foot(7.0, 7.0, 7.0);
  double param = 7.0;
  bool within = true;
  EXPECT_FALSE(ZRMUtLine::PointOnLine(KRNMathPoint(), segment, nullptr, &param, &within));
  EXPECT_FALSE(ZRMUtLine::PointOnLine(KRNMathPoint(), segment, &foot, nullptr, &within));
  EXPECT_TRUE(within);
  EXPECT_EQ(param, 7.0);
  EXPECT_TRUE(Exact3(foot, KRNMathPoint(7.0, 7.0, 7.0)));

  // A NaN coordinate: a NaN parameter is not within.
  EXPECT_TRUE(ZRMUtLine::PointOnLine(KRNMathPoint(kNaN, 0.0, 0.0), segment, &foot, &param, &within));
  EXPECT_TRUE(std::isnan(param));
  EXPECT_FALSE(within);

  // A line with a zero direction stands for its origin.
  const KRNMathLine point(KRNMathPoint(1.0, 2.0, 3.0), KRNMathVector());
  EXPECT_TRUE(ZRMUtLine::PointOnLine(KRNMathPoint(4.0, 4.0, 4.0), point, &foot, &param, &within));
  EXPECT_EQ(param, 0.0);
  EXPECT_TRUE(within);
  EXPECT_TRUE(Exact3(foot, KRNMathPoint(1.0, 2.0, 3.0)));
}

TEST(LineTest, TransformationKeepsExactUnitDirectionsAndRenormalisesOthers) {
  ZRMUtLine line(KRNMathPoint(1.0, 2.0, 3.0), KRNMathK);
  line.ApplyTransformation(KRNMathTransformation(KRNMathVector(0.5, -1.0, 2.0)));
  EXPECT_TRUE(Exact3(line.Point(), KRNMathPoint(1.5, 1.0, 5.0)));
  EXPECT_TRUE(Exact3(line.Direction(), KRNMathK));

  ZRMUtLine slanted(KRNMathPoint(1.0, 0.0, 0.0), KRNMathDirection(0.0, 0.6, 0.8));
  slanted.ApplyTransformation(Scaling(3.0));
  EXPECT_TRUE(Exact3(slanted.Point(), KRNMathPoint(3.0, 0.0, 0.0)));
  EXPECT_NEAR(KRNMathVector(slanted.Direction()).Norm(), 1.0, 1e-15);
  EXPECT_TRUE(Near3(slanted.Direction(), KRNMathVector(0.0, 0.6, 0.8), 1e-15));

  ZRMUtLine collapsed(KRNMathPoint(1.0, 1.0, 1.0), KRNMathJ);
  collapsed.ApplyTransformation(KRNMathTransformation(KRNMath3x3Matrix(KRNMathVector(1, 0, 0), KRNMathVector(0, 0, 0),
                                                                       KRNMathVector(0, 0, 1))));
  EXPECT_TRUE(Exact3(collapsed.Direction(), KRNMathI));
  EXPECT_TRUE(Exact3(collapsed.Point(), KRNMathPoint(1.0, 0.0, 1.0)));
}

TEST(LineTest, RigidMotionsCommuteWithEvaluation) {
  geomtest::RandomGeometry random(31337);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    ZRMUtLine line(random.Point(), random.Direction());
    const ZRMUtLine before(line);
    const KRNMathTransformation motion = random.RigidMotion();
    line.ApplyTransformation(motion);
    EXPECT_NEAR(KRNMathVector(line.Direction()).Norm(), 1.0, 1e-14);
    const double t = random.Uniform(-20.0, 20.0);
    KRNMathPoint after, original;
    line.EvalPoint(t, after, nullptr);
    before.EvalPoint(t, original, nullptr);
    EXPECT_TRUE(Near3(after, motion * original, 1e-11));
    // A point on the moved line is on it, with its tangent.
    KRNMathVector tangent;
    EXPECT_TRUE(line.GetTangentAtPoint(after, tangent));
  }
}

TEST(LineTest, CloneIsIndependent) {
  ZRMUtLine line(KRNMathPoint(), KRNMathK);
  ZRMUtGeometry_Ptr clone = line.Clone();
  clone->ApplyTransformation(KRNMathTransformation(KRNMathVector(1.0, 0.0, 0.0)));
  EXPECT_TRUE(Exact3(line.Point(), KRNMathPoint()));
  EXPECT_TRUE(Exact3(clone->AsLine()->Point(), KRNMathPoint(1.0, 0.0, 0.0)));
  EXPECT_TRUE(Exact3(clone->AsLine()->Direction(), KRNMathK));
}

// ---- plane ----

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
  double x = 0, y = 0, z = 0;
  byNormal.NormalCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathVector(x, y, z), KRNMathJ));
  EXPECT_TRUE(recorder.reports.empty());

  const ZRMUtPlane byAxes(KRNMathPoint(), KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(byAxes.Normal(), KRNMathI));
  EXPECT_TRUE(recorder.reports.empty());
  const ZRMUtPlane skew(KRNMathPoint(), KRNMathJ, KRNMathDirection(0.0, 1.0, 1.0));
  ASSERT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(recorder.reports[0].message, "ZRMUtCSys non-orthogonal directions in.");
  EXPECT_EQ(recorder.reports[0].line, 33);
}

TEST(PlaneTest, TransformsAsACoordinateSystemAndClonesIndependently) {
  geomtest::RandomGeometry random(4);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const KRNMathDirection n = random.Direction();
    ZRMUtPlane plane(random.Point(), n);
    ZRMUtCSys frame(plane.Point(), plane.XDir(), plane.YDir());
    const KRNMathTransformation motion = random.RigidMotion();
    plane.ApplyTransformation(motion);
    frame.ApplyTransformation(motion);
    EXPECT_TRUE(Exact3(plane.Point(), frame.Point()));
    EXPECT_TRUE(Exact3(plane.XDir(), frame.XDir()));
    EXPECT_TRUE(Exact3(plane.YDir(), frame.YDir()));
    EXPECT_TRUE(Exact3(plane.Normal(), frame.ZDir()));
  }
  ZRMUtPlane plane(KRNMathPoint(), KRNMathK);
  ZRMUtGeometry_Ptr clone = plane.Clone();
  clone->ApplyTransformation(KRNMathTransformation(KRNMathVector(0.0, 0.0, 1.0)));
  EXPECT_TRUE(Exact3(plane.Point(), KRNMathPoint()));
  EXPECT_TRUE(Exact3(clone->AsPlane()->Point(), KRNMathPoint(0.0, 0.0, 1.0)));
  EXPECT_EQ(clone->AsCSys(), nullptr);
  EXPECT_EQ(ZRMGetGeomType(clone), ZRMUtGeomTypeVisitor::GeomPlane);
}

}  // namespace
