// Plays another program that posts a message to a window of Vantrel's.
//
//   post_message.exe <caption> <message> <wparam> <lparam>
//
// Numbers are decimal or 0x hexadecimal. Posts to the first top-level window
// with exactly that caption; ends with 0 when the message was posted, 1 when
// there is no such window.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 5) return 2;
  const HWND window = FindWindowW(nullptr, argv[1]);
  const auto number = [](const wchar_t* text) { return static_cast<unsigned long long>(std::wcstoull(text, nullptr, 0)); };
  const bool posted = window && PostMessageW(window, static_cast<UINT>(number(argv[2])),
                                             static_cast<WPARAM>(number(argv[3])), static_cast<LPARAM>(number(argv[4])));
  LocalFree(argv);
  return posted ? 0 : 1;
}
