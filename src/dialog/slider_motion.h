#pragma once
// How a slider's value moves for what the user did to the bar. The Win32
// window names the system's scroll codes in these words; the rule itself is
// the presenter's.

#include <cstdint>
#include <optional>

#include "dialog/control_table.h"

namespace vantrel {

enum class ScrollCode : std::uint8_t {
  LineLeft,       // the left arrow
  LineRight,      // the right arrow
  PageLeft,       // the trough left of the thumb
  PageRight,      // the trough right of the thumb
  Left,           // Home: the left end
  Right,          // End: the right end
  ThumbTrack,     // the thumb is being dragged
  ThumbPosition,  // the thumb was let go
  Other,          // the end of a scroll, or a code the bar does not use
};

// The value a bar of `range` holding `current` takes for `code`, or nothing
// when nothing is to be reported. Both changes are 1; the thumb's codes take
// `track_position`; the result stays in the range. A value that does not
// change is not reported, except at the thumb's release, which reports its
// final value whatever it is.
std::optional<int> scrolled_value(ScrollRange range, int current, ScrollCode code, int track_position);

}  // namespace vantrel
