#pragma once
// When the saver's next frame is due, worked out from the clock readings it
// is given: the frame pacer gives it the steady clock's, the tests their
// own. Frames come a period apart; a late frame counts from when it was
// shown rather than rushing frames to catch up; paused, no frame is ever
// due.

#include <chrono>
#include <optional>

#include "saver/pacing_policy.h"

namespace vantrel {

class FrameSchedule {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  // Frames `period` apart, the first due at `now`.
  FrameSchedule(std::chrono::nanoseconds period, TimePoint now) : period_(period), next_frame_(now) {}

  // A new pace at `now`. A longer period moves the next frame out, a shorter
  // one brings it in (never further out than one new period); coming out of
  // a pause, the next frame is due at once. A pace without an interval keeps
  // the period.
  void set_pacing(const Pacing& pacing, TimePoint now);
  bool paused() const { return paused_; }
  std::chrono::nanoseconds period() const { return period_; }

  // True once the next frame should be drawn; never while paused.
  bool frame_due(TimePoint now) const { return !paused_ && now >= next_frame_; }
  // A frame was shown at `now`: the next one is due a period after the last
  // one's time, or at `now` when that has passed already.
  void frame_shown(TimePoint now);
  // How long to wait from `now` for the next frame, zero when it is due;
  // nothing while paused (then only a message ends the wait).
  std::optional<std::chrono::nanoseconds> wait_from(TimePoint now) const;

 private:
  std::chrono::nanoseconds period_;
  TimePoint next_frame_;
  bool paused_ = false;
};

}  // namespace vantrel
