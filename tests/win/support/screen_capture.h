#pragma once
// What the screen shows of a window's client area, read back in one copy.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vantrel::testing {

struct Capture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // rows top first
  COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline Capture capture_client(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  Capture capture{client.right, client.bottom, {}};
  if (capture.width <= 0 || capture.height <= 0) return capture;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HDC memory = CreateCompatibleDC(screen);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  capture.pixels.reserve(static_cast<std::size_t>(capture.width) * capture.height);
  for (int i = 0; i < capture.width * capture.height; ++i)
    capture.pixels.push_back(RGB(bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4]));
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return capture;
}

}  // namespace vantrel::testing
