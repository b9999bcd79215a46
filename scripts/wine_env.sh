# Sourced by the run and test scripts: a private Wine prefix inside the build tree, the
# Japanese locale, a display (Xvfb when none is set) and one wineserver for the whole session.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORVEL_BUILD:-$root/build}
wine_dir=$build/wine
template=$wine_dir/template
export WINEPREFIX=$wine_dir/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
xvfb_pid=

# The template holds everything a fresh prefix needs; it is rebuilt when its recipe changes.
template_recipe="managed=N fonts=wine-System+IPAGothic v2"

make_template() {
  rm -rf "$template"
  mkdir -p "$wine_dir"
  WINEPREFIX=$template wineboot -i >/dev/null 2>&1
  # Without a window manager, managed windows take about 2 s to destroy.
  WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ \
    /d N /f >/dev/null 2>&1
  # Fonts a Japanese Windows has, drawn with IPAGothic. "System" is the font of buttons and
  # status labels; Wine's own System fonts (jvgasys.fon for code page 932, vgasys.fon and
  # system.ttf) have no arrows and no kana: the arrows of rimview's panel showed as black bars
  # and "real-time" its hyphen raised. A replacement counts only for a family that does not
  # exist, so those fonts are left out below.
  local face
  for face in 'ＭＳ ゴシック' System; do
    WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
      /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  done
  WINEPREFIX=$template wineserver -w
  # Debian installs Wine's own fonts where this Wine does not look.
  local font
  for font in /usr/share/wine/fonts/*; do
    case ${font##*/} in *vgasys*.fon | vgas[0-9]*.fon | system.ttf) continue ;; esac
    [ -e "$font" ] && cp "$font" "$template/drive_c/windows/Fonts/"
  done
  cp /usr/share/fonts/opentype/ipafont-gothic/*.ttf "$template/drive_c/windows/Fonts/" \
    2>/dev/null || true
  echo "$template_recipe" >"$template/.recipe"
}

ensure_template() {
  if [ "$(cat "$template/.recipe" 2>/dev/null)" != "$template_recipe" ]; then
    echo "wine: making the template prefix"
    make_template
  fi
}

# Every run starts from a copy of the template, so nothing an earlier run left counts.
fresh_prefix() {
  ensure_template
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  # rimview's batches read and write d:\pano0 and d:\pano: a drive D: inside the prefix.
  mkdir -p "$WINEPREFIX/drive_d"
  ln -s ../drive_d "$WINEPREFIX/dosdevices/d:"
}

start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && return
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    unset DISPLAY
  done
  echo "wine: no display could be started" >&2
  return 1
}

# One warm wineserver for the session: each program then starts in a fraction of a second.
start_wine() {
  start_display
  fresh_prefix
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1
}

# The virtual camera of build/bin, registered as a video-input device in the private prefix.
register_camera() {
  (cd "$build/bin" && wine regsvr32 /s krvcamera.dll >/dev/null 2>&1) || {
    echo "wine: the virtual camera could not be registered" >&2
    return 1
  }
}

# A real camera shows up to Wine as a video device node.
real_camera_present() {
  compgen -G "/dev/video*" >/dev/null
}

stop_wine() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
