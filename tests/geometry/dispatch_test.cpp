// Dispatch on the concrete kind, for every class: visited as exactly its own kind through both
// Accept overloads, default visitor forwarding, type codes, exact-class downcasts and clones.
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
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

using geomtest::Exact3;

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

// Every downcast, as functions giving the result's address.
using Cast = void* (*)(ZRMUtGeometry&);
const Cast kCasts[] = {
    [](ZRMUtGeometry& g) -> void* { return g.AsArc(); },     [](ZRMUtGeometry& g) -> void* { return g.AsBSpline(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCircle(); },  [](ZRMUtGeometry& g) -> void* { return g.AsEllipse(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCSys(); },    [](ZRMUtGeometry& g) -> void* { return g.AsCone(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCylinder(); }, [](ZRMUtGeometry& g) -> void* { return g.AsLine(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsPlane(); },   [](ZRMUtGeometry& g) -> void* { return g.AsPoint(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsSphere(); },  [](ZRMUtGeometry& g) -> void* { return g.AsTorus(); }};
enum CastIndex { kArc, kBSpline, kCircle, kEllipse, kCSys, kCone, kCylinder, kLine, kPlane, kPoint, kSphere, kTorus };

// One geometry of every class with the answers expected for it.
struct Case {
  std::string name;
  std::function<ZRMUtGeometry*()> make;
  Kind kind;
  GeomType type;
  CastIndex exactCast;  // the one downcast expected to succeed
};
// A case prints as its class name (not as the raw bytes of the record, padding included).
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// A point every translation moves: a frame's origin, a point, a line's point, the first control point.
KRNMathPoint Anchor(ZRMUtGeometry& g) {
  if (auto* frame = dynamic_cast<ZRMUtCSys*>(&g)) return frame->Point();
  if (g.AsPoint()) return g.AsPoint()->Point();
  if (g.AsLine()) return g.AsLine()->Point();
  return g.AsBSpline()->GetCPoints().GetPoint(0);
}

const std::vector<Case>& Cases() {
  using V = ZRMUtGeomTypeVisitor;
  static const KRNMathPoint o(1.0, -2.0, 0.5);
  static const std::vector<Case> cases = {
      {"point", [] { return new ZRMUtPoint(o); }, Kind::Point, V::GeomPoint, kPoint},
      {"line", [] { return new ZRMUtLine(o, KRNMathK); }, Kind::Line, V::GeomLine, kLine},
      {"plane", [] { return new ZRMUtPlane(o, KRNMathK); }, Kind::Plane, V::GeomPlane, kPlane},
      {"csys", [] { return new ZRMUtCSys(o, KRNMathI, KRNMathJ); }, Kind::CSys, V::GeomCSys, kCSys},
      {"cone", [] { return new ZRMUtCone(o, KRNMathK, 0.3); }, Kind::Cone, V::GeomCone, kCone},
      {"cylinder", [] { return new ZRMUtCylinder(o, KRNMathK, 2.0); }, Kind::Cylinder, V::GeomCylinder, kCylinder},
      {"sphere", [] { return new ZRMUtSphere(o, 2.0); }, Kind::Sphere, V::GeomUnknown, kSphere},
      {"torus", [] { return new ZRMUtTorus(o, 3.0, 1.0); }, Kind::Torus, V::GeomUnknown, kTorus},
      {"circle", [] { return new ZRMUtCircle(o, KRNMathK, 2.0); }, Kind::Circle, V::GeomCircle, kCircle},
      {"arc", [] { return new ZRMUtArc(o, KRNMathK, 1.0, o, o); }, Kind::Arc, V::GeomArc, kArc},
      {"ellipse", [] { return new ZRMUtEllipse(o, KRNMathI, KRNMathJ, 2.0, 1.0); }, Kind::Ellipse, V::GeomEllipse,
       kEllipse},
      {"bspline",
       [] {
         KRNMathSetOfPoints polygon;
         polygon.Append(o);
         return new ZRMUtBSpline(2, 0, nullptr, nullptr, false, polygon);
       },
       Kind::BSpline, V::GeomBSpline, kBSpline},
  };
  return cases;
}

class DispatchTest : public ::testing::TestWithParam<Case> {
protected:
  ZRMUtGeometry_Ptr g{GetParam().make()};
};

TEST_P(DispatchTest, AcceptVisitsTheExactClassOnceThroughBothOverloads) {
  for (bool answer : {true, false}) {
    RecordingVisitor mutableVisitor(answer);
    EXPECT_EQ(g->Accept(&mutableVisitor), answer);
    EXPECT_EQ(mutableVisitor.calls, 1);
    EXPECT_EQ(mutableVisitor.kind, GetParam().kind);
    EXPECT_EQ(mutableVisitor.visited, static_cast<const void*>(g.Ptr()));
    RecordingVisitor constVisitor(answer);
    EXPECT_EQ(static_cast<const ZRMUtGeometry&>(*g).Accept(&constVisitor), answer);
    EXPECT_EQ(constVisitor.calls, 1);
    EXPECT_EQ(constVisitor.kind, GetParam().kind);
  }
  EXPECT_FALSE(g->Accept(nullptr));
  EXPECT_FALSE(static_cast<const ZRMUtGeometry&>(*g).Accept(nullptr));

  GeneralOnlyVisitor general;  // the default overloads forward to the general one
  EXPECT_TRUE(g->Accept(&general));
  EXPECT_TRUE(static_cast<const ZRMUtGeometry&>(*g).Accept(&general));
  EXPECT_EQ(general.calls, 2);
  EXPECT_EQ(general.visited, g.Ptr());
  ZRMUtGeomVisitor plain;  // overrides nothing
  EXPECT_FALSE(g->Accept(&plain));
  EXPECT_FALSE(static_cast<const ZRMUtGeometry&>(*g).Accept(&plain));
}

TEST_P(DispatchTest, TypeCode) {
  const GeomType type = GetParam().type;
  EXPECT_EQ(ZRMGetGeomType(g), type);
  ZRMUtGeomTypeVisitor visitor;
  EXPECT_EQ(visitor.GetType(), ZRMUtGeomTypeVisitor::GeomUnknown);
  // Spheres and tori are not answered by the type visitor.
  EXPECT_EQ(static_cast<const ZRMUtGeometry&>(*g).Accept(&visitor), type != ZRMUtGeomTypeVisitor::GeomUnknown);
  EXPECT_EQ(visitor.GetType(), type);
}

TEST_P(DispatchTest, OnlyTheExactClassDowncastSucceeds) {
  int hits = 0;
  for (Cast cast : kCasts) {
    if (void* result = cast(*g)) {
      ++hits;
      EXPECT_EQ(result, static_cast<void*>(g.Ptr()));
    }
  }
  EXPECT_EQ(hits, 1);
  EXPECT_EQ(kCasts[GetParam().exactCast](*g), static_cast<void*>(g.Ptr()));
  EXPECT_EQ(g->GetRefCount(), 1);  // downcasts do not count
}

TEST_P(DispatchTest, CloneIsTheSameKindHeldOnceAndIndependent) {
  ZRMUtGeometry_Ptr clone = static_cast<const ZRMUtGeometry&>(*g).Clone();
  EXPECT_NE(clone.Ptr(), g.Ptr());
  EXPECT_EQ(clone->GetRefCount(), 1);
  EXPECT_EQ(g->GetRefCount(), 1);
  RecordingVisitor visitor;
  clone->Accept(&visitor);
  EXPECT_EQ(visitor.kind, GetParam().kind);
  EXPECT_EQ(ZRMGetGeomType(clone), GetParam().type);
  const KRNMathPoint before = Anchor(*g);
  EXPECT_TRUE(Exact3(Anchor(*clone), before));
  clone->ApplyTransformation(KRNMathTransformation(KRNMathVector(1.0, 2.0, 3.0)));
  EXPECT_TRUE(Exact3(Anchor(*g), before));
  EXPECT_TRUE(Exact3(Anchor(*clone), before + KRNMathVector(1.0, 2.0, 3.0)));
}

INSTANTIATE_TEST_SUITE_P(EveryClass, DispatchTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(GeomTypeTest, CodesAndEmptyHandle) {
  EXPECT_EQ(ZRMGetGeomType(ZRMUtGeometry_Ptr()), ZRMUtGeomTypeVisitor::GeomUnknown);
  static_assert(sizeof(GeomType) == 4);
  using V = ZRMUtGeomTypeVisitor;
  const GeomType codes[] = {V::GeomUnknown, V::GeomPoint,    V::GeomLine,    V::GeomPlane,
                            V::GeomCSys,    V::GeomCircle,   V::GeomCone,    V::GeomCylinder,
                            V::GeomEllipse, V::GeomArc,      V::GeomBSpline};
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(static_cast<int>(codes[i]), i);
}

}  // namespace
