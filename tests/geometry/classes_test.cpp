// One table over every geometry class: dispatch on the exact class through both Accept
// overloads, default visitor forwarding, type codes, exact-class downcasts, the base tangent,
// clones and value assignment; for the classes placed by a frame, the transformation rules
// (only uniform scalings rescale, and only curves; a collapse leaves the fallback frame); the
// conversions between handles that exist and those that must not.
#include "GeometryTestSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtBSpline.h"
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
#include <type_traits>
#include <vector>

namespace {

using zrmtest::Near;
using V = ZRMUtGeomTypeVisitor;
using P = KRNMathPoint;

// The only conversion between handles is <Class>_ConstPtr from <Class>_Ptr; raw pointers are taken
// only when named, from the class or a derived one; the held pointer reads as a raw pointer.
template <class From, class To>
constexpr bool kConverts = std::is_convertible_v<From, To>;
template <class To, class From>
constexpr bool kMakes = std::is_constructible_v<To, From>;
static_assert(kConverts<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr> &&
              std::is_assignable_v<ZRMUtLine_ConstPtr&, ZRMUtLine_Ptr> && !kMakes<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr>);
static_assert(!kMakes<ZRMUtGeometry_Ptr, ZRMUtLine_Ptr> && !std::is_assignable_v<ZRMUtGeometry_Ptr&, ZRMUtLine_Ptr> &&
              !kMakes<ZRMUtGeometry_ConstPtr, ZRMUtLine_Ptr>);
static_assert(!kMakes<ZRMUtCSys_Ptr, ZRMUtPlane_Ptr> && !kMakes<ZRMUtCircle_Ptr, ZRMUtArc_Ptr> &&
              !kMakes<ZRMUtLine_Ptr, ZRMUtPoint_Ptr>);
static_assert(!kConverts<ZRMUtLine*, ZRMUtLine_Ptr> && kMakes<ZRMUtLine_Ptr, ZRMUtLine*> &&
              kMakes<ZRMUtGeometry_Ptr, ZRMUtLine*> && kMakes<ZRMUtLine_ConstPtr, const ZRMUtLine*>);
static_assert(!kMakes<ZRMUtLine_Ptr, const ZRMUtLine*> && !kMakes<ZRMUtLine_Ptr, ZRMUtGeometry*> &&
              !kMakes<ZRMUtPlane_Ptr, ZRMUtCSys*>);
static_assert(kConverts<ZRMUtLine_Ptr, ZRMUtLine*> && kConverts<ZRMUtLine_ConstPtr, const ZRMUtLine*> &&
              !kConverts<ZRMUtLine_ConstPtr, ZRMUtLine*>);
static_assert(sizeof(ZRMUtGeometry_Ptr) == sizeof(void*) && sizeof(ZRMUtArc_ConstPtr) == sizeof(void*));
static_assert(V::GeomUnknown == 0 && V::GeomPoint == 1 && V::GeomLine == 2 && V::GeomPlane == 3 && V::GeomCSys == 4 &&
              V::GeomCircle == 5 && V::GeomCone == 6 && V::GeomCylinder == 7 && V::GeomEllipse == 8 &&
              V::GeomArc == 9 && V::GeomBSpline == 10);

// Records the overload called and the object; with general, each overload defers to the default,
// which must forward to the general one.
struct Recorder : ZRMUtGeomVisitor {
  explicit Recorder(bool a = true, bool g = false) : answer(a), general(g) {}
  bool Visit(const ZRMUtTorus* g) override { return Record("torus", g); }
  bool Visit(const ZRMUtSphere* g) override { return Record("sphere", g); }
  bool Visit(const ZRMUtCylinder* g) override { return Record("cylinder", g); }
  bool Visit(const ZRMUtCone* g) override { return Record("cone", g); }
  bool Visit(const ZRMUtPlane* g) override { return Record("plane", g); }
  bool Visit(const ZRMUtBSpline* g) override { return Record("bspline", g); }
  bool Visit(const ZRMUtArc* g) override { return Record("arc", g); }
  bool Visit(const ZRMUtEllipse* g) override { return Record("ellipse", g); }
  bool Visit(const ZRMUtCircle* g) override { return Record("circle", g); }
  bool Visit(const ZRMUtCSys* g) override { return Record("csys", g); }
  bool Visit(const ZRMUtLine* g) override { return Record("line", g); }
  bool Visit(const ZRMUtPoint* g) override { return Record("point", g); }
  bool Visit(const ZRMUtGeometry* g) override { return Note("general", g); }
  template <class T>
  bool Record(const char* k, const T* g) {
    return general ? ZRMUtGeomVisitor::Visit(g) : Note(k, g);
  }
  bool Note(const char* k, const void* g) {
    ++calls;
    kind = k;
    visited = g;
    return answer;
  }
  bool answer, general;
  int calls = 0;
  std::string kind;
  const void* visited = nullptr;
};

// Sizes: radii or half-angle.
std::vector<double> Sizes(const ZRMUtGeometry& g) {
  if (auto* c = dynamic_cast<const ZRMUtCone*>(&g)) return {c->HalfAngle()};
  if (auto* c = dynamic_cast<const ZRMUtCylinder*>(&g)) return {c->Radius()};
  if (auto* s = dynamic_cast<const ZRMUtSphere*>(&g)) return {s->Radius()};
  if (auto* t = dynamic_cast<const ZRMUtTorus*>(&g)) return {t->MajorRadius(), t->MinorRadius()};
  if (auto* c = dynamic_cast<const ZRMUtCircle*>(&g)) return {c->Radius()};
  if (auto* e = dynamic_cast<const ZRMUtEllipse*>(&g)) return {e->GetMajorRadius(), e->GetMinorRadius()};
  return {};
}

// A point every translation moves: a frame's origin, a point, a line's point, a control point.
P Anchor(ZRMUtGeometry& g) {
  if (auto* frame = dynamic_cast<ZRMUtCSys*>(&g)) return frame->Point();
  if (g.AsPoint()) return g.AsPoint()->Point();
  if (g.AsLine()) return g.AsLine()->Point();
  return g.AsBSpline()->GetCPoints().GetPoint(0);
}

struct Case {
  const char* kind;
  V::GeomType type;
  bool tangent;  // overrides GetTangentAtPoint
  std::function<ZRMUtGeometry*()> make;
  std::function<void(ZRMUtGeometry&, const ZRMUtGeometry&)> assign;  // value assignment as the exact class
};
template <class T>
Case Entry(const char* kind, V::GeomType type, bool tangent, std::function<T*()> make) {
  return {kind, type, tangent, [make] { return static_cast<ZRMUtGeometry*>(make()); },
          [](ZRMUtGeometry& to, const ZRMUtGeometry& from) { static_cast<T&>(to) = static_cast<const T&>(from); }};
}

TEST(GeometryClasses, DispatchTypesDowncastsClonesAndTransformations) {
  const P o(1, -2, 0.5);
  KRNMathSetOfPoints polygon;
  polygon.Append(o);
  const Case cases[] = {
      Entry<ZRMUtPoint>("point", V::GeomPoint, false, [&] { return new ZRMUtPoint(o); }),
      Entry<ZRMUtLine>("line", V::GeomLine, true, [&] { return new ZRMUtLine(o, KRNMathK); }),
      Entry<ZRMUtPlane>("plane", V::GeomPlane, false, [&] { return new ZRMUtPlane(o, KRNMathK); }),
      Entry<ZRMUtCSys>("csys", V::GeomCSys, false, [&] { return new ZRMUtCSys(o, KRNMathI, KRNMathJ); }),
      Entry<ZRMUtCone>("cone", V::GeomCone, false, [&] { return new ZRMUtCone(o, KRNMathK, 0.3); }),
      Entry<ZRMUtCylinder>("cylinder", V::GeomCylinder, false, [&] { return new ZRMUtCylinder(o, KRNMathK, 2.0); }),
      Entry<ZRMUtSphere>("sphere", V::GeomUnknown, false, [&] { return new ZRMUtSphere(o, 2.0); }),
      Entry<ZRMUtTorus>("torus", V::GeomUnknown, false, [&] { return new ZRMUtTorus(o, 3.0, 1.0); }),
      Entry<ZRMUtCircle>("circle", V::GeomCircle, true, [&] { return new ZRMUtCircle(o, KRNMathK, 2.0); }),
      Entry<ZRMUtArc>("arc", V::GeomArc, true, [&] { return new ZRMUtArc(o, KRNMathK, 1.0, o, o); }),
      Entry<ZRMUtEllipse>("ellipse", V::GeomEllipse, true,
                          [&] { return new ZRMUtEllipse(o, KRNMathI, KRNMathJ, 2.0, 1.0); }),
      Entry<ZRMUtBSpline>("bspline", V::GeomBSpline, true,
                          [&] { return new ZRMUtBSpline(2, 0, nullptr, nullptr, false, polygon); }),
  };
  EXPECT_EQ(ZRMGetGeomType(ZRMUtGeometry_Ptr()), V::GeomUnknown);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    ZRMUtGeometry_Ptr g(c.make());
    const ZRMUtGeometry& cg = *g;
    for (bool answer : {true, false}) {  // the exact class, once, through either overload
      Recorder mutableVisitor(answer), constVisitor(answer);
      EXPECT_TRUE(g->Accept(&mutableVisitor) == answer && cg.Accept(&constVisitor) == answer);
      for (const Recorder* v : {&mutableVisitor, &constVisitor})
        EXPECT_TRUE(v->calls == 1 && v->kind == c.kind && v->visited == g.Ptr());
    }
    Recorder general(true, true);
    ZRMUtGeomVisitor plain;  // overrides nothing
    EXPECT_TRUE(g->Accept(&general) && cg.Accept(&general) && general.calls == 2 && general.kind == "general" &&
                general.visited == g.Ptr());
    EXPECT_FALSE(g->Accept(nullptr) || cg.Accept(nullptr) || g->Accept(&plain) || cg.Accept(&plain));
    ZRMUtGeomTypeVisitor type;
    EXPECT_TRUE(type.GetType() == V::GeomUnknown && cg.Accept(&type) == (c.type != V::GeomUnknown) &&
                type.GetType() == c.type && ZRMGetGeomType(g) == c.type);
    const std::pair<std::string, const void*> casts[] = {
        {"arc", g->AsArc()},           {"bspline", g->AsBSpline()}, {"circle", g->AsCircle()},
        {"ellipse", g->AsEllipse()},   {"csys", g->AsCSys()},       {"cone", g->AsCone()},
        {"cylinder", g->AsCylinder()}, {"line", g->AsLine()},       {"plane", g->AsPlane()},
        {"point", g->AsPoint()},       {"sphere", g->AsSphere()},   {"torus", g->AsTorus()}};
    for (const auto& [kind, cast] : casts) EXPECT_EQ(cast, kind == c.kind ? g.Ptr() : nullptr) << kind;
    KRNMathVector tangent(3, 4, 5);  // the base answer: false, untouched
    if (!c.tangent) {
      EXPECT_TRUE(!cg.GetTangentAtPoint(Anchor(*g), tangent) && Near(tangent, KRNMathVector(3, 4, 5), 0));
    }
    // A clone is an independent copy of the same class; value assignment keeps the count.
    ZRMUtGeometry_Ptr clone = cg.Clone();
    Recorder visitor;
    clone->Accept(&visitor);
    EXPECT_TRUE(clone != g && clone->GetRefCount() == 1 && g->GetRefCount() == 1 && visitor.kind == c.kind &&
                Sizes(*clone) == Sizes(*g));
    clone->ApplyTransformation(KRNMathTransformation(KRNMathVector(1, 2, 3)));
    EXPECT_TRUE(Near(Anchor(*g), o, 0) && Near(Anchor(*clone), o + KRNMathVector(1, 2, 3), 0));
    c.assign(*clone, *g);
    EXPECT_TRUE(Near(Anchor(*clone), o, 0) && clone->GetRefCount() == 1);
    if (!dynamic_cast<ZRMUtCSys*>(g.Ptr())) continue;
    // Placed by a frame: a uniform scaling about the origin moves the origin, keeps the
    // directions and doubles the sizes of circles, arcs and ellipses only; other maps move the
    // frame (right-handed again) and keep the sizes; a collapse leaves the fallback frame.
    const bool curve = dynamic_cast<ZRMUtCircle*>(g.Ptr()) || dynamic_cast<ZRMUtEllipse*>(g.Ptr());
    const KRNMathTransformation maps[] = {
        zrmtest::Scaling(2.0),
        KRNMathTransformation(),
        KRNMathTransformation(KRNMathVector(5, -1, 2)),
        KRNMathTransformation(0.7, KRNMathLine(P(0, 1, 0), KRNMathVector(1, 1, 0))),
        zrmtest::Mirror(P(0, 0, 1), KRNMathK),
        KRNMathTransformation(KRNMath3x3Matrix(KRNMathVector(2, 0, 0), KRNMathVector(0, 3, 0), KRNMathK)),
        zrmtest::Scaling(-1.0),
        KRNMathTransformation(KRNMath3x3Matrix(KRNMathVector(), KRNMathVector(), KRNMathVector()))};
    for (const KRNMathTransformation& map : maps) {
      ZRMUtGeometry_Ptr moved = cg.Clone();
      moved->ApplyTransformation(map);
      const ZRMUtCSys& f = dynamic_cast<const ZRMUtCSys&>(*moved);
      std::vector<double> sizes = Sizes(*g);
      if (&map == maps && curve)
        for (double& size : sizes) size *= 2;
      EXPECT_EQ(Sizes(*moved), sizes) << &map - maps;
      if (&map == maps) {
        EXPECT_TRUE(Near(f.Point(), map * o, 1e-14) &&
                    Near(f.XDir(), dynamic_cast<const ZRMUtCSys&>(cg).XDir(), 1e-15) &&
                    Near(f.ZDir(), dynamic_cast<const ZRMUtCSys&>(cg).ZDir(), 1e-15));
      }
      if (&map == std::end(maps) - 1)
        EXPECT_TRUE(Near(f.Point(), P(), 0) && Near(f.XDir(), KRNMathI, 0) && Near(f.YDir(), KRNMathI, 0) &&
                    Near(f.ZDir(), KRNMathI, 0));
      else
        EXPECT_TRUE(Near(KRNMathVector(f.XDir()) ^ KRNMathVector(f.YDir()), f.ZDir(), 1e-12) &&
                    std::fabs(f.XDir() * f.YDir()) < 1e-12 && std::fabs(KRNMathVector(f.XDir()).Norm() - 1) < 1e-12)
            << &map - maps;
    }
  }
}

}  // namespace
