// Listing a folder of 32,767 images and 10,000 other files, three ways, in one
// run: the program's one-pass listing, the twelve-pass listing written
// literally, and one bare enumeration of the folder (the floor no listing can
// beat). Prints the median times, their ratios, and whether the two listings
// agree.
//
//   image_list_bench_win32.exe [folder]
//
// The folder defaults to vantrel_image_list_bench in the temporary folder. It
// is filled on the first run and reused afterwards (a ".ready" file beside it
// says it is complete).

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_folder_win32.h"
#include "imagesource/image_list.h"
#include "literal_image_list_win32.h"
#include "platform/file_system_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel::bench {
namespace {

constexpr int kRounds = 5;

int run() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring folder = argv && argc > 1 ? argv[1] : temporary_folder(L"vantrel_image_list_bench");
  LocalFree(argv);
  if (!fill_folder(folder)) {
    std::printf("cannot create the files\n");
    return 1;
  }
  const std::string folder_utf8 = to_utf8(folder);
  Win32FileSystem file_system;

  std::size_t entries = bare_enumeration(folder);  // warms the caches for all three
  std::vector<double> floor_times, ours_times, literal_times;
  std::vector<std::string> ours, literal;
  for (int round = 0; round < kRounds; ++round) {
    double start = seconds_now();
    entries = bare_enumeration(folder);
    floor_times.push_back(seconds_now() - start);

    start = seconds_now();
    ours = Build_Image_List(file_system, folder_utf8);
    ours_times.push_back(seconds_now() - start);

    start = seconds_now();
    literal = literal_image_list(file_system, folder_utf8);
    literal_times.push_back(seconds_now() - start);
  }

  const double floor = median(floor_times), one_pass = median(ours_times), twelve = median(literal_times);
  std::printf("folder: %s (%zu entries, %d rounds, medians)\n", folder_utf8.c_str(), entries, kRounds);
  std::printf("bare enumeration (floor): %9.1f ms\n", floor * 1000);
  std::printf("one-pass listing (ours):  %9.1f ms, %zu images\n", one_pass * 1000, ours.size());
  std::printf("twelve-pass (literal):    %9.1f ms, %zu images\n", twelve * 1000, literal.size());
  std::printf("ours / floor:    %6.2f  (goal <= 1.5: %s)\n", one_pass / floor, one_pass / floor <= 1.5 ? "met" : "MISSED");
  std::printf("literal / ours:  %6.2f  (goal >= 5:   %s)\n", twelve / one_pass, twelve / one_pass >= 5 ? "met" : "MISSED");
  const bool equal = ours == literal;
  std::printf("lists equal: %s\n", equal ? "yes" : "NO");
  return equal ? 0 : 1;
}

}  // namespace
}  // namespace vantrel::bench

int main() { return vantrel::bench::run(); }
