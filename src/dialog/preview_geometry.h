#pragma once
// Show_Preview's arithmetic: the preview's size from the picture's, and the
// size text above it.

#include <string>

namespace vantrel {

// The longer side of the preview, in 96-DPI pixels.
inline constexpr double kPreviewBound = 100.0;

// Pic_K's size for a width x height picture (both >= 1), in 96-DPI pixels,
// fractions kept: the longer side fitted to kPreviewBound, the aspect kept. A
// square picture, and one higher than wide, take the second branch: its
// height is the bound. Smaller pictures are enlarged to the bound.
struct PreviewSize {
  double width = kPreviewBound;
  double height = kPreviewBound;
  friend bool operator==(const PreviewSize&, const PreviewSize&) = default;
};
PreviewSize preview_size(int width, int height);

// "640 * 480": the decimal width, " * " and the decimal height.
std::string preview_size_text(int width, int height);

}  // namespace vantrel
