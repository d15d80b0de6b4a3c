// One table over every geometry class: dispatch on the exact kind through both Accept overloads,
// default visitor forwarding, type codes, exact-class downcasts, the base tangent, clones and
// value assignment; for the classes placed by a frame, the transformation rules (frame moved,
// sizes rescaled only by uniform scalings and only for curves, collapse to the fallback frame).
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
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

using geomtest::Exact3;
using geomtest::Near3;

namespace {

using GeomType = ZRMUtGeomTypeVisitor::GeomType;
using V = ZRMUtGeomTypeVisitor;
static_assert(sizeof(GeomType) == 4 && V::GeomUnknown == 0 && V::GeomPoint == 1 && V::GeomLine == 2 &&
              V::GeomPlane == 3 && V::GeomCSys == 4 && V::GeomCircle == 5 && V::GeomCone == 6 && V::GeomCylinder == 7 &&
              V::GeomEllipse == 8 && V::GeomArc == 9 && V::GeomBSpline == 10);

// The Visit overload that received a geometry, in the order of kCasts below.
enum class Kind {
  Arc,
  BSpline,
  Circle,
  Ellipse,
  CSys,
  Cone,
  Cylinder,
  Line,
  Plane,
  Point,
  Sphere,
  Torus,
  General,
  None
};

// Every downcast, giving the result's address.
using Cast = void* (*)(ZRMUtGeometry&);
const Cast kCasts[] = {
    [](ZRMUtGeometry& g) -> void* { return g.AsArc(); },      [](ZRMUtGeometry& g) -> void* { return g.AsBSpline(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCircle(); },   [](ZRMUtGeometry& g) -> void* { return g.AsEllipse(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCSys(); },     [](ZRMUtGeometry& g) -> void* { return g.AsCone(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsCylinder(); }, [](ZRMUtGeometry& g) -> void* { return g.AsLine(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsPlane(); },    [](ZRMUtGeometry& g) -> void* { return g.AsPoint(); },
    [](ZRMUtGeometry& g) -> void* { return g.AsSphere(); },   [](ZRMUtGeometry& g) -> void* { return g.AsTorus(); }};

// Records which overload was called with which object and returns a chosen answer; with
// generalOnly, each overload defers to the default one, which must forward to the general one.
class RecordingVisitor : public ZRMUtGeomVisitor {
public:
  explicit RecordingVisitor(bool answer = true, bool generalOnly = false)
      : mAnswer(answer), mGeneralOnly(generalOnly) {}
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
  bool Visit(const ZRMUtGeometry* g) override {
    ++calls;
    kind = Kind::General;
    visited = g;
    return mAnswer;
  }

  int calls = 0;
  Kind kind = Kind::None;
  const void* visited = nullptr;

private:
  template <class T>
  bool Record(Kind k, const T* g) {
    if (mGeneralOnly) return ZRMUtGeomVisitor::Visit(g);
    ++calls;
    kind = k;
    visited = g;
    return mAnswer;
  }
  bool mAnswer;
  bool mGeneralOnly;
};

using Sizes = std::vector<double>;

// Sizes of a geometry: its radii or half-angle, none for the unsized classes.
Sizes SizesOf(const ZRMUtGeometry& g) {
  if (auto* cone = dynamic_cast<const ZRMUtCone*>(&g)) return {cone->HalfAngle()};
  if (auto* cylinder = dynamic_cast<const ZRMUtCylinder*>(&g)) return {cylinder->Radius()};
  if (auto* sphere = dynamic_cast<const ZRMUtSphere*>(&g)) return {sphere->Radius()};
  if (auto* torus = dynamic_cast<const ZRMUtTorus*>(&g)) return {torus->MajorRadius(), torus->MinorRadius()};
  if (auto* circle = dynamic_cast<const ZRMUtCircle*>(&g)) return {circle->Radius()};  // arcs too
  if (auto* ellipse = dynamic_cast<const ZRMUtEllipse*>(&g))
    return {ellipse->GetMajorRadius(), ellipse->GetMinorRadius()};
  return {};
}

// Circles, arcs and ellipses: a uniform scaling multiplies their sizes.
bool IsCurve(const ZRMUtGeometry& g) {
  return dynamic_cast<const ZRMUtCircle*>(&g) != nullptr || dynamic_cast<const ZRMUtEllipse*>(&g) != nullptr;
}

// One geometry of every class with the answers expected for it.
struct Case {
  std::string name;
  Kind kind;
  GeomType type;
  bool tangent;  // overrides GetTangentAtPoint
  std::function<ZRMUtGeometry*()> make;
  std::function<void(ZRMUtGeometry&, const ZRMUtGeometry&)> assign;  // value assignment as the exact class
};
// A case prints as its class name (not as the raw bytes of the record, padding included).
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

template <class T>
Case Entry(const char* name, Kind kind, GeomType type, bool tangent, std::function<T*()> make) {
  return {name,
          kind,
          type,
          tangent,
          [make] { return static_cast<ZRMUtGeometry*>(make()); },
          [](ZRMUtGeometry& to, const ZRMUtGeometry& from) { static_cast<T&>(to) = static_cast<const T&>(from); }};
}

// A point every translation moves: a frame's origin, a point, a line's point, the first control point.
KRNMathPoint Anchor(ZRMUtGeometry& g) {
  if (auto* frame = dynamic_cast<ZRMUtCSys*>(&g)) return frame->Point();
  if (g.AsPoint()) return g.AsPoint()->Point();
  if (g.AsLine()) return g.AsLine()->Point();
  return g.AsBSpline()->GetCPoints().GetPoint(0);
}

const std::vector<Case>& Cases() {
  static const KRNMathPoint o(1.0, -2.0, 0.5);
  static const std::vector<Case> cases = {
      Entry<ZRMUtPoint>("point", Kind::Point, V::GeomPoint, false, [] { return new ZRMUtPoint(o); }),
      Entry<ZRMUtLine>("line", Kind::Line, V::GeomLine, true, [] { return new ZRMUtLine(o, KRNMathK); }),
      Entry<ZRMUtPlane>("plane", Kind::Plane, V::GeomPlane, false, [] { return new ZRMUtPlane(o, KRNMathK); }),
      Entry<ZRMUtCSys>("csys", Kind::CSys, V::GeomCSys, false, [] { return new ZRMUtCSys(o, KRNMathI, KRNMathJ); }),
      Entry<ZRMUtCone>("cone", Kind::Cone, V::GeomCone, false, [] { return new ZRMUtCone(o, KRNMathK, 0.3); }),
      Entry<ZRMUtCylinder>("cylinder", Kind::Cylinder, V::GeomCylinder, false,
                           [] { return new ZRMUtCylinder(o, KRNMathK, 2.0); }),
      Entry<ZRMUtSphere>("sphere", Kind::Sphere, V::GeomUnknown, false, [] { return new ZRMUtSphere(o, 2.0); }),
      Entry<ZRMUtTorus>("torus", Kind::Torus, V::GeomUnknown, false, [] { return new ZRMUtTorus(o, 3.0, 1.0); }),
      Entry<ZRMUtCircle>("circle", Kind::Circle, V::GeomCircle, true, [] { return new ZRMUtCircle(o, KRNMathK, 2.0); }),
      Entry<ZRMUtArc>("arc", Kind::Arc, V::GeomArc, true, [] { return new ZRMUtArc(o, KRNMathK, 1.0, o, o); }),
      Entry<ZRMUtEllipse>("ellipse", Kind::Ellipse, V::GeomEllipse, true,
                          [] { return new ZRMUtEllipse(o, KRNMathI, KRNMathJ, 2.0, 1.0); }),
      Entry<ZRMUtBSpline>("bspline", Kind::BSpline, V::GeomBSpline, true,
                          [] {
                            KRNMathSetOfPoints polygon;
                            polygon.Append(o);
                            return new ZRMUtBSpline(2, 0, nullptr, nullptr, false, polygon);
                          }),
  };
  return cases;
}

// The classes placed by a frame.
std::vector<Case> FrameCases() {
  std::vector<Case> frames;
  for (const Case& c : Cases())
    if (const ZRMUtGeometry_Ptr g(c.make()); dynamic_cast<ZRMUtCSys*>(g.Ptr())) frames.push_back(c);
  return frames;
}

class DispatchTest : public ::testing::TestWithParam<Case> {
protected:
  ZRMUtGeometry_Ptr g{GetParam().make()};
  const ZRMUtGeometry& cg = *g;
};

TEST_P(DispatchTest, AcceptVisitsTheExactClassOnceThroughBothOverloads) {
  for (bool answer : {true, false}) {
    RecordingVisitor mutableVisitor(answer), constVisitor(answer);
    EXPECT_EQ(g->Accept(&mutableVisitor), answer);
    EXPECT_EQ(cg.Accept(&constVisitor), answer);
    for (const RecordingVisitor* v : {&mutableVisitor, &constVisitor}) {
      EXPECT_EQ(v->calls, 1);
      EXPECT_EQ(v->kind, GetParam().kind);
      EXPECT_EQ(v->visited, static_cast<const void*>(g.Ptr()));
    }
  }
  EXPECT_FALSE(g->Accept(nullptr));
  EXPECT_FALSE(cg.Accept(nullptr));
  RecordingVisitor general(true, true);  // the default overloads forward to the general one
  EXPECT_TRUE(g->Accept(&general));
  EXPECT_TRUE(cg.Accept(&general));
  EXPECT_EQ(general.calls, 2);
  EXPECT_EQ(general.kind, Kind::General);
  EXPECT_EQ(general.visited, static_cast<const void*>(g.Ptr()));
  ZRMUtGeomVisitor plain;  // overrides nothing
  EXPECT_FALSE(g->Accept(&plain));
  EXPECT_FALSE(cg.Accept(&plain));
}

TEST_P(DispatchTest, TypeCodeExactDowncastAndBaseTangent) {
  const GeomType type = GetParam().type;
  EXPECT_EQ(ZRMGetGeomType(g), type);
  ZRMUtGeomTypeVisitor visitor;
  EXPECT_EQ(visitor.GetType(), V::GeomUnknown);
  EXPECT_EQ(cg.Accept(&visitor), type != V::GeomUnknown);  // spheres and tori are not answered
  EXPECT_EQ(visitor.GetType(), type);
  for (std::size_t i = 0; i < std::size(kCasts); ++i)
    EXPECT_EQ(kCasts[i](*g), i == static_cast<std::size_t>(GetParam().kind) ? g.Ptr() : nullptr) << i;
  EXPECT_EQ(g->GetRefCount(), 1);  // downcasts do not count
  if (GetParam().tangent) return;
  KRNMathVector tangent(3.0, 4.0, 5.0);  // the base answer: false, vector untouched
  EXPECT_FALSE(cg.GetTangentAtPoint(Anchor(*g), tangent));
  EXPECT_TRUE(Exact3(tangent, KRNMathVector(3.0, 4.0, 5.0)));
}

TEST_P(DispatchTest, CloneIsAnIndependentCopyAndValueAssignmentKeepsTheCount) {
  ZRMUtGeometry_Ptr clone = cg.Clone();
  EXPECT_NE(clone.Ptr(), g.Ptr());
  EXPECT_EQ(clone->GetRefCount(), 1);
  EXPECT_EQ(g->GetRefCount(), 1);
  RecordingVisitor visitor;
  clone->Accept(&visitor);
  EXPECT_EQ(visitor.kind, GetParam().kind);
  EXPECT_EQ(SizesOf(*clone), SizesOf(*g));
  const KRNMathPoint before = Anchor(*g);
  const KRNMathVector shift(1.0, 2.0, 3.0);
  EXPECT_TRUE(Exact3(Anchor(*clone), before));
  clone->ApplyTransformation(KRNMathTransformation(shift));
  EXPECT_TRUE(Exact3(Anchor(*g), before));
  EXPECT_TRUE(Exact3(Anchor(*clone), before + shift));
  GetParam().assign(*clone, *g);  // the value, never the reference count
  EXPECT_TRUE(Exact3(Anchor(*clone), before));
  EXPECT_EQ(clone->GetRefCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, DispatchTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(GeomTypeTest, EmptyHandleIsUnknown) { EXPECT_EQ(ZRMGetGeomType(ZRMUtGeometry_Ptr()), V::GeomUnknown); }

using FrameTest = DispatchTest;

// A uniform scaling about the origin moves the origin, keeps the directions and doubles the
// sizes of circles, arcs and ellipses only.
TEST_P(FrameTest, UniformScalingMovesTheOriginAndRescalesOnlyCurves) {
  auto* frame = dynamic_cast<ZRMUtCSys*>(g.Ptr());
  ASSERT_NE(frame, nullptr);
  const ZRMUtCSys before(*frame);
  const Sizes sizes = SizesOf(*g);
  g->ApplyTransformation(geomtest::Scaling(2.0));
  EXPECT_TRUE(Near3(frame->Point(), geomtest::Scaling(2.0) * before.Point(), 1e-14));
  EXPECT_TRUE(Near3(frame->XDir(), before.XDir(), 1e-15));
  EXPECT_TRUE(Near3(frame->YDir(), before.YDir(), 1e-15));
  EXPECT_TRUE(Near3(frame->ZDir(), before.ZDir(), 1e-15));
  const Sizes after = SizesOf(*g);
  ASSERT_EQ(after.size(), sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_NEAR(after[i], (IsCurve(*g) ? 2.0 : 1.0) * sizes[i], 1e-12);
}

// Every other map moves the frame only (right-handed again); a map collapsing every direction
// leaves the fallback frame (1, 0, 0) three times.
TEST_P(FrameTest, OtherMapsNeverRescaleAndCollapseGivesTheFallbackFrame) {
  const KRNMathTransformation maps[] = {
      KRNMathTransformation(),
      KRNMathTransformation(KRNMathVector(5, -1, 2)),
      KRNMathTransformation(0.7, KRNMathLine(KRNMathPoint(0, 1, 0), KRNMathVector(1, 1, 0))),
      geomtest::Mirror(KRNMathPoint(0, 0, 1), KRNMathVector(0, 0, 1)),
      geomtest::Linear(KRNMathVector(2, 0, 0), KRNMathVector(0, 3, 0), KRNMathVector(0, 0, 1)),
      geomtest::Scaling(-1.0),
      geomtest::Linear(KRNMathVector(), KRNMathVector(), KRNMathVector()),  // last: the collapse
  };
  for (const KRNMathTransformation& map : maps) {
    SCOPED_TRACE(&map - maps);
    ZRMUtGeometry_Ptr moved = cg.Clone();
    moved->ApplyTransformation(map);
    EXPECT_EQ(SizesOf(*moved), SizesOf(*g));
    const ZRMUtCSys& frame = dynamic_cast<const ZRMUtCSys&>(*moved);
    if (&map != std::end(maps) - 1) {
      EXPECT_TRUE(geomtest::RightHandedOrthonormal(frame.XDir(), frame.YDir(), frame.ZDir(), 1e-12));
      continue;
    }
    EXPECT_TRUE(Exact3(frame.Point(), KRNMathPoint(0.0, 0.0, 0.0)));
    for (const KRNMathDirection& d : {frame.XDir(), frame.YDir(), frame.ZDir()}) EXPECT_TRUE(Exact3(d, KRNMathI));
  }
}

INSTANTIATE_TEST_SUITE_P(FramedClasses, FrameTest, ::testing::ValuesIn(FrameCases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
