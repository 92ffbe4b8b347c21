// libFuzzer target for the picture header reader (platform/picture_header.h):
// any bytes as a picture file.
//
// Properties:
//   - no read outside the bytes (ASan watches: each call gets a heap block of
//     exactly the bytes it is given, so one byte too far is a report);
//   - a declared size has both sides at least 1, and a format; Other declares
//     nothing;
//   - its cost never wraps: more bits a pixel never cost fewer bytes;
//   - a file cut anywhere either declares nothing or what the whole file
//     declares, but for a GIF's frame pixels, which a cut may only lessen:
//     the decoder's bound on a cut file is never looser than on the whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/picture_header.h"

namespace {

using vantrel::HeaderFormat;
using vantrel::PictureHeader;

// A crash libFuzzer reports with the input that caused it.
[[noreturn]] void fail(const char* property) {
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

PictureHeader read_exactly(const std::uint8_t* data, std::size_t size) {
  const auto copy = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const PictureHeader header = vantrel::read_picture_header(std::string_view(copy.get(), size));
  if (header.format == HeaderFormat::Other && header.declared) fail("bytes of no known format declare a size");
  if (header.declared) {
    const vantrel::DeclaredPicture& declared = *header.declared;
    if (declared.size.width < 1 || declared.size.height < 1) fail("a declared side below one pixel");
    if (declared.bits_per_pixel < 1 || declared.bits_per_pixel > 255 * 16) fail("a depth no header can declare");
    for (const int reduction : {1, 8}) {
      const vantrel::DecodeCost cost = vantrel::decode_cost(header.format, declared, reduction);
      vantrel::DeclaredPicture deeper = declared;
      deeper.bits_per_pixel *= 2;
      if (vantrel::decode_cost(header.format, deeper, reduction).bytes < cost.bytes) fail("a cost wrapped");
    }
  }
  return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PictureHeader whole = read_exactly(data, size);
  if (size == 0) return 0;
  // The cut is chosen by the last byte, so the fuzzer can steer it onto
  // segment and chunk boundaries instead of always halving.
  const std::size_t cut = data[size - 1] % size;
  const PictureHeader cut_short = read_exactly(data, cut);
  if (!cut_short.declared) return 0;
  if (!whole.declared || cut_short.format != whole.format || cut_short.declared->size != whole.declared->size ||
      cut_short.declared->bits_per_pixel != whole.declared->bits_per_pixel)
    fail("a file cut short declares another picture than the whole file");
  const bool frames_may_differ = whole.format == HeaderFormat::Gif;
  if (cut_short.declared->stored_pixels > whole.declared->stored_pixels ||
      (!frames_may_differ && cut_short.declared->stored_pixels != whole.declared->stored_pixels))
    fail("a file cut short holds more pixels than the whole file");
  return 0;
}
