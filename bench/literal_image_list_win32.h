#pragma once
// The image listing written literally, step by step, as the reference the
// one-pass listing is measured against: for each attribute pass (0, 32, 1) and
// each pattern (*.bmp, *.gif, *.jpg, *.wmf), a wildcard search of its own, and
// an attribute query for every name it finds. A search that fails, an
// attribute query that fails or a full list ends that pattern; what was stored
// stays.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imagesource/path_routines.h"
#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_model.h"

namespace vantrel::bench {

inline void literal_add_pattern_files(FileSystem& file_system, const std::string& pattern, std::uint32_t pass,
                                      std::vector<std::string>& images) {
  const std::string directory = Dir_Of_Path(file_system, pattern) + "\\";
  WIN32_FIND_DATAW found;
  const FindHandle search(FindFirstFileW(to_wide(pattern).c_str(), &found));
  if (!search) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // no directory entries
    const std::string path = directory + to_utf8(found.cFileName);
    const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    // The same reading of "normal" as the one-pass listing.
    const DWORD value = attributes == FILE_ATTRIBUTE_NORMAL ? 0 : attributes;
    if (value != pass) continue;
    if (images.size() + 1 > kMaxImageCount) return;
    images.push_back(path);
  } while (FindNextFileW(search.get(), &found));
}

inline std::vector<std::string> literal_image_list(FileSystem& file_system, const std::string& folder) {
  std::vector<std::string> images;
  if (folder.empty()) return images;
  for (const std::uint32_t pass : {0u, 32u, 1u})
    for (const char* pattern : {"\\*.bmp", "\\*.gif", "\\*.jpg", "\\*.wmf"})
      literal_add_pattern_files(file_system, folder + pattern, pass, images);
  return images;
}

}  // namespace vantrel::bench
