#pragma once
// The size a picture file declares in its header, read without any codec. A
// codec may spend the memory a picture needs as soon as it opens the file
// (Wine's decode the whole picture then), so the decoder weighs what the
// header declares before any codec sees the bytes.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/picture.h"

namespace vantrel {

// The raster kinds whose headers are read here, told apart by their first
// bytes as the imaging component tells them apart (never by the file's name).
enum class HeaderFormat {
  Other,  // none of the four: a metafile, a TIFF, text; nothing is said of it
  Jpeg,   // FF D8
  Png,    // the eight-byte PNG signature
  Gif,    // "GIF"
  Bmp,    // "BM"
};

// What a header declares about the pixels a codec would hold.
struct DeclaredPicture {
  // Both sides at least 1. A GIF's is its logical screen, the canvas its
  // frames are drawn on.
  PictureSize size;
  // Bits a pixel as a codec that decodes the whole picture holds it: the
  // stored depth, except that a PNG of grey with alpha, or of colour or 16-bit
  // grey with a transparent colour, counts as RGBA at its depth, and a
  // run-length bitmap as 32 bits; codecs expand those to that.
  int bits_per_pixel = 0;
  // Pixels of every image the file holds: width x height, but for a GIF its
  // frames' areas added up, as a codec that reads a GIF at once keeps every
  // frame. Up to the trailer, or to where the bytes end or stop making sense,
  // where such a codec stops too.
  std::uint64_t stored_pixels = 0;
  friend bool operator==(const DeclaredPicture&, const DeclaredPicture&) = default;
};

struct PictureHeader {
  HeaderFormat format = HeaderFormat::Other;
  // Nothing when the bytes begin as `format` does but declare no size to go
  // by: they end before it, a length or field no codec accepts stands in the
  // way, or a JPEG leaves its height to a later DNL marker (height 0). Always
  // nothing for Other.
  std::optional<DeclaredPicture> declared;
  friend bool operator==(const PictureHeader&, const PictureHeader&) = default;
};

// What the bytes of a picture file declare. Walks a JPEG's markers from SOI to
// the first frame header (SOF0-SOF15 but DHT, JPG and DAC), skipping what
// libjpeg skips between segments; takes a PNG's IHDR and walks its chunks to
// the first IDAT (a tRNS chunk before it changes the depth); walks every block
// of a GIF; reads a bitmap's core (12-byte) or info (16 bytes and up) header,
// a negative height meaning rows stored top down. Never reads outside
// `bytes`; the work is at most one step a byte whatever they hold.
PictureHeader read_picture_header(std::string_view bytes);

// What a codec holds when it decodes a whole file at once.
struct DecodeCost {
  std::uint64_t pixels = 0;  // of the picture as decoded: the reduced size of a reduced JPEG
  std::uint64_t bytes = 0;   // of every image held, at bits_per_pixel; saturates, never wraps
};

// The cost of decoding `declared` with a codec that divides a JPEG's sides by
// up to `jpeg_reduction` (1, 2, 4 or 8: 1 where it decodes JPEGs whole only),
// rounding up as JPEG codecs do. Other formats are decoded at full size.
DecodeCost decode_cost(HeaderFormat format, const DeclaredPicture& declared, int jpeg_reduction);

}  // namespace vantrel
