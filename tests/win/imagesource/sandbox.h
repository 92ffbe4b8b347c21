#pragma once
// A fresh folder under the system's temporary folder for tests that need real
// files, removed with everything in it (read-only files too) at the end.
// Paths are handed out as UTF-8 without a trailing backslash, the way the
// program itself holds them.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel::testing {

class Sandbox {
 public:
  Sandbox() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Process and object: two sandboxes alive at once never share a folder.
    root_ = std::filesystem::path(temp) / (L"vantrel_sandbox_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                           std::to_wstring(reinterpret_cast<std::uintptr_t>(this)));
    remove();
    std::filesystem::create_directories(root_);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  ~Sandbox() { remove(); }

  std::string path() const { return to_utf8(root_.wstring()); }
  std::string path(std::string_view name) const { return path() + "\\" + std::string(name); }

  // Creates (or overwrites) the file `name` with `bytes`; gives its full path.
  std::string file(std::string_view name, std::string_view bytes = {}) const {
    const std::string full = path(name);
    FileHandle file(CreateFileW(to_wide(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      throw std::runtime_error("cannot write the sandbox file " + full);
    return full;
  }
  std::string folder(std::string_view name) const {
    const std::string full = path(name);
    if (!CreateDirectoryW(to_wide(full).c_str(), nullptr))
      throw std::runtime_error("cannot make the sandbox folder " + full);
    return full;
  }

 private:
  void remove() const {
    std::error_code ignored;
    // Read-only files would refuse to go.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
      SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(root_, ignored);
  }

  std::filesystem::path root_;
};

}  // namespace vantrel::testing
