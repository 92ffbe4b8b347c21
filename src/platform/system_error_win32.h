#pragma once
// The system's own words for an error code, as the user should read them.

#include <windows.h>

#include <string>

namespace vantrel {

// The message text of a Win32 error code in the user's language (the
// system's default language when there is none for it), without the line
// break the system ends it with. When the system has no text for the code,
// its number ("error 1234").
std::string describe_system_error(DWORD error);

}  // namespace vantrel
