#pragma once
// The settings dialog's presenter: every piece of the dialog's state and every
// reaction to what the user does. The window reports events here and paints
// what state() says; the presenter changes the settings model and tells the
// window what to show through DialogView.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialog/dialog_state.h"
#include "dialog/dialog_view.h"
#include "dialog/link_colour.h"
#include "dialog/number_format.h"
#include "dialog/pointer_rule.h"
#include "dialog/slider_motion.h"
#include "platform/file_system.h"
#include "platform/picture_decoder.h"
#include "platform/random_source.h"
#include "platform/text_codec.h"
#include "settings/settings_model.h"

namespace vantrel {

// What the presenter uses besides the window.
struct DialogServices {
  FileSystem& file_system;
  // The settings file's text conversion: what a path becomes there.
  const TextCodec& codec;
  SettingsWriter& writer;
  // Drives the link's colours; not seeded from the time.
  RandomSource& link_random;
  // The user's digit grouping, for the count of listed files.
  DigitGrouping grouping;
};

// The size a preview's pixels are decoded at: Pic_K's size in device pixels
// at `dpi` for a picture of `own` size.
PictureSize preview_target_size(PictureSize own, int dpi);

class DialogPresenter {
 public:
  DialogPresenter(SettingsModel& model, DialogView& view, DialogWork& work, DialogServices services, int dpi);

  const DialogState& state() const { return state_; }

  // The window's load, before it is first shown. The window has given itself
  // Pic_C's size as its client area (the first load step); this runs the
  // rest, each step guarded on its own: the list's sideways extent, the
  // texture, heading plates, button faces and option marks, the list of the
  // folder's images and their count, the path and the preview, the raised
  // edge, the sliders, and the opening animation from the pointer.
  void on_load();

  // The user closes the window (its close box, Alt+F4): it closes without
  // writing anything.
  void on_close_requested();

  // Timer1, every 50 ms: the link's next colour.
  void on_timer_tick();

  // A mouse button went down on a label or image (any button): a button
  // shows its pressed face, an option label or mark chooses its kind. The
  // release of that press (wherever the pointer is by then): a button shows
  // its raised face and acts (browse, set, cancel), the link opens.
  void on_mouse_down(ControlId control);
  void on_mouse_up(ControlId control);

  // A screen reader's default action on a label (a button, an option, the
  // link): the same as a mouse press on it and its release.
  void on_default_action(ControlId control);

  // An entry of List_1 was chosen, by click or by keyboard: `index` is the
  // selection (-1 for none), a place in the list the presenter filled; the
  // name it put there makes the path.
  void on_list_choice(int index);

  // The answers to DialogWork::scan_folder: the number of images found so
  // far, then the whole listing.
  void on_scan_progress(std::uint64_t ticket, std::size_t found);
  void on_scan_finished(std::uint64_t ticket, ImageListing listing);

  // The user moved H_Scroll(bar) (`code`; `track_position` is the thumb's
  // place for the thumb's codes): the bar's value, its Action_Value and its
  // label follow by scrolled_value's rule.
  void on_scroll(int bar, ScrollCode code, int track_position = 0);

  // The answer to DialogWork::decode_preview: the picture's own size and its
  // pixels at preview_target_size for the DPI asked for, or nothing for a
  // file that cannot be read as a picture.
  void on_preview_decoded(std::uint64_t ticket, std::optional<DecodedPicture> decoded);

  // An answer of the work beside the window, whichever it is.
  void on_work_answer(WorkAnswer answer);

  // The pointer's shape over `place`, by pointer_for and whether the dialog
  // is busy.
  PointerShape pointer_over(const PointerPlace& place) const { return pointer_for(place, state_.busy); }

  // The window moved to a display of another DPI, or the user changed its
  // scaling.
  void on_dpi_changed(int dpi);

  // Where the pointer was when the dialog loaded (both 0 when it could not be
  // read): both animations use this point.
  ScreenPoint cursor() const { return {Cursor_X, Cursor_Y}; }
  bool closed() const { return closed_; }
  // A folder scan is under way: set, browse and list choices wait for it,
  // under the hourglass, and are carried out in order when it ends.
  bool scanning() const { return scan_ticket_ != 0; }
  // Full paths of the last scan's images, in the order found.
  const std::vector<std::string>& Folder_Files() const { return folder_files_; }

 private:
  void set_caption(ControlId control, std::string caption);
  // The bar takes `value` (inside its range) and its Action_Value follows.
  void move_bar(int bar, int value);
  void set_picture(std::optional<ControlId> image, CarriedPicture picture);
  void show_option_marks(int file_kind);
  void Show_Preview();
  void Draw_Edge();
  void empty_preview();
  // The list and its count for these files, named as the file system spells them.
  void show_listing(const std::vector<std::string>& paths, std::optional<std::uint64_t> stamp);
  void set_busy(bool busy);
  // Keeps `action` for the scan's end; true when a scan runs.
  bool wait_for_scan(std::function<void()> action);
  void button_action(int button);
  void Browse_Folder();
  void set_and_close();
  void open_link();
  void close_dialog();

  SettingsModel& model_;
  DialogView& view_;
  DialogWork& work_;
  DialogServices services_;
  int dpi_;
  DialogState state_ = initial_dialog_state();
  LinkColourCycle link_cycle_;

  std::int16_t Cursor_X = 0;
  std::int16_t Cursor_Y = 0;

  // The latest preview asked for; answers to older tickets are dropped.
  std::uint64_t next_ticket_ = 1;
  std::uint64_t preview_ticket_ = 0;
  int preview_request_dpi_ = 96;
  // The file the shown preview came from, for decoding it again at a new DPI.
  std::string preview_path_;
  // The names the list shows, in its order.
  std::vector<std::string> listed_names_;
  // Choices made while a scan ran, in the order made.
  std::vector<std::function<void()>> after_scan_;
  std::string preview_request_path_;
  // The scan under way (0: none), and the last one's images.
  std::uint64_t scan_ticket_ = 0;
  std::vector<std::string> folder_files_;
  bool closed_ = false;
};

}  // namespace vantrel
