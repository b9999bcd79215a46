#!/usr/bin/env bash
# Installs what building and running under Wine needs on Debian 12, when it is missing,
# and generates the Japanese locale that gives Wine code page 932.
set -euo pipefail

packages=(cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-utils imagemagick
  fonts-ipafont-gothic fonts-wine locales googletest gcc libc6-dev linux-libc-dev)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq </dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
