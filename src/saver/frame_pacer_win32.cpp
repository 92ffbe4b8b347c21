#include "saver/frame_pacer_win32.h"

#include <timeapi.h>

namespace vantrel {
namespace {

constexpr int kFallbackRefreshHertz = 60;

int refresh_hertz_of(HDC dc) {
  const int hertz = dc ? GetDeviceCaps(dc, VREFRESH) : 0;
  // 0 and 1 mean "the hardware's default": no number to go by.
  return hertz <= 1 ? kFallbackRefreshHertz : hertz;
}

}  // namespace

FramePacer::FramePacer(HDC dc)
    : refresh_hertz_(refresh_hertz_of(dc)),
      schedule_(std::chrono::nanoseconds(1'000'000'000LL / refresh_hertz_), std::chrono::steady_clock::now()) {
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
  schedule_.set_pacing(pacing, std::chrono::steady_clock::now());
  hold_fine_timer(!schedule_.paused());
}

bool FramePacer::frame_due() const { return schedule_.frame_due(std::chrono::steady_clock::now()); }

void FramePacer::frame_shown() { schedule_.frame_shown(std::chrono::steady_clock::now()); }

void FramePacer::wait() {
  const std::optional<std::chrono::nanoseconds> remaining = schedule_.wait_from(std::chrono::steady_clock::now());
  if (!remaining) {
    WaitMessage();
    return;
  }
  if (*remaining <= std::chrono::nanoseconds::zero()) return;
  // Rounded up: a wait of 0 ms would spin through the last fraction.
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(*remaining);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds.count()), QS_ALLINPUT);
}

}  // namespace vantrel
