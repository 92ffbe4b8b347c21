"""The preview in the Display control panel's pane. A helper program
(helpers/fake_pane.cpp) plays the control panel: it makes a magenta pane of a
given size inside a window of its own, starts Vantrel.scr on the pane's
handle, and answers questions about the pane's child window on its standard
input and output.

Under Wine 8 the preview's pixels never reach the screen: the X11 driver gives
a child window whose top-level window belongs to another process no drawable
(its device context draws into X drawable 0, and OpenGL's copy to the window
goes the same way), so the pane stays magenta however the child paints. The
checks of the picture are therefore expected failures on Wine 8 and older,
strict ones: a Wine that shows the picture makes them pass and asks for the
mark to go. Everything else about the preview (parent, styles, size, owner,
the process's end) is checked everywhere.
"""

from __future__ import annotations

import os
import re
import select
import subprocess
import time
from dataclasses import dataclass
from typing import Callable, Iterator

import pytest
from PIL import Image, ImageChops, ImageStat

from harness import REPO_ROOT, Stage, end_process, windows_path

STILL_PICTURE = REPO_ROOT / "resources" / "preview_still.jpg"
PANE_COLOUR = (255, 0, 255)  # the fake pane's own background

# A start that has to end ends well within this (about 0.5 s here).
ENDS_AT_ONCE_SECONDS = 10.0
# From starting the fake control panel to the preview window in its pane
# (Wine's first start in a session is the slow one).
PREVIEW_APPEARS_SECONDS = 20.0
# How long a painted preview may take to show on the screen.
PAINT_SHOWS_SECONDS = 1.5
# Between two questions while waiting for something to happen.
POLL_SECONDS = 0.1

# The still picture on the screen against PIL's decoding of the same file.
# GDI+ (Wine's, through libjpeg) differs from PIL by at most 24 per channel
# and 1.5 on average on this picture; the picture moved by one pixel differs
# by 118 at most and 3 on average, so these bounds tell the two apart.
PICTURE_MAX_DIFFERENCE = 48
PICTURE_MEAN_DIFFERENCE = 2.5
# The form's black background, drawn with the stock black brush.
BLACK_MAX_VALUE = 8


def _wine_major_version() -> int | None:
    try:
        done = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=30, check=False)
    except (OSError, subprocess.TimeoutExpired):
        return None
    found = re.match(r"wine-(\d+)", done.stdout.strip())
    return int(found.group(1)) if found else None


class PaneShowsNoPicture(AssertionError):
    """The pane shows its own colour all over: nothing the preview painted
    reached the screen (Wine 8's known limit, see the module's text)."""


_WINE_MAJOR = _wine_major_version()
expected_to_show_nothing_on_old_wine = pytest.mark.xfail(
    condition=_WINE_MAJOR is not None and _WINE_MAJOR <= 8,
    raises=PaneShowsNoPicture, strict=True,
    reason="Wine 8 loses what a child window paints when its top-level window belongs to another "
           "process (no X drawable for its device context); Windows shows it")


@dataclass(frozen=True)
class PaneChild:
    """The pane's child window as the fake control panel sees it; position in
    the pane's client area, sizes in pixels."""

    handle: int
    parent_is_pane: bool
    has_ws_child: bool
    has_ws_popup: bool
    left: int
    top: int
    width: int
    height: int
    visible: bool
    owned_by_program: bool
    client_width: int
    client_height: int


class FakeControlPanel:
    """One fake_pane.exe run: its pane, and questions answered line by line."""

    def __init__(self, process: subprocess.Popen) -> None:
        self._process = process
        self._buffer = b""
        words = self._read_line(PREVIEW_APPEARS_SECONDS).split()
        if len(words) != 6 or words[0] != "pane":
            raise RuntimeError(f"the fake control panel did not start (said {' '.join(words)!r})")
        self.handle, self.left, self.top, self.width, self.height = (int(word) for word in words[1:])

    def _read_line(self, seconds: float) -> str:
        assert self._process.stdout is not None
        deadline = time.monotonic() + seconds
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([self._process.stdout], [], [], max(left, 0))
            if not ready:
                return ""
            chunk = os.read(self._process.stdout.fileno(), 4096)
            if not chunk:
                return ""
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return line.decode(errors="replace").strip()

    def _ask(self, command: str, seconds: float = 10.0) -> str:
        assert self._process.stdin is not None
        self._process.stdin.write(command.encode() + b"\n")
        self._process.stdin.flush()
        return self._read_line(seconds)

    def child(self) -> PaneChild | None:
        words = self._ask("inspect").split()
        if words == ["child", "none"]:
            return None
        if len(words) != 13 or words[0] != "child":
            raise RuntimeError(f"unexpected answer to inspect: {' '.join(words)!r}")
        n = [int(word) for word in words[1:]]
        return PaneChild(n[0], n[1] == 1, n[2] == 1, n[3] == 1, n[4], n[5], n[6], n[7], n[8] == 1,
                         n[9] == 1, n[10], n[11])

    def wait_for_shown_child(self, seconds: float = PREVIEW_APPEARS_SECONDS) -> PaneChild | None:
        """The pane's child once it is shown (the preview's last step), or as
        last seen when the time is up; None if there never was one."""
        deadline = time.monotonic() + seconds
        while (found := self.child()) is None or not found.visible:
            if time.monotonic() > deadline:
                break
            time.sleep(POLL_SECONDS)
        return found

    def post(self, message: int, wparam: int = 0, lparam: int = 0) -> bool:
        """Posts a message to the pane's child, as any other program could."""
        return self._ask(f"post {hex(message)} {hex(wparam)} {hex(lparam)}") == "posted 1"

    def kill(self) -> None:
        """Ends the fake control panel at once, as a crash or the task manager
        would: its windows go without a word to anyone."""
        self._process.kill()
        self._process.wait(timeout=15)

    def program_exit_code(self) -> int | None:
        """The started program's exit code, or None while it runs."""
        answer = self._ask("status")
        return int(answer.split()[1]) if answer.startswith("exited ") else None

    def wait_for_program_end(self, seconds: float) -> int | None:
        deadline = time.monotonic() + seconds
        while (code := self.program_exit_code()) is None and time.monotonic() < deadline:
            time.sleep(POLL_SECONDS)
        return code

    def destroy_pane(self) -> int | None:
        """Destroys the pane; the milliseconds until the program had ended, or
        None when it still ran 5 s later."""
        answer = self._ask("destroy", seconds=15.0)
        return int(answer.split()[1]) if answer.startswith("ended ") else None

    def pane_on(self, screen: Image.Image) -> Image.Image:
        return screen.crop((self.left, self.top, self.left + self.width, self.top + self.height))

    def close(self) -> None:
        # End of input closes the fake control panel, which ends the program.
        if self._process.poll() is not None:
            return
        if self._process.stdin is not None and not self._process.stdin.closed:
            try:
                self._process.stdin.close()
            except BrokenPipeError:
                pass
        try:
            self._process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            end_process(self._process)
        if self._process.stdout is not None:
            self._process.stdout.close()


@pytest.fixture
def fake_control_panel(build, stage: Stage, vantrel_copy) -> Iterator[Callable[..., FakeControlPanel]]:
    """Starts the fake control panel with a pane of the given size on a
    private copy of Vantrel.scr (no settings file: the preview reads none).
    `separator` goes between "/p" and the handle (" " or ":")."""
    program = build.folder / "tests" / "e2e" / "fake_pane.exe"
    if not program.is_file():
        pytest.fail(f"not built: {program}", pytrace=False)
    panels: list[FakeControlPanel] = []

    def start(width: int, height: int, separator: str = " ") -> FakeControlPanel:
        scr = vantrel_copy(None) / "Vantrel.scr"
        process = subprocess.Popen(["wine", str(program), windows_path(scr), str(width), str(height), separator],
                                   env=stage.env, cwd=str(scr.parent), stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            panel = FakeControlPanel(process)
        except RuntimeError:
            end_process(process)
            raise
        panels.append(panel)
        return panel

    yield start
    for panel in reversed(panels):
        panel.close()


def expected_pane(width: int, height: int) -> Image.Image:
    """The still picture at its own size from the top-left corner, clipped by
    the pane, on black."""
    still = Image.open(STILL_PICTURE).convert("RGB")
    canvas = Image.new("RGB", (width, height), (0, 0, 0))
    canvas.paste(still.crop((0, 0, min(width, still.width), min(height, still.height))), (0, 0))
    return canvas


def shows_only_pane_colour(region: Image.Image) -> bool:
    return region.getcolors(maxcolors=1) == [(region.width * region.height, PANE_COLOUR)]


def picture_problems(shown: Image.Image, expected: Image.Image) -> list[str]:
    """What differs between the pane on the screen and the expected pane,
    judged separately on the picture and on the black beside and below it."""
    still = Image.open(STILL_PICTURE)
    picture_box = (0, 0, min(shown.width, still.width), min(shown.height, still.height))
    difference = ImageChops.difference(shown.crop(picture_box), expected.crop(picture_box))
    problems = []
    largest = max(high for _, high in difference.getextrema())
    means = ImageStat.Stat(difference).mean
    if largest > PICTURE_MAX_DIFFERENCE or max(means) > PICTURE_MEAN_DIFFERENCE:
        problems.append(f"picture differs: at most {largest}, on average {[round(m, 1) for m in means]}")
    for name, box in (("right of the picture", (picture_box[2], 0, shown.width, shown.height)),
                      ("below the picture", (0, picture_box[3], shown.width, shown.height))):
        if box[0] < box[2] and box[1] < box[3]:
            brightest = max(high for _, high in shown.crop(box).getextrema())
            if brightest > BLACK_MAX_VALUE:
                problems.append(f"not black {name}: a channel reaches {brightest}")
    return problems


# Pane sizes and how the handle follows "/p": the picture fills the first
# exactly, the second leaves black beside and below it, the third clips it.
PANES = [
    pytest.param(152, 112, " ", id="152x112"),
    pytest.param(300, 200, ":", id="300x200-colon"),
    pytest.param(100, 80, " ", id="100x80"),
]


@pytest.mark.parametrize("width, height, separator", PANES)
def test_preview_is_a_child_covering_the_pane_and_ends_with_it(width, height, separator, fake_control_panel):
    panel = fake_control_panel(width, height, separator)

    child = panel.wait_for_shown_child()

    assert child is not None, f"no preview window in the pane after {PREVIEW_APPEARS_SECONDS} s"
    assert {
        "parent is the pane": child.parent_is_pane,
        "WS_CHILD": child.has_ws_child,
        "WS_POPUP": child.has_ws_popup,
        "belongs to Vantrel": child.owned_by_program,
        "visible": child.visible,
        "position": (child.left, child.top),
        "size": (child.width, child.height),
        "client size (no border)": (child.client_width, child.client_height),
    } == {
        "parent is the pane": True,
        "WS_CHILD": True,
        "WS_POPUP": False,
        "belongs to Vantrel": True,
        "visible": True,
        "position": (0, 0),
        "size": (width, height),
        "client size (no border)": (width, height),
    }
    milliseconds = panel.destroy_pane()
    # The goal is a second (the pane is looked at every 250 ms); a test only
    # asks that the program goes, with room for a busy machine.
    assert milliseconds is not None, "Vantrel still ran 5 s after its pane was destroyed"
    print(f"the preview ended {milliseconds} ms after its pane")
    assert panel.program_exit_code() == 0


@expected_to_show_nothing_on_old_wine
@pytest.mark.parametrize("width, height, separator", PANES)
def test_preview_shows_the_still_picture_at_its_own_size(width, height, separator, fake_control_panel, stage):
    panel = fake_control_panel(width, height, separator)
    assert panel.wait_for_shown_child() is not None, "no preview window in the pane"
    expected = expected_pane(width, height)

    # Painting follows the window's creation; wait until it shows or the
    # time is up, then judge the last look.
    deadline = time.monotonic() + PAINT_SHOWS_SECONDS
    while True:
        shown = panel.pane_on(stage.screenshot())
        if not picture_problems(shown, expected) or time.monotonic() > deadline:
            break
        time.sleep(POLL_SECONDS)

    if shows_only_pane_colour(shown):
        raise PaneShowsNoPicture(f"the {width} x {height} pane shows only its own colour")
    assert picture_problems(shown, expected) == []


def test_preview_refused_while_the_saver_runs_leaves_the_pane_empty(open_window, fake_control_panel, stage):
    open_window("Vantrel_Main")
    panel = fake_control_panel(152, 112)

    exit_code = panel.wait_for_program_end(ENDS_AT_ONCE_SECONDS)

    assert exit_code == 0, f"Vantrel did not end at once (exit code {exit_code})"
    assert panel.child() is None
    assert shows_only_pane_colour(panel.pane_on(stage.screenshot()))


@pytest.mark.parametrize("args", [("/p", "0"), ("/p:0",), ("/p", "STALE")], ids=["/p 0", "/p:0", "stale-handle"])
def test_preview_for_no_window_ends_at_once_without_a_window(args, open_window, run_vantrel, vantrel_copy):
    if "STALE" in args:
        # A handle that named a window once: its process has ended since.
        gone = open_window("Vantrel gone pane")
        end_process(gone.process)
        args = tuple(arg.replace("STALE", str(gone.handle)) for arg in args)
    folder = vantrel_copy(None)

    run = run_vantrel(folder, *args, time_limit=ENDS_AT_ONCE_SECONDS)

    assert run.ended, f"still running after {run.seconds:.1f} s"
    assert run.returncode == 0
    assert run.new_windows == []
