"""What a user does in the settings dialog and what reaches the settings file
and the next saver run: the real folder browser picks a folder, a list entry
becomes the chosen file, the sliders move, "設定" writes all seven keys and
"ｷｬﾝｾﾙ" nothing; a choice the file cannot hold, or a file that cannot be
written, is told and nothing is lost; the link opens in the system's browser.
"""

from __future__ import annotations

import os
import stat
import subprocess
import time
from pathlib import Path

import pytest
from PIL import Image

from dialog_support import (BROWSE_BUTTON, CANCEL_BUTTON, CAPTION, ENDS_WITHIN_SECONDS, FOLDER_MARK, LINK_START,
                            PIC_K, SET_BUTTON, SLIDERS, keep_screenshot)
from harness import Stage, settings_file_bytes, windows_path

MESSAGE_TITLE = "Vantrel"
# Light solid colours of clearly different hues (as the saver's own tests
# use): the saver's sphere shows them scaled by its light.
PICTURES = {"rose.jpg": (250, 170, 170), "mint.jpg": (170, 250, 170), "sky.bmp": (170, 170, 250)}
SAVER_SECONDS = 60.0


def pictures_in(folder: Path) -> Path:
    folder.mkdir(parents=True)
    for name, colour in PICTURES.items():
        Image.new("RGB", (64, 48), colour).save(folder / name)
    return folder


def picture_under(pixel: tuple[int, int, int]) -> str | None:
    """The picture whose colour, scaled by a light level, is this pixel."""
    for name, colour in PICTURES.items():
        level = sum(p * c for p, c in zip(pixel, colour)) / sum(c * c for c in colour)
        if level > 0.2 and all(abs(p - level * c) <= 6 for p, c in zip(pixel, colour)):
            return name
    return None


def saver_shows(stage: Stage, started, folder: Path) -> str | None:
    """Runs /s and says which picture the sphere at the screen's centre shows,
    or None when none shows within SAVER_SECONDS (the sphere bursts and
    gathers again within 17 seconds)."""
    process = started(folder / "Vantrel.scr", "/s", cwd=folder)
    deadline = time.monotonic() + SAVER_SECONDS
    shown = None
    while shown is None and time.monotonic() < deadline and process.poll() is None:
        shot = stage.screenshot()
        shown = picture_under(shot.getpixel((shot.width // 2, shot.height // 2)))
        time.sleep(0.2)
    subprocess.run(["xdotool", "key", "Escape"], env=stage.env, check=False)
    return shown


def message_box_text(stage: Stage, describe_window) -> str:
    """The text of the "Vantrel" message box once it is up."""
    assert stage.wait_for_window(MESSAGE_TITLE, 15.0), "no message box"
    facts = describe_window(MESSAGE_TITLE)
    assert facts is not None and facts.class_name == "#32770"
    return "\n".join(child.text for child in facts.children if child.class_name == "Static" and child.text)


def dismiss_message_box(stage: Stage) -> None:
    window = stage.wait_for_window(MESSAGE_TITLE, 5.0)
    assert window is not None
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], env=stage.env, check=False, timeout=10)
    subprocess.run(["xdotool", "key", "Return"], env=stage.env, check=True)
    deadline = time.monotonic() + 10
    while stage.windows_captioned(MESSAGE_TITLE) and time.monotonic() < deadline:
        time.sleep(0.1)


def thumb_centre(client: Image.Image, bar: tuple[int, int, int, int]) -> int:
    """Where a slider's thumb stands, read off the screen: the trough between
    the arrows is a pattern that changes from pixel to pixel, the thumb a run
    of one colour."""
    y = (bar[1] + bar[3]) // 2
    arrow = bar[3] - bar[1]
    row = [client.getpixel((x, y)) for x in range(bar[0] + arrow, bar[2] - arrow)]
    best_start, best_length, start = 0, 0, 0
    for x in range(1, len(row) + 1):
        if x == len(row) or row[x] != row[start]:
            if x - start > best_length:
                best_start, best_length = start, x - start
            start = x
    assert best_length >= 4, f"no thumb on the slider at {bar}"
    return bar[0] + arrow + best_start + best_length // 2


def browse_to(dialog, folder: Path, expected_entries: int) -> tuple[str, ...]:
    dialog.click_centre(BROWSE_BUTTON)
    dialog.choose_folder(windows_path(folder))
    entries = dialog.wait_for_entries(expected_entries)
    assert len(entries) == expected_entries, f"the list shows {entries}"
    return entries


def test_a_file_chosen_in_the_dialog_is_what_the_saver_shows(open_dialog, vantrel_copy, tmp_path, stage, started):
    pictures = pictures_in(tmp_path / "写真 フォルダ")
    folder = vantrel_copy(settings_file_bytes(file_kind=1))
    dialog = open_dialog(folder)
    entries = browse_to(dialog, pictures, 3)
    assert sorted(entries) == sorted(PICTURES)
    dialog.click_entry(entries.index("mint.jpg"))
    shot = dialog.settled_shot(PIC_K)
    keep_screenshot(shot, "file-chosen")
    assert picture_under(shot.getpixel((PIC_K[0] + 50, PIC_K[1] + 30))) == "mint.jpg", "no preview of mint.jpg"

    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "set did not close the dialog"
    assert dialog.process.returncode == 0
    assert (folder / "Vantrel.ini").read_bytes() == settings_file_bytes(
        file_path=windows_path(pictures / "mint.jpg"), folder=windows_path(pictures), file_kind=1)
    assert saver_shows(stage, started, folder) == "mint.jpg"


def test_a_folder_chosen_in_the_dialog_gives_the_saver_one_of_its_pictures(open_dialog, vantrel_copy, tmp_path,
                                                                            stage, started):
    pictures = pictures_in(tmp_path / "pictures")
    folder = vantrel_copy(settings_file_bytes(file_kind=1, action_values=(4, 30, 6, 7)))
    dialog = open_dialog(folder)
    dialog.click_centre(FOLDER_MARK)
    browse_to(dialog, pictures, 3)
    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS)
    assert (folder / "Vantrel.ini").read_bytes() == settings_file_bytes(
        file_path="", folder=windows_path(pictures), file_kind=0, action_values=(4, 30, 6, 7))
    assert saver_shows(stage, started, folder) in PICTURES


def test_the_sliders_values_reach_the_file(open_dialog, vantrel_copy, sample_picture, stage):
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1))
    dialog = open_dialog(folder)
    size, speed, spread, spread_speed = SLIDERS
    # The keyboard: Tab from the list to the first slider, then one step right: 3 to 4.
    dialog.press_keys("Tab", "Right")
    dialog.click(size[2] - 6, size[1] + 8)  # the right arrow, twice: to 6, the end
    dialog.click(size[2] - 6, size[1] + 8)
    dialog.click(size[2] - 6, size[1] + 8)  # past the end: nothing
    # The thumb dragged from its place to just past the right end: to 100. (Further
    # away the system puts the thumb back where it started, as a user expects.)
    left, top = dialog.facts.client[:2]
    thumb_x = thumb_centre(dialog.client_shot(), speed)
    for step in (["mousemove", str(left + thumb_x), str(top + speed[1] + 8)], ["mousedown", "1"],
                 ["mousemove", str(left + speed[2] - 20), str(top + speed[1] + 8)],
                 ["mousemove", str(left + speed[2] + 5), str(top + speed[1] + 8)], ["mouseup", "1"]):
        subprocess.run(["xdotool", *step], env=stage.env, check=True)
        time.sleep(0.2)
    dialog.click(spread[2] - 22, spread[1] + 8)  # the trough right of the thumb: one step, 5 to 6
    for _ in range(3):
        dialog.click(spread_speed[0] + 6, spread_speed[1] + 8)  # the left arrow: 5 to 2
    time.sleep(0.5)
    keep_screenshot(dialog.client_shot(), "sliders-moved")
    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS)
    assert (folder / "Vantrel.ini").read_bytes() == settings_file_bytes(
        file_path=windows_path(sample_picture), file_kind=1, action_values=(6, 100, 6, 2))


def test_cancel_writes_nothing_and_a_cancelled_browse_changes_nothing(open_dialog, vantrel_copy, sample_picture):
    settings = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)
    folder = vantrel_copy(settings)
    dialog = open_dialog(folder)
    before = dialog.settled_shot(PIC_K)
    dialog.click_centre(BROWSE_BUTTON)
    dialog.choose_folder("--cancel")
    time.sleep(1.0)
    assert dialog.process.poll() is None
    after = dialog.settled_shot(PIC_K)
    for box in (PIC_K, (24, 264, 309, 293)):  # the preview and the path are as they were
        assert list(after.crop(box).getdata()) == list(before.crop(box).getdata())
    dialog.click(SLIDERS[0][2] - 6, SLIDERS[0][1] + 8)
    dialog.click_centre(CANCEL_BUTTON, button=3)  # the right button cancels too
    assert dialog.ended_within(ENDS_WITHIN_SECONDS)
    assert (folder / "Vantrel.ini").read_bytes() == settings


def test_set_without_a_file_says_so_and_stays_open(open_dialog, vantrel_copy, stage, describe_window):
    folder = vantrel_copy(settings_file_bytes(file_kind=1))
    dialog = open_dialog(folder)
    dialog.click_centre(SET_BUTTON)
    assert message_box_text(stage, describe_window) == "ﾌｧｲﾙを指定して下さい ！"
    dismiss_message_box(stage)
    assert dialog.process.poll() is None, "the dialog closed"
    assert (folder / "Vantrel.ini").read_bytes() == settings_file_bytes(file_kind=1)


def test_a_settings_file_held_by_another_program_is_told_and_left_whole(open_dialog, vantrel_copy, sample_picture,
                                                                         stage, started, build, describe_window):
    settings = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)
    folder = vantrel_copy(settings)
    dialog = open_dialog(folder)
    # Another program takes the file while the dialog is open.
    holder = started(build.folder / "tests" / "e2e" / "hold_file.exe", windows_path(folder / "Vantrel.ini"),
                     stdout=subprocess.PIPE)
    assert holder.stdout.readline().strip() == b"held"
    dialog.click(SLIDERS[0][2] - 6, SLIDERS[0][1] + 8)
    dialog.click_centre(SET_BUTTON)
    text = message_box_text(stage, describe_window)
    assert text.startswith("設定を保存できませんでした ！"), text
    assert len(text.splitlines()) > 1, "the system's reason is missing"
    dismiss_message_box(stage)
    assert dialog.process.poll() is None, "the dialog closed as if saved"
    assert (folder / "Vantrel.ini").read_bytes() == settings
    assert sorted(path.name for path in folder.iterdir()) == ["Vantrel.ini", "Vantrel.scr"], "a temporary file stayed"


@pytest.fixture
def read_only_folder():
    """Makes a folder unwritable, even for root (no entry can be created,
    renamed or removed in it), and writable again at the end. Skips where the
    file system has no such flag."""
    made = []

    def make(folder: Path) -> Path:
        if subprocess.run(["chattr", "+i", str(folder)], capture_output=True, check=False).returncode != 0:
            pytest.skip("this file system cannot make a folder unwritable for root (chattr +i)")
        made.append(folder)
        return folder

    yield make
    for folder in made:
        subprocess.run(["chattr", "-i", str(folder)], check=False)


def test_a_read_only_folder_is_told_and_its_settings_file_left_whole(open_dialog, vantrel_copy, sample_picture,
                                                                     stage, describe_window, read_only_folder):
    settings = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)
    folder = read_only_folder(vantrel_copy(settings))
    dialog = open_dialog(folder)
    dialog.click(SLIDERS[1][2] - 6, SLIDERS[1][1] + 8)
    dialog.click_centre(SET_BUTTON)
    text = message_box_text(stage, describe_window)
    assert text.startswith("設定を保存できませんでした ！") and len(text.splitlines()) > 1, text
    dismiss_message_box(stage)
    assert dialog.process.poll() is None
    assert (folder / "Vantrel.ini").read_bytes() == settings


def test_a_folder_name_outside_code_page_932_is_stored_in_its_short_form(open_dialog, vantrel_copy, tmp_path, stage,
                                                                         started):
    pictures = pictures_in(tmp_path / "Ünïcödé")
    folder = vantrel_copy(settings_file_bytes(file_kind=1))
    dialog = open_dialog(folder)
    entries = browse_to(dialog, pictures, 3)
    dialog.click_entry(entries.index("rose.jpg"))
    time.sleep(0.5)
    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "set did not close the dialog"
    stored = (folder / "Vantrel.ini").read_bytes().decode("cp932")
    assert "Ü" not in stored and "~" in stored, stored
    assert saver_shows(stage, started, folder) == "rose.jpg", "the short form does not lead to the picture"


@pytest.fixture
def recording_browser(stage: Stage, tmp_path: Path):
    """Wine's browser for web addresses replaced by a script that writes down
    what it was given; the setting is taken back at the end."""
    record = tmp_path / "opened.txt"
    script = tmp_path / "record-browser"
    script.write_text(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{record}"\n')
    script.chmod(script.stat().st_mode | stat.S_IXUSR)
    key = r"HKCU\Software\Wine\WineBrowser"
    subprocess.run(["wine", "reg", "add", key, "/v", "Browsers", "/d", str(script), "/f"], env=stage.env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        yield record
    finally:
        subprocess.run(["wine", "reg", "delete", key, "/v", "Browsers", "/f"], env=stage.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def test_the_link_opens_its_address_in_the_systems_browser(recording_browser, open_dialog, vantrel_copy,
                                                          sample_picture):
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1))
    dialog = open_dialog(folder)
    dialog.click(*LINK_START)
    deadline = time.monotonic() + 20
    while not recording_browser.exists() and time.monotonic() < deadline:
        time.sleep(0.2)
    assert recording_browser.exists(), "no browser was started"
    assert recording_browser.read_text().split() == ["https://www.example.com/vantrel/"]
    assert dialog.process.poll() is None, "the dialog stays open"
