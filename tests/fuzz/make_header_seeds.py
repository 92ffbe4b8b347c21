#!/usr/bin/env python3
"""Writes the picture header fuzz target's seed inputs into seeds-header/: the
heads of JPEG, PNG, GIF and bitmap files, with the segments, chunks, blocks
and header sizes the reader walks. Only the headers matter to it, so the
pixel data behind them is a token."""

import struct
import zlib
from pathlib import Path


def segment(marker: int, payload: bytes) -> bytes:
    return bytes((0xFF, marker)) + struct.pack(">H", len(payload) + 2) + payload


def sof(marker: int, height: int, width: int, components: int = 3) -> bytes:
    return segment(marker, struct.pack(">BHHB", 8, height, width, components) + b"\x11\x22\x00" * components)


APP0 = segment(0xE0, b"JFIF\0\x01\x02\0\0\x01\0\x01\0\0")
DHT = segment(0xC4, b"\x00" + bytes(16))
SCAN = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00") + b"\x12\x34\xff\x00\x56\xff\xd9"


def jpeg(*segments: bytes) -> bytes:
    return b"\xff\xd8" + b"".join(segments) + SCAN


def chunk(kind: bytes, data: bytes) -> bytes:
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width: int, height: int, depth: int, colour: int, *before_data: bytes) -> bytes:
    header = chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0))
    return b"\x89PNG\r\n\x1a\n" + header + b"".join(before_data) + chunk(b"IDAT", zlib.compress(bytes(8))) + \
        chunk(b"IEND", b"")


def frame(width: int, height: int, flags: int = 0) -> bytes:
    table = bytes(3 << ((flags & 7) + 1)) if flags & 0x80 else b""
    return b"," + struct.pack("<HHHHB", 0, 0, width, height, flags) + table + b"\x02\x02\x4c\x01\x00"


def gif(width: int, height: int, flags: int, *blocks: bytes) -> bytes:
    table = bytes(3 << ((flags & 7) + 1)) if flags & 0x80 else b""
    return b"GIF89a" + struct.pack("<HHBBB", width, height, flags, 0, 0) + table + b"".join(blocks)


CONTROL = b"!\xf9\x04\x00\x00\x00\x00\x00"
LOOP = b"!\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"


def bitmap(header_size: int, width: int, height: int, depth: int, compression: int = 0) -> bytes:
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, depth)
    else:
        info = struct.pack("<IiiHHI", header_size, width, height, 1, depth, compression)
        info = (info + bytes(header_size))[:header_size]
    return struct.pack("<2sIHHI", b"BM", 14 + len(info) + 16, 0, 0, 14 + len(info)) + info + bytes(16)


FILES = {
    "jpeg-baseline": jpeg(APP0, DHT, sof(0xC0, 4000, 6000)),
    "jpeg-progressive-grey": jpeg(sof(0xC2, 480, 640, 1)),
    "jpeg-fill-and-stray-bytes": b"\xff\xd8\xff\xff\xff\xd0" + APP0 + b"\x12\xff\x00" + sof(0xC1, 2, 3) + SCAN,
    "jpeg-dnl": jpeg(APP0, sof(0xC0, 0, 640)),
    "jpeg-claims-12000": jpeg(APP0, sof(0xC0, 12000, 12000)),
    "png-rgb": png(640, 480, 8, 2),
    "png-rgba16": png(9000, 9000, 16, 6, chunk(b"gAMA", struct.pack(">I", 45455))),
    "png-rgb-trns": png(7, 1, 8, 2, chunk(b"tEXt", b"a\0b"), chunk(b"tRNS", bytes(6))),
    "png-palette": png(7, 1, 4, 3, chunk(b"PLTE", bytes(6)), chunk(b"tRNS", b"\x00")),
    "gif-frames": gif(30, 30, 0x81, LOOP, CONTROL, frame(10, 10), CONTROL, frame(20, 20, 0x80), b";"),
    "gif-no-trailer": gif(100, 100, 0, frame(8100, 8100)),
    "bmp-core": bitmap(12, 300, 200, 24),
    "bmp-info": bitmap(40, 640, 480, 24),
    "bmp-v5-top-down-rle": bitmap(124, 640, -480, 8, 1),
    "bmp-os2": bitmap(16, 9, 9, 8),
}


def main() -> None:
    out = Path(__file__).resolve().parent / "seeds-header"
    out.mkdir(exist_ok=True)
    for name, file in FILES.items():
        (out / name).write_bytes(file)


if __name__ == "__main__":
    main()
