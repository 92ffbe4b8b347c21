#pragma once
// Real pixels for the saver and the preview: their windows are drawn at the
// display's full resolution instead of being scaled by the system. Done per
// thread at run time, not in the manifest, so the settings dialog keeps its
// fixed pixel layout and is scaled by the system.

#include <windows.h>

namespace vantrel {

// Per-monitor (v2) awareness for windows this thread creates from now on,
// where the system has it (Windows 10 1703 and later); before that the whole
// process becomes system-DPI aware.
void make_thread_dpi_aware();

// The window's dots per inch (96 on a display at 100 %).
int window_dpi(HWND window);

}  // namespace vantrel
