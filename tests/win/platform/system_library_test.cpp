#include "platform/system_library_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/handles_win32.h"

namespace vantrel {
namespace {

std::wstring module_path(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring folder_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// The test program's folder holds a planted mpr.dll (tests/win/fixtures) that
// exports a marker the system's DLL lacks. Wine prefers its own built-in copy
// of a system DLL even when asked for another by path, which would hide the
// plant; the harness runs this program with WINEDLLOVERRIDES=mpr=n,b so that
// Wine behaves like Windows here.
TEST(SystemLibrary, NeverLoadsADllPlantedBesideTheProgram) {
  const std::wstring planted = folder_of(module_path(nullptr)) + L"\\mpr.dll";
  ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted DLL is missing";
  {
    // Proves the plant is real: loaded by its full path it shows the marker.
    const ModuleHandle by_path(LoadLibraryExW(planted.c_str(), nullptr, 0));
    ASSERT_TRUE(by_path);
    ASSERT_NE(GetProcAddress(by_path.get(), "vantrel_planted_marker"), nullptr)
        << "the plant is hidden: under Wine run with WINEDLLOVERRIDES=mpr=n,b";
  }
  {
    // And the ordinary search, before any restriction, does fall for it.
    const ModuleHandle searched(LoadLibraryW(L"mpr.dll"));
    ASSERT_TRUE(searched);
    EXPECT_NE(GetProcAddress(searched.get(), "vantrel_planted_marker"), nullptr);
  }

  const ModuleHandle mpr = load_system_library(L"mpr.dll");
  ASSERT_TRUE(mpr);
  EXPECT_EQ(GetProcAddress(mpr.get(), "vantrel_planted_marker"), nullptr);
  wchar_t system_folder[MAX_PATH] = {};
  GetSystemDirectoryW(system_folder, MAX_PATH);
  EXPECT_EQ(_wcsicmp(folder_of(module_path(mpr.get())).c_str(), system_folder), 0);
}

// The restriction holds for the rest of the process, so it is tried in a
// process of its own (this program again, running only the test below):
// the other tests find the search as every program starts with it, whatever
// order they run in.
TEST(SystemLibrary, DISABLED_RestrictedSearchInAProcessOfItsOwn) {
  restrict_dll_search_to_system();
  const ModuleHandle mpr(LoadLibraryW(L"mpr.dll"));
  ASSERT_TRUE(mpr);
  EXPECT_EQ(GetProcAddress(mpr.get(), "vantrel_planted_marker"), nullptr);
}

TEST(SystemLibrary, DefaultSearchSkipsTheProgramFolderOnceRestricted) {
  const std::wstring program = module_path(nullptr);
  std::wstring command = L"\"" + program +
                         L"\" --gtest_also_run_disabled_tests --gtest_filter=SystemLibrary.DISABLED_RestrictedSearchInAProcessOfItsOwn";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                             nullptr, &startup, &started));
  const KernelHandle process(started.hProcess);
  CloseHandle(started.hThread);
  ASSERT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.get(), &exit_code);
  EXPECT_EQ(exit_code, 0u) << "the restricted search found the planted DLL";
}

}  // namespace
}  // namespace vantrel
