#include "saver/power_watch_win32.h"

#include <cstring>

#include "platform/optional_functions_win32.h"

namespace vantrel {
namespace {

// The callback registration's record; mingw-w64's headers lack it and the
// two newer setting identifiers.
using NotifyCallback = ULONG(CALLBACK*)(void* context, ULONG type, void* setting);
struct SubscribeParameters {
  NotifyCallback callback;
  void* context;
};
constexpr DWORD kDeviceNotifyCallback = 2;

// 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// 0 mains, 1 battery, 2 a short-term source such as a UPS.
constexpr GUID kAcDcPowerSource = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
// Windows 11: 0 off, 1 standard, 2 high savings.
constexpr GUID kEnergySaverStatus = {0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};
// Windows 10 and later: 0 off, 1 on.
constexpr GUID kPowerSavingStatus = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};

}  // namespace

PowerWatch::PowerWatch(HWND window) : window_(window) {
  const auto notifications = optional_functions::PowerSettingNotifications();
  if (!notifications) return;
  const auto register_notification = notifications.register_notification;
  SubscribeParameters parameters{&PowerWatch::on_setting, this};
  const auto subscribe = [&](const GUID& setting) {
    void* registration = nullptr;
    if (register_notification(&setting, kDeviceNotifyCallback, &parameters, &registration) != ERROR_SUCCESS ||
        !registration) {
      return false;
    }
    registrations_.push_back(registration);
    return true;
  };
  subscribe(kConsoleDisplayState);
  subscribe(kAcDcPowerSource);
  // Energy saver where the system has it, else the older battery saver.
  if (!subscribe(kEnergySaverStatus)) subscribe(kPowerSavingStatus);
}

PowerWatch::~PowerWatch() {
  // Registrations exist only where both functions do.
  const auto unregister = optional_functions::PowerSettingNotifications().unregister_notification;
  for (void* registration : registrations_) unregister(registration);
}

PowerState PowerWatch::state() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

ULONG CALLBACK PowerWatch::on_setting(void* context, ULONG type, void* setting) {
  if (type != PBT_POWERSETTINGCHANGE || !context || !setting) return ERROR_SUCCESS;
  auto* watch = static_cast<PowerWatch*>(context);
  const auto* change = static_cast<const POWERBROADCAST_SETTING*>(setting);
  if (change->DataLength < sizeof(DWORD)) return ERROR_SUCCESS;
  DWORD value = 0;
  std::memcpy(&value, change->Data, sizeof(value));
  {
    const std::lock_guard lock(watch->mutex_);
    PowerState& state = watch->state_;
    if (change->PowerSetting == kConsoleDisplayState) {
      state.display = value == 0 ? DisplayState::Off : value == 2 ? DisplayState::Dimmed : DisplayState::On;
    } else if (change->PowerSetting == kAcDcPowerSource) {
      state.on_battery = value != 0;
    } else if (change->PowerSetting == kEnergySaverStatus) {
      state.battery_saver = value == 0 ? BatterySaver::Off : value == 1 ? BatterySaver::On : BatterySaver::HighSavings;
    } else if (change->PowerSetting == kPowerSavingStatus) {
      state.battery_saver = value == 0 ? BatterySaver::Off : BatterySaver::On;
    } else {
      return ERROR_SUCCESS;
    }
  }
  PostMessageW(watch->window_, kPowerChangedMessage, 0, 0);
  return ERROR_SUCCESS;
}

}  // namespace vantrel
