#include "saver/frame_schedule.h"

#include <algorithm>

namespace vantrel {

void FrameSchedule::set_pacing(const Pacing& pacing, TimePoint now) {
  const bool resumed = paused_ && !pacing.paused;
  paused_ = pacing.paused;
  if (paused_) return;
  if (pacing.interval > std::chrono::nanoseconds::zero()) {
    next_frame_ += pacing.interval - period_;
    period_ = pacing.interval;
  }
  // Back from a pause the scene is shown at once, at the point its clock has
  // reached: no frames are made up.
  if (resumed || next_frame_ > now + period_) next_frame_ = now;
}

void FrameSchedule::frame_shown(TimePoint now) {
  next_frame_ += period_;
  // Late (a slow frame, or vsync already waited): count from now rather than
  // rushing frames to catch up.
  if (next_frame_ < now) next_frame_ = now;
}

std::optional<std::chrono::nanoseconds> FrameSchedule::wait_from(TimePoint now) const {
  if (paused_) return std::nullopt;
  return std::max(next_frame_ - now, std::chrono::steady_clock::duration::zero());
}

}  // namespace vantrel
