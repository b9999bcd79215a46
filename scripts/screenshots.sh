#!/usr/bin/env bash
# Remakes the README's pictures in docs/ from the real programs on a private Xvfb: rimview
# running on the virtual camera (panel, camera picture with the ring marker, panorama), the
# camera picture's RGB line profile, one of the measuring tools, and ringview with the ring it
# found. Usage: scripts/screenshots.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
"$here/build.sh" rimview ringview krvcamera krvdrive
source "$here/wine_env.sh"
unset DISPLAY  # a screen of known size, whatever display the caller has
rimview=
ringview=
trap '[ -z "$rimview" ] || kill "$rimview" 2>/dev/null; [ -z "$ringview" ] || kill "$ringview" \
  2>/dev/null; stop_wine' EXIT
start_wine
register_camera
cd "$build/bin"
drive() { wine krvdrive.exe "$@" >/dev/null; }
shot() { import -window root -crop "$1" +repage "$2"; }
wine rimview.exe </dev/null &
rimview=$!
started=$(date +%s)
drive wait korvel_mw0 30000
# Image 0 opens over the console and the panel: the windows side by side.
drive move krv_iw 420 0 '000(100%)'
drive move korvel_mw0 0 420
drive command korvel_mw0 1001  # Start
drive shows krv_iw 'Hello,there!(100%)' 8CC8F0 30000
drive move krv_iw 420 505 'Hello,there!(100%)'
# From second 10 of the program's clock the output is the centred strip and image 0 has its
# ring marker.
while [ $(($(date +%s) - started)) -lt 15 ]; do sleep 1; done
shot 1070x1024+0+0 "$root/docs/rimview.png"
# "Line(RGB)" of the camera picture's menu picks a row; a click on row 300 plots it.
drive command krv_iw 1016 '000(100%)'
drive click krv_iw 320 300 '000(100%)'
drive wait krv_iw 30000 'RGB(Y=300)(100%)'
drive move krv_iw 420 505 'RGB(Y=300)(100%)'
sleep 2
shot 660x662+415+0 "$root/docs/line_rgb.png"
drive command korvel_mw0 1002  # Exit
wait "$rimview" || true
rimview=
# ringview lays its windows out apart; Start finds the ring and unwraps it on every frame.
wine ringview.exe </dev/null &
ringview=$!
drive wait korvel_mw0 30000
drive command korvel_mw0 1001  # Start
drive shows krv_iw 'panorama(100%)' 8CC8F0 30000
sleep 3  # a second's figures in the console
shot 1032x678+0+0 "$root/docs/ringview.png"
drive command korvel_mw0 1002  # Exit
wait "$ringview" || true
ringview=
echo "screenshots: docs/rimview.png docs/line_rgb.png docs/ringview.png"
