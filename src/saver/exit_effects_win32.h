#pragma once
// The system side of the saver's exit rules: the password check of non-NT
// systems and the settings the saver changes and restores.

#include <windows.h>

#include "saver/exit_rules.h"

namespace vantrel {

class Win32PasswordService final : public PasswordService {
 public:
  // The password dialog's owner, once the saver window exists.
  void attach(HWND owner) { owner_ = owner; }

  bool is_nt() override;
  // VerifyScreenSavePwd from the system's password.cpl; where it is missing the
  // password counts as accepted.
  PasswordVerdict verify_password() override;

 private:
  HWND owner_ = nullptr;
};

// Carries out what the exit rules ask. The window passes itself for the cursor
// poll's timer and for ending.
class Win32ExitEffects final : public ExitEffects {
 public:
  static constexpr UINT_PTR kCursorPollTimer = 3;
  static constexpr UINT kCursorPollMilliseconds = 1;  // the system raises it to its minimum

  void attach(HWND window) { window_ = window; }

  void show_cursor(bool visible) override;
  void set_system_keys(bool enable) override;
  void set_cursor_poll(bool running) override;
  void enable_screen_saving() override;
  void end_program() override;

 private:
  HWND window_ = nullptr;
};

}  // namespace vantrel
