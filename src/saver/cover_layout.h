#pragma once
// Where the saver's window lies and what it draws where, from the monitors
// the system reports: the window covers the whole virtual screen (every
// monitor, negative coordinates included), every monitor shows the gradient
// laid out on its own rectangle, and the scene stands on the primary monitor,
// at its centre and its DPI.

#include <vector>

#include "platform/pixel_rect.h"
#include "saver/window_metrics.h"

namespace vantrel {

// In screen pixels, or a window's own.
using ScreenRect = PixelRect;

struct Monitor {
  ScreenRect rect;  // in screen coordinates
  int dpi = 96;
  bool primary = false;
};

// A part of the window, in its own pixels (origin at its top-left, y down),
// with the DPI of the monitor it lies on.
struct WindowArea {
  ScreenRect rect;
  int dpi = 96;
  WindowMetrics metrics() const { return {rect.width(), rect.height(), dpi}; }
  friend bool operator==(const WindowArea&, const WindowArea&) = default;
};

struct CoverLayout {
  ScreenRect window;                // screen coordinates of the whole window
  std::vector<WindowArea> screens;  // one per monitor, in the order given
  WindowArea scene;                 // the primary monitor's area
};

// Monitors with no area are left out. With no primary among them the first
// counts as primary; with none at all, `fallback` (the primary screen's size
// from the system's metrics) is the one monitor.
CoverLayout cover_layout(const std::vector<Monitor>& monitors, const Monitor& fallback);

}  // namespace vantrel
