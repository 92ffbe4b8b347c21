#pragma once
// Keeps the frame loop at the pace the power policy allows (at most the
// display's refresh rate) without spinning. Where the driver's vsync really
// waits, the pacer finds the frame already late and returns at once; where it
// does not (or is missing, or a virtual display has no vertical blank) the
// pacer sleeps the rest of the frame, still answering input the moment it
// arrives. Paused, it draws nothing and holds no fine timer: the loop waits
// for messages alone, as an idle program does.

#include <windows.h>

#include <chrono>

#include "saver/frame_schedule.h"
#include "saver/pacing_policy.h"

namespace vantrel {

class FramePacer {
 public:
  // `dc` gives the display's refresh rate; 60 Hz when it has none to tell.
  // Until set_pacing, frames come at that rate.
  explicit FramePacer(HDC dc);
  ~FramePacer();
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // The display's refresh rate, for the power policy.
  int refresh_hertz() const { return refresh_hertz_; }

  // A new pace. Coming out of a pause, the next frame is due at once.
  void set_pacing(const Pacing& pacing);
  bool paused() const { return schedule_.paused(); }

  // True once the next frame should be drawn; never while paused.
  bool frame_due() const;
  // Call after each frame is shown: schedules the next one a period later.
  void frame_shown();
  // Sleeps until the next frame is due or a message arrives, whichever comes
  // first (the cursor poll's ticks arrive far more often than frames); paused,
  // until a message arrives.
  void wait();

  std::chrono::nanoseconds frame_period() const { return schedule_.period(); }
  // Whether the system timer is held at 1 ms for this pacer.
  bool holds_fine_timer() const { return fine_timer_; }

 private:
  void hold_fine_timer(bool hold);

  int refresh_hertz_;
  FrameSchedule schedule_;
  bool fine_timer_ = false;  // timeBeginPeriod(1) succeeded and must be undone
};

}  // namespace vantrel
