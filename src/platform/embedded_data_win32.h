#pragma once
// Files the program carries inside itself as raw data resources.

#include <windows.h>

#include <string_view>

namespace vantrel {

// The bytes of the RCDATA resource `id` of the module, valid as long as the
// module is loaded; empty when there is no such resource.
std::string_view embedded_bytes(HINSTANCE module, int id);

}  // namespace vantrel
