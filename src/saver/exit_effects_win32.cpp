#include "saver/exit_effects_win32.h"

#include "platform/base_window_win32.h"
#include "platform/platform_check_win32.h"
#include "platform/optional_functions_win32.h"

namespace vantrel {

bool Win32PasswordService::is_nt() { return Is_NT(); }

PasswordVerdict Win32PasswordService::verify_password() {
  const auto verify = optional_functions::VerifyScreenSavePwd();
  if (!verify) return PasswordVerdict::Accepted;
  return verify(owner_) ? PasswordVerdict::Accepted : PasswordVerdict::Refused;
}

void Win32ExitEffects::show_cursor(bool visible) { ShowCursor(visible ? TRUE : FALSE); }

void Win32ExitEffects::set_system_keys(bool enable) {
  // A set "saver running" flag blocks the system key combinations on the
  // systems that honour it; the others ignore it.
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, enable ? FALSE : TRUE, nullptr, 0);
}

void Win32ExitEffects::set_cursor_poll(bool running) {
  if (!window_) return;
  if (running)
    SetTimer(window_, kCursorPollTimer, kCursorPollMilliseconds, nullptr);
  else
    KillTimer(window_, kCursorPollTimer);
}

void Win32ExitEffects::enable_screen_saving() {
  // Switched on for this session only: the user's profile is not written.
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
}

void Win32ExitEffects::end_program() {
  if (window_) destroy_window(window_);
  PostQuitMessage(0);
}

}  // namespace vantrel
