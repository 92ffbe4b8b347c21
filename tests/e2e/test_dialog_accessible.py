"""The settings dialog as a screen reader in another process finds it: the
drawn buttons, options, link and texts are elements of the window's client
object with their roles, names and places, the list and the sliders carry the
names of the labels beside them, and pressing "設定" or choosing a kind by
default action does what the mouse does, down to the bytes of Vantrel.ini."""

from __future__ import annotations

import subprocess
from dataclasses import dataclass
from typing import Iterator

import pytest

from dialog_support import CAPTION, CAPTIONS, ENDS_WITHIN_SECONDS, FILE_MARK, SET_BUTTON, scaled
from harness import Stage, settings_file_bytes, windows_path

READER_SECONDS = 60.0
# MSAA's role and state numbers.
ROLE_LINK, ROLE_STATICTEXT, ROLE_PUSHBUTTON, ROLE_RADIOBUTTON = 30, 41, 43, 45
STATE_CHECKED = 0x10


@dataclass(frozen=True)
class Element:
    id: int
    role: int
    state: int
    place: tuple[int, int, int, int]  # left, top, right, bottom in screen pixels
    name: str


@dataclass(frozen=True)
class Reading:
    elements: dict[str, Element]
    windows: list[tuple[int, str]]
    presses: list[str]
    returncode: int


def read(stage: Stage, build, *presses: str) -> Reading:
    """Runs helpers/read_accessible.exe on the dialog, pressing `presses` in order."""
    process = stage.start(build.folder / "tests" / "e2e" / "read_accessible.exe", CAPTION, *presses,
                          stdout=subprocess.PIPE)
    try:
        report, _ = process.communicate(timeout=READER_SECONDS)
    except subprocess.TimeoutExpired:
        process.kill()
        report, _ = process.communicate()
    elements: dict[str, Element] = {}
    windows: list[tuple[int, str]] = []
    pressed: list[str] = []
    for line in report.decode("utf-8").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "element":
            fields = rest.split(" ", 7)
            id_, role, state, left, top, width, height = (int(value) for value in fields[:7])
            name = fields[7] if len(fields) > 7 else ""
            elements[name] = Element(id_, role, state, (left, top, left + width, top + height), name)
        elif kind == "window":
            role, _, name = rest.partition(" ")
            windows.append((int(role), name))
        elif kind in ("pressed", "missing"):
            pressed.append(line)
    return Reading(elements, windows, pressed, process.returncode)


# What a reader must find, by name: role, and the label's place at 96 DPI in
# the client area (an option's place begins at its mark).
FOUND = {
    "ﾌｫﾙﾀﾞを指定...": (ROLE_PUSHBUTTON, CAPTIONS["ﾌｫﾙﾀﾞを指定..."]),
    "設定": (ROLE_PUSHBUTTON, CAPTIONS["設定"]),
    "ｷｬﾝｾﾙ": (ROLE_PUSHBUTTON, CAPTIONS["ｷｬﾝｾﾙ"]),
    "ﾌｫﾙﾀﾞで指定": (ROLE_RADIOBUTTON, (204, 212, 290, 225)),
    "ﾌｧｲﾙで指定": (ROLE_RADIOBUTTON, (204, 232, 288, 245)),
    "球の大きさ": (ROLE_STATICTEXT, CAPTIONS["球の大きさ"]),
    "ｱｸｼｮﾝ": (ROLE_STATICTEXT, CAPTIONS["ｱｸｼｮﾝ"]),
}
SYSTEM_CONTROL_NAMES = ["画像のﾌｧｲﾙ", "球の大きさ", "回転の速さ", "爆発の拡散度合い", "爆発の拡散する速さ"]


@pytest.fixture(params=[96, 144])
def display_dpi(request, stage: Stage) -> Iterator[int]:
    """The prefix's screen at this DPI for the test, then 96 again. Programs
    read the value when they start."""
    key = r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"

    def set_dpi(dpi: int) -> None:
        subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                       env=stage.env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    set_dpi(request.param)
    try:
        yield request.param
    finally:
        set_dpi(96)


def test_a_reader_finds_every_drawn_control_with_its_role_name_and_place(display_dpi, open_dialog, vantrel_copy,
                                                                          sample_picture, stage, build):
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1))
    dialog = open_dialog(folder)
    assert dialog.facts.dpi == display_dpi
    client_left, client_top = dialog.facts.client[:2]
    reading = read(stage, build)
    assert reading.returncode == 0, "the dialog gave no accessible object"
    for name, (role, place) in FOUND.items():
        assert name in reading.elements, f"no element named {name!r}: {sorted(reading.elements)}"
        element = reading.elements[name]
        assert element.role == role, name
        left, top, right, bottom = element.place
        found = (left - client_left, top - client_top, right - client_left, bottom - client_top)
        # Edges scale by DPI / 96, each rounded on its own.
        wanted = scaled(place, display_dpi / 96)
        assert all(abs(a - b) <= 1 for a, b in zip(found, wanted)), f"{name}: {found} is not about {wanted}"
    assert reading.elements["ﾌｧｲﾙで指定"].state & STATE_CHECKED, "the file kind is the chosen one"
    assert not reading.elements["ﾌｫﾙﾀﾞで指定"].state & STATE_CHECKED
    assert windows_path(sample_picture) in reading.elements, "the path is read out as it is shown"
    links = [element for element in reading.elements.values() if element.role == ROLE_LINK]
    assert len(links) == 1 and links[0].name.startswith("http"), "one link, named by its address"
    assert sorted(name for _, name in reading.windows) == sorted(SYSTEM_CONTROL_NAMES)
    dialog.process.kill()


@pytest.mark.parametrize("by", ["reader", "mouse"])
def test_choosing_a_kind_and_pressing_set_by_default_action_saves_what_a_click_saves(
        by, open_dialog, vantrel_copy, sample_picture, tmp_path, stage, build):
    """The same choice made by the mouse and by a reader writes the same file."""
    pictures = tmp_path / "写真"
    pictures.mkdir()
    (pictures / "one.jpg").write_bytes(sample_picture.read_bytes())
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(sample_picture), folder=windows_path(pictures),
                                              file_kind=0, action_values=(4, 30, 6, 7)))
    dialog = open_dialog(folder)
    if by == "reader":
        reading = read(stage, build, "ﾌｧｲﾙで指定", "設定")
        assert reading.presses == ["pressed ﾌｧｲﾙで指定", "pressed 設定"], reading.presses
    else:
        dialog.click_centre(FILE_MARK)
        dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "set did not close the dialog"
    assert dialog.process.returncode == 0
    assert (folder / "Vantrel.ini").read_bytes() == settings_file_bytes(
        file_path=windows_path(sample_picture), folder=windows_path(pictures), file_kind=1,
        action_values=(4, 30, 6, 7))
