"""Fixtures of the end-to-end tests: the built programs, the session's stage
(X display and Wine prefix, see harness.py), private copies of Vantrel.scr
with their own settings file, and helper windows that play other programs."""

from __future__ import annotations

import os
import select
import shutil
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterator

import pytest

from dialog_support import CAPTION as DIALOG_CAPTION
from dialog_support import WINDOW_UP_SECONDS as DIALOG_UP_SECONDS
from dialog_support import OpenDialog
from harness import DEFAULT_BUILD, REPO_ROOT, Run, Stage, end_process

# A run still going after this long is killed and reported as not ended.
RUN_TIME_LIMIT_SECONDS = 30.0
# How long a helper window may take to come up.
HELPER_WINDOW_SECONDS = 30.0


@dataclass(frozen=True)
class Build:
    """The Windows build's outputs the tests use."""

    folder: Path
    scr: Path
    make_window: Path
    describe_window: Path


@pytest.fixture(scope="session")
def build() -> Build:
    folder = Path(os.environ.get("VANTREL_BUILD", DEFAULT_BUILD))
    helpers = folder / "tests" / "e2e"
    built = Build(folder, folder / "Vantrel.scr", helpers / "make_window.exe", helpers / "describe_window.exe")
    missing = [str(path) for path in (built.scr, built.make_window, built.describe_window)
               if not path.is_file()]
    if missing:
        pytest.fail("not built: " + ", ".join(missing) +
                    " (cmake --preset windows && cmake --build --preset windows)", pytrace=False)
    return built


@pytest.fixture(scope="session")
def sample_picture() -> Path:
    return REPO_ROOT / "resources" / "sample.jpg"


@pytest.fixture(scope="session")
def stage() -> Iterator[Stage]:
    the_stage = Stage()
    try:
        yield the_stage
    finally:
        the_stage.close()


@pytest.fixture
def started(stage: Stage) -> Iterator[Callable[..., subprocess.Popen]]:
    """Starts Windows programs that end with the test, whatever its outcome,
    so no window of one test can be seen by the next."""
    processes: list[subprocess.Popen] = []

    def start(program: Path, *args: str, **options) -> subprocess.Popen:
        process = stage.start(program, *args, **options)
        processes.append(process)
        return process

    yield start
    for process in reversed(processes):
        end_process(process)


@dataclass(frozen=True)
class HelperWindow:
    handle: int
    process: subprocess.Popen


@pytest.fixture
def open_window(build: Build, started) -> Callable[..., HelperWindow]:
    """Opens a top-level window with the given caption (hidden if asked) in a
    helper process and returns once the window exists. It lives until the
    test ends."""

    def open_(caption: str, hidden: bool = False) -> HelperWindow:
        args = ["--hidden", caption] if hidden else [caption]
        process = started(build.make_window, *args, stdout=subprocess.PIPE)
        # The helper writes its window handle once the window exists.
        line = _read_line(process, HELPER_WINDOW_SECONDS)
        if not line.strip().isdigit():
            end_process(process)
            pytest.fail(f"the helper window {caption!r} did not come up (said {line!r})")
        return HelperWindow(int(line), process)

    return open_


def _read_line(process: subprocess.Popen, seconds: float) -> str:
    assert process.stdout is not None
    ready, _, _ = select.select([process.stdout], [], [], seconds)
    return process.stdout.readline().decode(errors="replace") if ready else ""


@pytest.fixture
def vantrel_copy(build: Build, tmp_path: Path) -> Callable[[bytes | None], Path]:
    """Copies Vantrel.scr into a folder of its own, with the given bytes as its
    Vantrel.ini (no settings file for None), and returns the folder."""
    count = 0

    def copy(settings: bytes | None = None) -> Path:
        nonlocal count
        count += 1
        folder = tmp_path / f"vantrel-{count}"
        folder.mkdir()
        shutil.copy2(build.scr, folder / "Vantrel.scr")
        if settings is not None:
            (folder / "Vantrel.ini").write_bytes(settings)
        return folder

    return copy


@pytest.fixture
def run_vantrel(stage: Stage) -> Callable[..., Run]:
    """Runs the Vantrel.scr in a folder made by vantrel_copy with the given
    arguments (none: the empty argument text) until it ends or the time limit
    passes, watching the windows it shows."""

    def run(folder: Path, *args: str, time_limit: float = RUN_TIME_LIMIT_SECONDS,
            extra_env: dict[str, str] | None = None) -> Run:
        return stage.run(folder / "Vantrel.scr", *args, timeout=time_limit, cwd=folder,
                         extra_env=extra_env)

    return run


# How long the describing helper may take, start of Wine included.
DESCRIBE_WINDOW_SECONDS = 30.0
# describe_window.exe's exit code when no window has the caption.
DESCRIBER_FOUND_NO_WINDOW = 1


@dataclass(frozen=True)
class ChildWindow:
    class_name: str
    rect: tuple[int, int, int, int]
    text: str

    @property
    def centre(self) -> tuple[int, int]:
        left, top, right, bottom = self.rect
        return (left + right) // 2, (top + bottom) // 2


@dataclass(frozen=True)
class WindowFacts:
    """What Windows knows of a top-level window (helpers/describe_window.cpp):
    rect is (left, top, right, bottom) in screen pixels, client the same for
    the client area, shown_above the
    number of shown top-level windows above it in the system's z-order, and
    children its child windows."""

    class_name: str
    topmost: bool
    shown_above: int
    rect: tuple[int, int, int, int]
    client: tuple[int, int, int, int]
    screen: tuple[int, int]
    dpi: int
    children: tuple[ChildWindow, ...]
    list_entries: tuple[str, ...] = ()
    list_item_height: int = 0
    tool_window: bool = False
    list_selected: int = -1  # LB_ERR: nothing


def _parse_window_facts(report: str) -> WindowFacts:
    facts: dict[str, str] = {}
    children = []
    entries = []
    # Not splitlines(): that would also break at the U+2028 inside a text.
    for line in report.split("\n"):
        line = line.rstrip("\r")
        key, _, value = line.partition(" ")
        if key == "entry":
            entries.append(value)
        elif key == "child":
            class_name, left, top, right, bottom, text = value.split(" ", 5)
            children.append(ChildWindow(class_name, (int(left), int(top), int(right), int(bottom)),
                                        text.replace("\u2028", "\n")))
        else:
            facts[key] = value
    numbers = {key: tuple(int(part) for part in facts[key].split())
               for key in ("topmost", "shown_above", "rect", "client", "screen", "dpi")}
    return WindowFacts(facts["class"], numbers["topmost"] == (1,), numbers["shown_above"][0],
                       numbers["rect"], numbers["client"], numbers["screen"], numbers["dpi"][0],
                       tuple(children), tuple(entries), int(facts.get("item_height", "0")),
                       facts.get("toolwindow") == "1", int(facts.get("selected", "-1")))


@pytest.fixture
def describe_window(build: Build, stage: Stage) -> Callable[[str], WindowFacts | None]:
    """What Windows knows of the top-level window with this caption, or None
    when there is none."""

    def describe(caption: str) -> WindowFacts | None:
        process = stage.start(build.describe_window, caption, stdout=subprocess.PIPE)
        try:
            report, _ = process.communicate(timeout=DESCRIBE_WINDOW_SECONDS)
        finally:
            end_process(process)
        if process.returncode == DESCRIBER_FOUND_NO_WINDOW:
            return None
        assert process.returncode == 0, (f"the describing helper failed (exit code {process.returncode}):\n"
                                         + stage.errors_of(process))
        return _parse_window_facts(report.decode("utf-8"))

    return describe


@pytest.fixture
def open_dialog(stage: Stage, started, describe_window, build: Build) -> Callable[..., OpenDialog]:
    """Starts `/c` from a vantrel_copy folder and returns once its window is
    up and painted. It ends with the test."""

    def open_(folder: Path, extra_env: dict[str, str] | None = None) -> OpenDialog:
        # A dialog an earlier test ended may still be going away; while its
        # window is there, a new start would meet the instance guard.
        deadline = time.monotonic() + DIALOG_UP_SECONDS
        while stage.windows_captioned(DIALOG_CAPTION) and time.monotonic() < deadline:
            time.sleep(0.1)
        process = started(folder / "Vantrel.scr", "/c", cwd=folder, extra_env=extra_env)
        window = stage.wait_for_window(DIALOG_CAPTION, DIALOG_UP_SECONDS)
        if window is None or process.poll() is not None:
            pytest.fail(f"no window {DIALOG_CAPTION!r} of this start within {DIALOG_UP_SECONDS} s "
                        f"(exit code {process.poll()})")
        dialog = OpenDialog(stage, process, window.id, describe_window, build)
        dialog.wait_until_painted()
        return dialog

    return open_
