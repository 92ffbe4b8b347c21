// Tells the end-to-end tests what Windows knows about a top-level window that
// X cannot show them: its z-order band, its place in screen pixels and the
// text of its controls (a message box's text lives in a child control).
//
//   describe_window.exe <caption>
//
// The caption is the rest of the command line, taken as UTF-16. For the first
// top-level window with exactly that caption it writes, in UTF-8, one line per
// fact:
//
//   class <window class name>
//   topmost <1 when WS_EX_TOPMOST is set, else 0>
//   toolwindow <1 when WS_EX_TOOLWINDOW is set (no taskbar button), else 0>
//   shown_above <how many shown top-level windows lie above it in z-order>
//   rect <left> <top> <right> <bottom>
//   client <left> <top> <right> <bottom>  (the client area, in screen pixels)
//   screen <width> <height>
//   dpi <pixels per logical inch of the screen>
//   child <class name> <left> <top> <right> <bottom> <text>
//                                        (one line per child, in z-order; a
//                                         line break of the text as U+2028)
//   item_height <pixels>                 (a list box child's line height)
//   entry <text>                         (one line per entry of a list box
//                                         child, in its order)
//
// and ends with 0; without such a window it writes nothing and ends with 1.
// The z-order is the system's own: without a window manager X stacks windows
// as they are mapped. Text of another process's control is asked for with
// WM_GETTEXT, which the system carries across processes.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// A control that does not answer within this is reported with empty text.
constexpr UINT kTextTimeoutMilliseconds = 2000;
constexpr int kMaxText = 1024;

void write_utf8(const std::wstring& text) {
  if (text.empty()) return;
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring class_of(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring text_of(HWND window) {
  wchar_t text[kMaxText] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, kMaxText, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           kTextTimeoutMilliseconds, &copied)) {
    return {};
  }
  // One line per fact: a text's line breaks travel as U+2028 (line separator).
  std::wstring one_line;
  for (size_t i = 0; i < static_cast<size_t>(copied); ++i) {
    if (text[i] == L'\r') continue;
    one_line += text[i] == L'\n' ? L'\u2028' : text[i];
  }
  return one_line;
}

// The window's place on the screen: left, top, right and bottom in pixels.
std::wstring rect_text(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) +
         L" " + std::to_wstring(rect.bottom);
}

struct ScreenDcRelease {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};

int screen_dpi() {
  const std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcRelease> screen(GetDC(nullptr));
  return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
}

// Skips leading blanks; returns the rest of the text.
const wchar_t* skip_blanks(const wchar_t* text) {
  while (*text == L' ' || *text == L'\t') ++text;
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  // Real pixels, as the saver (which is DPI-aware) sees the screen.
  SetProcessDPIAware();
  std::wstring caption = skip_blanks(command_line ? command_line : L"");
  // The caption may come quoted when it holds blanks.
  if (caption.size() >= 2 && caption.front() == L'"' && caption.back() == L'"') {
    caption = caption.substr(1, caption.size() - 2);
  }

  const HWND window = FindWindowW(nullptr, caption.c_str());
  if (!window) return 1;

  const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  int shown_above = 0;
  for (HWND other = GetWindow(window, GW_HWNDPREV); other; other = GetWindow(other, GW_HWNDPREV)) {
    if (IsWindowVisible(other)) ++shown_above;
  }
  write_utf8(L"class " + class_of(window) + L"\n");
  write_utf8(L"topmost " + std::to_wstring(topmost ? 1 : 0) + L"\n");
  const bool tool = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  write_utf8(L"toolwindow " + std::to_wstring(tool ? 1 : 0) + L"\n");
  write_utf8(L"shown_above " + std::to_wstring(shown_above) + L"\n");
  write_utf8(L"rect " + rect_text(window) + L"\n");
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  write_utf8(L"client " + std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) + L" " +
             std::to_wstring(origin.x + client.right) + L" " + std::to_wstring(origin.y + client.bottom) + L"\n");
  write_utf8(L"screen " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" " +
             std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L"\n");
  write_utf8(L"dpi " + std::to_wstring(screen_dpi()) + L"\n");
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    write_utf8(L"child " + class_of(child) + L" " + rect_text(child) + L" " + text_of(child) + L"\n");
  }
  // The system carries a list box's texts across processes, as it does a
  // window's text.
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (class_of(child) != L"ListBox") continue;
    write_utf8(L"item_height " + std::to_wstring(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0)) + L"\n");
    write_utf8(L"selected " + std::to_wstring(SendMessageW(child, LB_GETCURSEL, 0, 0)) + L"\n");
    const LRESULT count = SendMessageW(child, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t entry[kMaxText] = {};
      if (SendMessageW(child, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) >= kMaxText) continue;
      SendMessageW(child, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
      write_utf8(L"entry " + std::wstring(entry) + L"\n");
    }
  }
  std::fflush(stdout);
  return 0;
}
