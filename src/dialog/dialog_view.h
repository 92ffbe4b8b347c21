#pragma once
// What the settings dialog's presenter needs from the window it drives and
// from the work done beside it. The Win32 layer implements both; the tests
// fake them. Texts are UTF-8; places are 96-DPI pixels unless said otherwise.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialog/control_table.h"

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
  // preview, the link colour, the pointer): show it.
  virtual void refresh(ControlId control) = 0;

  // List_1.
  virtual void set_list_horizontal_extent(int extent96) = 0;
  // Replaces every entry with `entries`, in their order, in one go.
  virtual void set_list_entries(const std::vector<std::string>& entries) = 0;

  // H_Scroll(bar), bar 0 to 3. Setting refuses a value outside the bar's
  // range: false, and the bar keeps its value. Setting raises no event.
  virtual int scroll_value(int bar) const = 0;
  virtual bool set_scroll_value(int bar, int value) = 0;

  // The pointer's screen position; nothing when it cannot be read.
  virtual std::optional<ScreenPoint> cursor_position() = 0;

  // The caption-rectangle animations between a screen point and the window.
  virtual void open_animation(ScreenPoint point) = 0;
  virtual void close_animation(ScreenPoint point) = 0;

  // Ends the window. The presenter has run the unload before.
  virtual void close() = 0;
};

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

  // Abandons every request: no answer comes back after this.
  virtual void stop_all() = 0;
};

}  // namespace vantrel
