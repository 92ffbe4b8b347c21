#include "imagesource/existence.h"

namespace vantrel {

bool File_Exists(FileSystem& file_system, std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return file_system.can_open_for_reading(path);
}

bool Folder_Exists(FileSystem& file_system, std::string path) {
  return file_system.any_entry_matches(Add_Backslash(path) + "*.*");
}

std::string Add_Backslash(std::string_view path) {
  std::string completed(path.substr(0, path.find_last_not_of(' ') + 1));
  if (completed.empty() || completed.back() != '\\') completed += '\\';
  return completed;
}

}  // namespace vantrel
