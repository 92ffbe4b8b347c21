#include "imagesource/image_list.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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

std::string ascii_upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
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
ImageListing list_images(FileSystem& file_system, const std::string& folder, const ListingProgress& progress) {
  ImageListing listing;
  // Folder_Exists ignores trailing blanks, so a stored "C:\Pics " counts as
  // the folder C:\Pics; it is listed as that folder too, instead of as a
  // folder named "Pics " that does not exist. A text of blanks alone names no
  // folder, like the empty text.
  const std::string trimmed = folder.substr(0, folder.find_last_not_of(' ') + 1);
  if (trimmed.empty()) return listing;

  // The directory part is the same for the four patterns; it keeps a trailing
  // backslash of the folder text, hence the doubled one after a drive root.
  const std::string directory = Dir_Of_Path(file_system, trimmed + "\\*.bmp") + "\\";

  std::array<std::vector<std::string>, kGroupCount> groups;
  std::size_t found = 0;
  listing.folder_stamp = file_system.folder_stamp(directory);
  listing.enumeration = file_system.enumerate_folder(directory, [&](const DirectoryEntry& entry) {
    const auto pass = pass_of(entry.attributes);
    const auto kind = pass ? kind_of(entry.name) : std::nullopt;
    if (!kind) return true;
    auto& group = groups[*pass * kImageExtensions.size() + *kind];
    // No group contributes more than the whole list can hold.
    if (group.size() < kMaxImageCount) group.push_back(directory + entry.name);
    if (found < kMaxImageCount) {
      ++found;
      if (progress && !progress(found)) {
        listing.stopped = true;
        return false;
      }
    }
    return true;
  });

  for (auto& group : groups) {
    for (auto& path : group) {
      if (listing.paths.size() == kMaxImageCount) return listing;
      listing.paths.push_back(std::move(path));
    }
  }
  return listing;
}

std::vector<std::string> Build_Image_List(FileSystem& file_system, const std::string& folder) {
  return list_images(file_system, folder).paths;
}

std::vector<std::string> names_as_spelled(FileSystem& file_system, const std::vector<std::string>& paths,
                                          std::optional<std::uint64_t> listed_stamp) {
  std::vector<std::string> names(paths.size());
  std::size_t first = 0;
  while (first < paths.size()) {
    const std::size_t cut = paths[first].rfind('\\');
    if (cut == std::string::npos) {  // no folder: nothing to look in
      ++first;
      continue;
    }
    const std::string_view folder = std::string_view(paths[first]).substr(0, cut + 1);
    std::size_t end = first + 1;
    while (end < paths.size() && std::string_view(paths[end]).substr(0, paths[end].rfind('\\') + 1) == folder) ++end;

    if (listed_stamp && file_system.folder_stamp(std::string(folder)) == listed_stamp) {
      for (std::size_t i = first; i < end; ++i) names[i] = paths[i].substr(folder.size());
      first = end;
      continue;
    }

    // The folder's entries: the exact spellings, and the first spelling of
    // each name with its ASCII letters upper-cased.
    std::unordered_set<std::string> exact;
    std::unordered_map<std::string, std::string> folded;
    file_system.enumerate_folder(std::string(folder), [&](const DirectoryEntry& entry) {
      exact.insert(entry.name);
      folded.try_emplace(ascii_upper(entry.name), entry.name);
      return true;
    });
    for (std::size_t i = first; i < end; ++i) {
      std::string wanted = paths[i].substr(folder.size());
      if (exact.count(wanted)) {
        names[i] = std::move(wanted);
      } else if (const auto spelled = folded.find(ascii_upper(wanted)); spelled != folded.end()) {
        names[i] = spelled->second;
      }
    }
    first = end;
  }
  return names;
}

}  // namespace vantrel
