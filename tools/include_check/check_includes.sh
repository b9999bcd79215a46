#!/usr/bin/env bash
# The folder include graph of the framework and the application: runtime/ includes no other
# folder, and no folders include each other, directly or round a longer cycle. wiring/ is
# where the others meet. Usage: check_includes.sh [source root]; exit 0 when the graph holds.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
folders="runtime text boxes image draw capture wiring app"

# One line "folder included-folder" per edge, with the file that makes it.
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for folder in $folders; do
  for file in "$root/$folder"/*.cpp "$root/$folder"/*.h; do
    [ -f "$file" ] || continue
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' "$file" |
      while read -r target; do
        if [ "$target" != "$folder" ]; then echo "$folder $target ${file#"$root"/}"; fi
      done
  done
done >"$edges"

status=0
if grep -q '^runtime ' "$edges"; then
  echo "FAIL: runtime/ includes other folders:"
  grep '^runtime ' "$edges" | awk '{print "  " $3 " -> " $2 "/"}'
  status=1
fi
# tsort names the folders of a cycle on its error output.
if ! loop=$(cut -d' ' -f1,2 "$edges" | sort -u | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
  echo "FAIL: the folders include each other in a cycle:"
  echo "$loop" | sed -n 's/^tsort: //p' | grep -v 'input contains a loop' | sed 's/^/  /'
  status=1
fi
if [ $status -eq 0 ]; then
  echo "OK: runtime/ includes no other folder; the folder graph has no cycle:"
  cut -d' ' -f1,2 "$edges" | sort -u | awk '{print "  " $1 "/ -> " $2 "/"}'
fi
exit $status
