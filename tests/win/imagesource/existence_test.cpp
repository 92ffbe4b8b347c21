#include "imagesource/existence.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "imagesource/sandbox.h"
#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// --- Another program holding a file open -------------------------------------
// The test program starts a second copy of itself that runs only the disabled
// test below: it opens the file with the access and sharing it is given, says
// so through an event, and keeps the file open until told to let go.

constexpr wchar_t kHoldPath[] = L"VANTREL_HOLD_PATH";
constexpr wchar_t kHoldAccess[] = L"VANTREL_HOLD_ACCESS";
constexpr wchar_t kHoldShare[] = L"VANTREL_HOLD_SHARE";
constexpr wchar_t kHoldReady[] = L"VANTREL_HOLD_READY";
constexpr wchar_t kHoldRelease[] = L"VANTREL_HOLD_RELEASE";

std::wstring environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

TEST(OtherProgram, DISABLED_HoldsAFileOpen) {
  const FileHandle file(CreateFileW(environment(kHoldPath).c_str(), std::stoul(environment(kHoldAccess)),
                                    std::stoul(environment(kHoldShare)), nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file);
  const KernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, environment(kHoldReady).c_str()));
  const KernelHandle release(OpenEventW(SYNCHRONIZE, FALSE, environment(kHoldRelease).c_str()));
  ASSERT_TRUE(ready && release);
  SetEvent(ready.get());
  WaitForSingleObject(release.get(), 60000);
}

class OtherProgramHolding {
 public:
  OtherProgramHolding(const std::string& path, DWORD access, DWORD share) {
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    const std::wstring ready_name = L"vantrel-hold-ready-" + tag;
    const std::wstring release_name = L"vantrel-hold-release-" + tag;
    const KernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, ready_name.c_str()));
    release_.reset(CreateEventW(nullptr, TRUE, FALSE, release_name.c_str()));

    // The child inherits the environment of the moment it starts.
    SetEnvironmentVariableW(kHoldPath, to_wide(path).c_str());
    SetEnvironmentVariableW(kHoldAccess, std::to_wstring(access).c_str());
    SetEnvironmentVariableW(kHoldShare, std::to_wstring(share).c_str());
    SetEnvironmentVariableW(kHoldReady, ready_name.c_str());
    SetEnvironmentVariableW(kHoldRelease, release_name.c_str());

    wchar_t program[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH + 1);
    std::wstring command = L"\"" + std::wstring(program) +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=OtherProgram.DISABLED_HoldsAFileOpen";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const FileHandle quiet(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                       OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = quiet.get();
    startup.hStdError = quiet.get();
    PROCESS_INFORMATION started{};
    if (CreateProcessW(program, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
      process_.reset(started.hProcess);
      CloseHandle(started.hThread);
      const HANDLE either[] = {ready.get(), process_.get()};
      holding_ = WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
    }
    for (const wchar_t* name : {kHoldPath, kHoldAccess, kHoldShare, kHoldReady, kHoldRelease})
      SetEnvironmentVariableW(name, nullptr);
  }
  OtherProgramHolding(const OtherProgramHolding&) = delete;
  OtherProgramHolding& operator=(const OtherProgramHolding&) = delete;
  ~OtherProgramHolding() {
    if (release_) SetEvent(release_.get());
    if (process_) WaitForSingleObject(process_.get(), 30000);
  }
  bool holding() const { return holding_; }

 private:
  KernelHandle release_;
  KernelHandle process_;
  bool holding_ = false;
};

// --- The existence tests on a real disk ---------------------------------------

class ExistenceOnDisk : public ::testing::Test {
 protected:
  testing::Sandbox sandbox;
  Win32FileSystem file_system;
};

TEST_F(ExistenceOnDisk, FileExistsForAFileNotForAFolder) {
  sandbox.file("a.bmp", "x");
  sandbox.file("写真.jpg", "x");
  sandbox.folder("Pics");
  const std::pair<std::string, bool> cases[] = {
      {sandbox.path("a.bmp"), true},
      {sandbox.path("a.bmp") + "\\", true},  // one trailing backslash is dropped
      {sandbox.path("写真.jpg"), true},
      {sandbox.path("Pics"), false},
      {sandbox.path("Pics") + "\\", false},
      {sandbox.path("missing.bmp"), false},
      {"", false},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(File_Exists(file_system, path), expected) << path;
}

TEST_F(ExistenceOnDisk, FileExistsWhileAnotherProgramHoldsItUnlessItSharesNothing) {
  struct Case {
    const char* what;
    DWORD access;
    DWORD share;
    bool expected;
  };
  const Case cases[] = {
      {"reading, sharing reading", GENERIC_READ, FILE_SHARE_READ, true},
      {"writing, sharing reading", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true},
      {"reading, sharing nothing", GENERIC_READ, 0, false},
  };
  const std::string path = sandbox.file("写真.jpg", "x");
  for (const auto& c : cases) {
    const OtherProgramHolding other(path, c.access, c.share);
    ASSERT_TRUE(other.holding()) << c.what;
    EXPECT_EQ(File_Exists(file_system, path), c.expected) << c.what;
  }
}

TEST_F(ExistenceOnDisk, FolderExistsForAFolderNotForAFile) {
  sandbox.file("a.bmp", "x");
  sandbox.folder("empty");
  sandbox.folder("写真");
  const std::pair<std::string, bool> cases[] = {
      {sandbox.path(), true},
      {sandbox.path() + "\\", true},
      {sandbox.path() + "   ", true},  // trailing blanks are ignored
      {sandbox.path("empty"), true},
      {sandbox.path("写真"), true},
      {sandbox.path("a.bmp"), false},
      {sandbox.path("missing"), false},
      {"", true},  // the root of the current drive
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(Folder_Exists(file_system, path), expected) << path;
}

}  // namespace
}  // namespace vantrel
