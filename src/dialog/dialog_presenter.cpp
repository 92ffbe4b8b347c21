#include "dialog/dialog_presenter.h"

#include <limits>
#include <utility>
#include <variant>

#include "dialog/dialog_layout.h"
#include "imagesource/existence.h"
#include "imagesource/image_list.h"
#include "platform/guarded_step.h"
#include "dialog/text_fitting.h"
#include "settings/storable_path.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

constexpr int kButtonCount = 3;
constexpr int kBarCount = 4;

bool fits_int16(std::int64_t value) {
  return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

PictureSize preview_target_size(PictureSize own, int dpi) {
  const PreviewSize size = preview_size(own.width, own.height);
  const DeviceSize device = preview_device_size(size.width, size.height, dpi);
  return {std::max(device.width, 1), std::max(device.height, 1)};
}

DialogPresenter::DialogPresenter(SettingsModel& model, DialogView& view, DialogWork& work, DialogServices services,
                                 int dpi)
    : model_(model), view_(view), work_(work), services_(std::move(services)), dpi_(dpi) {}

void DialogPresenter::on_load() {
  run_guarded([&] { view_.set_list_horizontal_extent(spec_of(ControlId::List_1).rect.width + kListExtraExtent96); });
  run_guarded([&] {
    for (const ControlId box : {ControlId::Pic_C, ControlId::Pic_B_0, ControlId::Pic_B_1}) {
      state_.tiled[index_of(box)] = true;
      view_.refresh(box);
    }
  });
  run_guarded([&] {
    for (int i = 1; i <= 3; ++i) set_picture(Img_H(i), CarriedPicture::HeadingPlate);
  });
  run_guarded([&] {
    for (int i = 0; i < kButtonCount; ++i) set_picture(Img_Button(i), CarriedPicture::ButtonRaised);
  });
  run_guarded([&] { show_option_marks(model_.File_Kind); });
  run_guarded([&] { view_.set_list_entries({}); });
  run_guarded([&] {
    if (model_.Image_Count() <= 0) return;
    // A file gone since the settings were read leaves an empty line, and is counted.
    show_listing(model_.Image_Files, model_.Image_Files_Stamp);
  });
  run_guarded([&] { set_caption(ControlId::lbl_PreSize, ""); });
  run_guarded([&] {
    if (model_.File_Kind == kFileKindSingleFile) {
      set_caption(ControlId::Folder_Path, model_.File_Path);
      if (!model_.File_Path.empty()) Show_Preview();
    } else {
      set_caption(ControlId::Folder_Path, model_.Folder_Name);
    }
  });
  run_guarded([&] { Draw_Edge(); });
  for (int bar = 0; bar < kBarCount; ++bar) {
    run_guarded([&] {
      // A number the settings file did not hold is 0, as the saver reads it.
      const std::int64_t value = model_.Action_Value[static_cast<std::size_t>(bar)].value_or(0);
      // The bar refuses what lies outside its range and keeps its value; the
      // label shows the loaded number all the same.
      const ScrollRange& range = kScrollRanges[static_cast<std::size_t>(bar)];
      if (value >= range.minimum && value <= range.maximum &&
          value != state_.scroll_values[static_cast<std::size_t>(bar)]) {
        move_bar(bar, static_cast<int>(value));
      }
      set_caption(*lbl_Scroll(bar), std::to_string(value));
    });
  }
  // The hand cursor over the clickable controls is the table's business.
  run_guarded([&] {
    const std::optional<ScreenPoint> point = view_.cursor_position();
    if (point && fits_int16(point->x) && fits_int16(point->y)) {
      Cursor_X = static_cast<std::int16_t>(point->x);
      Cursor_Y = static_cast<std::int16_t>(point->y);
    } else {
      Cursor_X = 0;
      Cursor_Y = 0;
    }
  });
  run_guarded([&] { view_.open_animation(cursor()); });
}

void DialogPresenter::on_close_requested() { close_dialog(); }

void DialogPresenter::on_timer_tick() {
  if (closed_) return;
  state_.link_colour = link_cycle_.tick(services_.link_random);
  view_.refresh(ControlId::lbl_URL);
}

void DialogPresenter::on_mouse_down(ControlId control) {
  if (closed_) return;
  for (int i = 0; i < kButtonCount; ++i) {
    if (control == *lbl_Button(i)) set_picture(Img_Button(i), CarriedPicture::ButtonPressed);
  }
  // A kind is chosen by its label or its mark alike; nothing else changes
  // until the set button checks the choice.
  for (const int kind : {kFileKindFolder, kFileKindSingleFile}) {
    if (control == *lbl_FF(kind) || control == *Img_FF(kind)) {
      show_option_marks(kind);
      model_.File_Kind = static_cast<std::int16_t>(kind);
    }
  }
}

void DialogPresenter::on_mouse_up(ControlId control) {
  if (closed_) return;
  for (int i = 0; i < kButtonCount; ++i) {
    if (control != *lbl_Button(i)) continue;
    set_picture(Img_Button(i), CarriedPicture::ButtonRaised);
    // The raised face is on the screen before the action begins.
    view_.repaint_now();
    button_action(i);
    return;
  }
  if (control == ControlId::lbl_URL) open_link();
}

void DialogPresenter::on_default_action(ControlId control) {
  on_mouse_down(control);
  on_mouse_up(control);
}

void DialogPresenter::on_list_choice(int index) {
  if (closed_ || index < 0) return;
  // The list still shows the previous folder's names while a scan runs: the
  // click waits, as it would for a scan that held the window, and then
  // takes whatever the new list shows at that place.
  if (wait_for_scan([this, index] { on_list_choice(index); })) return;
  if (static_cast<std::size_t>(index) >= listed_names_.size()) return;  // no entry there
  set_busy(true);
  model_.File_Path = model_.Folder_Name + "\\" + listed_names_[static_cast<std::size_t>(index)];
  set_caption(ControlId::Folder_Path, model_.File_Path);
  Show_Preview();  // the hourglass stays until its answer
}

void DialogPresenter::show_listing(const std::vector<std::string>& paths, std::optional<std::uint64_t> stamp) {
  listed_names_ = names_as_spelled(services_.file_system, paths, stamp);
  view_.set_list_entries(listed_names_);
  set_caption(ControlId::lbl_Kei, format_grouped(listed_names_.size(), services_.grouping));
}

bool DialogPresenter::wait_for_scan(std::function<void()> action) {
  if (!scanning()) return false;
  after_scan_.push_back(std::move(action));
  set_busy(true);  // the user sees the choice was taken
  return true;
}

void DialogPresenter::on_scan_progress(std::uint64_t ticket, std::size_t found) {
  if (closed_ || ticket != scan_ticket_) return;
  set_caption(ControlId::lbl_Kei, std::to_string(found));  // plain digits while it runs
}

void DialogPresenter::on_scan_finished(std::uint64_t ticket, ImageListing listing) {
  if (closed_ || ticket != scan_ticket_) return;
  scan_ticket_ = 0;
  folder_files_ = std::move(listing.paths);
  run_guarded([&] { show_listing(folder_files_, listing.folder_stamp); });
  run_guarded([&] { empty_preview(); });
  // A folder that could not be read to its end: the system says why, once
  // for this browse; the list keeps what was found.
  if (listing.enumeration.end == EnumerationEnd::Failed) {
    view_.show_message(listing.enumeration.failure.empty() ? std::string(kNoFolderMessage)
                                                           : listing.enumeration.failure,
                       DialogView::MessageIcon::None);
  }
  // What waited, in order; one of them may start a scan again, and those
  // after it then wait for that one.
  std::vector<std::function<void()>> waiting = std::move(after_scan_);
  after_scan_.clear();
  if (!waiting.empty() && preview_ticket_ == 0) set_busy(false);
  for (std::function<void()>& action : waiting) {
    if (closed_) return;
    if (scanning())
      after_scan_.push_back(std::move(action));
    else
      action();
  }
}

void DialogPresenter::on_scroll(int bar, ScrollCode code, int track_position) {
  if (closed_ || bar < 0 || bar >= kBarCount) return;
  const auto i = static_cast<std::size_t>(bar);
  const std::optional<int> value = scrolled_value(kScrollRanges[i], state_.scroll_values[i], code, track_position);
  if (value) move_bar(bar, *value);
}

void DialogPresenter::move_bar(int bar, int value) {
  const auto i = static_cast<std::size_t>(bar);
  state_.scroll_values[i] = value;
  view_.refresh(*H_Scroll(bar));
  model_.Action_Value[i] = static_cast<std::int16_t>(value);
  set_caption(*lbl_Scroll(bar), std::to_string(value));
}

void DialogPresenter::on_work_answer(WorkAnswer answer) {
  if (auto* progress = std::get_if<ScanProgress>(&answer)) {
    on_scan_progress(progress->ticket, progress->found);
  } else if (auto* preview = std::get_if<PreviewDecoded>(&answer)) {
    on_preview_decoded(preview->ticket, std::move(preview->decoded));
  } else if (auto* finished = std::get_if<ScanFinished>(&answer)) {
    on_scan_finished(finished->ticket, std::move(finished->listing));
  }
}

void DialogPresenter::on_preview_decoded(std::uint64_t ticket, std::optional<DecodedPicture> decoded) {
  if (closed_ || ticket != preview_ticket_) return;  // a newer preview was asked for meanwhile
  preview_ticket_ = 0;
  set_busy(false);
  // A file that is no picture leaves the previous preview and its size.
  if (!decoded || decoded->own_size.width < 1 || decoded->own_size.height < 1) return;
  set_caption(ControlId::lbl_PreSize, preview_size_text(decoded->own_size.width, decoded->own_size.height));
  state_.preview_size = preview_size(decoded->own_size.width, decoded->own_size.height);
  state_.preview_picture =
      std::make_shared<const PreviewPicture>(PreviewPicture{std::move(decoded->pixels), preview_request_dpi_});
  preview_path_ = preview_request_path_;
  Draw_Edge();
}

void DialogPresenter::on_dpi_changed(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  // The shown preview is sampled anew for the new pixels; until it comes the
  // window stretches the old one. A preview still on its way is asked again.
  if (closed_) return;
  const bool outdated = state_.preview_picture && state_.preview_picture->dpi != dpi;
  if (preview_ticket_ != 0 || (outdated && !preview_path_.empty())) {
    const std::string path = preview_ticket_ != 0 ? preview_request_path_ : preview_path_;
    preview_ticket_ = next_ticket_++;
    preview_request_dpi_ = dpi_;
    preview_request_path_ = path;
    work_.decode_preview(preview_ticket_, path, dpi_);
  }
}

void DialogPresenter::set_caption(ControlId control, std::string caption) {
  state_.captions[index_of(control)] = std::move(caption);
  view_.refresh(control);
}

void DialogPresenter::set_picture(std::optional<ControlId> image, CarriedPicture picture) {
  if (!image) return;
  state_.pictures[index_of(*image)] = picture;
  view_.refresh(*image);
}

// The mark of the chosen kind first, then the other; a kind that names no
// mark (neither 0 nor 1) changes neither.
void DialogPresenter::show_option_marks(int file_kind) {
  const auto chosen = Img_FF(file_kind);
  if (!chosen) return;
  set_picture(chosen, CarriedPicture::OptionChosen);
  set_picture(Img_FF(file_kind ^ 1), CarriedPicture::OptionNotChosen);
}

// The picture is decoded beside the window; on_preview_decoded shows it. What
// the preview showed stays until then, and for good when the file is no
// picture.
void DialogPresenter::Show_Preview() {
  preview_ticket_ = next_ticket_++;
  preview_request_dpi_ = dpi_;
  preview_request_path_ = model_.File_Path;
  work_.decode_preview(preview_ticket_, preview_request_path_, dpi_);
}

void DialogPresenter::Draw_Edge() {
  state_.preview_edge = true;
  view_.refresh(ControlId::Pic_K);
}

void DialogPresenter::empty_preview() {
  preview_ticket_ = 0;  // a preview still on its way is of the folder before
  set_busy(false);
  state_.preview_picture.reset();
  state_.preview_size = PreviewSize{};
  preview_path_.clear();
  Draw_Edge();
  set_caption(ControlId::lbl_PreSize, "");
}

void DialogPresenter::set_busy(bool busy) {
  if (state_.busy == busy) return;
  state_.busy = busy;
  view_.show_busy(busy);
}

void DialogPresenter::button_action(int button) {
  switch (button) {
    case 0:
      Browse_Folder();
      break;
    case 1:
      set_and_close();
      break;
    case 2:
      close_dialog();  // nothing is written
      break;
    default:
      break;
  }
}

void DialogPresenter::Browse_Folder() {
  if (wait_for_scan([this] { Browse_Folder(); })) return;
  const std::optional<std::string> folder = view_.choose_folder(std::string(kBrowseTitle));
  if (!folder || folder->empty()) return;  // cancelled: nothing changes
  set_caption(ControlId::Folder_Path, *folder);
  model_.Folder_Name = *folder;
  model_.File_Path.clear();
  folder_files_.clear();
  scan_ticket_ = next_ticket_++;
  work_.scan_folder(scan_ticket_, model_.Folder_Name);
}

// A line of a message box naming a path: about 450 pixels of the message
// font, on the smallest screen the dialog fits.
constexpr int kMessageLineCharacters = 64;

// The chosen mode's source must exist; an empty folder text names none (it
// would test the current drive's root). Every path is stored in a form the
// settings file gives back unchanged, or not at all (the other mode's path
// then as empty); a save that fails says why and leaves the dialog open.
void DialogPresenter::set_and_close() {
  if (wait_for_scan([this] { set_and_close(); })) return;
  const auto refuse = [&](std::string text) { view_.show_message(text, DialogView::MessageIcon::Exclamation); };
  if (model_.File_Kind == kFileKindFolder) {
    if (model_.Folder_Name.empty() || !Folder_Exists(services_.file_system, model_.Folder_Name))
      return refuse(std::string(kNoFolderMessage));
  } else if (!File_Exists(services_.file_system, model_.File_Path)) {
    return refuse(std::string(kNoFileMessage));
  }

  SettingsModel chosen = model_;
  // The sliders' own values: a bar that refused a loaded number holds 1.
  for (std::size_t bar = 0; bar < state_.scroll_values.size(); ++bar)
    chosen.Action_Value[bar] = state_.scroll_values[bar];
  const bool folder_mode = chosen.File_Kind == kFileKindFolder;
  for (std::string* path : {&chosen.File_Path, &chosen.Folder_Name}) {
    const StorablePath stored = storable_path(services_.file_system, services_.codec, *path);
    // The other mode's path is only remembered: one the file cannot carry
    // is forgotten rather than blocking the save of the chosen source.
    const bool chosen_source = folder_mode == (path == &chosen.Folder_Name);
    if (stored.problem != PathProblem::None && !chosen_source) {
      path->clear();
      continue;
    }
    if (stored.problem != PathProblem::None) {
      const std::string_view why = stored.problem == PathProblem::TooLong ? kPathTooLongMessage : kPathNotStorableMessage;
      return refuse(std::string(why) + "\n\n" + broken_for_message(*path, kMessageLineCharacters) + "\n\n" +
                    std::string(kPathHint));
    }
    *path = stored.path;
  }
  const SaveOutcome outcome = services_.writer.save(chosen);
  if (outcome.result != WriteResult::Saved) {
    return refuse(std::string(kSaveFailedMessage) + (outcome.reason.empty() ? "" : "\n\n" + outcome.reason));
  }
  close_dialog();
}

void DialogPresenter::open_link() {
  const bool was_busy = state_.busy;
  set_busy(true);
  view_.open_address(state_.captions[index_of(ControlId::lbl_URL)]);
  set_busy(was_busy);
}

void DialogPresenter::close_dialog() {
  if (closed_) return;
  closed_ = true;
  work_.stop_all();
  // The unload: the closing animation returns to where the pointer was when
  // the dialog opened, wherever it is now.
  run_guarded([&] { view_.close_animation(cursor()); });
  view_.close();
}

}  // namespace vantrel
