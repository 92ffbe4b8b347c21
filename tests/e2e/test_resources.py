"""The built Vantrel.scr as Explorer and the Display control panel see the
file: a 64-bit GUI program that runs alone, Japanese version information
"1.01", our icon, and the manifest that gives it current controls and no
compatibility modes."""

from __future__ import annotations

import struct
from pathlib import Path

import pytest

from harness import REPO_ROOT
from pe_image import RT_GROUP_ICON, RT_ICON, RT_VERSION, PeImage, parse_version_block

JAPANESE = 0x0411
UNICODE_CODE_PAGE = 1200
IMAGE_FILE_MACHINE_AMD64 = 0x8664
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
ICON_ID = 1  # IDI_VANTREL in resources/resource_ids.h
SHIPPED_ICON = REPO_ROOT / "resources" / "vantrel.ico"


@pytest.fixture(scope="module")
def image(build) -> PeImage:
    return PeImage(build.scr)


@pytest.fixture(scope="module")
def resources(image):
    return image.resources()


def test_is_a_64_bit_windows_gui_program(image):
    assert (image.machine, image.subsystem) == (IMAGE_FILE_MACHINE_AMD64, IMAGE_SUBSYSTEM_WINDOWS_GUI)


def test_imports_only_dlls_the_system_has(image, stage):
    # The C++ runtime is linked in: every DLL the program names must already
    # be in a bare system folder, none may have to travel beside the file.
    system = Path(stage.env["WINEPREFIX"]) / "drive_c" / "windows" / "system32"
    present = {path.name.lower() for path in system.iterdir()}
    assert [name for name in image.imported_dlls() if name.lower() not in present] == []


RT_MANIFEST = 24
NEUTRAL = 0


def test_every_resource_but_the_manifest_is_japanese(resources):
    assert {language for (kind, _, language) in resources if kind != RT_MANIFEST} == {JAPANESE}
    assert [key for key in resources if key[0] == RT_MANIFEST] == [(RT_MANIFEST, 1, NEUTRAL)]


def test_the_manifest_asks_for_common_controls_6_and_runs_as_the_user(resources):
    manifest = resources[(RT_MANIFEST, 1, NEUTRAL)].decode("utf-8")
    assert 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest
    assert 'level="asInvoker"' in manifest
    # Windows 7, 8, 8.1 and 10/11: none of them runs it in a compatibility mode.
    for system in ("35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                   "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"):
        assert f'<supportedOS Id="{{{system}}}"/>' in manifest
    assert "dpiAware" not in manifest, "DPI awareness is set per thread at run time"


def version_info(resources):
    return parse_version_block(resources[(RT_VERSION, 1, JAPANESE)])[0]


def test_fixed_version_is_1_01(resources):
    root = version_info(resources)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", root.value)
    assert signature == 0xFEEF04BD
    # 1.01 reads as the four parts 1, 0, 1, 0.
    version = (0x0001_0000, 0x0001_0000)
    assert ((file_ms, file_ls), (product_ms, product_ls)) == (version, version)


@pytest.mark.parametrize("key, value", [
    ("FileVersion", "1.01"),
    ("ProductVersion", "1.01"),
    ("FileDescription", "Vantrel"),
    ("ProductName", "Vantrel"),
    ("OriginalFilename", "Vantrel.scr"),
    ("CompanyName", "Vantrel Project"),
])
def test_version_text(resources, key, value):
    table = version_info(resources).child("StringFileInfo").child(f"{JAPANESE:04X}{UNICODE_CODE_PAGE:04X}")
    assert table.child(key).value == value


def test_version_translation_is_japanese_unicode(resources):
    translation = version_info(resources).child("VarFileInfo").child("Translation").value
    assert struct.unpack("<HH", translation) == (JAPANESE, UNICODE_CODE_PAGE)


def shipped_icon_image() -> tuple[tuple[int, int, int, int], bytes]:
    """(width, height, colours, bits per pixel) and the image bytes of the
    one image in resources/vantrel.ico."""
    data = SHIPPED_ICON.read_bytes()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (kind, count) == (1, 1), "vantrel.ico must hold exactly one icon image"
    width, height, colours, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    return (width, height, colours, bits), data[offset:offset + size]


def test_shipped_icon_is_32_by_32_with_256_colours():
    (width, height, colours, bits), image_bytes = shipped_icon_image()
    header_bits, palette_size = struct.unpack_from("<H", image_bytes, 14)[0], struct.unpack_from(
        "<I", image_bytes, 32)[0]
    # A colour count of 0 in the directory means 256; so does 0 in the header.
    assert (width, height, colours, bits, header_bits) == (32, 32, 0, 8, 8)
    assert palette_size in (0, 256)


def test_icon_resource_is_the_shipped_icon(resources):
    (width, height, colours, bits), image_bytes = shipped_icon_image()
    group = resources[(RT_GROUP_ICON, ICON_ID, JAPANESE)]
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    assert (kind, count) == (1, 1)
    entry_width, entry_height, entry_colours, _, _, entry_bits, size, icon_id = struct.unpack_from(
        "<BBBBHHIH", group, 6)
    assert (entry_width, entry_height, entry_colours, entry_bits) == (width, height, colours, bits)
    assert resources[(RT_ICON, icon_id, JAPANESE)] == image_bytes
    assert size == len(image_bytes)
