#pragma once
// Size of the preview form inside the control panel's pane. The form's size is
// kept in twips as 16-bit numbers, as the saver's windows measure themselves;
// the window itself is placed in pixels.

#include <cstdint>

namespace vantrel {

// The still picture's own size; it is drawn at this size from the form's
// top-left corner and clipped, never stretched.
inline constexpr int kPreviewPictureWidth = 152;
inline constexpr int kPreviewPictureHeight = 112;

struct PreviewLayout {
  std::int16_t form_width_twips = 0;
  std::int16_t form_height_twips = 0;
  int form_width_pixels = 0;   // also the picture control's width
  int form_height_pixels = 0;  // also the picture control's height
};

// `pane_*_pixels` is the pane's window rectangle; a rectangle that could not be
// read is all zeros and gives an empty form. A size beyond the 16-bit twip range
// is clamped to it (the picture is drawn at its own size anyway).
PreviewLayout layout_preview(int pane_width_pixels, int pane_height_pixels, double twips_per_pixel_x,
                             double twips_per_pixel_y);

// Twips per pixel for a display of `dots_per_inch` (15 at 96, 12 at 120).
double twips_per_pixel(int dots_per_inch);

}  // namespace vantrel
