// The dialog's small drawing rules: where the texture is copied, how big the
// preview is, how the count and a long path are written, the link's colours
// and the caption bar's travel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/caption_animation.h"
#include "dialog/link_colour.h"
#include "dialog/number_format.h"
#include "dialog/preview_geometry.h"
#include "dialog/text_fitting.h"
#include "dialog/tiling.h"
#include "saver/fake_random_source.h"

namespace vantrel {
namespace {

TEST(TilePicture, CopiesColumnByColumnOneRowAndColumnPastTheBox) {
  const std::vector<TilePosition> background = Tile_Picture(560, 20, 557, 341);
  ASSERT_EQ(background.size(), 38u) << "two columns of 19";
  EXPECT_EQ(background[0], (TilePosition{0, 0}));
  EXPECT_EQ(background[18], (TilePosition{0, 360})) << "y = 360 is the first past 341";
  EXPECT_EQ(background[19], (TilePosition{560, 0}));
  EXPECT_EQ(background.back(), (TilePosition{560, 360}));

  EXPECT_EQ(Tile_Picture(560, 20, 305, 289).size(), 32u) << "Pic_B(0): two columns of 16";
  EXPECT_EQ(Tile_Picture(560, 20, 560, 20).size(), 9u) << "a box the tile's size: three columns of three";
  EXPECT_EQ(Tile_Picture(840, 30, 836, 512).size(), 38u) << "Pic_C at 150 %";
}

TEST(PreviewGeometry, FitsTheLongerSideAndKeepsTheAspect) {
  const struct {
    int width, height;
    PreviewSize expected;
  } cases[] = {
      {640, 480, {100, 75}},
      {300, 1200, {25, 100}},
      {50, 50, {100, 100}},  // enlarged
      {3, 2, {100, 200.0 / 3}},
      {1200, 1200, {100, 100}},  // equal sides take the second branch
      {20000, 100, {100, 0.5}},
  };
  for (const auto& c : cases) {
    const PreviewSize size = preview_size(c.width, c.height);
    EXPECT_DOUBLE_EQ(size.width, c.expected.width) << c.width << " x " << c.height;
    EXPECT_DOUBLE_EQ(size.height, c.expected.height) << c.width << " x " << c.height;
  }
  EXPECT_EQ(preview_size_text(640, 480), "640 * 480");
}

TEST(NumberFormat, GroupsAsTheLocaleSaysAndWritesNothingForZero) {
  const DigitGrouping commas;  // threes throughout
  EXPECT_EQ(format_grouped(0, commas), "");
  EXPECT_EQ(format_grouped(7, commas), "7");
  EXPECT_EQ(format_grouped(999, commas), "999");
  EXPECT_EQ(format_grouped(1234, commas), "1,234");
  EXPECT_EQ(format_grouped(32767, commas), "32,767");
  EXPECT_EQ(format_grouped(1234567, commas), "1,234,567");
  EXPECT_EQ(format_grouped(1234567, grouping_from_locale("3;2;0", ",")), "12,34,567");
  EXPECT_EQ(format_grouped(1234567, grouping_from_locale("3", ",")), "1234,567");
  EXPECT_EQ(format_grouped(1234567, grouping_from_locale("0", ",")), "1234567");
  EXPECT_EQ(format_grouped(1234567, grouping_from_locale("3;0", "\u00a0")), "1\u00a0234\u00a0567");
  EXPECT_EQ(format_grouped(1234, grouping_from_locale("x;y", "'")), "1'234") << "unreadable: threes";
}

TEST(MiddleEllipsis, KeepsBothEndsOfWhatDoesNotFit) {
  const auto at_most = [](std::size_t bytes) { return [bytes](std::string_view text) { return text.size() <= bytes; }; };
  EXPECT_EQ(shorten_in_middle("C:\\Pics\\a.jpg", at_most(100)), "C:\\Pics\\a.jpg");
  // "…" takes 3 bytes: 10 fit, so 7 characters stay around it, the end one more.
  EXPECT_EQ(shorten_in_middle("C:\\Pictures\\holiday.jpg", at_most(10)), "C:\\….jpg");
  EXPECT_EQ(shorten_in_middle("abcdef", at_most(3)), "…");
  // Whole characters only: a Japanese name is never cut inside a character.
  EXPECT_EQ(shorten_in_middle("写真写真写真写真.jpg", at_most(13)), "写真…jpg");
}

TEST(TextFitting, BreaksAPathBetweenAnyCharactersAndShortensWhatNeedsMoreLines) {
  const TextWidth bytes_wide = [](std::string_view text) { return static_cast<int>(text.size()); };
  EXPECT_EQ(break_into_lines("C:\\Pics\\summer.jpg", 8, bytes_wide),
            (std::vector<std::string>{"C:\\Pics\\", "summer.j", "pg"}));
  EXPECT_EQ(break_into_lines("", 8, bytes_wide), std::vector<std::string>{});
  EXPECT_EQ(break_into_lines("写真", 2, bytes_wide), (std::vector<std::string>{"写", "真"})) << "one character at least";
  // Two lines of 8: the end of the path stays whole on the last line.
  const std::vector<std::string> fitted = fit_into_lines("C:\\Pictures\\2026\\summer.jpg", 8, 2, bytes_wide);
  ASSERT_EQ(fitted.size(), 2u);
  EXPECT_EQ(fitted[0] + fitted[1], "C:\\Pi…er.jpg");
  EXPECT_EQ(fit_into_lines("C:\\a.jpg", 8, 2, bytes_wide), (std::vector<std::string>{"C:\\a.jpg"}));
}

TEST(LinkColour, GlidesBetweenTheEndsAndDrawsOnlyWhenAllRestAtOne) {
  testing::FakeRandomSource random({0.9, 0.5, 0.1});  // up, down, hold
  LinkColourCycle cycle;
  EXPECT_EQ(cycle.tick(random), (LinkColour{10, 0, 0})) << "the first tick draws at once";
  EXPECT_EQ(random.draws(), 3u);
  for (int i = 0; i < 24; ++i) cycle.tick(random);
  EXPECT_EQ(cycle.Link_Color(), (std::array<int, 3>{250, 0, 0})) << "25 ticks from end to end";
  EXPECT_EQ(random.draws(), 3u) << "no draw while red was on its way";

  testing::FakeRandomSource always_up({0.99});
  LinkColourCycle bright;
  for (int i = 0; i < 25; ++i) bright.tick(always_up);
  EXPECT_EQ(bright.tick(always_up), (LinkColour{250, 250, 250})) << "codes past the end hold it";
  EXPECT_EQ(bright.tick(always_up), (LinkColour{250, 250, 250}));
}

TEST(CaptionAnimation, TravelsFromThePointToTheWindowsCaption) {
  const DeviceRect point{100, 200, 100, 200};
  const DeviceRect window{300, 100, 860, 466};
  EXPECT_EQ(caption_bar_at(point, window, 0.0, 22), (DeviceRect{100, 200, 101, 201})) << "a point still shows";
  EXPECT_EQ(caption_bar_at(point, window, 1.0, 22), (DeviceRect{300, 100, 860, 122}));
  EXPECT_EQ(caption_bar_at(point, window, 0.5, 22), (DeviceRect{200, 150, 480, 172}));
  EXPECT_EQ(caption_bar_at(window, point, 1.0, 22), (DeviceRect{100, 200, 101, 201})) << "closing ends at the point";
}

}  // namespace
}  // namespace vantrel
