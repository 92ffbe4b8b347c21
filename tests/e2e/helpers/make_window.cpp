// Plays another instance of the program for the end-to-end tests: makes one
// top-level window with the caption given on the command line and lives until
// the window is closed or the process is killed.
//
//   make_window.exe [--hidden] <caption>
//
// The caption is the rest of the command line after the options, taken as
// UTF-16 (so "Vantrelの設定" arrives whole). --hidden leaves the window
// unshown: it still exists for FindWindow, as a hidden dialog would.
// Once the window exists, its handle is written to standard output as a
// decimal number and a line end, so a test knows when to go on.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, w_param, l_param);
}

// Skips leading blanks; returns the rest of the text.
const wchar_t* skip_blanks(const wchar_t* text) {
  while (*text == L' ' || *text == L'\t') ++text;
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  const wchar_t* rest = skip_blanks(command_line ? command_line : L"");
  bool hidden = false;
  constexpr wchar_t kHiddenOption[] = L"--hidden";
  constexpr size_t kHiddenLength = sizeof kHiddenOption / sizeof kHiddenOption[0] - 1;
  if (std::wcsncmp(rest, kHiddenOption, kHiddenLength) == 0 &&
      (rest[kHiddenLength] == L' ' || rest[kHiddenLength] == L'\0')) {
    hidden = true;
    rest = skip_blanks(rest + kHiddenLength);
  }
  std::wstring caption = rest;
  // The caption may come quoted when it holds blanks.
  if (caption.size() >= 2 && caption.front() == L'"' && caption.back() == L'"') {
    caption = caption.substr(1, caption.size() - 2);
  }

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"VantrelTestWindow";
  if (!RegisterClassExW(&window_class)) return 2;

  HWND window = CreateWindowExW(0, window_class.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW,
                                40, 40, 320, 200, nullptr, nullptr, instance, nullptr);
  if (!window) return 3;
  if (!hidden) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  std::fflush(stdout);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
