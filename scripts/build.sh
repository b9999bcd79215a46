#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh), configures with the MinGW-w64 toolchain into
# build/ and builds the targets named, or everything. Usage: scripts/build.sh [TARGET...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${KORVEL_BUILD:-$root/build}
"$here/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" -j "$(nproc)" --target "$@"
else
  cmake --build "$build" -j "$(nproc)"
fi
