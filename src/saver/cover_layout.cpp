#include "saver/cover_layout.h"

#include <algorithm>

namespace vantrel {

CoverLayout cover_layout(const std::vector<Monitor>& monitors, const Monitor& fallback) {
  std::vector<Monitor> shown;
  for (const Monitor& monitor : monitors)
    if (monitor.rect.width() > 0 && monitor.rect.height() > 0) shown.push_back(monitor);
  if (shown.empty()) shown.push_back(fallback);

  CoverLayout layout;
  layout.window = shown.front().rect;
  for (const Monitor& monitor : shown) {
    layout.window.left = std::min(layout.window.left, monitor.rect.left);
    layout.window.top = std::min(layout.window.top, monitor.rect.top);
    layout.window.right = std::max(layout.window.right, monitor.rect.right);
    layout.window.bottom = std::max(layout.window.bottom, monitor.rect.bottom);
  }
  const auto in_window = [&](const Monitor& monitor) {
    const ScreenRect& r = monitor.rect;
    return WindowArea{{r.left - layout.window.left, r.top - layout.window.top, r.right - layout.window.left,
                       r.bottom - layout.window.top},
                      monitor.dpi};
  };
  for (const Monitor& monitor : shown) layout.screens.push_back(in_window(monitor));
  const auto primary = std::find_if(shown.begin(), shown.end(), [](const Monitor& m) { return m.primary; });
  layout.scene = in_window(primary != shown.end() ? *primary : shown.front());
  return layout;
}

}  // namespace vantrel
