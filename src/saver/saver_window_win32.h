#pragma once
// The full-screen saver window: covers the screen topmost with the gradient
// and the scene, and ends by the exit rules.

#include <windows.h>

#include "saver/exit_rules.h"
#include "settings/settings_model.h"

namespace vantrel {

class PowerWatch;

// Told about a run from inside it: the benchmarks play the system's power
// notifications through it (Wine's registration is a stub).
class SaverRunObserver {
 public:
  virtual ~SaverRunObserver() = default;
  // The run's power watch exists (and lives until the window goes).
  virtual void power_watch_ready(PowerWatch& watch) = 0;
};

// Runs the saver until input ends it; returns the process exit code. With no
// picture source chosen it tells the user and ends without covering the screen.
int run_saver_window(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind,
                     SaverRunObserver* observer = nullptr);

}  // namespace vantrel
