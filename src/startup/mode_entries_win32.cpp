// The settings dialog is not built yet: the program ends at once after the
// settings were read, as it does for an unknown switch.
#include "startup/mode_entries_win32.h"

namespace vantrel {

void run_settings_dialog(HINSTANCE, SettingsModel&) {}

}  // namespace vantrel
