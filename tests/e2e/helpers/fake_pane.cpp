// Plays the Display control panel for the preview tests: a host window with a
// "pane" child of the size asked for, and Vantrel.scr started on that pane.
//
//   fake_pane.exe <Vantrel.scr> <width> <height> <separator>
//
// <separator> is the text put between "/p" and the handle (" " or ":"), or
// "none:<number>" to pass that number instead of the pane's handle, or
// "desktop" to pass the desktop window's handle, or "race:<milliseconds>" to
// pass the pane's handle and destroy the pane that long after the start, as
// a user clicking quickly through the list of savers does. Writes
//   pane <handle> <screen left> <screen top> <width> <height>
// once the program is started, then answers one command a line on stdin:
//   inspect  -> child <handle> <is the pane its parent 0/1> <WS_CHILD 0/1>
//               <WS_POPUP 0/1> <left> <top> <width> <height> <visible 0/1>
//               <owned by the started program 0/1> <client width> <client height>
//               (position in the pane's client area, sizes in pixels), or
//               "child none" while the pane has no child window
//   destroy  -> destroys the pane, then "ended <milliseconds>" when the
//               program has exited (or "running" after 5 s)
//   status   -> "running" or "exited <code>"
//   post <message> <wparam> <lparam>
//            -> posts that message (numbers decimal or 0x hexadecimal) to the
//               pane's child, then "posted 1", or "posted 0" without a child
// End of input ends the helper and, if it still runs, the program.
// The pane is painted magenta, so whatever the preview leaves uncovered shows.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdarg>
#include <cwchar>
#include <string>
#include <thread>

namespace {

constexpr UINT kCommand = WM_APP + 1;  // wParam: a heap-allocated std::string
HWND g_host = nullptr;                 // test helper: one window, one thread
HWND g_pane = nullptr;
PROCESS_INFORMATION g_program{};

void say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void run_command(const std::string& command) {
  if (command == "inspect") {
    const HWND child = g_pane ? FindWindowExW(g_pane, nullptr, nullptr, nullptr) : nullptr;
    if (!child) {
      say("child none");
      return;
    }
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(g_pane, &origin);
    RECT client{};
    GetClientRect(child, &client);
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    say("child %llu %d %d %d %ld %ld %ld %ld %d %d %ld %ld",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)), GetParent(child) == g_pane ? 1 : 0,
        (style & WS_CHILD) ? 1 : 0, (style & WS_POPUP) ? 1 : 0, origin.x, origin.y, rect.right - rect.left,
        rect.bottom - rect.top, IsWindowVisible(child) ? 1 : 0, owner == g_program.dwProcessId ? 1 : 0,
        client.right - client.left, client.bottom - client.top);
  } else if (command == "destroy") {
    const DWORD start = GetTickCount();
    DestroyWindow(g_pane);
    g_pane = nullptr;
    // Keep this thread's messages flowing while the program winds down, all
    // but the next commands: they wait for this one's answer.
    for (;;) {
      const DWORD waited = MsgWaitForMultipleObjects(1, &g_program.hProcess, FALSE, 50, QS_ALLINPUT);
      if (waited == WAIT_OBJECT_0) {
        say("ended %lu", GetTickCount() - start);
        return;
      }
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, kCommand - 1, PM_REMOVE) ||
             PeekMessageW(&message, nullptr, kCommand + 1, 0xFFFFFFFF, PM_REMOVE))
        DispatchMessageW(&message);
      if (GetTickCount() - start > 5000) {
        say("running");
        return;
      }
    }
  } else if (command.rfind("post ", 0) == 0) {
    unsigned long long message = 0, wparam = 0, lparam = 0;
    const HWND child = g_pane ? FindWindowExW(g_pane, nullptr, nullptr, nullptr) : nullptr;
    const bool read = std::sscanf(command.c_str() + 5, "%lli %lli %lli", &message, &wparam, &lparam) == 3;
    say("posted %d", child && read && PostMessageW(child, static_cast<UINT>(message), static_cast<WPARAM>(wparam),
                                                   static_cast<LPARAM>(lparam))
                         ? 1
                         : 0);
  } else if (command == "status") {
    DWORD code = 0;
    GetExitCodeProcess(g_program.hProcess, &code);
    if (code == STILL_ACTIVE)
      say("running");
    else
      say("exited %lu", code);
  }
}

LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kCommand) {
    auto* command = reinterpret_cast<std::string*>(wparam);
    run_command(*command);
    delete command;
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 5) {
    say("usage: fake_pane <Vantrel.scr> <width> <height> <separator>");
    return 2;
  }
  const int width = _wtoi(argv[2]);
  const int height = _wtoi(argv[3]);

  WNDCLASSW host_class{};
  host_class.lpfnWndProc = host_procedure;
  host_class.hInstance = instance;
  host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  host_class.lpszClassName = L"FakeControlPanel";
  RegisterClassW(&host_class);
  WNDCLASSW pane_class{};
  pane_class.lpfnWndProc = DefWindowProcW;
  pane_class.hInstance = instance;
  pane_class.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
  pane_class.lpszClassName = L"FakePreviewPane";
  RegisterClassW(&pane_class);

  g_host = CreateWindowExW(0, L"FakeControlPanel", L"Fake control panel", WS_POPUP | WS_VISIBLE, 100, 100,
                           width + 80, height + 80, nullptr, nullptr, instance, nullptr);
  // WS_CLIPCHILDREN keeps the pane's own painting off the preview whatever
  // order the two processes paint in, so a screenshot shows only what the
  // preview drew where it covers the pane.
  g_pane = CreateWindowExW(0, L"FakePreviewPane", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width,
                           height, g_host, nullptr, instance, nullptr);
  UpdateWindow(g_host);

  const std::wstring separator = argv[4];
  std::wstring handle_text = std::to_wstring(reinterpret_cast<UINT_PTR>(g_pane));
  std::wstring command_line = L"\"" + std::wstring(argv[1]) + L"\" /p";
  int race_milliseconds = -1;
  if (separator.rfind(L"none:", 0) == 0) {
    command_line += L" " + separator.substr(5);
  } else if (separator == L"desktop") {
    command_line += L" " + std::to_wstring(reinterpret_cast<UINT_PTR>(GetDesktopWindow()));
  } else if (separator.rfind(L"race:", 0) == 0) {
    race_milliseconds = _wtoi(separator.c_str() + 5);
    command_line += L" " + handle_text;
  } else {
    command_line += separator + handle_text;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &g_program)) {
    say("cannot start %ls", argv[1]);
    return 1;
  }
  if (race_milliseconds >= 0) {
    Sleep(static_cast<DWORD>(race_milliseconds));
    DestroyWindow(g_pane);
    g_pane = nullptr;
  }
  RECT rect{};
  if (g_pane) GetWindowRect(g_pane, &rect);
  say("pane %llu %ld %ld %d %d", std::wcstoull(handle_text.c_str(), nullptr, 10), rect.left, rect.top, width,
      height);

  std::thread([] {
    char line[256];
    while (std::fgets(line, sizeof(line), stdin)) {
      std::string command(line);
      while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
      PostMessageW(g_host, kCommand, reinterpret_cast<WPARAM>(new std::string(command)), 0);
    }
    // End of input ends the helper and the program it started. Leaving
    // without closing the host window saves the 2 s that Wine's X11 driver
    // waits, with no window manager, for a hidden top-level to be withdrawn.
    PostMessageW(g_host, WM_QUIT, 0, 0);
  }).detach();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  TerminateProcess(g_program.hProcess, 0);
  return 0;
}
