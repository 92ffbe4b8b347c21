#include "saver/gradient.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace vantrel {

BackgroundChoice choose_background(RandomSource& random) {
  BackgroundChoice choice;
  choice.red = static_cast<int>(255.0 * random.next());
  choice.green = static_cast<int>(255.0 * random.next());
  choice.blue = static_cast<int>(255.0 * random.next());
  choice.direction =
      static_cast<int>(2.0 * random.next()) == 0 ? GradientDirection::Rows : GradientDirection::Columns;
  return choice;
}

std::vector<Rgb> gradient_lines(const BackgroundChoice& choice, const WindowMetrics& window) {
  assert(std::min({choice.red, choice.green, choice.blue}) >= 0 &&
         std::max({choice.red, choice.green, choice.blue}) <= 255 && "colour components are 0 to 255");
  const int pixels = choice.direction == GradientDirection::Rows ? window.height_px : window.width_px;
  std::vector<Rgb> lines(static_cast<std::size_t>(std::max(pixels, 0)));
  if (pixels <= 0) return lines;

  const float extent = static_cast<float>(pixels * window.twips_per_pixel());  // E, twips
  const auto last = static_cast<long>(std::lrint(extent / 2.0f));              // n, halves to even
  float red = static_cast<float>(choice.red);
  float green = static_cast<float>(choice.green);
  float blue = static_cast<float>(choice.blue);
  const float red_step = red / extent * 2.0f;
  const float green_step = green / extent * 2.0f;
  const float blue_step = blue / extent * 2.0f;

  // The line at twip i lands on pixel floor(i * dpi / 1440), the one at twip
  // E - i on pixels - ceil(i * dpi / 1440), in whole numbers so that no twip
  // scale shifts a line by a pixel. Later lines simply overwrite earlier ones,
  // as drawing would.
  const auto paint = [&](std::int64_t pixel, Rgb colour) {
    if (pixel >= 0 && pixel < pixels) lines[static_cast<std::size_t>(pixel)] = colour;
  };
  for (std::int64_t i = 0; i <= last; ++i) {
    red = std::max(red - red_step, 0.0f);
    green = std::max(green - green_step, 0.0f);
    blue = std::max(blue - blue_step, 0.0f);
    const Rgb colour{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                     static_cast<std::uint8_t>(blue)};
    const std::int64_t scaled = i * window.dpi;
    paint(scaled / kTwipsPerInch, colour);
    paint(pixels - (scaled + kTwipsPerInch - 1) / kTwipsPerInch, colour);
  }
  return lines;
}

std::vector<GradientBand> gradient_bands(const std::vector<Rgb>& lines) {
  std::vector<GradientBand> bands;
  for (std::size_t line = 0; line < lines.size(); ++line) {
    if (!bands.empty() && bands.back().colour == lines[line])
      ++bands.back().count;
    else
      bands.push_back({static_cast<int>(line), 1, lines[line]});
  }
  return bands;
}

}  // namespace vantrel
