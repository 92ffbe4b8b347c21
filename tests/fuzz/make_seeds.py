#!/usr/bin/env python3
"""Writes the fuzz target's seed inputs into seeds/: the settings files of the
unit tests (tests/unit/settings), each with a key to write, in the target's
input form (three length bytes, section, key, value, then the file). The names
and the value are in the form the file's text takes: code page 932, or UTF-8
for a file with a Unicode byte order mark."""

from pathlib import Path

KEYS = ("ﾌｧｲﾙ名", "ﾌｫﾙﾀﾞ名", "ﾌｧｲﾙ区分", "球の大きさ", "回転の速さ", "爆発の拡散度合い", "爆発の拡散する速さ")


def cp932(text: str) -> bytes:
    return text.encode("cp932")


def whole_file(values: tuple[str, ...]) -> bytes:
    lines = ["[Section]"] + [f"{key}={value}" for key, value in zip(KEYS, values)]
    return cp932("".join(line + "\r\n" for line in lines))


FILES = {
    "saved": whole_file(("C:\\写真\\a.jpg", "C:\\ソフト", " 0", " 3", " 25", "-5", "")),
    "defaults": whole_file(("", "", " 1", " 3", " 25", " 5", " 5")),
    "kept-lines": b"; Vantrel\r\n[Other]\r\n" + cp932("ﾌｧｲﾙ名=elsewhere\r\n\r\n[section]\n  球の大きさ  =  9 \nextra = kept\n")
    + b"\r\n[Tail]\r\nz = 1",
    "byte-order-mark": b"\xEF\xBB\xBF[Section]\r\n" + cp932("ﾌｫﾙﾀﾞ名=C:\\Pics\r\n"),
    "duplicates": cp932("[Section]\r\nﾌｧｲﾙ区分=1\r\nﾌｧｲﾙ区分=2\r\n[SECTION]\r\nﾌｧｲﾙ区分=3\r\n"),
    "lone-cr-and-quotes": cp932("[Section]\rﾌｧｲﾙ名=\"C:\\a b\\c.jpg\"\r回転の速さ='7'\r"),
    "no-line-break": cp932("[Section]\r\nﾌｧｲﾙ名=C:\\x.bmp"),
    "trail-byte-bracket": b"[\x83\x5D]\r\nk=v\r\n[Section]\r\n\x83\x5C=1\r\n",
    "empty": b"",
}

# Files with a Unicode byte order mark: their names are written in UTF-8.
UNICODE_TEXT = "; 設定\r\n[Section]\r\nﾌｧｲﾙ名=C:\\写真\\a.jpg\r\n回転の速さ= 40\r\n"
UNICODE_FILES = {
    "utf8-mark": b"\xEF\xBB\xBF" + UNICODE_TEXT.encode("utf-8"),
    "utf16-le": b"\xFF\xFE" + UNICODE_TEXT.encode("utf-16-le"),
    "utf16-be": b"\xFE\xFF" + UNICODE_TEXT.encode("utf-16-be"),
    "utf16-odd-byte-and-lone-surrogate": b"\xFF\xFE" + "[Section]\r\nk=".encode("utf-16-le") + b"\x00\xD8\r\x00!",
}


def seed(section: bytes, key: bytes, value: bytes, file: bytes) -> bytes:
    return bytes((len(section), len(key), len(value))) + section + key + value + file


def main() -> None:
    out = Path(__file__).resolve().parent / "seeds"
    out.mkdir(exist_ok=True)
    for files, encode in ((FILES, cp932), (UNICODE_FILES, lambda text: text.encode("utf-8"))):
        for name, file in files.items():
            for index, key in enumerate(KEYS[:3]):
                (out / f"{name}-{index}").write_bytes(seed(b"Section", encode(key), encode("C:\\新しい\\値.jpg"), file))
            (out / f"{name}-new-section").write_bytes(seed(b"Neu", b"key", b"value", file))


if __name__ == "__main__":
    main()
