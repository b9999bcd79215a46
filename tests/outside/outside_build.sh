#!/usr/bin/env bash
# A project of one's own on the framework: a CMakeLists.txt in a folder outside this tree takes
# the framework in with add_subdirectory and adds one program with korvel_add_app; the program
# is configured and built with the MinGW toolchain, then run under Wine. It writes its capture
# size and the bytes of a Japanese literal, which show that the size and the code page came with
# the function and the korvel target.
# Usage: outside_build.sh SOURCE_DIR BUILD_DIR (Wine set up by the test script).
set -euo pipefail
source=$1 build=$2
# A folder of its own in the build tree, the same one each time, so that a compiler cache keyed
# on relative paths serves the framework's objects on later runs.
work=$build/outside.tmp
rm -rf "$work"
mkdir -p "$work"
program=
finish() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

mkdir "$work/project"
cat >"$work/project/CMakeLists.txt" <<PROJECT
cmake_minimum_required(VERSION 3.20)
project(outside LANGUAGES C CXX)
add_subdirectory("$source" korvel EXCLUDE_FROM_ALL)
korvel_add_app(outside outside.cpp CAPTURE 320 240)
PROJECT
cat >"$work/project/outside.cpp" <<'PROGRAM'
#include <stdio.h>

#include "korvel.h"

void AppSetup(void) {
  FILE* file = fopen("outside.part", "w");
  if (!file) return;
  fprintf(file, "%d %d", CaptureWidth, CaptureHeight);
  for (const unsigned char* c = (const unsigned char*)"テスト"; *c; c++) fprintf(file, " %02x", *c);
  fprintf(file, "\n");
  fclose(file);
  rename("outside.part", "outside.txt");
}

void AppMain(void) {}
PROGRAM

# The framework is compiled afresh here: a compiler cache, when there is one, spares repeats.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
cmake -S "$work/project" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j 2 >"$work/build.log" 2>&1 || { tail -40 "$work/build.log"; exit 1; }
# Only the program and its library are built: nothing else of the framework's tree.
built=$(cd "$work/build" && find . -name CMakeFiles -prune -o -name '*.exe' -print | sort | tr '\n' ' ')
if [ "$built" != "./outside.exe " ]; then
  echo "programs built: $built" >&2
  exit 1
fi

cd "$work"
wine "$work/build/outside.exe" </dev/null &
program=$!
for _ in $(seq 300); do
  [ -e outside.txt ] && break
  sleep 0.1
done
wine "$build/bin/krvdrive.exe" command korvel_mw0 1002 >/dev/null 2>&1 || true
wait "$program" || true
program=
expected="320 240 83 65 83 58 83 67"
actual=$(tr -d '\r\n' <outside.txt 2>/dev/null || echo "no outside.txt")
echo "outside.txt: $actual"
[ "$actual" = "$expected" ] || { echo "expected: $expected" >&2; exit 1; }
