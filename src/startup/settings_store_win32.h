#pragma once
// The settings file beside the program, read and written with the platform's
// file system and code page 932 tables.

#include "settings/settings_model.h"

namespace vantrel {

void load_settings_beside_program(SettingsModel& model);

}  // namespace vantrel
