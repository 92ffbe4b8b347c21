#pragma once
// Path helpers shared by the listing and the settings dialog's folder scan.
// Texts are UTF-8; positions count bytes from 1, and 0 means "not found". A
// backslash byte never occurs inside a multi-byte UTF-8 character, so the
// byte-wise search for "\" cannot land in the middle of a Japanese name.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vantrel {

// Exact compares the bytes as they are; any other mode upper-cases the ASCII
// letters of both texts before the search.
enum class CompareMode { Exact = 0, IgnoreCase = 1 };

// 1-based position of the first `sought` in `text` at or after position
// `start` (1-based, at least 1), or 0. An empty `sought` is found at `start`
// while start is at most one past the end of a non-empty text.
std::size_t Find_Text(std::size_t start, std::string_view text, std::string_view sought,
                      CompareMode mode);
// From `start`, ignoring case.
std::size_t Find_Text(std::size_t start, std::string_view text, std::string_view sought);
// From position 1, ignoring case.
std::size_t Find_Text(std::string_view text, std::string_view sought);

// The directory part of `path` without a trailing backslash, "/" read as "\":
// C:\Pics\a.bmp gives C:\Pics, C:\ gives C:, C:\Pics\ gives C:\Pics, "\"
// gives the empty text, and a path without any backslash (the empty text
// included) gives the file system's current directory.
std::string Dir_Of_Path(FileSystem& file_system, std::string path);

}  // namespace vantrel
