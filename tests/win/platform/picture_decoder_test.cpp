#include "platform/picture_decoder_win32.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "imagesource/sandbox.h"
#include "platform/gdiplus_session_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

using Rgb = std::array<int, 3>;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};

// The test picture: top quarter green, below it left half red and right half
// blue. A decoder that mirrors, flips or swaps channels fails on it.
Rgb marked_colour(int x, int y, int width, int height) {
  if (y < height / 4) return kGreen;
  return x < width / 2 ? kRed : kBlue;
}

std::string read_bytes(const std::string& path) {
  std::ifstream file(std::filesystem::path(to_wide(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

CLSID encoder_for(const wchar_t* mime_type) {
  UINT count = 0;
  UINT size = 0;
  flat::GdipGetImageEncodersSize(&count, &size);
  std::vector<std::uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<gp::ImageCodecInfo*>(buffer.data());
  flat::GdipGetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i)
    if (std::wcscmp(codecs[i].MimeType, mime_type) == 0) return codecs[i].Clsid;
  ADD_FAILURE() << "GDI+ has no encoder for " << to_utf8(mime_type);
  return CLSID{};
}

// Writes the marked picture with a GDI+ encoder, from a palette bitmap:
// Wine's GIF encoder writes an empty image when handed true colour.
bool write_raster(const std::string& path, const wchar_t* mime_type, int width, int height) {
  const Rgb palette[] = {kRed, kBlue, kGreen};
  const int stride = (width + 3) / 4 * 4;
  std::vector<BYTE> indices(static_cast<std::size_t>(stride) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      indices[static_cast<std::size_t>(y) * stride + x] =
          static_cast<BYTE>(std::find(std::begin(palette), std::end(palette), marked_colour(x, y, width, height)) - palette);
  gp::GpBitmap* bitmap = nullptr;
  if (flat::GdipCreateBitmapFromScan0(width, height, stride, PixelFormat8bppIndexed, indices.data(), &bitmap) != gp::Ok)
    return false;
  struct {
    UINT flags = 0, count = 3;
    gp::ARGB entries[3] = {0xFFFF0000, 0xFF0000FF, 0xFF00FF00};  // the palette above
  } colours;
  flat::GdipSetImagePalette(bitmap, reinterpret_cast<gp::ColorPalette*>(&colours));
  const CLSID encoder = encoder_for(mime_type);
  const gp::Status saved = flat::GdipSaveImageToFile(bitmap, to_wide(path).c_str(), &encoder, nullptr);
  flat::GdipDisposeImage(bitmap);
  return saved == gp::Ok;
}

// Writes the marked picture as a placeable metafile whose physical size is
// width x height pixels at 96 an inch: drawn in twips (1440 an inch, 15 a
// pixel) by gdi32's recorder, then given the 22-byte placeable header that
// states its bounds and units.
bool write_placeable_metafile(const std::string& path, int width, int height) {
  const int units_wide = width * 15;
  const int units_high = height * 15;
  const HDC recorder = CreateMetaFileW(nullptr);
  SetWindowOrgEx(recorder, 0, 0, nullptr);
  SetWindowExtEx(recorder, units_wide, units_high, nullptr);
  const auto fill = [&](int left, int top, int right, int bottom, Rgb colour) {
    const HBRUSH brush = CreateSolidBrush(RGB(colour[0], colour[1], colour[2]));
    const RECT area{left, top, right, bottom};
    FillRect(recorder, &area, brush);
    DeleteObject(brush);
  };
  fill(0, 0, units_wide / 2, units_high, kRed);
  fill(units_wide / 2, 0, units_wide, units_high, kBlue);
  fill(0, 0, units_wide, units_high / 4, kGreen);
  const HMETAFILE metafile = CloseMetaFile(recorder);
  if (!metafile) return false;
  std::string records(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
  GetMetaFileBitsEx(metafile, static_cast<UINT>(records.size()), records.data());
  DeleteMetaFile(metafile);

  // Key, handle, bounds (left, top, right, bottom), units an inch, reserved.
  const std::uint16_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<std::uint16_t>(units_wide),
                                   static_cast<std::uint16_t>(units_high), 1440, 0, 0};
  std::string header;
  std::uint16_t checksum = 0;
  for (const std::uint16_t word : words) {
    header += {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
    checksum ^= word;
  }
  header += {static_cast<char>(checksum & 0xFF), static_cast<char>(checksum >> 8)};
  std::ofstream(std::filesystem::path(to_wide(path)), std::ios::binary) << header << records;
  return true;
}

struct Kind {
  const char* name;
  const char* file_name;
  std::function<bool(const std::string& path, int width, int height)> write;
  int tolerance;  // per channel: JPEG is lossy
};

const Kind kKinds[] = {
    {"bitmap", "picture.bmp", [](auto& p, int w, int h) { return write_raster(p, L"image/bmp", w, h); }, 0},
    {"GIF", "picture.gif", [](auto& p, int w, int h) { return write_raster(p, L"image/gif", w, h); }, 0},
    {"JPEG", "picture.jpg", [](auto& p, int w, int h) { return write_raster(p, L"image/jpeg", w, h); }, 24},
    {"metafile", "picture.wmf", write_placeable_metafile, 0},
};

// Checks the marks in the middle of each region, away from the edges a lossy
// codec blurs.
void expect_marked(const Picture& picture, int tolerance, const std::string& what) {
  ASSERT_EQ(picture.rgba.size(), static_cast<std::size_t>(picture.width) * picture.height * 4) << what;
  const int w = picture.width;
  const int h = picture.height;
  const struct {
    int x, y;
    Rgb colour;
  } probes[] = {{w / 4, h / 8, kGreen}, {w * 3 / 4, h / 8, kGreen}, {w / 4, h * 5 / 8, kRed}, {w * 3 / 4, h * 5 / 8, kBlue}};
  for (const auto& probe : probes) {
    const std::uint8_t* got = &picture.rgba[(static_cast<std::size_t>(probe.y) * w + probe.x) * 4];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], probe.colour[c], tolerance) << what << " at " << probe.x << ", " << probe.y;
    EXPECT_EQ(got[3], 255) << what << ": opaque";
  }
}

std::string big_endian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

std::string png_chunk(const std::string& type, const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const unsigned char byte : type + data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return big_endian(static_cast<std::uint32_t>(data.size())) + type + data + big_endian(~crc);
}

// A 16-bit RGBA PNG whose pixels are all zero, deflated by hand into a few
// megabytes: one zero literal, then copies of the 258 bytes before it.
std::string zero_png(std::uint32_t width, std::uint32_t height) {
  std::string deflated;
  std::uint32_t pending = 0;
  int held = 0;
  // Huffman codes go most significant bit first into bytes filled from their lowest bit.
  const auto put = [&](std::uint32_t code, int length) {
    for (int bit = length - 1; bit >= 0; --bit) {
      pending |= (code >> bit & 1) << held;
      if (++held == 8) deflated += static_cast<char>(pending), pending = 0, held = 0;
    }
  };
  const std::uint64_t total = std::uint64_t{height} * (1 + std::uint64_t{width} * 8);  // a filter byte a row
  put(0b110, 3);  // the last block, of fixed codes
  put(0x30, 8);   // literal 0
  std::uint64_t left = total - 1;
  for (; left >= 258; left -= 258) put(0xC5 << 5, 13);  // length 258, distance 1
  for (; left > 0; --left) put(0x30, 8);
  put(0, 7);  // end of block
  if (held > 0) deflated += static_cast<char>(pending);
  const std::string adler32 = big_endian(static_cast<std::uint32_t>(total % 65521) << 16 | 1);
  return "\x89PNG\r\n\x1A\n" +
         png_chunk("IHDR", big_endian(width) + big_endian(height) + std::string("\x10\x06\0\0\0", 5)) +
         png_chunk("IDAT", "\x78\x01" + deflated + adler32) + png_chunk("IEND", "");
}

// An icon file whose one image is `png`, as icons of 256 pixels and more hold
// theirs.
std::string icon_holding(const std::string& png) {
  const auto little = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  return little(0, 2) + little(1, 2) + little(1, 2) +                      // an icon of one image
         std::string(4, '\0') + little(1, 2) + little(32, 2) +              // 256 x 256, 32 bits
         little(static_cast<std::uint32_t>(png.size()), 4) + little(22, 4) + png;
}

// A small JPEG with its frame header changed to claim width x height: a codec
// that trusts it decodes that many pixels out of almost no data.
std::string jpeg_claiming(std::string bytes, int width, int height) {
  for (std::size_t at = 2; at + 9 < bytes.size();
       at += 2 + (static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]))) {
    if (static_cast<unsigned char>(bytes[at + 1]) != 0xC0) continue;
    const std::string sides = big_endian(static_cast<std::uint32_t>(height) << 16 | static_cast<std::uint32_t>(width));
    return bytes.replace(at + 5, 4, sides);
  }
  ADD_FAILURE() << "the encoder wrote no baseline frame header";
  return bytes;
}

PROCESS_MEMORY_COUNTERS memory_counters() {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)));
  return memory;
}

// How far the process's peak working set rises while `work` runs. The peak
// counts from the process's start, and a test run earlier may have left it
// above the present use, which would hide a rise: the gap is filled with
// memory in use first, held until `work` is done.
std::size_t peak_rise_during(const std::function<void()>& work) {
  const PROCESS_MEMORY_COUNTERS before = memory_counters();
  std::vector<char> gap(before.PeakWorkingSetSize - std::min(before.PeakWorkingSetSize, before.WorkingSetSize), 1);
  const std::size_t peak = memory_counters().PeakWorkingSetSize;
  work();
  const std::size_t rise = memory_counters().PeakWorkingSetSize - peak;
  EXPECT_TRUE(std::all_of(gap.begin(), gap.end(), [](char byte) { return byte == 1; }));  // keeps it in use
  return rise;
}

constexpr std::size_t kMegabyte = 1024 * 1024;

class PictureDecoderTest : public ::testing::Test {
 protected:
  std::unique_ptr<GdiplusSession> gdiplus_ = GdiplusSession::start();  // for the encoders
  Win32PictureDecoder decoder_;
  testing::Sandbox sandbox_;
};

TEST_F(PictureDecoderTest, DecodesEachKindScaledDownToTheLimitButNeverUp) {
  ASSERT_TRUE(gdiplus_ && decoder_.ready());
  struct Case {
    int width, height, max_side, expected_width, expected_height;
  };
  const Case cases[] = {
      {120, 80, 2048, 120, 80},    // its own size
      {400, 100, 100, 100, 25},    // wide
      {100, 400, 160, 40, 160},    // tall
      {256, 256, 256, 256, 256},   // exactly the limit
  };
  for (const Kind& kind : kKinds) {
    for (const Case& c : cases) {
      const std::string path = sandbox_.path(kind.file_name);
      ASSERT_TRUE(kind.write(path, c.width, c.height)) << kind.name;
      const std::string what = std::string(kind.name) + " " + std::to_string(c.width) + " x " +
                               std::to_string(c.height) + " to " + std::to_string(c.max_side);
      const std::optional<Picture> picture = decoder_.decode(path, c.max_side);
      ASSERT_TRUE(picture) << what;
      EXPECT_EQ(picture->width, c.expected_width) << what;
      EXPECT_EQ(picture->height, c.expected_height) << what;
      expect_marked(*picture, kind.tolerance, what);
      const std::optional<Picture> from_memory = decoder_.decode_bytes(read_bytes(path), c.max_side);
      ASSERT_TRUE(from_memory) << what << " in memory";
      EXPECT_EQ(from_memory->rgba, picture->rgba) << what << ": memory and file decode alike";
    }
  }
}

TEST_F(PictureDecoderTest, ReportsTheOwnSizeAndSamplesAtTheSizeChosenFromIt) {
  ASSERT_TRUE(gdiplus_ && decoder_.ready());
  for (const Kind& kind : kKinds) {
    const std::string path = sandbox_.path(kind.file_name);
    ASSERT_TRUE(kind.write(path, 320, 240)) << kind.name;
    PictureSize seen{};
    const TargetSize quarter = [&](PictureSize own) {
      seen = own;
      return PictureSize{own.width / 4, own.height / 4};
    };
    const std::optional<DecodedPicture> decoded = decoder_.decode_file(path, quarter, Resampling::Nearest);
    ASSERT_TRUE(decoded) << kind.name;
    EXPECT_EQ(seen, (PictureSize{320, 240})) << kind.name << ": the target is chosen from the own size";
    EXPECT_EQ(decoded->own_size, (PictureSize{320, 240})) << kind.name;
    ASSERT_EQ(decoded->pixels.width, 80) << kind.name;
    ASSERT_EQ(decoded->pixels.height, 60) << kind.name;
    expect_marked(decoded->pixels, kind.tolerance, kind.name);
    if (kind.tolerance != 0) continue;
    // Nearest sampling blends nothing: even along the regions' borders every
    // pixel is one of the three colours.
    int blended = 0;
    for (std::size_t i = 0; i < decoded->pixels.rgba.size(); i += 4) {
      const Rgb colour{decoded->pixels.rgba[i], decoded->pixels.rgba[i + 1], decoded->pixels.rgba[i + 2]};
      blended += colour == kRed || colour == kBlue || colour == kGreen ? 0 : 1;
    }
    EXPECT_EQ(blended, 0) << kind.name;
  }
}

TEST_F(PictureDecoderTest, GivesNothingForWhatIsNoPicture) {
  const struct {
    const char* name;
    std::string content;
  } files[] = {
      {"text.jpg", "this is no picture at all\r\n"},
      {"empty.bmp", ""},
      {"cut.bmp", std::string("BM\x36\x00\x00\x00\x00\x00", 8)},                // header cut short
      {"cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)},         // start marker only
      {"cut.gif", "GIF89a"},                                                    // signature only
      {"cut.wmf", std::string("\xD7\xCD\xC6\x9A", 4)},                          // placeable key only
  };
  for (const auto& file : files) {
    EXPECT_FALSE(decoder_.decode(sandbox_.file(file.name, file.content), 2048)) << file.name;
    EXPECT_FALSE(decoder_.decode_bytes(file.content, 2048)) << file.name << " in memory";
  }
  EXPECT_FALSE(decoder_.decode("", 2048)) << "empty path";
  EXPECT_FALSE(decoder_.decode(sandbox_.path("missing.jpg"), 2048)) << "missing file";
  EXPECT_FALSE(decoder_.decode(sandbox_.path(), 2048)) << "a folder";
}

TEST_F(PictureDecoderTest, RefusesAPictureTooLargeBeforeDecodingAnyOfIt) {
  // A bitmap header claiming 60,000 x 60,000 pixels (10 GB of them) with a
  // few bytes behind it: refused from the header, without the memory it
  // claims.
  std::string bitmap = "BM";
  const auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bitmap += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0, 4);  // file size: unknown
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(60000, 4);
  put(60000, 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(0, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  bitmap += std::string(64, '\x80');
  EXPECT_FALSE(decoder_.decode_bytes(bitmap, 2048));
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)));
  EXPECT_LT(memory.PeakWorkingSetSize, 1024u * 1024 * 1024) << "the claimed pixels were allocated";
}

TEST_F(PictureDecoderTest, RefusesFromTheHeaderWhatACodecWouldOpenOutOfBounds) {
  ASSERT_TRUE(gdiplus_ && decoder_.ready());
  ASSERT_TRUE(write_raster(sandbox_.path("small.jpg"), L"image/jpeg", 16, 16));
  const struct {
    const char* name;
    std::string bytes;
    bool may_show_reduced;  // where the codec decodes JPEGs reduced (Windows)
  } files[] = {
      {"a JPEG claiming 12,000 x 12,000", jpeg_claiming(read_bytes(sandbox_.path("small.jpg")), 12000, 12000), true},
      {"a 16-bit PNG of 9,000 x 9,000", zero_png(9000, 9000), false},
      {"a 16-bit PNG of 6,000 x 6,000: within the pixels, beyond the bytes", zero_png(6000, 6000), false},
      {"an icon holding a 16-bit PNG of 9,000 x 9,000", icon_holding(zero_png(9000, 9000)), false},
      {"an icon holding a small PNG: no kind the program lists", icon_holding(zero_png(16, 16)), false},
  };
  for (const auto& file : files) {
    const std::string path = sandbox_.file("hostile.jpg", file.bytes);
    std::optional<Picture> picture;
    const std::size_t rise = peak_rise_during([&] { picture = decoder_.decode(path, 2048); });
    EXPECT_LT(rise, 100 * kMegabyte) << file.name;
    EXPECT_TRUE(!picture || file.may_show_reduced) << file.name << " was decoded";
  }
}

TEST_F(PictureDecoderTest, StillDecodesLargePicturesWithinTheBound) {
  ASSERT_TRUE(gdiplus_ && decoder_.ready());
  ASSERT_TRUE(write_raster(sandbox_.path("photo.jpg"), L"image/jpeg", 6000, 4000));
  const std::optional<Picture> photo = decoder_.decode(sandbox_.path("photo.jpg"), 2048);
  ASSERT_TRUE(photo) << "a 24-megapixel photo";
  EXPECT_EQ(photo->height, 1365);
  expect_marked(*photo, 24, "a 24-megapixel photo");
  const std::optional<Picture> deep = decoder_.decode(sandbox_.file("deep.png", zero_png(2000, 2000)), 2048);
  ASSERT_TRUE(deep) << "a 16-bit PNG of 4 megapixels";
  EXPECT_EQ(deep->width, 2000);
}

TEST_F(PictureDecoderTest, ReadsAJapaneseNameWhileHeldAndLeavesTheFileFree) {
  const std::string path = sandbox_.path("写真　テスト①.jpg");
  ASSERT_TRUE(write_raster(path, L"image/jpeg", 64, 48));
  {
    // Another program has it open for writing meanwhile.
    const FileHandle writer(CreateFileW(to_wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    const std::optional<Picture> picture = decoder_.decode(path, 2048);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 64);
    EXPECT_EQ(picture->height, 48);
  }
  // No handle is left behind: an open that shares nothing succeeds.
  const FileHandle exclusive(
      CreateFileW(to_wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(exclusive) << "the decoder still holds the file";
}

}  // namespace
}  // namespace vantrel
