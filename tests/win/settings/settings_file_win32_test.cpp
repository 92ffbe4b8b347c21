#include "settings/settings_file_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imagesource/sandbox.h"
#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/system_error_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_journal.h"
#include "settings/settings_store.h"

namespace vantrel {
namespace {

using namespace std::string_literals;

// Key lines of a whole file as a save writes it, in code page 932, with the
// sphere size given.
std::string settings_bytes(int sphere_size) {
  return "[Section]\r\n"
         "\xCC\xA7\xB2\xD9\x96\xBC=\r\n"
         "\xCC\xAB\xD9\xC0\xDE\x96\xBC=\r\n"
         "\xCC\xA7\xB2\xD9\x8B\xE6\x95\xAA= 1\r\n"
         "\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3= " + std::to_string(sphere_size) + "\r\n"
         "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3= 25\r\n"
         "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x93\x78\x8D\x87\x82\xA2= 5\r\n"
         "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x82\xB7\x82\xE9\x91\xAC\x82\xB3= 5\r\n";
}

SettingsModel model_with_sphere_size(int sphere_size) {
  SettingsModel model;
  model.File_Kind = 1;
  model.Action_Value = {sphere_size, 25, 5, 5};
  return model;
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(to_wide(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& path) { return GetFileAttributesW(to_wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD attributes_of(const std::string& path) { return GetFileAttributesW(to_wide(path).c_str()); }

// The names in a folder, sorted.
std::vector<std::string> entries_of(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(to_wide(folder))))
    names.push_back(to_utf8(entry.path().filename().wstring()));
  std::sort(names.begin(), names.end());
  return names;
}

void append(const std::string& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(to_wide(path)), std::ios::binary | std::ios::app);
  out << bytes;
}

// Under Wine, the Unix path of a Windows one; nothing elsewhere.
std::optional<std::string> unix_path_of(const std::string& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) return std::nullopt;
  const std::unique_ptr<char, void (*)(char*)> name(unix_name(to_wide(path).c_str()),
                                                    [](char* p) { HeapFree(GetProcessHeap(), 0, p); });
  return name ? std::optional<std::string>(name.get()) : std::nullopt;
}

// Runs a Unix program (Wine starts it beside the Windows ones) and waits, 60
// seconds at most, until `done` holds: its handle may be signalled before it
// has run.
bool run_unix(const wchar_t* program, const std::string& arguments, const std::function<bool()>& done) {
  std::wstring command = std::wstring(program) + L" " + to_wide(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW((std::wstring(L"Z:") + program).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return false;
  const KernelHandle process_handle(process.hProcess), thread_handle(process.hThread);
  WaitForSingleObject(process.hProcess, 60000);
  for (int tries = 0; tries < 600 && !done(); ++tries) Sleep(100);
  return done();
}

// A symbolic link at `link` to `target`. Under Wine, CreateSymbolicLinkW
// answers TRUE and makes nothing, so a Unix link is made, which Wine follows.
bool make_symbolic_link(const std::string& link, const std::string& target) {
  const auto unix_link = unix_path_of(link), unix_target = unix_path_of(target);
  if (!unix_link || !unix_target) {
    return CreateSymbolicLinkW(to_wide(link).c_str(), to_wide(target).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
  }
  return run_unix(L"/bin/ln", "-s \"" + *unix_target + "\" \"" + *unix_link + "\"", [&] { return exists(link); });
}

// Takes the link away, not the file it names. Under Wine, DeleteFileW on a
// link deletes the file it names and leaves the link.
void remove_symbolic_link(const std::string& link) {
  if (const auto unix_link = unix_path_of(link)) {
    run_unix(L"/bin/rm", "-f \"" + *unix_link + "\"", [&] { return !exists(link); });
  } else {
    DeleteFileW(to_wide(link).c_str());
  }
}

class SettingsFileWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char c : sandbox.path()) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << sandbox.path();
  }
  WriteResult save(const SettingsModel& model) {
    Win32SettingsFile file(ini);
    const WriteResult result = Save_Settings(model, codec, file);
    failure = file.describe_last_failure();
    return result;
  }
  SettingsModel load() {
    Win32SettingsFile file(ini);
    SettingsModel model;
    Load_Settings(model, files, codec, file);
    return model;
  }

  testing::Sandbox sandbox;
  Win32FileSystem files;
  Win32TextCodec codec;
  const std::string ini = settings_file_path(sandbox.path());
  std::string failure;
};

TEST_F(SettingsFileWin32Test, SavesThroughALinkIntoTheFileItNames) {
  const struct {
    const char* what;
    bool symbolic;
  } cases[] = {{"symbolic link", true}, {"hard link", false}};
  for (const auto& c : cases) {
    testing::Sandbox place;
    const std::string link = settings_file_path(place.path());
    // Gone before the sandbox: its clean-up never ends on a symbolic link
    // under Wine.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unlink_at_end(
        c.symbolic ? &link : nullptr, [](const std::string* path) { remove_symbolic_link(*path); });
    place.folder("kept");
    const std::string copy = place.file("kept\\copy.ini", settings_bytes(3));
    if (c.symbolic) {
      ASSERT_TRUE(make_symbolic_link(link, copy)) << c.what;
    } else {
      ASSERT_TRUE(CreateHardLinkW(to_wide(link).c_str(), to_wide(copy).c_str(), nullptr)) << c.what;
    }
    Win32SettingsFile file(link);
    ASSERT_EQ(Save_Settings(model_with_sphere_size(6), codec, file), WriteResult::Saved) << c.what;
    EXPECT_EQ(read_bytes(copy), settings_bytes(6)) << c.what;
    EXPECT_EQ(read_bytes(link), settings_bytes(6)) << c.what;
    // Still one file under two names: what goes into one shows in the other.
    append(copy, "; after\r\n");
    EXPECT_EQ(read_bytes(link), settings_bytes(6) + "; after\r\n") << c.what;
    EXPECT_EQ(entries_of(place.path()), (std::vector<std::string>{"Vantrel.ini", "kept"})) << c.what;
  }
}

TEST_F(SettingsFileWin32Test, KeepsTheFilesAttributes) {
  constexpr DWORD kWatched = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
  for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                                 DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}, DWORD{FILE_ATTRIBUTE_NORMAL}}) {
    sandbox.file("Vantrel.ini", settings_bytes(3));
    ASSERT_TRUE(SetFileAttributesW(to_wide(ini).c_str(), attributes));
    EXPECT_EQ(save(model_with_sphere_size(5)), WriteResult::Saved) << attributes;
    EXPECT_EQ(read_bytes(ini), settings_bytes(5)) << attributes;
    EXPECT_EQ(attributes_of(ini) & kWatched, attributes & kWatched) << attributes;
    ASSERT_TRUE(SetFileAttributesW(to_wide(ini).c_str(), FILE_ATTRIBUTE_NORMAL));
  }
}

TEST_F(SettingsFileWin32Test, ARefusedSaveLeavesTheFileByteForByte) {
  // Not a settings file as a save writes it: every byte must stay.
  const std::string old_bytes = "; mine\r\n[Section]\n\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3 = 2";
  const struct {
    const char* what;
    DWORD attributes;
    bool held;    // another program holds the file open...
    DWORD share;  // ...sharing this with others
    DWORD error;
  } cases[] = {
      {"read-only", FILE_ATTRIBUTE_READONLY, false, 0, ERROR_ACCESS_DENIED},
      {"read-only and hidden", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, false, 0, ERROR_ACCESS_DENIED},
      {"held with no sharing", FILE_ATTRIBUTE_NORMAL, true, 0, ERROR_SHARING_VIOLATION},
      {"held by a reader that lets no one write", FILE_ATTRIBUTE_NORMAL, true, FILE_SHARE_READ,
       ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : cases) {
    sandbox.file("Vantrel.ini", old_bytes);
    ASSERT_TRUE(SetFileAttributesW(to_wide(ini).c_str(), c.attributes));
    FileHandle held;
    if (c.held) {
      held = FileHandle(CreateFileW(to_wide(ini).c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(held) << c.what;
    }
    EXPECT_EQ(save(model_with_sphere_size(6)), WriteResult::WriteFailed) << c.what;
    EXPECT_EQ(failure, describe_system_error(c.error)) << c.what;
    held.reset();
    EXPECT_EQ(read_bytes(ini), old_bytes) << c.what;
    EXPECT_EQ(attributes_of(ini) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              c.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        << c.what;
    EXPECT_EQ(entries_of(sandbox.path()), std::vector<std::string>{"Vantrel.ini"}) << c.what;
    ASSERT_TRUE(SetFileAttributesW(to_wide(ini).c_str(), FILE_ATTRIBUTE_NORMAL));
  }
}

TEST_F(SettingsFileWin32Test, LeftoversOfOurSavesGoAndNothingElse) {
  const struct {
    const char* name;
    bool ours;
  } entries[] = {
      {"Vantrel.ini.1234-0.tmp", true},  // an earlier version's whole new file, never renamed
      {"VANTREL.INI.5-17.TMP", true},
      {"Vantrel.ini.99-3.tmp", true},
      {"Vantrel.ini.tmp", false},
      {"Vantrel.ini.12-x.tmp", false},
      {"Vantrel.ini.-3.tmp", false},
      {"Vantrel.ini.12-3.tmp.bak", false},
      {"Vantrel.ini.1-2.txt", false},
      {"Vantrel.ini1-2.tmp", false},
      {"Other.ini.1-2.tmp", false},
  };
  for (const bool saving : {false, true}) {
    testing::Sandbox place;
    const std::string settings = settings_file_path(place.path());
    place.file("Vantrel.ini", settings_bytes(3));
    for (const auto& entry : entries) place.file(entry.name, settings_bytes(4));
    place.folder("Vantrel.ini.7-7.tmp");
    // A save of another program run, still going: it holds its file open.
    place.file("Vantrel.ini.8-8.tmp", settings_bytes(4));
    FileHandle running(CreateFileW(to_wide(place.path("Vantrel.ini.8-8.tmp")).c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(running);

    Win32SettingsFile file(settings);
    if (saving) {
      ASSERT_EQ(Save_Settings(model_with_sphere_size(6), codec, file), WriteResult::Saved);
    } else {
      SettingsModel model;
      Load_Settings(model, files, codec, file);
      EXPECT_EQ(model.Action_Value[0], 3);
    }
    for (const auto& entry : entries) {
      EXPECT_EQ(exists(place.path(entry.name)), !entry.ours) << entry.name << (saving ? " (save)" : " (load)");
    }
    EXPECT_TRUE(exists(place.path("Vantrel.ini.7-7.tmp"))) << "a folder";
    running.reset();
    EXPECT_EQ(read_bytes(place.path("Vantrel.ini.8-8.tmp")), settings_bytes(4)) << "held open";
    EXPECT_EQ(read_bytes(settings), settings_bytes(saving ? 6 : 3));
  }
}

TEST_F(SettingsFileWin32Test, ASaveCutShortIsSettledByTheNextLoad) {
  const std::string old_bytes = settings_bytes(3), new_bytes = settings_bytes(40);
  const std::string record = journal_header(old_bytes, new_bytes) + old_bytes + new_bytes;
  const std::string torn = new_bytes.substr(0, 60) + old_bytes.substr(60) + "\n";
  const std::string edited = settings_bytes(7);
  const struct {
    const char* what;
    std::string leftover;
    std::optional<std::string> file;  // nothing: no settings file
    DWORD attributes;
    std::optional<std::string> file_after;
    bool leftover_stays;
  } cases[] = {
      {"torn: the old bytes go back", record, torn, FILE_ATTRIBUTE_NORMAL, old_bytes, false},
      {"torn and hidden: mended, still hidden", record, torn, FILE_ATTRIBUTE_HIDDEN, old_bytes, false},
      {"finished", record, new_bytes, FILE_ATTRIBUTE_NORMAL, new_bytes, false},
      {"not begun", record, old_bytes, FILE_ATTRIBUTE_NORMAL, old_bytes, false},
      {"written since", record, edited, FILE_ATTRIBUTE_NORMAL, edited, false},
      {"the record itself cut short", record.substr(0, record.size() - 1), torn, FILE_ATTRIBUTE_NORMAL, torn, false},
      {"the file gone since", record, std::nullopt, FILE_ATTRIBUTE_NORMAL, std::nullopt, false},
      {"torn but read-only since: kept for later", record, torn, FILE_ATTRIBUTE_READONLY, torn, true},
  };
  for (const auto& c : cases) {
    testing::Sandbox place;
    const std::string settings = settings_file_path(place.path());
    const std::string leftover = place.file("Vantrel.ini.4242-0.tmp", c.leftover);
    if (c.file) {
      place.file("Vantrel.ini", *c.file);
      ASSERT_TRUE(SetFileAttributesW(to_wide(settings).c_str(), c.attributes));
    }
    Win32SettingsFile file(settings);
    SettingsModel model;
    Load_Settings(model, files, codec, file);
    EXPECT_EQ(exists(leftover), c.leftover_stays) << c.what;
    if (c.file_after) {
      EXPECT_EQ(read_bytes(settings), *c.file_after) << c.what;
      constexpr DWORD kWatched = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
      EXPECT_EQ(attributes_of(settings) & kWatched, c.attributes & kWatched) << c.what;
    } else {
      EXPECT_FALSE(exists(settings)) << c.what;
    }
    if (c.file) {
      ASSERT_TRUE(SetFileAttributesW(to_wide(settings).c_str(), FILE_ATTRIBUTE_NORMAL));
    }
  }
}

}  // namespace
}  // namespace vantrel
