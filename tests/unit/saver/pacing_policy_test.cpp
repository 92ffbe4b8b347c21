#include "saver/pacing_policy.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using std::chrono::nanoseconds;

constexpr nanoseconds per_second(long long frames) { return nanoseconds(1'000'000'000LL / frames); }

TEST(PacingPolicy, FewestFramesTheSituationAsksFor) {
  const PowerState mains{};
  const PowerState battery{DisplayState::On, BatterySaver::Off, true};
  const PowerState saver{DisplayState::On, BatterySaver::On, true};
  const PowerState high{DisplayState::On, BatterySaver::HighSavings, true};
  const PowerState dimmed{DisplayState::Dimmed, BatterySaver::Off, false};
  const PowerState dark{DisplayState::Off, BatterySaver::Off, false};
  const struct {
    const char* what;
    PowerState power;
    int hertz;
    bool software;
    Pacing expected;
  } cases[] = {
      {"mains, 60 Hz", mains, 60, false, {false, per_second(60)}},
      {"mains, a 144 Hz monitor: no faster than 60", mains, 144, false, {false, per_second(60)}},
      {"mains, 50 Hz: the display's own rate", mains, 50, false, {false, per_second(50)}},
      {"a display that says no rate", mains, 1, false, {false, per_second(60)}},
      {"software renderer", mains, 60, true, {false, per_second(30)}},
      {"battery", battery, 144, false, {false, per_second(30)}},
      {"battery saver", saver, 60, false, {false, per_second(20)}},
      {"battery saver at its highest savings", high, 60, true, {false, per_second(15)}},
      {"dimmed draws as on", dimmed, 60, false, {false, per_second(60)}},
      {"display off: nothing", dark, 60, false, {true, {}}},
      {"display off on battery: still nothing", {DisplayState::Off, BatterySaver::On, true}, 60, true, {true, {}}},
  };
  for (const auto& c : cases) EXPECT_EQ(frame_pacing(c.power, c.hertz, c.software), c.expected) << c.what;
}

}  // namespace
}  // namespace vantrel
