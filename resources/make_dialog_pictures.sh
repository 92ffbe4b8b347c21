#!/usr/bin/env bash
# Regenerates the pictures the settings dialog carries, in one quiet look: a
# warm paper texture behind everything, slate-blue heading plates, light
# neutral button faces and round option marks. Text lies on all of them in
# black, so every picture stays light and low in contrast.
#
#   dialog_texture.bmp         560 x 20, 24-bit: the background tile; seamless
#                              both ways, since the dialog tiles it
#   dialog_heading.bmp         95 x 22, 24-bit: the heading plate
#   dialog_button_raised.jpg   95 x 22: the button face at rest
#   dialog_button_pressed.jpg  95 x 22: the face while pressed
#   dialog_option_off.jpg      13 x 13: the option mark not chosen
#   dialog_option_on.jpg       13 x 13: the option mark chosen
#   dialog_hand.cur            32 x 32, 16 colours, hot spot (12, 1): the hand
#                              over everything that can be clicked
#
# Needs ImageMagick 6 (`convert`) and python3. Deterministic: the noise has
# fixed seeds and no file carries a date, so the same tools give the same
# bytes.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

paper='#e6e2d8'  # the texture's base colour; also behind the corners of the faces and marks
ink='#7f796e'    # the outline of faces and marks

# The texture: long horizontal fibres over a fine grain, both blurred through
# the tile's own wrap-around so that copies join without a seam, then laid
# softly over the paper colour.
convert -size 560x20 xc:gray50 -seed 11 +noise Random -colorspace gray -virtual-pixel tile \
  -motion-blur 0x7+0 -blur 0x0.6 -auto-level "$work/fibres.png"
convert -size 560x20 xc:gray50 -seed 23 +noise Random -colorspace gray -virtual-pixel tile \
  -blur 0x0.5 -auto-level "$work/grain.png"
convert "$work/fibres.png" "$work/grain.png" -compose blend -define compose:args=60 -composite \
  +level 36%,64% "$work/noise.png"
convert -size 560x20 xc:"$paper" "$work/noise.png" -compose softlight -composite \
  -type truecolor BMP3:dialog_texture.bmp

# The heading plate: a soft slate-blue band with a thin frame and a lit top edge.
convert -size 95x22 gradient:'#dfe6ee'-'#bccad9' \
  -fill none -stroke '#8696ab' -draw 'rectangle 0,0 94,21' \
  -stroke '#f4f7fa' -draw 'line 1,1 93,1' -type truecolor BMP3:dialog_heading.bmp

# The faces: lit from above at rest, darker and lit from below while pressed.
# 4:4:4 sampling keeps the one-pixel lines sharp.
jpeg=(-sampling-factor 1x1 -quality 95 -strip)
convert -size 95x22 xc:"$paper" \
  \( -size 93x20 gradient:'#fdfcfa'-'#dad5cb' \) -geometry +1+1 -composite \
  -fill none -stroke '#8c867b' -draw 'roundrectangle 0,0 94,21 2,2' \
  -stroke '#ffffff' -draw 'line 2,1 92,1' -stroke '#c4beb2' -draw 'line 2,20 92,20' \
  "${jpeg[@]}" dialog_button_raised.jpg
convert -size 95x22 xc:"$paper" \
  \( -size 93x20 gradient:'#cdc7bb'-'#e4e0d7' \) -geometry +1+1 -composite \
  -fill none -stroke '#7a7469' -draw 'roundrectangle 0,0 94,21 2,2' \
  -stroke '#aea799' -draw 'line 2,1 92,1' \
  "${jpeg[@]}" dialog_button_pressed.jpg

# The marks: drawn at 8 x and reduced, for a smooth ring.
convert -size 104x104 xc:"$paper" -fill '#fdfcfa' -stroke "$ink" -strokewidth 8 \
  -draw 'circle 51.5,51.5 51.5,6' -filter Lanczos -resize 13x13 "${jpeg[@]}" dialog_option_off.jpg
convert -size 104x104 xc:"$paper" -fill '#fdfcfa' -stroke "$ink" -strokewidth 8 \
  -draw 'circle 51.5,51.5 51.5,6' -stroke none -fill '#34557d' -draw 'circle 51.5,51.5 51.5,27' \
  -filter Lanczos -resize 13x13 "${jpeg[@]}" dialog_option_on.jpg

# The hand: a white shape whose outline is every pixel outside it that
# touches it side by side, drawn pixel by pixel (a cursor must be crisp), the
# index finger's tip at (12, 1).
python3 - >"$work/hand.xpm" <<'PY'
thumb = {16: (6, 8), 17: (5, 8), 18: (4, 8), 19: (4, 8), 20: (5, 8), 21: (6, 8), 22: (7, 8)}
def in_hand(x, y):
    return ((11 <= x <= 13 and 2 <= y <= 16)        # index finger
            or (15 <= x <= 17 and 9 <= y <= 16)     # middle finger
            or (19 <= x <= 21 and 10 <= y <= 16)    # ring finger
            or (23 <= x <= 24 and 12 <= y <= 16)    # little finger
            or (9 <= x <= 24 and 15 <= y <= 25 and (x, y) not in ((9, 25), (24, 25)))  # palm
            or (y in thumb and thumb[y][0] <= x <= thumb[y][1])
            or (10 <= x <= 23 and 27 <= y <= 29))   # cuff
def pixel(x, y):
    if in_hand(x, y):
        return "o"
    touches = any(in_hand(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    return "X" if touches else "."
rows = ['"' + "".join(pixel(x, y) for x in range(32)) + '"' for y in range(32)]
print('/* XPM */\nstatic char *hand[] = {\n"32 32 3 1",\n". c None",\n"X c #000000",\n"o c #FFFFFF",')
print(",\n".join(rows) + "\n};")
PY
convert "$work/hand.xpm" -colors 16 -type PaletteAlpha ICO:"$work/hand.ico"
# An icon file becomes a cursor file by its type field (2) and the hot spot in
# the directory entry, where an icon keeps its planes and bit count.
python3 - "$work/hand.ico" dialog_hand.cur <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
kind, count = struct.unpack_from("<HH", data, 2)
width, height, colours = struct.unpack_from("<BBB", data, 6)
offset = struct.unpack_from("<I", data, 18)[0]
bits = struct.unpack_from("<H", data, offset + 14)[0]
if (kind, count, width, height, colours, bits) != (1, 1, 32, 32, 16, 4):
    sys.exit(f"the hand is not one 32 x 32 16-colour image: {kind=} {count=} {width=} {height=} {colours=} {bits=}")
struct.pack_into("<H", data, 2, 2)
struct.pack_into("<HH", data, 10, 12, 1)
open(sys.argv[2], "wb").write(data)
PY

identify dialog_texture.bmp dialog_heading.bmp dialog_button_raised.jpg dialog_button_pressed.jpg \
  dialog_option_off.jpg dialog_option_on.jpg
