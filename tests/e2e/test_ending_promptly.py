"""Ending while a decoder is still at work: the saver and the dialog give
back what they changed and the program ends at once, whatever the decoder
is doing. The decoder here plays a metafile of millions of drawing records,
which takes many seconds on its own thread."""

from __future__ import annotations

import struct
import subprocess
import time
from pathlib import Path

import pytest

from harness import settings_file_bytes, windows_path
from test_saver_hardening import bare_screen, covered, state, wait_until  # noqa: F401 (fixture)

# A program that waits for its decoder lives on for as long as the decode
# takes: 12 s for the saver and 15 s for the dialog with this metafile. One
# that does not ends about 2 s after its run here: Wine, with no window
# manager, waits that long for a closed window to be withdrawn. A generous
# bound between the two, so that a slow machine does not tell.
PROGRAM_ENDS_SECONDS = 6.0


def write_slow_metafile(path: Path, lines: int = 3_000_000) -> None:
    """A placeable metafile, 1000 x 1000 units at 1440 an inch, drawing
    `lines` lines across it with a pen 100 units wide, back and forth: 30 MB
    that take a player many seconds."""
    pen = struct.pack("<IHHhhI", 8, 0x02FA, 0, 100, 0, 0x00336699)  # META_CREATEPENINDIRECT
    select = struct.pack("<IHH", 4, 0x012D, 0)  # META_SELECTOBJECT, the pen
    move = struct.pack("<IHhh", 5, 0x0214, 10, 10)  # META_MOVETO y, x
    there = struct.pack("<IHhh", 5, 0x0213, 990, 990)  # META_LINETO y, x
    back = struct.pack("<IHhh", 5, 0x0213, 10, 10)
    eof = struct.pack("<IH", 3, 0)
    body = pen + select + move + (there + back) * (lines // 2) + eof
    size_words = (18 + len(body)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, 1, 8, 0)
    words = [0xCDD7, 0x9AC6, 0, 0, 0, 1000, 1000, 1440, 0, 0]
    checksum = 0
    for word in words:
        checksum ^= word
    path.write_bytes(struct.pack("<10H", *words) + struct.pack("<H", checksum) + header + body)


@pytest.fixture(scope="module")
def slow_metafile(tmp_path_factory) -> Path:
    path = tmp_path_factory.mktemp("slow") / "slow.wmf"
    write_slow_metafile(path)
    return path


def test_a_saver_ended_during_a_long_decode_ends_at_once(slow_metafile, stage, build, started, vantrel_copy,
                                                         bare_screen):
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(slow_metafile), file_kind=1))
    process = started(folder / "Vantrel.scr", "/s", cwd=folder)
    assert wait_until(lambda: covered(stage), 30.0) is not None
    time.sleep(0.5)  # the decode is well under way
    subprocess.run(["xdotool", "key", "space"], env=stage.env, check=True)
    assert wait_until(stage.cursor_shown, 10.0) is not None, "the key did not end the run"
    ended_at = time.monotonic()
    try:
        process.wait(timeout=PROGRAM_ENDS_SECONDS)
    except subprocess.TimeoutExpired:
        pytest.fail(f"the program still ran {PROGRAM_ENDS_SECONDS} s after the run ended: it waits for its decoder")
    print(f"the program ended {time.monotonic() - ended_at:.2f} s after the run")
    assert process.returncode == 0
    after = state(stage, build)
    assert (after["saver_running"], after["cursor_showing"]) == (0, 1)


def test_a_dialog_closed_during_a_long_preview_decode_ends_at_once(slow_metafile, open_dialog, vantrel_copy):
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(slow_metafile), file_kind=1))
    dialog = open_dialog(folder)  # opens without waiting for the preview
    dialog.press_keys("alt+F4")
    closed_at = time.monotonic()
    if not dialog.ended_within(PROGRAM_ENDS_SECONDS):
        pytest.fail(f"the dialog's program still ran {PROGRAM_ENDS_SECONDS} s after Alt+F4: it waits for its decoder")
    print(f"the program ended {time.monotonic() - closed_at:.2f} s after Alt+F4")
    assert dialog.process.returncode == 0
