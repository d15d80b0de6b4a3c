// Cone, cylinder, sphere and torus: constructors and their frames, accessors and setters,
// transformations that never rescale the sizes, clones; and the base tangent of every
// geometry without a tangent.
#include "GeometryTestSupport.h"
#include "ZRMTestSupport.h"
#include "ZRMUtCSys.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTorus.h"

#include <cmath>
#include <limits>

using geomtest::Exact3;
using geomtest::Near3;
using geomtest::RightHandedOrthonormal;

namespace {

const KRNMathPoint kAt(1.0, -2.0, 3.0);

KRNMathTransformation ScalingAbout(const KRNMathPoint& center, double factor) {
  const KRNMathTransformation scale(KRNMath3x3Matrix(KRNMathVector(factor, 0, 0), KRNMathVector(0, factor, 0),
                                                     KRNMathVector(0, 0, factor)));
  return KRNMathTransformation(KRNMathVector(center)) * scale * KRNMathTransformation(-KRNMathVector(center));
}

void ExpectFrame(const ZRMUtCSys& frame, const KRNMathPoint& origin, const KRNMathDirection& x,
                 const KRNMathDirection& y, const KRNMathDirection& z) {
  EXPECT_TRUE(Exact3(frame.Point(), origin));
  EXPECT_TRUE(Near3(frame.XDir(), x, 1e-15));
  EXPECT_TRUE(Near3(frame.YDir(), y, 1e-15));
  EXPECT_TRUE(Near3(frame.ZDir(), z, 1e-15));
}

TEST(SurfaceTest, ConeConstructorsAndAccessors) {
  zrmtest::AssertRecorder recorder;
  ZRMUtCone byAxis(kAt, KRNMathJ, 0.25);
  ExpectFrame(byAxis, kAt, KRNMathK, KRNMathI, KRNMathJ);
  EXPECT_EQ(byAxis.HalfAngle(), 0.25);
  EXPECT_TRUE(Exact3(byAxis.Apex(), kAt));
  EXPECT_TRUE(Exact3(byAxis.AxisDir(), KRNMathJ));
  double x = 0, y = 0, z = 0;
  byAxis.ApexCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathPoint(x, y, z), kAt));
  byAxis.AxisDirCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathVector(x, y, z), KRNMathJ));
  byAxis.SetHalfAngle(-1.5);  // stored as passed
  byAxis.SetAxisPoint(KRNMathPoint(0.0, 0.0, 7.0));
  EXPECT_EQ(byAxis.HalfAngle(), -1.5);
  EXPECT_TRUE(Exact3(byAxis.Apex(), KRNMathPoint(0.0, 0.0, 7.0)));

  const ZRMUtCone byAxes(kAt, KRNMathJ, KRNMathK, 0.5);
  ExpectFrame(byAxes, kAt, KRNMathJ, KRNMathK, KRNMathI);
  EXPECT_TRUE(recorder.reports.empty());
  const ZRMUtCone skew(kAt, KRNMathJ, KRNMathJ, 0.5);  // reported by the frame constructor
  EXPECT_EQ(recorder.reports.size(), 2u);
  EXPECT_EQ(ZRMUtCone().HalfAngle(), 0.0);
}

TEST(SurfaceTest, CylinderConstructorsAndAccessors) {
  zrmtest::AssertRecorder recorder;
  ZRMUtCylinder byAxis(kAt, KRNMathK, 2.5);
  ExpectFrame(byAxis, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_EQ(byAxis.Radius(), 2.5);
  EXPECT_TRUE(Exact3(byAxis.AxisDir(), KRNMathK));
  double x = 0, y = 0, z = 0;
  byAxis.AxisDirCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathVector(x, y, z), KRNMathK));
  byAxis.SetRadius(0.0);
  byAxis.SetAxisPoint(KRNMathPoint(4.0, 4.0, 4.0));
  EXPECT_EQ(byAxis.Radius(), 0.0);
  EXPECT_TRUE(Exact3(byAxis.Point(), KRNMathPoint(4.0, 4.0, 4.0)));

  const ZRMUtCylinder byAxes(kAt, KRNMathK, KRNMathI, 1.0);
  ExpectFrame(byAxes, kAt, KRNMathK, KRNMathI, KRNMathJ);
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(ZRMUtCylinder().Radius(), 0.0);
}

TEST(SurfaceTest, SphereConstructorsAndAccessors) {
  zrmtest::AssertRecorder recorder;
  ZRMUtSphere standard(kAt, 2.0);
  ExpectFrame(standard, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_EQ(standard.Radius(), 2.0);
  EXPECT_TRUE(Exact3(standard.Center(), kAt));
  standard.SetCenter(5.0, 6.0, 7.0);
  standard.SetRadius(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(Exact3(standard.Center(), KRNMathPoint(5.0, 6.0, 7.0)));
  EXPECT_TRUE(std::isnan(standard.Radius()));

  const ZRMUtSphere byAxes(kAt, 3.0, KRNMathJ, KRNMathDirection(-1.0, 0.0, 0.0));
  ExpectFrame(byAxes, kAt, KRNMathJ, KRNMathDirection(-1.0, 0.0, 0.0), KRNMathK);
  EXPECT_EQ(byAxes.Radius(), 3.0);
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(ZRMUtSphere().Radius(), 0.0);
}

TEST(SurfaceTest, TorusConstructorsAndAccessors) {
  zrmtest::AssertRecorder recorder;
  ZRMUtTorus standard(kAt, 5.0, 1.0);
  ExpectFrame(standard, kAt, KRNMathI, KRNMathJ, KRNMathK);
  EXPECT_EQ(standard.MajorRadius(), 5.0);
  EXPECT_EQ(standard.MinorRadius(), 1.0);
  EXPECT_TRUE(Exact3(standard.Center(), kAt));
  standard.SetMajorRadius(1.0);
  standard.SetMinorRadius(2.0);  // a self-intersecting torus is stored as passed
  standard.SetCenter(0.0, 0.0, 0.0);
  EXPECT_EQ(standard.MajorRadius(), 1.0);
  EXPECT_EQ(standard.MinorRadius(), 2.0);
  EXPECT_TRUE(Exact3(standard.Center(), KRNMathPoint()));

  const ZRMUtTorus byAxes(kAt, 4.0, 0.5, KRNMathK, KRNMathI);
  ExpectFrame(byAxes, kAt, KRNMathK, KRNMathI, KRNMathJ);
  EXPECT_TRUE(recorder.reports.empty());
  const ZRMUtTorus defaulted;
  EXPECT_EQ(defaulted.MajorRadius(), 0.0);
  EXPECT_EQ(defaulted.MinorRadius(), 0.0);
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
                                 static_cast<const ZRMUtCSys*>(&sphere), static_cast<const ZRMUtCSys*>(&torus)}) {
    ExpectFrame(*frame, kAt, KRNMathJ, KRNMathJ, KRNMathI);
  }
  EXPECT_TRUE(recorder.reports.empty());
  torus.SetCSys(KRNMathPoint(), KRNMathK, KRNMathI);
  ExpectFrame(torus, KRNMathPoint(), KRNMathK, KRNMathI, KRNMathJ);
}

TEST(SurfaceTest, TransformationsMoveTheFrameAndNeverRescaleTheSizes) {
  ZRMUtCone cone(kAt, KRNMathK, 0.3);
  ZRMUtCylinder cylinder(kAt, KRNMathJ, 2.0);
  ZRMUtSphere sphere(kAt, 1.0);
  ZRMUtTorus torus(kAt, 4.0, 1.5);
  const KRNMathTransformation doubling = ScalingAbout(KRNMathPoint(), 2.0);
  for (ZRMUtCSys* frame : {static_cast<ZRMUtCSys*>(&cone), static_cast<ZRMUtCSys*>(&cylinder),
                           static_cast<ZRMUtCSys*>(&sphere), static_cast<ZRMUtCSys*>(&torus)}) {
    const ZRMUtCSys before(*frame);
    frame->ApplyTransformation(doubling);
    EXPECT_TRUE(Near3(frame->Point(), KRNMathPoint(2.0, -4.0, 6.0), 1e-14));
    EXPECT_TRUE(Near3(frame->XDir(), before.XDir(), 1e-15));
    EXPECT_TRUE(Near3(frame->ZDir(), before.ZDir(), 1e-15));
  }
  EXPECT_EQ(cone.HalfAngle(), 0.3);
  EXPECT_EQ(cylinder.Radius(), 2.0);
  EXPECT_EQ(sphere.Radius(), 1.0);
  EXPECT_EQ(torus.MajorRadius(), 4.0);
  EXPECT_EQ(torus.MinorRadius(), 1.5);

  geomtest::RandomGeometry random(606);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const KRNMathTransformation motion = random.RigidMotion();
    const KRNMathPoint apex = cone.Apex();
    const KRNMathVector axis(cone.AxisDir());
    cone.ApplyTransformation(motion);
    torus.ApplyTransformation(motion);
    EXPECT_TRUE(Near3(cone.Apex(), motion * apex, 1e-10));
    EXPECT_TRUE(Near3(cone.AxisDir(), motion * axis, 1e-12));
    EXPECT_TRUE(RightHandedOrthonormal(cone.XDir(), cone.YDir(), cone.ZDir(), 1e-12));
    EXPECT_TRUE(RightHandedOrthonormal(torus.XDir(), torus.YDir(), torus.ZDir(), 1e-12));
  }
  EXPECT_EQ(cone.HalfAngle(), 0.3);
  EXPECT_EQ(torus.MinorRadius(), 1.5);
}

TEST(SurfaceTest, ClonesCarryFrameAndSizes) {
  const ZRMUtCone cone(kAt, KRNMathJ, KRNMathK, 0.7);
  const ZRMUtTorus torus(kAt, 3.0, 0.5, KRNMathK, KRNMathI);
  ZRMUtGeometry_Ptr coneClone = cone.Clone();
  ZRMUtGeometry_Ptr torusClone = torus.Clone();
  ASSERT_NE(coneClone->AsCone(), nullptr);
  ASSERT_NE(torusClone->AsTorus(), nullptr);
  EXPECT_EQ(coneClone->AsCone()->HalfAngle(), 0.7);
  ExpectFrame(*coneClone->AsCone(), kAt, KRNMathJ, KRNMathK, KRNMathI);
  EXPECT_EQ(torusClone->AsTorus()->MajorRadius(), 3.0);
  EXPECT_EQ(torusClone->AsTorus()->MinorRadius(), 0.5);
  ExpectFrame(*torusClone->AsTorus(), kAt, KRNMathK, KRNMathI, KRNMathJ);

  ZRMUtGeometry_Ptr cylinderClone = ZRMUtCylinder(kAt, KRNMathK, 2.0).Clone();
  ZRMUtGeometry_Ptr sphereClone = ZRMUtSphere(kAt, 9.0).Clone();
  EXPECT_EQ(cylinderClone->AsCylinder()->Radius(), 2.0);
  EXPECT_EQ(sphereClone->AsSphere()->Radius(), 9.0);
  EXPECT_EQ(ZRMGetGeomType(cylinderClone), ZRMUtGeomTypeVisitor::GeomCylinder);
  EXPECT_EQ(ZRMGetGeomType(sphereClone), ZRMUtGeomTypeVisitor::GeomUnknown);
  EXPECT_EQ(sphereClone->AsCSys(), nullptr);

  ZRMUtTorus assigned;
  assigned = torus;
  EXPECT_EQ(assigned.MinorRadius(), 0.5);
  ExpectFrame(assigned, kAt, KRNMathK, KRNMathI, KRNMathJ);
}

// The geometries without a tangent answer false and leave the vector as it was.
TEST(BaseTangentTest, GeometriesWithoutATangent) {
  const ZRMUtPoint point(kAt);
  const ZRMUtPlane plane(kAt, KRNMathK);
  const ZRMUtCSys frame(kAt, KRNMathI, KRNMathJ);
  const ZRMUtCone cone(kAt, KRNMathK, 0.3);
  const ZRMUtCylinder cylinder(kAt, KRNMathK, 1.0);
  const ZRMUtSphere sphere(kAt, 1.0);
  const ZRMUtTorus torus(kAt, 2.0, 1.0);
  for (const ZRMUtGeometry* g : {static_cast<const ZRMUtGeometry*>(&point), static_cast<const ZRMUtGeometry*>(&plane),
                                 static_cast<const ZRMUtGeometry*>(&frame), static_cast<const ZRMUtGeometry*>(&cone),
                                 static_cast<const ZRMUtGeometry*>(&cylinder), static_cast<const ZRMUtGeometry*>(&sphere),
                                 static_cast<const ZRMUtGeometry*>(&torus)}) {
    KRNMathVector tangent(3.0, 4.0, 5.0);
    EXPECT_FALSE(g->GetTangentAtPoint(kAt, tangent));
    EXPECT_TRUE(Exact3(tangent, KRNMathVector(3.0, 4.0, 5.0)));
  }
}

}  // namespace
