#pragma once
// Real pixels for every window of the program: each is drawn at the display's
// full resolution instead of being scaled (and blurred) by the system; the
// settings dialog lays itself out by DPI / 96 and again when it moves to a
// display of another DPI. Done per thread at run time, not in the manifest,
// so that a system without per-monitor awareness still gets the best it has.

#include <windows.h>

namespace vantrel {

// Per-monitor (v2) awareness for windows this thread creates from now on,
// where the system has it (Windows 10 1703 and later); before that the whole
// process becomes system-DPI aware.
void make_thread_dpi_aware();

// The window's dots per inch (96 on a display at 100 %).
int window_dpi(HWND window);

// The system's dots per inch: every monitor's before Windows 8.1.
int system_dpi();

}  // namespace vantrel
