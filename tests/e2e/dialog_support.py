"""What the settings dialog's end-to-end tests share: the control table's
places at 96 DPI in the dialog's client area (Pic_C fills it; each panel's
controls lie inside its two-pixel border), ways to read the screen there, and
the running dialog a test drives."""

from __future__ import annotations

import subprocess
import time
from pathlib import Path
from typing import Callable

from PIL import Image

from harness import REPO_ROOT, Stage

CAPTION = "Vantrelの設定"
WINDOW_UP_SECONDS = 30.0
# The dialog is shown once its load has run; the preview and the list are in
# place by then, but the last paint may take a moment to reach the screen:
# a test begins once the client area shows the same twice this far apart.
SETTLE_LOOK_GAP_SECONDS = 0.1
ENDS_WITHIN_SECONDS = 8.0
RESULTS = REPO_ROOT / "build" / "test-results"
TEXTURE = Image.open(REPO_ROOT / "resources" / "dialog_texture.bmp").convert("RGB")

GREEN, RED, BLUE = (0, 255, 0), (255, 0, 0), (0, 0, 255)

# (left, top, right, bottom) at 96 DPI in the client area.
PIC_C_INNER = (2, 2, 555, 339)
PIC_B0_INNER = (16, 16, 317, 301)
PIC_B1_INNER = (328, 16, 541, 225)
PIC_K = (204, 100, 304, 200)
LIST_1 = (24, 84, 193, 257)
LBL_KEI = (144, 60, 177, 77)
# Captions that are the same in every run: the headings, the buttons, the
# option labels, the slider labels.
CAPTIONS = {
    "画像のﾌｧｲﾙ": (24, 28, 129, 45),
    "ﾌｫﾙﾀﾞを指定...": (24, 60, 133, 77),
    "画像のﾌﾟﾚﾋﾞｭｰ": (204, 60, 304, 77),
    "ﾌｫﾙﾀﾞで指定": (220, 212, 290, 225),
    "ﾌｧｲﾙで指定": (220, 232, 288, 245),
    "ｱｸｼｮﾝ": (336, 28, 429, 45),
    "球の大きさ": (336, 64, 396, 77),
    "爆発の拡散する速さ": (336, 184, 447, 197),
    "設定": (346, 274, 439, 291),
    "ｷｬﾝｾﾙ": (446, 274, 539, 291),
}
# The label buttons, the option marks, the link's first characters and the
# four sliders.
BROWSE_BUTTON = CAPTIONS["ﾌｫﾙﾀﾞを指定..."]
SET_BUTTON = CAPTIONS["設定"]
CANCEL_BUTTON = CAPTIONS["ｷｬﾝｾﾙ"]
FOLDER_MARK = (204, 212, 217, 225)
FILE_MARK = (204, 232, 217, 245)
LINK_START = (196, 316)
SLIDERS = tuple((452, top, 525, top + 17) for top in (60, 100, 140, 180))
FOLDER_PATH = (24, 264, 309, 293)
# Parts of each box where no control lies: only the texture shows there.
BARE_TEXTURE = {
    "Pic_C": ((545, 16, 554, 330), PIC_C_INNER),
    "Pic_B(0)": ((307, 18, 316, 80), PIC_B0_INNER),
    "Pic_B(1)": ((330, 215, 540, 224), PIC_B1_INNER),
}


def scaled(box: tuple[int, int, int, int], scale: float) -> tuple[int, int, int, int]:
    return tuple(int(value * scale + 0.5) for value in box)  # type: ignore[return-value]


def dark_pixels(picture: Image.Image, box: tuple[int, int, int, int]) -> int:
    return sum(1 for pixel in picture.crop(box).getdata() if sum(pixel) < 250)


def texture_mismatches(client: Image.Image, region: tuple[int, int, int, int],
                       origin: tuple[int, int, int, int]) -> int:
    """Pixels of `region` that are not the texture tile laid from the box's
    own inner top-left corner."""
    wrong = 0
    for y in range(region[1], region[3]):
        for x in range(region[0], region[2]):
            if client.getpixel((x, y)) != TEXTURE.getpixel(((x - origin[0]) % 560, (y - origin[1]) % 20)):
                wrong += 1
    return wrong


def write_marked_picture(path: Path, size: tuple[int, int] = (640, 480)) -> None:
    """Top quarter green, below it left half red and right half blue."""
    width, height = size
    picture = Image.new("RGB", size, RED)
    picture.paste(BLUE, (width // 2, height // 4, width, height))
    picture.paste(GREEN, (0, 0, width, height // 4))
    picture.save(path)


def pictures_folder(tmp_path: Path, names: tuple[str, ...]) -> Path:
    folder = tmp_path / "写真"
    folder.mkdir()
    for name in names:
        write_marked_picture(folder / name, (64, 48))
    return folder


def keep_screenshot(picture: Image.Image, name: str) -> None:
    if RESULTS.is_dir():
        picture.save(RESULTS / f"dialog-{name}.png")


class OpenDialog:
    """A running `/c` whose window is up."""

    def __init__(self, stage: Stage, process: subprocess.Popen, window_id: int, describe: Callable, build) -> None:
        self.stage = stage
        self.process = process
        self.window_id = window_id
        self._describe = describe
        self._build = build
        self.facts = self.describe()

    def wait_until_painted(self, seconds: float = WINDOW_UP_SECONDS) -> None:
        """Returns once the client area above the link (whose colour cycles)
        is painted, not one flat colour, and shows the same twice in a row."""
        scale = self.facts.dpi / 96
        still = scaled((0, 0, PIC_C_INNER[2], LINK_START[1] - 16), scale)
        deadline = time.monotonic() + seconds
        shot = self.client_shot().crop(still)
        while time.monotonic() < deadline:
            time.sleep(SETTLE_LOOK_GAP_SECONDS)
            again = self.client_shot().crop(still)
            flat = all(low == high for low, high in again.getextrema())
            if not flat and again.tobytes() == shot.tobytes():
                return
            shot = again
        raise AssertionError(f"the dialog's window was not painted within {seconds} s")

    def describe(self):
        """What Windows knows of the dialog now (WindowFacts)."""
        facts = self._describe(CAPTION)
        if facts is None:
            ended = self.process.poll()
            raise AssertionError("the dialog is gone: " + ("its process still runs" if ended is None else
                                                           f"its process ended with {ended:#x}")
                                 + "\n" + self.stage.errors_of(self.process))
        self.facts = facts
        return facts

    def click(self, x: int, y: int, button: int = 1) -> None:
        """A click at (x, y) of the client area, as 96-DPI pixels."""
        left, top = self.facts.client[:2]
        subprocess.run(["xdotool", "mousemove", str(left + x), str(top + y), "click", str(button)],
                       env=self.stage.env, check=True)

    def click_centre(self, box: tuple[int, int, int, int], button: int = 1) -> None:
        self.click((box[0] + box[2]) // 2, (box[1] + box[3]) // 2, button)

    def choose_folder(self, folder: str) -> None:
        """Picks `folder` (a Windows path, or "--cancel") in the folder browser
        the dialog has open."""
        done = subprocess.run(["wine", str(self._build.folder / "tests" / "e2e" / "choose_folder.exe"), CAPTION,
                               folder], env=self.stage.env, capture_output=True, timeout=300, check=False)
        assert done.stdout.decode(errors="replace").strip() == "ok", done.stdout.decode(errors="replace")

    def wait_for_entries(self, count: int, seconds: float = 20.0) -> tuple[str, ...]:
        """The list's entries once it holds `count` of them."""
        deadline = time.monotonic() + seconds
        while True:
            entries = self.describe().list_entries
            if len(entries) == count or time.monotonic() > deadline:
                return entries
            time.sleep(0.2)

    def click_entry(self, index: int) -> None:
        height = self.facts.list_item_height
        assert height > 0, "the list's line height is unknown"
        list_box = next(child for child in self.facts.children if child.class_name == "ListBox")
        row_top = 2 + height * index  # below the list's border
        assert row_top + height <= list_box.rect[3] - list_box.rect[1] - 2, f"entry {index} is not in sight"
        left, top = self.facts.client[:2]
        self.click(list_box.rect[0] - left + 20, list_box.rect[1] - top + row_top + height // 2)

    def client_shot(self) -> Image.Image:
        left, top, right, bottom = self.facts.client
        return self.stage.screenshot().crop((left, top, right, bottom))

    def settled_shot(self, box: tuple[int, int, int, int], seconds: float = 10.0) -> Image.Image:
        """The client area once `box` of it shows the same twice in a row a
        quarter of a second apart: a preview decoded beside the window has
        arrived, a repaint has reached the screen."""
        deadline = time.monotonic() + seconds
        shot = self.client_shot()
        while time.monotonic() < deadline:
            time.sleep(0.25)
            again = self.client_shot()
            if list(again.crop(box).getdata()) == list(shot.crop(box).getdata()):
                return again
            shot = again
        return shot

    def press_keys(self, *keys: str) -> None:
        # Without a window manager the focus is given directly.
        subprocess.run(["xdotool", "windowfocus", "--sync", str(self.window_id)], env=self.stage.env, check=False,
                       timeout=10)
        for key in keys:
            self.press_in_focus(key)

    def press_in_focus(self, key: str) -> None:
        """A key for whichever of the dialog's controls has the focus."""
        subprocess.run(["xdotool", "key", key], env=self.stage.env, check=True)

    def ended_within(self, seconds: float) -> bool:
        try:
            self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            return False
        return True


