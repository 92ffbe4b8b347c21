#include "dialog/preview_geometry.h"

namespace vantrel {

PreviewSize preview_size(int width, int height) {
  if (width > height) return {kPreviewBound, kPreviewBound * height / width};
  return {kPreviewBound * width / height, kPreviewBound};
}

std::string preview_size_text(int width, int height) {
  return std::to_string(width) + " * " + std::to_string(height);
}

}  // namespace vantrel
