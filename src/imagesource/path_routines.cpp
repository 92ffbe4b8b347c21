#include "imagesource/path_routines.h"

#include <algorithm>
#include <cassert>

namespace vantrel {
namespace {

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool same_char(char a, char b, CompareMode mode) {
  return mode == CompareMode::Exact ? a == b : ascii_upper(a) == ascii_upper(b);
}

}  // namespace

std::size_t Find_Text(std::size_t start, std::string_view text, std::string_view sought,
                      CompareMode mode) {
  assert(start >= 1 && "Find_Text positions count from 1");
  if (start == 0 || text.empty() || start > text.size() + 1) return 0;
  if (sought.empty()) return start;
  const auto from = text.begin() + static_cast<std::ptrdiff_t>(start - 1);
  const auto found = std::search(from, text.end(), sought.begin(), sought.end(),
                                 [mode](char a, char b) { return same_char(a, b, mode); });
  if (found == text.end()) return 0;
  return static_cast<std::size_t>(found - text.begin()) + 1;
}

std::size_t Find_Text(std::size_t start, std::string_view text, std::string_view sought) {
  return Find_Text(start, text, sought, CompareMode::IgnoreCase);
}

std::size_t Find_Text(std::string_view text, std::string_view sought) {
  return Find_Text(1, text, sought, CompareMode::IgnoreCase);
}

std::string Dir_Of_Path(FileSystem& file_system, std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::size_t length = path.size();
  // The only backslash is the last character: "C:\" gives "C:", "\" gives "".
  if (length > 0 && Find_Text(path, "\\") == length) {
    path.pop_back();
    return path;
  }
  if (const auto last = path.rfind('\\'); last != std::string::npos) return path.substr(0, last);
  return file_system.current_directory();
}

}  // namespace vantrel
