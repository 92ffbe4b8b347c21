#pragma once
// The one file the settings store keeps, as the store sees it: its bytes, read
// whole, or rewritten whole in one step. The program's own is
// Win32SettingsFile (settings_file_win32.h), which writes the file itself,
// through any link to it; FileSystemSettingsFile serves any FileSystem.

#include <functional>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

class SettingsFile {
 public:
  // The file's new bytes from its current ones (nothing: there is no file yet).
  // It may throw; nothing is written then, and the exception passes on.
  using Edit = std::function<std::string(const std::optional<std::string>& current)>;

  virtual ~SettingsFile() = default;

  // The file's bytes, or nothing when it is missing or cannot be read.
  virtual std::optional<std::string> read() = 0;

  // Reads the file, hands its bytes to `edit` and puts what that returns in
  // their place: true when the file holds the new bytes, false when it keeps
  // its old ones whole (a crash part-way included). False without calling
  // `edit` when the file is there but cannot be read or may not be written.
  virtual bool rewrite(const Edit& edit) = 0;
};

// The file at `path` through FileSystem::read_file and replace_file.
class FileSystemSettingsFile final : public SettingsFile {
 public:
  FileSystemSettingsFile(FileSystem& file_system, std::string path)
      : file_system_(file_system), path_(std::move(path)) {}

  std::optional<std::string> read() override { return file_system_.read_file(path_); }

  bool rewrite(const Edit& edit) override {
    const std::optional<std::string> current = file_system_.read_file(path_);
    // There but unreadable (locked, no access, a folder): writing now would
    // throw away every line we could not see.
    if (!current && file_system_.any_entry_matches(path_)) return false;
    return file_system_.replace_file(path_, edit(current));
  }

 private:
  FileSystem& file_system_;
  std::string path_;
};

}  // namespace vantrel
