// Renders the preview's still picture with the saver's own scene code: the
// sphere mid-burst over a gradient, as a full screen shows it, reduced to the
// 152 x 112 pixels of the control panel's little monitor. Writes a 24-bit BMP;
// make_preview_still.sh turns it into the embedded JPEG.
//
//   make_preview_still.exe <picture> <output.bmp>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "platform/gl_context_win32.h"
#include "platform/picture_decoder_win32.h"
#include "platform/wide_text_win32.h"
#include "saver/gradient.h"
#include "saver/scene.h"
#include "saver/scene_renderer.h"
#include "saver/sphere_texture_size.h"
#include "startup/preview_layout.h"

namespace {

using namespace vantrel;

// A 1520 x 1120 screen at 96 DPI, ten times the still: the sphere and the
// fragments keep the proportions a real screen gives them.
constexpr int kScale = 10;
constexpr int kScreenWidth = kPreviewPictureWidth * kScale;
constexpr int kScreenHeight = kPreviewPictureHeight * kScale;
// Seconds into the cycle: well into the burst, fragments spread but the
// sphere's shape still readable.
constexpr double kMoment = 7.0;
// A fixed seed and colour, so the still is the same every time it is made.
constexpr unsigned kSeed = 20261207;
constexpr BackgroundChoice kBackground{30, 90, 200, GradientDirection::Rows};

class SeededRandom final : public RandomSource {
 public:
  double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

 private:
  std::mt19937 engine_{kSeed};
};

bool write_bmp(const Picture& picture, const std::string& path) {
  const int row_bytes = (picture.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = picture.width;
  info.biHeight = picture.height;  // bottom-up
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(row_bytes * picture.height);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::string row(static_cast<std::size_t>(row_bytes), '\0');
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* p = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
      row[x * 3] = static_cast<char>(p[2]);
      row[x * 3 + 1] = static_cast<char>(p[1]);
      row[x * 3 + 2] = static_cast<char>(p[0]);
    }
    out.write(row.data(), row_bytes);
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_preview_still <picture> <output.bmp>\n");
    return 2;
  }
  const std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::create(kScreenWidth, kScreenHeight);
  if (!offscreen) {
    std::fprintf(stderr, "no OpenGL context (is DISPLAY set?)\n");
    return 1;
  }
  SettingsModel defaults;
  for (std::size_t i = 0; i < defaults.Action_Value.size(); ++i) defaults.Action_Value[i] = kActionDefaults[i];
  const SceneSettings settings = scene_settings(defaults);
  const WindowMetrics window{kScreenWidth, kScreenHeight, 96};
  const int driver_limit = offscreen->context().max_texture_size();
  Win32PictureDecoder decoder;
  std::optional<DecodedPicture> picture = decoder.decode_file(
      argv[1], [&](PictureSize own) { return sphere_texture_size(own, settings, window, driver_limit); },
      Resampling::Smooth);
  if (!picture) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }

  SeededRandom random;
  const Scene scene(settings, random, window);
  SceneRenderer renderer(scene, std::move(picture->pixels), kBackground.direction, gradient_lines(kBackground, window),
                         window, driver_limit);
  renderer.draw_frame(kMoment);
  const Picture still = resample(rows_of(offscreen->read_back()), {kPreviewPictureWidth, kPreviewPictureHeight});
  if (!write_bmp(still, argv[2])) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
