#pragma once
// What the settings dialog shows, as the presenter holds it: the view paints
// from this and from nothing else.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dialog/control_table.h"
#include "dialog/link_colour.h"
#include "dialog/preview_geometry.h"
#include "platform/picture.h"

namespace vantrel {

// The pictures the dialog carries that an image control can show.
enum class CarriedPicture : std::uint8_t {
  HeadingPlate,     // Img_H(0)
  ButtonPressed,    // Img_O_button(0)
  ButtonRaised,     // Img_O_button(1)
  OptionNotChosen,  // Img_Opt(0)
  OptionChosen,     // Img_Opt(1)
};

// A preview picture, sampled for the display it was asked for.
struct PreviewPicture {
  Picture pixels;  // Pic_K's size in device pixels at `dpi`
  int dpi = 96;
};

struct DialogState {
  // Every label's caption, by ControlId; the table's captions at first.
  std::array<std::string, kControlCount> captions;
  // The picture each image control shows, by ControlId; none at first.
  std::array<std::optional<CarriedPicture>, kControlCount> pictures;
  // The boxes whose surface holds the texture (Pic_C and both panels once
  // the load has tiled them); an untiled box shows its own colour.
  std::array<bool, kControlCount> tiled{};
  // lbl_URL's text colour; none until Timer1's first tick: the system's
  // window-text colour.
  std::optional<LinkColour> link_colour;
  // Pic_K: its size in 96-DPI pixels, the picture drawn into it (none: its
  // light grey), and whether the raised edge has been drawn over it.
  PreviewSize preview_size;
  std::shared_ptr<const PreviewPicture> preview_picture;
  bool preview_edge = false;
  // H_Scroll(0 to 3): the value each bar holds, always inside the bar's
  // range; the window's bars mirror these.
  std::array<int, 4> scroll_values{kScrollStoredValue, kScrollStoredValue, kScrollStoredValue, kScrollStoredValue};
  // Longer work for the user is under way: the pointer is the hourglass.
  bool busy = false;
};

// The state of a dialog before its load: the table's captions, nothing else.
DialogState initial_dialog_state();

}  // namespace vantrel
