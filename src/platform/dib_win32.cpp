#include "platform/dib_win32.h"

namespace vantrel {

GdiObject make_dib(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return GdiObject();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // rows top first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return GdiObject();
  auto* out = static_cast<std::uint8_t*>(bits);
  for (std::size_t i = 0; i + 3 < picture.rgba.size(); i += 4) {  // RGBA to the DIB's BGRA
    out[i] = picture.rgba[i + 2];
    out[i + 1] = picture.rgba[i + 1];
    out[i + 2] = picture.rgba[i];
    out[i + 3] = 255;
  }
  return bitmap;
}

}  // namespace vantrel
