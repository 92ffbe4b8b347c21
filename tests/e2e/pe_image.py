"""Reads what the tests need from a 64-bit Windows executable (PE32+): the
header fields, the imported DLLs and the resources, and decodes a version
resource. Read-only and self-contained, so a test needs no Windows tool."""

from __future__ import annotations

import struct
from dataclasses import dataclass, field
from pathlib import Path

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16

_PE32_PLUS = 0x20B
_IMPORT_DIRECTORY = 1
_RESOURCE_DIRECTORY = 2


@dataclass(frozen=True)
class Section:
    name: str
    virtual_address: int
    virtual_size: int
    raw_offset: int
    raw_size: int


class PeImage:
    def __init__(self, path: Path) -> None:
        self.data = Path(path).read_bytes()
        if self.data[:2] != b"MZ":
            raise ValueError(f"{path} is no executable")
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[header:header + 4] != b"PE\0\0":
            raise ValueError(f"{path} has no PE header")
        coff = header + 4
        self.machine, section_count = struct.unpack_from("<HH", self.data, coff)
        optional_size = struct.unpack_from("<H", self.data, coff + 16)[0]
        optional = coff + 20
        if struct.unpack_from("<H", self.data, optional)[0] != _PE32_PLUS:
            raise ValueError(f"{path} is not a 64-bit image")
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        directory_count = struct.unpack_from("<I", self.data, optional + 108)[0]
        self._directories = [struct.unpack_from("<II", self.data, optional + 112 + 8 * index)
                             for index in range(directory_count)]
        table = optional + optional_size
        self.sections = []
        for index in range(section_count):
            entry = table + 40 * index
            name = self.data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", self.data, entry + 8)
            self.sections.append(Section(name, virtual_address, virtual_size, raw_offset, raw_size))

    def _offset(self, rva: int) -> int:
        for section in self.sections:
            if section.virtual_address <= rva < section.virtual_address + max(
                    section.virtual_size, section.raw_size):
                return section.raw_offset + rva - section.virtual_address
        raise ValueError(f"address {rva:#x} lies in no section")

    def _directory(self, index: int) -> tuple[int, int]:
        return self._directories[index] if index < len(self._directories) else (0, 0)

    def _text(self, offset: int) -> str:
        end = self.data.index(b"\0", offset)
        return self.data[offset:end].decode("ascii", "replace")

    def imported_dlls(self) -> list[str]:
        rva, size = self._directory(_IMPORT_DIRECTORY)
        if not size:
            return []
        names = []
        entry = self._offset(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, entry)
            if not any(fields):
                return names
            names.append(self._text(self._offset(fields[3])))
            entry += 20

    def resources(self) -> dict[tuple[int | str, int | str, int | str], bytes]:
        """Every resource as (type, name, language) -> bytes."""
        rva, size = self._directory(_RESOURCE_DIRECTORY)
        if not size:
            return {}
        root = self._offset(rva)
        found: dict[tuple[int | str, int | str, int | str], bytes] = {}

        def walk(directory: int, path: tuple) -> None:
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for index in range(named + numbered):
                name_field, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * index)
                if name_field & 0x80000000:
                    name_at = root + (name_field & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, name_at)[0]
                    key: int | str = self.data[name_at + 2:name_at + 2 + 2 * length].decode("utf-16-le")
                else:
                    key = name_field
                if target & 0x80000000:
                    walk(root + (target & 0x7FFFFFFF), path + (key,))
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, root + target)
                    start = self._offset(data_rva)
                    found[path + (key,)] = self.data[start:start + data_size]

        walk(root, ())
        return found


@dataclass
class VersionBlock:
    """One node of a version resource: a key, its value (text for text
    nodes, bytes otherwise) and its children."""

    key: str
    value: str | bytes
    children: list["VersionBlock"] = field(default_factory=list)

    def child(self, key: str) -> "VersionBlock":
        for node in self.children:
            if node.key == key:
                return node
        raise KeyError(key)


def _aligned(offset: int) -> int:
    return (offset + 3) & ~3


def parse_version_block(data: bytes, offset: int = 0) -> tuple[VersionBlock, int]:
    """Decodes the node at offset; returns it and its length in bytes."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
    key_start = offset + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = _aligned(key_end + 2)
    if is_text:
        # The length counts UTF-16 units, the closing zero included.
        value: str | bytes = data[value_start:value_start + 2 * value_length].decode(
            "utf-16-le").rstrip("\0")
        value_end = value_start + 2 * value_length
    else:
        value = data[value_start:value_start + value_length]
        value_end = value_start + value_length
    node = VersionBlock(key, value)
    child = _aligned(value_end)
    while child < offset + length:
        sub, sub_length = parse_version_block(data, child)
        node.children.append(sub)
        child = _aligned(child + sub_length)
    return node, length
