// Registration when memory runs out: the global operator new of this test program fails the
// k-th allocation of one call, for every k until the call succeeds. A call that fails leaves
// the solver as it was before it; the solver then goes on as if the call had never been made.
#include "ZRMSolverOracle.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>

namespace {

long gAllocationsLeft = -1;  // negative: no failure armed

void* Allocate(std::size_t size) {
  if (gAllocationsLeft == 0) throw std::bad_alloc();
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

// Every form the standard library uses here, so that each block is freed as it was allocated.
// Never inlined: a memory checker that takes over these functions (valgrind does, by address)
// must see every call, or it would see blocks freed otherwise than allocated.
[[gnu::noinline]] void* operator new(std::size_t size) { return Allocate(size); }
[[gnu::noinline]] void* operator new[](std::size_t size) { return Allocate(size); }
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
[[gnu::noinline]] void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
[[gnu::noinline]] void operator delete[](void* block, std::size_t) noexcept { operator delete[](block); }
[[gnu::noinline]] void operator delete(void* block, const std::nothrow_t&) noexcept { operator delete(block); }
[[gnu::noinline]] void operator delete[](void* block, const std::nothrow_t&) noexcept { operator delete[](block); }

namespace {

using namespace zrmtest;

// Runs call with the k-th allocation failing; true when it failed (and threw std::bad_alloc).
bool FailsWithAllocation(long k, const std::function<void()>& call) {
  gAllocationsLeft = k;
  bool failed = false;
  try {
    call();
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  gAllocationsLeft = -1;
  return failed;
}

// A solver with named constraints 0..count-1 (each x_i = i, soft) and a hard x_0 + x_1 = 1,
// factored; its right-hand sides then changed.
void Prepare(ZRMLSQSolver& solver, int count) {
  for (int i = 0; i < count; ++i) {
    solver.AddConstraint(false, MakeCoefficients({{i, 1.0}}), i);
    solver.SetRhs(i, i);
  }
  solver.AddConstraint(true, 1.0, MakeCoefficients({{0, 1.0}, {1, 1.0}}));
  ASSERT_TRUE(solver.Factor());
  for (int i = 0; i < count; i += 3) solver.SetRhs(i, -i);
}

struct Registration {
  const char* what;
  std::function<void(ZRMLSQSolver&)> call;
};

}  // namespace

// Every registration, on solvers of 13 to 21 constraints, so that the call meets the store with
// room to spare and at a capacity boundary (16 rows), where it may fail after growing the store.
TEST(LSQSolverAllocation, AFailedRegistrationChangesNothing) {
  if (!FailsWithAllocation(0, [] { ::operator delete(::operator new(sizeof(int))); }))
    GTEST_SKIP() << "operator new is replaced by a memory checker";
  const Coefficients four = MakeCoefficients({{2, 1.0}, {3, -1.0}, {5, 0.5}, {7, 2.0}});
  const Registration registrations[] = {
      {"new named id", [&](ZRMLSQSolver& s) { s.AddConstraint(false, four, 5000); }},
      {"new named id far outside the id table", [&](ZRMLSQSolver& s) { s.AddConstraint(true, four, 1 << 30); }},
      {"named id replaced", [&](ZRMLSQSolver& s) { s.AddConstraint(false, four, 4); }},
      {"unnamed", [&](ZRMLSQSolver& s) { s.AddConstraint(false, 2.5, four); }},
      {"SetRhs of an unknown id", [](ZRMLSQSolver& s) { s.SetRhs(-77, 1.5); }},
  };
  AssertRecorder recorder(0);
  long deepest = 0;  // the most allocations one call made before the failing one
  for (const Registration& registration : registrations) {
    long failures = 0;
    for (int count = 12; count <= 20; ++count) {
      SCOPED_TRACE(::testing::Message() << registration.what << ", " << count << " constraints");
      ZRMLSQSolver expected;
      Prepare(expected, count);
      const ConstraintRecords before = ConstraintsOf(expected);
      registration.call(expected);
      const ConstraintRecords after = ConstraintsOf(expected);
      ASSERT_FALSE(before == after);
      long k = 0;
      for (;; ++k) {
        ZRMLSQSolver solver;
        Prepare(solver, count);
        const bool failed = FailsWithAllocation(k, [&] { registration.call(solver); });
        SCOPED_TRACE(::testing::Message() << "allocation " << k << (failed ? " failed" : " not reached"));
        EXPECT_TRUE(ConstraintsOf(solver) == (failed ? before : after));
        if (failed) registration.call(solver);  // as if the failed call had never been made
        ASSERT_EQ(solver.Factor(), expected.Factor());
        ASSERT_EQ(solver.Solve(), expected.Solve());
        EXPECT_EQ(ResultBits(solver), ResultBits(expected));
        if (!failed) break;
      }
      failures += k;
      deepest = std::max(deepest, k - 1);
    }
    EXPECT_GT(failures, 0) << registration.what;
  }
  EXPECT_GE(deepest, 2);  // a call failed after growing two arrays of the store
}
