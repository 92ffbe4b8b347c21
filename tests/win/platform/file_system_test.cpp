#include "platform/file_system_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "imagesource/sandbox.h"
#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

using namespace std::string_literals;

FileHandle hold_open(const std::string& path, DWORD access, DWORD share) {
  FileHandle file(CreateFileW(to_wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(file) << "cannot hold " << path << " open";
  return file;
}

// The names in a folder, sorted, read with the system's own search.
std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(to_wide(folder + "\\*").c_str(), &found));
  if (!search) return names;
  do {
    const std::wstring_view name(found.cFileName);
    if (name != L"." && name != L"..") names.push_back(to_utf8(name));
  } while (FindNextFileW(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  testing::Sandbox sandbox;
  Win32FileSystem file_system;
};

TEST_F(Win32FileSystemTest, OpensFilesForReadingWhileOthersHoldThem) {
  sandbox.file("a.bmp", "x");
  sandbox.file("写真.jpg", "x");
  sandbox.folder("sub");
  sandbox.file("shared.bmp", "x");
  sandbox.file("exclusive.bmp", "x");
  const FileHandle writer = hold_open(sandbox.path("shared.bmp"), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  const FileHandle owner = hold_open(sandbox.path("exclusive.bmp"), GENERIC_READ, 0);

  const std::pair<std::string, bool> cases[] = {
      {sandbox.path("a.bmp"), true},
      {sandbox.path("写真.jpg"), true},
      {sandbox.path("shared.bmp"), true},      // open elsewhere for writing, shared for reading
      {sandbox.path("exclusive.bmp"), false},  // open elsewhere, shared with no one
      {sandbox.path("sub"), false},            // a folder is not a file
      {sandbox.path("missing.bmp"), false},
      {sandbox.path("a.bmp") + "\\", false},
      {sandbox.path("a.bmp") + "\0.txt"s, false},  // a NUL must not cut the name short
      {"", false},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(file_system.can_open_for_reading(path), expected) << path;
}

TEST_F(Win32FileSystemTest, ReadsTheWholeFileByteForByte) {
  std::string bytes = "line\r\n\0\xFF"s;
  bytes += std::string(200000, 'z');  // several reads
  sandbox.file("写真.ini", bytes);
  sandbox.file("empty.ini");
  sandbox.file("shared.ini", "abc");
  const FileHandle writer = hold_open(sandbox.path("shared.ini"), GENERIC_WRITE, FILE_SHARE_READ);

  EXPECT_EQ(file_system.read_file(sandbox.path("写真.ini")), bytes);
  EXPECT_EQ(file_system.read_file(sandbox.path("empty.ini")), "");
  EXPECT_EQ(file_system.read_file(sandbox.path("shared.ini")), "abc");
  EXPECT_EQ(file_system.read_file(sandbox.path("missing.ini")), std::nullopt);
  EXPECT_EQ(file_system.read_file(sandbox.path()), std::nullopt);
}

TEST_F(Win32FileSystemTest, ReplacesOrCreatesAFileLeavingNothingElseBehind) {
  const std::string big(3 << 20, 'b');  // larger than one write
  const std::pair<std::string, std::string> cases[] = {
      {"old content", "new"},
      {"", "created"},  // no file before
      {"old", ""},
      {"old", big},
  };
  for (const auto& [before, after] : cases) {
    const std::string target = sandbox.path("Vantrel.ini");
    DeleteFileW(to_wide(target).c_str());
    if (!before.empty()) sandbox.file("Vantrel.ini", before);
    EXPECT_TRUE(file_system.replace_file(target, after));
    EXPECT_EQ(file_system.read_file(target), after);
    EXPECT_EQ(names_in(sandbox.path()), std::vector<std::string>{"Vantrel.ini"});
  }
}

TEST_F(Win32FileSystemTest, AFailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
  struct Case {
    const char* what;
    std::string target;
    std::function<FileHandle()> prepare;  // what stands in the way, held for the call
  };
  const Case cases[] = {
      {"target open elsewhere without delete sharing", sandbox.path("held.ini"),
       [&] {
         sandbox.file("held.ini", "old");
         return hold_open(sandbox.path("held.ini"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
       }},
      {"target is a folder", sandbox.path("folder.ini"),
       [&] {
         sandbox.folder("folder.ini");
         sandbox.file("folder.ini\\inside.txt", "old");
         return FileHandle();
       }},
      {"folder missing", sandbox.path("missing\\Vantrel.ini"), [] { return FileHandle(); }},
  };
  for (const auto& c : cases) {
    const FileHandle obstacle = c.prepare();
    const std::vector<std::string> names_before = names_in(sandbox.path());
    const auto content_before = file_system.read_file(c.target);

    EXPECT_FALSE(file_system.replace_file(c.target, "new")) << c.what;
    EXPECT_EQ(file_system.read_file(c.target), content_before) << c.what;
    EXPECT_EQ(names_in(sandbox.path()), names_before) << c.what;
  }
  EXPECT_EQ(names_in(sandbox.path("folder.ini")), std::vector<std::string>{"inside.txt"});
}

TEST_F(Win32FileSystemTest, FindsWhetherAPatternMatchesAnyEntry) {
  sandbox.file("a.bmp");
  sandbox.folder("empty");
  sandbox.folder("写真");
  sandbox.file("写真\\猫.gif");
  const std::pair<std::string, bool> cases[] = {
      {sandbox.path("*.*"), true},
      {sandbox.path("empty\\*.*"), true},  // its own "." entry
      {sandbox.path("写真\\*.*"), true},
      {sandbox.path("写真\\*.gif"), true},
      {sandbox.path("*.bmp"), true},
      {sandbox.path("*.gif"), false},
      {sandbox.path("missing\\*.*"), false},
      {sandbox.path("a.bmp\\*.*"), false},  // a file has no entries
      {"", false},
  };
  for (const auto& [pattern, expected] : cases) EXPECT_EQ(file_system.any_entry_matches(pattern), expected) << pattern;
}

TEST_F(Win32FileSystemTest, EnumeratesEveryEntryWithItsNameAndAttributes) {
  sandbox.file("a.bmp");
  sandbox.file("写真.jpg");
  sandbox.file("r.gif");
  SetFileAttributesW(to_wide(sandbox.path("r.gif")).c_str(), FILE_ATTRIBUTE_READONLY);
  sandbox.folder("sub");

  std::vector<DirectoryEntry> entries;
  const EnumerationResult result = file_system.enumerate_folder(sandbox.path() + "\\", [&](const DirectoryEntry& entry) {
    entries.push_back(entry);
    return true;
  });
  EXPECT_EQ(result.end, EnumerationEnd::Completed);
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 4u);  // no "." or ".."
  EXPECT_EQ(entries[0].name, "a.bmp");
  EXPECT_EQ(entries[1].name, "r.gif");
  EXPECT_EQ(entries[2].name, "sub");
  EXPECT_EQ(entries[3].name, "写真.jpg");
  EXPECT_EQ(entries[0].attributes & (kAttributeDirectory | kAttributeReadOnly), 0u);
  EXPECT_EQ(entries[1].attributes & kAttributeReadOnly, kAttributeReadOnly);
  EXPECT_EQ(entries[2].attributes & kAttributeDirectory, kAttributeDirectory);
  EXPECT_EQ(entries[3].attributes & kAttributeDirectory, 0u);
}

TEST_F(Win32FileSystemTest, EnumerationEndsAsTheVisitorOrTheFolderSays) {
  sandbox.file("a.bmp");
  sandbox.file("b.bmp");
  sandbox.folder("empty");
  struct Case {
    std::string folder;
    bool keep_going;
    EnumerationEnd end;
    std::size_t visits;
  };
  const Case cases[] = {
      {sandbox.path() + "\\", true, EnumerationEnd::Completed, 3},  // a.bmp, b.bmp, empty
      {sandbox.path() + "\\", false, EnumerationEnd::Completed, 1},  // the visitor stops it
      {sandbox.path("empty") + "\\", true, EnumerationEnd::Completed, 0},
      {sandbox.path("missing") + "\\", true, EnumerationEnd::Failed, 0},
      {sandbox.path("a.bmp") + "\\", true, EnumerationEnd::Failed, 0},
      {sandbox.path() + "\\\\", true, EnumerationEnd::Completed, 3},  // a doubled backslash is accepted
  };
  for (const auto& c : cases) {
    std::size_t visits = 0;
    const EnumerationResult result = file_system.enumerate_folder(c.folder, [&](const DirectoryEntry&) {
      ++visits;
      return c.keep_going;
    });
    EXPECT_EQ(result.end, c.end) << c.folder;
    // A failure says why in the system's words, for the message the user sees.
    EXPECT_EQ(result.failure.empty(), c.end == EnumerationEnd::Completed) << c.folder;
    EXPECT_EQ(visits, c.visits) << c.folder;
  }
}

TEST_F(Win32FileSystemTest, AFoldersStampChangesWithItsEntries) {
  const std::string folder = sandbox.folder("stamped");
  const auto stamp = [&] { return file_system.folder_stamp(folder + "\\"); };
  const auto unchanged = stamp();
  ASSERT_TRUE(unchanged);
  // Folder times are set from the clock: give them a tick to differ.
  const auto after_a_tick = [&](auto change) {
    Sleep(20);
    change();
    return stamp();
  };
  EXPECT_EQ(stamp(), unchanged) << "nothing changed";
  const auto added = after_a_tick([&] { sandbox.file("stamped\\a.bmp", "x"); });
  EXPECT_NE(added, unchanged) << "a file added";
  const auto renamed = after_a_tick([&] {
    MoveFileW(to_wide(folder + "\\a.bmp").c_str(), to_wide(folder + "\\b.bmp").c_str());
  });
  EXPECT_NE(renamed, added) << "a file renamed";
  const auto removed = after_a_tick([&] { DeleteFileW(to_wide(folder + "\\b.bmp").c_str()); });
  EXPECT_NE(removed, renamed) << "a file removed";
  EXPECT_FALSE(file_system.folder_stamp(sandbox.path("missing")));
  EXPECT_FALSE(file_system.folder_stamp(sandbox.file("plain.txt"))) << "a file is no folder";
}

TEST_F(Win32FileSystemTest, GivesAShortFormAndSaysWhyAReadFailed) {
  const std::string long_name = sandbox.file("Ünïcode picture name.jpeg", "x");
  const auto short_form = file_system.short_path(long_name);
  ASSERT_TRUE(short_form);
  EXPECT_NE(*short_form, long_name);
  EXPECT_TRUE(file_system.can_open_for_reading(*short_form)) << "the short form names the same file";
  EXPECT_FALSE(file_system.short_path(sandbox.path("missing.jpg")));

  EXPECT_EQ(file_system.describe_last_failure(), "") << "nothing failed yet";
  const FileHandle exclusive(CreateFileW(to_wide(long_name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(exclusive);
  EXPECT_FALSE(file_system.read_file(long_name));
  EXPECT_FALSE(file_system.describe_last_failure().empty()) << "a sharing violation has the system's words";
}

// Puts the process's current directory back, so the sandbox can go.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() { GetCurrentDirectoryW(MAX_PATH + 1, original_); }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;
  ~CurrentDirectoryGuard() { SetCurrentDirectoryW(original_); }

 private:
  wchar_t original_[MAX_PATH + 1] = {};
};

TEST_F(Win32FileSystemTest, ReportsTheCurrentDirectory) {
  const CurrentDirectoryGuard guard;
  for (const std::string& folder : {sandbox.path(), sandbox.folder("写真フォルダ")}) {
    ASSERT_TRUE(SetCurrentDirectoryW(to_wide(folder).c_str())) << folder;
    EXPECT_EQ(file_system.current_directory(), folder);
  }
}

}  // namespace
}  // namespace vantrel
