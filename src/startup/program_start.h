#pragma once
// Main: the one start of the program in every mode. It refuses to run beside an
// open saver or settings dialog, reads the switch, loads the settings (not for
// the preview) and hands over to exactly one mode.

#include <cstdint>
#include <string_view>

#include "settings/settings_model.h"
#include "startup/command_line.h"

namespace vantrel {

// What Main hands over to; the Win32 layer implements it, tests fake it.
class StartupHost {
 public:
  virtual ~StartupHost() = default;

  // True while a top-level window captioned "Vantrel_Main" or "Vantrelの設定"
  // exists.
  virtual bool instance_running() = 0;
  // Fills the model from the settings file, dropping a vanished file or
  // folder and listing the folder's images. Never fails.
  virtual void load_settings(SettingsModel& model) = 0;
  // True on the NT platform family, where the saver password is the system's.
  virtual bool is_nt() = 0;
  // The system's password-change dialog, owned by `owner`; returns when closed.
  virtual void change_password(std::int32_t owner) = 0;
  // The settings dialog, modal and without owner; returns when it closes.
  virtual void show_settings_dialog(SettingsModel& model) = 0;
  // The modes that live on in their window; each returns the exit code when
  // its window has gone.
  virtual int run_saver(const SettingsModel& model, RunKind run_kind) = 0;
  virtual int run_preview(std::int32_t parent_window) = 0;
};

// Returns the process exit code.
int Main(std::string_view argument_text, StartupHost& host);

}  // namespace vantrel
