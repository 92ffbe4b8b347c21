#include "platform/offscreen_bitmap_win32.h"

namespace vantrel {

OffscreenBitmap::OffscreenBitmap(HDC compatible_with, int width, int height) {
  if (width < 1 || height < 1) return;
  const HDC screen = compatible_with ? nullptr : GetDC(nullptr);
  const HDC model = compatible_with ? compatible_with : screen;
  if (model) {
    dc_ = CreateCompatibleDC(model);
    bitmap_ = CreateCompatibleBitmap(model, width, height);
  }
  if (screen) ReleaseDC(nullptr, screen);
  if (!dc_ || !bitmap_) {
    reset();
    return;
  }
  original_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
}

OffscreenBitmap& OffscreenBitmap::operator=(OffscreenBitmap&& other) noexcept {
  if (this != &other) {
    reset();
    dc_ = std::exchange(other.dc_, nullptr);
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    original_ = std::exchange(other.original_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

void OffscreenBitmap::reset() {
  if (dc_ && original_) SelectObject(dc_, original_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  original_ = nullptr;
  width_ = 0;
  height_ = 0;
}

}  // namespace vantrel
