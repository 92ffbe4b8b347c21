#include "platform/system_library_win32.h"

#include "platform/optional_functions_win32.h"

namespace vantrel {

void restrict_dll_search_to_system() {
  if (const auto set_default = optional_functions::SetDefaultDllDirectories())
    set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

ModuleHandle load_system_library(const wchar_t* name) {
  return ModuleHandle(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace vantrel
