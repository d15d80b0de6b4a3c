#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks (with CHOLMOD as a peer), the
# reliability checks (valgrind, gcovr), the lint (clang-format, clang-tidy), the API reference
# (doxygen) and the pkg-config consumer check need, when missing.
# Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev valgrind gcovr
          clang-format clang-tidy doxygen pkg-config libsuitesparse-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
