#pragma once
// The control table laid out for a display: every place scaled from 96-DPI
// pixels by DPI / 96. Edges are scaled, not sizes, so controls that touch at
// 96 DPI still touch at any DPI and no gap or overlap is rounded in; at 96 DPI
// every place is exactly the table's.

#include <array>
#include <functional>
#include <optional>
#include <string_view>

#include "dialog/control_table.h"
#include "platform/pixel_rect.h"

namespace vantrel {

inline constexpr int kDefaultDpi = 96;

// In device pixels.
using DeviceRect = PixelRect;

struct DeviceSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const DeviceSize&, const DeviceSize&) = default;
};

// A length in 96-DPI pixels at `dpi`, to the nearest pixel (halves away from
// zero). Fractions are kept until here: a preview 66.67 pixels high is one
// rounding, not two.
int scale_to_dpi(double length96, int dpi);

// The dialog font's height in pixels at `dpi`: 9.75 points, 13 pixels at 96.
int font_pixel_height(int dpi);

// One line of text in the dialog's font at the layout's DPI.
using MeasureText = std::function<DeviceSize(std::string_view utf8)>;

struct DialogLayout {
  int dpi = kDefaultDpi;
  // The sunken borders, on every side: a picture box's is two pixels at 96
  // DPI, as the system draws a client edge; a label's is one.
  int box_border = 2;
  int label_border = 1;
  // In the window's client area, whose origin is Pic_C's top-left corner.
  std::array<DeviceRect, kControlCount> outer{};
  // Inside the border; the outer rectangle for a control without one.
  std::array<DeviceRect, kControlCount> inner{};

  const DeviceRect& outer_of(ControlId id) const { return outer[index_of(id)]; }
  const DeviceRect& inner_of(ControlId id) const { return inner[index_of(id)]; }
  // The client area's size: Pic_C's.
  DeviceSize client() const { return {outer_of(ControlId::Pic_C).width(), outer_of(ControlId::Pic_C).height()}; }
};

// Lays the table out at `dpi`; a label that sizes itself takes the extent
// `measure` gives its caption.
DialogLayout layout_dialog(int dpi, const MeasureText& measure);

// Pic_K's size in device pixels at `dpi` for a size in 96-DPI pixels
// (fractions allowed), scaled edge by edge from its place in the table.
DeviceSize preview_device_size(double width96, double height96, int dpi);

// Pic_K at that size: its top-left corner stays where the table puts it, it
// grows to the right and down.
DeviceRect preview_rect(const DialogLayout& layout, double width96, double height96);

// The label or image under a point of the client area: where several overlap,
// the one listed first in the table (a label over its face picture). Boxes,
// the system's controls and the off-screen stores are never found.
std::optional<ControlId> windowless_control_at(const DialogLayout& layout, int x, int y);

}  // namespace vantrel
