#pragma once
// The file system as the portable core sees it. Paths are UTF-8 text with
// backslashes, exactly as the settings and the user give them; the Win32
// implementation turns them into UTF-16 at the boundary.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Attribute bits as the platform reports them.
inline constexpr std::uint32_t kAttributeReadOnly = 1;
inline constexpr std::uint32_t kAttributeHidden = 2;
inline constexpr std::uint32_t kAttributeSystem = 4;
inline constexpr std::uint32_t kAttributeDirectory = 16;
inline constexpr std::uint32_t kAttributeArchive = 32;
inline constexpr std::uint32_t kAttributeNormal = 128;  // "no other bit set"

// One entry of a folder enumeration.
struct DirectoryEntry {
  std::string name;          // long file name, as the file system spells it
  std::uint32_t attributes;  // bits above, plus any others the platform has
};

enum class EnumerationEnd {
  Completed,  // every entry was visited, or the visitor asked to stop
  Failed,     // the folder could not be opened, or the enumeration broke off
};

struct EnumerationResult {
  EnumerationEnd end = EnumerationEnd::Completed;
  // For Failed: the system's own description of the error, in the user's
  // language (for instance that the device is not ready); may be empty.
  std::string failure;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The whole file, or nothing when it cannot be opened or read.
  virtual std::optional<std::string> read_file(const std::string& path) = 0;

  // Replaces the file's content with `bytes` so that a failure or a crash
  // part-way leaves either the old file whole or the new one whole, never a
  // mix. False when the new content could not be put in place.
  virtual bool replace_file(const std::string& path, std::string_view bytes) = 0;

  // True when the path opens as a file for reading while other programs may
  // hold it open for reading, writing or deletion. Folders give false.
  virtual bool can_open_for_reading(const std::string& path) = 0;

  // True when the wildcard pattern matches at least one entry, folders
  // included; false when it matches none or the search fails.
  virtual bool any_entry_matches(const std::string& pattern) = 0;

  // The short (8.3) form of an existing path, where its volume keeps one:
  // nothing when it has none or the path does not exist.
  virtual std::optional<std::string> short_path(const std::string& path) = 0;

  // A number that changes whenever the folder's entries change (one is
  // added, removed or renamed): its last-write time. Nothing when the folder
  // cannot be read.
  virtual std::optional<std::uint64_t> folder_stamp(const std::string& folder) = 0;

  // Visits the entries of `folder` (a path ending in a backslash) in the file
  // system's own order, without "." and "..". The visitor returns false to
  // stop early, which still counts as Completed.
  virtual EnumerationResult enumerate_folder(
      const std::string& folder, const std::function<bool(const DirectoryEntry&)>& visit) = 0;

  // The process's current directory, without a trailing backslash unless it is
  // a drive root.
  virtual std::string current_directory() = 0;
};

}  // namespace vantrel
