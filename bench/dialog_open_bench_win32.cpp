// Opening the settings dialog on a folder of 32,767 images and 10,000 other
// files: the time from starting `Vantrel.scr /c` to its shown window, less the
// same for an empty folder (what remains is the cost of the folder: listing
// it at start-up, spelling its names, filling the list), against one bare
// enumeration of that folder measured in the same run.
//
//   dialog_open_bench_win32.exe <Vantrel.scr> [folder]
//
// The folder defaults to vantrel_image_list_bench in the temporary folder,
// shared with image_list_bench_win32 (filled on the first run). Each round
// starts a copy of the program beside its own settings file, waits for the
// window "Vantrelの設定" to be visible, closes it and waits for the program to
// end. Prints the medians and the ratio with its goal (at most 2).

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_folder_win32.h"
#include "platform/handles_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel::bench {
namespace {

constexpr int kRounds = 5;
constexpr double kGoal = 2.0;
constexpr DWORD kWindowTimeoutMilliseconds = 60000;

// A folder holding a copy of the program and a settings file choosing
// `pictures` in folder mode; empty when it cannot be made.
std::wstring program_beside_settings(const std::wstring& scr, const std::wstring& name, const std::wstring& pictures) {
  const std::wstring folder = temporary_folder(name.c_str());
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!CopyFileW(scr.c_str(), (folder + L"\\Vantrel.scr").c_str(), FALSE)) return {};
  const Win32TextCodec codec;
  const auto bytes = codec.to_cp932("[Section]\r\nﾌｫﾙﾀﾞ名=" + to_utf8(pictures) + "\r\nﾌｧｲﾙ区分= 0\r\n");
  if (!bytes) return {};
  const FileHandle file(CreateFileW((folder + L"\\Vantrel.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr)) return {};
  return folder;
}

// Seconds from the start of the program to its dialog on the screen; a
// negative number when it did not come up.
double seconds_to_shown_dialog(const std::wstring& folder) {
  std::wstring command = L"\"" + folder + L"\\Vantrel.scr\" /c";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  const double start = seconds_now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &started)) {
    return -1;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  double shown = -1;
  while (seconds_now() - start < kWindowTimeoutMilliseconds / 1000.0) {
    const HWND dialog = FindWindowW(nullptr, L"Vantrelの設定");
    if (dialog && IsWindowVisible(dialog)) {
      shown = seconds_now() - start;
      PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
    }
    if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) break;  // ended without a dialog
  }
  if (WaitForSingleObject(process.get(), kWindowTimeoutMilliseconds) != WAIT_OBJECT_0)
    TerminateProcess(process.get(), 1);
  return shown;
}

int run() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    std::printf("usage: dialog_open_bench_win32.exe <Vantrel.scr> [folder]\n");
    return 2;
  }
  const std::wstring scr = argv[1];
  const std::wstring pictures = argc > 2 ? argv[2] : temporary_folder(L"vantrel_image_list_bench");
  LocalFree(argv);
  const std::wstring empty = temporary_folder(L"vantrel_dialog_bench_empty");
  CreateDirectoryW(empty.c_str(), nullptr);
  if (!fill_folder(pictures)) {
    std::printf("cannot create the files\n");
    return 1;
  }
  const std::wstring big_run = program_beside_settings(scr, L"vantrel_dialog_bench_big", pictures);
  const std::wstring empty_run = program_beside_settings(scr, L"vantrel_dialog_bench_none", empty);
  if (big_run.empty() || empty_run.empty()) {
    std::printf("cannot set up the program copies\n");
    return 1;
  }

  // A first start of each warms the caches (the program file, the folder).
  seconds_to_shown_dialog(big_run);
  seconds_to_shown_dialog(empty_run);
  std::vector<double> big, none, floor;
  std::size_t entries = 0;
  for (int round = 0; round < kRounds; ++round) {
    const double start = seconds_now();
    entries = bare_enumeration(pictures);
    floor.push_back(seconds_now() - start);
    big.push_back(seconds_to_shown_dialog(big_run));
    none.push_back(seconds_to_shown_dialog(empty_run));
    if (big.back() < 0 || none.back() < 0) {
      std::printf("the dialog did not come up\n");
      return 1;
    }
  }
  const double big_s = median(big), none_s = median(none), floor_s = median(floor);
  const double ratio = (big_s - none_s) / floor_s;
  std::printf("folder: %s (%zu entries, %d rounds, medians)\n", to_utf8(pictures).c_str(), entries, kRounds);
  std::printf("to the shown dialog, 32,767 images: %8.1f ms\n", big_s * 1000);
  std::printf("to the shown dialog, empty folder:  %8.1f ms\n", none_s * 1000);
  std::printf("the folder's share:                 %8.1f ms\n", (big_s - none_s) * 1000);
  std::printf("bare enumeration (floor):           %8.1f ms\n", floor_s * 1000);
  std::printf("share / floor: %5.2f  (goal <= %.0f: %s)\n", ratio, kGoal, ratio <= kGoal ? "met" : "not met");
  return 0;
}

}  // namespace
}  // namespace vantrel::bench

int main() { return vantrel::bench::run(); }
