#pragma once
// What the settings dialog's presenter needs from the window it drives and
// from the work done beside it. The Win32 layer implements both; the tests
// fake them. Texts are UTF-8; places are 96-DPI pixels unless said otherwise.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dialog/control_table.h"
#include "imagesource/image_list.h"
#include "platform/picture_decoder.h"
#include "settings/settings_model.h"
#include "settings/settings_store.h"

namespace vantrel {

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

class DialogView {
 public:
  virtual ~DialogView() = default;

  // The presenter's state of `control` changed (a caption, a picture, the
  // preview, the link colour, a bar's value): show it.
  virtual void refresh(ControlId control) = 0;

  // List_1.
  virtual void set_list_horizontal_extent(int extent96) = 0;
  // Replaces every entry with `entries`, in their order, in one go.
  virtual void set_list_entries(const std::vector<std::string>& entries) = 0;

  // The pointer's screen position; nothing when it cannot be read.
  virtual std::optional<ScreenPoint> cursor_position() = 0;

  // The caption-rectangle animations between a screen point and the window.
  virtual void open_animation(ScreenPoint point) = 0;
  virtual void close_animation(ScreenPoint point) = 0;

  // Ends the window. The presenter has run the unload before.
  virtual void close() = 0;

  // Paints what has changed now, before a long action begins.
  virtual void repaint_now() = 0;

  // The dialog became busy or stopped being so: the pointer changes where it
  // stands over the dialog now, not only at its next move, to the shape
  // pointer_for gives.
  virtual void show_busy(bool busy) = 0;

  // A message box owned by the dialog, titled "Vantrel", OK only: with the
  // exclamation mark, or no icon (the folder scan's error).
  enum class MessageIcon { Exclamation, None };
  virtual void show_message(const std::string& text, MessageIcon icon) = 0;

  // The system's folder browser, owned by the dialog, with `title`, offering
  // only file-system folders: the chosen folder's path, or nothing when the
  // user cancelled.
  virtual std::optional<std::string> choose_folder(const std::string& title) = 0;

  // Opens the address with the shell's "open" verb; a failure is not told.
  virtual void open_address(const std::string& address) = 0;
};

// Where an accepted choice is written: all seven keys at once.
class SettingsWriter {
 public:
  virtual ~SettingsWriter() = default;
  virtual SaveOutcome save(const SettingsModel& model) = 0;
};

// The answers of DialogWork, handed to DialogPresenter::on_work_answer on the
// window's thread, each with the ticket of its request.
struct ScanProgress {  // the number of images found so far
  std::uint64_t ticket = 0;
  std::size_t found = 0;
};
struct PreviewDecoded {  // nothing for a file that cannot be read as a picture
  std::uint64_t ticket = 0;
  std::optional<DecodedPicture> decoded;
};
struct ScanFinished {
  std::uint64_t ticket = 0;
  ImageListing listing;
};
using WorkAnswer = std::variant<ScanProgress, PreviewDecoded, ScanFinished>;

// Work that takes long (a large photo's decode) and runs beside the window.
// Each request carries a ticket; its answer comes back to the presenter on the
// window's thread with that ticket. A newer request of the same kind makes
// the older one's answer unwanted.
class DialogWork {
 public:
  virtual ~DialogWork() = default;

  // Decodes the picture at `path` for the preview at `dpi`; the answer is
  // DialogPresenter::on_preview_decoded.
  virtual void decode_preview(std::uint64_t ticket, const std::string& path, int dpi) = 0;

  // Lists the images of `folder` as list_images does; the running count
  // comes back in DialogPresenter::on_scan_progress, the listing in
  // on_scan_finished.
  virtual void scan_folder(std::uint64_t ticket, const std::string& folder) = 0;

  // Abandons every request: no answer comes back after this.
  virtual void stop_all() = 0;
};

}  // namespace vantrel
