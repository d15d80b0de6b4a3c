// One table over every geometry class: dispatch on the exact class through both Accept
// overloads, default visitor forwarding, type codes, exact-class downcasts, the base tangent,
// clones and value assignment; for the classes placed by a frame, the transformation rules
// (only positive uniform scalings rescale, and only curves; a collapse leaves the fallback
// frame). The frames every constructor chooses and the orthogonality report; lines by their
// stored direction, the model resolution and refusals.
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
#include "ZRMUtTolerance.h"
#include "ZRMUtTorus.h"

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using zrmtest::kNaN;
using zrmtest::Near;
using V = KRNMathVector;
using P = KRNMathPoint;
using D = KRNMathDirection;
using T = ZRMUtGeomTypeVisitor;

// The only conversion between handles is <Class>_ConstPtr from <Class>_Ptr; raw pointers are taken
// only when named.
static_assert(std::is_convertible_v<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr> &&
              !std::is_constructible_v<ZRMUtLine_Ptr, ZRMUtLine_ConstPtr> &&
              !std::is_constructible_v<ZRMUtGeometry_Ptr, ZRMUtLine_Ptr> &&
              !std::is_convertible_v<ZRMUtLine*, ZRMUtLine_Ptr>);

// Overrides only the general overload, to which every class default must forward the object.
struct Forwarded : ZRMUtGeomVisitor {
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtGeometry* g) override {
    visited.push_back(g);
    return answer;
  }
  bool answer = true;
  std::vector<const void*> visited;
};

// Overrides the overloads of the two classes without a type code.
struct Solids : ZRMUtGeomVisitor {
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtSphere*) override { return Record("sphere"); }
  bool Visit(const ZRMUtTorus*) override { return Record("torus"); }
  bool Record(const char* kind) {
    visited += kind;
    return true;
  }
  std::string visited;
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
  T::GeomType type;
  bool tangent;  // overrides GetTangentAtPoint
  std::function<ZRMUtGeometry*()> make;
};

TEST(GeometryClasses, DispatchTypesDowncastsClonesAndTransformations) {
  const P o(1, -2, 0.5);
  KRNMathSetOfPoints polygon;
  polygon.Append(o);
  const Case cases[] = {
      {"point", T::GeomPoint, false, [&] { return new ZRMUtPoint(o); }},
      {"line", T::GeomLine, true, [&] { return new ZRMUtLine(o, KRNMathK); }},
      {"plane", T::GeomPlane, false, [&] { return new ZRMUtPlane(o, KRNMathK); }},
      {"csys", T::GeomCSys, false, [&] { return new ZRMUtCSys(o, KRNMathI, KRNMathJ); }},
      {"cone", T::GeomCone, false, [&] { return new ZRMUtCone(o, KRNMathK, 0.3); }},
      {"cylinder", T::GeomCylinder, false, [&] { return new ZRMUtCylinder(o, KRNMathK, 2.0); }},
      {"sphere", T::GeomUnknown, false, [&] { return new ZRMUtSphere(o, 2.0); }},
      {"torus", T::GeomUnknown, false, [&] { return new ZRMUtTorus(o, 3.0, 1.0); }},
      {"circle", T::GeomCircle, true, [&] { return new ZRMUtCircle(o, KRNMathK, 2.0); }},
      {"arc", T::GeomArc, true, [&] { return new ZRMUtArc(o, KRNMathK, 1.0, o, o); }},
      {"ellipse", T::GeomEllipse, true, [&] { return new ZRMUtEllipse(o, KRNMathI, KRNMathJ, 2.0, 1.0); }},
      {"bspline", T::GeomBSpline, true, [&] { return new ZRMUtBSpline(2, 0, nullptr, nullptr, false, polygon); }},
  };
  EXPECT_EQ(ZRMGetGeomType(ZRMUtGeometry_Ptr()), T::GeomUnknown);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    ZRMUtGeometry_Ptr g(c.make());
    const ZRMUtGeometry& cg = *g;
    Forwarded forwarded;     // each object once through either overload, with either answer
    ZRMUtGeomVisitor plain;  // overrides nothing
    EXPECT_TRUE(g->Accept(&forwarded) && cg.Accept(&forwarded));
    forwarded.answer = false;
    EXPECT_FALSE(g->Accept(&forwarded) || cg.Accept(&forwarded) || g->Accept(nullptr) || cg.Accept(nullptr) ||
                 g->Accept(&plain) || cg.Accept(&plain));
    EXPECT_EQ(forwarded.visited, std::vector<const void*>(4, g.Ptr()));
    Solids solids;  // each class visited as exactly itself, the uncoded ones too
    EXPECT_EQ(g->Accept(&solids) && cg.Accept(&solids), c.type == T::GeomUnknown);
    EXPECT_EQ(solids.visited, c.type == T::GeomUnknown ? std::string(c.kind) + c.kind : std::string());
    ZRMUtGeomTypeVisitor type;
    EXPECT_TRUE(type.GetType() == T::GeomUnknown && cg.Accept(&type) == (c.type != T::GeomUnknown) &&
                type.GetType() == c.type && ZRMGetGeomType(g) == c.type);
    const std::pair<std::string, const void*> casts[] = {
        {"arc", g->AsArc()},           {"bspline", g->AsBSpline()}, {"circle", g->AsCircle()},
        {"ellipse", g->AsEllipse()},   {"csys", g->AsCSys()},       {"cone", g->AsCone()},
        {"cylinder", g->AsCylinder()}, {"line", g->AsLine()},       {"plane", g->AsPlane()},
        {"point", g->AsPoint()},       {"sphere", g->AsSphere()},   {"torus", g->AsTorus()}};
    for (const auto& [kind, cast] : casts) EXPECT_EQ(cast, kind == c.kind ? g.Ptr() : nullptr) << kind;
    V tangent(3, 4, 5);  // the base answer: false, untouched
    EXPECT_TRUE(c.tangent || (!cg.GetTangentAtPoint(Anchor(*g), tangent) && Near(tangent, V(3, 4, 5), 0)));
    // A clone is an independent copy of the same class.
    ZRMUtGeometry_Ptr clone = cg.Clone();
    EXPECT_TRUE(clone != g && clone->GetRefCount() == 1 && g->GetRefCount() == 1 && ZRMGetGeomType(clone) == c.type &&
                Sizes(*clone) == Sizes(*g));
    clone->ApplyTransformation(KRNMathTransformation(V(1, 2, 3)));
    EXPECT_TRUE(Near(Anchor(*g), o, 0) && Near(Anchor(*clone), o + V(1, 2, 3), 0));
    if (!dynamic_cast<ZRMUtCSys*>(g.Ptr())) continue;
    // Placed by a frame: a uniform scaling about the origin moves the origin, keeps the
    // directions and doubles the sizes of circles, arcs and ellipses only; other maps move the
    // frame (right-handed again) and keep the sizes; a collapse leaves the fallback frame.
    const bool curve = dynamic_cast<ZRMUtCircle*>(g.Ptr()) || dynamic_cast<ZRMUtEllipse*>(g.Ptr());
    const ZRMUtCSys& frame = dynamic_cast<const ZRMUtCSys&>(cg);
    const KRNMathTransformation maps[] = {zrmtest::Scaling(2.0), zrmtest::Mirror(P(0, 0, 1), KRNMathK),
                                          KRNMathTransformation(KRNMath3x3Matrix(V(2, 0, 0), V(0, 3, 0), KRNMathK)),
                                          zrmtest::Scaling(-1.0),
                                          KRNMathTransformation(KRNMath3x3Matrix(V(), V(), V()))};
    for (const KRNMathTransformation& map : maps) {
      ZRMUtGeometry_Ptr moved = cg.Clone();
      moved->ApplyTransformation(map);
      const ZRMUtCSys& f = dynamic_cast<const ZRMUtCSys&>(*moved);
      std::vector<double> sizes = Sizes(*g);
      for (double& size : sizes) size *= &map == maps && curve ? 2 : 1;
      EXPECT_TRUE(Sizes(*moved) == sizes && Near(f.Point(), map * o, 1e-14)) << &map - maps;
      EXPECT_TRUE(&map != maps || (Near(f.XDir(), frame.XDir(), 1e-15) && Near(f.ZDir(), frame.ZDir(), 1e-15)));
      if (&map == std::end(maps) - 1)
        EXPECT_TRUE(Near(f.XDir(), KRNMathI, 0) && Near(f.YDir(), KRNMathI, 0) && Near(f.ZDir(), KRNMathI, 0));
      else
        EXPECT_TRUE(Near(V(f.XDir()) ^ V(f.YDir()), f.ZDir(), 1e-12) && std::fabs(f.XDir() * f.YDir()) < 1e-12 &&
                    std::fabs(V(f.XDir()).Norm() - 1) < 1e-12)
            << &map - maps;
    }
  }
}

// The protected (origin, z) constructor and SetCSys, opened.
struct OpenCSys : ZRMUtCSys {
  using ZRMUtCSys::SetCSys;
  OpenCSys(const P& point, const D& z) : ZRMUtCSys(point, z) {}
};

// The frame, through the coordinate getters, which must agree with the direct ones.
::testing::AssertionResult IsFrame(const ZRMUtCSys& f, const P& origin, const D& x, const D& y, const D& z) {
  V got[4];
  f.PointCoord(got[0].x, got[0].y, got[0].z);
  f.XDirCoord(got[1].x, got[1].y, got[1].z);
  f.YDirCoord(got[2].x, got[2].y, got[2].z);
  f.ZDirCoord(got[3].x, got[3].y, got[3].z);
  const V expected[] = {V(origin), x, y, z}, direct[] = {V(f.Point()), f.XDir(), f.YDir(), f.ZDir()};
  for (int i = 0; i < 4; ++i)
    if (!Near(got[i], direct[i], 0) || !Near(got[i], expected[i], 1e-12))
      return Near(got[i], expected[i], 1e-12) << " (" << i << ")";
  return ::testing::AssertionSuccess();
}

// (origin, z) frames are right-handed with x across (0, 1, 0) (across (1, 0, 0) for z along it);
// the classes keep the directions given, a circle's y is axis ^ x; default objects have size 0.
// Non-orthogonal directions: the failure report always, the runtime report in the development
// stage only, construction completing with the directions as passed (z from them: (1, 0, 0) for
// parallel ones); SetCSys recomputes z and never reports; Plane() rechooses the in-plane
// directions from the normal.
TEST(CSys, FramesChosenByConstructorsAndTheOrthogonalityReport) {
  const P at(1, -2, 3);
  const D kI = KRNMathI, kJ = KRNMathJ, kK = KRNMathK, kMinusK(0, 0, -1);
  zrmtest::Random random(1234);
  zrmtest::AssertRecorder silent;
  for (long i = 0; i < zrmtest::Scaled(500); ++i) {
    const D z = random.Direction();
    const OpenCSys f(random.Point(), z);
    EXPECT_TRUE(IsFrame(f, f.Point(), f.XDir(), f.YDir(), z) && std::fabs(f.XDir().y) < 1e-15 &&
                Near(V(f.XDir()) ^ V(f.YDir()), z, 1e-12) && std::fabs(f.XDir() * f.YDir()) < 1e-12);
  }
  EXPECT_EQ(ZRMUtTorus().MajorRadius() + ZRMUtTorus().MinorRadius() + ZRMUtCone().HalfAngle() +
                ZRMUtCylinder().Radius() + ZRMUtSphere().Radius() + ZRMUtCircle().Radius() +
                ZRMUtEllipse().GetMajorRadius() + ZRMUtEllipse().GetMinorRadius(),
            0.0);  // our choice: default objects have size 0
  OpenCSys open(at, kJ);
  EXPECT_TRUE(IsFrame(open, at, kK, kI, kJ) && IsFrame(ZRMUtCircle(at, kJ, kJ, 1.0), at, kJ, kI, kMinusK));
  open.SetCSys(P(7, 8, 9), kK, kI);
  ZRMUtCSys source(at, kJ, D(-1, 0, 0));  // z = (0, 0, 1)
  ZRMUtPlane out(P(9, 9, 9), kI);
  source.Plane(out);
  EXPECT_TRUE(IsFrame(open, P(7, 8, 9), kK, kI, kJ) && IsFrame(out, at, kI, kJ, kK) && silent.reports.empty());
  for (int stage : {1, 0}) {
    zrmtest::AssertRecorder recorder(stage);
    EXPECT_TRUE(IsFrame(ZRMUtEllipse(P(), kI, kI, 2, 1), P(), kI, kI, kI));
    zrmtest::ExpectCheckReport(recorder.reports,
                               {"mXDir.IsOrthogonal(mYDir)", "ZRMUtCSys non-orthogonal directions in.",
                                "ZRMMathematicsExt/ZRMMathematics.m/src/ZRMUtCSys", 33},
                               stage != 0);
  }
}

// A direction is stored as given (a raw one is used unnormalised, the foot taken along its unit
// direction); tangent points within the model resolution; null outputs refuse and leave the
// others. The static form on a segment of length 4: the parameter, whether it lies within
// [0, length] (a NaN one does not), the foot; a zero direction stands for the origin.
TEST(Line, StoredDirectionsToleranceSegmentsAndRefusals) {
  D raw;
  raw.x = 2.0;  // written directly: no unit direction
  const ZRMUtLine unnormalised(P(1, 2, 3), raw), line(P(), KRNMathI);
  V c, tangent;
  unnormalised.DirectionCoord(c.x, c.y, c.z);
  P p, q, foot(7, 7, 7);
  EXPECT_TRUE(Near(c, V(2, 0, 0), 0) && unnormalised.EvalPoint(-1.5, p, nullptr) && Near(p, P(-2, 2, 3), 0) &&
              unnormalised.GetTangentAtPoint(P(-2, 2, 3), tangent));
  unnormalised.PointCoord(c.x, c.y, c.z);
  EXPECT_TRUE(Near(c, P(1, 2, 3), 0));
  for (const double off : {0.0, -0.99, 1.01, kNaN})
    EXPECT_TRUE(line.GetTangentAtPoint(P(-7, off * ZRMUtTolerance().ModelResolution(), 0), tangent) ==
                    (std::fabs(off) < 1) &&
                Near(tangent, KRNMathI, 0))
        << off;
  const KRNMathLine segment(P(1, 0, 0), P(5, 0, 0));
  double param = 42;
  bool within = true;
  EXPECT_TRUE(
      !ZRMUtLine(line).PointOnLine(P(1, 1, 1), nullptr) && !ZRMUtLine(line).ProjectPoint(P(1, 1, 1), nullptr, &param) &&
      !ZRMUtLine::PointOnLine(P(), segment, nullptr, &param, &within) &&
      !ZRMUtLine::PointOnLine(P(), segment, &foot, nullptr, &within) && within && param == 42 &&
      Near(foot, P(7, 7, 7), 0) && ZRMUtLine(line).ProjectPoint(P(1, 1, 1), &q, nullptr) && Near(q, P(1, 0, 0), 0));
  for (const auto& [point, t, inside] : {std::tuple(P(1, 1, 0), 0.0, true),
                                         {P(5, 1, 0), 4.0, true},
                                         {P(-1, 3, 0), -2.0, false},
                                         {P(6.5, 0, 2), 5.5, false}}) {
    EXPECT_TRUE(ZRMUtLine::PointOnLine(point, segment, &foot, &param, &within) && param == t && within == inside &&
                Near(foot, P(1 + t, 0, 0), 0) && ZRMUtLine::PointOnLine(point, segment, &foot, &param, nullptr))
        << t;
  }
  EXPECT_TRUE(ZRMUtLine::PointOnLine(P(4, 4, 4), KRNMathLine(P(1, 2, 3), V()), &foot, &param, &within) &&
              Near(foot, P(1, 2, 3), 0) && param == 0 && within);
  EXPECT_TRUE(ZRMUtLine::PointOnLine(P(kNaN, 0, 0), segment, &foot, &param, &within) && std::isnan(param) && !within);
}

}  // namespace
