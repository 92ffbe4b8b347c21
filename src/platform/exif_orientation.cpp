#include "platform/exif_orientation.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/byte_reading.h"

namespace vantrel {
namespace {

using namespace byte_reading;

constexpr unsigned kApp1 = 0xE1;  // the marker of the segment EXIF lives in

constexpr std::string_view kExifHeader{"Exif\0\0", 6};
constexpr std::uint32_t kTiffMagic = 42;
constexpr std::uint32_t kOrientationTag = 0x0112;
constexpr std::uint32_t kTypeShort = 3;
constexpr std::size_t kEntryBytes = 12;

Orientation orientation_of_value(std::uint32_t value) {
  return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

// The orientation IFD0 of a TIFF block declares; offsets inside it count from
// its first byte. Later IFDs describe the thumbnail, never the picture.
Orientation orientation_in_tiff(std::string_view tiff) {
  ByteOrder order;
  if (tiff.substr(0, 2) == "II") {
    order = ByteOrder::LittleEndian;
  } else if (tiff.substr(0, 2) == "MM") {
    order = ByteOrder::BigEndian;
  } else {
    return Orientation::Normal;
  }
  if (read_number(tiff, 2, 2, order) != kTiffMagic) return Orientation::Normal;
  const std::optional<std::uint32_t> ifd = read_number(tiff, 4, 4, order);
  if (!ifd) return Orientation::Normal;
  const std::optional<std::uint32_t> entry_count = read_number(tiff, *ifd, 2, order);
  if (!entry_count) return Orientation::Normal;
  // read_number proved ifd + 2 <= size, so neither this sum nor the
  // difference below can wrap.
  const std::size_t entries = std::size_t{*ifd} + 2;
  if ((tiff.size() - entries) / kEntryBytes < *entry_count) return Orientation::Normal;
  for (std::size_t i = 0; i < *entry_count; ++i) {
    const std::size_t entry = entries + i * kEntryBytes;
    if (read_number(tiff, entry, 2, order) != kOrientationTag) continue;
    // A SHORT's value sits in the first two bytes of the four-byte field.
    if (read_number(tiff, entry + 2, 2, order) != kTypeShort || read_number(tiff, entry + 4, 4, order) != 1u)
      return Orientation::Normal;
    return orientation_of_value(*read_number(tiff, entry + 8, 2, order));
  }
  return Orientation::Normal;
}

}  // namespace

Orientation exif_orientation(std::string_view bytes) {
  if (read_number(bytes, 0, 2, ByteOrder::BigEndian) != (0xFF00u | kStartOfImage)) return Orientation::Normal;
  // Every turn moves `at` forward by at least one byte, so the walk ends
  // within bytes.size() turns.
  std::size_t at = 2;
  while (at < bytes.size()) {
    // Anything but a marker where one belongs means the walk has lost its
    // place; guessing on could read scan data as segments.
    if (byte_at(bytes, at) != 0xFF) return Orientation::Normal;
    while (at < bytes.size() && byte_at(bytes, at) == 0xFF) ++at;  // fill bytes
    if (at == bytes.size()) return Orientation::Normal;
    const unsigned marker = byte_at(bytes, at++);
    if (marker == kStartOfScan || marker == kEndOfImage) return Orientation::Normal;
    if (is_standalone_marker(marker)) continue;
    // The length counts its own two bytes but not the marker's.
    const std::optional<std::uint32_t> length = read_number(bytes, at, 2, ByteOrder::BigEndian);
    if (!length || *length < 2 || *length > bytes.size() - at) return Orientation::Normal;
    const std::string_view payload = bytes.substr(at + 2, *length - 2);
    at += *length;
    if (marker == kApp1 && payload.substr(0, kExifHeader.size()) == kExifHeader)
      return orientation_in_tiff(payload.substr(kExifHeader.size()));
  }
  return Orientation::Normal;
}

bool swaps_sides(Orientation orientation) {
  switch (orientation) {
    case Orientation::Transpose:
    case Orientation::Rotate90:
    case Orientation::Transverse:
    case Orientation::Rotate270:
      return true;
    case Orientation::Normal:
    case Orientation::MirrorHorizontal:
    case Orientation::Rotate180:
    case Orientation::MirrorVertical:
      return false;
  }
  return false;
}

PictureSize upright_size(PictureSize stored, Orientation orientation) {
  if (swaps_sides(orientation)) std::swap(stored.width, stored.height);
  return stored;
}

}  // namespace vantrel
