// The settings dialog is not built yet: the program ends at once after the
// settings were read, as it does for an unknown switch.
#include "dialog/settings_dialog_win32.h"

namespace vantrel {

void run_settings_dialog(HINSTANCE, SettingsModel&) {}

}  // namespace vantrel
