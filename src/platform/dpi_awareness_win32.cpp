#include "platform/dpi_awareness_win32.h"

#include "platform/optional_functions_win32.h"

namespace vantrel {

void make_thread_dpi_aware() {
  if (const auto set_thread = optional_functions::SetThreadDpiAwarenessContext()) {
    if (set_thread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set_thread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
      return;
  }
  SetProcessDPIAware();
}

int window_dpi(HWND window) {
  if (const auto for_window = optional_functions::GetDpiForWindow()) {
    if (const UINT dpi = for_window(window); dpi > 0) return static_cast<int>(dpi);
  }
  return system_dpi();
}

int system_dpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace vantrel
