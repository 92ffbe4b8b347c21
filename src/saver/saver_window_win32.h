#pragma once
// The full-screen saver window: covers the screen topmost with the gradient
// and the scene, and ends by the exit rules.

#include <windows.h>

#include "saver/exit_rules.h"
#include "settings/settings_model.h"

namespace vantrel {

// Runs the saver until input ends it; returns the process exit code. With no
// picture source chosen it tells the user and ends without covering the screen.
int run_saver_window(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind);

}  // namespace vantrel
