#pragma once
// Reading numbers and JPEG markers out of a file's bytes without ever
// stepping outside them: what the picture-header and EXIF readers share.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::byte_reading {

enum class ByteOrder { LittleEndian, BigEndian };

inline unsigned byte_at(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

// The unsigned number of `width` bytes (1 to 4) at `at`, or nothing when any
// of them lies outside `bytes`. Written so that no sum can wrap.
inline std::optional<std::uint32_t> read_number(std::string_view bytes, std::size_t at, std::size_t width,
                                                ByteOrder order) {
  if (at > bytes.size() || bytes.size() - at < width) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t index = order == ByteOrder::BigEndian ? at + i : at + width - 1 - i;
    value = value << 8 | byte_at(bytes, index);
  }
  return value;
}

// JPEG markers (the byte after 0xFF) that every walk of a JPEG's segments meets.
inline constexpr unsigned kStartOfImage = 0xD8;
inline constexpr unsigned kEndOfImage = 0xD9;
inline constexpr unsigned kStartOfScan = 0xDA;
inline constexpr unsigned kTemporary = 0x01;
inline constexpr unsigned kRestart0 = 0xD0;
inline constexpr unsigned kRestart7 = 0xD7;

// Markers that stand alone, with no length after them.
inline bool is_standalone_marker(unsigned marker) {
  return marker == kTemporary || (marker >= kRestart0 && marker <= kRestart7);
}

}  // namespace vantrel::byte_reading
