#include "startup/startup_win32.h"

#include "dialog/settings_dialog_win32.h"
#include "platform/optional_functions_win32.h"
#include "platform/platform_check_win32.h"
#include "platform/system_library_win32.h"
#include "platform/wide_text_win32.h"
#include "saver/saver_window_win32.h"
#include "settings/settings_file_win32.h"
#include "startup/preview_form_win32.h"
#include "startup/program_start.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

HWND window_from_number(std::int32_t number) {
  // Window handles carry 32 significant bits, sign-extended on 64-bit Windows.
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(number));
}

class Win32StartupHost final : public StartupHost {
 public:
  explicit Win32StartupHost(HINSTANCE instance) : instance_(instance) {}

  bool instance_running() override {
    return FindWindowW(nullptr, to_wide(kSaverCaption).c_str()) != nullptr ||
           FindWindowW(nullptr, to_wide(kDialogCaption).c_str()) != nullptr;
  }

  void load_settings(SettingsModel& model) override { load_settings_beside_program(model); }

  bool is_nt() override { return Is_NT(); }

  void change_password(std::int32_t owner) override {
    if (const auto change = optional_functions::PwdChangePasswordA()) change("SCRSAVE", window_from_number(owner), 0, 0);
  }

  void show_settings_dialog(SettingsModel& model) override { run_settings_dialog(instance_, model); }

  int run_saver(const SettingsModel& model, RunKind run_kind) override {
    return run_saver_window(instance_, model, run_kind);
  }

  int run_preview(std::int32_t parent_window) override {
    return run_preview_window(instance_, window_from_number(parent_window));
  }

 private:
  HINSTANCE instance_;
};

}  // namespace

int run_program(HINSTANCE instance, const wchar_t* argument_text) {
  restrict_dll_search_to_system();
  Win32StartupHost host(instance);
  return Main(to_utf8(argument_text), host);
}

}  // namespace vantrel
