#pragma once
// The settings dialog, which the start-up hands over to for "C".

#include <windows.h>

#include "settings/settings_model.h"

namespace vantrel {

// Opens the dialog "Vantrelの設定" centred on the screen and returns when it
// has closed. `model` holds the loaded settings; the dialog changes it as the
// user works.
void run_settings_dialog(HINSTANCE instance, SettingsModel& model);

}  // namespace vantrel
