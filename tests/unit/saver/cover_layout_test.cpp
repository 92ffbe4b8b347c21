#include "saver/cover_layout.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const Monitor kFallback{{0, 0, 1280, 1024}, 96, true};

TEST(CoverLayout, CoversEveryMonitorAndStandsTheSceneOnThePrimary) {
  const struct {
    const char* name;
    std::vector<Monitor> monitors;
    ScreenRect window;
    std::vector<WindowArea> screens;
    WindowArea scene;
  } cases[] = {
      {"one", {{{0, 0, 1920, 1080}, 96, true}}, {0, 0, 1920, 1080}, {{{0, 0, 1920, 1080}, 96}}, {{0, 0, 1920, 1080}, 96}},
      {"two side by side",
       {{{0, 0, 1920, 1080}, 96, true}, {{1920, 0, 3840, 1080}, 96, false}},
       {0, 0, 3840, 1080},
       {{{0, 0, 1920, 1080}, 96}, {{1920, 0, 3840, 1080}, 96}},
       {{0, 0, 1920, 1080}, 96}},
      {"one left of the primary, lower, of another DPI",
       {{{0, 0, 2560, 1440}, 144, true}, {{-1280, 200, 0, 1224}, 96, false}},
       {-1280, 0, 2560, 1440},
       {{{1280, 0, 3840, 1440}, 144}, {{0, 200, 1280, 1224}, 96}},
       {{1280, 0, 3840, 1440}, 144}},
      {"stacked, the primary below",
       {{{0, -900, 1600, 0}, 120, false}, {{0, 0, 1920, 1080}, 96, true}},
       {0, -900, 1920, 1080},
       {{{0, 0, 1600, 900}, 120}, {{0, 900, 1920, 1980}, 96}},
       {{0, 900, 1920, 1980}, 96}},
  };
  for (const auto& c : cases) {
    const CoverLayout layout = cover_layout(c.monitors, kFallback);
    EXPECT_EQ(layout.window, c.window) << c.name;
    EXPECT_EQ(layout.screens, c.screens) << c.name;
    EXPECT_EQ(layout.scene, c.scene) << c.name;
  }
}

TEST(CoverLayout, FallsBackOnWhatTheSystemCanTell) {
  // No monitor listed: the primary screen from the system's metrics.
  const CoverLayout none = cover_layout({}, kFallback);
  EXPECT_EQ(none.window, (ScreenRect{0, 0, 1280, 1024}));
  EXPECT_EQ(none.scene.rect, (ScreenRect{0, 0, 1280, 1024}));
  // A monitor without area is left out; without a primary the first counts.
  const CoverLayout odd = cover_layout({{{5, 5, 5, 900}, 96, true}, {{100, 0, 900, 600}, 120, false}}, kFallback);
  EXPECT_EQ(odd.window, (ScreenRect{100, 0, 900, 600}));
  ASSERT_EQ(odd.screens.size(), 1u);
  EXPECT_EQ(odd.scene, (WindowArea{{0, 0, 800, 600}, 120}));
}

}  // namespace
}  // namespace vantrel
