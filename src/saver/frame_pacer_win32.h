#pragma once
// Keeps the frame loop at the display's refresh rate without spinning. Where
// the driver's vsync really waits, the pacer finds the frame already late and
// returns at once; where it does not (or is missing, or a virtual display has
// no vertical blank) the pacer sleeps the rest of the frame, still answering
// input the moment it arrives.

#include <windows.h>

#include <chrono>

namespace vantrel {

class FramePacer {
 public:
  // `dc` gives the display's refresh rate; 60 Hz when it has none to tell.
  explicit FramePacer(HDC dc);
  ~FramePacer();
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // True once the next frame should be drawn.
  bool frame_due() const;
  // Call after each frame is shown: schedules the next one a period later.
  void frame_shown();
  // Sleeps until the next frame is due or a message arrives, whichever comes
  // first (the cursor poll's ticks arrive far more often than frames).
  void wait();

  std::chrono::nanoseconds frame_period() const { return period_; }

 private:
  std::chrono::nanoseconds period_;
  std::chrono::steady_clock::time_point next_frame_;
  bool fine_timer_ = false;  // timeBeginPeriod(1) succeeded and must be undone
};

}  // namespace vantrel
