#!/usr/bin/env bash
# The Windows package as a user meets it: the ZIP unpacked into a fresh Wine prefix of its own,
# the virtual camera registered with the package's command file, rimview started from the
# unpacked folder until the camera's frames show, Exit, exit code 0; then the camera removed.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
KORVEL_BUILD=$build source "$root/scripts/wine_env.sh"
ensure_template >/dev/null
work=$build/package_test
rm -rf "$work"
mkdir -p "$work"
cmake --build "$build" --target windows_zip >/dev/null
zip=$build/rimview-$version-win64.zip
[ -f "$zip" ] || { echo "no package $zip"; exit 1; }
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/rimview-$version-win64
for file in rimview.exe rimview-qvga.exe rimview-hd.exe ringview.exe ringview-hd.exe krvcamera.dll register_camera.cmd \
  unregister_camera.cmd README.txt; do
  [ -f "$folder/$file" ] || { echo "the package lacks $file"; exit 1; }
done
grep -q "^rimview $version for Windows" "$folder/README.txt" ||
  { echo "README.txt does not name version $version"; exit 1; }

export WINEPREFIX=$work/prefix
cp -a "$template" "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
drive() { wine "$build/bin/krvdrive.exe" "$@"; }
cd "$folder"
wine cmd /c register_camera.cmd
wine rimview.exe </dev/null &
rimview=$!
drive wait korvel_mw0 30000 >/dev/null
drive command korvel_mw0 1001  # Start
# The virtual camera's sky in the output image: frames arrive and are shown.
drive shows krv_iw 'Hello,there!(100%)' 8CC8F0 30000
drive command korvel_mw0 1002  # Exit
code=0
wait "$rimview" || code=$?
[ "$code" = 0 ] || { echo "rimview ended with code $code"; exit 1; }
wine cmd /c unregister_camera.cmd
echo "package rimview-$version-win64: registered, frames shown, exit code 0, unregistered"
