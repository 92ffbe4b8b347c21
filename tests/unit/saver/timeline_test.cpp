#include "saver/timeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

TEST(ExplodeProgress, HoldsOneSecondRisesTwelveFallsFourAndRepeats) {
  const std::pair<double, double> cases[] = {{0, 0},         {0.5, 0},   {1, 0},  {7, 0.05},
                                             {13, 0.1},      {15, 0.05}, {17, 0}, {18, 0},
                                             {19, 0.1 / 12}, {30, 0.1},  {34, 0}, {17007, 0.05}};
  for (const auto& [seconds, progress] : cases)
    EXPECT_NEAR(explode_progress(seconds), progress, 1e-12) << seconds;
  // No jumps anywhere, cycle boundaries included: the steepest slope is the gather's.
  for (double t = 0.001, previous = 0.0; t < 3 * kCycleSeconds; t += 0.001) {
    ASSERT_LE(std::abs(explode_progress(t) - previous), 0.1 / 4 * 0.001 * 1.001) << t;
    previous = explode_progress(t);
  }
}

TEST(SpinDegrees, TurnsRateTimesSecondsExactlyEvenAfterDays) {
  const double cases[][3] = {
      {25, 3.6, 90}, {-25, 3.6, -90}, {25, 43.2, 0}, {25, 86403.6, 90}, {100, 604800.5, 50}};
  for (const auto& [rate, seconds, degrees] : cases) {
    EXPECT_NEAR(std::remainder(spin_degrees(rate, seconds) - degrees, 360.0), 0.0, 1e-6)
        << rate << " at " << seconds;
    EXPECT_LT(std::abs(spin_degrees(rate, seconds)), 360.0);
  }
}

}  // namespace
}  // namespace vantrel
