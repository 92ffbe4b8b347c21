#pragma once
// An in-memory file system for the core's tests. Folders hold their entries in
// the order they were added, which stands for the file system's own order.
// Paths compare like on the target: ASCII case ignored, "/" read as "\", runs
// of backslashes read as one. Trailing blanks are part of a name: "C:\Pics "
// is not the folder "C:\Pics".

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::testing {

class FakeFileSystem : public FileSystem {
 public:
  // Adds or updates a file with content and attribute bits; the folders on
  // its path are created too.
  void add_file(const std::string& path, std::string content = {},
                std::uint32_t attributes = kAttributeArchive) {
    files_[key(path)] = std::move(content);
    add_entry(path, attributes);
  }
  void add_folder(const std::string& path, std::uint32_t attributes = kAttributeDirectory) {
    folders_[folder_key(path)];
    add_entry(strip_backslashes(path), attributes);
  }
  // A file that exists but cannot be opened (no access, held exclusively).
  void lock_file(const std::string& path) { locked_.push_back(key(path)); }
  // The enumeration of `folder` breaks off after `entries` entries, as when
  // the folder vanishes part-way.
  void fail_enumeration_after(const std::string& folder, std::size_t entries) {
    break_after_[folder_key(folder)] = entries;
  }
  void fail_replace() { replace_fails_ = true; }
  // The short (8.3) name the volume keeps for a path.
  void set_short_path(const std::string& path, std::string short_form) { short_paths_[key(path)] = std::move(short_form); }
  // Takes an entry away, as another program deleting it would.
  void remove(const std::string& path) {
    files_.erase(key(path));
    const std::string name = strip_backslashes(path);
    const auto slash = name.find_last_of("\\/");
    const auto folder = folders_.find(folder_key(name.substr(0, slash)));
    if (slash == std::string::npos || folder == folders_.end()) return;
    const auto entry = folder->second.index.find(key(name.substr(slash + 1)));
    if (entry == folder->second.index.end()) return;
    folder->second.entries.erase(folder->second.entries.begin() + static_cast<std::ptrdiff_t>(entry->second));
    folder->second.index.clear();
    for (std::size_t i = 0; i < folder->second.entries.size(); ++i)
      folder->second.index[key(folder->second.entries[i].name)] = i;
    ++folder->second.stamp;
  }
  void set_current_directory(std::string directory) { current_directory_ = std::move(directory); }

  // The attribute bits of an entry, as a system attribute query reports them.
  std::optional<std::uint32_t> attributes_of(const std::string& path) const {
    const std::string name = strip_backslashes(path);
    const auto slash = name.find_last_of("\\/");
    if (slash == std::string::npos) return std::nullopt;
    const auto folder = folders_.find(folder_key(name.substr(0, slash)));
    if (folder == folders_.end()) return std::nullopt;
    const auto entry = folder->second.index.find(key(name.substr(slash + 1)));
    if (entry == folder->second.index.end()) return std::nullopt;
    return folder->second.entries[entry->second].attributes;
  }

  // Keyed by the normalised path (upper-case, single backslashes).
  const std::map<std::string, std::string>& files() const { return files_; }
  std::size_t enumerations() const { return enumerations_; }  // searches and folder walks
  std::size_t calls() const { return calls_; }                // every call of the interface

  std::optional<std::string> read_file(const std::string& path) override {
    ++calls_;
    const auto found = files_.find(key(path));
    if (found == files_.end() || is_locked(path)) return std::nullopt;
    return found->second;
  }
  bool replace_file(const std::string& path, std::string_view bytes) override {
    ++calls_;
    if (replace_fails_) return false;
    add_file(path, std::string(bytes));
    return true;
  }
  bool can_open_for_reading(const std::string& path) override {
    ++calls_;
    return files_.count(key(path)) != 0 && !is_locked(path);
  }
  bool any_entry_matches(const std::string& pattern) override {
    ++calls_;
    ++enumerations_;
    // A pattern without wildcards names one entry, as a system search does
    // (the settings writer asks whether a file it cannot read is there).
    if (pattern.find_first_of("*?") == std::string::npos) return has_entry(pattern);
    // Otherwise only the "<folder>\*.*" form the core uses: any entry of the
    // folder, whose own "." always counts.
    const std::string suffix = "\\*.*";
    if (pattern.size() < suffix.size() || pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0)
      throw std::invalid_argument("the fake only answers <folder>\\*.* searches: " + pattern);
    const std::string folder = folder_key(pattern.substr(0, pattern.size() - suffix.size()));
    if (folder.empty()) return true;  // the root of the current drive
    return folders_.count(folder) != 0;
  }
  std::optional<std::string> short_path(const std::string& path) override {
    ++calls_;
    const auto found = short_paths_.find(key(path));
    if (found == short_paths_.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::uint64_t> folder_stamp(const std::string& folder) override {
    ++calls_;
    const auto found = folders_.find(folder_key(folder));
    if (found == folders_.end()) return std::nullopt;
    return found->second.stamp;
  }
  EnumerationResult enumerate_folder(const std::string& folder,
                                     const std::function<bool(const DirectoryEntry&)>& visit) override {
    ++calls_;
    ++enumerations_;
    if (folder.empty() || folder.back() != '\\')
      throw std::invalid_argument("enumerate_folder takes a folder ending in a backslash: " + folder);
    const std::string name = folder_key(folder);
    const auto found = folders_.find(name);
    if (found == folders_.end()) return {EnumerationEnd::Failed, "The system cannot find the path specified."};
    const auto limit = break_after_.find(name);
    std::size_t visited = 0;
    for (const auto& entry : found->second.entries) {
      if (limit != break_after_.end() && visited == limit->second)
        return {EnumerationEnd::Failed, "The device is not ready."};
      ++visited;
      if (!visit(entry)) break;
    }
    return {};
  }
  std::string current_directory() override {
    ++calls_;
    return current_directory_;
  }

 private:
  static std::string key(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
      if (c == '/') c = '\\';
      if (c == '\\' && !out.empty() && out.back() == '\\') continue;
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      out += c;
    }
    return out;
  }
  static std::string strip_backslashes(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
  }
  static std::string folder_key(const std::string& path) { return key(strip_backslashes(path)); }

  bool is_locked(const std::string& path) const {
    return std::find(locked_.begin(), locked_.end(), key(path)) != locked_.end();
  }
  // Records `path` in its parent folder, and the parent in its own, up to the
  // drive ("C:\Pics\a.bmp" makes the folders "C:\Pics" and "C:").
  void add_entry(const std::string& path, std::uint32_t attributes) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return;
    const std::string folder = strip_backslashes(path.substr(0, slash));
    auto& entries = folders_[folder_key(folder)];
    const std::string name = path.substr(slash + 1);
    const auto [same, added] = entries.index.try_emplace(key(name), entries.entries.size());
    if (added) {
      entries.entries.push_back({name, attributes});
      ++entries.stamp;
    } else {
      entries.entries[same->second].attributes = attributes;
    }
    if (folder.find_first_of("\\/") != std::string::npos && !has_entry(folder)) add_entry(folder, kAttributeDirectory);
  }
  bool has_entry(const std::string& path) const { return attributes_of(path).has_value(); }

  std::map<std::string, std::string> files_;
  struct Folder {
    std::vector<DirectoryEntry> entries;                  // in the order added
    std::unordered_map<std::string, std::size_t> index;  // normalised name -> position in entries
    std::uint64_t stamp = 0;                              // counts the additions and removals
  };
  std::map<std::string, Folder> folders_;
  std::map<std::string, std::size_t> break_after_;
  std::map<std::string, std::string> short_paths_;
  std::vector<std::string> locked_;
  std::string current_directory_ = "C:\\Work";
  std::size_t enumerations_ = 0;
  std::size_t calls_ = 0;
  bool replace_fails_ = false;
};

}  // namespace vantrel::testing
