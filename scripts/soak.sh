#!/usr/bin/env bash
# The long reliability runs, by hand, on the virtual camera: Start/Stop cycles of rimview, then
# one soak of DURATION at FPS frames a second, each printing its figures. rimview asks for 10
# frames a second, so the soak runs rimview at 10 fps and the framework's own capture program
# (krvsoak) at any other rate.
# Usage: scripts/soak.sh DURATION FPS [CYCLES]   DURATION in seconds, or with m or h (10m, 1h);
# CYCLES 1000 unless given, 0 for none. Uses a Wine prefix of its own, so the test suite can
# run meanwhile.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
  echo "usage: $0 DURATION FPS [CYCLES]" >&2
  exit 2
fi
duration=$1 fps=$2 cycles=${3:-1000}
case $duration in
  *h) seconds=$(( ${duration%h} * 3600 )) ;;
  *m) seconds=$(( ${duration%m} * 60 )) ;;
  *) seconds=$duration ;;
esac
"$here/setup.sh"
"$here/build.sh"
source "$here/wine_env.sh"
export WINEPREFIX=$wine_dir/soak-prefix
trap stop_wine EXIT
start_wine
register_camera
cd "$build/bin"
status=0
if [ "$cycles" -gt 0 ]; then
  echo "== $cycles Start/Stop cycles"
  wine krvsoakrun.exe cycles "$cycles" rimview </dev/null || status=1
fi
if [ "$seconds" -gt 0 ]; then
  echo "== soak of $seconds s at $fps fps"
  subject=rimview
  [ "$fps" = 10 ] || subject=krvsoak
  wine krvsoakrun.exe soak "$seconds" "$fps" "$subject" </dev/null || status=1
fi
exit $status
