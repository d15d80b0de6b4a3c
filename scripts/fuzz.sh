#!/usr/bin/env bash
# Runs the libFuzzer fuzzers of fuzz/ for a given time each.
#
#   scripts/fuzz.sh NAME SECONDS [libFuzzer options...]   one fuzzer (tree, vector,
#                                                         solver_oracle, solver_calls, geometry)
#   scripts/fuzz.sh all SECONDS [libFuzzer options...]    each of them in turn
#
# Builds the `fuzz` preset (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer,
# leak checking) into build/fuzz when needed (ZRM_FUZZ_BUILD=<dir> to use another build
# directory). The committed seeds in fuzz/corpus/NAME are read, never written: new inputs go to
# build/fuzz/corpus/NAME, findings (crashing inputs) to build/fuzz/findings/NAME. A finding
# makes the script fail; replay it with  build/fuzz/fuzz/fuzz_NAME <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzzers=(tree vector solver_oracle solver_calls geometry)
if [ $# -lt 2 ]; then
  sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
name=$1
seconds=$2
shift 2
if [ "$name" = all ]; then
  selected=("${fuzzers[@]}")
else
  [[ " ${fuzzers[*]} " == *" $name "* ]] || { echo "unknown fuzzer: $name (one of: ${fuzzers[*]}, all)" >&2; exit 2; }
  selected=("$name")
fi

build=${ZRM_FUZZ_BUILD:-build/fuzz}
[ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${selected[@]/#/fuzz_}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for fuzzer in "${selected[@]}"; do
  work="$build/corpus/$fuzzer"
  findings="$build/findings/$fuzzer"
  mkdir -p "$work" "$findings"
  log="$build/fuzz-$fuzzer.log"
  echo "fuzz_$fuzzer: ${seconds}s (log: $log)"
  status=0
  "$build/fuzz/fuzz_$fuzzer" -max_total_time="$seconds" -max_len=512 -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$@" "$work" "fuzz/corpus/$fuzzer" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz_$fuzzer: ${runs:-?} executions, exit status $status"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    exit "$status"
  fi
done
