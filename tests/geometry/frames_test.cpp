// Coordinate systems and what they place: the frame every constructor chooses, the orthogonality
// report, SetCSys and Plane() (the local-to-world map and transformations of frames: curves_test
// and classes_test); lines by the stored direction, the model resolution and refusals; planes by
// round trips.
#include "GeometryTestSupport.h"
#include "ZRMUtCircle.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTolerance.h"
#include "ZRMUtTorus.h"

#include <cmath>
#include <functional>

namespace {

using zrmtest::kNaN;
using zrmtest::Near;
using P = KRNMathPoint;
using V = KRNMathVector;
using D = KRNMathDirection;
const P kAt(1, -2, 3);
const D kI = KRNMathI, kJ = KRNMathJ, kK = KRNMathK, kMinusI(-1, 0, 0), kMinusJ(0, -1, 0), kMinusK(0, 0, -1);

// The protected (origin, z) constructor and SetCSys, opened.
struct OpenCSys : ZRMUtCSys {
  using ZRMUtCSys::SetCSys;
  OpenCSys() = default;
  OpenCSys(const P& point, const D& z) : ZRMUtCSys(point, z) {}
};

// The frame by its coordinate getters, which must agree with the direct ones.
::testing::AssertionResult IsFrame(const ZRMUtCSys& f, const P& origin, const D& x, const D& y, const D& z) {
  V got[4];
  f.PointCoord(got[0].x, got[0].y, got[0].z);
  f.XDirCoord(got[1].x, got[1].y, got[1].z);
  f.YDirCoord(got[2].x, got[2].y, got[2].z);
  f.ZDirCoord(got[3].x, got[3].y, got[3].z);
  if (!Near(got[0], f.Point(), 0) || !Near(got[1], f.XDir(), 0) || !Near(got[2], f.YDir(), 0) ||
      !Near(got[3], f.ZDir(), 0))
    return ::testing::AssertionFailure() << "coordinate getters";
  if (!Near(got[0], origin, 0)) return Near(got[0], origin, 0) << " (origin)";
  for (int i = 1; i < 4; ++i)
    if (!Near(got[i], i == 1 ? x : i == 2 ? y : z, 1e-12))
      return Near(got[i], i == 1 ? x : i == 2 ? y : z, 1e-12) << " (direction " << i << ")";
  return ::testing::AssertionSuccess();
}

TEST(CSys, FramesChosenByEveryConstructor) {
  zrmtest::AssertRecorder recorder;
  const struct {
    ZRMUtCSys frame;  // the frame part of the object built
    P origin;
    D x, y, z;
  } cases[] = {
      {OpenCSys(), P(), kI, kI, kI},
      {OpenCSys(kAt, kK), kAt, kI, kJ, kK},
      {OpenCSys(kAt, kJ), kAt, kK, kI, kJ},  // z along the reference (0, 1, 0): the reference (1, 0, 0)
      {OpenCSys(kAt, kMinusJ), kAt, kMinusK, kI, kMinusJ},
      {OpenCSys(kAt, kI), kAt, kMinusK, kJ, kI},
      {OpenCSys(kAt, kMinusK), kAt, kMinusI, kJ, kMinusK},
      {ZRMUtPlane(kAt, kJ), kAt, kK, kI, kJ},
      {ZRMUtPlane(kAt, kJ, kK), kAt, kJ, kK, kI},
      {ZRMUtCircle(kAt, kK, 5.0), kAt, kI, kJ, kK},
      {ZRMUtCircle(kAt, kJ, kJ, 1.0), kAt, kJ, kI, kMinusK},  // axis parallel to x: y = (1, 0, 0)
      {ZRMUtCone(kAt, kJ, 0.25), kAt, kK, kI, kJ},
      {ZRMUtCone(kAt, kJ, kK, 0.5), kAt, kJ, kK, kI},
      {ZRMUtCylinder(kAt, kK, 2.5), kAt, kI, kJ, kK},
      {ZRMUtCylinder(kAt, kK, kI, 1.0), kAt, kK, kI, kJ},
      {ZRMUtSphere(kAt, 2.0), kAt, kI, kJ, kK},
      {ZRMUtSphere(kAt, 3.0, kJ, kMinusI), kAt, kJ, kMinusI, kK},
      {ZRMUtTorus(kAt, 5.0, 1.0), kAt, kI, kJ, kK},
      {ZRMUtTorus(kAt, 4.0, 0.5, kK, kI), kAt, kK, kI, kJ},
      {ZRMUtTorus(), P(), kI, kI, kI},
      {ZRMUtPlane(KRNMathPlane(kAt, V(3, 0, 0), V(1, 1, 0))), kAt, kI, D(1, 1, 0),
       kK},  // normalised, not made orthogonal
      {ZRMUtPlane(KRNMathPlane(kAt, V(), V(0, 2, 0))), kAt, kI, kJ, kK},
      {ZRMUtPlane(KRNMathPlane(kAt, V(0, 0, 2), V(0, 0, -1))), kAt, kK, kMinusK, kI},
  };
  for (const auto& c : cases) EXPECT_TRUE(IsFrame(c.frame, c.origin, c.x, c.y, c.z)) << &c - cases;
  EXPECT_TRUE(recorder.reports.empty());
  // Our choice: default objects have size 0.
  EXPECT_EQ(ZRMUtTorus().MajorRadius() + ZRMUtTorus().MinorRadius() + ZRMUtCone().HalfAngle() +
                ZRMUtCylinder().Radius() + ZRMUtSphere().Radius(),
            0.0);
  EXPECT_EQ(ZRMUtCircle().Radius() + ZRMUtEllipse().GetMajorRadius() + ZRMUtEllipse().GetMinorRadius(), 0.0);
  zrmtest::Random random(1234);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {  // (origin, z): right-handed, x across (0, 1, 0)
    const D z = random.Direction();
    const OpenCSys f(random.Point(), z);
    EXPECT_TRUE(IsFrame(f, f.Point(), f.XDir(), f.YDir(), z) && std::fabs(f.XDir().y) < 1e-15 &&
                Near(V(f.XDir()) ^ V(f.YDir()), z, 1e-12));
    EXPECT_TRUE(std::fabs(V(f.XDir()).Norm() - 1) < 1e-12 && std::fabs(V(f.YDir()).Norm() - 1) < 1e-12 &&
                std::fabs(f.XDir() * f.YDir()) < 1e-12);
  }
}

// Non-orthogonal directions: the failure report always, the runtime report in the development
// stage only; construction completes with the directions as passed. Every constructor taking
// two directions reports through the frame. SetCSys recomputes z and never reports; Plane()
// rechooses the in-plane directions from the normal.
TEST(CSys, OrthogonalityReportAndSetCSys) {
  for (int stage : {1, 0}) {
    zrmtest::AssertRecorder recorder(stage);
    EXPECT_TRUE(IsFrame(ZRMUtCSys(P(), kI, kI), P(), kI, kI, kI));  // parallel: z (1, 0, 0)
    zrmtest::ExpectCheckReport(recorder.reports,
                               {"mXDir.IsOrthogonal(mYDir)", "ZRMUtCSys non-orthogonal directions in.",
                                "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys", 33},
                               stage != 0);
  }
  const std::function<void()> skewed[] = {[] { ZRMUtCSys(P(), kI, D(0.01, 1, 0)); },
                                          [] { ZRMUtPlane(P(), kJ, D(0, 1, 1)); },
                                          [] { ZRMUtEllipse(P(), kI, D(1, 1, 0), 2, 1); },
                                          [] { ZRMUtCone(kAt, kJ, kJ, 0.5); }, [] { ZRMUtCircle(P(), kI, kI, 1.0); }};
  for (const auto& make : skewed) {
    zrmtest::AssertRecorder recorder;
    make();
    EXPECT_TRUE(recorder.reports.size() == 2 && recorder.reports[0].line == 33) << &make - skewed;
  }
  zrmtest::AssertRecorder recorder;
  OpenCSys open(P(), kK);
  open.SetCSys(P(7, 8, 9), kK, kI);
  EXPECT_TRUE(IsFrame(open, P(7, 8, 9), kK, kI, kJ) && recorder.reports.empty());
  ZRMUtCSys source(kAt, kJ, kMinusI);  // z = (0, 0, 1)
  ZRMUtPlane out(P(9, 9, 9), kI);
  source.Plane(out);
  EXPECT_TRUE(IsFrame(out, kAt, kI, kJ, kK) && out.GetRefCount() == 0);  // from the normal, not source's (0, 1, 0)
}

// A direction is stored as given (a raw one is used unnormalised); tangent points within the
// model resolution; null outputs refuse; transformations renormalise the direction and collapse
// a vanished one to (1, 0, 0).
TEST(Line, StoredDirectionsToleranceAndRefusals) {
  D raw;
  raw.x = 2.0;  // written directly: no unit direction
  const ZRMUtLine unnormalised(P(1, 2, 3), raw);
  V c;
  unnormalised.DirectionCoord(c.x, c.y, c.z);
  P p, q;
  EXPECT_TRUE(Near(c, V(2, 0, 0), 0) && unnormalised.EvalPoint(-1.5, p, nullptr) && Near(p, P(-2, 2, 3), 0) &&
              unnormalised.ArcLength(5, 2) == 3);
  unnormalised.PointCoord(c.x, c.y, c.z);
  EXPECT_TRUE(Near(c, P(1, 2, 3), 0));
  const double resolution = ZRMUtTolerance().ModelResolution();
  const ZRMUtLine line(P(), kI);
  for (const double off : {0.0, 0.5, -0.99, 1.01, kNaN}) {
    V tangent(9, 9, 9);
    EXPECT_TRUE(line.GetTangentAtPoint(P(-7, off * resolution, 0), tangent) == (std::fabs(off) < 1) &&
                Near(tangent, kI, 0))
        << off;
  }
  ZRMUtLine zAxis(P(), kK);
  double param = 42;
  EXPECT_TRUE(!zAxis.PointOnLine(P(1, 1, 1), nullptr) && !zAxis.ProjectPoint(P(1, 1, 1), nullptr, &param) &&
              param == 42);
  EXPECT_TRUE(zAxis.ProjectPoint(P(1, 1, 1), &q, nullptr) && Near(q, P(0, 0, 1), 1e-15));
  ZRMUtLine slanted(P(1, 0, 0), D(0, 0.6, 0.8)), collapsed(P(1, 1, 1), kJ);
  slanted.ApplyTransformation(zrmtest::Scaling(3.0));
  collapsed.ApplyTransformation(KRNMathTransformation(KRNMath3x3Matrix(V(1, 0, 0), V(), V(0, 0, 1))));
  EXPECT_TRUE(Near(slanted.Point(), P(3, 0, 0), 0) && Near(slanted.Direction(), V(0, 0.6, 0.8), 1e-15) &&
              Near(collapsed.Direction(), kI, 0));
}

// The static form on a segment of length 4: the parameter, whether it lies within [0, length]
// (a NaN one does not), the foot; a zero direction stands for the origin; null outputs refuse.
TEST(Line, StaticPointOnLineTable) {
  const KRNMathLine segment(P(1, 0, 0), P(5, 0, 0)), degenerate(P(1, 2, 3), V());
  const struct {
    const KRNMathLine& line;
    P point;
    double param;
    bool within;
    P foot;
  } cases[] = {{segment, {1, 0, 0}, 0, true, {1, 0, 0}},        {segment, {3, 2, -1}, 2, true, {3, 0, 0}},
               {segment, {5, 1, 0}, 4, true, {5, 0, 0}},        {segment, {-1, 3, 0}, -2, false, {-1, 0, 0}},
               {segment, {6.5, 0, 2}, 5.5, false, {6.5, 0, 0}}, {degenerate, {4, 4, 4}, 0, true, {1, 2, 3}}};
  for (const auto& c : cases) {
    P foot;
    double param = kNaN;
    bool within = !c.within;
    EXPECT_TRUE(ZRMUtLine::PointOnLine(c.point, c.line, &foot, &param, &within) &&
                ZRMUtLine::PointOnLine(c.point, c.line, &foot, &param, nullptr));
    EXPECT_TRUE(std::fabs(param - c.param) < 1e-14 && within == c.within && Near(foot, c.foot, 1e-14)) << c.point.x;
  }
  P foot(7, 7, 7);
  double param = 7;
  bool within = true;
  EXPECT_TRUE(!ZRMUtLine::PointOnLine(P(), segment, nullptr, &param, &within) &&
              !ZRMUtLine::PointOnLine(P(), segment, &foot, nullptr, &within));
  EXPECT_TRUE(within && param == 7 && Near(foot, P(7, 7, 7), 0));
  EXPECT_TRUE(ZRMUtLine::PointOnLine(P(kNaN, 0, 0), segment, &foot, &param, &within) && std::isnan(param) && !within);
}

// Planes from platform planes with unit orthogonal directions round-trip without a report.
TEST(Plane, PlatformPlanesRoundTrip) {
  zrmtest::Random random(8);
  zrmtest::AssertRecorder recorder;
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const D u = random.Direction(), v = random.Direction(u);
    const KRNMathPlane source(random.Point(), u, v);
    const ZRMUtPlane plane(source);
    const KRNMathPlane back = plane.Plane();
    V n;
    plane.NormalCoord(n.x, n.y, n.z);
    EXPECT_TRUE(Near(n, V(u) ^ V(v), 1e-15) && Near(back.GetOrigin(), source.GetOrigin(), 0) &&
                Near(back.GetFirstDirection(), u, 1e-15) && Near(back.GetSecondDirection(), v, 1e-15));
  }
  EXPECT_TRUE(recorder.reports.empty());
}

}  // namespace
