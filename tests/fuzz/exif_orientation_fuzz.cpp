// libFuzzer target for the EXIF orientation reader (platform/exif_orientation.h):
// any bytes as a picture file.
//
// Properties:
//   - no read outside the bytes (ASan watches: each call gets a heap block of
//     exactly the bytes it is given, so one byte too far is a report);
//   - the answer is one of the eight orientations;
//   - a file cut anywhere either still declares what the whole file declares
//     or declares nothing: once the first Exif block is whole, what follows
//     it cannot change the answer, and until then there is none.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/exif_orientation.h"

namespace {

using vantrel::Orientation;

// A crash libFuzzer reports with the input that caused it.
[[noreturn]] void fail(const char* property) {
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

Orientation read_exactly(const std::uint8_t* data, std::size_t size) {
  const auto copy = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const Orientation orientation = vantrel::exif_orientation(std::string_view(copy.get(), size));
  const int value = static_cast<int>(orientation);
  if (value < 1 || value > 8) fail("the answer is no orientation");
  return orientation;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Orientation whole = read_exactly(data, size);
  if (size == 0) return 0;
  // The cut is chosen by the last byte, so the fuzzer can steer it onto
  // segment boundaries instead of always halving.
  const std::size_t cut = data[size - 1] % size;
  const Orientation cut_short = read_exactly(data, cut);
  if (cut_short != Orientation::Normal && cut_short != whole)
    fail("a file cut short declares another orientation than the whole file");
  return 0;
}
