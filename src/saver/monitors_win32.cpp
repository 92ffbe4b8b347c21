#include "saver/monitors_win32.h"

#include <windows.h>

#include "platform/dpi_awareness_win32.h"
#include "platform/optional_functions_win32.h"

namespace vantrel {
namespace {

// GetDpiForMonitor of Windows 8.1 on; before it every monitor has the
// system's DPI.
int monitor_dpi(HMONITOR monitor) {
  const auto for_monitor = optional_functions::GetDpiForMonitor();
  UINT x = 0;
  UINT y = 0;
  if (for_monitor && SUCCEEDED(for_monitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && x > 0)
    return static_cast<int>(x);
  return system_dpi();
}

BOOL CALLBACK add_monitor(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
        {{r.left, r.top, r.right, r.bottom}, monitor_dpi(monitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

}  // namespace

std::vector<Monitor> system_monitors() {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

Monitor primary_screen() {
  return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, system_dpi(), true};
}

}  // namespace vantrel
