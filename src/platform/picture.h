#pragma once
// A decoded picture as plain pixels, and its resampling.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

// 8-bit RGBA, 4 bytes a pixel in the order R, G, B, A; rows top first, no
// padding between rows; alpha is straight (colours not multiplied by it).
// Empty (0 x 0) or rgba.size() == width * height * 4.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

struct PictureSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// How a pixel's bytes lie in memory.
enum class PixelLayout {
  Rgba,  // R, G, B, A: a Picture's own
  Bgra,  // B, G, R, A: 32-bit Windows bitmaps with alpha
  Bgrx,  // B, G, R, unused: 32-bit Windows bitmaps without alpha, opaque
  Bgr,   // B, G, R: 24-bit Windows bitmaps, opaque
};

// Pixels held elsewhere (a locked bitmap, say), read in place. Rows top
// first, `stride` bytes from the start of one row to the next: negative when
// the rows lie bottom-up in memory, and may include padding.
struct PixelRows {
  const std::uint8_t* top_row = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
  PixelLayout layout = PixelLayout::Rgba;
};

// The picture's pixels as rows, valid while the picture is unchanged.
PixelRows rows_of(const Picture& picture);

// Rows handed out one at a time, as a decoder produces them, so that a huge
// picture never has to lie in memory whole: row(y) is asked for with y never
// smaller than in the call before, and its pointer need only stay valid until
// the next call. A row that cannot be produced is an exception the caller
// of the resampler sees.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual PixelLayout layout() const = 0;
  virtual const std::uint8_t* row(int y) = 0;
};

// The size with the longer side brought down to max_side (>= 1) and the
// shorter side in proportion, rounded to the nearest pixel and at least 1.
// A picture already within max_side keeps its size: never enlarged.
PictureSize fit_within(PictureSize size, int max_side);

// The pixels resampled to a width x height picture (each >= 1). Shrinking
// averages the source area each target pixel covers; enlarging interpolates
// linearly between pixel centres; the same size is an exact copy. Colours are
// weighted by alpha, so fully transparent pixels lend no colour to their
// neighbours. Nothing in, nothing out: an empty source gives an empty picture.
// Only a few source rows are held at a time, so shrinking a huge bitmap in
// place costs no second full-size copy.
Picture resample(const PixelRows& source, int width, int height);
Picture resample(RowSource& source, int width, int height);
Picture resample(const Picture& picture, int width, int height);

// The pixels scaled down (aspect kept, never up) so that the longer side is
// at most max_side (>= 1): resample to fit_within.
Picture scale_to_fit(const PixelRows& source, int max_side);
Picture scale_to_fit(const Picture& picture, int max_side);

// The pixels brought to width x height (each >= 1) by taking, for every
// target pixel, the source pixel under its centre: no blending, as a
// COLORONCOLOR stretch of GDI drops or repeats whole pixels. Reads only the
// pixels it keeps, so a huge bitmap costs nothing beyond the result.
Picture sample_nearest(const PixelRows& source, int width, int height);
Picture sample_nearest(RowSource& source, int width, int height);

// The power of two nearest to `side` (>= 1) on a logarithmic scale: a side of
// sqrt(2) times the power below or more rounds up. At most max_side, itself a
// power of two (OpenGL reports its texture limit as one).
int nearest_power_of_two(int side, int max_side);

}  // namespace vantrel
