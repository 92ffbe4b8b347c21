#include "bench_folder_win32.h"

#include <algorithm>
#include <cstdio>

#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel::bench {

std::wstring temporary_folder(const wchar_t* name) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + name;
}

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

}  // namespace vantrel::bench
