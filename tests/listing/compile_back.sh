#!/usr/bin/env bash
# The listing of the Window Info command, compiled into a program of its own, opens the same
# windows: a layout arranged in the probe is listed from its text window's menu command, the
# listing is built with the build's compiler and framework library, and the windows of both
# programs are described and compared.
# Usage: compile_back.sh BUILD_DIR SOURCE_DIR CXX_COMPILER KORVEL_LIBRARY (Wine set up by the
# test script: prefix, display and server).
set -euo pipefail
build=$1 source=$2 compiler=$3 library=$4
bin=$build/bin
work=$(mktemp -d "$build/listing.XXXXXX")
program=
finish() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
cd "$bin"
drive() { wine krvdrive.exe "$@" 2>/dev/null; }

# Waits until the program's windows stop changing; prints their description.
settled_layout() {
  local previous="" current
  for _ in $(seq 40); do
    sleep 0.5
    current=$(drive layout korvel_mw0 || true)
    if [ -n "$current" ] && [ "$current" = "$previous" ]; then
      printf '%s\n' "$current"
      return 0
    fi
    previous=$current
  done
  echo "windows never settled" >&2
  return 1
}

exit_program() {
  drive command korvel_mw0 1002 || true
  wait "$program" || true
  program=
}

KRV_PROBE_MODE=layout wine krvprobe.exe </dev/null &
program=$!
drive wait krv_bb 15000 >/dev/null
settled_layout >"$work/before.txt"
drive command krv_twi 1045
for _ in $(seq 40); do
  drive clipboard korvel_mw0 >"$work/listing.txt" || true
  grep -q 'KRV_SetForeground' "$work/listing.txt" && break
  sleep 0.25
done
grep -q 'KRV_SetForeground' "$work/listing.txt" || { echo "no listing on the clipboard" >&2; exit 1; }
exit_program

# The listing is text of the system code page; the sources are UTF-8.
iconv -f CP932 -t UTF-8 "$work/listing.txt" >"$work/listing.inc"
cat >"$work/program.cpp" <<'PROGRAM'
#include "korvel.h"

void AppSetup(void) {
#include "listing.inc"
}

void AppMain(void) {}
PROGRAM
"$compiler" -std=c++17 -finput-charset=UTF-8 -fexec-charset=CP932 -DUNICODE -D_UNICODE \
  -municode -mwindows -static -I"$source" -I"$work" "$work/program.cpp" \
  "$source/runtime/win_main.cpp" "$source/cmake/capture_size.cpp" "$library" -lgdiplus -lgdi32 -luser32 -lshell32 -lcomdlg32 \
  -lole32 -loleaut32 -lstrmiids -luuid -lwinmm -o "$work/krvlayout.exe"

wine "$work/krvlayout.exe" </dev/null &
program=$!
drive wait krv_bb 15000 >/dev/null
settled_layout >"$work/after.txt"
exit_program

echo "--- listing"
cat "$work/listing.inc"
if ! diff -u "$work/before.txt" "$work/after.txt"; then
  echo "the listing re-creates another layout" >&2
  exit 1
fi
echo "--- both programs open"
cat "$work/after.txt"
