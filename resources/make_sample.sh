#!/usr/bin/env bash
# Regenerates sample.jpg, the picture scripts/run points a first run at: an
# evening sea, 512 x 256 pixels. The picture is wrapped once round the sphere,
# so nothing crosses its left and right edges and the seam stays invisible.
# Needs ImageMagick 6 (`convert`); deterministic (no random elements).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

horizon=156
convert -size 512x${horizon} gradient:'#1a2560'-'#f6905a' "$work/sky.png"
convert -size 512x$((256 - horizon)) gradient:'#24527f'-'#08172e' "$work/sea.png"
convert "$work/sky.png" "$work/sea.png" -append "$work/base.png"

# The sun's glow: a soft disc added onto the sky.
convert -size 512x256 xc:black -fill '#7a4a20' -draw "circle 330,$((horizon - 6)) 330,$((horizon - 86))" \
  -blur 0x28 "$work/glow.png"
convert "$work/base.png" "$work/glow.png" -compose Plus -composite \
  -fill '#ffe3a0' -draw "circle 330,$((horizon - 10)) 330,$((horizon - 40))" \
  "$work/sun.png"

# Clouds, islands and the sun's path on the water.
convert "$work/sun.png" \
  -fill '#f7b7a088' -draw 'ellipse 120,52 70,9 0,360' -draw 'ellipse 170,62 50,7 0,360' \
  -fill '#f2c0a877' -draw 'ellipse 410,40 60,8 0,360' -draw 'ellipse 450,48 38,6 0,360' \
  -fill '#241a3c' -draw "polygon 40,$horizon 70,$((horizon - 22)) 96,$((horizon - 30)) 124,$((horizon - 14)) 150,$((horizon - 18)) 190,$horizon" \
  -draw "polygon 420,$horizon 446,$((horizon - 12)) 470,$((horizon - 8)) 490,$horizon" \
  -fill '#ffcf7a99' \
  -draw "rectangle 300,$((horizon + 6)) 360,$((horizon + 9))" \
  -draw "rectangle 290,$((horizon + 18)) 372,$((horizon + 21))" \
  -draw "rectangle 306,$((horizon + 32)) 352,$((horizon + 35))" \
  -draw "rectangle 280,$((horizon + 48)) 380,$((horizon + 51))" \
  -draw "rectangle 312,$((horizon + 66)) 346,$((horizon + 69))" \
  -draw "rectangle 296,$((horizon + 84)) 366,$((horizon + 87))" \
  -blur 0x0.8 "$work/scene.png"

convert "$work/scene.png" -strip -sampling-factor 2x2 -quality 88 -interlace none \
  "$work/sample.jpg"
mv "$work/sample.jpg" sample.jpg
identify sample.jpg
