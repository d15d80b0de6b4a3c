// Cone, cylinder, sphere and torus: constructors and their frames, accessors and setters,
// transformations that never rescale the sizes, clones; and the base tangent of every
// geometry without a tangent.
#include "GeometryTestSupport.h"
#include "ZRMUtCSys.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTorus.h"

#include <cmath>

using geomtest::Coords;
using geomtest::Exact3;
using geomtest::Near3;
using geomtest::RightHandedOrthonormal;

namespace {

const KRNMathPoint kAt(1.0, -2.0, 3.0);

void ExpectFrame(const ZRMUtCSys& frame, const KRNMathPoint& origin, const KRNMathDirection& x,
                 const KRNMathDirection& y, const KRNMathDirection& z) {
  EXPECT_TRUE(Exact3(frame.Point(), origin));
  EXPECT_TRUE(Near3(frame.XDir(), x, 1e-15));
  EXPECT_TRUE(Near3(frame.YDir(), y, 1e-15));
  EXPECT_TRUE(Near3(frame.ZDir(), z, 1e-15));
}

TEST(SurfaceTest, ConstructorsFramesAccessorsAndSetters) {
  zrmtest::AssertRecorder recorder;
  ZRMUtCone cone(kAt, KRNMathJ, 0.25);
  ExpectFrame(cone, kAt, KRNMathK, KRNMathI, KRNMathJ);
  EXPECT_TRUE(Exact3(cone.Apex(), kAt));
  EXPECT_TRUE(Exact3(cone.AxisDir(), KRNMathJ));
  EXPECT_TRUE(Exact3(Coords(cone, &ZRMUtCone::ApexCoord), kAt));
  EXPECT_TRUE(Exact3(Coords(cone, &ZRMUtCone::AxisDirCoord), KRNMathJ));
  cone.SetHalfAngle(-1.5);  // stored as passed
  cone.SetAxisPoint(KRNMathPoint(0.0, 0.0, 7.0));
  EXPECT_EQ(cone.HalfAngle(), -1.5);
  EXPECT_TRUE(Exact3(cone.Apex(), KRNMathPoint(0.0, 0.0, 7.0)));
  ExpectFrame(ZRMUtCone(kAt, KRNMathJ, KRNMathK, 0.5), kAt, KRNMathJ, KRNMathK, KRNMathI);

  ZRMUtCylinder cylinder(kAt, KRNMathK, 2.5);
  ExpectFrame(cylinder, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_EQ(cylinder.Radius(), 2.5);
  EXPECT_TRUE(Exact3(Coords(cylinder, &ZRMUtCylinder::AxisDirCoord), KRNMathK));
  cylinder.SetRadius(0.0);
  cylinder.SetAxisPoint(KRNMathPoint(4.0, 4.0, 4.0));
  EXPECT_EQ(cylinder.Radius(), 0.0);
  EXPECT_TRUE(Exact3(cylinder.Point(), KRNMathPoint(4.0, 4.0, 4.0)));
  ExpectFrame(ZRMUtCylinder(kAt, KRNMathK, KRNMathI, 1.0), kAt, KRNMathK, KRNMathI, KRNMathJ);

  ZRMUtSphere sphere(kAt, 2.0);
  ExpectFrame(sphere, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(sphere.Center(), kAt));
  sphere.SetCenter(5.0, 6.0, 7.0);
  sphere.SetRadius(geomtest::kNaN);
  EXPECT_TRUE(Exact3(sphere.Center(), KRNMathPoint(5.0, 6.0, 7.0)));
  EXPECT_TRUE(std::isnan(sphere.Radius()));
  const ZRMUtSphere sphereByAxes(kAt, 3.0, KRNMathJ, KRNMathDirection(-1.0, 0.0, 0.0));
  ExpectFrame(sphereByAxes, kAt, KRNMathJ, KRNMathDirection(-1.0, 0.0, 0.0), KRNMathK);
  EXPECT_EQ(sphereByAxes.Radius(), 3.0);

  ZRMUtTorus torus(kAt, 5.0, 1.0);
  ExpectFrame(torus, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_TRUE(Exact3(torus.Center(), kAt));
  torus.SetMajorRadius(1.0);
  torus.SetMinorRadius(2.0);  // a self-intersecting torus is stored as passed
  torus.SetCenter(0.0, 0.0, 0.0);
  EXPECT_EQ(torus.MajorRadius(), 1.0);
  EXPECT_EQ(torus.MinorRadius(), 2.0);
  EXPECT_TRUE(Exact3(torus.Center(), KRNMathPoint()));
  ExpectFrame(ZRMUtTorus(kAt, 4.0, 0.5, KRNMathK, KRNMathI), kAt, KRNMathK, KRNMathI, KRNMathJ);
  EXPECT_TRUE(recorder.reports.empty());

  const ZRMUtCone skew(kAt, KRNMathJ, KRNMathJ, 0.5);  // reported by the frame constructor
  EXPECT_EQ(recorder.reports.size(), 2u);
  const ZRMUtTorus defaulted;
  EXPECT_EQ(defaulted.MajorRadius() + defaulted.MinorRadius() + ZRMUtCone().HalfAngle(), 0.0);
  EXPECT_EQ(ZRMUtCylinder().Radius() + ZRMUtSphere().Radius(), 0.0);
  ExpectFrame(defaulted, KRNMathPoint(), KRNMathI, KRNMathI, KRNMathI);
}

TEST(SurfaceTest, SetCSysStoresWithoutTheOrthogonalityReport) {
  zrmtest::AssertRecorder recorder;
  ZRMUtCone cone;
  ZRMUtCylinder cylinder;
  ZRMUtSphere sphere;
  ZRMUtTorus torus;
  cone.SetCSys(kAt, KRNMathJ, KRNMathJ);
  cylinder.SetCSys(kAt, KRNMathJ, KRNMathJ);
  sphere.SetCSys(kAt, KRNMathJ, KRNMathJ);
  torus.SetCSys(kAt, KRNMathJ, KRNMathJ);
  for (const ZRMUtCSys* frame : {static_cast<const ZRMUtCSys*>(&cone), static_cast<const ZRMUtCSys*>(&cylinder),
                                 static_cast<const ZRMUtCSys*>(&sphere), static_cast<const ZRMUtCSys*>(&torus)})
    ExpectFrame(*frame, kAt, KRNMathJ, KRNMathJ, KRNMathI);
  EXPECT_TRUE(recorder.reports.empty());
  torus.SetCSys(KRNMathPoint(), KRNMathK, KRNMathI);
  ExpectFrame(torus, KRNMathPoint(), KRNMathK, KRNMathI, KRNMathJ);
}

// Scalings and rigid motions move the frame; the sizes stay as they were, in the surfaces and
// in their clones.
TEST(SurfaceTest, TransformationsMoveTheFrameAndNeverRescaleTheSizes) {
  ZRMUtCone cone(kAt, KRNMathK, 0.3);
  ZRMUtCylinder cylinder(kAt, KRNMathJ, 2.0);
  ZRMUtSphere sphere(kAt, 1.0);
  ZRMUtTorus torus(kAt, 4.0, 1.5);
  const auto expectSizes = [](const ZRMUtCone& c, const ZRMUtCylinder& y, const ZRMUtSphere& s, const ZRMUtTorus& t) {
    EXPECT_EQ(c.HalfAngle(), 0.3);
    EXPECT_EQ(y.Radius(), 2.0);
    EXPECT_EQ(s.Radius(), 1.0);
    EXPECT_EQ(t.MajorRadius(), 4.0);
    EXPECT_EQ(t.MinorRadius(), 1.5);
  };
  for (ZRMUtCSys* frame : {static_cast<ZRMUtCSys*>(&cone), static_cast<ZRMUtCSys*>(&cylinder),
                           static_cast<ZRMUtCSys*>(&sphere), static_cast<ZRMUtCSys*>(&torus)}) {
    const ZRMUtCSys before(*frame);
    frame->ApplyTransformation(geomtest::Scaling(2.0));
    EXPECT_TRUE(Near3(frame->Point(), KRNMathPoint(2.0, -4.0, 6.0), 1e-14));
    EXPECT_TRUE(Near3(frame->XDir(), before.XDir(), 1e-15));
    EXPECT_TRUE(Near3(frame->ZDir(), before.ZDir(), 1e-15));
  }
  geomtest::RandomGeometry random(606);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const KRNMathTransformation motion = random.RigidMotion();
    const KRNMathPoint apex = cone.Apex();
    const KRNMathVector axis(cone.AxisDir());
    for (ZRMUtCSys* frame : {static_cast<ZRMUtCSys*>(&cone), static_cast<ZRMUtCSys*>(&cylinder),
                             static_cast<ZRMUtCSys*>(&sphere), static_cast<ZRMUtCSys*>(&torus)}) {
      frame->ApplyTransformation(motion);
      EXPECT_TRUE(RightHandedOrthonormal(frame->XDir(), frame->YDir(), frame->ZDir(), 1e-12));
    }
    EXPECT_TRUE(Near3(cone.Apex(), motion * apex, 1e-10));
    EXPECT_TRUE(Near3(cone.AxisDir(), motion * axis, 1e-12));
  }
  expectSizes(cone, cylinder, sphere, torus);
  ZRMUtGeometry_Ptr clones[] = {cone.Clone(), cylinder.Clone(), sphere.Clone(), torus.Clone()};
  expectSizes(*clones[0]->AsCone(), *clones[1]->AsCylinder(), *clones[2]->AsSphere(), *clones[3]->AsTorus());
  ZRMUtTorus assigned;
  assigned = torus;
  EXPECT_EQ(assigned.MinorRadius(), 1.5);
  EXPECT_TRUE(Exact3(assigned.XDir(), torus.XDir()));
}

// The geometries without a tangent answer false and leave the vector as it was.
TEST(BaseTangentTest, GeometriesWithoutATangent) {
  ZRMUtGeometry_Ptr geometries[] = {
      ZRMUtGeometry_Ptr(new ZRMUtPoint(kAt)),          ZRMUtGeometry_Ptr(new ZRMUtPlane(kAt, KRNMathK)),
      ZRMUtGeometry_Ptr(new ZRMUtCSys(kAt, KRNMathI, KRNMathJ)), ZRMUtGeometry_Ptr(new ZRMUtCone(kAt, KRNMathK, 0.3)),
      ZRMUtGeometry_Ptr(new ZRMUtCylinder(kAt, KRNMathK, 1.0)), ZRMUtGeometry_Ptr(new ZRMUtSphere(kAt, 1.0)),
      ZRMUtGeometry_Ptr(new ZRMUtTorus(kAt, 2.0, 1.0))};
  for (const ZRMUtGeometry_Ptr& g : geometries) {
    KRNMathVector tangent(3.0, 4.0, 5.0);
    EXPECT_FALSE(static_cast<const ZRMUtGeometry&>(*g).GetTangentAtPoint(kAt, tangent));
    EXPECT_TRUE(Exact3(tangent, KRNMathVector(3.0, 4.0, 5.0)));
  }
}

}  // namespace
