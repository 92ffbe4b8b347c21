"""Photos the tests make, as a camera or a phone would have stored them."""

from __future__ import annotations

from pathlib import Path

from PIL import Image, ImageDraw

def write_fine_lines_photo(path: Path, size: tuple[int, int] = (4000, 3000)) -> None:
    """A photo of fine lines: every other pixel row and column white."""
    width, height = size
    photo = Image.new("L", size, 0)
    draw = ImageDraw.Draw(photo)
    for x in range(0, width, 2):
        draw.line((x, 0, x, height - 1), fill=255)
    for y in range(0, height, 2):
        draw.line((0, y, width - 1, y), fill=255)
    photo.convert("RGB").save(path, quality=95, subsampling=0)


def write_phone_photo(path: Path) -> None:
    """A photo taken upright, stored on its side as phones store it: 400 x 300
    pixels, red on the left and blue on the right, with EXIF orientation 6 (turn
    it 90 degrees clockwise to view). Upright it is 300 x 400, red above blue."""
    upright = Image.new("RGB", (300, 400), (230, 40, 40))
    upright.paste((40, 40, 230), (0, 200, 300, 400))
    stored = upright.transpose(Image.ROTATE_90)  # counter-clockwise: the viewer turns it back
    exif = Image.Exif()
    exif[0x0112] = 6
    stored.save(path, quality=95, exif=exif.tobytes())
