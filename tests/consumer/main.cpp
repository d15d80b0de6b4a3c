// Uses the installed library as a downstream module would: headers by bare name, one target.
#include <ZRMLSQSolver.h>
#include <ZRMMathematics.h>
#include <ZRMUtCircle.h>
#include <ZRMUtGeomVisitor.h>
#include <ZRMUtMap.h>
#include <KRNMathPoint.h>

#include <cmath>
#include <cstdio>

int main() {
  // x + y = 4 held exactly, x - y = 0 as a wish: the solution is x = y = 2.
  ZRMLSQSolver solver;
  ZRMUtMap<int, double, ZRMUtLess<int>> sum;
  sum[1] = 1.0;
  sum[2] = 1.0;
  solver.AddConstraint(true, 4.0, sum);
  ZRMUtMap<int, double, ZRMUtLess<int>> wish;
  wish[1] = 1.0;
  wish[2] = -1.0;
  solver.AddConstraint(false, 0.0, wish);
  if (!solver.Factor() || !solver.Solve()) return 1;
  const double x = solver.GetResult(1), y = solver.GetResult(2);

  ZRMUtCircle_Ptr circle(new ZRMUtCircle(KRNMathPoint(0, 0, 0), KRNMathDirection(KRNMathVector(0, 0, 1)), 2.0));
  const bool ok = ZRMMathematicsMarker() == 1 && std::fabs(x - 2.0) < 1e-12 && std::fabs(y - 2.0) < 1e-12 &&
                  ZRMGetGeomType(ZRMUtGeometry_Ptr(circle.Ptr())) == ZRMUtGeomTypeVisitor::GeomCircle;
  std::printf("consumer: x = %g, y = %g, circle radius %g: %s\n", x, y, circle->Radius(), ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
