#include "dialog/caption_animation.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

DeviceRect interpolate(const DeviceRect& from, const DeviceRect& to, double progress) {
  const double t = std::clamp(progress, 0.0, 1.0);
  const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
  return {mix(from.left, to.left), mix(from.top, to.top), mix(from.right, to.right), mix(from.bottom, to.bottom)};
}

DeviceRect caption_bar_at(const DeviceRect& from, const DeviceRect& to, double progress, int caption_height) {
  DeviceRect bar = interpolate(from, to, progress);
  bar.bottom = std::min(bar.bottom, bar.top + caption_height);
  bar.right = std::max(bar.right, bar.left + 1);
  bar.bottom = std::max(bar.bottom, bar.top + 1);
  return bar;
}

}  // namespace vantrel
