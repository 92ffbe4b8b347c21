#include "startup/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel {
namespace {

constexpr double kTwipsPerInch = 1440.0;

std::int16_t to_twips16(double twips) {
  const double whole = std::nearbyint(twips);  // halves to the even neighbour
  return static_cast<std::int16_t>(std::clamp(whole, 0.0, double{std::numeric_limits<std::int16_t>::max()}));
}

int to_pixels(std::int16_t twips, double twips_per_pixel) {
  if (twips_per_pixel <= 0) return 0;
  return static_cast<int>(std::lround(twips / twips_per_pixel));
}

}  // namespace

PreviewLayout layout_preview(int pane_width_pixels, int pane_height_pixels, double twips_per_pixel_x,
                             double twips_per_pixel_y) {
  PreviewLayout layout;
  layout.form_width_twips = to_twips16(twips_per_pixel_x * std::max(pane_width_pixels, 0));
  layout.form_height_twips = to_twips16(twips_per_pixel_y * std::max(pane_height_pixels, 0));
  layout.form_width_pixels = to_pixels(layout.form_width_twips, twips_per_pixel_x);
  layout.form_height_pixels = to_pixels(layout.form_height_twips, twips_per_pixel_y);
  return layout;
}

double twips_per_pixel(int dots_per_inch) {
  return dots_per_inch > 0 ? kTwipsPerInch / dots_per_inch : 15.0;
}

}  // namespace vantrel
