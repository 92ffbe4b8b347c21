// Holds a file open the way a program that shares nothing does, until it is
// ended: no one else may read, write or delete it meanwhile.
//
//   hold_file.exe <path>
//
// Writes "held" once the file is open and then waits; ends with 1 when the
// file cannot be opened.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 2) return 1;
  const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LocalFree(argv);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open\n");
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}
