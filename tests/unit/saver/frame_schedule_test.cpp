// When the saver's frames are due, against a clock the test moves.
#include "saver/frame_schedule.h"

#include <gtest/gtest.h>

#include <optional>

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using TimePoint = FrameSchedule::TimePoint;

constexpr auto k60 = std::chrono::nanoseconds(1'000'000'000LL / 60);
constexpr auto k30 = std::chrono::nanoseconds(1'000'000'000LL / 30);
const TimePoint kStart = TimePoint{} + 1000s;

TEST(FrameSchedule, FramesComeAPeriodApartAndALateOneCountsFromWhenItWasShown) {
  FrameSchedule schedule(k60, kStart);
  const struct {
    const char* what;
    std::chrono::nanoseconds shown_at;  // after kStart
    std::chrono::nanoseconds next_due;  // after kStart
  } frames[] = {
      {"the first frame, on time", 0ns, k60},
      {"the second, on time", k60, 2 * k60},
      {"the third, a little late: the fourth keeps its time", 2 * k60 + 5ms, 3 * k60},
      {"the fourth, a whole frame late: no frames are rushed", 5 * k60, 5 * k60},
      {"the fifth, at once", 5 * k60, 6 * k60},
  };
  for (const auto& frame : frames) {
    const TimePoint shown = kStart + frame.shown_at;
    ASSERT_TRUE(schedule.frame_due(shown)) << frame.what;
    schedule.frame_shown(shown);
    const TimePoint due = kStart + frame.next_due;
    EXPECT_FALSE(schedule.frame_due(due - 1ns)) << frame.what;
    EXPECT_TRUE(schedule.frame_due(due)) << frame.what;
    EXPECT_EQ(schedule.wait_from(shown), std::optional<std::chrono::nanoseconds>(due > shown ? due - shown : 0ns))
        << frame.what;
  }
}

TEST(FrameSchedule, PausedNoFrameIsEverDueAndBackFromThePauseOneIsDueAtOnce) {
  FrameSchedule schedule(k60, kStart);
  schedule.frame_shown(kStart);
  schedule.set_pacing({true, {}}, kStart + 1ms);
  EXPECT_TRUE(schedule.paused());
  EXPECT_FALSE(schedule.frame_due(kStart + 1h)) << "however long the display is off";
  EXPECT_EQ(schedule.wait_from(kStart + 1ms), std::nullopt) << "only a message ends the wait";
  schedule.set_pacing({false, k30}, kStart + 1h);
  EXPECT_FALSE(schedule.paused());
  EXPECT_TRUE(schedule.frame_due(kStart + 1h)) << "the scene shows where its clock has got to";
  EXPECT_EQ(schedule.period(), k30);
  schedule.frame_shown(kStart + 1h);
  EXPECT_EQ(schedule.wait_from(kStart + 1h), std::optional<std::chrono::nanoseconds>(k30));
}

TEST(FrameSchedule, ANewPaceMovesTheNextFrameByTheDifferenceOfThePeriods) {
  const struct {
    const char* what;
    Pacing pacing;
    std::chrono::nanoseconds asked_after;  // the last frame was shown at kStart
    std::chrono::nanoseconds next_due;
    std::chrono::nanoseconds period;
  } cases[] = {
      {"slower: the next frame moves out", {false, k30}, 1ms, k30, k30},
      {"faster: it comes in", {false, k60 / 2}, 1ms, k60 / 2, k60 / 2},
      {"no interval: the period stays", {false, {}}, 1ms, k60, k60},
      {"the same pace again changes nothing", {false, k60}, 1ms, k60, k60},
  };
  for (const auto& c : cases) {
    FrameSchedule schedule(k60, kStart);
    schedule.frame_shown(kStart);
    schedule.set_pacing(c.pacing, kStart + c.asked_after);
    EXPECT_EQ(schedule.period(), c.period) << c.what;
    EXPECT_FALSE(schedule.frame_due(kStart + c.next_due - 1ns)) << c.what;
    EXPECT_TRUE(schedule.frame_due(kStart + c.next_due)) << c.what;
  }
}

}  // namespace
}  // namespace vantrel
