#pragma once
// A bitmap to draw on away from the screen, selected into a memory device
// context of its own for as long as it lives.

#include <windows.h>

#include <utility>

namespace vantrel {

class OffscreenBitmap {
 public:
  OffscreenBitmap() = default;
  // A width x height bitmap like `compatible_with`'s (the screen's when null);
  // empty (false) when GDI cannot make it or a side is below 1.
  OffscreenBitmap(HDC compatible_with, int width, int height);
  OffscreenBitmap(OffscreenBitmap&& other) noexcept { *this = std::move(other); }
  OffscreenBitmap& operator=(OffscreenBitmap&& other) noexcept;
  OffscreenBitmap(const OffscreenBitmap&) = delete;
  OffscreenBitmap& operator=(const OffscreenBitmap&) = delete;
  ~OffscreenBitmap() { reset(); }

  explicit operator bool() const { return dc_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  // The bitmap must leave its device context before either can be deleted.
  void reset();

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace vantrel
