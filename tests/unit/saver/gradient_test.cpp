#include "saver/gradient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "saver/fake_random_source.h"

namespace vantrel {
namespace {

// The background drawn as its rule reads: one line per twip, each line from
// the pixel holding its start up to (not including) the pixel holding its end,
// as a GDI line goes, a pixel keeping the last colour drawn on it. Positions
// are counted in 1/dpi twip, so every position is a whole number and a pixel
// is exactly 1440 of them. Lines always run the full window, so one colour
// per row (or column) is kept, and each line is checked to span the window.
std::vector<Rgb> draw_line_per_twip(const BackgroundChoice& choice, const WindowMetrics& window) {
  const bool rows = choice.direction == GradientDirection::Rows;
  const long W = window.width_px * 1440L, H = window.height_px * 1440L, dpi = window.dpi;
  std::vector<Rgb> lines(static_cast<std::size_t>(rows ? window.height_px : window.width_px));  // black
  const auto line = [&](long x0, long y0, long x1, long y1, Rgb colour) {
    const long at = (rows ? y0 : x0) / 1440;  // never negative here
    if (at >= long(lines.size())) return;
    EXPECT_EQ((rows ? x0 : y0) / 1440, 0);
    EXPECT_EQ((rows ? x1 : y1) / 1440, rows ? window.width_px : window.height_px);
    lines[static_cast<std::size_t>(at)] = colour;
  };
  float R = float(choice.red), G = float(choice.green), B = float(choice.blue);
  const float extent = float((rows ? H : W) / double(dpi));  // twips, single precision
  const float sR = R / extent * 2, sG = G / extent * 2, sB = B / extent * 2;
  for (int i = 0; i <= int(std::nearbyint(extent / 2)); ++i) {
    R -= sR, G -= sG, B -= sB;
    R = R < 0 ? 0 : R, G = G < 0 ? 0 : G, B = B < 0 ? 0 : B;
    const Rgb colour{std::uint8_t(R), std::uint8_t(G), std::uint8_t(B)};
    if (rows) {
      line(0, i * dpi, W, i * dpi, colour);
      line(0, H - i * dpi, W, H - i * dpi, colour);
    } else {
      line(i * dpi, 0, i * dpi, H, colour);
      line(W - i * dpi, 0, W - i * dpi, H, colour);
    }
  }
  return lines;
}

// 15, 12, 10, 7.5 and 8.57... twips per pixel.
const WindowMetrics kWindows[] = {
    {640, 480, 96},    {1920, 1080, 96}, {3840, 2160, 96},  {1001, 777, 96},
    {640, 480, 120},   {1001, 777, 120}, {1920, 1080, 144}, {3840, 2160, 144},
    {3840, 2160, 192}, {1001, 777, 192}, {1366, 767, 192},  {1600, 900, 168},
};
const BackgroundChoice kColours[] = {
    {254, 127, 1, GradientDirection::Rows},
    {254, 127, 1, GradientDirection::Columns},
    {17, 0, 200, GradientDirection::Rows},
    {0, 0, 0, GradientDirection::Columns},
};

TEST(Gradient, IsExactlyWhatDrawingOneLinePerTwipLeavesAndBandsCoverIt) {
  for (const WindowMetrics& window : kWindows)
    for (const BackgroundChoice& colour : kColours) {
      const std::vector<Rgb> lines = gradient_lines(colour, window);
      EXPECT_TRUE(lines == draw_line_per_twip(colour, window))
          << window.width_px << " x " << window.height_px << " at " << window.dpi << " DPI, direction "
          << static_cast<int>(colour.direction);
      std::vector<Rgb> expanded;
      for (const GradientBand& band : gradient_bands(lines)) {
        ASSERT_EQ(band.first, int(expanded.size()));
        ASSERT_TRUE(expanded.empty() || !(expanded.back() == band.colour)) << "neighbouring bands differ";
        expanded.insert(expanded.end(), std::size_t(band.count), band.colour);
      }
      EXPECT_TRUE(expanded == lines);
    }
}

TEST(Gradient, FadesSymmetricallyFromNearlyTheChosenColourToABlackCentre) {
  for (const WindowMetrics& window : kWindows)
    for (const BackgroundChoice& colour : kColours) {
      const std::vector<Rgb> lines = gradient_lines(colour, window);
      const std::size_t n = lines.size();
      const auto level = [](const Rgb& c) { return std::max({c.red, c.green, c.blue}); };
      for (std::size_t i = 0; i < n; ++i) {
        const Rgb &a = lines[i], &mirror = lines[n - 1 - i];
        ASSERT_LE(std::max({std::abs(a.red - mirror.red), std::abs(a.green - mirror.green),
                            std::abs(a.blue - mirror.blue)}),
                  1)
            << "line " << i;
        ASSERT_TRUE(i == 0 || i > n / 2 || level(a) <= level(lines[i - 1])) << "brightens inwards at " << i;
      }
      EXPECT_EQ(level(lines[n / 2]), 0);
      for (const auto& [edge, chosen] : {std::pair{lines[0].red, colour.red}, {lines[0].blue, colour.blue}})
        EXPECT_TRUE(chosen == 0 ? edge == 0 : edge < chosen && edge + 3 >= chosen)
            << int(edge) << " from " << chosen;
    }
}

TEST(Gradient, ChoiceDrawsRedGreenBlueThenDirectionNeverReaching255) {
  const std::pair<std::vector<double>, BackgroundChoice> cases[] = {
      {{0.0, 0.5, 0.999999, 0.0}, {0, 127, 254, GradientDirection::Rows}},
      {{0.999999, 0.1, 0.61, 0.499999}, {254, 25, 155, GradientDirection::Rows}},
      {{0.3, 0.0, 0.9, 0.5}, {76, 0, 229, GradientDirection::Columns}},
  };
  for (const auto& [draws, expected] : cases) {
    testing::FakeRandomSource random(draws);
    const BackgroundChoice choice = choose_background(random);
    EXPECT_EQ(std::tuple(choice.red, choice.green, choice.blue, choice.direction),
              std::tuple(expected.red, expected.green, expected.blue, expected.direction));
    EXPECT_EQ(random.draws(), 4u);
  }
}

}  // namespace
}  // namespace vantrel
