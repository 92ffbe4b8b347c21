// The background gradient on a 3840 x 2160 window: our computed rows against
// drawing it literally, one GDI line per twip with the last line on a pixel
// winning. Prints the literal drawing's time, the computation's (what the
// saver does on the CPU; GL then fills the bands), the computation with every
// pixel written once, and whether the pixels equal the literal drawing's.
//
//   wine build/windows/bench/gradient_bench_win32.exe
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "saver/gradient.h"

namespace {

using vantrel::BackgroundChoice;
using vantrel::GradientDirection;
using vantrel::WindowMetrics;

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kRepeats = 5;

// A 32-bit top-down DIB selected into a memory DC.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  std::uint32_t* bits = nullptr;

  Canvas() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    void* pixels = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<std::uint32_t*>(pixels);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  void clear() { std::memset(bits, 0, sizeof(std::uint32_t) * kWidth * kHeight); }
};

// The algorithm as written: every twip gets its line (and its mirror), each
// with a pen of its own colour, at the pixel the twip falls in.
void draw_literally(Canvas& canvas, const BackgroundChoice& choice, const WindowMetrics& window) {
  const bool rows = choice.direction == GradientDirection::Rows;
  const int pixels = rows ? kHeight : kWidth;
  const float extent = static_cast<float>(pixels * window.twips_per_pixel());
  const long last = std::lrint(extent / 2.0f);
  float red = static_cast<float>(choice.red), green = static_cast<float>(choice.green),
        blue = static_cast<float>(choice.blue);
  const float red_step = red / extent * 2.0f, green_step = green / extent * 2.0f, blue_step = blue / extent * 2.0f;
  for (long i = 0; i <= last; ++i) {
    red = red - red_step < 0 ? 0 : red - red_step;
    green = green - green_step < 0 ? 0 : green - green_step;
    blue = blue - blue_step < 0 ? 0 : blue - blue_step;
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)));
    const HGDIOBJ old = SelectObject(canvas.dc, pen);
    const long long scaled = static_cast<long long>(i) * window.dpi;
    const int near_edge = static_cast<int>(scaled / 1440);
    const int far_edge = pixels - static_cast<int>((scaled + 1439) / 1440);
    for (const int at : {near_edge, far_edge}) {
      if (rows) {
        MoveToEx(canvas.dc, 0, at, nullptr);
        LineTo(canvas.dc, kWidth, at);
      } else {
        MoveToEx(canvas.dc, at, 0, nullptr);
        LineTo(canvas.dc, at, kHeight);
      }
    }
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
  }
  GdiFlush();
}

// Ours, painted: the colours computed, then each pixel written once. (The
// saver hands the same bands to GL instead.)
void paint_computed(Canvas& canvas, const std::vector<vantrel::Rgb>& lines, GradientDirection direction) {
  for (int y = 0; y < kHeight; ++y) {
    std::uint32_t* row = canvas.bits + static_cast<std::size_t>(y) * kWidth;
    if (direction == GradientDirection::Rows) {
      const vantrel::Rgb& c = lines[static_cast<std::size_t>(y)];
      std::fill_n(row, kWidth, (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue);
    } else {
      for (int x = 0; x < kWidth; ++x) {
        const vantrel::Rgb& c = lines[static_cast<std::size_t>(x)];
        row[x] = (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
      }
    }
  }
}

template <typename Draw>
double best_seconds(Canvas& canvas, Draw draw) {
  double best = 1e9;
  for (int run = 0; run < kRepeats; ++run) {
    canvas.clear();
    const auto start = std::chrono::steady_clock::now();
    draw();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return best;
}

}  // namespace

int main() {
  bool all_equal = true;
  for (const int dpi : {96, 120, 144}) {
    for (const GradientDirection direction : {GradientDirection::Rows, GradientDirection::Columns}) {
      const BackgroundChoice choice{201, 117, 38, direction};
      const WindowMetrics window{kWidth, kHeight, dpi};
      Canvas literal, computed;
      const double literal_seconds = best_seconds(literal, [&] { draw_literally(literal, choice, window); });
      std::vector<vantrel::Rgb> lines;
      const double computed_seconds = best_seconds(computed, [&] { lines = vantrel::gradient_lines(choice, window); });
      const double painted_seconds = best_seconds(computed, [&] {
        paint_computed(computed, vantrel::gradient_lines(choice, window), direction);
      });
      const bool equal =
          std::memcmp(literal.bits, computed.bits, sizeof(std::uint32_t) * kWidth * kHeight) == 0;
      all_equal = all_equal && equal;
      std::printf(
          "%dx%d at %3d DPI, %-7s: literal %8.2f ms | computed %5.2f ms, %7.1f x faster"
          " | computed and painted once %6.2f ms, %6.1f x faster | pixels %s\n",
          kWidth, kHeight, dpi, direction == GradientDirection::Rows ? "rows" : "columns", literal_seconds * 1e3,
          computed_seconds * 1e3, literal_seconds / computed_seconds, painted_seconds * 1e3,
          literal_seconds / painted_seconds, equal ? "identical" : "DIFFER");
    }
  }
  return all_equal ? 0 : 1;
}
