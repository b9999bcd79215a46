#!/usr/bin/env bash
# The include check against small made-up trees: it passes a sound one and fails a runtime/
# that includes another folder and two folders that include each other.
set -euo pipefail
check="$(cd "$(dirname "$0")" && pwd)/check_includes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

make_tree() {  # make_tree name "folder/file:included-folder" ...
  local tree="$work/$1"
  shift
  for edge in "$@"; do
    mkdir -p "$tree/$(dirname "${edge%%:*}")"
    echo "#include \"${edge##*:}/${edge##*:}.h\"" >>"$tree/${edge%%:*}"
  done
  echo "$tree"
}

expect() {  # expect pass|fail name tree
  if bash "$check" "$3" >"$work/out" 2>&1; then result=pass; else result=fail; fi
  if [ "$result" = "$1" ]; then
    echo "ok: $2"
  else
    echo "WRONG: $2 should $1 but did $result:"
    cat "$work/out"
    failures=$((failures + 1))
  fi
}

sound=$(make_tree sound image/image.h:runtime draw/draw.h:image wiring/w.cpp:draw \
  wiring/w.cpp:text text/text.h:runtime)
expect pass "folders that meet only in wiring" "$sound"
upward=$(make_tree upward image/image.h:runtime runtime/snap.cpp:image)
expect fail "runtime including image" "$upward"
mutual=$(make_tree mutual draw/draw.h:image image/commands.cpp:draw)
expect fail "image and draw including each other" "$mutual"
round=$(make_tree round text/t.cpp:boxes boxes/b.cpp:draw draw/d.cpp:text)
expect fail "text, boxes and draw in a ring" "$round"
grep -q 'runtime/snap.cpp -> image/' <(bash "$check" "$upward" || true) && echo "ok: the file is named" ||
  { echo "WRONG: the offending file is not named"; failures=$((failures + 1)); }

[ $failures -eq 0 ] && echo "PASS" || echo "FAIL: $failures case(s)"
exit $failures
