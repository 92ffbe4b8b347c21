#pragma once
// What the settings dialog asks of the system's shell, owned by the dialog's
// window: the message box, the folder browser and the shell's "open".

#include <windows.h>

#include <optional>
#include <string>

#include "dialog/dialog_view.h"

namespace vantrel {

class DialogShell {
 public:
  explicit DialogShell(HWND owner) : owner_(owner) {}

  // Titled "Vantrel", OK only, with the exclamation mark or no icon.
  void show_message(const std::string& text, DialogView::MessageIcon icon);

  // The system's folder browser with `title`, offering only file-system
  // folders: the chosen folder's path, however long, or nothing when the user
  // cancelled. COM must be started on the calling thread.
  std::optional<std::string> choose_folder(const std::string& title);

  // Opens `address` with the verb "open"; a failure is not told.
  void open_address(const std::string& address);

 private:
  HWND owner_;
};

}  // namespace vantrel
