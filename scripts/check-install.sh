#!/usr/bin/env bash
# Checks the installed package as a downstream project meets it.
#
#   scripts/check-install.sh BUILD_DIR
#
# Installs BUILD_DIR (a configured and built tree) component by component into fresh prefixes
# under BUILD_DIR/check-install: the runtime component must hold the shared libraries and nothing
# else. The complete installation is then moved elsewhere (the package must not depend on where
# it was installed) and tests/consumer is built against the moved copy twice, with
# find_package(ZRMMathematics) and with the compiler flags of pkg-config's ZRMMathematics.pc,
# with warnings as errors; both programs must run and report success.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: scripts/check-install.sh BUILD_DIR}
work="$build/check-install"
rm -rf "$work"
mkdir -p "$work"

cmake --install "$build" --prefix "$work/runtime" --component ZRMMathematics_Runtime >/dev/null
unexpected=$(find "$work/runtime" \( -type f -o -type l \) ! -name 'libZRM*.so.*')
if [ -n "$unexpected" ]; then
  echo "runtime component holds more than the shared libraries:" >&2
  echo "$unexpected" >&2
  exit 1
fi
[ "$(find "$work/runtime" -name 'libZRMMathematics.so.*' | wc -l)" -gt 0 ] || { echo "runtime component lacks libZRMMathematics" >&2; exit 1; }

cmake --install "$build" --prefix "$work/installed" --component ZRMMathematics_Runtime >/dev/null
cmake --install "$build" --prefix "$work/installed" --component ZRMMathematics_Development >/dev/null
mv "$work/installed" "$work/moved"
prefix="$(pwd)/$work/moved"

cmake -S tests/consumer -B "$work/cmake-consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_CXX_FLAGS="-Wall -Wextra -Wpedantic" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
"$work/cmake-consumer/consumer"

pc_file=$(find "$prefix" -name ZRMMathematics.pc)
[ -n "$pc_file" ] || { echo "ZRMMathematics.pc not installed" >&2; exit 1; }
export PKG_CONFIG_PATH="$(dirname "$pc_file")"
read -r -a flags <<<"$(pkg-config --cflags --libs ZRMMathematics)"
${CXX:-c++} -std=c++17 -Wall -Wextra -Wpedantic -Werror tests/consumer/main.cpp "${flags[@]}" \
  -Wl,-rpath,"$(pkg-config --variable=libdir ZRMMathematics)" -o "$work/pkg-config-consumer"
"$work/pkg-config-consumer"
echo "check-install: runtime component, find_package and pkg-config consumers passed"
