#pragma once
// The background behind the scene: a random colour at two opposite edges of
// the window fading to black along the centre line, one colour per pixel row
// (or column). The colours are exactly those that drawing one line per twip,
// each line over the ones before, leaves on the pixels; the lines themselves
// are never drawn.

#include <cstdint>
#include <vector>

#include "platform/random_source.h"
#include "saver/window_metrics.h"

namespace vantrel {

enum class GradientDirection {
  Rows = 0,     // horizontal lines: top and bottom edges coloured, black across the middle
  Columns = 1,  // vertical lines: left and right edges coloured, black down the middle
};

struct BackgroundChoice {
  int red = 0;  // 0 to 254, the colour the edges start from
  int green = 0;
  int blue = 0;
  GradientDirection direction = GradientDirection::Rows;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Four draws, in this order: red, green and blue, each the whole part of 255
// times a draw (so 0 to 254, never 255), then the direction, the whole part of
// 2 times a draw.
BackgroundChoice choose_background(RandomSource& random);

// Draw_Background's colours: one per pixel row of the window for
// GradientDirection::Rows, one per pixel column for Columns, top to bottom or
// left to right.
//
// The rule they reproduce, in twips (1/1440 inch) with E the window's height
// (or width) in twips: each component starts as a single-precision value c
// and falls by the step c / E * 2 (E in single precision too); for i = 0 to
// n, n = E / 2 rounded to the nearest whole number (halves to even), the
// components first fall by one step each (stopping at 0), then a line in the
// colour of their whole parts is drawn at twip i and at twip E - i. A line at
// twip y covers the pixel row holding that twip, floor(y / twips per pixel),
// taken exactly (so a twip scale such as 1440 / 168 cannot pull a line off its
// row); of the lines on one row the last drawn shows, and a row no line
// reaches stays black.
//
// Rounding down, rather than to the nearest pixel, keeps the two halves each
// other's mirror image to within one step: row p shows the line at twip
// (p + 1) * twips per pixel - 1, and its mirror row the line one twip further
// in, so the black centre line sits in the middle as the gradient intends.
// The line counter is 32-bit: half extents beyond the 16-bit range (65534
// twips and up, 4096 pixels at 96 DPI) continue the same gradient.
std::vector<Rgb> gradient_lines(const BackgroundChoice& choice, const WindowMetrics& window);

// Neighbouring lines of one colour, merged: what the renderer paints as one
// rectangle each.
struct GradientBand {
  int first = 0;  // pixel row (or column) of the band's first line
  int count = 0;  // lines in the band, at least 1
  Rgb colour;
  friend bool operator==(const GradientBand&, const GradientBand&) = default;
};
std::vector<GradientBand> gradient_bands(const std::vector<Rgb>& lines);

}  // namespace vantrel
