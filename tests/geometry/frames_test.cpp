// Coordinate systems and what is placed by them or alongside them: the frames each constructor
// chooses, the orthogonality report, accessors, setters, the local-to-world map, mirroring and
// Plane(); points, lines and planes against analytic values.
#include "GeometryTestSupport.h"
#include "ZRMReportCheck.h"
#include "ZRMUtArc.h"
#include "ZRMUtCSys.h"
#include "ZRMUtCircle.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTolerance.h"
#include "ZRMUtTorus.h"

#include <cmath>
#include <functional>

using geomtest::Coords;
using geomtest::Exact3;
using geomtest::kNaN;
using geomtest::Near3;
using geomtest::RightHandedOrthonormal;

namespace {

const KRNMathPoint kAt(1.0, -2.0, 3.0);
const KRNMathDirection kMinusI(-1.0, 0.0, 0.0), kMinusJ(0.0, -1.0, 0.0), kMinusK(0.0, 0.0, -1.0);
const KRNMathDirection kNaNDir(geomtest::kNaN, 0.0, 0.0);
const char* const kCSysFile = "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys";

// Opens the protected (origin, z) constructor and setters to the tests.
class OpenCSys : public ZRMUtCSys {
public:
  using ZRMUtCSys::SetCSys;
  using ZRMUtCSys::SetPoint;
  using ZRMUtCSys::SetXDir;
  using ZRMUtCSys::SetYDir;
  using ZRMUtCSys::SetZDir;
  OpenCSys() = default;
  OpenCSys(const KRNMathPoint& point, const KRNMathDirection& zDir) : ZRMUtCSys(point, zDir) {}
};

::testing::AssertionResult SameFrame(const ZRMUtCSys& frame, const KRNMathPoint& origin, const KRNMathDirection& x,
                                     const KRNMathDirection& y, const KRNMathDirection& z) {
  if (!Exact3(frame.Point(), origin)) return Exact3(frame.Point(), origin) << " (origin)";
  for (const auto& [got, want] : {std::pair(frame.XDir(), x), std::pair(frame.YDir(), y), std::pair(frame.ZDir(), z)})
    if (!Near3(got, want, 1e-12)) return Near3(got, want, 1e-12);
  return ::testing::AssertionSuccess();
}

template <class... Frames>
void SetCSysOfAll(const KRNMathPoint& p, const KRNMathDirection& x, const KRNMathDirection& y, Frames&... frames) {
  (frames.SetCSys(p, x, y), ...);
}

TEST(CSysTest, FramesChosenByEveryConstructor) {
  zrmtest::AssertRecorder recorder;
  const struct {
    const char* name;
    ZRMUtCSys frame;  // the frame part of the object built
    KRNMathPoint origin;
    KRNMathDirection x, y, z;
  } cases[] = {
      {"default", OpenCSys(), KRNMathPoint(), KRNMathI, KRNMathI, KRNMathI},
      {"z", OpenCSys(kAt, KRNMathK), kAt, KRNMathI, KRNMathJ, KRNMathK},
      {"z along y", OpenCSys(kAt, KRNMathJ), kAt, KRNMathK, KRNMathI, KRNMathJ},
      {"z against y", OpenCSys(kAt, kMinusJ), kAt, kMinusK, KRNMathI, kMinusJ},
      {"z along x", OpenCSys(kAt, KRNMathI), kAt, kMinusK, KRNMathJ, KRNMathI},
      {"z against z", OpenCSys(kAt, kMinusK), kAt, kMinusI, KRNMathJ, kMinusK},
      {"plane by normal", ZRMUtPlane(kAt, KRNMathJ), kAt, KRNMathK, KRNMathI, KRNMathJ},
      {"plane by axes", ZRMUtPlane(kAt, KRNMathJ, KRNMathK), kAt, KRNMathJ, KRNMathK, KRNMathI},
      {"circle by axis", ZRMUtCircle(kAt, KRNMathK, 5.0), kAt, KRNMathI, KRNMathJ, KRNMathK},
      {"cone by axis", ZRMUtCone(kAt, KRNMathJ, 0.25), kAt, KRNMathK, KRNMathI, KRNMathJ},
      {"cone by axes", ZRMUtCone(kAt, KRNMathJ, KRNMathK, 0.5), kAt, KRNMathJ, KRNMathK, KRNMathI},
      {"cylinder by axis", ZRMUtCylinder(kAt, KRNMathK, 2.5), kAt, KRNMathI, KRNMathJ, KRNMathK},
      {"cylinder by axes", ZRMUtCylinder(kAt, KRNMathK, KRNMathI, 1.0), kAt, KRNMathK, KRNMathI, KRNMathJ},
      {"sphere", ZRMUtSphere(kAt, 2.0), kAt, KRNMathI, KRNMathJ, KRNMathK},
      {"sphere by axes", ZRMUtSphere(kAt, 3.0, KRNMathJ, kMinusI), kAt, KRNMathJ, kMinusI, KRNMathK},
      {"torus", ZRMUtTorus(kAt, 5.0, 1.0), kAt, KRNMathI, KRNMathJ, KRNMathK},
      {"torus by axes", ZRMUtTorus(kAt, 4.0, 0.5, KRNMathK, KRNMathI), kAt, KRNMathK, KRNMathI, KRNMathJ},
      {"default torus", ZRMUtTorus(), KRNMathPoint(), KRNMathI, KRNMathI, KRNMathI},
      {"circle: axis parallel to x", ZRMUtCircle(kAt, KRNMathJ, KRNMathJ, 1.0), kAt, KRNMathJ, KRNMathI, kMinusK},
      {"plane: skew platform plane",
       ZRMUtPlane(KRNMathPlane(kAt, KRNMathVector(3.0, 0.0, 0.0), KRNMathVector(1.0, 1.0, 0.0))), kAt, KRNMathI,
       KRNMathDirection(1.0, 1.0, 0.0), KRNMathK},  // normalised, not made orthogonal
      {"plane: zero first vector", ZRMUtPlane(KRNMathPlane(kAt, KRNMathVector(), KRNMathVector(0.0, 2.0, 0.0))), kAt,
       KRNMathI, KRNMathJ, KRNMathK},
      {"plane: parallel vectors", ZRMUtPlane(KRNMathPlane(kAt, KRNMathVector(0, 0, 2), KRNMathVector(0, 0, -1))), kAt,
       KRNMathK, kMinusK, KRNMathI},
  };
  for (const auto& c : cases) EXPECT_TRUE(SameFrame(c.frame, c.origin, c.x, c.y, c.z)) << c.name;
  EXPECT_TRUE(recorder.reports.empty());
  // Our choice: default objects have size 0 (and the default frame).
  EXPECT_EQ(ZRMUtTorus().MajorRadius() + ZRMUtTorus().MinorRadius() + ZRMUtCone().HalfAngle(), 0.0);
  EXPECT_EQ(ZRMUtCylinder().Radius() + ZRMUtSphere().Radius() + ZRMUtCircle().Radius() + ZRMUtArc().Radius(), 0.0);
  EXPECT_EQ(ZRMUtEllipse().GetMajorRadius() + ZRMUtEllipse().GetMinorRadius(), 0.0);
  EXPECT_TRUE(Exact3(ZRMUtArc().GetStartPoint(), KRNMathPoint()) && Exact3(ZRMUtArc().GetEndPoint(), KRNMathPoint()));
}

TEST(CSysTest, FrameFromRandomZIsRightHandedOrthonormal) {
  geomtest::RandomGeometry random(1234);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathDirection z = random.Direction();
    const OpenCSys frame(random.Point(), z);
    EXPECT_TRUE(RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 1e-12));
    EXPECT_TRUE(Exact3(frame.ZDir(), z));
    EXPECT_NEAR(frame.XDir().y, 0.0, 1e-15);  // x is perpendicular to the reference (0, 1, 0)
  }
}

// Non-orthogonal directions: failure report always, runtime report in the development stage
// only; construction completes with the directions as passed. Orthogonal ones: no report.
TEST(CSysTest, OrthogonalityReportInDevelopmentAndProduction) {
  for (int stage : {1, 0}) {
    SCOPED_TRACE(stage);
    zrmtest::AssertRecorder recorder(stage);
    const ZRMUtCSys fine(KRNMathPoint(4.0, 5.0, 6.0), KRNMathJ, KRNMathK);
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_TRUE(Exact3(fine.ZDir(), KRNMathI));
    const ZRMUtCSys frame(KRNMathPoint(), KRNMathI, KRNMathI);
    EXPECT_TRUE(SameFrame(frame, KRNMathPoint(), KRNMathI, KRNMathI, KRNMathI));  // parallel inputs: z (1, 0, 0)
    ASSERT_EQ(recorder.reports.size(), stage != 0 ? 2u : 1u);
    zrmtest::ExpectCheckReports(recorder.reports, 0,
                                {"mXDir.IsOrthogonal(mYDir)", "ZRMUtCSys non-orthogonal directions in.", kCSysFile, 33,
                                 L"(\"ZRMUtCSys non-orthogonal directions in.\", mXDir.IsOrthogonal(mYDir))"},
                                stage != 0);
  }
}

// The same report from every constructor taking two directions; the circle's y direction is
// axis x xDir, so an axis parallel to xDir gives y = (1, 0, 0), reported unless xDir is
// orthogonal to it (the frame table above).
TEST(CSysTest, DerivedConstructorsReportThroughTheFrame) {
  const std::function<void()> skewed[] = {
      [] { ZRMUtCSys(KRNMathPoint(), KRNMathI, KRNMathDirection(0.01, 1.0, 0.0)); },
      [] { EXPECT_TRUE(std::isnan(ZRMUtCSys(KRNMathPoint(kNaN, 0, 0), kNaNDir, KRNMathJ).Point().x)); },
      [] { ZRMUtPlane(KRNMathPoint(), KRNMathJ, KRNMathDirection(0.0, 1.0, 1.0)); },
      [] { EXPECT_TRUE(Exact3(ZRMUtCircle(KRNMathPoint(), KRNMathI, KRNMathI, 1.0).YDir(), KRNMathI)); },
      [] { ZRMUtEllipse(KRNMathPoint(), KRNMathI, KRNMathDirection(1, 1, 0), 2.0, 1.0); },
      [] { ZRMUtCone(kAt, KRNMathJ, KRNMathJ, 0.5); },
  };
  for (const auto& make : skewed) {
    SCOPED_TRACE(&make - skewed);
    zrmtest::AssertRecorder recorder;
    make();
    ASSERT_EQ(recorder.reports.size(), 2u);
    EXPECT_EQ(recorder.reports[0].expression, "mXDir.IsOrthogonal(mYDir)");
    EXPECT_EQ(recorder.reports[0].line, 33);
  }
}

// The coordinate getters read their own component (distinct components make a swap visible);
// the setters store as passed and recompute nothing, sizes included (never checked); SetCSys
// recomputes z only and never reports.
TEST(CSysTest, CoordinateGettersAndSetters) {
  const ZRMUtCSys frame(kAt, KRNMathJ, KRNMathK);  // z = (1, 0, 0)
  const ZRMUtCone cone(kAt, KRNMathJ, KRNMathK, 0.5);
  const ZRMUtCylinder cylinder(kAt, KRNMathJ, KRNMathK, 1.0);
  const ZRMUtCircle circle(kAt, KRNMathI, KRNMathJ, 1.0);
  const ZRMUtEllipse ellipse(kAt, KRNMathJ, KRNMathK, 2.0, 1.0);
  const KRNMathVector at(kAt);
  ZRMUtPoint point(KRNMathPoint(9, 9, 9));
  point.SetPoint(kAt);
  const std::pair<KRNMathVector, KRNMathVector> coords[] = {
      {Coords(frame, &ZRMUtCSys::PointCoord), at},
      {Coords(frame, &ZRMUtCSys::XDirCoord), KRNMathJ},
      {Coords(frame, &ZRMUtCSys::YDirCoord), KRNMathK},
      {Coords(frame, &ZRMUtCSys::ZDirCoord), KRNMathI},
      {Coords(ZRMUtPlane(kAt, KRNMathJ, KRNMathK), &ZRMUtPlane::NormalCoord), KRNMathI},
      {Coords(cone, &ZRMUtCone::ApexCoord), at},
      {Coords(cone, &ZRMUtCone::AxisDirCoord), KRNMathI},
      {Coords(cylinder, &ZRMUtCylinder::AxisDirCoord), KRNMathI},
      {Coords(circle, &ZRMUtCircle::CenterCoord), at},
      {Coords(circle, &ZRMUtCircle::AxisCoord), KRNMathI},
      {Coords(ellipse, &ZRMUtEllipse::AxisCoord), KRNMathI},
      {Coords(point, &ZRMUtPoint::Coord), at},
  };
  for (const auto& [got, expected] : coords) EXPECT_TRUE(Exact3(got, expected)) << &got - &coords[0].first;

  OpenCSys open(KRNMathPoint(), KRNMathK);
  open.SetXDir(KRNMathJ);
  EXPECT_TRUE(Exact3(open.ZDir(), KRNMathK));  // not recomputed
  open.SetYDir(KRNMathJ);
  open.SetZDir(KRNMathJ);
  open.SetPoint(kAt);
  EXPECT_TRUE(SameFrame(open, kAt, KRNMathJ, KRNMathJ, KRNMathJ));
  ZRMUtCone c;
  ZRMUtCylinder y;
  ZRMUtSphere s;
  ZRMUtTorus t;
  ZRMUtEllipse e;
  c.SetHalfAngle(-1.5);
  y.SetRadius(-1.0);
  s.SetRadius(kNaN);
  t.SetMajorRadius(1.0);
  t.SetMinorRadius(2.0);  // self-intersecting
  EXPECT_TRUE(c.HalfAngle() == -1.5 && y.Radius() == -1.0 && std::isnan(s.Radius()));
  EXPECT_TRUE(t.MajorRadius() == 1.0 && t.MinorRadius() == 2.0);
  c.SetAxisPoint(kAt);
  y.SetAxisPoint(kAt);
  s.SetCenter(kAt.x, kAt.y, kAt.z);
  t.SetCenter(kAt.x, kAt.y, kAt.z);
  e.SetCenter(kAt);
  const ZRMUtCSys* frames[] = {&open, &c, &y, &s, &t, &e};
  for (const ZRMUtCSys* f : frames) EXPECT_TRUE(Exact3(f->Point(), kAt));
  zrmtest::AssertRecorder recorder;
  SetCSysOfAll(KRNMathPoint(7, 8, 9), KRNMathJ, KRNMathJ, open, c, y, s, t, e);
  for (const ZRMUtCSys* f : frames) EXPECT_TRUE(SameFrame(*f, KRNMathPoint(7, 8, 9), KRNMathJ, KRNMathJ, KRNMathI));
  SetCSysOfAll(KRNMathPoint(), KRNMathK, KRNMathI, open, c, y, s, t, e);
  for (const ZRMUtCSys* f : frames) EXPECT_TRUE(SameFrame(*f, KRNMathPoint(), KRNMathK, KRNMathI, KRNMathJ));
  EXPECT_TRUE(recorder.reports.empty());
}

TEST(CSysTest, FrameTransformationMapsLocalToWorld) {
  geomtest::RandomGeometry random(77);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const KRNMathDirection x = random.Direction();
    const ZRMUtCSys frame(random.Point(), x, random.OrthogonalTo(x));
    const KRNMathTransformation toWorld = frame.GetCysXform();
    const double u = random.Uniform(-5, 5), v = random.Uniform(-5, 5), w = random.Uniform(-5, 5);
    const KRNMathPoint expected = frame.Point() + u * KRNMathVector(frame.XDir()) + v * KRNMathVector(frame.YDir()) +
                                  w * KRNMathVector(frame.ZDir());
    EXPECT_TRUE(Near3(toWorld * KRNMathPoint(u, v, w), expected, 1e-12));
    EXPECT_TRUE(Near3(toWorld.Inverse() * (frame.Point() + KRNMathVector(frame.XDir())), KRNMathPoint(1, 0, 0), 1e-12));
  }
  // Rigid motions commute with the local-to-world map.
  geomtest::ExpectRigidMotionsCommute(
      2024, 300,
      [](geomtest::RandomGeometry& r) {
        const KRNMathDirection x = r.Direction();
        return ZRMUtCSys(r.Point(), x, r.OrthogonalTo(x));
      },
      [](const ZRMUtCSys& frame, double t) { return frame.GetCysXform() * KRNMathPoint(std::cos(t), t, -t); }, 1e-10,
      [](const ZRMUtCSys&, const ZRMUtCSys&, const KRNMathTransformation&, geomtest::RandomGeometry&) {});
}

// z is recomputed from the new x and y, never taken from the image of z.
TEST(CSysTest, MirroringRecomputesZAndPlaneRechoosesInPlaneDirections) {
  ZRMUtCSys frame(KRNMathPoint(0.0, 0.0, 5.0), KRNMathI, KRNMathJ);
  frame.ApplyTransformation(geomtest::Mirror(KRNMathPoint(), KRNMathK));
  EXPECT_TRUE(SameFrame(frame, KRNMathPoint(0.0, 0.0, -5.0), KRNMathI, KRNMathJ, KRNMathK));  // not (0, 0, -1)
  frame.ApplyTransformation(geomtest::Mirror(KRNMathPoint(), KRNMathI));
  EXPECT_TRUE(RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 0.0));
  EXPECT_TRUE(Exact3(frame.ZDir(), kMinusK));

  ZRMUtCSys source(kAt, KRNMathJ, kMinusI);  // z = (0, 0, 1)
  ZRMUtPlane out(KRNMathPoint(9.0, 9.0, 9.0), KRNMathI);
  source.Plane(out);
  EXPECT_TRUE(SameFrame(out, kAt, KRNMathI, KRNMathJ, KRNMathK));  // chosen from the normal, not source's (0, 1, 0)
  EXPECT_EQ(out.GetRefCount(), 0);
}

// Random lines and points: the analytic foot of the perpendicular from every query, the
// parameter evaluating back to it, the tangent, arc lengths; rigid motions commute.
TEST(LineTest, RandomLinesAgreeWithTheAnalyticFoot) {
  geomtest::RandomGeometry random(99);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    ZRMUtLine line(random.Point(), random.Direction());
    const KRNMathPoint p = random.Point();
    const KRNMathVector d(line.Direction());
    const double t = (p - line.Point()) * d;
    const KRNMathPoint expected = line.Point() + t * d;
    KRNMathPoint foot, projected, evaluated;
    double param = kNaN;
    ASSERT_TRUE(line.PointOnLine(p, &foot));
    EXPECT_TRUE(Near3(foot, expected, 1e-12));
    ASSERT_TRUE(line.ProjectPoint(p, &projected, &param));
    EXPECT_TRUE(Near3(projected, expected, 1e-12));
    EXPECT_NEAR(param, t, 1e-12);
    KRNMathDirection tangent(0.0, 0.0, 0.0);
    EXPECT_TRUE(line.EvalPoint(param, evaluated, &tangent));
    EXPECT_TRUE(Near3(evaluated, expected, 1e-11));
    EXPECT_TRUE(Exact3(tangent, line.Direction()));
    KRNMathVector lineTangent;
    EXPECT_TRUE(line.GetTangentAtPoint(evaluated, lineTangent));
    EXPECT_EQ(line.ArcLength(param, 2.0 * param), std::fabs(param));
  }
  geomtest::ExpectRigidMotionsCommute(
      31337, 300, [](geomtest::RandomGeometry& r) { return ZRMUtLine(r.Point(), r.Direction()); },
      [](const ZRMUtLine& line, double t) {
        KRNMathPoint p;
        line.EvalPoint(6.0 * t, p, nullptr);
        return p;
      },
      1e-11,
      [](const ZRMUtLine&, const ZRMUtLine& moved, const KRNMathTransformation&, geomtest::RandomGeometry&) {
        EXPECT_NEAR(KRNMathVector(moved.Direction()).Norm(), 1.0, 1e-14);
      });
}

TEST(LineTest, DirectionStoredAsGivenAndTangentWithinTheModelResolution) {
  KRNMathDirection raw;
  raw.x = 2.0;  // written directly: not a unit direction
  const ZRMUtLine unnormalised(KRNMathPoint(1.0, 2.0, 3.0), raw);
  EXPECT_TRUE(Exact3(Coords(unnormalised, &ZRMUtLine::PointCoord), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(Coords(unnormalised, &ZRMUtLine::DirectionCoord), KRNMathVector(2.0, 0.0, 0.0)));
  KRNMathPoint p;
  EXPECT_TRUE(unnormalised.EvalPoint(-1.5, p, nullptr));
  EXPECT_TRUE(Exact3(p, KRNMathPoint(-2.0, 2.0, 3.0)));
  EXPECT_EQ(unnormalised.ArcLength(5.0, 2.0), 3.0);

  const ZRMUtLine line(KRNMathPoint(0.0, 0.0, 0.0), KRNMathI);
  const double resolution = ZRMUtTolerance().ModelResolution();
  const struct {
    KRNMathPoint point;
    bool onLine;
  } probes[] = {
      {KRNMathPoint(3.0, 0.0, 0.0), true},
      {KRNMathPoint(-7.0, 0.0, 0.0), true},
      {KRNMathPoint(2.0, 0.5 * resolution, 0.0), true},
      {KRNMathPoint(2.0, 0.0, -0.99 * resolution), true},
      {KRNMathPoint(2.0, 1.01 * resolution, 0.0), false},
      {KRNMathPoint(2.0, 1.0, 1.0), false},
      {KRNMathPoint(kNaN, 0.0, 0.0), false},
  };
  for (const auto& probe : probes) {
    KRNMathVector tangent(9.0, 9.0, 9.0);
    EXPECT_EQ(line.GetTangentAtPoint(probe.point, tangent), probe.onLine) << probe.point.x << " " << probe.point.y;
    EXPECT_TRUE(Exact3(tangent, KRNMathI));  // written either way
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
  const KRNMathLine degenerate(KRNMathPoint(1.0, 2.0, 3.0), KRNMathVector());           // stands for its origin
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

// Unit orthogonal directions round-trip (other platform planes: the frame table above).
TEST(PlaneTest, FromPlatformPlaneRoundTripsWithoutAReport) {
  geomtest::RandomGeometry random(8);
  zrmtest::AssertRecorder recorder;
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const KRNMathDirection u = random.Direction();
    const KRNMathDirection v = random.OrthogonalTo(u);
    const KRNMathPlane source(random.Point(), KRNMathVector(u), KRNMathVector(v));
    const ZRMUtPlane plane(source);
    EXPECT_TRUE(Near3(plane.Normal(), KRNMathVector(plane.XDir()) ^ KRNMathVector(plane.YDir()), 1e-15));
    const KRNMathPlane back = plane.Plane();
    EXPECT_TRUE(Exact3(back.GetOrigin(), source.GetOrigin()));
    EXPECT_TRUE(Near3(back.GetFirstDirection(), source.GetFirstDirection(), 1e-15));
    EXPECT_TRUE(Near3(back.GetSecondDirection(), source.GetSecondDirection(), 1e-15));
  }
  EXPECT_TRUE(recorder.reports.empty());
}

}  // namespace
