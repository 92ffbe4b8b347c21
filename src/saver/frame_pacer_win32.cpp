#include "saver/frame_pacer_win32.h"

#include <timeapi.h>

namespace vantrel {
namespace {

constexpr int kFallbackRefreshHertz = 60;

}  // namespace

FramePacer::FramePacer(HDC dc) {
  int hertz = dc ? GetDeviceCaps(dc, VREFRESH) : 0;
  // 0 and 1 mean "the hardware's default": no number to go by.
  if (hertz <= 1) hertz = kFallbackRefreshHertz;
  refresh_hertz_ = hertz;
  period_ = std::chrono::nanoseconds(1'000'000'000LL / hertz);
  next_frame_ = std::chrono::steady_clock::now();
  hold_fine_timer(true);
}

FramePacer::~FramePacer() { hold_fine_timer(false); }

void FramePacer::hold_fine_timer(bool hold) {
  // The default 15.6 ms timer tick would make a 16.7 ms frame wait either 15.6
  // or 31.2 ms; 1 ms ticks keep frames even. They also keep the processor out
  // of its deepest idle states, so they are held only while frames are paced.
  if (hold && !fine_timer_) {
    fine_timer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  } else if (!hold && fine_timer_) {
    timeEndPeriod(1);
    fine_timer_ = false;
  }
}

void FramePacer::set_pacing(const Pacing& pacing) {
  const bool resumed = paused_ && !pacing.paused;
  paused_ = pacing.paused;
  hold_fine_timer(!paused_);
  if (paused_) return;
  const auto now = std::chrono::steady_clock::now();
  if (pacing.interval > std::chrono::nanoseconds::zero()) {
    // A longer period moves the next frame out; a shorter one brings it in.
    next_frame_ += pacing.interval - period_;
    period_ = pacing.interval;
  }
  // Back from a pause the scene is shown at once, at the point its clock has
  // reached: no frames are made up.
  if (resumed || next_frame_ > now + period_) next_frame_ = now;
}

bool FramePacer::frame_due() const { return !paused_ && std::chrono::steady_clock::now() >= next_frame_; }

void FramePacer::frame_shown() {
  next_frame_ += period_;
  const auto now = std::chrono::steady_clock::now();
  // Late (a slow frame, or vsync already waited): count from now rather than
  // rushing frames to catch up.
  if (next_frame_ < now) next_frame_ = now;
}

void FramePacer::wait() {
  if (paused_) {
    WaitMessage();
    return;
  }
  const auto remaining = next_frame_ - std::chrono::steady_clock::now();
  if (remaining <= std::chrono::nanoseconds::zero()) return;
  // Rounded up: a wait of 0 ms would spin through the last fraction.
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds.count()), QS_ALLINPUT);
}

}  // namespace vantrel
