#include "settings/settings_file_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/system_error_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_journal.h"

namespace vantrel {
namespace {

// Sharing that lets other programs go on reading, writing, renaming or
// deleting a file while we only read it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr std::wstring_view kOursSuffix = L".tmp";

// The folder that program was loaded from, without a trailing backslash.
std::string program_directory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // a long path: the name was cut
  }
  return to_utf8(path.substr(0, path.find_last_of(L'\\')));
}

// The whole file from its start; nothing when a read fails (GetLastError
// says why). Read to the end rather than to the size seen at the start:
// another program may be writing it.
std::optional<std::string> read_all(HANDLE file) {
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return std::nullopt;
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return std::nullopt;
    if (read == 0) return bytes;
    bytes.append(buffer.data(), read);
  }
}

// `bytes` over the file from its start, the file ended after them, and all of
// it on the disk before this returns.
bool overwrite(HANDLE file, std::string_view bytes) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && write_all(file, bytes) && SetEndOfFile(file) &&
         FlushFileBuffers(file);
}

struct Opened {
  FileHandle file;
  DWORD error = ERROR_SUCCESS;  // why it did not open
};

// The file opened to be written in place: through a link, the file it names.
// Others may go on reading it, but none may write it meanwhile. A read-only
// file is refused as the system refuses it; the attribute is checked as well,
// since a process that may write any file (root, under Wine) opens one.
Opened open_for_rewrite(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {FileHandle(), GetLastError()};
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file.get(), &information)) return {FileHandle(), GetLastError()};
  if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return {FileHandle(), ERROR_ACCESS_DENIED};
  return {std::move(file), ERROR_SUCCESS};
}

// A file of ours beside the settings file, open and shared with no one: no
// other save or clean-up can touch it while we hold it. It goes when this
// object does, unless kept.
class FileOfOurs {
 public:
  FileOfOurs() = default;
  FileOfOurs(FileHandle file, std::wstring name) : file_(std::move(file)), name_(std::move(name)) {}
  FileOfOurs(FileOfOurs&&) = default;
  FileOfOurs& operator=(FileOfOurs&&) = delete;
  ~FileOfOurs() { remove(); }

  // "<settings path>.<process id>-<serial>.tmp", created new so that no file
  // that is there already is ever written.
  static FileOfOurs create(const std::wstring& settings_path, std::uint32_t& serial) {
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::wstring name = settings_path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(serial++) + std::wstring(kOursSuffix);
      FileHandle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file) return FileOfOurs(std::move(file), std::move(name));
      if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return FileOfOurs();
  }

  // One found beside the settings file, unless someone holds it open.
  static FileOfOurs open(std::wstring name) {
    FileHandle file(
        CreateFileW(name.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FileOfOurs();
    return FileOfOurs(std::move(file), std::move(name));
  }

  explicit operator bool() const { return static_cast<bool>(file_); }
  HANDLE get() const { return file_.get(); }

  // Closed and left where it is (for the next load or save to settle).
  void keep() { file_.reset(); }

  // Gives it the settings file's name, while it is still ours alone: no
  // moment comes when a clean-up could take it for a leftover.
  bool rename_to(const std::wstring& target) {
    const std::size_t bytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + bytes + sizeof(wchar_t), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;  // a file made meanwhile holds lines we never saw
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    std::copy(target.begin(), target.end(), rename->FileName);
    if (!SetFileInformationByHandle(file_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size())))
      return false;
    file_.reset();
    return true;
  }

 private:
  void remove() {
    if (!file_) return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool marked = SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof disposition);
    file_.reset();
    if (!marked) DeleteFileW(name_.c_str());
  }

  FileHandle file_;
  std::wstring name_;
};

// True for "<settings name>.<digits>-<digits>.tmp", letters in any case.
bool is_name_of_ours(std::wstring_view name, std::wstring_view settings_name) {
  const auto same = [](std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
  };
  if (name.size() <= settings_name.size() + 1 + kOursSuffix.size() ||
      !same(name.substr(0, settings_name.size()), settings_name) ||
      !same(name.substr(name.size() - kOursSuffix.size()), kOursSuffix))
    return false;
  // ".<digits>-<digits>"
  const std::wstring_view middle =
      name.substr(settings_name.size(), name.size() - settings_name.size() - kOursSuffix.size());
  const std::size_t dash = middle.find(L'-');
  const auto digits = [](std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  };
  return middle.front() == L'.' && dash != std::wstring_view::npos && digits(middle.substr(1, dash - 1)) &&
         digits(middle.substr(dash + 1));
}

// Puts the old bytes back if `record`'s save left the file torn. True when
// the record has served (the file was not torn, is mended, or is gone).
bool mend_if_torn(const std::wstring& path, const JournalRecord& record) {
  {
    const FileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND;
    const auto current = read_all(file.get());
    if (!current) return false;
    if (!is_torn_between(*current, record)) return true;
  }
  const Opened opened = open_for_rewrite(path);
  if (!opened.file) return false;
  const auto current = read_all(opened.file.get());  // again: it may have changed since
  if (!current) return false;
  return !is_torn_between(*current, record) || overwrite(opened.file.get(), record.old_bytes);
}

}  // namespace

Win32SettingsFile::Win32SettingsFile(std::string path) {
  if (!path.empty() && path.find('\0') == std::string::npos) path_ = to_wide(path);
}

std::optional<std::string> Win32SettingsFile::read() {
  if (!path_) {
    fail(ERROR_INVALID_NAME);
    return std::nullopt;
  }
  settle_leftovers();
  const FileHandle file(
      CreateFileW(path_->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    fail(GetLastError());
    return std::nullopt;
  }
  auto bytes = read_all(file.get());
  if (!bytes) fail(GetLastError());
  return bytes;
}

bool Win32SettingsFile::rewrite(const Edit& edit) {
  if (!path_) return fail(ERROR_INVALID_NAME);
  settle_leftovers();
  const Opened opened = open_for_rewrite(*path_);
  if (!opened.file) return opened.error == ERROR_FILE_NOT_FOUND ? create(edit) : fail(opened.error);
  const auto old_bytes = read_all(opened.file.get());
  if (!old_bytes) return fail(GetLastError());
  const std::string new_bytes = edit(old_bytes);
  if (new_bytes == *old_bytes) return true;

  FileOfOurs journal = FileOfOurs::create(*path_, serial_);
  if (!journal) return fail(GetLastError());
  if (!write_all(journal.get(), journal_header(*old_bytes, new_bytes)) || !write_all(journal.get(), *old_bytes) ||
      !write_all(journal.get(), new_bytes) || !FlushFileBuffers(journal.get())) {
    return fail(GetLastError());  // the file is untouched; the record goes
  }
  if (!overwrite(opened.file.get(), new_bytes)) {
    const DWORD error = GetLastError();
    // When not even the old bytes go back, the record stays: the next load
    // or save mends the file from it.
    if (!overwrite(opened.file.get(), *old_bytes)) journal.keep();
    return fail(error);
  }
  return true;  // the record goes: the new bytes are on the disk
}

bool Win32SettingsFile::create(const Edit& edit) {
  const std::string bytes = edit(std::nullopt);
  FileOfOurs fresh = FileOfOurs::create(*path_, serial_);
  if (!fresh) return fail(GetLastError());
  if (!write_all(fresh.get(), bytes) || !FlushFileBuffers(fresh.get()) || !fresh.rename_to(*path_))
    return fail(GetLastError());
  return true;
}

void Win32SettingsFile::settle_leftovers() {
  const std::size_t slash = path_->find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path_->substr(0, slash + 1);
  const std::wstring settings_name = path_->substr(folder.size());
  std::vector<std::wstring> ours;
  {
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileExW((*path_ + L".*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!search) return;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && is_name_of_ours(found.cFileName, settings_name))
        ours.push_back(folder + found.cFileName);
    } while (FindNextFileW(search.get(), &found));
  }
  for (std::wstring& name : ours) {
    FileOfOurs leftover = FileOfOurs::open(std::move(name));
    if (!leftover) continue;  // a save that is still running holds it
    const auto bytes = read_all(leftover.get());
    if (!bytes) {
      leftover.keep();
      continue;
    }
    // Anything but a whole record was written before the file was touched
    // (or is a file a save was about to rename into place): it just goes.
    const auto record = read_journal(*bytes);
    if (record && !mend_if_torn(*path_, *record)) leftover.keep();
  }
}

bool Win32SettingsFile::fail(std::uint32_t error) {
  last_failure_ = error;
  return false;
}

std::string Win32SettingsFile::describe_last_failure() const {
  return last_failure_ == 0 ? std::string() : describe_system_error(last_failure_);
}

void load_settings_beside_program(SettingsModel& model) {
  Win32FileSystem file_system;
  const Win32TextCodec codec;
  Win32SettingsFile file(settings_file_path(program_directory()));
  Load_Settings(model, file_system, codec, file);
}

SaveOutcome save_settings_beside_program(const SettingsModel& model) {
  const Win32TextCodec codec;
  Win32SettingsFile file(settings_file_path(program_directory()));
  SaveOutcome outcome{Save_Settings(model, codec, file), {}};
  if (outcome.result == WriteResult::WriteFailed) outcome.reason = file.describe_last_failure();
  return outcome;
}

}  // namespace vantrel
