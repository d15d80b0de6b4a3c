// Circles and arcs: frames, evaluation and projection against the analytic circle, angles,
// tangents, transformations and the error trap of the circle's Accept.
#include "GeometryTestSupport.h"
#include "KRNError.h"
#include "KRNException.h"
#include "ZRMUtArc.h"
#include "ZRMUtCircle.h"
#include "ZRMUtGeomVisitor.h"
#include "ZRMUtTolerance.h"

#include <cmath>
#include <stdexcept>

using geomtest::Exact3;
using geomtest::kNaN;
using geomtest::Near3;
using geomtest::RandomGeometry;

namespace {

const KRNMathPoint kOrigin(0.0, 0.0, 0.0);

// A random circle (center, axis, x direction orthogonal to it, radius in [0.5, 5]) with its
// analytic point center + r (cos t x + sin t y) and unit tangent.
struct RandomCircle {
  explicit RandomCircle(RandomGeometry& random)
      : center(random.Point()), axis(random.Direction()), xDir(random.OrthogonalTo(axis)),
        radius(random.Uniform(0.5, 5.0)) {}
  KRNMathPoint center;
  KRNMathDirection axis;
  KRNMathDirection xDir;
  double radius;
  KRNMathVector YDir() const { return KRNMathVector(axis) ^ KRNMathVector(xDir); }
  KRNMathPoint At(double t) const { return center + radius * (std::cos(t) * KRNMathVector(xDir) + std::sin(t) * YDir()); }
  KRNMathVector TangentAt(double t) const { return -std::sin(t) * KRNMathVector(xDir) + std::cos(t) * YDir(); }
  ZRMUtCircle Circle() const { return ZRMUtCircle(center, axis, xDir, radius); }
};

KRNMathPoint Eval(ZRMUtCircle& circle, double t) {
  KRNMathPoint p;
  circle.EvalPoint(t, p);
  return p;
}

}  // namespace

TEST(Circle, FrameEvaluationTangentAndProjectionMatchTheAnalyticCircle) {
  RandomGeometry random(11);
  for (long i = 0; i < zrmtest::Scaled(300); ++i) {
    const RandomCircle c(random);
    ZRMUtCircle circle = c.Circle();
    EXPECT_TRUE(Exact3(circle.Center(), c.center));
    EXPECT_TRUE(Near3(circle.Axis(), c.axis, 1e-12));
    EXPECT_TRUE(Exact3(circle.XDir(), c.xDir));
    EXPECT_TRUE(Near3(circle.YDir(), c.YDir(), 1e-12));
    EXPECT_TRUE(geomtest::RightHandedOrthonormal(circle.XDir(), circle.YDir(), circle.ZDir(), 1e-12));
    EXPECT_EQ(circle.Radius(), c.radius);

    const double t = random.Uniform(-KRNPI, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, 3.0 * t), c.At(3.0 * t), 1e-12));
    KRNMathVector tangent;
    EXPECT_TRUE(circle.GetTangentAtPoint(Eval(circle, t), tangent));
    EXPECT_TRUE(Near3(tangent, c.TangentAt(t), 1e-9));

    // Closest point: center + r * unit in-plane component of p - center; its angle evaluates back.
    const KRNMathPoint p = random.Point();
    const KRNMathVector d = p - c.center;
    const KRNMathVector inPlane = d - (d * KRNMathVector(c.axis)) * KRNMathVector(c.axis);
    KRNMathPoint q;
    double angle = 99.0;
    ASSERT_TRUE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, c.center + (c.radius / inPlane.Norm()) * inPlane, 1e-9));
    EXPECT_GT(angle, -KRNPI);
    EXPECT_LE(angle, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, angle), q, 1e-9));
  }
}

TEST(Circle, AxisOnlyConstructorDefaultsAndArcLength) {
  const ZRMUtCircle circle(KRNMathPoint(1, 2, 3), KRNMathK, 5.0);
  EXPECT_TRUE(Exact3(circle.XDir(), KRNMathVector(1, 0, 0)));
  EXPECT_TRUE(Exact3(circle.YDir(), KRNMathVector(0, 1, 0)));
  EXPECT_TRUE(Exact3(circle.Axis(), KRNMathVector(0, 0, 1)));
  EXPECT_TRUE(Exact3(geomtest::Coords(circle, &ZRMUtCircle::CenterCoord), KRNMathPoint(1, 2, 3)));
  EXPECT_TRUE(Exact3(geomtest::Coords(circle, &ZRMUtCircle::AxisCoord), KRNMathPoint(0, 0, 1)));
  EXPECT_EQ(ZRMUtCircle().Radius(), 0.0);
  const ZRMUtArc arc;
  EXPECT_EQ(arc.Radius(), 0.0);
  EXPECT_TRUE(Exact3(arc.GetStartPoint(), kOrigin));
  EXPECT_TRUE(Exact3(arc.GetEndPoint(), kOrigin));
  ZRMUtArc_Ptr held(new ZRMUtArc);  // value assignment keeps the target's own count
  *held = ZRMUtArc(kOrigin, KRNMathK, KRNMathI, 2.0, KRNMathPoint(2, 0, 0), KRNMathPoint(0, 2, 0));
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_EQ(held->Radius(), 2.0);
  EXPECT_TRUE(Exact3(held->GetEndPoint(), KRNMathPoint(0, 2, 0)));

  EXPECT_DOUBLE_EQ(circle.ArcLength(0.0, KRN2PI), 5.0);  // the turn fraction times the radius
  EXPECT_DOUBLE_EQ(circle.ArcLength(0.0, KRNPI), 2.5);
  RandomGeometry random(12);
  for (int i = 0; i < 50; ++i) {
    const double a = random.Uniform(-10, 10), b = random.Uniform(-10, 10);
    EXPECT_EQ(circle.ArcLength(a, b), circle.ArcLength(b, a));
    EXPECT_NEAR(circle.ArcLength(a, b), std::fabs(a - b) / (2 * KRNPI) * 5.0, 1e-12);
  }
}

TEST(Circle, AxisParallelToXDirectionGivesYAlongIAndTheOrthogonalityReport) {
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

TEST(Circle, ProjectionRefusesAxisPointsNullPointsAndNaN) {
  ZRMUtCircle circle(KRNMathPoint(1, 1, 1), KRNMathK, KRNMathI, 2.0);
  for (const KRNMathPoint& p : {KRNMathPoint(1, 1, 1), KRNMathPoint(1, 1, -4)}) {
    KRNMathPoint q(7, 7, 7);
    double angle = 99.0;
    EXPECT_FALSE(circle.ProjectPoint(p, &q, &angle));
    EXPECT_TRUE(Near3(q, KRNMathPoint(3, 1, 1), 1e-15));  // the platform's fallback at angle 0
    EXPECT_EQ(angle, 0.0);
  }
  KRNMathPoint q;
  EXPECT_TRUE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), &q, nullptr));  // only the point wanted
  EXPECT_TRUE(Near3(q, KRNMathPoint(1, 3, 1), 1e-15));
  double angle = 99.0;
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), nullptr, &angle));
  EXPECT_EQ(angle, 99.0);
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(1, 6, 3), nullptr, nullptr));
  EXPECT_FALSE(circle.ProjectPoint(KRNMathPoint(kNaN, 0, 0), &q, &angle));
  KRNMathVector tangent;
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(kNaN, 1, 0), tangent));
}

TEST(Arc, TheNegativeXSideGivesPiOrNearlyMinusPi) {
  const ZRMUtArc exact(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, 0, 0), KRNMathPoint(-1, -0.0, -0.0));
  EXPECT_EQ(exact.GetStartAngle(), KRNPI);
  EXPECT_EQ(exact.GetEndAngle(), KRNPI);  // -pi is folded into (-pi, pi]
  const ZRMUtArc below(kOrigin, KRNMathK, KRNMathI, 1.0, KRNMathPoint(-1, -1e-12, 0), KRNMathPoint(0, 1, 0));
  EXPECT_LT(below.GetStartAngle(), -KRNPI + 1e-11);
  EXPECT_GT(below.GetStartAngle(), -KRNPI);
  EXPECT_NEAR(below.GetEndAngle(), KRNPIBY2, 1e-15);
}

TEST(Tangent, CircleAcceptsHalfTheLengthToleranceAndTheArcDoesNot) {
  const double r = 5.0;
  const ZRMUtCircle circle(kOrigin, KRNMathK, KRNMathI, r);
  const ZRMUtArc arc(kOrigin, KRNMathK, KRNMathI, r, KRNMathPoint(r, 0, 0), KRNMathPoint(0, r, 0));
  const KRNMathPoint off(0, r + 0.5 * ZRMUtTolerance().LengthTol(), 0);
  KRNMathVector tc, ta;
  EXPECT_TRUE(circle.GetTangentAtPoint(off, tc));
  EXPECT_FALSE(arc.GetTangentAtPoint(off, ta));
  EXPECT_TRUE(Exact3(tc, ta));
  EXPECT_TRUE(Near3(tc, KRNMathVector(-1, 0, 0), 1e-15));
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(0, r + 2.0 * ZRMUtTolerance().LengthTol(), 0), tc));
  EXPECT_TRUE(arc.GetTangentAtPoint(KRNMathPoint(3, 4, 0), ta));  // |(3, 4)| == 5 exactly
  EXPECT_TRUE(Near3(ta, KRNMathVector(-0.8, 0.6, 0), 1e-15));
}

TEST(Tangent, AtTheCenterTheTangentIsWrittenAndFalseReturned) {
  const ZRMUtCircle circle(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0);
  KRNMathVector tangent(9, 9, 9);
  EXPECT_FALSE(circle.GetTangentAtPoint(KRNMathPoint(1, 2, 3), tangent));
  EXPECT_TRUE(Exact3(tangent, KRNMathVector(0, 1, 0)));  // unit direction of z x (1, 0, 0)
  const ZRMUtArc zeroArc(kOrigin, KRNMathK, KRNMathI, 0.0, kOrigin, kOrigin);
  EXPECT_TRUE(zeroArc.GetTangentAtPoint(kOrigin, tangent));  // d == radius == 0 exactly
}

TEST(Tangent, ArcEndOneSelectsTheStartEveryOtherValueTheEnd) {
  ZRMUtArc arc(KRNMathPoint(1, 1, 0), KRNMathK, KRNMathI, 2.0, KRNMathPoint(3, 1, 0), KRNMathPoint(1, 3, 0));
  EXPECT_TRUE(Near3(arc.GetTangent(1), KRNMathVector(0, 1, 0), 1e-15));
  for (int end : {0, 2, -1, 7}) EXPECT_TRUE(Near3(arc.GetTangent(end), KRNMathVector(-1, 0, 0), 1e-15));
}

TEST(Transform, RigidMotionsCommuteWithEvaluationAndKeepRadiusEndsAndAngles) {
  geomtest::ExpectRigidMotionsCommute(
      17, 200, [](RandomGeometry& r) { return RandomCircle(r).Circle(); }, Eval, 1e-9,
      [](const ZRMUtCircle& before, const ZRMUtCircle& moved, const KRNMathTransformation&, RandomGeometry&) {
        EXPECT_EQ(moved.Radius(), before.Radius());
      });
  // The end angles recover the angles the ends were evaluated at, before and after the motion.
  geomtest::ExpectRigidMotionsCommute(
      15, 300,
      [](RandomGeometry& r) {
        const RandomCircle c(r);
        const double a1 = r.Uniform(-3.1, 3.1), a2 = r.Uniform(-3.1, 3.1);
        const ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, c.At(a1), c.At(a2));
        EXPECT_NEAR(arc.GetStartAngle(), a1, 1e-9);
        EXPECT_NEAR(arc.GetEndAngle(), a2, 1e-9);  // not normalised: may be below the start angle
        return arc;
      },
      Eval, 1e-9,
      [](const ZRMUtArc& before, const ZRMUtArc& moved, const KRNMathTransformation& motion, RandomGeometry&) {
        EXPECT_EQ(moved.Radius(), before.Radius());
        EXPECT_TRUE(Exact3(moved.GetStartPoint(), motion * before.GetStartPoint()));
        EXPECT_TRUE(Exact3(moved.GetEndPoint(), motion * before.GetEndPoint()));
        EXPECT_NEAR(moved.GetStartAngle(), before.GetStartAngle(), 1e-9);
        EXPECT_NEAR(moved.GetEndAngle(), before.GetEndAngle(), 1e-9);
      });
}

TEST(Transform, UniformScalingMultipliesTheRadiusMirroringKeepsARightHandedFrame) {
  RandomGeometry random(18);
  for (long i = 0; i < zrmtest::Scaled(200); ++i) {
    const RandomCircle c(random);
    const bool scale = i % 2 == 0;
    const KRNMathTransformation map = scale ? geomtest::Scaling(3.0, random.Point())
                                            : geomtest::Mirror(random.Point(), KRNMathVector(random.Direction()));
    ZRMUtCircle circle = c.Circle();
    ZRMUtArc arc(c.center, c.axis, c.xDir, c.radius, kOrigin, kOrigin);
    circle.ApplyTransformation(map);
    arc.ApplyTransformation(map);
    EXPECT_NEAR(circle.Radius(), (scale ? 3.0 : 1.0) * c.radius, 1e-12);
    EXPECT_NEAR(arc.Radius(), (scale ? 3.0 : 1.0) * c.radius, 1e-12);
    EXPECT_TRUE(geomtest::RightHandedOrthonormal(circle.XDir(), circle.YDir(), circle.ZDir(), 1e-9));
    const double t = random.Uniform(-KRNPI, KRNPI);
    EXPECT_TRUE(Near3(Eval(circle, t), map * c.At(t), 1e-9));
  }
}

TEST(Transform, OtherMapsLeaveTheRadiusAlone) {
  const ZRMUtCircle original(KRNMathPoint(1, 2, 3), KRNMathK, KRNMathI, 2.0);
  const KRNMathTransformation maps[] = {
      KRNMathTransformation(),
      KRNMathTransformation(KRNMathVector(5, -1, 2)),
      KRNMathTransformation(0.7, KRNMathLine(KRNMathPoint(0, 1, 0), KRNMathVector(1, 1, 0))),
      geomtest::Mirror(KRNMathPoint(0, 0, 1), KRNMathVector(0, 0, 1)),
      geomtest::Linear(KRNMathVector(2, 0, 0), KRNMathVector(0, 3, 0), KRNMathVector(0, 0, 1)),
      geomtest::Linear(KRNMathVector(), KRNMathVector(), KRNMathVector()),
      geomtest::Scaling(-1.0),
  };
  for (const KRNMathTransformation& map : maps) {
    ZRMUtCircle circle(original);
    circle.ApplyTransformation(map);
    EXPECT_EQ(circle.Radius(), 2.0);
  }
}

namespace {

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
