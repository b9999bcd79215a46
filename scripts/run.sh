#!/usr/bin/env bash
# Builds one program and starts it under Wine. Usage: scripts/run.sh [qvga | hd | NAME [ARG...]]
# Without a name it runs rimview, with qvga rimview-qvga, with hd rimview-hd, and with NAME
# build/bin/NAME.exe: any
# program of the build, one's own included. Only that program and the virtual camera are built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=${1:-rimview}
[ $# -gt 0 ] && shift
[ "$name" = qvga ] && name=rimview-qvga
[ "$name" = hd ] && name=rimview-hd
name=${name%.exe}
# Wine and Xvfb first: the template below is made with them while the program compiles.
"$here/setup.sh"
source "$here/wine_env.sh"
template_job=
trap 'stop_wine; [ -z "$template_job" ] || kill "$template_job" 2>/dev/null || true' EXIT
# The prefix's template is made while the program compiles: Wine's first start-up takes a while.
start_display
ensure_template >/dev/null &
template_job=$!
"$here/build.sh" "$name" krvcamera
wait "$template_job"
template_job=
start_wine
# Without a camera the programs see the virtual camera's synthetic mirror picture.
real_camera_present || register_camera
cd "$build/bin"
wine "$name.exe" "$@" </dev/null
