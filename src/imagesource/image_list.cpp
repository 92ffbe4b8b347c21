#include "imagesource/image_list.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "imagesource/path_routines.h"
#include "settings/settings_model.h"

namespace vantrel {
namespace {

// The three attribute passes and the four kinds, in listing order. A file
// belongs to at most one of the twelve groups they form.
constexpr std::array<std::uint32_t, 3> kAttributePasses = {0, kAttributeArchive, kAttributeReadOnly};
constexpr std::array<std::string_view, 4> kImageExtensions = {".bmp", ".gif", ".jpg", ".wmf"};
constexpr std::size_t kGroupCount = kAttributePasses.size() * kImageExtensions.size();

// The attribute value compared with the passes. Windows reports a file with no
// other attribute as "normal" (128), never as 0; without this mapping plain
// files would never be listed.
std::uint32_t attribute_value(std::uint32_t bits) { return bits == kAttributeNormal ? 0 : bits; }

std::optional<std::size_t> pass_of(std::uint32_t bits) {
  const std::uint32_t value = attribute_value(bits);
  for (std::size_t pass = 0; pass < kAttributePasses.size(); ++pass)
    if (value == kAttributePasses[pass]) return pass;
  return std::nullopt;  // hidden, system, directories, read-only archives...
}

bool ends_with_ignoring_ascii_case(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  const std::string_view tail = name.substr(name.size() - ending.size());
  return Find_Text(1, tail, ending, CompareMode::IgnoreCase) == 1;
}

// What "*.bmp" and its siblings match, judged on the long name only and
// ignoring case. A system search would also try the 8.3 short name, so that
// "x.bmpx" (short name X~1.BMP) could turn up under "*.bmp"; here a name is an
// image only when it ends in the extension itself ("photo.jpeg" never is).
std::optional<std::size_t> kind_of(std::string_view name) {
  for (std::size_t kind = 0; kind < kImageExtensions.size(); ++kind)
    if (ends_with_ignoring_ascii_case(name, kImageExtensions[kind])) return kind;
  return std::nullopt;
}

}  // namespace

// One enumeration and a stable partition into the twelve groups, then the
// groups in order. This gives exactly the list of twelve wildcard searches (one
// per pass and kind) with an attribute query per file, at the cost of a single
// pass over the folder.
std::vector<std::string> Build_Image_List(FileSystem& file_system, const std::string& folder) {
  if (folder.empty()) return {};

  // Folder_Exists ignores trailing blanks, so a stored "C:\Pics " counts as
  // the folder C:\Pics; it is listed as that folder too, instead of as a
  // folder named "Pics " that does not exist. A text of blanks alone names no
  // folder, like the empty text.
  const std::string trimmed = folder.substr(0, folder.find_last_not_of(' ') + 1);
  if (trimmed.empty()) return {};

  // The directory part is the same for the four patterns; it keeps a trailing
  // backslash of the folder text, hence the doubled one after a drive root.
  const std::string directory = Dir_Of_Path(file_system, trimmed + "\\*.bmp") + "\\";

  std::array<std::vector<std::string>, kGroupCount> groups;
  // A failure part-way ends the enumeration; the entries seen so far stay, so
  // the result of the call is not needed.
  file_system.enumerate_folder(directory, [&](const DirectoryEntry& entry) {
    const auto pass = pass_of(entry.attributes);
    const auto kind = pass ? kind_of(entry.name) : std::nullopt;
    if (!kind) return true;
    auto& group = groups[*pass * kImageExtensions.size() + *kind];
    // No group contributes more than the whole list can hold.
    if (group.size() < kMaxImageCount) group.push_back(directory + entry.name);
    return true;
  });

  std::vector<std::string> images;
  for (auto& group : groups) {
    for (auto& path : group) {
      if (images.size() == kMaxImageCount) return images;
      images.push_back(std::move(path));
    }
  }
  return images;
}

}  // namespace vantrel
