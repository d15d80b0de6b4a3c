#!/usr/bin/env bash
# Runs the whole test suite under valgrind (ctest -T memcheck) and fails on any defect.
#
#   scripts/memcheck.sh [BUILD_DIR]      default build/default (configured and built when missing)
#
# The build must be one without sanitizers. Every test runs under valgrind with a full leak
# check and --error-exitcode (see MEMORYCHECK_COMMAND_OPTIONS in CMakeLists.txt), so a defect
# fails its test; the defect summary ctest prints is checked as well. The randomized tests are
# scaled down by ZRM_TEST_SCALE (default 0.05 here) rather than skipped. A test may take up to
# ZRM_MEMCHECK_TIMEOUT seconds (default 3600): the pinned large sketches run at full size, and
# valgrind slows them some fifty times.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset default -B "$build"
fi
cmake --build "$build"
grep -q '^MEMORYCHECK_COMMAND:FILEPATH=.*valgrind' "$build/CMakeCache.txt" ||
  { echo "valgrind not found by CMake (install valgrind, then reconfigure $build)" >&2; exit 1; }

export ZRM_TEST_SCALE=${ZRM_TEST_SCALE:-0.05}
log="$build/memcheck.log"
status=0
ctest --test-dir "$build" -T memcheck -j "${ZRM_MEMCHECK_JOBS:-2}" --timeout "${ZRM_MEMCHECK_TIMEOUT:-3600}" \
  --output-on-failure >"$log" 2>&1 || status=$?
sed -n '/tests passed\|tests failed/,$p' "$log"
defects=$(sed -n '/Memory checking results:/,$p' "$log" | grep -cE ' - [0-9]+$' || true)
echo "memcheck: ctest exit status $status, defect kinds reported: $defects (log: $log)"
[ "$status" -eq 0 ] && [ "$defects" -eq 0 ]
