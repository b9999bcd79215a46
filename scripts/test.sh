#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine; fails when any test fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/build.sh"
source "$here/wine_env.sh"
trap stop_wine EXIT
start_wine
register_camera
cd "$build"
ctest --output-on-failure --timeout 300 "$@" </dev/null
