// Loading and saving the settings file as the program does at start-up and at
// the dialog's "設定", for a plain small file and for two huge ones: 10 MB of
// empty lines around the section, and 200,000 junk keys inside it. Each case
// runs in a process of its own (a copy of this program beside its own
// Vantrel.ini, so the program's own path is taken), which reports its times
// and its peak working set; this one prints them side by side with the goals:
// a huge file loads and saves within 1 s on a plain small file's time, in at
// most 4 times its size of memory beyond a plain small file's peak.
//
//   settings_file_bench_win32.exe
//
// Works in vantrel_settings_file_bench in the temporary folder, removed at the
// end. Built against an older tree, it times that tree's load and save.

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_folder_win32.h"
#include "platform/handles_win32.h"
#include "settings/settings_file_win32.h"

namespace vantrel::bench {
namespace {

constexpr int kSmallRounds = 5;
constexpr double kGoalSeconds = 1.0;
constexpr double kGoalCopies = 4.0;

// The key lines a save writes, in code page 932.
const std::string kKeys =
    "\xCC\xA7\xB2\xD9\x96\xBC=\r\n"
    "\xCC\xAB\xD9\xC0\xDE\x96\xBC=\r\n"
    "\xCC\xA7\xB2\xD9\x8B\xE6\x95\xAA= 1\r\n"
    "\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3= 3\r\n"
    "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3= 25\r\n"
    "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x93\x78\x8D\x87\x82\xA2= 5\r\n"
    "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x82\xB7\x82\xE9\x91\xAC\x82\xB3= 5\r\n";

struct Case {
  const wchar_t* name;
  std::string file;
};

std::vector<Case> cases() {
  const std::string empty_lines(5 << 20, '\n');
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk += "junk" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
  return {{L"small", "[Section]\r\n" + kKeys},
          {L"empty-lines", empty_lines + "[Section]\r\n" + empty_lines + kKeys},
          {L"junk-keys", "[Section]\r\n" + junk + kKeys}};
}

struct Figures {
  double load_seconds = -1;
  double save_seconds = -1;
  double peak_mib = -1;  // the process's peak working set
};

double peak_working_set_mib() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
}

// In the child: the load and the save of the settings file beside it, the
// fastest of `rounds`; prints the figures on one line.
int measure(int rounds) {
  Figures best{1e9, 1e9, 0};
  for (int round = 0; round < rounds; ++round) {
    SettingsModel model;
    double start = seconds_now();
    load_settings_beside_program(model);
    best.load_seconds = std::min(best.load_seconds, seconds_now() - start);
    model.Action_Value[0] = model.Action_Value[0].value_or(3) == 3 ? 4 : 3;
    start = seconds_now();
    const SaveOutcome outcome = save_settings_beside_program(model);
    best.save_seconds = std::min(best.save_seconds, seconds_now() - start);
    if (outcome.result != WriteResult::Saved) {
      std::printf("the save failed: %s\n", outcome.reason.c_str());
      return 1;
    }
  }
  std::printf("%.6f %.6f %.3f\n", best.load_seconds, best.save_seconds, peak_working_set_mib());
  return 0;
}

bool write_file(const std::wstring& path, const std::string& bytes) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Runs a copy of this program in `folder` and reads its figures.
Figures run_child(const std::wstring& self, const std::wstring& folder, int rounds) {
  const std::wstring program = folder + L"\\bench.exe";
  if (!CopyFileW(self.c_str(), program.c_str(), FALSE)) return {};
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return {};
  const FileHandle reader(read_end);
  FileHandle writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  std::wstring command = L"\"" + program + L"\" --measure " + std::to_wstring(rounds);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                      &started))
    return {};
  const KernelHandle process(started.hProcess), thread(started.hThread);
  writer.reset();
  std::string output;
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) output.append(buffer, read);
  WaitForSingleObject(process.get(), INFINITE);
  Figures figures;
  if (std::sscanf(output.c_str(), "%lf %lf %lf", &figures.load_seconds, &figures.save_seconds,
                  &figures.peak_mib) != 3) {
    std::printf("the measuring run said: %s\n", output.c_str());
    return {};
  }
  return figures;
}

int run() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool child = argv && argc > 2 && std::wstring(argv[1]) == L"--measure";
  const int rounds = child ? _wtoi(argv[2]) : 0;
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  LocalFree(argv);
  if (child) return measure(rounds);

  const std::wstring work = temporary_folder(L"vantrel_settings_file_bench");
  CreateDirectoryW(work.c_str(), nullptr);
  std::printf("%-12s %10s %12s %12s %14s\n", "file", "size (MB)", "load (ms)", "save (ms)", "peak WS (MiB)");
  Figures small;
  bool met = true;
  for (const Case& c : cases()) {
    const std::wstring folder = work + L"\\" + c.name;
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!write_file(folder + L"\\Vantrel.ini", c.file)) {
      std::printf("cannot write the settings file\n");
      return 1;
    }
    const bool is_small = std::wstring(c.name) == L"small";
    const Figures figures = run_child(self, folder, is_small ? kSmallRounds : 1);
    DeleteFileW((folder + L"\\Vantrel.ini").c_str());
    DeleteFileW((folder + L"\\bench.exe").c_str());
    RemoveDirectoryW(folder.c_str());
    if (figures.load_seconds < 0) return 1;
    const double megabytes = static_cast<double>(c.file.size()) / 1e6;
    std::printf("%-12ls %10.2f %12.1f %12.1f %14.1f\n", c.name, megabytes, figures.load_seconds * 1000,
                figures.save_seconds * 1000, figures.peak_mib);
    if (is_small) {
      small = figures;
      continue;
    }
    const double extra_load = figures.load_seconds - small.load_seconds;
    const double extra_save = figures.save_seconds - small.save_seconds;
    const double copies = (figures.peak_mib - small.peak_mib) * (1 << 20) / static_cast<double>(c.file.size());
    const bool this_met = extra_load <= kGoalSeconds && extra_save <= kGoalSeconds && copies <= kGoalCopies;
    met = met && this_met;
    std::printf("  beyond the small file: load +%.1f ms, save +%.1f ms, memory %.1f x the file (goal <= %.0f s, "
                "<= %.0f x): %s\n",
                extra_load * 1000, extra_save * 1000, copies, kGoalSeconds, kGoalCopies, this_met ? "met" : "MISSED");
  }
  RemoveDirectoryW(work.c_str());
  return met ? 0 : 1;
}

}  // namespace
}  // namespace vantrel::bench

int main() { return vantrel::bench::run(); }
