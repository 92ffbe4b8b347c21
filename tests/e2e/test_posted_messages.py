"""What other programs can do to our windows: post any message with any
parameters (the lifecycle messages, messages whose parameter the system
would fill with a pointer, a request to quit) to the saver, the settings
dialog and the preview; destroy the preview's pane while the preview is
starting, or die with it. Afterwards every window still ends on its user's
input and gives back what it changed; a preview whose pane is gone ends.
"""

from __future__ import annotations

import subprocess
import time
from pathlib import Path

import pytest

from dialog_support import CAPTION as DIALOG_CAPTION, ENDS_WITHIN_SECONDS as DIALOG_ENDS_WITHIN_SECONDS
from harness import Stage, settings_file_bytes, windows_path
from test_preview import fake_control_panel  # noqa: F401 (a fixture)
from test_saver_hardening import SAVER_CAPTION, bare_screen, covered, state, wait_until  # noqa: F401

# A number no pointer of ours has: a window that follows it crashes.
JUNK = 0xDEAD_BEEF_0000

# (name, message, wparam, lparam): lifecycle messages, and messages whose
# lparam the system fills with a pointer when it sends them itself.
HOSTILE_MESSAGES = [
    ("WM_NCDESTROY", 0x0082, 0, 0),
    ("WM_DESTROY", 0x0002, 0, 0),
    ("WM_NCCREATE", 0x0081, 0, JUNK),
    ("WM_CREATE", 0x0001, 0, JUNK),
    ("WM_DPICHANGED", 0x02E0, 0x00900090, JUNK),
    ("WM_NCCALCSIZE", 0x0083, 1, JUNK),
    ("WM_WINDOWPOSCHANGING", 0x0046, 0, JUNK),
    ("WM_GETMINMAXINFO", 0x0024, 0, JUNK),
    ("WM_SETTEXT", 0x000C, 0, JUNK),
    ("WM_SETTINGCHANGE", 0x001A, 0, JUNK),
    ("WM_POWERBROADCAST", 0x0218, 0x8013, JUNK),  # PBT_POWERSETTINGCHANGE
    ("WM_DISPLAYCHANGE", 0x007E, 32, 0x04000500),
]
WM_QUIT = 0x0012
# A posted message reaches the window within this, on any machine.
SETTLE_SECONDS = 0.5
# A preview whose pane has gone ends within a second; a generous bound, so
# that only a preview that stays tells.
PREVIEW_ENDS_SECONDS = 5.0


def post_to(stage: Stage, build, caption: str, message: int, wparam: int, lparam: int) -> bool:
    """Posts as another program would; False when the system refused to post
    it (it will not post some messages whose parameter must be a pointer)."""
    assert stage.windows_captioned(caption), f"no window {caption!r} to post to"
    done = subprocess.run(["wine", str(build.folder / "tests" / "e2e" / "post_message.exe"), caption, hex(message),
                           hex(wparam), hex(lparam)], env=stage.env, timeout=30)
    return done.returncode == 0


# These the system posts whatever their parameters: the ones that did harm.
MUST_BE_POSTED = {"WM_NCDESTROY", "WM_DESTROY", "WM_DPICHANGED", "WM_POWERBROADCAST"}


@pytest.fixture
def picture_settings(sample_picture: Path) -> bytes:
    return settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1)


def test_the_saver_survives_every_posted_message_and_still_ends_on_a_key(stage, build, started, vantrel_copy,
                                                                          picture_settings, bare_screen):
    folder = vantrel_copy(picture_settings)
    process = started(folder / "Vantrel.scr", "/s", cwd=folder)
    assert wait_until(lambda: covered(stage), 30.0) is not None
    posted = set()
    for name, message, wparam, lparam in HOSTILE_MESSAGES:
        if post_to(stage, build, SAVER_CAPTION, message, wparam, lparam):
            posted.add(name)
        time.sleep(SETTLE_SECONDS)
        assert process.poll() is None, f"{name} ended the saver (exit code {process.returncode})"
        assert covered(stage), f"after {name} the screen is no longer covered"
    assert MUST_BE_POSTED <= posted
    during = state(stage, build)
    assert (during["saver_running"], during["cursor_showing"]) == (1, 0)
    subprocess.run(["xdotool", "key", "space"], env=stage.env, check=True)
    process.wait(timeout=15)
    assert process.returncode == 0
    after = state(stage, build)
    assert (after["saver_running"], after["cursor_showing"]) == (0, 1), "a key no longer ends the run"


def test_a_posted_quit_ends_the_saver_with_what_it_changed_given_back(stage, build, started, vantrel_copy,
                                                                       picture_settings, bare_screen):
    folder = vantrel_copy(picture_settings)
    process = started(folder / "Vantrel.scr", "/s", cwd=folder)
    assert wait_until(lambda: covered(stage), 30.0) is not None
    assert post_to(stage, build, SAVER_CAPTION, WM_QUIT, 0, 0)
    process.wait(timeout=15)
    after = state(stage, build)
    assert (after["saver_running"], after["cursor_showing"]) == (0, 1)


def test_the_dialog_survives_every_posted_message_and_still_closes(stage, build, open_dialog, vantrel_copy,
                                                                    picture_settings):
    folder = vantrel_copy(picture_settings)
    dialog = open_dialog(folder)
    posted = set()
    for name, message, wparam, lparam in HOSTILE_MESSAGES:
        if post_to(stage, build, DIALOG_CAPTION, message, wparam, lparam):
            posted.add(name)
        time.sleep(SETTLE_SECONDS)
        assert dialog.process.poll() is None, f"{name} ended the dialog (exit code {dialog.process.returncode})"
        assert stage.windows_captioned(DIALOG_CAPTION), f"after {name} the dialog is gone"
    assert MUST_BE_POSTED <= posted
    dialog.press_keys("alt+F4")
    assert dialog.ended_within(DIALOG_ENDS_WITHIN_SECONDS), "Alt+F4 no longer closes the dialog"
    assert dialog.process.returncode == 0
    assert (folder / "Vantrel.ini").read_bytes() == picture_settings


def test_a_posted_quit_ends_the_dialog_cleanly(stage, build, open_dialog, vantrel_copy, picture_settings):
    folder = vantrel_copy(picture_settings)
    dialog = open_dialog(folder)
    assert post_to(stage, build, DIALOG_CAPTION, WM_QUIT, 0, 0)
    assert dialog.ended_within(DIALOG_ENDS_WITHIN_SECONDS)
    assert dialog.process.returncode == 0
    assert (folder / "Vantrel.ini").read_bytes() == picture_settings


def test_the_preview_survives_every_posted_message_and_ends_with_its_pane(fake_control_panel):
    panel = fake_control_panel(152, 112)
    child = panel.wait_for_shown_child()
    assert child is not None and child.visible
    posted = set()
    for name, message, wparam, lparam in HOSTILE_MESSAGES:
        if panel.post(message, wparam, lparam):
            posted.add(name)
        time.sleep(SETTLE_SECONDS)
        assert panel.program_exit_code() is None, f"{name} ended the preview"
        now = panel.child()
        assert now is not None and now.parent_is_pane, f"after {name} the preview left its pane"
    assert MUST_BE_POSTED <= posted
    assert panel.destroy_pane() is not None, "the preview outlived its pane"


# A user clicking quickly through the control panel's list of savers: the
# pane goes while the preview is still being made, at every stage of it.
@pytest.mark.parametrize("delay_ms", [0, 60, 120, 165, 180, 190, 250, 400])
def test_a_pane_destroyed_while_the_preview_starts_leaves_nothing_behind(delay_ms, fake_control_panel, stage):
    panel = fake_control_panel(152, 112, f"race:{delay_ms}")
    code = panel.wait_for_program_end(PREVIEW_ENDS_SECONDS + 10.0)  # Wine's own start included
    assert code is not None, f"the preview still runs after its pane went at {delay_ms} ms"


def test_a_preview_ends_when_its_panes_owner_is_killed(fake_control_panel, stage):
    panel = fake_control_panel(152, 112)
    child = panel.wait_for_shown_child()
    assert child is not None and child.visible
    before = preview_processes()
    assert before, "no preview process to watch"
    panel.kill()
    assert wait_until(lambda: not (preview_processes() & before), PREVIEW_ENDS_SECONDS, step=0.1) is not None, \
        "the preview outlived the program that owned its pane"


def test_the_desktop_is_no_pane(fake_control_panel, stage):
    panel = fake_control_panel(152, 112, "desktop")
    assert panel.wait_for_program_end(PREVIEW_ENDS_SECONDS + 10.0) is not None, \
        "a preview on the desktop window would cover the screen for ever"


def preview_processes() -> set[int]:
    """The processes of Vantrel.scr running in preview mode."""
    found = set()
    for status in Path("/proc").glob("[0-9]*/cmdline"):
        try:
            words = status.read_bytes().split(b"\0")
        except OSError:
            continue
        if any(word.endswith(b"Vantrel.scr") for word in words) and b"/p" in words:
            found.add(int(status.parent.name))
    return found
