#include "saver/pacing_policy.h"

#include <algorithm>

namespace vantrel {

Pacing frame_pacing(const PowerState& power, int refresh_hertz, bool software_renderer) {
  if (power.display == DisplayState::Off) return {true, {}};
  int frames = refresh_hertz > 1 ? std::min(refresh_hertz, kMainsFramesPerSecond) : kMainsFramesPerSecond;
  if (software_renderer) frames = std::min(frames, kSoftwareFramesPerSecond);
  if (power.on_battery) frames = std::min(frames, kBatteryFramesPerSecond);
  if (power.battery_saver == BatterySaver::On) frames = std::min(frames, kBatterySaverFramesPerSecond);
  if (power.battery_saver == BatterySaver::HighSavings) frames = std::min(frames, kHighSavingsFramesPerSecond);
  return {false, std::chrono::nanoseconds(1'000'000'000LL / frames)};
}

}  // namespace vantrel
