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

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "imagesource/image_list.h"
#include "literal_image_list_win32.h"
#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel::bench {
namespace {

constexpr int kImageFiles = 32767;
constexpr int kOtherFiles = 10000;
constexpr int kRounds = 5;

std::wstring default_folder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"vantrel_image_list_bench";
}

// Images of the four kinds in turn, some with upper-case extensions; other
// files whose names come close (photo.jpeg) but are no images.
bool fill_folder(const std::wstring& folder) {
  const std::wstring ready = folder + L".ready";
  if (GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  std::printf("creating %d files in %s ...\n", kImageFiles + kOtherFiles, to_utf8(folder).c_str());
  CreateDirectoryW(folder.c_str(), nullptr);
  const wchar_t* const image_endings[] = {L".bmp", L".gif", L".jpg", L".wmf", L".JPG", L".Bmp"};
  const wchar_t* const other_endings[] = {L".txt", L".png", L".jpeg", L".dat", L".bmp.txt"};
  const auto create = [&](const std::wstring& name) {
    return static_cast<bool>(FileHandle(CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
  };
  // Interleaved, so the file system's order mixes kinds and other files.
  int images = 0, others = 0;
  for (int step = 0; images < kImageFiles || others < kOtherFiles; ++step) {
    const bool other = others < kOtherFiles && (step % 4 == 3 || images == kImageFiles);
    const std::wstring name = other ? L"doc_" + std::to_wstring(others) + other_endings[others % 5]
                                    : L"img_" + std::to_wstring(images) + image_endings[images % 6];
    (other ? others : images) += 1;
    if (!create(name)) return false;
  }
  return static_cast<bool>(FileHandle(
      CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

double seconds_now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One bare enumeration with the same flags the file system uses: entries are
// counted, nothing else.
std::size_t bare_enumeration(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return 0;
  std::size_t entries = 0;
  do ++entries;
  while (FindNextFileW(search.get(), &found));
  return entries;
}

int run() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring folder = argv && argc > 1 ? argv[1] : default_folder();
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
