"""The settings file on disk as the real program treats it: a save through
the dialog writes the file a link names and keeps what the file is (its
links, its encoding), and a read-only file is told and left as it was."""

from __future__ import annotations

import os
import stat

import pytest

from dialog_support import ENDS_WITHIN_SECONDS, SET_BUTTON, SLIDERS
from harness import settings_file_bytes, windows_path
from test_dialog_choices import dismiss_message_box, message_box_text


def one_sphere_size_up(dialog) -> None:
    """The sphere-size slider's right arrow: 3 to 4."""
    dialog.click(SLIDERS[0][2] - 6, SLIDERS[0][1] + 8)


@pytest.mark.parametrize("kind", ["symbolic", "hard"])
def test_a_save_reaches_the_file_a_link_names(kind, open_dialog, vantrel_copy, sample_picture, tmp_path):
    settings = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)
    kept = tmp_path / "kept" / "copy.ini"
    kept.parent.mkdir()
    kept.write_bytes(settings)
    folder = vantrel_copy(None)
    link = folder / "Vantrel.ini"
    if kind == "symbolic":
        link.symlink_to(kept)
    else:
        os.link(kept, link)
    dialog = open_dialog(folder)
    one_sphere_size_up(dialog)
    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "set did not close the dialog"
    saved = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1, action_values=(4, 25, 5, 5))
    assert kept.read_bytes() == saved, "the file the link names kept its old values"
    if kind == "symbolic":
        assert link.is_symlink() and link.resolve() == kept.resolve()
    else:
        assert link.stat().st_ino == kept.stat().st_ino and kept.stat().st_nlink == 2
    assert sorted(path.name for path in folder.iterdir()) == ["Vantrel.ini", "Vantrel.scr"]


def test_a_read_only_settings_file_is_told_and_left_as_it_was(open_dialog, vantrel_copy, sample_picture, stage,
                                                              describe_window):
    settings = settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)
    folder = vantrel_copy(settings)
    ini = folder / "Vantrel.ini"
    ini.chmod(0o444)  # Wine's read-only attribute
    dialog = open_dialog(folder)
    one_sphere_size_up(dialog)
    dialog.click_centre(SET_BUTTON)
    text = message_box_text(stage, describe_window)
    assert text.startswith("設定を保存できませんでした ！") and len(text.splitlines()) > 1, text
    dismiss_message_box(stage)
    assert dialog.process.poll() is None, "the dialog closed as if saved"
    assert ini.read_bytes() == settings
    assert stat.S_IMODE(ini.stat().st_mode) == 0o444, "the file was made writable"
    assert sorted(path.name for path in folder.iterdir()) == ["Vantrel.ini", "Vantrel.scr"]


def utf16_settings(text: str) -> bytes:
    return b"\xff\xfe" + text.encode("utf-16-le")


def test_a_utf16_settings_file_is_read_and_saved_in_utf16(open_dialog, vantrel_copy, sample_picture):
    picture = windows_path(sample_picture)
    before = f"[Section]\r\nﾌｧｲﾙ名={picture}\r\nﾌｧｲﾙ区分= 1\r\n球の大きさ= 5\r\n"
    folder = vantrel_copy(utf16_settings(before))
    dialog = open_dialog(folder)
    # Saved at once: with the file read as all defaults there would be no file
    # to save, and the dialog would say so.
    dialog.click_centre(SET_BUTTON)
    assert dialog.ended_within(ENDS_WITHIN_SECONDS), "set did not close the dialog"
    assert (folder / "Vantrel.ini").read_bytes() == utf16_settings(
        before + "ﾌｫﾙﾀﾞ名=\r\n回転の速さ= 25\r\n爆発の拡散度合い= 5\r\n爆発の拡散する速さ= 5\r\n")
