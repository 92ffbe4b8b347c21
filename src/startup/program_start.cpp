#include "startup/program_start.h"

namespace vantrel {

int Main(std::string_view argument_text, StartupHost& host) {
  // The guard comes first: not even a preview runs beside an open saver or
  // settings dialog.
  if (host.instance_running()) return 0;

  const StartRequest request = parse_argument_text(argument_text);
  if (request.mode == Mode::Preview) return host.run_preview(read_handle_number(request.handle_text));

  // The settings are read in every other mode, even for a switch that then
  // ends the program.
  SettingsModel model;
  host.load_settings(model);

  switch (request.mode) {
    case Mode::ChangePassword:
      if (!host.is_nt()) host.change_password(read_handle_number(request.handle_text));
      return 0;
    case Mode::Settings:
      host.show_settings_dialog(model);
      return 0;
    case Mode::Saver:
      return host.run_saver(model, request.run_kind);
    case Mode::Preview:
    case Mode::End:
      break;
  }
  return 0;
}

}  // namespace vantrel
