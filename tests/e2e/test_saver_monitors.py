"""The saver on a desk of two monitors: it covers both, each shows its own
gradient, and the sphere stands at the primary monitor's centre.

Xvfb cannot place two monitors side by side for Wine (its Xinerama heads
both sit at 0, 0, and Wine 8 ignores RandR 1.5 monitors), but Xephyr can:
nested on the test's Xvfb, with RANDR off and Xinerama on, it reports a
1024 x 768 primary head at 0, 0 and an 800 x 600 head at 1024, 0, and Wine
takes its monitors from those. Wine reads the monitors once, when its
server starts, so the test runs its own server on that display and gives
the stage's back afterwards.
"""

from __future__ import annotations

import shutil
import subprocess
import time

import pytest

from harness import Stage, end_process, settings_file_bytes, start_x_server, windows_path
from screen_grab import XDisplay

PRIMARY = (0, 0, 1024, 768)
SECOND = (1024, 0, 1824, 600)


def _start_xephyr(stage: Stage) -> tuple[subprocess.Popen, str]:
    try:
        return start_x_server(["Xephyr", "-extension", "RANDR", "+xinerama", "-screen", "1024x768", "-screen",
                               "800x600", "-noreset", "-nolisten", "tcp"], env=stage.env, seconds=15)
    except RuntimeError as error:
        pytest.fail(str(error))


def _wineserver(env: dict[str, str], *args: str) -> None:
    subprocess.run(["wineserver", *args], env=env, check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)


@pytest.fixture
def two_monitors(stage: Stage, build):
    """The environment of a Wine whose desktop has the two monitors, and a
    connection to their screen."""
    if shutil.which("Xephyr") is None:
        pytest.fail("Xephyr is not installed (package xserver-xephyr)")
    _wineserver(stage.env, "-k")
    _wineserver(stage.env, "-w")
    server, display = _start_xephyr(stage)
    env = {**stage.env, "DISPLAY": display}
    screen = XDisplay(display)
    try:
        yield env, screen
    finally:
        screen.close()
        _wineserver(env, "-k")
        _wineserver(env, "-w")
        server.terminate()
        server.wait(timeout=10)
        _wineserver(stage.env, "-p")  # the stage's own persistent server again
        # Its services start with the next program and keep that program's
        # output open for as long as they run: started here with output to
        # nowhere, they never hold a later test's pipe that it reads to its end.
        subprocess.run(["wine", str(build.folder / "tests" / "e2e" / "system_state.exe")], env=stage.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                       check=False)


def test_the_saver_covers_both_monitors_each_with_its_own_gradient(two_monitors, build, vantrel_copy,
                                                                    sample_picture):
    env, screen = two_monitors
    folder = vantrel_copy(settings_file_bytes(file_path=windows_path(sample_picture), file_kind=1,
                                              action_values=(6, 25, 5, 5)))
    process = subprocess.Popen(["wine", str(folder / "Vantrel.scr"), "/s"], env=env, cwd=folder,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # The primary monitor's centre shows the sphere within its first
        # whole second; the screen is covered before.
        deadline = time.monotonic() + 60
        shot = None
        while time.monotonic() < deadline:
            candidate = screen.grab_screen()
            if candidate.getpixel((2, 2)) != (0, 0, 0) and candidate.getpixel((512, 384)) != (0, 0, 0):
                shot = candidate
                break
            time.sleep(0.05)
        assert shot is not None, "the screen was never covered with a scene"
        facts = subprocess.run(["wine", str(build.describe_window), "Vantrel_Main"], env=env, capture_output=True,
                               text=True, timeout=60)
        assert "rect 0 0 1824 768" in facts.stdout, facts.stdout

        # The direction is random: lines along rows (the top and bottom edges
        # coloured) or along columns. The second monitor, with nothing in
        # front of its gradient, tells which.
        top_row = {shot.getpixel((x, SECOND[1])) for x in range(SECOND[0], SECOND[2], 10)}
        along_rows = len(top_row) == 1

        def across(area: tuple[int, int, int, int], offset: int) -> list[tuple[int, int, int]]:
            """The gradient's colours from one edge to the other, at `offset`
            from the area's side, away from the sphere."""
            left, top, right, bottom = area
            if along_rows:
                return [shot.getpixel((left + offset, y)) for y in range(top, bottom)]
            return [shot.getpixel((x, top + offset)) for x in range(left, right)]

        edges = []
        for name, area in {"primary": PRIMARY, "second": SECOND}.items():
            line = across(area, 20)
            middle = len(line) // 2
            assert line[0] != (0, 0, 0), f"the {name} monitor is not covered"
            # Black along the monitor's own centre line, each half the mirror
            # of the other.
            assert line[middle] == (0, 0, 0) and line[middle - 1] == (0, 0, 0), f"{name}: {line[middle]}"
            unmirrored = [i for i in range(middle) if max(abs(a - b) for a, b in zip(line[i], line[-1 - i])) > 1]
            assert unmirrored == [], f"the {name} monitor's gradient is not symmetric about its own centre line"
            edges.append(line[0])
        assert max(abs(a - b) for a, b in zip(*edges)) <= 1, f"the monitors' colours differ: {edges}"
        # The sphere (radius 0.06 m: about 227 px at 96 DPI) stands on the
        # primary monitor's centre, and nothing of it on the second monitor.
        assert shot.getpixel((512, 384)) != (0, 0, 0), "no sphere at the primary monitor's centre"
        if along_rows:
            centre_line = {shot.getpixel((x, 300)) for x in range(SECOND[0], SECOND[2], 10)}
        else:
            centre_line = {shot.getpixel((1424, y)) for y in range(SECOND[1], SECOND[3], 10)}
        assert centre_line == {(0, 0, 0)}, "something of the scene shows on the second monitor"
        subprocess.run(["xdotool", "key", "space"], env=env, check=True)
        process.wait(timeout=30)
        assert process.returncode == 0
    finally:
        end_process(process)
