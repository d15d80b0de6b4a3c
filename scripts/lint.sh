#!/usr/bin/env bash
# Lint: layout and static checks; fails on any finding.
#
#   scripts/lint.sh [BUILD_DIR]     BUILD_DIR gives clang-tidy its compile_commands.json
#                                   (default build/default, configured with its preset when missing)
#
#   clang-format  (.clang-format) every C++ source and header of the repository except the
#                 vendored top-level third_party/;
#   clang-tidy    (.clang-tidy) every source of the library, the platform layer and the example,
#                 with the headers they include from those directories; two files at a time.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}

mapfile -t format_files < <(git ls-files '*.h' '*.cpp' | grep -v '^third_party/')
echo "clang-format: ${#format_files[@]} files"
clang-format --dry-run --Werror "${format_files[@]}"

if [ ! -f "$build/compile_commands.json" ]; then
  cmake --preset default -B "$build" >/dev/null
fi
mapfile -t tidy_files < <(git ls-files 'ZRMMathematicsExt/*.cpp' 'platform/*.cpp' 'examples/*.cpp')
echo "clang-tidy: ${#tidy_files[@]} files"
printf '%s\n' "${tidy_files[@]}" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "lint: passed"
