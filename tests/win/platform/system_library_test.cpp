#include "platform/system_library_win32.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(SystemLibrary, DefaultSearchSkipsTheProgramFolderOnceRestricted) {
  restrict_dll_search_to_system();
  const ModuleHandle mpr(LoadLibraryW(L"mpr.dll"));
  ASSERT_TRUE(mpr);
  EXPECT_EQ(GetProcAddress(mpr.get(), "vantrel_planted_marker"), nullptr);
}

}  // namespace
}  // namespace vantrel
