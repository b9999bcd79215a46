#!/usr/bin/env bash
# Runs the benchmarks and prints their tables: the unwrap core built natively against Debian's
# OpenCV (installed here when missing; it is a yardstick only, never a dependency of the
# programs), the same core built with MinGW under Wine, the console work of a pass, a whole pass
# of rimview piece by piece, and rimview running live on the virtual camera (processor time,
# frames delivered and shown, arrival-to-redraw delay) at 10 and 30 fps, all three sizes, and the
# capture alone at 640 x 480 and 1280 x 960.
# Usage: scripts/bench.sh [passes [live seconds]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
passes=${1:-300}
live=${2:-60}

if ! dpkg-query -W -f='${Status}' libopencv-imgproc-dev 2>/dev/null | grep -q "install ok installed"
then
  echo "bench: installing libopencv-imgproc-dev"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null
  apt-get install -y -qq --no-install-recommends libopencv-imgproc-dev g++ </dev/null
fi
"$here/setup.sh" >/dev/null
"$here/build.sh" >/dev/null
source "$here/wine_env.sh"

native=$build/native
mkdir -p "$native"
g++ -O2 -std=c++17 -DKRV_BENCH_OPENCV -I"$root" -I/usr/include/opencv4 \
  "$root/tools/unwrap_bench/unwrap_bench.cpp" "$root"/app/unwrap.cpp "$root"/app/strip_*.cpp \
  -o "$native/unwrap_bench" -lopencv_imgproc -lopencv_core

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
# The figures move with whatever else runs: the load is printed beside them.
load() { echo "(load average $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores)"; }
echo "## Unwrap, native (g++ -O2, Linux), $cpu $(load)"
"$native/unwrap_bench" "$passes"

trap stop_wine EXIT
start_wine
register_camera
cd "$build/bin"
echo
echo "## Unwrap, MinGW build under Wine $(load)"
wine unwrap_bench.exe "$passes" </dev/null | tr -d '\r'
echo
echo "## Console work of one pass under Wine (22 empty prints, the report) $(load)"
echo
wine print_bench.exe 22 "$passes" </dev/null | tr -d '\r'
echo
for size in "" -qvga -hd; do
  echo "## One pass of rimview$size under Wine and Xvfb $(load)"
  wine "pano_bench$size.exe" </dev/null | tr -d '\r'
done
echo
echo "## rimview live on the virtual camera, $live s per run"
for size in "" -qvga -hd; do
  for fps in 10 30; do
    wine "live_bench$size.exe" "$live" "$fps" </dev/null | tr -d '\r'
    load
  done
done
echo
echo "## Ring search (KRV_FindRing's work), MinGW build under Wine $(load)"
wine ring_bench.exe "$passes" </dev/null | tr -d '\r'
echo
echo "## The capture alone on the virtual camera, 20 s at 30 fps"
for size in "" -hd; do
  wine "capture_bench$size.exe" 20 30 </dev/null | tr -d '\r'
  load
done
