#!/usr/bin/env bash
# Regenerates vantrel.ico, the program's icon: a shaded sphere with a few
# fragments flying off it, on a transparent background. One 32 x 32 image with
# a 256-colour palette (8 bits per pixel) and a 1-bit transparency mask, the
# form every Windows from 7 on shows in Explorer and in a window's caption.
# Drawn at 4 x the size and scaled down, so the edges are smooth.
# Needs ImageMagick 6 (`convert`) and python3; deterministic: the same tools
# give the same bytes.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ink='#08205c'
# The light comes from the upper left: the gradient's centre sits there.
convert -size 180x180 radial-gradient:'#eef8ff'-'#0b3a9c' -crop 96x96+50+48 +repage \
  "$work/shade.png"
# One parallel and one meridian hint at the fragments the sphere is made of.
convert -size 96x96 xc:none -fill none -stroke "$ink" -strokewidth 2 \
  -draw 'ellipse 48,48 46,15 0,360' -draw 'ellipse 48,48 17,46 0,360' \
  -channel A -evaluate multiply 0.3 +channel "$work/grid.png"
convert -size 96x96 xc:black -fill white -draw 'circle 47.5,47.5 47.5,1' "$work/disc.png"
convert "$work/shade.png" "$work/grid.png" -composite \
  "$work/disc.png" -alpha off -compose CopyOpacity -composite -compose Over \
  -fill none -stroke "$ink" -strokewidth 3 -draw 'circle 47.5,47.5 47.5,2' \
  "$work/sphere.png"
convert -size 128x128 xc:none "$work/sphere.png" -geometry +4+28 -composite \
  -stroke "$ink" -strokewidth 3 \
  -fill '#4f92ea' -draw 'polygon 96,14 118,10 120,32 100,34' \
  -fill '#f5a623' -draw 'polygon 106,52 126,56 120,76 104,70' \
  -fill '#9fd0fa' -draw 'polygon 96,100 114,92 124,112 104,120' \
  -fill '#f5a623' -draw 'polygon 72,2 88,2 86,18 74,16' \
  "$work/large.png"
# The mask is 1 bit: a pixel is either the palette colour or transparent, and a
# transparent pixel's colour is black, as Windows expects under a set mask bit.
convert "$work/large.png" -filter Lanczos -resize 32x32 \
  -channel A -threshold 50% +channel -background black -alpha background \
  -colors 255 ICO:"$work/vantrel.ico"

# ImageMagick falls back to 32 bits per pixel when the colours do not fit a
# palette; refuse anything but the one 8-bit 32 x 32 image.
python3 - "$work/vantrel.ico" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
reserved, kind, count = struct.unpack_from("<HHH", data, 0)
width, height, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
header_bits = struct.unpack_from("<H", data, offset + 14)[0]
if (kind, count, width, height, bits, header_bits) != (1, 1, 32, 32, 8, 8):
    sys.exit(f"vantrel.ico is not one 32 x 32 8-bit image: {kind=} {count=} "
             f"{width=} {height=} {bits=} {header_bits=}")
PY
mv "$work/vantrel.ico" vantrel.ico
identify vantrel.ico
