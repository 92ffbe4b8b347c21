#include "platform/exif_orientation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

enum class Endian { Little, Big };

std::string number(std::size_t value, std::size_t width, Endian endian) {
  std::string bytes(width, '\0');
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t shift = 8 * (endian == Endian::Big ? width - 1 - i : i);
    bytes[i] = static_cast<char>(value >> shift & 0xFF);
  }
  return bytes;
}

// One IFD entry. The value goes into the first two bytes of the value field,
// where a SHORT's lies, whatever the type: a reader that skipped the type
// check would find it there.
struct Entry {
  std::uint16_t tag, type;
  std::uint32_t count;
  std::uint16_t value;
};
constexpr Entry kMake{0x010F, 2, 4, 0};
constexpr Entry kDateTime{0x0132, 2, 20, 0};
constexpr Entry orientation(std::uint16_t value) { return {0x0112, 3, 1, value}; }

// A TIFF block: header, `gap` unused bytes, IFD0 with `entries`, no next IFD.
std::string tiff(Endian endian, const std::vector<Entry>& entries, std::size_t gap = 0) {
  std::string block = (endian == Endian::Little ? "II"s : "MM"s) + number(42, 2, endian) +
                      number(8 + gap, 4, endian) + std::string(gap, '\0') + number(entries.size(), 2, endian);
  for (const Entry& e : entries)
    block += number(e.tag, 2, endian) + number(e.type, 2, endian) + number(e.count, 4, endian) +
             number(e.value, 2, endian) + "\0\0"s;
  return block + number(0, 4, endian);
}

std::string segment(unsigned marker, const std::string& payload) {
  return "\xFF"s + static_cast<char>(marker) + number(payload.size() + 2, 2, Endian::Big) + payload;
}

std::string exif(const std::string& tiff_block) { return segment(0xE1, "Exif\0\0"s + tiff_block); }

std::string patched(std::string bytes, std::size_t at, const std::string& replacement) {
  return bytes.replace(at, replacement.size(), replacement);
}

const std::string kSoi = "\xFF\xD8";
const std::string kJfif = segment(0xE0, "JFIF\0\x01\x02\0\0\x01\0\x01\0\0"s);
const std::string kStartOfScan = segment(0xDA, "\x01\x01\x00\x00\x3F\x00"s);
// The scan with a little coded data (a stuffed 0xFF among it) and the end.
const std::string kScan = kStartOfScan + "\x12\x34\xFF\x00\x56\xFF\xD9"s;

std::string jpeg(const std::string& segments) { return kSoi + segments + kScan; }

const std::string kTiff6 = tiff(Endian::Little, {orientation(6)});

// Read from a heap block of exactly the bytes' size, so that ASan sees any
// read past their end.
Orientation read(const std::string& bytes) {
  const auto copy = std::make_unique<char[]>(bytes.size());
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return exif_orientation({copy.get(), bytes.size()});
}

TEST(ExifOrientation, ReadsEveryValueInEitherByteOrder) {
  const struct {
    std::uint16_t value;
    Orientation expected;
  } cases[] = {
      {1, Orientation::Normal},         {2, Orientation::MirrorHorizontal}, {3, Orientation::Rotate180},
      {4, Orientation::MirrorVertical}, {5, Orientation::Transpose},        {6, Orientation::Rotate90},
      {7, Orientation::Transverse},     {8, Orientation::Rotate270},
  };
  for (const Endian endian : {Endian::Little, Endian::Big})
    for (const auto& c : cases)
      EXPECT_EQ(read(jpeg(kJfif + exif(tiff(endian, {kMake, orientation(c.value), kDateTime})))), c.expected)
          << "value " << c.value << (endian == Endian::Little ? " II" : " MM");
}

TEST(ExifOrientation, FindsTheTagWhereverAFileMayPutIt) {
  const struct {
    const char* name;
    std::string bytes;
    Orientation expected;
  } cases[] = {
      {"behind APP0, APP2 and an XMP APP1",
       jpeg(kJfif + segment(0xE2, "ICC_PROFILE\0\x01\x01"s) + segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>"s) +
            exif(kTiff6)),
       Orientation::Rotate90},
      {"fill bytes before the marker", kSoi + "\xFF\xFF"s + exif(kTiff6) + kScan, Orientation::Rotate90},
      {"standalone markers before it", kSoi + "\xFF\xD0\xFF\x01"s + exif(kTiff6) + kScan, Orientation::Rotate90},
      {"last of several entries", jpeg(exif(tiff(Endian::Big, {kMake, kDateTime, orientation(8)}))),
       Orientation::Rotate270},
      {"IFD0 not straight after the header", jpeg(exif(tiff(Endian::Little, {orientation(3)}, 10))),
       Orientation::Rotate180},
      {"nothing after the Exif block", kSoi + exif(kTiff6), Orientation::Rotate90},
      {"the first of two Exif blocks", jpeg(exif(tiff(Endian::Big, {orientation(3)})) + exif(kTiff6)),
       Orientation::Rotate180},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.bytes), c.expected) << c.name;
}

TEST(ExifOrientation, FallsBackToNormal) {
  const std::string tiff_mm = tiff(Endian::Big, {orientation(6)});
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"no bytes", ""},
      {"a start of image alone", kSoi},
      {"a PNG", "\x89PNG\r\n\x1A\n"s + exif(kTiff6)},
      {"a bare TIFF block", kTiff6},
      {"no Exif block", jpeg(kJfif)},
      {"no orientation tag", jpeg(exif(tiff(Endian::Little, {kMake, kDateTime})))},
      {"the tag as a LONG", jpeg(exif(tiff(Endian::Little, {{0x0112, 4, 1, 6}})))},
      {"the tag with two values", jpeg(exif(tiff(Endian::Big, {{0x0112, 3, 2, 6}})))},
      {"value 0", jpeg(exif(tiff(Endian::Little, {orientation(0)})))},
      {"value 9", jpeg(exif(tiff(Endian::Big, {orientation(9)})))},
      // Either byte of 0x0106 alone would read as 6.
      {"value 0x0106, II", jpeg(exif(tiff(Endian::Little, {orientation(0x0106)})))},
      {"value 0x0106, MM", jpeg(exif(tiff(Endian::Big, {orientation(0x0106)})))},
      {"a tag-less Exif block before one with it", jpeg(exif(tiff(Endian::Big, {kMake})) + exif(kTiff6))},
      {"one NUL after Exif", jpeg(segment(0xE1, "Exif\0"s + kTiff6))},
      {"Exif in APP2", jpeg(segment(0xE2, "Exif\0\0"s + kTiff6))},
      {"byte order IM", jpeg(exif(patched(kTiff6, 0, "IM")))},
      {"TIFF magic 43", jpeg(exif(patched(tiff_mm, 2, number(43, 2, Endian::Big))))},
      {"IFD0 far outside", jpeg(exif(patched(kTiff6, 4, number(0xFFFFFFF0u, 4, Endian::Little))))},
      {"IFD0 at the block's end", jpeg(exif(patched(kTiff6, 4, number(kTiff6.size(), 4, Endian::Little))))},
      {"IFD0 one byte short of its count",
       jpeg(exif(patched(kTiff6, 4, number(kTiff6.size() - 1, 4, Endian::Little))))},
      // One entry and the next-IFD field are 16 bytes: a second entry cannot fit.
      {"two entries counted, one there", jpeg(exif(patched(kTiff6, 8, number(2, 2, Endian::Little))))},
      {"65535 entries counted", jpeg(exif(patched(tiff_mm, 8, "\xFF\xFF")))},
      {"segment length 0 before it", jpeg("\xFF\xE0\x00\x00"s + exif(kTiff6))},
      {"segment length 1 before it", jpeg("\xFF\xE0\x00\x01"s + exif(kTiff6))},
      {"an earlier segment past the end", kSoi + "\xFF\xE0\xFF\xFF"s + exif(kTiff6)},
      {"the Exif block one byte past the end",
       kSoi + patched(exif(kTiff6), 2, number(kTiff6.size() + 9, 2, Endian::Big))},
      {"a byte where a marker belongs", jpeg("\x00"s + exif(kTiff6))},
      {"the Exif block after the start of scan", kSoi + kStartOfScan + exif(kTiff6)},
      {"the Exif block after the end of image", kSoi + "\xFF\xD9"s + exif(kTiff6)},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.bytes), Orientation::Normal) << c.name;
}

// A file cut short anywhere: nothing is read past the cut, and the tag counts
// only once the whole Exif block is there.
TEST(ExifOrientation, EveryPrefixIsNormalUntilTheExifBlockIsWhole) {
  for (const Endian endian : {Endian::Little, Endian::Big}) {
    const std::string head = kSoi + kJfif + exif(tiff(endian, {kMake, orientation(6), kDateTime}));
    const std::string file = head + kScan;
    for (std::size_t length = 0; length <= file.size(); ++length)
      EXPECT_EQ(read(file.substr(0, length)), length >= head.size() ? Orientation::Rotate90 : Orientation::Normal)
          << length << " of " << file.size() << (endian == Endian::Little ? " II" : " MM");
  }
}

}  // namespace
}  // namespace vantrel
