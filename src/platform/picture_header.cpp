#include "platform/picture_header.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "platform/byte_reading.h"

namespace vantrel {
namespace {

using Declared = std::optional<DeclaredPicture>;

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

using namespace byte_reading;

std::optional<std::uint32_t> big_endian(std::string_view bytes, std::size_t at, std::size_t width) {
  return read_number(bytes, at, width, ByteOrder::BigEndian);
}

std::optional<std::uint32_t> little_endian(std::string_view bytes, std::size_t at, std::size_t width) {
  return read_number(bytes, at, width, ByteOrder::LittleEndian);
}

Declared whole_picture(std::uint32_t width, std::uint32_t height, int bits_per_pixel) {
  return DeclaredPicture{
      {static_cast<int>(width), static_cast<int>(height)}, bits_per_pixel, std::uint64_t{width} * height};
}

// --- JPEG -------------------------------------------------------------------

// C4, C8 and CC sit among the frame headers' codes but are DHT, JPG and DAC.
constexpr unsigned kDefineHuffmanTables = 0xC4;
constexpr unsigned kJpgExtension = 0xC8;
constexpr unsigned kDefineArithmeticCoding = 0xCC;

bool is_frame_header(unsigned marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != kDefineHuffmanTables && marker != kJpgExtension &&
         marker != kDefineArithmeticCoding;
}

Declared jpeg_declared(std::string_view bytes) {
  // Every turn moves `at` forward by at least one byte.
  std::size_t at = 2;
  for (;;) {
    // The next marker is found as libjpeg finds it, so that both settle on
    // the same frame header: bytes up to an FF are passed over, then fill
    // bytes; FF 00 is no marker and is passed over the same way.
    while (at < bytes.size() && byte_at(bytes, at) != 0xFF) ++at;
    while (at < bytes.size() && byte_at(bytes, at) == 0xFF) ++at;
    if (at == bytes.size()) return std::nullopt;
    const unsigned marker = byte_at(bytes, at++);
    if (marker == 0x00 || is_standalone_marker(marker)) continue;
    // A scan, the end or a second start before any frame header: no decoder reads on.
    if (marker == kStartOfScan || marker == kEndOfImage || marker == kStartOfImage) return std::nullopt;
    // The length counts its own two bytes but not the marker's.
    const std::optional<std::uint32_t> length = big_endian(bytes, at, 2);
    if (!length || *length < 2 || *length > bytes.size() - at) return std::nullopt;
    if (is_frame_header(marker)) {
      // Sample precision, height, width, components.
      if (*length < 8) return std::nullopt;
      const unsigned precision = byte_at(bytes, at + 2);
      const std::uint32_t height = *big_endian(bytes, at + 3, 2);
      const std::uint32_t width = *big_endian(bytes, at + 5, 2);
      const unsigned components = byte_at(bytes, at + 7);
      // Height 0 leaves it to a DNL marker after the first scan: unknown
      // until a codec has decoded that far.
      if (height == 0 || width == 0 || components == 0) return std::nullopt;
      return whole_picture(width, height, static_cast<int>(components) * (precision > 8 ? 16 : 8));
    }
    at += *length;
  }
}

// --- PNG --------------------------------------------------------------------

constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1A\n", 8};
constexpr std::uint32_t kLargestPngNumber = 0x7FFFFFFF;
constexpr std::size_t kChunkFrame = 12;  // length, type and CRC around a chunk's data

enum PngColourType : unsigned { Grey = 0, Colour = 2, Palette = 3, GreyAlpha = 4, ColourAlpha = 6 };

// Channels a codec gives for a colour type and depth, or 0 for a pairing no
// PNG may have. Grey with alpha comes out as RGBA, and so does a colour or
// 16-bit grey picture with a transparent colour (a tRNS chunk).
int held_channels(unsigned colour_type, unsigned depth, bool transparent_colour) {
  const bool deep = depth == 8 || depth == 16;
  switch (colour_type) {
    case Grey:
      if (depth != 1 && depth != 2 && depth != 4 && !deep) return 0;
      return transparent_colour && depth == 16 ? 4 : 1;
    case Colour:
      return deep ? (transparent_colour ? 4 : 3) : 0;
    case Palette:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 ? 1 : 0;
    case GreyAlpha:
    case ColourAlpha:
      return deep ? 4 : 0;
    default:
      return 0;
  }
}

Declared png_declared(std::string_view bytes) {
  // IHDR comes first and holds 13 bytes: width, height, depth, colour type
  // and three method bytes.
  constexpr std::size_t kHeader = kPngSignature.size();
  constexpr std::size_t kHeaderData = kHeader + 8;
  if (big_endian(bytes, kHeader, 4) != 13u || bytes.substr(kHeader + 4, 4) != "IHDR") return std::nullopt;
  const std::optional<std::uint32_t> width = big_endian(bytes, kHeaderData, 4);
  const std::optional<std::uint32_t> height = big_endian(bytes, kHeaderData + 4, 4);
  const std::optional<std::uint32_t> depth = big_endian(bytes, kHeaderData + 8, 1);
  const std::optional<std::uint32_t> colour_type = big_endian(bytes, kHeaderData + 9, 1);
  if (!width || !height || !depth || !colour_type || *width == 0 || *height == 0 || *width > kLargestPngNumber ||
      *height > kLargestPngNumber || held_channels(*colour_type, *depth, false) == 0) {
    return std::nullopt;
  }
  // The chunks up to the first IDAT: a tRNS among them changes what the
  // codec gives. Each turn moves `at` forward by at least twelve bytes.
  bool transparent_colour = false;
  std::size_t at = kHeader + kChunkFrame + 13;
  for (;;) {
    const std::optional<std::uint32_t> length = big_endian(bytes, at, 4);
    const std::string_view type = bytes.substr(std::min(at + 4, bytes.size()), 4);
    if (!length || type.size() < 4 || *length > kLargestPngNumber) return std::nullopt;
    if (type == "IDAT") break;
    if (type == "tRNS") transparent_colour = true;
    if (*length > bytes.size() - (at + 8)) return std::nullopt;
    at += kChunkFrame + *length;
  }
  return whole_picture(*width, *height,
                       static_cast<int>(*depth) * held_channels(*colour_type, *depth, transparent_colour));
}

// --- GIF --------------------------------------------------------------------

constexpr std::size_t kGifScreenEnd = 13;  // signature, version, logical screen descriptor
constexpr unsigned kGifImage = 0x2C;
constexpr unsigned kGifExtension = 0x21;
constexpr std::size_t kGifImageDescriptor = 9;  // after its introducer

// Bytes of the colour table a screen or image descriptor's flags announce.
std::size_t colour_table_bytes(unsigned flags) {
  return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 0x07) + 1) : 0;
}

// Moves `at` past a chain of data sub-blocks and the empty one that ends
// it; false when the bytes end first.
bool skip_sub_blocks(std::string_view bytes, std::size_t& at) {
  while (at < bytes.size()) {
    const std::size_t length = byte_at(bytes, at++);
    if (length == 0) return true;
    if (length > bytes.size() - at) return false;
    at += length;
  }
  return false;
}

Declared gif_declared(std::string_view bytes) {
  if (bytes.size() < kGifScreenEnd) return std::nullopt;
  const std::uint32_t width = *little_endian(bytes, 6, 2);
  const std::uint32_t height = *little_endian(bytes, 8, 2);
  if (width == 0 || height == 0) return std::nullopt;
  // Every frame, not the first alone: a codec that reads the whole file at
  // open keeps them all. The walk takes a step a sub-block, each at least two
  // bytes long, and the file is in memory already: cheap beside reading it.
  std::uint64_t frame_pixels = 0;
  std::size_t at = kGifScreenEnd + colour_table_bytes(byte_at(bytes, 10));
  while (at < bytes.size()) {
    const unsigned block = byte_at(bytes, at++);
    if (block == kGifImage) {
      if (bytes.size() - at < kGifImageDescriptor) break;
      const std::uint64_t area = std::uint64_t{*little_endian(bytes, at + 4, 2)} * *little_endian(bytes, at + 6, 2);
      frame_pixels = std::min(kMost - area, frame_pixels) + area;
      // The descriptor, its colour table and the LZW code size, then the data.
      at += kGifImageDescriptor + colour_table_bytes(byte_at(bytes, at + 8)) + 1;
      if (!skip_sub_blocks(bytes, at)) break;
    } else if (block == kGifExtension) {
      ++at;  // its label
      if (!skip_sub_blocks(bytes, at)) break;
    } else {
      break;  // the trailer, or a byte that starts no block: a codec stops there too
    }
  }
  return DeclaredPicture{{static_cast<int>(width), static_cast<int>(height)}, 8, frame_pixels};
}

// --- BMP --------------------------------------------------------------------

constexpr std::size_t kBmpInfo = 14;  // after the file header
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kShortestInfoHeader = 16;  // width, height, planes, depth: OS/2 2.x's shortest
constexpr std::uint32_t kInfoHeaderWithCompression = 20;

enum BmpCompression : std::uint32_t { Rgb = 0, RunLength8 = 1, RunLength4 = 2, BitFields = 3, AlphaBitFields = 6 };

Declared bmp_declared(std::string_view bytes) {
  const std::optional<std::uint32_t> header_bytes = little_endian(bytes, kBmpInfo, 4);
  if (!header_bytes) return std::nullopt;
  if (*header_bytes == kCoreHeaderBytes) {
    // 16-bit width and height, rows always bottom up.
    const std::optional<std::uint32_t> width = little_endian(bytes, kBmpInfo + 4, 2);
    const std::optional<std::uint32_t> height = little_endian(bytes, kBmpInfo + 6, 2);
    const std::optional<std::uint32_t> depth = little_endian(bytes, kBmpInfo + 10, 2);
    // The depth lies after the sides: when it is there, so are they.
    if (!depth || *width == 0 || *height == 0 || *depth == 0 || *depth > 32) return std::nullopt;
    return whole_picture(*width, *height, static_cast<int>(*depth));
  }
  if (*header_bytes < kShortestInfoHeader) return std::nullopt;
  // Signed 32-bit width and height; a negative height means rows top down.
  const std::optional<std::uint32_t> width = little_endian(bytes, kBmpInfo + 4, 4);
  const std::optional<std::uint32_t> height_bits = little_endian(bytes, kBmpInfo + 8, 4);
  const std::optional<std::uint32_t> depth = little_endian(bytes, kBmpInfo + 14, 2);
  std::optional<std::uint32_t> compression = Rgb;
  if (*header_bytes >= kInfoHeaderWithCompression) compression = little_endian(bytes, kBmpInfo + 16, 4);
  if (!depth || !compression) return std::nullopt;
  const auto height = static_cast<std::int32_t>(*height_bits);
  if (*width == 0 || *width > 0x7FFFFFFFu || height == 0 || height == std::numeric_limits<std::int32_t>::min() ||
      *depth == 0 || *depth > 32) {
    return std::nullopt;
  }
  int bits = static_cast<int>(*depth);
  switch (*compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields:
      break;
    case RunLength8:
    case RunLength4:
      bits = 32;  // runs may skip pixels, so codecs decode into 32-bit pixels with alpha
      break;
    default:
      return std::nullopt;  // an embedded JPEG or PNG, or a kind no codec here reads
  }
  return whole_picture(*width, static_cast<std::uint32_t>(height < 0 ? -height : height), bits);
}

}  // namespace

PictureHeader read_picture_header(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xD8") return {HeaderFormat::Jpeg, jpeg_declared(bytes)};
  if (bytes.substr(0, kPngSignature.size()) == kPngSignature) return {HeaderFormat::Png, png_declared(bytes)};
  if (bytes.substr(0, 3) == "GIF") return {HeaderFormat::Gif, gif_declared(bytes)};
  if (bytes.substr(0, 2) == "BM") return {HeaderFormat::Bmp, bmp_declared(bytes)};
  return {};
}

DecodeCost decode_cost(HeaderFormat format, const DeclaredPicture& declared, int jpeg_reduction) {
  assert(declared.size.width >= 1 && declared.size.height >= 1 && "a declared size has both sides");
  assert(jpeg_reduction >= 1 && "a reduction divides the sides by at least 1");
  const std::uint64_t reduction =
      format == HeaderFormat::Jpeg ? static_cast<std::uint64_t>(std::max(jpeg_reduction, 1)) : 1;
  const auto reduced = [reduction](int side) { return (static_cast<std::uint64_t>(side) + reduction - 1) / reduction; };
  // Both sides are below 2^31, so the product cannot wrap.
  const std::uint64_t pixels = reduced(declared.size.width) * reduced(declared.size.height);
  const std::uint64_t held = format == HeaderFormat::Jpeg ? pixels : declared.stored_pixels;
  const auto bits = static_cast<std::uint64_t>(std::max(declared.bits_per_pixel, 1));
  const std::uint64_t bytes = held > (kMost - 7) / bits ? kMost : (held * bits + 7) / 8;
  return {pixels, bytes};
}

}  // namespace vantrel
