#pragma once
// The file system through the W functions of kernel32: UTF-8 paths in, UTF-16
// at the boundary. One instance serves the whole program, on one thread.

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "platform/file_system.h"

namespace vantrel {

// Writes every byte at the file's position, in pieces a single WriteFile
// takes; false as soon as one fails (GetLastError says why).
bool write_all(HANDLE file, std::string_view bytes);

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::string> read_file(const std::string& path) override;
  bool replace_file(const std::string& path, std::string_view bytes) override;
  bool can_open_for_reading(const std::string& path) override;
  bool any_entry_matches(const std::string& pattern) override;
  std::optional<std::uint64_t> folder_stamp(const std::string& folder) override;
  std::optional<std::string> short_path(const std::string& path) override;
  EnumerationResult enumerate_folder(const std::string& folder,
                                     const std::function<bool(const DirectoryEntry&)>& visit) override;
  std::string current_directory() override;

  // The system's words for why the last read_file or replace_file that
  // failed did so; empty before any failure.
  std::string describe_last_failure() const;

 private:
  std::uint32_t last_failure_ = 0;  // the Win32 error code of that failure
  std::uint32_t temporary_serial_ = 0;  // makes the names of replace_file's temporary files unique
};

}  // namespace vantrel
