#pragma once
// UTF-8 inside the program, UTF-16 at the Win32 boundary. Only Win32 files
// include this header.

#include <string>
#include <string_view>

namespace vantrel {

std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view wide);

}  // namespace vantrel
