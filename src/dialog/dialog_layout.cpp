#include "dialog/dialog_layout.h"

#include <cmath>

namespace vantrel {
namespace {

constexpr int kBoxBorder96 = 2;
constexpr int kLabelBorder96 = 1;

bool is_windowless(const ControlSpec& entry) {
  return (entry.kind == ControlKind::Label || entry.kind == ControlKind::Image) && !entry.off_screen;
}

}  // namespace

int scale_to_dpi(double length96, int dpi) {
  return static_cast<int>(std::lround(length96 * dpi / kDefaultDpi));
}

int font_pixel_height(int dpi) {
  // Points are 1/72 inch: 9.75 pt is 9.75 * dpi / 72 pixels.
  return static_cast<int>(std::lround(kDialogFontHundredthsOfPoint * static_cast<double>(dpi) / 7200.0));
}

DialogLayout layout_dialog(int dpi, const MeasureText& measure) {
  DialogLayout layout;
  layout.dpi = dpi;
  layout.box_border = scale_to_dpi(kBoxBorder96, dpi);
  layout.label_border = scale_to_dpi(kLabelBorder96, dpi);
  // Parents come before their children in the table, so each box is placed
  // by the time its controls are.
  for (const ControlSpec& entry : control_table()) {
    const auto box = box_of(entry.parent);
    const DeviceRect origin = box ? layout.inner_of(*box) : DeviceRect{};
    DeviceRect outer{origin.left + scale_to_dpi(entry.rect.left, dpi), origin.top + scale_to_dpi(entry.rect.top, dpi),
                     origin.left + scale_to_dpi(entry.rect.left + entry.rect.width, dpi),
                     origin.top + scale_to_dpi(entry.rect.top + entry.rect.height, dpi)};
    const int border = !entry.border ? 0 : entry.kind == ControlKind::Label ? layout.label_border : layout.box_border;
    if (entry.auto_size && measure) {
      const DeviceSize text = measure(entry.caption);
      outer.right = outer.left + text.width + 2 * border;
      outer.bottom = outer.top + text.height + 2 * border;
    }
    const DeviceRect inner{outer.left + border, outer.top + border, outer.right - border, outer.bottom - border};
    layout.outer[index_of(entry.id)] = outer;
    layout.inner[index_of(entry.id)] = inner;
  }
  return layout;
}

DeviceSize preview_device_size(double width96, double height96, int dpi) {
  const Rect96& place = spec_of(ControlId::Pic_K).rect;
  return {scale_to_dpi(place.left + width96, dpi) - scale_to_dpi(place.left, dpi),
          scale_to_dpi(place.top + height96, dpi) - scale_to_dpi(place.top, dpi)};
}

DeviceRect preview_rect(const DialogLayout& layout, double width96, double height96) {
  const DeviceRect& place = layout.outer_of(ControlId::Pic_K);
  const DeviceSize size = preview_device_size(width96, height96, layout.dpi);
  return {place.left, place.top, place.left + size.width, place.top + size.height};
}

std::optional<ControlId> windowless_control_at(const DialogLayout& layout, int x, int y) {
  for (const ControlSpec& entry : control_table()) {
    if (!is_windowless(entry) || !layout.outer_of(entry.id).contains(x, y)) continue;
    // A control shows only inside its box: the part the box cuts off takes no clicks.
    const auto box = box_of(entry.parent);
    if (box && !layout.inner_of(*box).contains(x, y)) continue;
    return entry.id;
  }
  return std::nullopt;
}

}  // namespace vantrel
