"""The stage the end-to-end tests play on: an X server, a Wine prefix, and
ways to start Windows programs in it, watch their windows and take pictures.

scripts/test sets the stage up before pytest starts and says so with
VANTREL_HARNESS=1 (DISPLAY, WINEPREFIX and the rest are then exported). Run on
its own (`/usr/bin/python3 -m pytest tests/e2e`), the session sets up the same
stage itself with the shell helpers in scripts/lib, starting a private Xvfb
when no DISPLAY is set, and tears it down at the end.
"""

from __future__ import annotations

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

from PIL import Image

from screen_grab import XDisplay

REPO_ROOT = Path(__file__).resolve().parents[2]
SCRIPTS_LIB = REPO_ROOT / "scripts" / "lib"
DEFAULT_BUILD = REPO_ROOT / "build" / "windows"
DEFAULT_TEST_PREFIX = REPO_ROOT / "build" / "wineprefix-test"

# Seconds between two looks at the window list while a program runs.
WINDOW_POLL_SECONDS = 0.05


@dataclass(frozen=True)
class Window:
    """A mapped top-level X window: Wine maps one for every shown top-level
    Windows window, captioned with the window's text."""

    id: int
    caption: str


@dataclass
class Run:
    """How a program run under Wine went.

    returncode is None when the program was still running at the time limit
    (it has then been killed). seconds is the wall time from start to end (or
    to the time limit). new_windows are the top-level windows that appeared
    while it ran and were not there before it started."""

    returncode: int | None
    seconds: float
    new_windows: list[Window] = field(default_factory=list)

    @property
    def ended(self) -> bool:
        return self.returncode is not None


def windows_path(path: Path) -> str:
    """The path as a Windows program in the prefix sees it: Wine maps the
    Unix root to drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def start_x_server(command: list[str], env: dict[str, str] | None = None,
                   seconds: float = 10.0) -> tuple[subprocess.Popen, str]:
    """Starts an X server (Xvfb, Xephyr) that picks a free display number
    itself and returns it with ":N". `command` is the server and its options,
    without -displayfd."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        [command[0], "-displayfd", str(write_end), *command[1:]], env=env,
        pass_fds=(write_end,), stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], 0.1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip():
        server.kill()
        server.wait()
        raise RuntimeError(f"{command[0]} did not start")
    return server, ":" + number.decode().strip()


def _start_xvfb(screen: str) -> tuple[subprocess.Popen, str]:
    return start_x_server(["Xvfb", "-screen", "0", screen, "-nolisten", "tcp", "-noreset", "+extension", "GLX"])


def _prepared_wine_environment(base: dict[str, str]) -> dict[str, str]:
    """Runs the shell helpers that make the test prefix (once) and returns the
    environment they export, so both ways in share one definition of it."""
    script = ('set -euo pipefail; source "$1/common.sh"; source "$1/display.sh"; '
              'source "$1/wine.sh"; vantrel_wine_env "$2"; vantrel_wine_prefix_ensure; env -0')
    done = subprocess.run(["bash", "-c", script, "bash", str(SCRIPTS_LIB), str(DEFAULT_TEST_PREFIX)],
                          env=base, stdin=subprocess.DEVNULL, capture_output=True, check=False)
    if done.returncode != 0:
        raise RuntimeError("making the Wine prefix failed:\n" + done.stderr.decode(errors="replace"))
    pairs = (entry.split(b"=", 1) for entry in done.stdout.split(b"\0") if b"=" in entry)
    return {key.decode(): value.decode(errors="surrogateescape") for key, value in pairs}


class Stage:
    """One X display and one Wine prefix for the whole test session."""

    def __init__(self) -> None:
        self._xvfb: subprocess.Popen | None = None
        self._own_wine = False
        self._display: XDisplay | None = None
        # What each program started here writes to its standard error (Wine's
        # report of a crash among it), for a failing test to quote.
        self._error_logs = Path(tempfile.mkdtemp(prefix="vantrel-e2e-stderr-"))
        self._started_count = 0
        env = dict(os.environ)
        if env.get("VANTREL_HARNESS") != "1":
            if not env.get("DISPLAY"):
                self._xvfb, env["DISPLAY"] = _start_xvfb(
                    env.get("VANTREL_XVFB_SCREEN", "1280x1024x24"))
            try:
                env = _prepared_wine_environment(env)
            except Exception:
                self.close()
                raise
            self._own_wine = True
            # A persistent server keeps every start as fast as the second one.
            subprocess.run(["wineserver", "-p"], env=env, check=False)
        self.env = env
        try:
            self._display = XDisplay(env["DISPLAY"])
        except Exception:
            self.close()
            raise

    def close(self) -> None:
        if self._display is not None:
            self._display.close()
            self._display = None
        if self._own_wine:
            subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self._own_wine = False
        if self._xvfb is not None:
            self._xvfb.terminate()
            self._xvfb.wait(timeout=10)
            self._xvfb = None
        shutil.rmtree(self._error_logs, ignore_errors=True)

    # Programs ------------------------------------------------------------

    def start(self, program: Path, *args: str, cwd: Path | None = None,
              stdout: int | None = subprocess.DEVNULL,
              extra_env: dict[str, str] | None = None) -> subprocess.Popen:
        """Starts a Windows program; `wine` becomes the Windows process
        itself, so the Popen's pid is the program's. extra_env changes the
        environment of this program alone (LANG and LC_ALL=en_US.UTF-8: an
        English Windows)."""
        self._started_count += 1
        error_log = self._error_logs / f"{self._started_count}-{Path(program).stem}.txt"
        with error_log.open("wb") as errors:
            process = subprocess.Popen(["wine", str(program), *args], env={**self.env, **(extra_env or {})},
                                       cwd=str(cwd or Path(program).parent),
                                       stdin=subprocess.DEVNULL, stdout=stdout, stderr=errors)
        process.error_log = error_log  # type: ignore[attr-defined]
        return process

    @staticmethod
    def errors_of(process: subprocess.Popen, most: int = 2000) -> str:
        """The end of what a program started here wrote to standard error."""
        log = getattr(process, "error_log", None)
        if log is None or not log.is_file():
            return ""
        return log.read_bytes()[-most:].decode(errors="replace")

    def run(self, program: Path, *args: str, timeout: float, cwd: Path | None = None,
            extra_env: dict[str, str] | None = None) -> Run:
        """Runs a Windows program until it ends or `timeout` seconds pass,
        recording every top-level window that appears meanwhile."""
        before = {window.id for window in self.top_level_windows()}
        seen: dict[int, Window] = {}
        started = time.monotonic()
        process = self.start(program, *args, cwd=cwd, extra_env=extra_env)
        try:
            while True:
                for window in self.top_level_windows():
                    if window.id not in before:
                        seen.setdefault(window.id, window)
                try:
                    returncode = process.wait(timeout=WINDOW_POLL_SECONDS)
                    break
                except subprocess.TimeoutExpired:
                    if time.monotonic() - started > timeout:
                        returncode = None
                        break
        finally:
            end_process(process)
        return Run(returncode, time.monotonic() - started, list(seen.values()))

    # The screen -----------------------------------------------------------

    def top_level_windows(self) -> list[Window]:
        """The mapped top-level windows on the display, in stacking order."""
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", ""],
            env=self.env, capture_output=True, text=True, check=False)
        windows = []
        for line in found.stdout.split():
            caption = subprocess.run(["xdotool", "getwindowname", line], env=self.env,
                                     capture_output=True, check=False)
            if caption.returncode == 0:  # a window may vanish between the two calls
                windows.append(Window(int(line), caption.stdout.decode("utf-8", "replace").rstrip("\n")))
        return windows

    def windows_captioned(self, caption: str) -> list[Window]:
        return [window for window in self.top_level_windows() if window.caption == caption]

    def wait_for_window(self, caption: str, seconds: float) -> Window | None:
        """The first mapped top-level window with exactly this caption, once
        one exists; None if none came within `seconds`."""
        deadline = time.monotonic() + seconds
        while True:
            found = self.windows_captioned(caption)
            if found:
                return found[0]
            if time.monotonic() > deadline:
                return None
            time.sleep(WINDOW_POLL_SECONDS)

    def paint_root(self, rgb: tuple[int, int, int]) -> None:
        assert self._display is not None, "the stage is closed"
        self._display.paint_root(rgb)

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        assert self._display is not None, "the stage is closed"
        return self._display.pixel(x, y)

    def cursor_shown(self) -> bool:
        assert self._display is not None, "the stage is closed"
        return self._display.cursor_shown()

    def screenshot(self) -> Image.Image:
        """The whole screen as an RGB picture, taken in a few hundredths of a
        second (see screen_grab.py)."""
        assert self._display is not None, "the stage is closed"
        return self._display.grab_screen()


def end_process(process: subprocess.Popen, grace_seconds: float = 2.0) -> None:
    """Ends a program started by Stage.start if it still runs: first politely
    (Wine turns SIGTERM into a process exit), then by force."""
    if process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=grace_seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=10)


# The settings file's keys in the order the program writes them.
SETTINGS_SECTION = "Section"
FILE_KEY = "ﾌｧｲﾙ名"
FOLDER_KEY = "ﾌｫﾙﾀﾞ名"
FILE_KIND_KEY = "ﾌｧｲﾙ区分"
ACTION_KEYS = ("球の大きさ", "回転の速さ", "爆発の拡散度合い", "爆発の拡散する速さ")


def _number_text(value: int) -> str:
    # A blank before the digits; a minus sign takes the blank's place.
    return f" {value}" if value >= 0 else str(value)


def settings_file_bytes(file_path: str = "", folder: str = "", file_kind: int = 1,
                        action_values: tuple[int, int, int, int] = (3, 25, 5, 5)) -> bytes:
    """A whole Vantrel.ini as a save writes it: code page 932, CRLF line ends,
    all seven keys. Paths are given in their Windows form (see windows_path)."""
    lines = [f"[{SETTINGS_SECTION}]", f"{FILE_KEY}={file_path}", f"{FOLDER_KEY}={folder}",
             f"{FILE_KIND_KEY}={_number_text(file_kind)}"]
    lines += [f"{key}={_number_text(value)}" for key, value in zip(ACTION_KEYS, action_values)]
    return "".join(line + "\r\n" for line in lines).encode("cp932")
