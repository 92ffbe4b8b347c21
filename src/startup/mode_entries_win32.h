#pragma once
// The settings dialog, which the start-up hands over to for "C".

#include <windows.h>

#include "settings/settings_model.h"

namespace vantrel {

void run_settings_dialog(HINSTANCE instance, SettingsModel& model);

}  // namespace vantrel
