#pragma once
// The caption-rectangle animation as geometry: a window's caption bar
// travelling between a point and the window (opening) or back (closing).

#include "dialog/dialog_layout.h"

namespace vantrel {

// How long the animation takes, and how many steps it is drawn in.
inline constexpr int kCaptionAnimationMilliseconds = 200;
inline constexpr int kCaptionAnimationFrames = 12;

// The rectangle between `from` and `to` at `progress` (0 at from, 1 at to),
// each edge moved in proportion.
DeviceRect interpolate(const DeviceRect& from, const DeviceRect& to, double progress);

// The caption bar shown at `progress`: the top `caption_height` pixels of the
// rectangle between `from` and `to` (all of it when it is lower), at least
// one pixel each way so that the start at a point shows.
DeviceRect caption_bar_at(const DeviceRect& from, const DeviceRect& to, double progress, int caption_height);

}  // namespace vantrel
