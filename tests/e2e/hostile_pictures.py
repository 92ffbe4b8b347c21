"""Pictures a user's folder may hold that a careless decoder crashes, hangs
or runs out of memory on, made here (nothing is downloaded). Each is written
under the name a folder scan lists it by.

    python3 tests/e2e/hostile_pictures.py <folder>   writes them all there
"""

from __future__ import annotations

import io
import struct
import sys
import zlib
from pathlib import Path

from PIL import Image

# Files no decoder can make a picture of: the saver shows its background
# alone, the dialog's preview keeps what it showed. The JPEG claiming 12,000 x
# 12,000 is one here, under Wine; Windows' codec would show it reduced.
UNREADABLE = ("zero-bytes.jpg", "text-named.jpg", "huge-header.bmp", "claims-12000.jpg", "deep-png-named.jpg",
              "frame-beyond-screen.gif")
# Files every decoder makes a picture of. The rest may go either way: a
# truncated JPEG shows what arrived or nothing, a metafile what it draws.
READABLE = ("png-named.jpg", "thousand-frames.gif", "one-pixel.bmp", "panorama.jpg", "photo-24mp.jpg")


def _jpeg(size: tuple[int, int], colour=(200, 120, 60)) -> bytes:
    buffer = io.BytesIO()
    Image.new("RGB", size, colour).save(buffer, "JPEG", quality=85)
    return buffer.getvalue()


def _bitmap_claiming(width: int, height: int) -> bytes:
    """A 24-bit bitmap header claiming width x height pixels, followed by a
    few bytes of pixels only."""
    row = (width * 3 + 3) // 4 * 4
    image_size = row * height
    header = struct.pack("<2sIHHI", b"BM", min(14 + 40 + image_size, 0xFFFFFFFF), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size & 0xFFFFFFFF, 2835, 2835, 0, 0)
    return header + info + b"\x80" * 64


def _jpeg_claiming(width: int, height: int) -> bytes:
    """A 16 x 16 JPEG whose frame header claims width x height: a codec that
    trusts it decodes that many pixels out of a few hundred bytes."""
    small = _jpeg((16, 16))
    at = 2
    while small[at + 1] != 0xC0:
        at += 2 + struct.unpack(">H", small[at + 2:at + 4])[0]
    return small[:at + 5] + struct.pack(">HH", height, width) + small[at + 9:]


def _png_chunk(kind: bytes, data: bytes) -> bytes:
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def _deep_png(width: int, height: int) -> bytes:
    """A 16-bit RGBA PNG, all transparent black: a few hundred kilobytes that
    decode to 8 bytes a pixel."""
    packer = zlib.compressobj(9)
    row = bytes(1 + width * 8)
    data = b"".join(packer.compress(row) for _ in range(height)) + packer.flush()
    header = struct.pack(">IIBBBBB", width, height, 16, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header) + _png_chunk(b"IDAT", data) + _png_chunk(b"IEND", b"")


def _gif_beyond_screen(frame: int, screen: int) -> bytes:
    """A GIF whose logical screen is screen x screen pixels but whose one frame
    is frame x frame: only the frame's own size tells what it costs."""
    buffer = io.BytesIO()
    Image.new("P", (frame, frame), 0).save(buffer, "GIF")
    return buffer.getvalue()[:6] + struct.pack("<HH", screen, screen) + buffer.getvalue()[10:]


def _metafile_records() -> bytes:
    """A standard metafile's header and end record, with no drawing."""
    eof = struct.pack("<IH", 3, 0)
    size_words = (18 + len(eof)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, 0, 3, 0)
    return header + eof


def _placeable(records: bytes, right: int, bottom: int, units_per_inch: int) -> bytes:
    words = [0xCDD7, 0x9AC6, 0, 0, 0, right, bottom, units_per_inch, 0, 0]
    checksum = 0
    for word in words:
        checksum ^= word
    return struct.pack("<10H", *words) + struct.pack("<H", checksum) + records


def _gif_of_frames(count: int) -> bytes:
    frames = [Image.new("P", (64, 64), index % 200) for index in range(count)]
    buffer = io.BytesIO()
    frames[0].save(buffer, "GIF", save_all=True, append_images=frames[1:], duration=20, loop=0)
    return buffer.getvalue()


def _png() -> bytes:
    buffer = io.BytesIO()
    Image.new("RGB", (320, 240), (60, 160, 200)).save(buffer, "PNG")
    return buffer.getvalue()


def _photo(size: tuple[int, int]) -> bytes:
    """A photo-sized JPEG with fine detail all over (noise on gradients), so
    that it is as large and decodes as slowly as a real photo."""
    width, height = size
    shade = Image.radial_gradient("L").resize(size)
    grain = Image.effect_noise(size, 48)
    colour = Image.merge("RGB", (Image.blend(shade, grain, 0.5), grain, shade.transpose(Image.FLIP_TOP_BOTTOM)))
    buffer = io.BytesIO()
    colour.save(buffer, "JPEG", quality=90)
    return buffer.getvalue()


def write_all(folder: Path, with_photo: bool = True) -> list[Path]:
    folder.mkdir(parents=True, exist_ok=True)
    whole_jpeg = _jpeg((640, 480))
    files = {
        "zero-bytes.jpg": b"",
        "truncated.jpg": whole_jpeg[: len(whole_jpeg) // 2],
        "png-named.jpg": _png(),
        "text-named.jpg": b"This is a note, not a picture.\r\n" * 20,
        "huge-header.bmp": _bitmap_claiming(60000, 60000),
        "thousand-frames.gif": _gif_of_frames(1000),
        "not-placeable.wmf": _metafile_records(),
        "huge-extent.wmf": _placeable(_metafile_records(), 32767, 32767, 1),
        "one-pixel.bmp": None,
        "panorama.jpg": _jpeg((20000, 100), (90, 180, 90)),
        "claims-12000.jpg": _jpeg_claiming(12000, 12000),
        "deep-png-named.jpg": _deep_png(9000, 9000),
        "frame-beyond-screen.gif": _gif_beyond_screen(8100, 100),
    }
    if with_photo:
        files["photo-24mp.jpg"] = _photo((6000, 4000))
    written = []
    for name, content in files.items():
        path = folder / name
        if content is None:
            Image.new("RGB", (1, 1), (250, 250, 250)).save(path, "BMP")
        else:
            path.write_bytes(content)
        written.append(path)
    return written


if __name__ == "__main__":
    for written_path in write_all(Path(sys.argv[1])):
        print(written_path)
