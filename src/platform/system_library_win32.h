#pragma once
// Loading the system's own DLLs so that a planted copy never runs: only the
// system folder is searched, never the program's folder or the current one.

#include "platform/handles_win32.h"

namespace vantrel {

// Makes the system folder the only default DLL search location for the rest of
// the process. Where the system lacks SetDefaultDllDirectories (Windows 7
// without its update) nothing changes; load_system_library still holds.
void restrict_dll_search_to_system();

// The DLL `name` from the system folder, or an empty handle.
ModuleHandle load_system_library(const wchar_t* name);

}  // namespace vantrel
