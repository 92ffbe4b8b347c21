"""A connection to the X server of the tests: the screen as a picture, read
straight from the server with XGetImage.

A picture of a 1280 x 1024 screen takes a few hundredths of a second this
way, against about a second through ImageMagick's `import` while a saver
keeps the processors busy: fast enough to photograph a moment of a scene that
changes within a second.
"""

from __future__ import annotations

import ctypes

from PIL import Image

_Z_PIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF


class _XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as this module reads them.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


def _xlib() -> ctypes.CDLL:
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XDefaultScreen.argtypes = [ctypes.c_void_p]
    xlib.XGetImage.restype = ctypes.POINTER(_XImage)
    xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                               ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xlib.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
    xlib.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    return xlib


class _XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class XDisplay:
    """One connection to an X display, open until close().

    Held for a whole test session it also keeps the server from resetting:
    an Xvfb started without -noreset resets whenever its last client leaves,
    which puts the pointer back in the middle of the screen, so a pointer
    moved by xdotool (a client that leaves at once) would not stay where it
    was put while no Windows program runs."""

    def __init__(self, display: str) -> None:
        self._xlib = _xlib()
        self._connection = self._xlib.XOpenDisplay(display.encode())
        if not self._connection:
            raise RuntimeError(f"cannot open the X display {display}")
        self._name = display
        self._xfixes = None

    def cursor_shown(self) -> bool:
        """Whether the pointer shows an image now (a hidden pointer is one of
        no visible pixel), read through the XFIXES extension."""
        if self._xfixes is None:
            self._xfixes = ctypes.CDLL("libXfixes.so.3")
            self._xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
            self._xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
            self._xlib.XFree.argtypes = [ctypes.c_void_p]
        image_pointer = self._xfixes.XFixesGetCursorImage(self._connection)
        if not image_pointer:
            raise RuntimeError(f"XFixesGetCursorImage failed on {self._name}")
        try:
            image = image_pointer.contents
            # One ARGB value a pixel, in a long each.
            return any(image.pixels[i] >> 24 for i in range(image.width * image.height))
        finally:
            self._xlib.XFree(image_pointer)

    def close(self) -> None:
        if self._connection:
            self._xlib.XCloseDisplay(self._connection)
            self._connection = None

    def paint_root(self, rgb: tuple[int, int, int]) -> None:
        """Fills the root window (what no window covers) with a colour."""
        xlib, connection = self._xlib, self._connection
        root = xlib.XDefaultRootWindow(connection)
        xlib.XSetWindowBackground(connection, root, (rgb[0] << 16) | (rgb[1] << 8) | rgb[2])
        xlib.XClearWindow(connection, root)
        xlib.XFlush(connection)

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        """One pixel of the screen, read on its own: far quicker than a whole
        screen."""
        xlib, connection = self._xlib, self._connection
        image_pointer = xlib.XGetImage(connection, xlib.XDefaultRootWindow(connection), x, y, 1, 1, _ALL_PLANES,
                                       _Z_PIXMAP)
        if not image_pointer:
            raise RuntimeError(f"XGetImage failed on {self._name}")
        try:
            value = ctypes.cast(image_pointer.contents.data, ctypes.POINTER(ctypes.c_uint32))[0]
            return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF
        finally:
            xlib.XDestroyImage(image_pointer)

    def grab_screen(self) -> Image.Image:
        """The whole default screen as an RGB picture. Needs a 24- or 32-bit
        TrueColor screen with the usual masks (Xvfb's -screen WxHx24 gives
        one)."""
        xlib, connection = self._xlib, self._connection
        screen = xlib.XDefaultScreen(connection)
        width = xlib.XDisplayWidth(connection, screen)
        height = xlib.XDisplayHeight(connection, screen)
        image_pointer = xlib.XGetImage(connection, xlib.XDefaultRootWindow(connection), 0, 0, width, height,
                                       _ALL_PLANES, _Z_PIXMAP)
        if not image_pointer:
            raise RuntimeError(f"XGetImage failed on {self._name}")
        try:
            image = image_pointer.contents
            if (image.bits_per_pixel != 32 or image.red_mask != 0xFF0000 or image.green_mask != 0x00FF00
                    or image.blue_mask != 0x0000FF or image.byte_order != 0):
                raise RuntimeError(f"unexpected pixel layout on {self._name}: {image.bits_per_pixel} bits, "
                                   f"red mask {image.red_mask:#x}, byte order {image.byte_order}")
            data = ctypes.string_at(image.data, image.bytes_per_line * image.height)
            # Least significant byte first: blue, green, red, unused.
            return Image.frombuffer("RGB", (image.width, image.height), data, "raw", "BGRX",
                                    image.bytes_per_line, 1).copy()
        finally:
            xlib.XDestroyImage(image_pointer)
