#!/usr/bin/env bash
# Files written by the framework under Wine, decoded by ImageMagick on the host: every format
# must decode to the pixels that were saved (JPEG and a GIF of many colours within bounds), the
# 32-bit BMP must be a 24-bit file and the 8-bit files indexed ones.
set -euo pipefail
writer=$1
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
dir=$(mktemp -d "$PWD/decode_check.XXXXXX")
trap 'rm -rf "$dir"' EXIT
wine "$writer" "$(winepath -w "$dir")"

compare_pixels() {  # file, expected raw RGB, largest difference allowed per channel
  convert "$dir/$1" -depth 8 "rgb:$dir/$1.decoded"
  python3 - "$dir/$1.decoded" "$dir/$2" "$3" "$1" <<'PY'
import sys
decoded, expected = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()
limit, name = int(sys.argv[3]), sys.argv[4]
if len(decoded) != len(expected):
    sys.exit(f"{name}: {len(decoded)} bytes decoded, {len(expected)} expected")
worst = max(abs(a - b) for a, b in zip(decoded, expected))
if worst > limit:
    sys.exit(f"{name}: a channel differs by {worst}, more than {limit}")
print(f"{name}: decodes, largest difference {worst}")
PY
}

for name in true.bmp true.gif true.png true.tif; do compare_pixels "$name" true.rgb 0; done
compare_pixels true.jpg true.rgb 40
compare_pixels many.gif many.rgb 26
for name in indexed.bmp indexed.gif indexed.png indexed.tif; do
  compare_pixels "$name" indexed.rgb 0
  type=$(identify -format '%[type]' "$dir/$name")
  [ "$type" = Palette ] || { echo "$name: $type, not an indexed picture" >&2; exit 1; }
done
bits=$(python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); print(d[28] | d[29] << 8)' "$dir/true.bmp")
[ "$bits" = 24 ] || { echo "true.bmp has $bits bits per pixel, not 24" >&2; exit 1; }
for name in true.bmp indexed.bmp; do
  python3 - "$dir/$name" <<'PY'
import sys
d = open(sys.argv[1], 'rb').read()
size = int.from_bytes(d[2:6], 'little')
if size != len(d):
    sys.exit(f"{sys.argv[1]}: header says {size} bytes, the file has {len(d)}")
PY
done
echo "all files decode independently"
