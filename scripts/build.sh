#!/usr/bin/env bash
# Configures and builds everything with the MinGW-w64 toolchain into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVEL_BUILD:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"
