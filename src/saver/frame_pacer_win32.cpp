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
  period_ = std::chrono::nanoseconds(1'000'000'000LL / hertz);
  next_frame_ = std::chrono::steady_clock::now();
  // The default 15.6 ms timer tick would make a 16.7 ms frame wait either 15.6
  // or 31.2 ms; 1 ms ticks keep frames even for as long as the saver runs.
  fine_timer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

FramePacer::~FramePacer() {
  if (fine_timer_) timeEndPeriod(1);
}

bool FramePacer::frame_due() const { return std::chrono::steady_clock::now() >= next_frame_; }

void FramePacer::frame_shown() {
  next_frame_ += period_;
  const auto now = std::chrono::steady_clock::now();
  // Late (a slow frame, or vsync already waited): count from now rather than
  // rushing frames to catch up.
  if (next_frame_ < now) next_frame_ = now;
}

void FramePacer::wait() {
  const auto remaining = next_frame_ - std::chrono::steady_clock::now();
  if (remaining <= std::chrono::nanoseconds::zero()) return;
  // Rounded up: a wait of 0 ms would spin through the last fraction.
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds.count()), QS_ALLINPUT);
}

}  // namespace vantrel
