// The saver's pacing against the system's word on power: the system's
// callback (played here: Wine's registration is a stub) reaches the window
// as a message that carries nothing, and the pacer draws nothing while the
// display is off, holding no fine timer, and draws at once when it is back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "saver/frame_pacer_win32.h"
#include "saver/power_watch_win32.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kAcDcPowerSource = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
constexpr GUID kEnergySaverStatus = {0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};
constexpr GUID kPowerSavingStatus = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};

// The system's callback with a DWORD setting, as the system makes it.
void tell(PowerWatch& watch, const GUID& setting, DWORD value) {
  std::vector<unsigned char> bytes(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
  auto* change = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes.data());
  change->PowerSetting = setting;
  change->DataLength = sizeof(DWORD);
  std::memcpy(change->Data, &value, sizeof(value));
  PowerWatch::on_setting(&watch, PBT_POWERSETTINGCHANGE, change);
}

class PowerWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Whether a power message is waiting for the window, taking it.
  bool told() {
    MSG message;
    return PeekMessageW(&message, window_, PowerWatch::kPowerChangedMessage, PowerWatch::kPowerChangedMessage,
                        PM_REMOVE) != FALSE && message.wParam == 0 && message.lParam == 0;
  }

  HWND window_ = nullptr;
};

TEST_F(PowerWatchTest, EachSettingTheSystemReportsChangesTheStateAndTellsTheWindow) {
  PowerWatch watch(window_);
  while (told()) {
  }
  EXPECT_EQ(watch.state(), PowerState{}) << "nothing said: mains, display on";
  const struct {
    const GUID* setting;
    DWORD value;
    PowerState expected;
  } steps[] = {
      {&kConsoleDisplayState, 0, {DisplayState::Off, BatterySaver::Off, false}},
      {&kConsoleDisplayState, 2, {DisplayState::Dimmed, BatterySaver::Off, false}},
      {&kAcDcPowerSource, 1, {DisplayState::Dimmed, BatterySaver::Off, true}},
      {&kPowerSavingStatus, 1, {DisplayState::Dimmed, BatterySaver::On, true}},
      {&kEnergySaverStatus, 2, {DisplayState::Dimmed, BatterySaver::HighSavings, true}},
      {&kConsoleDisplayState, 1, {DisplayState::On, BatterySaver::HighSavings, true}},
      {&kAcDcPowerSource, 0, {DisplayState::On, BatterySaver::HighSavings, false}},
  };
  for (const auto& step : steps) {
    tell(watch, *step.setting, step.value);
    EXPECT_EQ(watch.state(), step.expected);
    EXPECT_TRUE(told()) << "the window hears of it";
  }
}

TEST_F(PowerWatchTest, WhatIsNotAPowerSettingChangesNothing) {
  PowerWatch watch(window_);
  while (told()) {
  }
  POWERBROADCAST_SETTING short_setting{};
  short_setting.PowerSetting = kConsoleDisplayState;
  short_setting.DataLength = 1;  // no whole DWORD
  PowerWatch::on_setting(&watch, PBT_POWERSETTINGCHANGE, &short_setting);
  PowerWatch::on_setting(&watch, PBT_APMSUSPEND, &short_setting);
  PowerWatch::on_setting(&watch, PBT_POWERSETTINGCHANGE, nullptr);
  tell(watch, GUID{0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}}, 0);
  EXPECT_EQ(watch.state(), PowerState{});
  EXPECT_FALSE(told());
}

TEST(FramePacer, PausedItDrawsNothingHoldsNoFineTimerAndWaitsForMessages) {
  FramePacer pacer(nullptr);
  EXPECT_EQ(pacer.refresh_hertz(), 60);
  EXPECT_TRUE(pacer.holds_fine_timer());
  pacer.set_pacing({true, {}});
  EXPECT_TRUE(pacer.paused());
  EXPECT_FALSE(pacer.holds_fine_timer()) << "the system timer is given back while paused";
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(pacer.frame_due()) << "no frame while the display is off, however long";

  // Paused, wait() returns for a message and not before. Whatever earlier
  // tests left in this thread's queue is taken first.
  MSG left;
  while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
  }
  const DWORD thread = GetCurrentThreadId();
  std::thread poster([thread] {
    std::this_thread::sleep_for(200ms);
    PostThreadMessageW(thread, WM_NULL, 0, 0);
  });
  const auto start = std::chrono::steady_clock::now();
  pacer.wait();
  const auto waited = std::chrono::steady_clock::now() - start;
  poster.join();
  EXPECT_GE(waited, 150ms) << "a paused pacer sleeps until a message comes";

  // Back on: the next frame is due at once, the fine timer held again.
  pacer.set_pacing({false, std::chrono::nanoseconds(1'000'000'000 / 30)});
  EXPECT_TRUE(pacer.frame_due());
  EXPECT_TRUE(pacer.holds_fine_timer());
  EXPECT_EQ(pacer.frame_period(), std::chrono::nanoseconds(1'000'000'000 / 30));
  // A frame shown makes the next one wait its period: a long one here, so
  // that a busy machine cannot let it pass before the question.
  pacer.set_pacing({false, std::chrono::nanoseconds(std::chrono::seconds(60))});
  pacer.frame_shown();
  EXPECT_FALSE(pacer.frame_due()) << "the next frame a period later";
}

}  // namespace
}  // namespace vantrel
