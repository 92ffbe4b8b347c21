// The settings dialog put together: the window, its controls, the view, the
// shell's services, the work beside the window and the presenter, made in
// the order each needs the others and ended in reverse.
#include "dialog/settings_dialog_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <chrono>

#include "dialog/dialog_accessible_win32.h"
#include "dialog/dialog_controls_win32.h"
#include "dialog/dialog_presenter.h"
#include "dialog/dialog_shell_win32.h"
#include "dialog/dialog_view_win32.h"
#include "dialog/dialog_window_win32.h"
#include "dialog/dialog_worker_win32.h"
#include "dialog/user_number_format_win32.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/file_system_win32.h"
#include "platform/fixed_seed_random.h"
#include "platform/text_codec_win32.h"
#include "settings/settings_file_win32.h"

namespace vantrel {
namespace {

// At load a preview has this long to be decoded before the window opens
// without it; it then appears as soon as it is ready.
constexpr std::chrono::milliseconds kPreviewWaitAtOpening{300};

// The settings file beside the program.
class FileBesideProgram final : public SettingsWriter {
 public:
  SaveOutcome save(const SettingsModel& model) override { return save_settings_beside_program(model); }
};

void show_dialog(HINSTANCE instance, SettingsModel& model) {
  DialogWindow window(instance);
  if (!window.create()) return;
  const HWND hwnd = window.window();
  DialogControls controls(instance, hwnd);
  const int dpi = window_dpi(hwnd);
  controls.apply_layout(dpi, true);  // the load's first step: the client area is Pic_C
  DialogPresenter* presenter_for_readers = nullptr;  // set once the presenter exists
  DialogAccessibility accessibility(hwnd, controls.layout(), [&] { return presenter_for_readers; });
  accessibility.name_system_control(controls.list(), ControlId::List_1);
  for (int bar = 0; bar < DialogControls::kBarCount; ++bar)
    accessibility.name_system_control(controls.bar(bar), *H_Scroll(bar));
  DialogWorker worker(hwnd);
  DialogShell shell(hwnd);
  Win32DialogView view(instance, hwnd, controls, shell, [&] {
    if (worker.wait_until_idle(kPreviewWaitAtOpening)) window.deliver_work_answers();
  });

  Win32FileSystem file_system;
  const Win32TextCodec codec;
  FileBesideProgram settings_file;
  FixedSeedRandom link_random;
  DialogPresenter presenter(model, view, worker,
                            DialogServices{file_system, codec, settings_file, link_random, user_digit_grouping()}, dpi);
  view.show_state(presenter.state());
  view.on_each_refresh([&](ControlId control) { accessibility.on_refresh(control); });
  window.attach(presenter, view, controls, worker);
  window.attach_readers(accessibility);
  presenter_for_readers = &presenter;
  presenter.on_load();
  window.run();
}

}  // namespace

void run_settings_dialog(HINSTANCE instance, SettingsModel& model) {
  make_thread_dpi_aware();
  // The folder browser is a shell dialog: it needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // The list and the sliders in the look of Common Controls 6 (the manifest
  // asks for them).
  INITCOMMONCONTROLSEX common_controls{sizeof(common_controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common_controls);
  show_dialog(instance, model);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace vantrel
