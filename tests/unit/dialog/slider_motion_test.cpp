// How a slider moves for each of the system's scroll codes.
#include "dialog/slider_motion.h"

#include <gtest/gtest.h>

#include <optional>

namespace vantrel {
namespace {

TEST(SliderMotion, EachCodeMovesTheBarByItsRule) {
  constexpr ScrollRange kSize = kScrollRanges[0];  // 1 to 6
  constexpr ScrollRange kSpeed = kScrollRanges[1];  // 1 to 100
  const struct {
    const char* what;
    ScrollRange range;
    int current;
    ScrollCode code;
    int track;
    std::optional<int> expected;
  } cases[] = {
      {"left arrow", kSpeed, 25, ScrollCode::LineLeft, 0, 24},
      {"trough left: the large change is 1 too", kSpeed, 25, ScrollCode::PageLeft, 0, 24},
      {"right arrow", kSpeed, 25, ScrollCode::LineRight, 0, 26},
      {"trough right", kSpeed, 25, ScrollCode::PageRight, 0, 26},
      {"left arrow at the left end: no event", kSpeed, 1, ScrollCode::LineLeft, 0, std::nullopt},
      {"trough left at the left end", kSpeed, 1, ScrollCode::PageLeft, 0, std::nullopt},
      {"right arrow at the right end", kSize, 6, ScrollCode::LineRight, 0, std::nullopt},
      {"Home", kSize, 4, ScrollCode::Left, 0, 1},
      {"End", kSize, 4, ScrollCode::Right, 0, 6},
      {"Home at the left end already", kSize, 1, ScrollCode::Left, 0, std::nullopt},
      {"dragging", kSpeed, 25, ScrollCode::ThumbTrack, 70, 70},
      {"dragging without moving", kSpeed, 25, ScrollCode::ThumbTrack, 25, std::nullopt},
      {"let go where it was: reported all the same", kSpeed, 25, ScrollCode::ThumbPosition, 25, 25},
      {"let go at the right end", kSpeed, 99, ScrollCode::ThumbPosition, 100, 100},
      {"a track place past the end is held at it", kSize, 3, ScrollCode::ThumbTrack, 9, 6},
      {"a track place before the start", kSize, 3, ScrollCode::ThumbPosition, -4, 1},
      {"the end of a scroll", kSpeed, 25, ScrollCode::Other, 80, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(scrolled_value(c.range, c.current, c.code, c.track), c.expected) << c.what;
}

TEST(SliderMotion, DraggingBarZeroGivesOnlyItsSixValues) {
  int current = 1;
  for (int track = -10; track <= 120; ++track) {
    if (const std::optional<int> value = scrolled_value(kScrollRanges[0], current, ScrollCode::ThumbTrack, track))
      current = *value;
    EXPECT_GE(current, 1);
    EXPECT_LE(current, 6);
  }
  EXPECT_EQ(current, 6);
}

}  // namespace
}  // namespace vantrel
