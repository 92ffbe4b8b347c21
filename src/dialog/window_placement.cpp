#include "dialog/window_placement.h"

#include <algorithm>

namespace vantrel {

PixelRect kept_on_work_area(const PixelRect& window, const PixelRect& work_area) {
  const auto onto = [](int start, int length, int low, int high) {
    // Past the far edge first, then back to the near one: the near edge wins.
    return std::max(low, std::min(start, high - length));
  };
  const int left = onto(window.left, window.width(), work_area.left, work_area.right);
  const int top = onto(window.top, window.height(), work_area.top, work_area.bottom);
  return {left, top, left + window.width(), top + window.height()};
}

PixelRect centred_on_work_area(int width, int height, const PixelRect& screen, const PixelRect& work_area) {
  const int left = screen.left + (screen.width() - width) / 2;
  const int top = screen.top + (screen.height() - height) / 2;
  return kept_on_work_area({left, top, left + width, top + height}, work_area);
}

}  // namespace vantrel
