#include "dialog/dialog_presenter.h"

#include <limits>
#include <utility>

#include "dialog/dialog_layout.h"
#include "imagesource/image_list.h"
#include "platform/guarded_step.h"

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
    // Names as the file system spells them now; a file gone since the
    // settings were read leaves an empty line, and is counted.
    const std::vector<std::string> names =
        names_as_spelled(services_.file_system, model_.Image_Files, model_.Image_Files_Stamp);
    view_.set_list_entries(names);
    set_caption(ControlId::lbl_Kei, format_grouped(names.size(), services_.grouping));
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
      if (fits_int16(value) && value != view_.scroll_value(bar) &&
          view_.set_scroll_value(bar, static_cast<int>(value))) {
        on_scroll(bar);
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
}

void DialogPresenter::on_mouse_up(ControlId control) {
  if (closed_) return;
  for (int i = 0; i < kButtonCount; ++i) {
    if (control == *lbl_Button(i)) set_picture(Img_Button(i), CarriedPicture::ButtonRaised);
  }
}

void DialogPresenter::on_scroll(int bar) {
  if (closed_ || bar < 0 || bar >= kBarCount) return;
  const int value = view_.scroll_value(bar);
  model_.Action_Value[static_cast<std::size_t>(bar)] = static_cast<std::int16_t>(value);
  set_caption(*lbl_Scroll(bar), std::to_string(view_.scroll_value(bar)));
}

void DialogPresenter::on_preview_decoded(std::uint64_t ticket, std::optional<DecodedPicture> decoded) {
  if (closed_ || ticket != preview_ticket_) return;  // a newer preview was asked for meanwhile
  preview_ticket_ = 0;
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
