#include "dialog/window_placement.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(WindowPlacement, CentredOnTheScreenAndKeptOnTheWorkArea) {
  const PixelRect screen{0, 0, 1280, 1024};
  const struct {
    const char* what;
    PixelRect work_area;
    int width, height;
    PixelRect expected;
  } cases[] = {
      {"fits: centred on the screen", {0, 0, 1280, 984}, 563, 373, {358, 325, 921, 698}},
      {"a tall bar at the bottom pushes it up", {0, 0, 1280, 600}, 563, 373, {358, 227, 921, 600}},
      {"a bar at the top pushes it down", {0, 500, 1280, 1024}, 563, 373, {358, 500, 921, 873}},
      {"wider than the work area: its left edge on it", {0, 0, 500, 1024}, 563, 373, {0, 325, 563, 698}},
      {"larger both ways: its caption stays on it", {40, 30, 540, 330}, 845, 560, {40, 30, 885, 590}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(centred_on_work_area(c.width, c.height, screen, c.work_area), c.expected) << c.what;
}

TEST(WindowPlacement, AWindowAlreadyOnTheWorkAreaStaysWhereItIs) {
  const PixelRect work{0, 0, 1920, 1040};
  EXPECT_EQ(kept_on_work_area({100, 200, 663, 573}, work), (PixelRect{100, 200, 663, 573}));
  EXPECT_EQ(kept_on_work_area({1800, -50, 2363, 323}, work), (PixelRect{1357, 0, 1920, 373}));
}

}  // namespace
}  // namespace vantrel
