#pragma once
// The size and resolution of the window the saver draws into.

namespace vantrel {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr double kMetresPerInch = 0.0254;

struct WindowMetrics {
  int width_px = 0;
  int height_px = 0;
  int dpi = 96;  // pixels per logical inch, the window's real DPI

  double twips_per_pixel() const { return static_cast<double>(kTwipsPerInch) / dpi; }
  double pixels_per_metre() const { return dpi / kMetresPerInch; }  // 3779.5 at 96 DPI
};

}  // namespace vantrel
