#include "startup/preview_layout.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(PreviewLayout, CoversThePaneAtEveryTwipScale) {
  struct Case {
    int pane_width, pane_height;
    double twips_per_pixel;
    int width_twips, height_twips, width_pixels, height_pixels;
  };
  const Case cases[] = {
      {152, 112, 15, 2280, 1680, 152, 112},  // the picture fills the pane exactly
      {152, 112, 12, 1824, 1344, 152, 112},  // 120 dots per inch
      {300, 200, 15, 4500, 3000, 300, 200},
      {100, 80, 15, 1500, 1200, 100, 80},
      {0, 0, 15, 0, 0, 0, 0},  // the rectangle of a missing pane
      {-5, -5, 15, 0, 0, 0, 0},
      {2184, 10, 15, 32760, 150, 2184, 10},
      {2185, 10, 15, 32767, 150, 2184, 10},  // beyond 16 bits: clamped
      {100000, 100000, 15, 32767, 32767, 2184, 2184},
  };
  for (const Case& c : cases) {
    const PreviewLayout layout = layout_preview(c.pane_width, c.pane_height, c.twips_per_pixel, c.twips_per_pixel);
    EXPECT_EQ(layout.form_width_twips, c.width_twips) << c.pane_width << " at " << c.twips_per_pixel;
    EXPECT_EQ(layout.form_height_twips, c.height_twips) << c.pane_height << " at " << c.twips_per_pixel;
    EXPECT_EQ(layout.form_width_pixels, c.width_pixels) << c.pane_width << " at " << c.twips_per_pixel;
    EXPECT_EQ(layout.form_height_pixels, c.height_pixels) << c.pane_height << " at " << c.twips_per_pixel;
  }
}

TEST(PreviewLayout, RoundsFractionalTwipsHalfToEven) {
  // 1440 / 144 dpi = 10 twips per pixel is exact; 1440 / 168 dpi is not.
  EXPECT_DOUBLE_EQ(twips_per_pixel(96), 15);
  EXPECT_DOUBLE_EQ(twips_per_pixel(120), 12);
  const double tpp = twips_per_pixel(168);  // 8.571428...
  EXPECT_EQ(layout_preview(7, 7, tpp, tpp).form_width_twips, 60);  // 59.99999...
  EXPECT_EQ(layout_preview(1, 1, 2.5, 3.5).form_width_twips, 2);   // 2.5 -> 2
  EXPECT_EQ(layout_preview(1, 1, 2.5, 3.5).form_height_twips, 4);  // 3.5 -> 4
}

}  // namespace
}  // namespace vantrel
