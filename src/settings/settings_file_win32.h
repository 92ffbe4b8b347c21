#pragma once
// The settings file beside the running program, read and written with the
// platform's file system and code page 932 tables.

#include "settings/settings_model.h"
#include "settings/settings_store.h"

namespace vantrel {

// Load_Settings from `<program folder>\Vantrel.ini`. Never fails.
void load_settings_beside_program(SettingsModel& model);

// Save_Settings to `<program folder>\Vantrel.ini`: all seven keys in one
// replacement of the file, or nothing written and the system's reason.
SaveOutcome save_settings_beside_program(const SettingsModel& model);

}  // namespace vantrel
