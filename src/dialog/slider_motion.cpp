#include "dialog/slider_motion.h"

#include <algorithm>

namespace vantrel {

std::optional<int> scrolled_value(ScrollRange range, int current, ScrollCode code, int track_position) {
  int value = current;
  switch (code) {
    case ScrollCode::LineLeft:
    case ScrollCode::PageLeft:
      value = current - 1;
      break;
    case ScrollCode::LineRight:
    case ScrollCode::PageRight:
      value = current + 1;
      break;
    case ScrollCode::Left:
      value = range.minimum;
      break;
    case ScrollCode::Right:
      value = range.maximum;
      break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition:
      value = track_position;
      break;
    case ScrollCode::Other:
      return std::nullopt;
  }
  value = std::clamp(value, range.minimum, range.maximum);
  if (value == current && code != ScrollCode::ThumbPosition) return std::nullopt;
  return value;
}

}  // namespace vantrel
