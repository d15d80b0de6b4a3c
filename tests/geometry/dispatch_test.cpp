// Dispatch on the concrete kind: every class is visited as exactly its own kind, through both
// Accept overloads; type codes; exact-class downcasts; default visitor forwarding.
#include "GeometryTestSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
#include "ZRMUtCSys.h"
#include "ZRMUtCircle.h"
#include "ZRMUtCone.h"
#include "ZRMUtCylinder.h"
#include "ZRMUtEllipse.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtLine.h"
#include "ZRMUtPlane.h"
#include "ZRMUtPoint.h"
#include "ZRMUtSphere.h"
#include "ZRMUtTorus.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using GeomType = ZRMUtGeomTypeVisitor::GeomType;

// The Visit overload that received a geometry.
enum class Kind { None, Torus, Sphere, Cylinder, Cone, Plane, BSpline, Arc, Ellipse, Circle, CSys, Line, Point, General };

// Records which overload was called with which object; returns a chosen answer.
class RecordingVisitor : public ZRMUtGeomVisitor {
public:
  explicit RecordingVisitor(bool answer = true) : mAnswer(answer) {}
  bool Visit(const ZRMUtTorus* g) override { return Record(Kind::Torus, g); }
  bool Visit(const ZRMUtSphere* g) override { return Record(Kind::Sphere, g); }
  bool Visit(const ZRMUtCylinder* g) override { return Record(Kind::Cylinder, g); }
  bool Visit(const ZRMUtCone* g) override { return Record(Kind::Cone, g); }
  bool Visit(const ZRMUtPlane* g) override { return Record(Kind::Plane, g); }
  bool Visit(const ZRMUtBSpline* g) override { return Record(Kind::BSpline, g); }
  bool Visit(const ZRMUtArc* g) override { return Record(Kind::Arc, g); }
  bool Visit(const ZRMUtEllipse* g) override { return Record(Kind::Ellipse, g); }
  bool Visit(const ZRMUtCircle* g) override { return Record(Kind::Circle, g); }
  bool Visit(const ZRMUtCSys* g) override { return Record(Kind::CSys, g); }
  bool Visit(const ZRMUtLine* g) override { return Record(Kind::Line, g); }
  bool Visit(const ZRMUtPoint* g) override { return Record(Kind::Point, g); }
  bool Visit(const ZRMUtGeometry* g) override { return Record(Kind::General, g); }

  int calls = 0;
  Kind kind = Kind::None;
  const void* visited = nullptr;

private:
  bool Record(Kind k, const void* g) {
    ++calls;
    kind = k;
    visited = g;
    return mAnswer;
  }
  bool mAnswer;
};

// Overrides only the general overload: must receive every kind there.
class GeneralOnlyVisitor : public ZRMUtGeomVisitor {
public:
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtGeometry* g) override {
    ++calls;
    visited = g;
    return true;
  }
  int calls = 0;
  const ZRMUtGeometry* visited = nullptr;
};

// A downcast as a function; the result as an address.
using Cast = void* (*)(ZRMUtGeometry&);

// One geometry of every class with the answers expected for it.
struct Case {
  std::string name;
  std::function<ZRMUtGeometry_Ptr()> make;
  Kind kind;
  GeomType type;
  Cast exactCast;  // the one downcast expected to succeed
};

Cast const kArc = [](ZRMUtGeometry& g) -> void* { return g.AsArc(); };
Cast const kBSpline = [](ZRMUtGeometry& g) -> void* { return g.AsBSpline(); };
Cast const kCircle = [](ZRMUtGeometry& g) -> void* { return g.AsCircle(); };
Cast const kEllipse = [](ZRMUtGeometry& g) -> void* { return g.AsEllipse(); };
Cast const kCSys = [](ZRMUtGeometry& g) -> void* { return g.AsCSys(); };
Cast const kCone = [](ZRMUtGeometry& g) -> void* { return g.AsCone(); };
Cast const kCylinder = [](ZRMUtGeometry& g) -> void* { return g.AsCylinder(); };
Cast const kLine = [](ZRMUtGeometry& g) -> void* { return g.AsLine(); };
Cast const kPlane = [](ZRMUtGeometry& g) -> void* { return g.AsPlane(); };
Cast const kPoint = [](ZRMUtGeometry& g) -> void* { return g.AsPoint(); };
Cast const kSphere = [](ZRMUtGeometry& g) -> void* { return g.AsSphere(); };
Cast const kTorus = [](ZRMUtGeometry& g) -> void* { return g.AsTorus(); };
const Cast kAllCasts[] = {kArc, kBSpline, kCircle, kEllipse, kCSys, kCone,
                          kCylinder, kLine, kPlane, kPoint, kSphere, kTorus};

const std::vector<Case>& Cases() {
  const KRNMathPoint o(1.0, -2.0, 0.5);
  static const std::vector<Case> cases = {
      {"point", [o] { return ZRMUtGeometry_Ptr(new ZRMUtPoint(o)); }, Kind::Point, ZRMUtGeomTypeVisitor::GeomPoint,
       kPoint},
      {"line", [o] { return ZRMUtGeometry_Ptr(new ZRMUtLine(o, KRNMathK)); }, Kind::Line,
       ZRMUtGeomTypeVisitor::GeomLine, kLine},
      {"plane", [o] { return ZRMUtGeometry_Ptr(new ZRMUtPlane(o, KRNMathK)); }, Kind::Plane,
       ZRMUtGeomTypeVisitor::GeomPlane, kPlane},
      {"csys", [o] { return ZRMUtGeometry_Ptr(new ZRMUtCSys(o, KRNMathI, KRNMathJ)); }, Kind::CSys,
       ZRMUtGeomTypeVisitor::GeomCSys, kCSys},
      {"cone", [o] { return ZRMUtGeometry_Ptr(new ZRMUtCone(o, KRNMathK, 0.3)); }, Kind::Cone,
       ZRMUtGeomTypeVisitor::GeomCone, kCone},
      {"cylinder", [o] { return ZRMUtGeometry_Ptr(new ZRMUtCylinder(o, KRNMathK, 2.0)); }, Kind::Cylinder,
       ZRMUtGeomTypeVisitor::GeomCylinder, kCylinder},
      {"sphere", [o] { return ZRMUtGeometry_Ptr(new ZRMUtSphere(o, 2.0)); }, Kind::Sphere,
       ZRMUtGeomTypeVisitor::GeomUnknown, kSphere},
      {"torus", [o] { return ZRMUtGeometry_Ptr(new ZRMUtTorus(o, 3.0, 1.0)); }, Kind::Torus,
       ZRMUtGeomTypeVisitor::GeomUnknown, kTorus},
      {"circle", [o] { return ZRMUtGeometry_Ptr(new ZRMUtCircle(o, KRNMathK, 2.0)); }, Kind::Circle,
       ZRMUtGeomTypeVisitor::GeomCircle, kCircle},
      {"arc", [] { return ZRMUtGeometry_Ptr(new ZRMUtArc()); }, Kind::Arc, ZRMUtGeomTypeVisitor::GeomArc, kArc},
      {"ellipse", [] { return ZRMUtGeometry_Ptr(new ZRMUtEllipse()); }, Kind::Ellipse, ZRMUtGeomTypeVisitor::GeomEllipse,
       kEllipse},
      {"bspline", [] { return ZRMUtGeometry_Ptr(new ZRMUtBSpline()); }, Kind::BSpline,
       ZRMUtGeomTypeVisitor::GeomBSpline, kBSpline},
  };
  return cases;
}

class DispatchTest : public ::testing::TestWithParam<Case> {};

TEST_P(DispatchTest, BothAcceptOverloadsVisitTheExactClassOnce) {
  const Case& c = GetParam();
  ZRMUtGeometry_Ptr g = c.make();
  for (bool answer : {true, false}) {
    RecordingVisitor mutableVisitor(answer);
    EXPECT_EQ(g->Accept(&mutableVisitor), answer);
    EXPECT_EQ(mutableVisitor.calls, 1);
    EXPECT_EQ(mutableVisitor.kind, c.kind);
    EXPECT_EQ(mutableVisitor.visited, static_cast<const void*>(g.Ptr()));

    RecordingVisitor constVisitor(answer);
    const ZRMUtGeometry& constG = *g;
    EXPECT_EQ(constG.Accept(&constVisitor), answer);
    EXPECT_EQ(constVisitor.calls, 1);
    EXPECT_EQ(constVisitor.kind, c.kind);
  }
}

TEST_P(DispatchTest, NullVisitorGivesFalse) {
  ZRMUtGeometry_Ptr g = GetParam().make();
  EXPECT_FALSE(g->Accept(nullptr));
  EXPECT_FALSE(static_cast<const ZRMUtGeometry&>(*g).Accept(nullptr));
}

TEST_P(DispatchTest, DefaultOverloadsForwardToTheGeneralOne) {
  ZRMUtGeometry_Ptr g = GetParam().make();
  GeneralOnlyVisitor general;
  EXPECT_TRUE(g->Accept(&general));
  EXPECT_EQ(general.calls, 1);
  EXPECT_EQ(general.visited, g.Ptr());

  ZRMUtGeomVisitor plain;  // overrides nothing
  EXPECT_FALSE(g->Accept(&plain));
  EXPECT_FALSE(static_cast<const ZRMUtGeometry&>(*g).Accept(&plain));
}

TEST_P(DispatchTest, TypeCode) {
  const Case& c = GetParam();
  EXPECT_EQ(ZRMGetGeomType(c.make()), c.type);
  ZRMUtGeomTypeVisitor visitor;
  EXPECT_EQ(visitor.GetType(), ZRMUtGeomTypeVisitor::GeomUnknown);
  // Spheres and tori are not answered by the type visitor.
  EXPECT_EQ(c.make()->Accept(&visitor), c.type != ZRMUtGeomTypeVisitor::GeomUnknown);
  EXPECT_EQ(visitor.GetType(), c.type);
}

TEST_P(DispatchTest, OnlyTheExactClassDowncastSucceeds) {
  const Case& c = GetParam();
  ZRMUtGeometry_Ptr g = c.make();
  const long refs = g->GetRefCount();
  int hits = 0;
  for (Cast cast : kAllCasts) {
    void* result = cast(*g);
    if (result != nullptr) {
      ++hits;
      EXPECT_EQ(result, static_cast<void*>(g.Ptr()));
    }
  }
  EXPECT_EQ(hits, 1);
  EXPECT_EQ(c.exactCast(*g), static_cast<void*>(g.Ptr()));
  EXPECT_EQ(g->GetRefCount(), refs);
}

TEST_P(DispatchTest, CloneIsTheSameKindAndIndependent) {
  const Case& c = GetParam();
  ZRMUtGeometry_Ptr g = c.make();
  ZRMUtGeometry_Ptr clone = g->Clone();
  EXPECT_NE(clone.Ptr(), g.Ptr());
  EXPECT_EQ(clone->GetRefCount(), 1);
  RecordingVisitor visitor;
  clone->Accept(&visitor);
  EXPECT_EQ(visitor.kind, c.kind);
  EXPECT_EQ(ZRMGetGeomType(clone), c.type);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, DispatchTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(GeomTypeTest, CodesAndEmptyHandle) {
  EXPECT_EQ(ZRMGetGeomType(ZRMUtGeometry_Ptr()), ZRMUtGeomTypeVisitor::GeomUnknown);
  static_assert(sizeof(GeomType) == 4);
  const GeomType codes[] = {ZRMUtGeomTypeVisitor::GeomUnknown, ZRMUtGeomTypeVisitor::GeomPoint,
                            ZRMUtGeomTypeVisitor::GeomLine,    ZRMUtGeomTypeVisitor::GeomPlane,
                            ZRMUtGeomTypeVisitor::GeomCSys,    ZRMUtGeomTypeVisitor::GeomCircle,
                            ZRMUtGeomTypeVisitor::GeomCone,    ZRMUtGeomTypeVisitor::GeomCylinder,
                            ZRMUtGeomTypeVisitor::GeomEllipse, ZRMUtGeomTypeVisitor::GeomArc,
                            ZRMUtGeomTypeVisitor::GeomBSpline};
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(static_cast<int>(codes[i]), i);
}

TEST(DowncastTest, ArcIsNotACircleAndCircleIsNotACoordinateSystem) {
  ZRMUtArc arc;
  EXPECT_EQ(arc.AsArc(), &arc);
  EXPECT_EQ(arc.AsCircle(), nullptr);
  EXPECT_EQ(arc.AsCSys(), nullptr);
  ZRMUtCircle circle(KRNMathPoint(), KRNMathK, 1.0);
  EXPECT_EQ(circle.AsCircle(), &circle);
  EXPECT_EQ(circle.AsCSys(), nullptr);
}

TEST(DowncastTest, PlaneIsNotACoordinateSystem) {
  ZRMUtPlane plane(KRNMathPoint(), KRNMathK);
  EXPECT_EQ(plane.AsPlane(), &plane);
  EXPECT_EQ(plane.AsCSys(), nullptr);
  ZRMUtSphere sphere(KRNMathPoint(), 1.0);
  EXPECT_EQ(sphere.AsCSys(), nullptr);
  EXPECT_EQ(sphere.AsSphere(), &sphere);
  EXPECT_EQ(plane.GetRefCount(), 0);  // stack objects are never counted by downcasts
}

}  // namespace
