"""Start-up as the Display control panel and a user see it: which starts end
at once, and the instance guard that refuses a second instance."""

from __future__ import annotations

import shutil
from pathlib import Path

import pytest

from harness import Run, settings_file_bytes, windows_path

# "At once": a start that has to end ends well within this, measured from the
# `wine` command to the process's end (about 0.2 s here). A start that opens
# the saver, the dialog or the preview instead is still running then, and is
# ended by the test.
ENDS_AT_ONCE_SECONDS = 10.0

GUARD_CAPTIONS = ("Vantrel_Main", "Vantrelの設定")


@pytest.fixture
def settings_with_picture(sample_picture: Path, tmp_path: Path) -> bytes:
    """A settings file choosing an existing picture, so that any start the
    guard failed to stop would open a real saver, dialog or preview."""
    pictures = tmp_path / "pictures"
    pictures.mkdir()
    picture = pictures / "sample.jpg"
    shutil.copy2(sample_picture, picture)
    return settings_file_bytes(file_path=windows_path(picture), folder=windows_path(pictures),
                               file_kind=1)


def folder_contents(folder: Path) -> dict[str, bytes]:
    return {path.name: path.read_bytes() for path in sorted(folder.iterdir())}


def problems_of_a_quick_end(run: Run) -> list[str]:
    """What, if anything, kept a start from ending at once without a window."""
    problems = []
    if not run.ended:
        problems.append(f"still running after {run.seconds:.1f} s")
    elif run.returncode != 0:
        problems.append(f"ended with exit code {run.returncode}")
    if run.new_windows:
        problems.append("showed " + ", ".join(repr(window.caption) for window in run.new_windows))
    return problems


@pytest.mark.parametrize("has_settings_file", [True, False], ids=["settings", "no-settings"])
@pytest.mark.parametrize("args", [("/x",), ("-q",), ("S",), ("/a", "1234")],
                         ids=["/x", "-q", "lone-S", "/a 1234"])
def test_start_that_names_no_window_ends_at_once_and_saves_nothing(
        args, has_settings_file, run_vantrel, vantrel_copy, settings_with_picture):
    # An unknown letter or a one-character text ends after loading the
    # settings; "A" ends too on an NT-family system, which Wine is.
    folder = vantrel_copy(settings_with_picture if has_settings_file else None)
    before = folder_contents(folder)

    run = run_vantrel(folder, *args, time_limit=ENDS_AT_ONCE_SECONDS)

    assert problems_of_a_quick_end(run) == []
    assert folder_contents(folder) == before, "the start wrote beside the program"


# Every way the control panel or a user starts the program; the preview's
# pane handle is filled in by the test. () is the empty argument text.
STARTS = (("/s",), ("/S",), ("/c",), ("/c:1234",), ("/p", "PANE"), ("/p:PANE",), ())


@pytest.mark.parametrize("hidden", [False, True], ids=["shown", "hidden"])
@pytest.mark.parametrize("caption", GUARD_CAPTIONS)
def test_every_start_ends_at_once_while_a_guard_window_exists(
        caption, hidden, open_window, run_vantrel, vantrel_copy, settings_with_picture):
    # A real pane for the preview, so that only the guard can stop it.
    pane = open_window("Vantrel test pane")
    open_window(caption, hidden=hidden)
    folder = vantrel_copy(settings_with_picture)
    before = folder_contents(folder)

    problems = {}
    for start in STARTS:
        args = tuple(arg.replace("PANE", str(pane.handle)) for arg in start)
        run = run_vantrel(folder, *args, time_limit=ENDS_AT_ONCE_SECONDS)
        found = problems_of_a_quick_end(run)
        if found:
            problems[" ".join(args) or "(empty)"] = found

    assert problems == {}
    assert folder_contents(folder) == before, "a refused start wrote beside the program"
