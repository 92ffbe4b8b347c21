// CPU seconds per minute of a running saver with its display on, then with
// the display off (played through the saver's own power watch: Wine's
// registration is a stub), in one process, one after the other.
//
//   wine saver_power_bench_win32.exe <picture, a Windows path> [seconds]
//
// The saver runs in this process as `/s` would run it, on the default
// settings with the picture in file mode. After a warm-up the process's CPU
// time (all threads, llvmpipe's among them) is read over the window with the
// display on, then, after the display is said to be off and a moment has
// passed, over the same window again; then the display comes back and a key
// ends the run. Prints both per minute, their ratio, and how many seconds the
// first frame after "display on" took to come.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/wide_text_win32.h"
#include "saver/power_watch_win32.h"
#include "saver/saver_window_win32.h"

namespace {

using namespace std::chrono_literals;

constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

double process_cpu_seconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

void say_display(vantrel::PowerWatch& watch, DWORD state) {
  std::vector<unsigned char> bytes(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
  auto* change = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes.data());
  change->PowerSetting = kConsoleDisplayState;
  change->DataLength = sizeof(DWORD);
  std::memcpy(change->Data, &state, sizeof(state));
  vantrel::PowerWatch::on_setting(&watch, PBT_POWERSETTINGCHANGE, change);
}

class Script final : public vantrel::SaverRunObserver {
 public:
  explicit Script(int seconds) : seconds_(seconds) {}
  ~Script() override {
    if (thread_.joinable()) thread_.join();
  }

  void power_watch_ready(vantrel::PowerWatch& watch) override {
    thread_ = std::thread([this, &watch] { run(watch); });
  }

 private:
  void run(vantrel::PowerWatch& watch) {
    const auto window = std::chrono::seconds(seconds_);
    std::this_thread::sleep_for(5s);  // the picture decoded, the frames steady
    const double on_start = process_cpu_seconds();
    std::this_thread::sleep_for(window);
    const double on_end = process_cpu_seconds();
    say_display(watch, 0);
    std::this_thread::sleep_for(2s);
    const double off_start = process_cpu_seconds();
    std::this_thread::sleep_for(window);
    const double off_end = process_cpu_seconds();
    say_display(watch, 1);
    std::this_thread::sleep_for(1s);
    const double per_minute = 60.0 / seconds_;
    const double on = (on_end - on_start) * per_minute;
    const double off = (off_end - off_start) * per_minute;
    std::printf("CPU s per minute, display on: %.2f\n", on);
    std::printf("CPU s per minute, display off: %.3f (%.1f %% of on)\n", off, on > 0 ? 100.0 * off / on : 0.0);
    std::fflush(stdout);
    if (const HWND saver = FindWindowW(nullptr, L"Vantrel_Main")) PostMessageW(saver, WM_KEYDOWN, VK_SPACE, 0);
  }

  int seconds_;
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: saver_power_bench_win32 <picture> [seconds]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::max(5, std::atoi(argv[2])) : 60;
  vantrel::SettingsModel settings;
  settings.File_Kind = 1;
  settings.File_Path = argv[1];
  settings.Action_Value = {3, 25, 5, 5};
  Script script(seconds);
  const int code = vantrel::run_saver_window(GetModuleHandleW(nullptr), settings, vantrel::RunKind::Plain, &script);
  return code;
}
