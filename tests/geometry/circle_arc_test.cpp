// Circles and arcs: frames, evaluation and projection against the analytic circle, angles,
// tangents, transformations, copies, visiting and the error trap of the circle's Accept.
#include "GeometryTestSupport.h"
#include "KRNError.h"
#include "KRNException.h"
#include "KRNMathematics.h"
#include "ZRMTestSupport.h"
#include "ZRMUtArc.h"
#include "ZRMUtCircle.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using geomtest::Exact3;
using geomtest::Near3;
using geomtest::RandomGeometry;

namespace {

const KRNMathPoint kOrigin(0.0, 0.0, 0.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Analytic point of a circle: center + r (cos t x + sin t y).
KRNMathPoint CirclePoint(const KRNMathPoint& c, const KRNMathVector& x, const KRNMathVector& y, double r, double t) {
  return c + r * (std::cos(t) * x + std::sin(t) * y);
}

// A random circle: center, axis, an x direction orthogonal to it, radius in [0.5, 5].
struct RandomCircle {
  KRNMathPoint center;
  KRNMathDirection axis;
  KRNMathDirection xDir;
  double radius;
};
RandomCircle MakeRandomCircle(RandomGeometry& random) {
  RandomCircle c;
  c.center = random.Point();
  c.axis = random.Direction();
  c.xDir = random.OrthogonalTo(c.axis);
  c.radius = random.Uniform(0.5, 5.0);
  return c;
}

// The uniform scaling by factor about center.
KRNMathTransformation Scaling(const KRNMathPoint& center, double factor) {
  const KRNMath3x3Matrix m(KRNMathVector(factor, 0, 0), KRNMathVector(0, factor, 0), KRNMathVector(0, 0, factor));
  return KRNMathTransformation(m, (1.0 - factor) * KRNMathVector(center));
}

// The mirror in the plane through point with unit normal n.
KRNMathTransformation Mirror(const KRNMathPoint& point, const KRNMathVector& n) {
  const KRNMathVector c0 = KRNMathVector(1, 0, 0) - 2.0 * n.x * n;
  const KRNMathVector c1 = KRNMathVector(0, 1, 0) - 2.0 * n.y * n;
  const KRNMathVector c2 = KRNMathVector(0, 0, 1) - 2.0 * n.z * n;
  const KRNMath3x3Matrix m(c0, c1, c2);
  return KRNMathTransformation(m, KRNMathVector(point) - m * KRNMathVector(point));
}

}  // namespace

// ----- frames and sizes -------------------------------------------------------------------------

TEST(CircleFrame, FourArgumentConstructorKeepsAxisAndXDirection) {
  RandomGeometry random(11);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    const ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    EXPECT_TRUE(Exact3(circle.Center(), c.center));
    EXPECT_TRUE(Near3(circle.Axis(), c.axis, 1e-12));
    EXPECT_TRUE(Exact3(circle.XDir(), c.xDir));
    EXPECT_TRUE(Near3(circle.YDir(), KRNMathVector(c.axis) ^ KRNMathVector(c.xDir), 1e-12));
    EXPECT_TRUE(geomtest::RightHandedOrthonormal(circle.XDir(), circle.YDir(), circle.ZDir(), 1e-12));
    EXPECT_EQ(circle.Radius(), c.radius);
  }
}

TEST(CircleFrame, AxisOnlyConstructorChoosesTheFrameOfTheCoordinateSystem) {
  const ZRMUtCircle circle(KRNMathPoint(1, 2, 3), KRNMathK, 2.0);
  EXPECT_TRUE(Exact3(circle.XDir(), KRNMathVector(1, 0, 0)));
  EXPECT_TRUE(Exact3(circle.YDir(), KRNMathVector(0, 1, 0)));
  EXPECT_TRUE(Exact3(circle.Axis(), KRNMathVector(0, 0, 1)));
  double x = 0, y = 0, z = 0;
  circle.CenterCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathPoint(x, y, z), KRNMathPoint(1, 2, 3)));
  circle.AxisCoord(x, y, z);
  EXPECT_TRUE(Exact3(KRNMathPoint(x, y, z), KRNMathPoint(0, 0, 1)));
}

TEST(CircleFrame, AxisParallelToXDirectionGivesYAlongIAndTheOrthogonalityReport) {
  zrmtest::AssertRecorder recorder;
  const ZRMUtCircle circle(kOrigin, KRNMathI, KRNMathI, 1.0);
  EXPECT_TRUE(Exact3(circle.YDir(), KRNMathVector(1, 0, 0)));
  ASSERT_FALSE(recorder.reports.empty());
  EXPECT_EQ(recorder.reports[0].expression, "mXDir.IsOrthogonal(mYDir)");

  zrmtest::AssertRecorder quiet;  // xDir orthogonal to (1, 0, 0): no report
  const ZRMUtCircle fine(kOrigin, KRNMathJ, KRNMathJ, 1.0);
  EXPECT_TRUE(Exact3(fine.YDir(), KRNMathVector(1, 0, 0)));
  EXPECT_TRUE(quiet.reports.empty());
}

TEST(CircleSize, ArcLengthIsTheTurnFractionTimesTheRadius) {
  const ZRMUtCircle circle(kOrigin, KRNMathK, 5.0);
  EXPECT_DOUBLE_EQ(circle.ArcLength(0.0, KRN2PI), 5.0);
  EXPECT_DOUBLE_EQ(circle.ArcLength(0.0, KRNPI), 2.5);
  RandomGeometry random(12);
  for (int i = 0; i < 50; ++i) {
    const double a = random.Uniform(-10, 10), b = random.Uniform(-10, 10);
    EXPECT_EQ(circle.ArcLength(a, b), circle.ArcLength(b, a));
    EXPECT_NEAR(circle.ArcLength(a, b), std::fabs(a - b) / (2 * KRNPI) * 5.0, 1e-12);
  }
}

TEST(CircleSize, DefaultConstructedCircleAndArcHaveRadiusZero) {
  const ZRMUtCircle circle;
  const ZRMUtArc arc;
  EXPECT_EQ(circle.Radius(), 0.0);
  EXPECT_EQ(arc.Radius(), 0.0);
  EXPECT_TRUE(Exact3(arc.GetStartPoint(), kOrigin));
  EXPECT_TRUE(Exact3(arc.GetEndPoint(), kOrigin));
}

// ----- evaluation and projection ----------------------------------------------------------------

TEST(CircleEval, EvalPointMatchesTheAnalyticCircle) {
  RandomGeometry random(13);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    const KRNMathVector y = KRNMathVector(c.axis) ^ KRNMathVector(c.xDir);
    const double t = random.Uniform(-10, 10);
    KRNMathPoint p;
    circle.EvalPoint(t, p);
    EXPECT_TRUE(Near3(p, CirclePoint(c.center, c.xDir, y, c.radius, t), 1e-12));
  }
}

TEST(CircleProject, ProjectionIsTheClosestPointAndItsAngleEvaluatesBack) {
  RandomGeometry random(14);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    const KRNMathPoint p = random.Point();
    // Analytic closest point: center + r * unit in-plane component of p - center.
    const KRNMathVector d = p - c.center;
    const KRNMathVector inPlane = d - (d * KRNMathVector(c.axis)) * KRNMathVector(c.axis);
    const KRNMathPoint expected = c.center + (c.radius / inPlane.Norm()) * inPlane;

    KRNMathPoint q;
    double angle = 99.0;
    ASSERT_TRUE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, expected, 1e-9));
    EXPECT_GT(angle, -KRNPI);
    EXPECT_LE(angle, KRNPI);
    KRNMathPoint back;
    circle.EvalPoint(angle, back);
    EXPECT_TRUE(Near3(back, q, 1e-9));
  }
}

TEST(CircleProject, PointsOnTheAxisHaveNoClosestPoint) {
  ZRMUtCircle circle(KRNMathPoint(1, 1, 1), KRNMathK, KRNMathI, 2.0);
  for (const KRNMathPoint& p : {KRNMathPoint(1, 1, 1), KRNMathPoint(1, 1, -4)}) {
    KRNMathPoint q(7, 7, 7);
    double angle = 99.0;
    EXPECT_FALSE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, KRNMathPoint(3, 1, 1), 1e-15));  // the platform's fallback at angle 0
    EXPECT_EQ(angle, 0.0);
  }
}

TEST(CircleProject, NullAngleWritesOnlyThePointAndNullPointIsRefused) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 2.0);
  KRNMathPoint q;
  EXPECT_TRUE(circle.ProjectPoint(KRNMathPoint(0, 5, 3), &q, nullptr));
  EXPECT_TRUE(Near3(q, KRNMathPoint(0, 2, 0), 1e-15));

  double angle = 99.0;
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(0, 5, 3), nullptr, &angle));
  EXPECT_EQ(angle, 99.0);
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(0, 5, 3), nullptr, nullptr));
}

TEST(CircleProject, NaNPointIsRefusedWithoutCrashing) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 2.0);
  KRNMathPoint q;
  double angle = 99.0;
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(kNaN, 0, 0), &q, &angle));
  KRNMathVector tangent;
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(kNaN, 1, 0), tangent));
}

// ----- angles of the arc ends -------------------------------------------------------------------

TEST(ArcAngles, EndAnglesRecoverTheAnglesTheEndsWereEvaluatedAt) {
  RandomGeometry random(15);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    const double a1 = random.Uniform(-3.1, 3.1), a2 = random.Uniform(-3.1, 3.1);
    KRNMathPoint start, end;
    circle.EvalPoint(a1, start);
    circle.EvalPoint(a2, end);
    const ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, start, end);
    EXPECT_NEAR(arc.GetStartAngle(), a1, 1e-9);
    EXPECT_NEAR(arc.GetEndAngle(), a2, 1e-9);  // not normalised: may be below the start angle
  }
}

TEST(ArcAngles, TheNegativeXSideGivesPiOrNearlyMinusPi) {
  const ZRMUtArc exact(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, 0, 0), KRNMathPoint(-1, -0.0, -0.0));
  EXPECT_EQ(exact.GetStartAngle(), KRNPI);
  EXPECT_EQ(exact.GetEndAngle(), KRNPI);  // -pi is folded into (-pi, pi]
  const ZRMUtArc below(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, -1e-12, 0), KRNMathPoint(0, 1, 0));
  EXPECT_LT(below.GetStartAngle(), -KRNPI + 1e-11);
  EXPECT_GT(below.GetStartAngle(), -KRNPI);
  EXPECT_NEAR(below.GetEndAngle(), KRNPIBY2, 1e-15);
}

// ----- tangents ---------------------------------------------------------------------------------

TEST(CurveTangent, CircleAcceptsHalfTheLengthToleranceAndTheArcDoesNot) {
  const double r = 5.0;
  const ZRMUtCircle circle(kOrigin, KRNMathK, KRNMathI, r);
  const ZRMUtArc arc(kOrigin, KRNMathK, KRNMathI, r, KRNMathPoint(r, 0, 0), KRNMathPoint(0, r, 0));
  const KRNMathPoint off(0, r + 0.5 * ZRMUtTolerance().LengthTol(), 0);
  KRNMathVector tc, ta;
  EXPECT_TRUE(circle.GetTangentAtPoint(off, tc));
  EXPECT_FALSE(arc.GetTangentAtPoint(off, ta));
  EXPECT_TRUE(Exact3(tc, ta));
  EXPECT_TRUE(Near3(tc, KRNMathVector(-1, 0, 0), 1e-15));

  const KRNMathPoint far(0, r + 2.0 * ZRMUtTolerance().LengthTol(), 0);
  EXPECT_FALSE(circle.GetTangentAtPoint(far, tc));

  const KRNMathPoint exact(3, 4, 0);  // |(3, 4)| == 5 exactly
  EXPECT_TRUE(arc.GetTangentAtPoint(exact, ta));
  EXPECT_TRUE(Near3(ta, KRNMathVector(-0.8, 0.6, 0), 1e-15));
}

TEST(CurveTangent, TangentIsAxisCrossRadialInRandomFrames) {
  RandomGeometry random(16);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    KRNMathPoint p;
    const double t = random.Uniform(-KRNPI, KRNPI);
    circle.EvalPoint(t, p);
    KRNMathVector tangent;
    EXPECT_TRUE(circle.GetTangentAtPoint(p, tangent));
    // d/dt of the analytic point, normalised.
    const KRNMathVector y = KRNMathVector(c.axis) ^ KRNMathVector(c.xDir);
    const KRNMathVector expected = -std::sin(t) * KRNMathVector(c.xDir) + std::cos(t) * y;
    EXPECT_TRUE(Near3(tangent, expected, 1e-9));
  }
}

TEST(CurveTangent, AtTheCenterTheTangentIsWrittenAndFalseReturned) {
  const ZRMUtCircle circle(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0);
  KRNMathVector tangent(9, 9, 9);
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(1, 2, 3), tangent));
  EXPECT_TRUE(Exact3(tangent, KRNMathVector(0, 1, 0)));  // unit direction of z x (1, 0, 0)

  const ZRMUtArc zeroArc(kOrigin, KRNMathK, KRNMathI, 0.0, kOrigin, kOrigin);
  EXPECT_TRUE(zeroArc.GetTangentAtPoint(kOrigin, tangent));  // d == radius == 0 exactly
}

TEST(ArcEndTangent, OneSelectsTheStartEveryOtherValueTheEnd) {
  ZRMUtArc arc(KRNMathPoint(1, 1, 0), KRNMathK, KRNMathI, 2.0, KRNMathPoint(3, 1, 0), KRNMathPoint(1, 3, 0));
  EXPECT_TRUE(Near3(arc.GetTangent(1), KRNMathVector(0, 1, 0), 1e-15));
  for (int end : {0, 2, -1, 7}) EXPECT_TRUE(Near3(arc.GetTangent(end), KRNMathVector(-1, 0, 0), 1e-15));
}

// ----- transformations --------------------------------------------------------------------------

TEST(CurveTransform, RigidMotionsCommuteWithEvaluationAndKeepTheRadius) {
  RandomGeometry random(17);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    const double a1 = random.Uniform(-3, 3), a2 = random.Uniform(-3, 3);
    KRNMathPoint start, end;
    circle.EvalPoint(a1, start);
    circle.EvalPoint(a2, end);
    ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, start, end);
    const KRNMathTransformation motion = random.RigidMotion();

    ZRMUtCircle movedCircle(circle);
    ZRMUtArc movedArc(arc);
    movedCircle.ApplyTransformation(motion);
    movedArc.ApplyTransformation(motion);
    EXPECT_EQ(movedCircle.Radius(), c.radius);
    EXPECT_EQ(movedArc.Radius(), c.radius);
    EXPECT_TRUE(Exact3(movedArc.GetStartPoint(), motion * start));
    EXPECT_TRUE(Exact3(movedArc.GetEndPoint(), motion * end));
    EXPECT_NEAR(movedArc.GetStartAngle(), a1, 1e-9);
    EXPECT_NEAR(movedArc.GetEndAngle(), a2, 1e-9);
    for (int k = 0; k < 4; ++k) {
      const double t = random.Uniform(-KRNPI, KRNPI);
      KRNMathPoint before, after, afterArc;
      circle.EvalPoint(t, before);
      movedCircle.EvalPoint(t, after);
      movedArc.EvalPoint(t, afterArc);
      EXPECT_TRUE(Near3(after, motion * before, 1e-9));
      EXPECT_TRUE(Near3(afterArc, motion * before, 1e-9));
    }
  }
}

TEST(CurveTransform, UniformScalingMultipliesTheRadiusAndCommutesWithEvaluation) {
  RandomGeometry random(18);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, kOrigin, kOrigin);
    const KRNMathTransformation scaling = Scaling(random.Point(), 3.0);
    ZRMUtCircle scaled(circle);
    scaled.ApplyTransformation(scaling);
    arc.ApplyTransformation(scaling);
    EXPECT_NEAR(scaled.Radius(), 3.0 * c.radius, 1e-12);
    EXPECT_NEAR(arc.Radius(), 3.0 * c.radius, 1e-12);
    const double t = random.Uniform(-KRNPI, KRNPI);
    KRNMathPoint before, after;
    circle.EvalPoint(t, before);
    scaled.EvalPoint(t, after);
    EXPECT_TRUE(Near3(after, scaling * before, 1e-9));
  }
}

TEST(CurveTransform, OtherMapsLeaveTheRadiusAlone) {
  const ZRMUtCircle original(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0);
  const KRNMath3x3Matrix stretch(KRNMathVector(2, 0, 0), KRNMathVector(0, 3, 0), KRNMathVector(0, 0, 1));
  const KRNMath3x3Matrix zero(KRNMathVector(0, 0, 0), KRNMathVector(0, 0, 0), KRNMathVector(0, 0, 0));
  const KRNMath3x3Matrix pointReflection(KRNMathVector(-1, 0, 0), KRNMathVector(0, -1, 0), KRNMathVector(0, 0, -1));
  const KRNMathTransformation maps[] = {
      KRNMathTransformation(),
      KRNMathTransformation(KRNMathVector(5, -1, 2)),
      KRNMathTransformation(0.7, KRNMathLine(KRNMathPoint(0, 1, 0), KRNMathVector(1, 1, 0))),
      Mirror(KRNMathPoint(0, 0, 1), KRNMathVector(0, 0, 1)),
      KRNMathTransformation(stretch),
      KRNMathTransformation(zero),
      KRNMathTransformation(pointReflection),
  };
  for (const KRNMathTransformation& map : maps) {
    ZRMUtCircle circle(original);
    circle.ApplyTransformation(map);
    EXPECT_EQ(circle.Radius(), 2.0);
  }
}

TEST(CurveTransform, MirroringKeepsARightHandedFrameAndTheImagePoints) {
  RandomGeometry random(19);
  for (long i = 0; i < zrmtest::Scaled(100); ++i) {
    const RandomCircle c = MakeRandomCircle(random);
    ZRMUtCircle circle(c.center, c.axis, c.xDir, c.radius);
    const KRNMathTransformation mirror = Mirror(random.Point(), KRNMathVector(random.Direction()));
    ZRMUtCircle mirrored(circle);
    mirrored.ApplyTransformation(mirror);
    EXPECT_TRUE(geomtest::RightHandedOrthonormal(mirrored.XDir(), mirrored.YDir(), mirrored.ZDir(), 1e-9));
    const double t = random.Uniform(-KRNPI, KRNPI);
    KRNMathPoint before, after;
    circle.EvalPoint(t, before);
    mirrored.EvalPoint(t, after);
    EXPECT_TRUE(Near3(after, mirror * before, 1e-9));
  }
}

// ----- copies, clones and visiting --------------------------------------------------------------

TEST(CurveValue, CopiesAndClonesCarryTheValueButNotTheReferenceCount) {
  ZRMUtArc_Ptr arc(new ZRMUtArc(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0, KRNMathPoint(3, 2, 3),
                                KRNMathPoint(1, 4, 3)));
  const ZRMUtArc copy(*arc);
  EXPECT_EQ(copy.GetRefCount(), 0);
  EXPECT_TRUE(Exact3(copy.GetEndPoint(), KRNMathPoint(1, 4, 3)));
  EXPECT_EQ(copy.Radius(), 2.0);

  ZRMUtArc_Ptr held(new ZRMUtArc);
  *held = copy;
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_TRUE(Exact3(held->GetStartPoint(), KRNMathPoint(3, 2, 3)));

  const ZRMUtGeometry_Ptr clone = arc->Clone();
  EXPECT_NE(clone.Ptr(), static_cast<ZRMUtGeometry*>(arc.Ptr()));
  EXPECT_EQ(clone->GetRefCount(), 1);
  EXPECT_EQ(ZRMGetGeomType(clone), ZRMUtGeomTypeVisitor::GeomArc);
  ZRMUtArc* cloned = clone->AsArc();
  ASSERT_NE(cloned, nullptr);
  EXPECT_TRUE(Exact3(cloned->GetStartPoint(), arc->GetStartPoint()));
  EXPECT_TRUE(Exact3(cloned->Center(), arc->Center()));

  const ZRMUtCircle circle(KRNMathPoint(1, 2, 3), KRNMathK, 4.0);
  const ZRMUtGeometry_Ptr circleClone = circle.Clone();
  EXPECT_EQ(ZRMGetGeomType(circleClone), ZRMUtGeomTypeVisitor::GeomCircle);
  ASSERT_NE(circleClone->AsCircle(), nullptr);
  EXPECT_EQ(circleClone->AsCircle()->Radius(), 4.0);
  EXPECT_EQ(circleClone->AsArc(), nullptr);
}

namespace {

// Records which overload received the object.
class KindVisitor : public ZRMUtGeomVisitor {
public:
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCircle*) override { ++circles; return true; }
  bool Visit(const ZRMUtArc*) override { ++arcs; return true; }
  int circles = 0;
  int arcs = 0;
};

// Takes circles only.
class CircleOnlyVisitor : public ZRMUtGeomVisitor {
public:
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCircle*) override { return true; }
};

// A platform error that counts its destruction and the reads of its text.
class CountedError : public KRNError {
public:
  ~CountedError() override { ++destroyed; }
  const char* GetMessageText() const override { ++textReads; return "counted error"; }
  static inline int destroyed = 0;
  static inline int textReads = 0;
};

// A platform object of another kind that records each Throw.
class OtherRaised : public KRNException {
public:
  [[noreturn]] void Throw(const char* file, int line, void* data) override {
    ++throws;
    lastFile = file;
    lastLine = line;
    lastData = data;
    KRNException::Throw(file, line, data);
  }
  int throws = 0;
  const char* lastFile = "unset";
  int lastLine = -1;
  void* lastData = this;
};

// Raises what it is told to from Visit(const ZRMUtCircle*).
class RaisingVisitor : public ZRMUtGeomVisitor {
public:
  enum Mode { RaiseError, RaiseUtError, RaiseOther, ThrowStd, ReturnTrue };
  explicit RaisingVisitor(Mode mode) : mMode(mode) {}
  using ZRMUtGeomVisitor::Visit;
  bool Visit(const ZRMUtCircle*) override {
    if (mMode == RaiseError) (new CountedError)->Throw("visitor", 1, nullptr);
    if (mMode == RaiseUtError) ZRMUtRaise(ZRMUtError::IndexOutOfRange, "visitor", 2);
    if (mMode == RaiseOther) {
      other = new OtherRaised;
      other->Throw("visitor", 3, &mMode);
    }
    if (mMode == ThrowStd) throw std::runtime_error("not a platform object");
    return true;
  }
  OtherRaised* other = nullptr;

private:
  Mode mMode;
};

}  // namespace

TEST(CurveVisit, NullVisitorIsRefusedAndEachClassIsVisitedAsItself) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  ZRMUtArc arc(kOrigin, KRNMathK, 1.0, kOrigin, kOrigin);
  const ZRMUtCircle& constCircle = circle;
  const ZRMUtArc& constArc = arc;
  EXPECT_FALSE(circle.Accept(nullptr));
  EXPECT_FALSE(constCircle.Accept(nullptr));
  EXPECT_FALSE(arc.Accept(nullptr));
  EXPECT_FALSE(constArc.Accept(nullptr));

  KindVisitor kinds;
  EXPECT_TRUE(circle.Accept(&kinds));
  EXPECT_TRUE(constCircle.Accept(&kinds));
  EXPECT_TRUE(arc.Accept(&kinds));
  EXPECT_TRUE(constArc.Accept(&kinds));
  EXPECT_EQ(kinds.circles, 2);
  EXPECT_EQ(kinds.arcs, 2);

  CircleOnlyVisitor circlesOnly;  // an arc is never visited as a circle
  EXPECT_TRUE(circle.Accept(&circlesOnly));
  EXPECT_FALSE(arc.Accept(&circlesOnly));
  EXPECT_FALSE(constArc.Accept(&circlesOnly));
}

TEST(CircleAcceptTrap, APlatformErrorIsDisposedOfAndGivesFalse) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  CountedError::destroyed = 0;
  CountedError::textReads = 0;
  RaisingVisitor raiser(RaisingVisitor::RaiseError);
  EXPECT_FALSE(circle.Accept(&raiser));
  EXPECT_EQ(CountedError::destroyed, 1);  // flushed exactly once, no leak
  EXPECT_EQ(CountedError::textReads, 1);

  RaisingVisitor utError(RaisingVisitor::RaiseUtError);  // a KRNError kind as well
  EXPECT_FALSE(circle.Accept(&utError));

  RaisingVisitor fine(RaisingVisitor::ReturnTrue);
  EXPECT_TRUE(circle.Accept(&fine));
}

TEST(CircleAcceptTrap, AnotherPlatformKindIsRaisedAgainFromItsOwnThrow) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  RaisingVisitor raiser(RaisingVisitor::RaiseOther);
  KRNException* caught = nullptr;
  try {
    circle.Accept(&raiser);
  } catch (KRNException* raised) {
    caught = raised;
  }
  ASSERT_NE(caught, nullptr);
  KRNExceptionOwner owner(caught);
  EXPECT_EQ(caught, raiser.other);  // the same object, not a copy
  EXPECT_EQ(raiser.other->throws, 2);
  EXPECT_EQ(raiser.other->lastFile, nullptr);
  EXPECT_EQ(raiser.other->lastLine, 0);
  EXPECT_EQ(raiser.other->lastData, nullptr);
}

TEST(CircleAcceptTrap, NonPlatformExceptionsPassThroughAndTheConstAcceptTrapsNothing) {
  ZRMUtCircle circle(kOrigin, KRNMathK, 1.0);
  RaisingVisitor thrower(RaisingVisitor::ThrowStd);
  EXPECT_THROW(circle.Accept(&thrower), std::runtime_error);

  const ZRMUtCircle& constCircle = circle;
  RaisingVisitor raiser(RaisingVisitor::RaiseUtError);
  const zrmtest::Raised raised = zrmtest::CatchRaised([&] { constCircle.Accept(&raiser); });
  EXPECT_TRUE(raised.raised);
  EXPECT_TRUE(raised.isZRMUtError);
  EXPECT_EQ(raised.line, 2);

  ZRMUtArc arc(kOrigin, KRNMathK, 1.0, kOrigin, kOrigin);
  class ArcRaiser : public ZRMUtGeomVisitor {
  public:
    using ZRMUtGeomVisitor::Visit;
    bool Visit(const ZRMUtArc*) override { ZRMUtRaise(ZRMUtError::InvalidIterator, "arc", 4); }
  } arcRaiser;
  EXPECT_TRUE(zrmtest::CatchRaised([&] { arc.Accept(&arcRaiser); }).raised);  // only the circle traps
}
