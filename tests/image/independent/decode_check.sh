#!/usr/bin/env bash
# Files written by the framework under Wine, decoded by ImageMagick on the host: every format
# must decode to the pixels that were saved (JPEG and a GIF of many colours within bounds), the
# 32-bit BMP must be a 24-bit file, the 8-bit files indexed ones, and BMP headers must give
# the file's true size.
set -euo pipefail
writer=$1
command -v convert >/dev/null || { echo "ImageMagick is needed (scripts/setup.sh)" >&2; exit 1; }
dir=$(mktemp -d "$PWD/decode_check.XXXXXX")
trap 'rm -rf "$dir"' EXIT
wine "$writer" "$(winepath -w "$dir")"

fail() { echo "$*" >&2; exit 1; }

# file, expected raw RGB, width x height, largest difference allowed per channel (0..255)
compare_pixels() {
  local file=$1 expected=$2 size=$3 limit=$4
  convert "$dir/$file" -depth 8 "rgb:$dir/$file.rgb"
  if [ "$limit" = 0 ]; then
    cmp -s "$dir/$file.rgb" "$dir/$expected" || fail "$file: pixels differ from those saved"
    echo "$file: decodes to exactly the pixels saved"
    return
  fi
  convert -size "$size" -depth 8 "rgb:$dir/$expected" "$dir/$expected.png"
  convert -size "$size" -depth 8 "rgb:$dir/$file.rgb" "$dir/$file.png"
  local peak
  # compare's status says only whether the pictures differ at all.
  peak=$({ compare -metric PAE "$dir/$file.png" "$dir/$expected.png" null: 2>&1 || true; } |
    sed -n 's/.*(\(.*\)).*/\1/p' | awk '{printf "%d", $1 * 255 + 0.5}')
  [ -n "$peak" ] || fail "$file: cannot be compared"
  [ "$peak" -le "$limit" ] || fail "$file: a channel differs by $peak, more than $limit"
  echo "$file: decodes, largest difference $peak"
}

number() { od -An -t"u$3" -j"$2" -N"$3" "$dir/$1" | tr -d ' '; }

for name in true.bmp true.gif true.png true.tif; do compare_pixels "$name" true.rgb 48x20 0; done
compare_pixels true.jpg true.rgb 48x20 40
compare_pixels many.gif many.rgb 64x64 26
for name in indexed.bmp indexed.gif indexed.png indexed.tif; do
  compare_pixels "$name" indexed.rgb 30x6 0
  type=$(identify -format '%[type]' "$dir/$name")
  [ "$type" = Palette ] || fail "$name: $type, not an indexed picture"
done
bits=$(number true.bmp 28 2)
[ "$bits" = 24 ] || fail "true.bmp has $bits bits per pixel, not 24"
for name in true.bmp indexed.bmp; do
  [ "$(number "$name" 2 4)" = "$(stat -c %s "$dir/$name")" ] || fail "$name: wrong size in header"
done
echo "all files decode independently"
