#pragma once
// The image files of a folder, in the fixed order the saver and the dialog use:
// attribute value 0, then 32 (archive only), then 1 (read-only only); within
// each, *.bmp, *.gif, *.jpg, *.wmf; within each, the file system's own order.
// Nothing is sorted, and at most kMaxImageCount (settings/settings_model.h)
// entries are kept: the first ones in that order.

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

// Full paths: the folder's directory part, one backslash, and the name as the
// file system spells it, so a folder text ending in a backslash (a drive root,
// "C:\") gives entries with a doubled one ("C:\\a.bmp"), which Windows accepts.
//
// An empty folder text gives an empty list without touching the file system;
// a folder that cannot be read gives an empty list, and one that breaks off
// part-way keeps the entries found before the break.
std::vector<std::string> Build_Image_List(FileSystem& file_system, const std::string& folder);

}  // namespace vantrel
