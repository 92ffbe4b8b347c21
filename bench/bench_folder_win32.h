#pragma once
// What the listing benchmarks share: the big folder they list, one bare
// enumeration of it (the floor no listing can beat), a clock and medians.

#include <windows.h>

#include <string>
#include <vector>

namespace vantrel::bench {

inline constexpr int kImageFiles = 32767;
inline constexpr int kOtherFiles = 10000;

// The folder under the temporary folder with this name (no path).
std::wstring temporary_folder(const wchar_t* name);

// Fills `folder` with kImageFiles images of the four kinds in turn (some with
// upper-case extensions) and kOtherFiles files whose names come close but are
// no images (photo.jpeg), interleaved, so the file system's order mixes them.
// Filled on the first run and reused afterwards: a ".ready" file beside it
// says it is complete. False when the files cannot be made.
bool fill_folder(const std::wstring& folder);

// One enumeration with the flags the program's file system uses, counting
// entries and nothing else.
std::size_t bare_enumeration(const std::wstring& folder);

double seconds_now();
double median(std::vector<double> values);

}  // namespace vantrel::bench
