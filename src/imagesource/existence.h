#pragma once
// Whether a stored image file or folder still exists. Both answer false on any
// failure; neither reports an error.

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vantrel {

// True when `path`, with one trailing backslash dropped, opens as a file for
// reading while other programs hold it open. A folder, a missing or locked file
// and the empty text give false.
bool File_Exists(FileSystem& file_system, std::string path);

// True when the folder, completed by Add_Backslash, has at least one entry
// (a folder's own "." counts). Trailing blanks are ignored; the empty text
// tests the root of the current drive.
bool Folder_Exists(FileSystem& file_system, std::string path);

// `path` without its trailing blanks, then ending in a backslash: one is
// appended unless the trimmed text already ends in one. "" gives "\".
std::string Add_Backslash(std::string_view path);

}  // namespace vantrel
