// The entry point hands the argument text to the start-up dispatch; nothing
// else lives here.
#include <windows.h>

#include "startup/startup_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argument_text, int) {
  return vantrel::run_program(instance, argument_text ? argument_text : L"");
}
