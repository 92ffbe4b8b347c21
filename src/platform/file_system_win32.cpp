#include "platform/file_system_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/handles_win32.h"
#include "platform/system_error_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// Sharing that lets other programs go on reading, writing, renaming or
// deleting a file while we read it, and lets us open files they hold open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The UTF-16 form of a path, or nothing for a text that names no path: a NUL
// inside would otherwise cut it short and reach a different file.
std::optional<std::wstring> wide_path(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
  return to_wide(path);
}

FileHandle open_for_reading(const std::wstring& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open.
  return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file beside `target` that no one else uses: the target's own name with
// the process id and a serial number, created new so that an existing file is
// never overwritten. Shared with no one: nothing reads it half written.
FileHandle create_temporary_beside(const std::wstring& target, std::uint32_t& serial,
                                   std::wstring& temporary) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(serial++) + L".tmp";
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return FileHandle();
}

}  // namespace

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}


std::optional<std::string> Win32FileSystem::read_file(const std::string& path) {
  const auto wide = wide_path(path);
  if (!wide) return std::nullopt;
  const FileHandle file = open_for_reading(*wide);
  if (!file) {
    last_failure_ = GetLastError();
    return std::nullopt;
  }
  // Read to the end rather than to the size seen at the start: another
  // program may be writing it.
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
      last_failure_ = GetLastError();
      return std::nullopt;
    }
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

// Write beside, flush, then rename over the target in one step: a crash at any
// point leaves the old file whole or the new one whole. A target that cannot be
// replaced (held open without delete sharing, a folder) keeps its old content,
// and no temporary file stays behind.
bool Win32FileSystem::replace_file(const std::string& path, std::string_view bytes) {
  const auto target = wide_path(path);
  if (!target) return false;
  std::wstring temporary;
  bool written = false;
  {
    const FileHandle file = create_temporary_beside(*target, temporary_serial_, temporary);
    if (!file) {
      last_failure_ = GetLastError();
      return false;
    }
    written = write_all(file.get(), bytes) && FlushFileBuffers(file.get());
    if (!written) last_failure_ = GetLastError();
  }  // closed before the rename or the delete
  if (written) {
    if (MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    last_failure_ = GetLastError();
  }
  DeleteFileW(temporary.c_str());
  return false;
}

bool Win32FileSystem::can_open_for_reading(const std::string& path) {
  const auto wide = wide_path(path);
  return wide && static_cast<bool>(open_for_reading(*wide));
}

bool Win32FileSystem::any_entry_matches(const std::string& pattern) {
  const auto wide = wide_path(pattern);
  if (!wide) return false;
  WIN32_FIND_DATAW found;
  const FindHandle search(
      FindFirstFileExW(wide->c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
  return static_cast<bool>(search);
}

std::optional<std::uint64_t> Win32FileSystem::folder_stamp(const std::string& folder) {
  const auto wide = wide_path(folder);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!wide || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return std::nullopt;
  }
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

EnumerationResult Win32FileSystem::enumerate_folder(const std::string& folder,
                                                    const std::function<bool(const DirectoryEntry&)>& visit) {
  const auto wide = wide_path(folder);
  if (!wide) return {EnumerationEnd::Failed, describe_system_error(ERROR_INVALID_NAME)};
  WIN32_FIND_DATAW found;
  // Basic information (no 8.3 names) and large fetches: the cheapest walk the
  // system offers.
  const FindHandle search(FindFirstFileExW((*wide + L"*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    // A drive root holds no "." entry, so an empty one matches nothing.
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    return {EnumerationEnd::Failed, describe_system_error(error)};
  }
  DirectoryEntry entry;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    entry.name = to_utf8(name);
    entry.attributes = found.dwFileAttributes;
    if (!visit(entry)) return {};
  } while (FindNextFileW(search.get(), &found));
  const DWORD error = GetLastError();
  if (error == ERROR_NO_MORE_FILES) return {};
  return {EnumerationEnd::Failed, describe_system_error(error)};
}

std::optional<std::string> Win32FileSystem::short_path(const std::string& path) {
  const auto wide = wide_path(path);
  if (!wide) return std::nullopt;
  std::wstring short_form(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetShortPathNameW(wide->c_str(), short_form.data(), static_cast<DWORD>(short_form.size()));
    if (length == 0) return std::nullopt;
    if (length < short_form.size()) {
      short_form.resize(length);
      return to_utf8(short_form);
    }
    short_form.resize(length);
  }
}

std::string Win32FileSystem::describe_last_failure() const {
  return last_failure_ == 0 ? std::string() : describe_system_error(last_failure_);
}

std::string Win32FileSystem::current_directory() {
  // The directory can change between the two calls; ask again until it fits.
  std::wstring directory(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    if (length == 0) return {};
    if (length < directory.size()) {
      directory.resize(length);
      return to_utf8(directory);
    }
    directory.resize(length);
  }
}

}  // namespace vantrel
