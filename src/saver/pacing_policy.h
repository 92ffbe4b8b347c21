#pragma once
// How often the saver draws, from what the system says about power. A saver
// runs for hours, mostly unwatched and often after the monitor has gone
// dark: nothing is drawn for a display that is off, and fewer frames on
// battery, under battery saver and on a software renderer (where every frame
// costs whole cores). The sphere turns 25 degrees a second, so 60 frames a
// second already look as smooth as more.

#include <chrono>

namespace vantrel {

enum class DisplayState { Off, On, Dimmed };

// Battery saver (energy saver on newer systems): off, on, or at its level of
// highest savings.
enum class BatterySaver { Off, On, HighSavings };

// What the system last said; the zero value is a plugged-in machine with its
// display on, which is what a system that says nothing is taken for.
struct PowerState {
  DisplayState display = DisplayState::On;
  BatterySaver battery_saver = BatterySaver::Off;
  bool on_battery = false;
  friend bool operator==(const PowerState&, const PowerState&) = default;
};

struct Pacing {
  bool paused = false;  // draw nothing until the state changes
  std::chrono::nanoseconds interval{};  // between frames, when not paused
  friend bool operator==(const Pacing&, const Pacing&) = default;
};

// Frames a second at most, by the situation that asks for the fewest.
inline constexpr int kMainsFramesPerSecond = 60;
inline constexpr int kSoftwareFramesPerSecond = 30;
inline constexpr int kBatteryFramesPerSecond = 30;
inline constexpr int kBatterySaverFramesPerSecond = 20;
inline constexpr int kHighSavingsFramesPerSecond = 15;

// The pacing for `power` on a display refreshing `refresh_hertz` times a
// second (no faster than that; 60 when it says 1 or less), drawn by a
// software renderer or not. A dimmed display draws as one that is on.
Pacing frame_pacing(const PowerState& power, int refresh_hertz, bool software_renderer);

}  // namespace vantrel
