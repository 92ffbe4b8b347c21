#!/usr/bin/env python3
"""Writes the EXIF orientation fuzz target's seed inputs into seeds-exif/: the
head of small JPEG files, with an Exif block in either byte order behind the
segments cameras and editors put first, and a short scan to end on. Only the
segments matter to the reader, so the scan holds no real picture."""

import struct
from pathlib import Path

ORIENTATION = 0x0112
SHORT, ASCII, LONG = 3, 2, 4


def segment(marker: int, payload: bytes) -> bytes:
    return bytes((0xFF, marker)) + struct.pack(">H", len(payload) + 2) + payload


def tiff(order: str, entries: list[tuple[int, int, int, int]], gap: int = 0) -> bytes:
    """A TIFF header and IFD0 of (tag, type, count, value) entries, the value
    in the first two bytes of its field as a SHORT's is."""
    end = "<" if order == "II" else ">"
    block = order.encode() + struct.pack(end + "HI", 42, 8 + gap) + bytes(gap) + struct.pack(end + "H", len(entries))
    for tag, kind, count, value in entries:
        block += struct.pack(end + "HHIH", tag, kind, count, value) + bytes(2)
    return block + bytes(4)


def exif(block: bytes) -> bytes:
    return segment(0xE1, b"Exif\0\0" + block)


JFIF = segment(0xE0, b"JFIF\0\x01\x02\0\0\x01\0\x01\0\0")
SCAN = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00") + b"\x12\x34\xff\x00\x56\xff\xd9"
MAKE = (0x010F, ASCII, 4, 0)
DATE = (0x0132, ASCII, 20, 0)
XMP = segment(0xE1, b"http://ns.adobe.com/xap/1.0/\0<x/>")


def jpeg(*segments: bytes) -> bytes:
    return b"\xff\xd8" + b"".join(segments) + SCAN


FILES = {
    "ii-1": jpeg(JFIF, exif(tiff("II", [MAKE, (ORIENTATION, SHORT, 1, 1), DATE]))),
    "ii-6": jpeg(JFIF, exif(tiff("II", [MAKE, (ORIENTATION, SHORT, 1, 6), DATE]))),
    "ii-8": jpeg(exif(tiff("II", [(ORIENTATION, SHORT, 1, 8)]))),
    "mm-3": jpeg(JFIF, exif(tiff("MM", [MAKE, (ORIENTATION, SHORT, 1, 3)]))),
    "mm-6": jpeg(exif(tiff("MM", [(ORIENTATION, SHORT, 1, 6), DATE]))),
    "mm-5-gap": jpeg(exif(tiff("MM", [(ORIENTATION, SHORT, 1, 5)], gap=6))),
    "ii-7-after-xmp": jpeg(JFIF, XMP, exif(tiff("II", [(ORIENTATION, SHORT, 1, 7)]))),
    "mm-long": jpeg(exif(tiff("MM", [(ORIENTATION, LONG, 1, 6)]))),
    "fill-and-restart": b"\xff\xd8\xff\xff\xff\xd0" + exif(tiff("II", [(ORIENTATION, SHORT, 1, 2)])) + SCAN,
    "no-exif": jpeg(JFIF),
}


def main() -> None:
    out = Path(__file__).resolve().parent / "seeds-exif"
    out.mkdir(exist_ok=True)
    for name, file in FILES.items():
        (out / name).write_bytes(file)


if __name__ == "__main__":
    main()
