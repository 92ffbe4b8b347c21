#include "platform/dpi_awareness_win32.h"

namespace vantrel {
namespace {

template <typename Function>
Function user32_function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

void make_thread_dpi_aware() {
  // Looked up at run time: Windows 7 and 8 have neither function of Windows 10.
  using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (const auto set_thread = user32_function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext")) {
    if (set_thread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set_thread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE))
      return;
  }
  SetProcessDPIAware();
}

int window_dpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  if (const auto for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow")) {
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
