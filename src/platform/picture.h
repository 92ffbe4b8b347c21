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

// Pixels held elsewhere (a locked bitmap, a picture), read in place. Rows top
// first, `stride` bytes from the start of one row to the next: negative when
// the rows lie bottom-up in memory, and may include padding. No pixels (a
// null `top_row`) is an empty source.
class PixelRows final : public RowSource {
 public:
  PixelRows(const std::uint8_t* top_row, int width, int height, std::ptrdiff_t stride, PixelLayout layout)
      : top_row_(top_row), width_(top_row ? width : 0), height_(top_row ? height : 0), stride_(stride),
        layout_(layout) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  PixelLayout layout() const override { return layout_; }
  const std::uint8_t* row(int y) override { return top_row_ + static_cast<std::ptrdiff_t>(y) * stride_; }

 private:
  const std::uint8_t* top_row_;
  int width_;
  int height_;
  std::ptrdiff_t stride_;
  PixelLayout layout_;
};

// The picture's pixels as rows, valid while the picture is unchanged.
PixelRows rows_of(const Picture& picture);

// How pixels are brought to another size.
enum class Resampling {
  // Shrinking averages the source area each target pixel covers; enlarging
  // interpolates linearly between pixel centres. Colours are weighted by
  // alpha, so fully transparent pixels lend no colour to their neighbours.
  Smooth,
  // For every target pixel, the source pixel under its centre: no blending,
  // as a COLORONCOLOR stretch of GDI drops or repeats whole pixels. Reads
  // only the rows it keeps.
  Nearest,
};

// The size with the longer side brought down to max_side (>= 1) and the
// shorter side in proportion, rounded to the nearest pixel and at least 1.
// A picture already within max_side keeps its size: never enlarged.
PictureSize fit_within(PictureSize size, int max_side);

// The pixels brought to `size` (each side >= 1). The same size is an exact
// copy. Only a few source rows are held at a time, so shrinking a huge bitmap
// in place costs no second full-size copy. An empty source gives an empty
// picture.
Picture resample(RowSource& source, PictureSize size, Resampling resampling = Resampling::Smooth);
inline Picture resample(RowSource&& source, PictureSize size, Resampling resampling = Resampling::Smooth) {
  return resample(source, size, resampling);
}

// The power of two nearest to `side` (>= 1) on a logarithmic scale: a side of
// sqrt(2) times the power below or more rounds up. At most max_side, itself a
// power of two (OpenGL reports its texture limit as one).
int nearest_power_of_two(int side, int max_side);

}  // namespace vantrel
