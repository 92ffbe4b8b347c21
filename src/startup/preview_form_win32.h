#pragma once
// The preview form: the saver's still picture inside the Display control
// panel's preview pane, as a child window of that pane.

#include <windows.h>

namespace vantrel {

// Embeds the form in `pane` and lives until the pane's owner destroys it;
// returns the process exit code. A handle that names no window ends at once.
int run_preview_window(HINSTANCE instance, HWND pane);

}  // namespace vantrel
