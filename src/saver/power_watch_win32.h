#pragma once
// What the system says about the display and the power supply, for the
// saver's frame pacing: the display's state (off, on, dimmed), battery saver
// and whether the machine runs on its battery. The system calls back on a
// thread of its own; the state is kept here and the window is told with a
// posted message that carries nothing. WM_POWERBROADCAST is never read:
// another program can post it with any parameters.

#include <windows.h>

#include <mutex>
#include <vector>

#include "saver/pacing_policy.h"

namespace vantrel {

class PowerWatch {
 public:
  // Posted to the window whenever the state may have changed.
  static constexpr UINT kPowerChangedMessage = WM_APP + 3;

  // Asks for the notifications the system offers (Windows 8 and later; on
  // older systems, and where the registration is a stub, the state stays
  // the zero value: mains power, display on).
  explicit PowerWatch(HWND window);
  // Ends the registrations: no callback comes after this.
  ~PowerWatch();
  PowerWatch(const PowerWatch&) = delete;
  PowerWatch& operator=(const PowerWatch&) = delete;

  PowerState state() const;

  // The system's callback; `context` is the watch. Public so that the tests
  // can play the system, whose registration Wine only pretends to make.
  static ULONG CALLBACK on_setting(void* context, ULONG type, void* setting);

 private:
  HWND window_;
  mutable std::mutex mutex_;
  PowerState state_;
  std::vector<void*> registrations_;  // HPOWERNOTIFY
};

}  // namespace vantrel
