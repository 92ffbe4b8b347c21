"""The saver as a user meets it: the full-screen topmost window with its
gradient and sphere, the input that ends it and the input that does not, the
messages when no picture source is chosen, and a picture that cannot be read.

Every saver run here is a few seconds long. The screen is 1280 x 1024 at the
prefix's 96 DPI; the pointer is parked at a known place before each start,
because the saver measures mouse movement from where the pointer stood when
it appeared.
"""

from __future__ import annotations

import math
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable

import pytest
from PIL import Image, ImageChops, ImageDraw, ImageStat

from harness import Stage, settings_file_bytes, windows_path
from photos import write_fine_lines_photo, write_phone_photo

MAIN_CAPTION = "Vantrel_Main"
MESSAGE_TITLE = "Vantrel"
NO_FILE_MESSAGE = "ﾌｧｲﾙを指定して下さい ！"
NO_FOLDER_MESSAGE = "ﾌｫﾙﾀﾞを指定して下さい ！"
MESSAGE_BOX_CLASS = "#32770"

# From `wine` to the mapped window; a cold Wine start is slow.
WINDOW_UP_SECONDS = 30.0
# From the mapped window to the first frame on the screen.
FIRST_FRAME_SECONDS = 10.0
# An ended saver is gone well within this. Most of it is Wine's: with no
# window manager on the display, Wine waits 2 s for a hidden window to be
# withdrawn before it destroys it.
ENDS_WITHIN_SECONDS = 8.0
# Input that must not end the saver has had this long to do it. The saver
# reacts within milliseconds, but a saver that has ended still runs, its
# window still mapped, while Wine waits those 2 s (see ENDS_WITHIN_SECONDS):
# only a process still there after them proves that nothing ended it.
STAYS_SECONDS = 3.0
# The sphere is whole for the first second of the scene's clock, which starts
# with the first frame; the burst begins at 1 s. A picture known to be taken
# within this of the clock's start is of that first second, with room for the
# uncertainty of the bound (SaverRun.first_frame_clock_bound).
WHOLE_SPHERE_SHOT_SECONDS = 0.9
# Past the start of the burst: by then a sphere or its fragments would show.
AFTER_BURST_STARTS_SECONDS = 1.5

# The sphere at the default size 3 has the radius 0.03 m; the eye stands 0.6 m
# in front of the image plane, which is shown 1:1 (1 m = dpi / 0.0254 px).
SPHERE_RADIUS_M = 0.03
EYE_DISTANCE_M = 0.6
METRES_PER_INCH = 0.0254
# The outline found may lie this far from the ideal circle: a tessellated
# sphere and whole pixels.
OUTLINE_TOLERANCE_PX = 3
# Within this share of the outline's radius every pixel is the sphere's.
SOLID_CORE_SHARE = 0.88
# A sphere pixel differs from the gradient behind it by more than this in at
# least one component (see PICTURE_COLOURS).
SPHERE_CONTRAST = 10
# A lit pixel of a one-colour picture is that colour scaled by the light; the
# scaled colour may miss the pixel by this much per component (JPEG, rounding).
COLOUR_TOLERANCE = 4

# Solid pictures in light colours of clearly different hues. Even in the
# ambient light alone their pixels are far brighter than the gradient near the
# centre line, where the sphere stands (there the gradient is under a quarter
# of its edge colour), and the hue tells which picture the sphere shows.
PICTURE_COLOURS = {
    "rose.jpg": (250, 170, 170),
    "mint.jpg": (170, 250, 170),
    "sky.bmp": (170, 170, 250),
}

# Where the pointer waits when the saver starts, away from the screen's centre
# and edges, and the moves that keep a saver run going (one axis unchanged).
POINTER_START = (200, 300)
STRAIGHT_MOVES = {"right": (1000, 300), "down": (200, 900)}

Rgb = tuple[int, int, int]


# Starting and ending ------------------------------------------------------


def move_pointer(stage: Stage, x: int, y: int) -> None:
    """Puts the pointer at (x, y) in one jump, as one motion event, and makes
    sure it is there: a test of movement means nothing if it never moved."""
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=stage.env, check=True)
    location = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=stage.env, check=True,
                              capture_output=True, text=True).stdout.split()
    assert f"X={x}" in location and f"Y={y}" in location, f"the pointer is not at {x}, {y}: {location}"


def send_input(stage: Stage, kind: str, detail: str) -> None:
    """`xdotool key <key>` or `xdotool click <button>`, to whatever window
    has the pointer or the focus."""
    subprocess.run(["xdotool", kind, detail], env=stage.env, check=True)


def ended_within(process: subprocess.Popen, seconds: float) -> bool:
    try:
        process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        return False
    return True


@dataclass
class SaverRun:
    process: subprocess.Popen
    # The first screenshot that showed a drawn frame.
    first_frame: Image.Image
    # At most this many seconds of the scene's clock had passed when
    # first_frame was finished. The clock starts with the first frame that
    # shows the picture (the background comes first, while the picture is
    # decoded): so no earlier than the last look that found no scene, and
    # the bound is the time since that look.
    first_frame_clock_bound: float
    # time.monotonic() when the scene was first seen: the scene's clock had
    # reached at least 0 and at most scene_clock_bound then. Seen by a few
    # pixels read on their own, this is known more closely than the
    # screenshot's time.
    scene_seen_at: float
    scene_clock_bound: float


CYCLE_SECONDS = 17.0  # the scene's cycle: whole for its first second, then the burst
WHOLE_SECONDS = 1.0
LOOK_CYCLES = 4  # a loaded machine gets this many cycles to look in time


def looks_while_whole(stage: Stage, saver: SaverRun, looks: int = 1, gap: float = 0.0, from_cycle: int = 0,
                      usable: Callable[[list[tuple[Image.Image, float]]], bool] = lambda taken: True
                      ) -> list[tuple[Image.Image, float]]:
    """`looks` screenshots, `gap` seconds apart, each with the monotonic time
    of its middle, all surely taken while the sphere was whole: within the
    first second of a cycle, whatever the uncertainty of the scene's clock.
    A look that comes too late (a busy machine), or looks the caller cannot
    use, are taken again at the start of the next cycle, so a slow machine
    costs time, not the test."""
    for cycle in range(from_cycle, from_cycle + LOOK_CYCLES):
        cycle_start = saver.scene_seen_at + CYCLE_SECONDS * cycle
        if time.monotonic() < cycle_start:
            time.sleep(cycle_start - time.monotonic())
        taken = []
        for index in range(looks):
            before = time.monotonic()
            shot = stage.screenshot()
            taken.append((shot, (before + time.monotonic()) / 2))
            if index + 1 < looks:
                time.sleep(gap)
        latest_clock = time.monotonic() - cycle_start + saver.scene_clock_bound
        if latest_clock < WHOLE_SECONDS and usable(taken):
            return taken
    pytest.fail(f"in {LOOK_CYCLES} cycles the machine never took {looks} usable looks within the sphere's whole "
                f"second (the scene's start known to {saver.scene_clock_bound:.2f} s)")


@pytest.fixture
def start_saver(stage: Stage, started) -> Callable[..., SaverRun]:
    """Starts the Vantrel.scr of a vantrel_copy folder with the pointer at
    POINTER_START and returns once its window is mapped and its first frame
    is on the screen (with with_scene, the first frame that shows something
    in front of the gradient). The run ends with the test, whatever its
    outcome."""

    def start(folder: Path, *args: str, with_scene: bool = False) -> SaverRun:
        move_pointer(stage, *POINTER_START)
        width, height = stage.screenshot().size
        # The gradient is black along the screen's middle line, the picture on
        # the sphere is not: a few pixels there, read on their own, show the
        # scene's arrival within milliseconds even on a busy machine, where
        # judging a whole screenshot at every look would leave the scene's
        # start uncertain by more than the sphere's whole second.
        probes = [(width // 2 + dx, height // 2 + dy) for dx, dy in ((0, 0), (-8, 0), (8, 0), (0, -8), (0, 8))]

        def scene_may_show() -> bool:
            return not with_scene or any(max(stage.pixel(*probe)) > 40 for probe in probes)

        last_look_without_scene = time.monotonic()
        process = started(folder / "Vantrel.scr", *args, cwd=folder)
        deadline = time.monotonic() + WINDOW_UP_SECONDS + FIRST_FRAME_SECONDS
        while True:
            look = time.monotonic()
            if scene_may_show():
                seen = time.monotonic()
                shot = stage.screenshot()
                grabbed = time.monotonic()  # the judging below is no part of the clock's uncertainty
                if (shows_a_frame(shot) and (not with_scene or has_scene(shot))
                        and stage.windows_captioned(MAIN_CAPTION)):
                    if not with_scene:
                        seen = grabbed
                    return SaverRun(process, shot, grabbed - last_look_without_scene, seen,
                                    seen - last_look_without_scene)
            last_look_without_scene = look
            if process.poll() is not None:
                pytest.fail(f"the saver ended by itself (exit code {process.returncode})")
            if look > deadline:
                pytest.fail(f"no window {MAIN_CAPTION!r} with a frame on the screen within "
                            f"{WINDOW_UP_SECONDS + FIRST_FRAME_SECONDS} s")
            time.sleep(0.005)

    return start


# What the screen shows ----------------------------------------------------


@dataclass(frozen=True)
class Background:
    """The gradient as the screen shows it: one colour per pixel row
    (along_rows, top to bottom) or per pixel column (left to right)."""

    along_rows: bool
    lines: tuple[Rgb, ...]

    def picture(self, size: tuple[int, int]) -> Image.Image:
        width, height = size
        strip = Image.new("RGB", (1, height) if self.along_rows else (width, 1))
        strip.putdata(list(self.lines))
        return strip.resize(size, Image.NEAREST)


def difference_mask(shot: Image.Image, expected: Image.Image) -> Image.Image:
    """Per pixel, the largest difference of any one colour component."""
    red, green, blue = ImageChops.difference(shot, expected).split()
    return ImageChops.lighter(ImageChops.lighter(red, green), blue)


def read_background(shot: Image.Image) -> Background:
    """The gradient read along the left edge (a colour per row) or along the
    top edge (a colour per column), whichever explains more of the screen:
    the direction is random, and the scene stands only in the middle."""
    width, height = shot.size
    candidates = [Background(True, tuple(shot.crop((0, 0, 1, height)).getdata())),
                  Background(False, tuple(shot.crop((0, 0, width, 1)).getdata()))]

    def unexplained(background: Background) -> int:
        return sum(difference_mask(shot, background.picture(shot.size)).histogram()[1:])

    return min(candidates, key=unexplained)


def shows_a_frame(shot: Image.Image) -> bool:
    """Whether the screen shows a frame of the saver: the gradient's coloured
    edges, and nothing but the gradient outside the middle of the screen,
    where the scene stands. Before the first frame the saver's window is
    black, or not yet painted over what was there."""
    width, height = shot.size
    if max(shot.getpixel((0, 0)) + shot.getpixel((width - 1, height - 1))) == 0:
        return False  # the cheap answer for most looks
    background = read_background(shot)
    box = difference_mask(shot, background.picture(shot.size)).getbbox()
    return box is None or (box[0] >= width / 4 and box[1] >= height / 4 and
                           box[2] <= width * 3 / 4 and box[3] <= height * 3 / 4)


def has_scene(shot: Image.Image) -> bool:
    """Whether anything stands in front of the gradient."""
    return difference_mask(shot, read_background(shot).picture(shot.size)).getbbox() is not None


def gradient_problems(background: Background) -> list[str]:
    """How the lines fail to be a colour at both edges falling linearly to
    black at the centre line and mirrored about it."""
    lines = background.lines
    count = len(lines)
    half = count // 2
    edge = lines[0]
    problems = []
    if max(edge) == 0:
        problems.append("the edges are black: no gradient")
    if max(edge + lines[-1]) > 254:
        problems.append(f"an edge component above 254: {edge}, {lines[-1]}")
    unmirrored = [i for i in range(half) if max(abs(a - b) for a, b in zip(lines[i], lines[count - 1 - i])) > 1]
    if unmirrored:
        problems.append(f"{len(unmirrored)} lines differ from their mirror image by more than 1, the first "
                        f"{unmirrored[0]}: {lines[unmirrored[0]]} against {lines[count - 1 - unmirrored[0]]}")
    if lines[half - 1] != (0, 0, 0) or lines[half] != (0, 0, 0):
        problems.append(f"not black at the centre line: {lines[half - 1]}, {lines[half]}")
    rising = [i for i in range(half - 1) if any(a < b for a, b in zip(lines[i], lines[i + 1]))]
    if rising:
        problems.append(f"brighter towards the centre at line {rising[0] + 1}")
    # The whole part of a linear fall: within two levels of the straight line
    # from the edge colour to black.
    off_line = [i for i in range(half)
                if any(abs(c - e * (1 - i / half)) > 2 for c, e in zip(lines[i], edge))]
    if off_line:
        problems.append(f"not a linear fall at line {off_line[0]}: {lines[off_line[0]]} from {edge}")
    return problems


def sphere_outline_radius_px(dpi: int) -> float:
    """Where the sphere's outline meets the image plane, seen from the eye."""
    metres = EYE_DISTANCE_M * math.tan(math.asin(SPHERE_RADIUS_M / EYE_DISTANCE_M))
    return metres * dpi / METRES_PER_INCH


def scaled_picture_colour(pixel: Rgb) -> str | None:
    """The picture whose colour, scaled by a light level, is this pixel."""
    for name, colour in PICTURE_COLOURS.items():
        level = sum(p * c for p, c in zip(pixel, colour)) / sum(c * c for c in colour)
        if all(abs(p - level * c) <= COLOUR_TOLERANCE for p, c in zip(pixel, colour)):
            return name
    return None


def sphere_problems(shot: Image.Image, background: Background, dpi: int) -> list[str]:
    """How the scene in front of the gradient fails to be a whole sphere of
    the expected size in the middle of the screen, showing a picture."""
    width, height = shot.size
    centre_x, centre_y = width / 2, height / 2
    radius = sphere_outline_radius_px(dpi)
    differing = difference_mask(shot, background.picture(shot.size))
    problems = []

    found = differing.getbbox()
    expected = (centre_x - radius, centre_y - radius, centre_x + radius, centre_y + radius)
    if found is None:
        return ["nothing in front of the gradient"]
    if any(abs(a - b) > OUTLINE_TOLERANCE_PX for a, b in zip(found, expected)):
        problems.append(f"the scene covers {found}, a sphere of radius {radius:.1f} px in the middle "
                        f"{tuple(round(v, 1) for v in expected)}")

    core = SOLID_CORE_SHARE * radius
    mask = Image.new("L", shot.size, 0)
    ImageDraw.Draw(mask).ellipse((centre_x - core, centre_y - core, centre_x + core, centre_y + core), fill=255)
    weakest = ImageStat.Stat(differing, mask).extrema[0][0]
    if weakest <= SPHERE_CONTRAST:
        problems.append(f"within {core:.0f} px of the centre a pixel differs from the gradient by only {weakest}")

    # The front of the sphere faces the viewer; the picture is one colour.
    centre_pixel = shot.getpixel((width // 2, height // 2))
    if scaled_picture_colour(centre_pixel) is None:
        problems.append(f"the sphere's centre {centre_pixel} shows none of the pictures {PICTURE_COLOURS}")
    return problems


# Settings -------------------------------------------------------------------


@pytest.fixture
def picture_folder(tmp_path: Path) -> Path:
    folder = tmp_path / "pictures"
    folder.mkdir()
    for name, colour in PICTURE_COLOURS.items():
        picture = Image.new("RGB", (64, 48), colour)
        if name.endswith(".jpg"):
            picture.save(folder / name, quality=95)
        else:
            picture.save(folder / name)
    return folder


@pytest.fixture
def folder_mode_settings(picture_folder: Path) -> bytes:
    return settings_file_bytes(folder=windows_path(picture_folder), file_kind=0)


# The tests ----------------------------------------------------------------


def test_saver_covers_the_screen_topmost_with_the_gradient_and_a_whole_sphere_in_the_middle(
        stage, vantrel_copy, folder_mode_settings, start_saver, open_window, describe_window, tmp_path):
    # A window the user was working in when the saver started.
    open_window("Vantrel test: earlier window")
    saver = start_saver(vantrel_copy(folder_mode_settings), "/s", with_scene=True)
    # The sphere bursts one second into the scene: a picture of the first
    # second shows it whole.
    shot = saver.first_frame
    if saver.first_frame_clock_bound >= WHOLE_SPHERE_SHOT_SECONDS:
        shot = looks_while_whole(stage, saver)[0][0]
    shot.save(tmp_path / "first-frame.png")  # kept by pytest for a look after a failure

    assert len(stage.windows_captioned(MAIN_CAPTION)) == 1
    facts = describe_window(MAIN_CAPTION)
    assert facts is not None
    width, height = shot.size
    assert (facts.topmost, facts.shown_above, facts.rect, facts.screen) == (True, 0, (0, 0, width, height),
                                                                            (width, height))

    background = read_background(shot)
    assert gradient_problems(background) == []
    # Every pixel away from the sphere is the gradient's: nothing else shows.
    assert sphere_problems(shot, background, facts.dpi) == []

    # A window opened over the running saver stays below it. (Without a
    # window manager X stacks the newer window on top; the system's z-order is
    # what a real screen follows.)
    open_window("Vantrel test: later window")
    later = describe_window(MAIN_CAPTION)
    assert later is not None and (later.topmost, later.shown_above) == (True, 0)
    assert saver.process.poll() is None


@pytest.mark.parametrize("kind, detail", [("key", "a"), ("key", "Alt_L"), ("click", "1"), ("click", "3")],
                         ids=["key-a", "system-key-alt", "left-click", "right-click"])
def test_any_key_or_click_ends_the_saver(kind, detail, stage, vantrel_copy, folder_mode_settings, start_saver):
    saver = start_saver(vantrel_copy(folder_mode_settings), "/s")
    assert saver.process.poll() is None

    send_input(stage, kind, detail)

    assert ended_within(saver.process, ENDS_WITHIN_SECONDS)
    assert saver.process.returncode == 0
    assert stage.windows_captioned(MAIN_CAPTION) == []


@pytest.mark.parametrize("straight", STRAIGHT_MOVES.values(), ids=STRAIGHT_MOVES.keys())
def test_a_straight_move_keeps_the_saver_and_a_diagonal_move_ends_it(
        straight, stage, vantrel_copy, folder_mode_settings, start_saver):
    saver = start_saver(vantrel_copy(folder_mode_settings), "/s")

    move_pointer(stage, *straight)
    time.sleep(STAYS_SECONDS)
    assert saver.process.poll() is None, "a move along one axis ended the saver"
    assert stage.windows_captioned(MAIN_CAPTION) != []

    # Away from the start on both axes.
    move_pointer(stage, straight[0] + 50, straight[1] + 50)
    assert ended_within(saver.process, ENDS_WITHIN_SECONDS), "a diagonal move did not end the saver"
    assert saver.process.returncode == 0


def test_a_plain_run_ignores_the_mouse_and_ends_on_a_key(stage, vantrel_copy, folder_mode_settings,
                                                         start_saver):
    saver = start_saver(vantrel_copy(folder_mode_settings))

    # Two moves, so that the first one cannot count as a mere reference point.
    for x, y in ((900, 800), (300, 600)):
        move_pointer(stage, x, y)
    time.sleep(STAYS_SECONDS)
    assert saver.process.poll() is None, "mouse movement ended a plain run"
    assert stage.windows_captioned(MAIN_CAPTION) != []

    send_input(stage, "key", "a")
    assert ended_within(saver.process, ENDS_WITHIN_SECONDS)
    assert saver.process.returncode == 0


JAPANESE = None  # the stage's own locale
ENGLISH = {"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"}

# Each case sets the other source to something valid: only the chosen mode's
# source counts. A chosen file or folder that no longer exists counts as none.
# The message is the same on an English system, whose code page has no kana.
MISSING_SOURCES = {
    "no-file": (1, "", "pictures", NO_FILE_MESSAGE, JAPANESE),
    "file-gone": (1, "gone.jpg", "pictures", NO_FILE_MESSAGE, JAPANESE),
    "no-folder": (0, "pictures/rose.jpg", "", NO_FOLDER_MESSAGE, JAPANESE),
    "folder-gone": (0, "pictures/rose.jpg", "gone", NO_FOLDER_MESSAGE, JAPANESE),
    "no-file-english": (1, "", "pictures", NO_FILE_MESSAGE, ENGLISH),
}


@pytest.mark.parametrize("file_kind, file_name, folder_name, message, locale", MISSING_SOURCES.values(),
                         ids=MISSING_SOURCES.keys())
def test_a_missing_picture_source_shows_a_message_and_ends_after_ok(
        file_kind, file_name, folder_name, message, locale, stage, started, vantrel_copy, picture_folder,
        describe_window, tmp_path):
    def windows_name(name: str) -> str:
        return windows_path(tmp_path / name) if name else ""

    folder = vantrel_copy(settings_file_bytes(file_path=windows_name(file_name),
                                              folder=windows_name(folder_name), file_kind=file_kind))
    move_pointer(stage, *POINTER_START)
    process = started(folder / "Vantrel.scr", "/s", cwd=folder, extra_env=locale)

    assert stage.wait_for_window(MESSAGE_TITLE, WINDOW_UP_SECONDS) is not None
    facts = describe_window(MESSAGE_TITLE)
    assert facts is not None
    assert facts.class_name == MESSAGE_BOX_CLASS
    assert message in [child.text for child in facts.children if child.class_name == "Static"]
    buttons = [child for child in facts.children if child.class_name == "Button"]
    assert [button.text for button in buttons] == ["OK"]
    assert stage.windows_captioned(MAIN_CAPTION) == []
    assert process.poll() is None, "the program did not wait for OK"

    move_pointer(stage, *buttons[0].centre)
    send_input(stage, "click", "1")
    assert ended_within(process, ENDS_WITHIN_SECONDS)
    assert process.returncode == 0
    assert stage.windows_captioned(MAIN_CAPTION) == []


@pytest.fixture
def unreadable_picture(tmp_path: Path) -> Path:
    picture = tmp_path / "unreadable" / "garbage.jpg"
    picture.parent.mkdir()
    picture.write_bytes(bytes(range(256)) * 64)
    return picture


@pytest.mark.parametrize("source", ["unreadable-file", "empty-folder"])
def test_without_a_readable_picture_the_saver_shows_only_the_gradient_and_ends_on_a_key(
        source, stage, vantrel_copy, start_saver, unreadable_picture, tmp_path):
    if source == "unreadable-file":
        settings = settings_file_bytes(file_path=windows_path(unreadable_picture), file_kind=1)
    else:
        empty = tmp_path / "empty"
        empty.mkdir()
        settings = settings_file_bytes(folder=windows_path(empty), file_kind=0)
    saver = start_saver(vantrel_copy(settings), "/s")

    time.sleep(AFTER_BURST_STARTS_SECONDS)
    shot = stage.screenshot()
    shot.save(tmp_path / "gradient-only.png")
    background = read_background(shot)
    assert gradient_problems(background) == []
    assert difference_mask(shot, background.picture(shot.size)).getbbox() is None, \
        "something stands in front of the gradient"

    send_input(stage, "key", "a")
    assert ended_within(saver.process, ENDS_WITHIN_SECONDS)
    assert saver.process.returncode == 0


# The scene's timeline: whole for 1 s, burst out until 13 s, gathered by 17 s.
BURST_AT_SECONDS = 7.0
# A look at the burst this much late still falls well before the gathering.
BURST_LOOK_LATE_SECONDS = 2.0
SPIN_DEGREES_PER_SECOND = 25.0  # the default rotation speed
SLOWEST_FRAME_SECONDS = 1 / 10  # the pace of a software renderer on a busy machine


@pytest.fixture
def half_and_half_settings(tmp_path: Path) -> bytes:
    """A picture whose left half is rose and right half mint: where the two
    meet on the sphere shows how far it has turned."""
    picture = Image.new("RGB", (128, 64), PICTURE_COLOURS["rose.jpg"])
    picture.paste(PICTURE_COLOURS["mint.jpg"], (64, 0, 128, 64))
    path = tmp_path / "halves.bmp"
    picture.save(path)
    return settings_file_bytes(file_path=windows_path(path), file_kind=1)


def boundary(shot: Image.Image, radius: float) -> tuple[float, str] | None:
    """Where the two halves of the picture meet along the sphere's middle row,
    within 0.8 of the radius of the middle, and which half is on the left
    there. The halves meet twice around the sphere, half a turn apart: at
    most one of the two meetings lies on the front so near the middle."""
    width, height = shot.size
    y = height // 2
    kinds = []
    for x in range(int(width / 2 - radius * 0.8), int(width / 2 + radius * 0.8)):
        kinds.append((x, scaled_picture_colour(shot.getpixel((x, y)))))
    # The texture is filtered: a pixel or two between the halves are of neither.
    last = None
    for x, kind in kinds:
        if kind not in ("rose.jpg", "mint.jpg"):
            continue
        if last is not None and kind != last[1]:
            return ((last[0] + x) / 2 + 0.5, last[1]) if x - last[0] <= 16 else None
        last = (x, kind)
    return None


def cycle_of(saver: SaverRun, moment: float) -> int:
    """The scene's cycle that `moment` (time.monotonic()) surely lies in or after."""
    return int((moment - saver.scene_seen_at) // CYCLE_SECONDS)


def test_the_running_scene_follows_its_timeline_and_spins_to_the_right(stage, vantrel_copy, half_and_half_settings,
                                                                       start_saver, describe_window, tmp_path):
    saver = start_saver(vantrel_copy(half_and_half_settings), "/s", with_scene=True)
    facts = describe_window(MAIN_CAPTION)
    assert facts is not None
    radius = sphere_outline_radius_px(facts.dpi)
    width = saver.first_frame.size[0]

    # The spin: two looks half a second apart, both within a whole
    # second of the same cycle, each timed by the middle of its grab, and both
    # showing the same meeting of the halves near the middle (in some cycles
    # the turn has carried both meetings too far to the side).
    def one_meeting_in_both(looks: list[tuple[Image.Image, float]]) -> bool:
        found = [boundary(shot, radius) for shot, _ in looks]
        return None not in found and found[0][1] == found[1][1]

    (first, first_at), (second, second_at) = looks_while_whole(stage, saver, looks=2, gap=0.5,
                                                                usable=one_meeting_in_both)
    (first_x, _), (second_x, _) = boundary(first, radius), boundary(second, radius)
    assert second_x > first_x, "the sphere turns the wrong way (its front should move to the right)"
    turned = math.degrees(math.asin((second_x - width / 2) / radius) - math.asin((first_x - width / 2) / radius))
    rate = turned / (second_at - first_at)
    # Each look may show a frame up to a frame old: at the pace a software
    # renderer keeps on a busy machine, that alone moves the rate this much.
    frame_share = SPIN_DEGREES_PER_SECOND * 2 * SLOWEST_FRAME_SECONDS / (second_at - first_at)
    assert abs(rate - SPIN_DEGREES_PER_SECOND) <= 5 + frame_share, f"{rate:.1f} degrees a second"

    # Burst: fragments far outside the sphere's outline, at the height of the
    # burst of that cycle or, on a machine too busy to look in time, of a later one.
    cycle = cycle_of(saver, first_at)
    for _ in range(LOOK_CYCLES):
        burst_at = saver.scene_seen_at + CYCLE_SECONDS * cycle + BURST_AT_SECONDS
        time.sleep(max(0.0, burst_at - time.monotonic()))
        burst = stage.screenshot()
        if time.monotonic() - burst_at <= BURST_LOOK_LATE_SECONDS:
            break
        cycle += 1
    else:
        pytest.fail(f"in {LOOK_CYCLES} cycles the machine never looked at the burst in time")
    burst.save(tmp_path / "burst.png")
    background = read_background(saver.first_frame)
    differing = difference_mask(burst, background.picture(burst.size))
    height = burst.size[1]
    far_out = sum(1 for x in range(0, width, 4) for y in range(0, height, 4)
                  if math.hypot(x - width / 2, y - height / 2) > radius * 1.6 and differing.getpixel((x, y)) > 10)
    assert far_out > 50, "no fragments far out at the height of the burst"

    # Gathered again when the cycle begins anew: a whole sphere once more.
    whole = looks_while_whole(stage, saver, from_cycle=cycle + 1)[0][0]
    whole.save(tmp_path / "whole-again.png")
    assert sphere_problems(whole, background, facts.dpi) == []
    assert saver.process.poll() is None


# The picture as a photo viewer would show it ----------------------------------


def luminance_square(shot: Image.Image, half: int) -> list[list[float]]:
    """The luminance of the square of side 2 * half in the middle of the screen."""
    width, height = shot.size
    grey = shot.convert("RGB").crop((width // 2 - half, height // 2 - half, width // 2 + half,
                                     height // 2 + half))
    return [[0.2126 * r + 0.7152 * g + 0.0722 * b for r, g, b in
             (grey.getpixel((x, y)) for x in range(2 * half))] for y in range(2 * half)]


def roughness(square: list[list[float]]) -> float:
    """The mean difference between neighbouring pixels: a few units for an even
    tone under the sphere's light, tens for a picture that sparkles."""
    side = len(square)
    total = sum(abs(square[y][x + 1] - square[y][x]) + abs(square[y + 1][x] - square[y][x])
                for y in range(side - 1) for x in range(side - 1))
    return total / 2 / (side - 1) ** 2


def test_a_photo_of_fine_lines_reads_as_an_even_tone_on_the_turning_sphere(stage, vantrel_copy, start_saver,
                                                                          tmp_path):
    photo = tmp_path / "lines.jpg"
    write_fine_lines_photo(photo)
    saver = start_saver(vantrel_copy(settings_file_bytes(file_path=windows_path(photo), file_kind=1)), "/s",
                        with_scene=True)
    (first, _), (second, _) = looks_while_whole(stage, saver, looks=2, gap=0.15)
    first.save(tmp_path / "fine-lines.png")
    # 30 px either side of the centre: well inside the 113 px sphere.
    a = luminance_square(first, 30)
    b = luminance_square(second, 30)
    change = sum(abs(p - q) for row_a, row_b in zip(a, b) for p, q in zip(row_a, row_b)) / 60 ** 2
    print(f"roughness {roughness(a):.1f} and {roughness(b):.1f}, change {change:.1f}")
    assert roughness(a) < 3 and roughness(b) < 3, f"the sphere sparkles: {roughness(a):.1f}, {roughness(b):.1f}"
    assert change < 4, f"the picture jumps {change:.1f} levels a pixel from frame to frame"


def test_a_phone_photo_stands_upright_on_the_sphere(stage, vantrel_copy, start_saver, tmp_path):
    photo = tmp_path / "phone.jpg"
    write_phone_photo(photo)
    saver = start_saver(vantrel_copy(settings_file_bytes(file_path=windows_path(photo), file_kind=1)), "/s",
                        with_scene=True)
    shot = looks_while_whole(stage, saver)[0][0]
    width, height = shot.size
    radius = sphere_outline_radius_px(96)
    above = shot.getpixel((width // 2, int(height / 2 - radius / 2)))
    below = shot.getpixel((width // 2, int(height / 2 + radius / 2)))
    left = shot.getpixel((int(width / 2 - radius / 2), height // 2 - 8))
    right = shot.getpixel((int(width / 2 + radius / 2), height // 2 - 8))
    assert above[0] > 2 * above[2] and below[2] > 2 * below[0], f"not upright: {above} above, {below} below"
    assert left[0] > 2 * left[2] and right[0] > 2 * right[2], "the upper half is not red from side to side"
