"""The settings dialog as a user meets it: `/c` opens "Vantrelの設定" centred
on the screen with its drawn look, the saved folder's images in the list and
the saved file in the preview; Alt+F4 closes it without writing anything,
Enter and Esc do nothing, and a second start while it is open ends at once.
The same dialog under an English Windows shows the same text, and at 144 DPI
the whole layout is 1.5 times as large.

Places are the control table's (dialog_support.py). Screenshots of every
dialog shown are kept in build/test-results/ for a person to look at.
"""

from __future__ import annotations

import subprocess
from pathlib import Path

import pytest
from PIL import Image

from dialog_support import (BLUE, CAPTION, CAPTIONS, BARE_TEXTURE, ENDS_WITHIN_SECONDS, GREEN, LBL_KEI, LIST_1,
                            PIC_B0_INNER, PIC_K, RED, dark_pixels, keep_screenshot, pictures_folder, scaled,
                            texture_mismatches, write_marked_picture)
from harness import Stage, settings_file_bytes, windows_path
from photos import write_phone_photo


@pytest.fixture
def folder_settings(tmp_path: Path) -> tuple[bytes, Path]:
    """Folder mode on a folder with three images (and a file that is none)."""
    folder = pictures_folder(tmp_path, ("a.bmp", "b.jpg", "c.gif"))
    (folder / "notes.txt").write_text("not a picture")
    return settings_file_bytes(folder=windows_path(folder), file_kind=0), folder


def test_opens_centred_with_its_client_area_exactly_the_background(open_dialog, vantrel_copy, folder_settings):
    dialog = open_dialog(vantrel_copy(folder_settings[0]))
    left, top, right, bottom = dialog.facts.client
    assert (right - left, bottom - top) == (557, 341)
    outer = dialog.facts.rect
    screen_width, screen_height = dialog.facts.screen
    assert abs((outer[0] + outer[2]) / 2 - screen_width / 2) <= 1
    assert abs((outer[1] + outer[3]) / 2 - screen_height / 2) <= 1
    assert dialog.facts.class_name == "VantrelSettingsDialog"
    # The list and the four sliders are the system's own controls.
    classes = sorted(child.class_name for child in dialog.facts.children)
    assert classes == ["ListBox"] + ["ScrollBar"] * 4


def test_shows_the_texture_the_captions_and_the_folders_images(open_dialog, vantrel_copy, folder_settings):
    dialog = open_dialog(vantrel_copy(folder_settings[0]))
    shot = dialog.client_shot()
    keep_screenshot(shot, "folder-mode")

    for name, (region, origin) in BARE_TEXTURE.items():
        assert texture_mismatches(shot, region, origin) == 0, f"{name} does not show the texture"
    for caption, box in CAPTIONS.items():
        assert dark_pixels(shot, box) > 15, f"no text where {caption!r} stands"
    # Three names in the list's first lines, on white, and nothing below them.
    list_inside = (LIST_1[0] + 3, LIST_1[1] + 3, LIST_1[2] - 3, LIST_1[1] + 60)
    assert dark_pixels(shot, list_inside) > 60, "the list shows no names"
    assert dark_pixels(shot, (LIST_1[0] + 3, LIST_1[1] + 90, LIST_1[2] - 3, LIST_1[1] + 150)) == 0
    assert dark_pixels(shot, LBL_KEI) > 3, "no count"
    # Folder mode: no preview, the box light grey inside its edge.
    assert shot.getpixel((PIC_K[0] + 50, PIC_K[1] + 50)) == (224, 224, 224)


def test_a_file_mode_start_previews_the_file(open_dialog, vantrel_copy, tmp_path):
    picture = tmp_path / "marked.jpg"
    write_marked_picture(picture)
    dialog = open_dialog(vantrel_copy(settings_file_bytes(file_path=windows_path(picture), file_kind=1)))
    shot = dialog.client_shot()
    keep_screenshot(shot, "file-mode")

    left, top = PIC_K[0], PIC_K[1]
    close = lambda pixel, colour: max(abs(a - b) for a, b in zip(pixel, colour)) <= 24  # JPEG
    assert close(shot.getpixel((left + 50, top + 8)), GREEN)
    assert close(shot.getpixel((left + 20, top + 50)), RED)
    assert close(shot.getpixel((left + 80, top + 70)), BLUE), "75 high: its lowest rows are the picture's"
    # Below the 100 x 75 preview the panel's texture shows again.
    assert texture_mismatches(shot, (left + 10, top + 80, left + 90, top + 95), PIC_B0_INNER) == 0
    assert dark_pixels(shot, (204, 84, 305, 97)) > 20, "no size above the preview"


def test_alt_f4_closes_it_and_leaves_the_settings_file_byte_for_byte(open_dialog, vantrel_copy, folder_settings):
    # A file no save would write: other sections, comments, odd spacing.
    settings = b"; mine\r\n[Other]\r\nx=1\r\n" + folder_settings[0].replace(b"= 0", b"=  0 ")
    folder = vantrel_copy(settings)
    dialog = open_dialog(folder)
    dialog.press_keys("alt+F4")
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "Alt+F4 did not close the dialog"
    assert dialog.process.returncode == 0
    assert (folder / "Vantrel.ini").read_bytes() == settings
    assert sorted(path.name for path in folder.iterdir()) == ["Vantrel.ini", "Vantrel.scr"]


def test_enter_and_esc_do_nothing(open_dialog, vantrel_copy, folder_settings, stage):
    folder = vantrel_copy(folder_settings[0])
    dialog = open_dialog(folder)
    dialog.press_keys("Return", "Escape", "KP_Enter")
    assert not dialog.ended_within(3.0), "a key closed the dialog"
    assert stage.windows_captioned(CAPTION), "the dialog is gone"
    assert (folder / "Vantrel.ini").read_bytes() == folder_settings[0]


def test_a_second_start_ends_at_once_while_it_is_open(open_dialog, vantrel_copy, folder_settings, run_vantrel):
    folder = vantrel_copy(folder_settings[0])
    open_dialog(folder)
    for args in (("/c",), ("/s",), ()):
        run = run_vantrel(folder, *args, time_limit=10.0)
        assert run.ended and run.returncode == 0, f"{args} did not end at once"
        assert run.new_windows == [], f"{args} showed {run.new_windows}"


def test_an_english_windows_shows_the_same_text(open_dialog, vantrel_copy, folder_settings):
    japanese_dialog = open_dialog(vantrel_copy(folder_settings[0]))
    japanese = japanese_dialog.client_shot()
    # The first dialog must be gone before the second may open.
    japanese_dialog.press_keys("alt+F4")
    assert japanese_dialog.ended_within(ENDS_WITHIN_SECONDS)
    english_env = {"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"}
    english = open_dialog(vantrel_copy(folder_settings[0]), extra_env=english_env).client_shot()
    keep_screenshot(english, "english")
    for caption, box in CAPTIONS.items():
        assert list(english.crop(box).getdata()) == list(japanese.crop(box).getdata()), \
            f"{caption!r} differs on an English system"


@pytest.fixture
def display_at_144_dpi(stage: Stage):
    """The prefix's screen at 144 DPI (150 %) for this test, then 96 again.
    Programs read the value when they start."""
    key = r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"

    def set_dpi(dpi: int) -> None:
        subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                       env=stage.env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    set_dpi(144)
    try:
        yield
    finally:
        set_dpi(96)


def test_at_144_dpi_the_layout_is_half_as_large_again_and_sharp(display_at_144_dpi, open_dialog, vantrel_copy,
                                                                  tmp_path):
    picture = tmp_path / "marked.bmp"
    write_marked_picture(picture)
    dialog = open_dialog(vantrel_copy(settings_file_bytes(file_path=windows_path(picture), file_kind=1)))
    assert dialog.facts.dpi == 144
    left, top, right, bottom = dialog.facts.client
    assert (right - left, bottom - top) == (836, 512)
    shot = dialog.client_shot()
    keep_screenshot(shot, "144-dpi")

    # The preview is 150 x 113, sampled for this display: pure colours up to
    # its raised edge, no blur across the regions' borders.
    preview = scaled(PIC_K, 1.5)
    assert shot.getpixel((preview[0] + 75, preview[1] + 10)) == GREEN
    assert shot.getpixel((preview[0] + 10, preview[1] + 100)) == RED
    assert shot.getpixel((preview[0] + 140, preview[1] + 109)) == BLUE
    boundary = [shot.getpixel((x, preview[1] + 60)) for x in range(preview[0] + 4, preview[0] + 146)]
    assert set(boundary) == {RED, BLUE}, "the preview is blurred"
    assert shot.getpixel((preview[0] + 75, preview[1] + 118)) != BLUE, "taller than 113"
    for caption, box in CAPTIONS.items():
        assert dark_pixels(shot, scaled(box, 1.5)) > 30, f"no text where {caption!r} stands at 144 DPI"
    # The list and the sliders moved and grew with the rest.
    list_window = next(child for child in dialog.facts.children if child.class_name == "ListBox")
    assert (list_window.rect[0] - left, list_window.rect[1] - top) == scaled(LIST_1, 1.5)[:2]
    assert list_window.rect[2] - list_window.rect[0] == 254


def test_a_phone_photo_previews_upright_with_its_upright_size(open_dialog, vantrel_copy, tmp_path):
    """The preview and its size label of a photo stored on its side with EXIF
    orientation 6 are those of the same photo stored upright, and not those of
    the sideways pixels as stored."""
    phone = tmp_path / "phone.jpg"
    write_phone_photo(phone)
    upright = tmp_path / "upright.jpg"
    sideways = tmp_path / "sideways.jpg"
    with Image.open(phone) as stored:
        stored.transpose(Image.ROTATE_270).save(upright, quality=95)
        stored.save(sideways, quality=95)  # the same pixels without the tag
    size_label = (204, 84, 305, 97)

    def preview_of(picture: Path) -> Image.Image:
        dialog = open_dialog(vantrel_copy(settings_file_bytes(file_path=windows_path(picture), file_kind=1)))
        shot = dialog.client_shot()
        keep_screenshot(shot, f"preview-{picture.stem}")
        dialog.press_keys("alt+F4")
        assert dialog.ended_within(ENDS_WITHIN_SECONDS)
        return shot

    shots = {picture.stem: preview_of(picture) for picture in (phone, upright, sideways)}
    label = {name: shot.crop(size_label).tobytes() for name, shot in shots.items()}
    assert label["phone"] == label["upright"], "the size label is not the upright '300 * 400'"
    assert label["sideways"] != label["upright"], "the label cannot tell 400 * 300 from 300 * 400"
    left, top = PIC_K[0], PIC_K[1]
    phone_shot = shots["phone"]
    # Upright the preview is 75 x 100: red above blue, the texture to its right.
    assert phone_shot.getpixel((left + 37, top + 20))[0] > 180, "the top of the preview is not red"
    assert phone_shot.getpixel((left + 37, top + 80))[2] > 180, "the bottom of the preview is not blue"
    assert texture_mismatches(phone_shot, (left + 80, top + 10, left + 95, top + 90), PIC_B0_INNER) == 0
