// Tells the end-to-end tests what the saver changes in the system, as
// another program sees it:
//
//   saver_running <1 when the system's screen-saver-running flag is set>
//   cursor_showing <1 when the mouse cursor is shown>
//   screen_saving <1 when screen saving is switched on>
//
// With "clear" it first clears the running flag: a saver an earlier test
// had to kill never got to clear it, and the flag outlives every process.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  if (std::wcsstr(command_line, L"clear") != nullptr) {
    BOOL was_running = FALSE;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, &was_running, 0);
  }
  BOOL running = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  CURSORINFO cursor{};
  cursor.cbSize = sizeof(cursor);
  GetCursorInfo(&cursor);
  BOOL active = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  std::printf("saver_running %d\ncursor_showing %d\nscreen_saving %d\n", running ? 1 : 0,
              (cursor.flags & CURSOR_SHOWING) ? 1 : 0, active ? 1 : 0);
  std::fflush(stdout);
  return 0;
}
