#include "platform/picture_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

std::string number(std::uint64_t value, int width, bool big_endian) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * (big_endian ? width - 1 - i : i)));
  return bytes;
}
std::string be(std::uint64_t value, int width) { return number(value, width, true); }
std::string le(std::uint64_t value, int width) { return number(value, width, false); }
std::string byte(int value) { return std::string(1, static_cast<char>(value)); }

std::string segment(int marker, const std::string& payload) {
  return "\xFF" + byte(marker) + be(payload.size() + 2, 2) + payload;
}
std::string sof(int marker, int height, int width, int components = 3, int precision = 8) {
  return segment(marker, byte(precision) + be(height, 2) + be(width, 2) + byte(components) +
                             std::string(3 * static_cast<std::size_t>(components), '\x11'));
}
const std::string kSoi = "\xFF\xD8";
const std::string kApp0 = segment(0xE0, "JFIF\0\x01\x02\0\0\x01\0\x01\0\0"s);
const std::string kScan = segment(0xDA, "\x01\x01\x00\x00\x3F\x00"s) + "\x12\xFF\x00\x34\xFF\xD9"s;

std::string chunk(const std::string& type, const std::string& data) {
  return be(data.size(), 4) + type + data + "CRC!";
}
std::string png(std::uint64_t width, std::uint64_t height, int depth, int colour, const std::string& before_data = "") {
  return "\x89PNG\r\n\x1A\n" + chunk("IHDR", be(width, 4) + be(height, 4) + byte(depth) + byte(colour) + "\0\0\0"s) +
         before_data + chunk("IDAT", "\x78\x01") + chunk("IEND", "");
}
const std::string kTrns = chunk("tRNS", "\0\x01"s);

// A colour table follows when flags has 0x80; the frame's data is one two-byte sub-block.
std::string table(int flags) { return std::string((flags & 0x80) != 0 ? 3u << ((flags & 7) + 1) : 0u, '\0'); }
std::string frame(int width, int height, int flags = 0) {
  return "," + le(0, 4) + le(width, 2) + le(height, 2) + byte(flags) + table(flags) + "\x02\x02\x4C\x01\x00"s;
}
std::string gif(int width, int height, const std::string& blocks, int flags = 0) {
  return "GIF89a" + le(width, 2) + le(height, 2) + byte(flags) + "\0\0"s + table(flags) + blocks;
}
const std::string kFrames = "!\xF9\x04\x00\x00\x00\x00\x00"s + frame(10, 10) + "!\xFE\x01x\x00"s + frame(20, 20, 0x81);

std::string bmp(std::uint32_t header, std::int64_t width, std::int64_t height, int depth, int compression = 0) {
  const std::string fields = header == 12 ? le(width, 2) + le(height, 2) + le(1, 2) + le(depth, 2)
                                          : le(width, 4) + le(height, 4) + le(1, 2) + le(depth, 2) + le(compression, 4);
  return "BM" + std::string(12, '\0') + le(header, 4) + (fields + std::string(120, '\0')).substr(0, header - 4);
}

using Declared = std::optional<DeclaredPicture>;
Declared whole(std::uint32_t width, std::uint32_t height, int bits) {
  return DeclaredPicture{{static_cast<int>(width), static_cast<int>(height)}, bits, std::uint64_t{width} * height};
}
Declared frames(int width, int height, std::uint64_t pixels) { return DeclaredPicture{{width, height}, 8, pixels}; }

// Read from a heap block of exactly the bytes' size, so that ASan sees any
// read past their end.
PictureHeader read(const std::string& bytes) {
  const auto copy = std::make_unique<char[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  return read_picture_header({copy.get(), bytes.size()});
}

struct Case {
  const char* name;
  std::string bytes;
  Declared expected;  // nothing: the format's signature, but no size
};
void expect_declared(HeaderFormat format, const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(read(c.bytes), (PictureHeader{format, c.expected})) << c.name;
}

TEST(PictureHeader, WalksAJpegsMarkersToItsFirstFrameHeader) {
  const std::string dht = segment(0xC4, "\x00\x00\x10\x00\x10\x03"s);  // 16 x 16, read as a frame header
  expect_declared(
      HeaderFormat::Jpeg,
      {
          {"baseline behind APP0", kSoi + kApp0 + sof(0xC0, 4000, 6000) + kScan, whole(6000, 4000, 24)},
          {"progressive, grey", kSoi + sof(0xC2, 480, 640, 1), whole(640, 480, 8)},
          {"SOF15, 12-bit CMYK", kSoi + sof(0xCF, 1, 65535, 4, 12), whole(65535, 1, 64)},
          {"DHT, JPG and DAC", kSoi + dht + segment(0xC8, "") + segment(0xCC, "\x00\x10"s) + sof(0xC0, 2, 3),
           whole(3, 2, 24)},
          {"fill bytes, RST0 and TEM", kSoi + "\xFF\xFF\xFF\xD0\xFF\x01"s + sof(0xC1, 2, 3), whole(3, 2, 24)},
          {"stray bytes and FF 00 between segments", kSoi + kApp0 + "\x12\xFF\x00\x34"s + sof(0xC0, 2, 3),
           whole(3, 2, 24)},
          {"start of image alone", kSoi, {}},
          {"height 0: left to DNL", kSoi + sof(0xC0, 0, 640) + kScan, {}},
          {"a scan first", kSoi + kScan + sof(0xC0, 2, 3), {}},
          {"a second start", kSoi + kSoi + sof(0xC0, 2, 3), {}},
          {"segment length 1", kSoi + "\xFF\xE0\x00\x01"s + sof(0xC0, 2, 3), {}},
          {"a segment past the end", kSoi + "\xFF\xE0\xFF\xFF"s + sof(0xC0, 2, 3), {}},
          {"frame header shorter than its fields", kSoi + "\xFF\xC0\x00\x07\x08\x00\x02\x00\x03\x03"s, {}},
      });
}

TEST(PictureHeader, TakesAPngsHeaderAndTheTransparencyBeforeItsData) {
  expect_declared(
      HeaderFormat::Png,
      {
          {"RGB", png(640, 480, 8, 2), whole(640, 480, 24)},
          {"RGBA, 16-bit", png(9000, 9000, 16, 6), whole(9000, 9000, 64)},
          {"grey with alpha, as RGBA", png(7, 1, 8, 4), whole(7, 1, 32)},
          {"RGB with tRNS behind gAMA, as RGBA", png(7, 1, 8, 2, chunk("gAMA", "abcd") + kTrns), whole(7, 1, 32)},
          {"16-bit grey with tRNS, as RGBA", png(7, 1, 16, 0, kTrns), whole(7, 1, 64)},
          {"palette with tRNS", png(7, 1, 4, 3, kTrns), whole(7, 1, 4)},
          {"largest sides", png(0x7FFFFFFF, 0x7FFFFFFF, 1, 0), whole(0x7FFFFFFF, 0x7FFFFFFF, 1)},
          {"another chunk first", "\x89PNG\r\n\x1A\n" + chunk("gAMA", "abcd") + png(7, 1, 8, 2).substr(8), {}},
          {"IHDR of 12 bytes", png(7, 1, 8, 2).replace(11, 1, "\x0C"), {}},
          {"width 0", png(0, 1, 8, 2), {}},
          {"height 2^31", png(1, 0x80000000u, 8, 2), {}},
          {"RGB at 4 bits", png(7, 1, 4, 2), {}},
          {"IEND before any IDAT", png(7, 1, 8, 2).substr(0, 33) + chunk("IEND", ""), {}},
          {"a chunk past the end", png(7, 1, 8, 2, be(1000, 4) + "tEXt"), {}},
      });
  EXPECT_EQ(read(png(7, 1, 8, 2).replace(7, 1, "\x0B")), PictureHeader{}) << "a wrong signature";
}

TEST(PictureHeader, AddsUpAGifsFramesAsFarAsItsBlocksGo) {
  expect_declared(
      HeaderFormat::Gif,
      {
          {"one frame", gif(320, 200, frame(320, 200) + ";"), frames(320, 200, 64000)},
          {"behind extensions and colour tables", gif(30, 30, kFrames + ";", 0x87), frames(30, 30, 500)},
          {"a frame beyond the screen", gif(100, 100, frame(8100, 8100) + ";"), frames(100, 100, 65610000)},
          {"a frame's data cut", gif(30, 30, kFrames.substr(0, kFrames.size() - 3)), frames(30, 30, 500)},
          {"a byte that starts no block", gif(30, 30, frame(10, 10) + '\0' + frame(20, 20)), frames(30, 30, 100)},
          {"a descriptor cut", gif(30, 30, frame(10, 10) + frame(20, 20).substr(0, 9)), frames(30, 30, 100)},
          {"screen cut short", gif(30, 30, "").substr(0, 12), {}},
          {"screen width 0", gif(0, 30, frame(10, 10)), {}},
      });
}

TEST(PictureHeader, ReadsABitmapsCoreOrInfoHeader) {
  expect_declared(HeaderFormat::Bmp,
                  {
                      {"core header", bmp(12, 300, 200, 24), whole(300, 200, 24)},
                      {"info header", bmp(40, 640, 480, 24), whole(640, 480, 24)},
                      {"top down", bmp(40, 640, -480, 1), whole(640, 480, 1)},
                      {"V5 header, bit fields", bmp(124, 60000, 60000, 32, 3), whole(60000, 60000, 32)},
                      {"OS/2 16 bytes: no compression field", bmp(16, 9, 9, 8, 4), whole(9, 9, 8)},
                      {"RLE8, as 32 bits", bmp(40, 9, 9, 8, 1), whole(9, 9, 32)},
                      {"header of 13 bytes", bmp(13, 9, 9, 8), {}},
                      {"negative width", bmp(40, -9, 9, 8), {}},
                      {"height -2^31", bmp(40, 9, std::numeric_limits<std::int32_t>::min(), 8), {}},
                      {"depth 0", bmp(40, 9, 9, 0), {}},
                      {"embedded PNG", bmp(40, 9, 9, 24, 5), {}},
                  });
}

TEST(PictureHeader, SaysNothingOfOtherBytes) {
  for (const std::string& bytes : {""s, "text"s, "II*\0"s, "\xD7\xCD\xC6\x9A"s, "\xFF"s, "\x89PNG"s, "GI"s, "B"s})
    EXPECT_EQ(read(bytes), PictureHeader{}) << bytes;
}

TEST(PictureHeader, ACutFileDeclaresNothingOrWhatTheWholeDoes) {
  const std::string files[] = {
      kSoi + "\xFF\xFF\xFF\xD0"s + kApp0 + "\x12\xFF\x00"s + sof(0xC2, 480, 640) + kScan,
      png(640, 480, 16, 2, chunk("gAMA", "abcd") + kTrns),
      gif(30, 30, kFrames + ";", 0x80),
      bmp(12, 300, 200, 24),
      bmp(124, 640, -480, 8, 1),
  };
  for (const std::string& file : files) {
    const PictureHeader whole_file = read(file);
    ASSERT_TRUE(whole_file.declared) << file;
    for (std::size_t length = 0; length < file.size(); ++length) {
      PictureHeader cut = read(file.substr(0, length));
      if (!cut.declared) continue;
      // A GIF's frames are counted as far as the bytes go.
      EXPECT_LE(cut.declared->stored_pixels, whole_file.declared->stored_pixels) << length;
      if (cut.format == HeaderFormat::Gif) cut.declared->stored_pixels = whole_file.declared->stored_pixels;
      EXPECT_EQ(cut, whole_file) << "cut at " << length << " of " << file;
    }
  }
}

TEST(PictureHeader, CostsWhatACodecHoldsDecodingTheWholeFile) {
  const struct {
    const char* name;
    HeaderFormat format;
    Declared declared;
    int jpeg_reduction;
    std::uint64_t pixels, bytes;
  } cases[] = {
      {"JPEG whole", HeaderFormat::Jpeg, whole(12000, 12000, 24), 1, 144000000, 432000000},
      {"JPEG at 1/8, sides rounded up", HeaderFormat::Jpeg, whole(12001, 9, 24), 8, 3002, 9006},
      {"PNG: never reduced", HeaderFormat::Png, whole(9000, 9000, 64), 8, 81000000, 648000000},
      {"GIF: every frame held", HeaderFormat::Gif, frames(100, 100, 65610000), 1, 10000, 65610000},
      {"1 bit: bytes rounded up", HeaderFormat::Bmp, whole(9, 1, 1), 1, 9, 2},
      {"bytes saturate", HeaderFormat::Bmp, whole(0x7FFFFFFF, 0x7FFFFFFF, 32), 1, 0x3FFFFFFF00000001,
       std::numeric_limits<std::uint64_t>::max()},
  };
  for (const auto& c : cases) {
    const DecodeCost cost = decode_cost(c.format, *c.declared, c.jpeg_reduction);
    EXPECT_EQ(cost.pixels, c.pixels) << c.name;
    EXPECT_EQ(cost.bytes, c.bytes) << c.name;
  }
}

}  // namespace
}  // namespace vantrel
