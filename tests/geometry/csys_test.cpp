// Coordinate system: both constructors, the orthogonality report, the frame transformation,
// in-place transformation (rigid, scaling, mirroring, degenerate) and Plane().
#include "GeometryTestSupport.h"
#include "ZRMTestSupport.h"
#include "ZRMUtCSys.h"
#include "ZRMUtPlane.h"

#include <cmath>

using geomtest::Coords;
using geomtest::Exact3;
using geomtest::Near3;
using geomtest::RightHandedOrthonormal;

namespace {

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

constexpr double kTol = 1e-12;

struct ZCase {
  KRNMathDirection z;
  KRNMathDirection x;
  KRNMathDirection y;
};

TEST(CSysTest, FrameFromZDirectionTable) {
  const ZCase cases[] = {
      {KRNMathK, KRNMathI, KRNMathJ},
      {KRNMathJ, KRNMathK, KRNMathI},
      {KRNMathDirection(0.0, -1.0, 0.0), KRNMathDirection(0.0, 0.0, -1.0), KRNMathI},  // parallel, opposite sense
      {KRNMathI, KRNMathDirection(0.0, 0.0, -1.0), KRNMathJ},
      {KRNMathDirection(0.0, 0.0, -1.0), KRNMathDirection(-1.0, 0.0, 0.0), KRNMathJ},
  };
  const OpenCSys degenerate;  // the default frame
  EXPECT_TRUE(Exact3(degenerate.Point(), KRNMathPoint(0.0, 0.0, 0.0)));
  EXPECT_TRUE(Exact3(degenerate.XDir(), KRNMathI));
  EXPECT_TRUE(Exact3(degenerate.YDir(), KRNMathI));
  EXPECT_TRUE(Exact3(degenerate.ZDir(), KRNMathI));
  for (const ZCase& c : cases) {
    const OpenCSys frame(KRNMathPoint(1.0, 2.0, 3.0), c.z);
    EXPECT_TRUE(Exact3(frame.ZDir(), c.z));
    EXPECT_TRUE(Near3(frame.XDir(), c.x, kTol));
    EXPECT_TRUE(Near3(frame.YDir(), c.y, kTol));
    EXPECT_TRUE(Exact3(frame.Point(), KRNMathPoint(1.0, 2.0, 3.0)));
  }
}

TEST(CSysTest, FrameFromRandomZIsRightHandedOrthonormal) {
  geomtest::RandomGeometry random(1234);
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const KRNMathDirection z = random.Direction();
    const OpenCSys frame(random.Point(), z);
    EXPECT_TRUE(RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 1e-12));
    EXPECT_TRUE(Exact3(frame.ZDir(), z));
    // x is perpendicular to the reference direction (0, 1, 0).
    EXPECT_NEAR(frame.XDir().y, 0.0, 1e-15);
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
    EXPECT_TRUE(Exact3(frame.XDir(), KRNMathI));
    EXPECT_TRUE(Exact3(frame.YDir(), KRNMathI));
    EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathI));  // parallel inputs: (1, 0, 0)
    ASSERT_EQ(recorder.reports.size(), stage != 0 ? 2u : 1u);
    const zrmtest::AssertReport& failure = recorder.reports[0];
    EXPECT_EQ(failure.kind, zrmtest::AssertReport::Failure);
    EXPECT_FALSE(failure.condition);
    EXPECT_EQ(failure.expression, "mXDir.IsOrthogonal(mYDir)");
    EXPECT_EQ(failure.message, "ZRMUtCSys non-orthogonal directions in.");
    EXPECT_EQ(failure.file, "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys");
    EXPECT_EQ(failure.line, 33);
    if (stage == 0) continue;
    const zrmtest::AssertReport& runtime = recorder.reports[1];
    EXPECT_EQ(runtime.kind, zrmtest::AssertReport::Runtime);
    EXPECT_EQ(runtime.text, L"(\"ZRMUtCSys non-orthogonal directions in.\", mXDir.IsOrthogonal(mYDir))");
    EXPECT_EQ(runtime.file, "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys");
    EXPECT_EQ(runtime.line, 33);
  }
}

TEST(CSysTest, SlightlySkewAndNaNDirectionsAreReported) {
  zrmtest::AssertRecorder recorder;
  const ZRMUtCSys skew(KRNMathPoint(), KRNMathI, KRNMathDirection(0.01, 1.0, 0.0));
  EXPECT_EQ(recorder.reports.size(), 2u);
  const ZRMUtCSys broken(KRNMathPoint(geomtest::kNaN, 0.0, 0.0), KRNMathDirection(geomtest::kNaN, 0.0, 0.0), KRNMathJ);
  EXPECT_EQ(recorder.reports.size(), 4u);
  EXPECT_TRUE(std::isnan(broken.Point().x));
}

TEST(CSysTest, CoordinateGettersCopyTheComponents) {
  const ZRMUtCSys frame(KRNMathPoint(1.0, 2.0, 3.0), KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(Coords(frame, &ZRMUtCSys::PointCoord), KRNMathPoint(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(Coords(frame, &ZRMUtCSys::XDirCoord), KRNMathJ));
  EXPECT_TRUE(Exact3(Coords(frame, &ZRMUtCSys::YDirCoord), KRNMathK));
  EXPECT_TRUE(Exact3(Coords(frame, &ZRMUtCSys::ZDirCoord), KRNMathI));
}

TEST(CSysTest, SettersStoreWithoutRecomputing) {
  OpenCSys frame(KRNMathPoint(), KRNMathK);
  frame.SetXDir(KRNMathJ);
  EXPECT_TRUE(Exact3(frame.XDir(), KRNMathJ));
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathK));  // not recomputed
  frame.SetZDir(KRNMathJ);
  frame.SetYDir(KRNMathJ);
  frame.SetPoint(KRNMathPoint(7.0, 8.0, 9.0));
  EXPECT_TRUE(Exact3(frame.YDir(), KRNMathJ));
  EXPECT_TRUE(Exact3(frame.Point(), KRNMathPoint(7.0, 8.0, 9.0)));

  zrmtest::AssertRecorder recorder;
  frame.SetCSys(KRNMathPoint(1.0, 1.0, 1.0), KRNMathK, KRNMathK);  // no orthogonality report here
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathI));
  frame.SetCSys(KRNMathPoint(), KRNMathK, KRNMathI);
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathJ));
}

TEST(CSysTest, FrameTransformationMapsLocalToWorld) {
  const ZRMUtCSys standard(KRNMathPoint(), KRNMathI, KRNMathJ);
  EXPECT_TRUE(standard.GetCysXform().IsIdentity());

  geomtest::RandomGeometry random(77);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const KRNMathDirection x = random.Direction();
    const KRNMathDirection y = random.OrthogonalTo(x);
    const ZRMUtCSys frame(random.Point(), x, y);
    const KRNMathTransformation toWorld = frame.GetCysXform();
    const double u = random.Uniform(-5, 5), v = random.Uniform(-5, 5), w = random.Uniform(-5, 5);
    const KRNMathPoint expected = frame.Point() + u * KRNMathVector(frame.XDir()) + v * KRNMathVector(frame.YDir()) +
                                  w * KRNMathVector(frame.ZDir());
    EXPECT_TRUE(Near3(toWorld * KRNMathPoint(u, v, w), expected, 1e-12));
    EXPECT_TRUE(Near3(toWorld.Inverse() * (frame.Point() + KRNMathVector(frame.XDir())), KRNMathPoint(1, 0, 0), 1e-12));
  }
}

TEST(CSysTest, RigidMotionsKeepTheFrameAndCommuteWithTheFrameMap) {
  geomtest::ExpectRigidMotionsCommute(
      2024, 300,
      [](geomtest::RandomGeometry& r) {
        const KRNMathDirection x = r.Direction();
        return ZRMUtCSys(r.Point(), x, r.OrthogonalTo(x));
      },
      [](const ZRMUtCSys& frame, double t) { return frame.GetCysXform() * KRNMathPoint(std::cos(t), t, -t); }, 1e-10,
      [](const ZRMUtCSys& before, const ZRMUtCSys& frame, const KRNMathTransformation& motion,
         geomtest::RandomGeometry&) {
        EXPECT_TRUE(RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 1e-12));
        EXPECT_TRUE(Near3(frame.Point(), motion * before.Point(), 1e-12));
        EXPECT_TRUE(Near3(frame.ZDir(), motion * KRNMathVector(before.ZDir()), 1e-12));
      });
}

TEST(CSysTest, ScalingMovesTheOriginAndKeepsUnitDirections) {
  ZRMUtCSys frame(KRNMathPoint(1.0, -2.0, 3.0), KRNMathDirection(1.0, 1.0, 0.0), KRNMathDirection(-1.0, 1.0, 0.0));
  const ZRMUtCSys before(frame);
  frame.ApplyTransformation(geomtest::Scaling(2.0));
  EXPECT_TRUE(Near3(frame.Point(), KRNMathPoint(2.0, -4.0, 6.0), kTol));
  EXPECT_TRUE(Near3(frame.XDir(), before.XDir(), kTol));
  EXPECT_TRUE(Near3(frame.YDir(), before.YDir(), kTol));
  EXPECT_TRUE(Near3(frame.ZDir(), KRNMathK, kTol));
}

TEST(CSysTest, MirroringStillLeavesARightHandedFrame) {
  ZRMUtCSys frame(KRNMathPoint(0.0, 0.0, 5.0), KRNMathI, KRNMathJ);
  frame.ApplyTransformation(geomtest::Mirror(KRNMathPoint(), KRNMathK));
  EXPECT_TRUE(Exact3(frame.Point(), KRNMathPoint(0.0, 0.0, -5.0)));
  EXPECT_TRUE(Exact3(frame.XDir(), KRNMathI));
  EXPECT_TRUE(Exact3(frame.YDir(), KRNMathJ));
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathK));  // not the mirrored (0, 0, -1)

  frame.ApplyTransformation(geomtest::Mirror(KRNMathPoint(), KRNMathI));
  EXPECT_TRUE(RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 0.0));
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathDirection(0.0, 0.0, -1.0)));
}

TEST(CSysTest, CollapsingTransformationGivesTheFallbackDirection) {
  ZRMUtCSys frame(KRNMathPoint(1.0, 1.0, 1.0), KRNMathI, KRNMathJ);
  frame.ApplyTransformation(geomtest::Linear(KRNMathVector(), KRNMathVector(), KRNMathVector()));
  EXPECT_TRUE(Exact3(frame.Point(), KRNMathPoint(0.0, 0.0, 0.0)));
  EXPECT_TRUE(Exact3(frame.XDir(), KRNMathI));
  EXPECT_TRUE(Exact3(frame.YDir(), KRNMathI));
  EXPECT_TRUE(Exact3(frame.ZDir(), KRNMathI));
}

TEST(CSysTest, PlaneKeepsOriginAndNormalAndRechoosesInPlaneDirections) {
  ZRMUtCSys frame(KRNMathPoint(1.0, 2.0, 3.0), KRNMathJ, KRNMathDirection(-1.0, 0.0, 0.0));  // z = (0, 0, 1)
  ZRMUtPlane out(KRNMathPoint(9.0, 9.0, 9.0), KRNMathI);
  frame.Plane(out);
  EXPECT_TRUE(Exact3(out.Point(), frame.Point()));
  EXPECT_TRUE(Exact3(out.Normal(), KRNMathK));
  EXPECT_TRUE(Near3(out.XDir(), KRNMathI, kTol));  // chosen from the normal, not frame's (0, 1, 0)
  EXPECT_TRUE(Near3(out.YDir(), KRNMathJ, kTol));
  EXPECT_EQ(out.GetRefCount(), 0);
}

}  // namespace
