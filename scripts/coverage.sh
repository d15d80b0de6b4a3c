#!/usr/bin/env bash
# Builds the `coverage` preset (g++ --coverage, -O0), runs every test (the fuzz corpus replays
# included), reports line and branch coverage per area with gcovr, and fails under the gates
# (scripts/coverage_gates.py):
#
#   containers  ZRMUtilities/ProtectedInterfaces/, platform tree and iterator tracker
#               lines >= 95 %, branches >= 85 %
#   solver      the solver's files in ZRMMathematicsExt/ZRMMathematics.m/src/ (ZRMLSQ*,
#               the stages, the sparse Cholesky, the id index): lines >= 90 %
#   both        every line that raises a container error or reports a failed check
#               (ZRMUtRaise, Raise, RaiseInvalidIterator, ZRMReportCheck calls) was executed
#
# Branch figures leave out the exception edges of calls (--exclude-throw-branches) and the
# branches the compiler marks unreachable (--exclude-unreachable-branches): gcov counts an
# exception edge for every call in a template, which no test could all take. The invariant
# checkers, which only the tests and fuzzers call, are left out (coverage_gates.py).
#
#   scripts/coverage.sh     builds into build/coverage (ZRM_COVERAGE_BUILD=<dir> for another);
#                           report in <build>/coverage.txt, randomized tests at ZRM_TEST_SCALE 0.25
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ZRM_COVERAGE_BUILD:-build/coverage}
[ -f "$build/CMakeCache.txt" ] || cmake --preset coverage -B "$build" >/dev/null
cmake --build "$build"
find "$build" -name '*.gcda' -delete
ZRM_TEST_SCALE=${ZRM_TEST_SCALE:-0.25} ctest --test-dir "$build" -j 2 --output-on-failure >"$build/ctest.log" 2>&1 ||
  { tail -n 60 "$build/ctest.log" >&2; echo "coverage: tests failed" >&2; exit 1; }

containers='ZRMUtilities/ProtectedInterfaces/.*|platform/(include|src)/ZRMUt(AvlTree|IteratorTracker)\.(h|cpp)'
solver='ZRMMathematicsExt/ZRMMathematics\.m/src/(ZRMLSQ[A-Za-z]*|ZRMSparseCholesky|ZRMConstraintStore|ZRMConstraintNumbering|ZRMHardRowElimination|ZRMSoftRowReduction|ZRMPivotSearch|ZRMCompressedRows|ZRMIdIndex)[^/]*'
gcovr --root . --object-directory "$build" --exclude-throw-branches --exclude-unreachable-branches \
      --filter "($containers|$solver)\$" --json "$build/coverage.json" --gcov-executable gcov >/dev/null

scripts/coverage_gates.py "$build/coverage.json" "$containers" "$solver" | tee "$build/coverage.txt"
