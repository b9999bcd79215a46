#!/usr/bin/env bash
# Builds rimview and starts it under Wine. Usage: scripts/run.sh [qvga]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh"
"$here/build.sh"
source "$here/wine_env.sh"
trap stop_wine EXIT
start_wine
# Without a camera the panorama shows the virtual camera's synthetic mirror picture.
real_camera_present || register_camera
program=rimview.exe
[ "${1:-}" = qvga ] && program=rimview-qvga.exe
cd "$build/bin"
wine "$program" </dev/null
