// Where the saver's start-up time goes for one picture: each step from the
// file to the texture, timed on its own, as the saver takes them (GDI+ reads
// and decodes, our resampler fits the picture within 2048 pixels, the
// renderer brings it to power-of-two sides and uploads it), and beside them
// shorter ways to the same texture:
//   - one resampling straight from the decoded pixels to the texture's size,
//     instead of fitting first and resampling the fitted picture again;
//   - the same area average written for opaque 24-bit pixels (three float
//     channels, no alpha weighting, every source row resampled across once),
//     compared pixel by pixel with our resampler's output;
//   - decoding at a reduced size where the system's JPEG decoder offers it
//     (WIC's IWICBitmapSourceTransform), so the full-size pixels never exist.
// Every step is run several times; the median is printed, in milliseconds.
// The first window with a GL context that the process makes is timed once:
// the part of the saver's start-up that a decode on another thread could
// overlap.
//
//   wine build/windows/bench/saver_decode_bench_win32.exe PICTURE...
// (paths in Windows form, e.g. Z:\tmp\photo.jpg)
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <wincodec.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdiplus_session_win32.h"
#include "platform/gl_context_win32.h"
#include "platform/mip_chain.h"
#include "platform/picture.h"
#include "platform/picture_decoder_win32.h"
#include "platform/wic_win32.h"
#include "saver/sphere_texture_size.h"

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;
using vantrel::Picture;
using vantrel::PictureSize;
using vantrel::PixelLayout;
using vantrel::PixelRows;

// The saver's own limit on the longer side before upload.
constexpr int kMaxPictureSide = 2048;

// The rows brought down (never up) to kMaxPictureSide on their longer side.
Picture scale_to_fit(vantrel::RowSource& rows) {
  return vantrel::resample(rows, vantrel::fit_within({rows.width(), rows.height()}, kMaxPictureSide));
}

constexpr int kRepeats = 5;

using vantrel::Com;
using vantrel::kClsidWicImagingFactory;
using vantrel::kFormat24bppBgr;
using vantrel::kIidWicBitmapSourceTransform;
using vantrel::kIidWicImagingFactory;
using vantrel::WicSourceTransform;

struct ImageDeleter {
  void operator()(gp::GpImage* image) const { flat::GdipDisposeImage(image); }
};
using Image = std::unique_ptr<gp::GpImage, ImageDeleter>;

// Median wall time of kRepeats runs of `step`, in milliseconds.
template <typename Step>
double median_ms(Step step) {
  std::vector<double> times;
  for (int i = 0; i < kRepeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::vector<char> read_file(const std::wstring& path) {
  std::vector<char> bytes;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30)) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
      bytes.clear();
    }
  }
  CloseHandle(file);
  return bytes;
}

// A stream over a copy of `bytes`, as the saver's decoder makes one.
Com<IStream> memory_stream(const std::vector<char>& bytes) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return nullptr;
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  return Com<IStream>(stream);
}

Image load_image(const std::vector<char>& bytes) {
  const Com<IStream> stream = memory_stream(bytes);
  gp::GpImage* image = nullptr;
  if (!stream || flat::GdipLoadImageFromStream(stream.get(), &image) != gp::Ok) return nullptr;
  return Image(image);
}

PixelLayout layout_of(gp::PixelFormat format) {
  return format == PixelFormat24bppRGB ? PixelLayout::Bgr : format == PixelFormat32bppRGB ? PixelLayout::Bgrx
                                                                                          : PixelLayout::Bgra;
}

// Locks the whole bitmap as the saver's decoder does, runs `use` on the rows
// and unlocks again.
template <typename Use>
bool with_locked_rows(gp::GpImage* image, Use use) {
  auto* bitmap = static_cast<gp::GpBitmap*>(image);
  UINT width = 0;
  UINT height = 0;
  gp::PixelFormat format = PixelFormatUndefined;
  flat::GdipGetImageWidth(image, &width);
  flat::GdipGetImageHeight(image, &height);
  flat::GdipGetImagePixelFormat(image, &format);
  if (format != PixelFormat24bppRGB && format != PixelFormat32bppRGB) format = PixelFormat32bppARGB;
  const gp::GpRect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  gp::BitmapData data{};
  if (flat::GdipBitmapLockBits(bitmap, &area, gp::ImageLockModeRead, format, &data) != gp::Ok) return false;
  PixelRows rows{static_cast<const std::uint8_t*>(data.Scan0), static_cast<int>(width), static_cast<int>(height),
                 data.Stride, layout_of(format)};
  use(rows);
  flat::GdipBitmapUnlockBits(bitmap, &data);
  return true;
}

// The picture WIC decodes at the smallest size it offers that still has the
// fitted size's pixels, or nothing (with `note` saying why) when it offers no
// reduced decoding.
std::optional<Picture> wic_reduced_decode(IWICImagingFactory* factory, const std::vector<char>& bytes,
                                          std::string& note) {
  const Com<IStream> stream = memory_stream(bytes);
  IWICBitmapDecoder* raw_decoder = nullptr;
  if (!stream || FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                         &raw_decoder))) {
    note = "WIC cannot read it";
    return std::nullopt;
  }
  const Com<IWICBitmapDecoder> decoder(raw_decoder);
  IWICBitmapFrameDecode* raw_frame = nullptr;
  if (FAILED(decoder->GetFrame(0, &raw_frame))) {
    note = "no frame";
    return std::nullopt;
  }
  const Com<IWICBitmapFrameDecode> frame(raw_frame);
  WicSourceTransform* raw_transform = nullptr;
  if (FAILED(frame->QueryInterface(kIidWicBitmapSourceTransform, reinterpret_cast<void**>(&raw_transform)))) {
    note = "the decoder offers no reduced decoding (no IWICBitmapSourceTransform)";
    return std::nullopt;
  }
  const Com<WicSourceTransform> transform(raw_transform);
  UINT width = 0;
  UINT height = 0;
  frame->GetSize(&width, &height);
  const PictureSize fitted = vantrel::fit_within({static_cast<int>(width), static_cast<int>(height)}, kMaxPictureSide);
  UINT scaled_width = static_cast<UINT>(fitted.width);
  UINT scaled_height = static_cast<UINT>(fitted.height);
  // Rounded up by the decoder to the nearest size it can make directly.
  if (FAILED(transform->GetClosestSize(&scaled_width, &scaled_height))) {
    note = "GetClosestSize failed";
    return std::nullopt;
  }
  WICPixelFormatGUID format = kFormat24bppBgr;
  transform->GetClosestPixelFormat(&format);
  if (format != kFormat24bppBgr) {
    note = "no 24-bit BGR output";
    return std::nullopt;
  }
  const UINT stride = (scaled_width * 3 + 3) & ~3u;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * scaled_height);
  if (FAILED(transform->CopyPixels(nullptr, scaled_width, scaled_height, &format, WICBitmapTransformRotate0, stride,
                                   static_cast<UINT>(pixels.size()), pixels.data()))) {
    note = "CopyPixels at the reduced size failed";
    return std::nullopt;
  }
  char text[96];
  std::snprintf(text, sizeof text, "decoded at %ux%u", scaled_width, scaled_height);
  note = text;
  PixelRows rows{pixels.data(), static_cast<int>(scaled_width), static_cast<int>(scaled_height),
                 static_cast<std::ptrdiff_t>(stride), PixelLayout::Bgr};
  return scale_to_fit(rows);
}

// One axis of an area average from `source` down to `target` pixels: for
// target index i, the source indices first..first+count-1 and their weights,
// the share of [i * scale, (i + 1) * scale) each covers.
struct AreaTaps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // count[i] of them for each i, in order
  std::vector<std::size_t> begin;
};

AreaTaps area_taps(int source, int target) {
  AreaTaps taps;
  const double scale = static_cast<double>(source) / target;
  for (int i = 0; i < target; ++i) {
    const double low = i * scale;
    const double high = std::min<double>((i + 1) * scale, source);
    taps.first.push_back(static_cast<int>(low));
    taps.begin.push_back(taps.weights.size());
    int count = 0;
    for (int j = taps.first.back(); j < source && j < high; ++j, ++count) {
      const double overlap = std::min<double>(high, j + 1) - std::max<double>(low, j);
      taps.weights.push_back(static_cast<float>(overlap / scale));
    }
    taps.count.push_back(count);
  }
  return taps;
}

// The area average of opaque 24-bit B, G, R rows shrunk to width x height
// (each no larger than the source's), as RGBA with alpha 255.
Picture opaque_area_average(PixelRows& source, int width, int height) {
  const AreaTaps across = area_taps(source.width(), width);
  const AreaTaps down = area_taps(source.height(), height);
  Picture result{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  const std::size_t row_floats = static_cast<std::size_t>(width) * 3;
  std::vector<float> current(row_floats);
  std::vector<float> previous(row_floats);
  std::vector<float> sum(row_floats);
  int previous_index = -1;
  const auto resample_across = [&](int y, float* out) {
    const std::uint8_t* row = source.row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(across.first[x]) * 3;
      const float* weight = &across.weights[across.begin[x]];
      float b = 0, g = 0, r = 0;
      for (int k = 0; k < across.count[x]; ++k, pixel += 3) {
        b += pixel[0] * weight[k];
        g += pixel[1] * weight[k];
        r += pixel[2] * weight[k];
      }
      out[x * 3] = r;
      out[x * 3 + 1] = g;
      out[x * 3 + 2] = b;
    }
  };
  for (int y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (int k = 0; k < down.count[y]; ++k) {
      const int source_y = down.first[y] + k;
      // A source row on the border of two target rows is resampled once.
      if (source_y != previous_index) {
        resample_across(source_y, current.data());
        std::swap(current, previous);
        previous_index = source_y;
      }
      const float weight = down.weights[down.begin[y] + k];
      for (std::size_t i = 0; i < row_floats; ++i) sum[i] += previous[i] * weight;
    }
    std::uint8_t* out = &result.rgba[static_cast<std::size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x, out += 4) {
      for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<std::uint8_t>(std::min(sum[static_cast<std::size_t>(x) * 3 + c], 255.0f) + 0.5f);
      }
      out[3] = 255;
    }
  }
  return result;
}

int largest_difference(const Picture& a, const Picture& b) {
  if (a.rgba.size() != b.rgba.size()) return 256;
  int largest = 0;
  for (std::size_t i = 0; i < a.rgba.size(); ++i) largest = std::max(largest, std::abs(a.rgba[i] - b.rgba[i]));
  return largest;
}

// glTexImage2D of the picture into a fresh texture, finished.
void upload(const Picture& picture) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               picture.rgba.data());
  glFinish();
  glDeleteTextures(1, &texture);
}

void bench_picture(const std::string& path, IWICImagingFactory* factory) {
  const std::wstring wide(path.begin(), path.end());  // ASCII paths only
  std::vector<char> bytes;
  const double read_ms = median_ms([&] { bytes = read_file(wide); });
  Image image;
  const double load_ms = median_ms([&] { image = load_image(bytes); });
  if (!image) {
    std::printf("%s: GDI+ cannot load it\n", path.c_str());
    return;
  }
  UINT width = 0;
  UINT height = 0;
  flat::GdipGetImageWidth(image.get(), &width);
  flat::GdipGetImageHeight(image.get(), &height);

  double lock_ms = 0;
  double fit_ms = 0;
  double one_pass_ms = 0;
  double opaque_ms = -1;
  int opaque_difference = -1;
  Picture fitted;
  lock_ms = median_ms([&] { with_locked_rows(image.get(), [](PixelRows&) {}); });
  with_locked_rows(image.get(), [&](PixelRows& rows) {
    fit_ms = median_ms([&] { fitted = scale_to_fit(rows); });
    const int texture_width = vantrel::nearest_power_of_two(fitted.width, kMaxPictureSide);
    const int texture_height = vantrel::nearest_power_of_two(fitted.height, kMaxPictureSide);
    Picture one_pass;
    one_pass_ms = median_ms([&] { one_pass = vantrel::resample(rows, {texture_width, texture_height}); });
    if (rows.layout() == PixelLayout::Bgr && texture_width <= rows.width() && texture_height <= rows.height()) {
      Picture opaque;
      opaque_ms = median_ms([&] { opaque = opaque_area_average(rows, texture_width, texture_height); });
      opaque_difference = largest_difference(opaque, one_pass);
    }
  });
  Picture texture;
  const double power_of_two_ms = median_ms([&] {
    texture = vantrel::resample(vantrel::rows_of(fitted), {vantrel::nearest_power_of_two(fitted.width, kMaxPictureSide),
                                                           vantrel::nearest_power_of_two(fitted.height, kMaxPictureSide)});
  });

  double upload_ms = -1;
  if (const auto gl = vantrel::OffscreenGl::create(64, 64)) upload_ms = median_ms([&] { upload(texture); });

  double decoder_ms = 0;
  {
    vantrel::Win32PictureDecoder decoder;
    // What the saver's picture thread asks for: the texture's own size at
    // once, for the default sphere at 96 DPI, then the mip chain.
    const vantrel::SceneSettings scene{3, 25, {5, 5}};
    const vantrel::TargetSize as_texture = [&](vantrel::PictureSize own) {
      return vantrel::sphere_texture_size(own, scene, {1920, 1080, 96}, 4096);
    };
    decoder_ms = median_ms([&] {
      if (auto decoded = decoder.decode_file(path, as_texture, vantrel::Resampling::Smooth))
        (void)vantrel::make_mip_chain(std::move(decoded->pixels));
    });
  }

  std::string wic_note;
  double wic_ms = -1;
  if (factory) {
    std::optional<Picture> reduced;
    wic_ms = median_ms([&] { reduced = wic_reduced_decode(factory, bytes, wic_note); });
    if (!reduced) wic_ms = -1;
  } else {
    wic_note = "no WIC factory";
  }

  const double chain_ms = read_ms + load_ms + lock_ms + fit_ms + power_of_two_ms + upload_ms;
  std::printf("%s: %ux%u, %zu bytes -> fitted %dx%d -> texture %dx%d\n", path.c_str(), width, height, bytes.size(),
              fitted.width, fitted.height, texture.width, texture.height);
  std::printf("  read file %8.1f ms\n", read_ms);
  std::printf("  GDI+ load (decode) %8.1f ms\n", load_ms);
  std::printf("  GDI+ lock bits %8.1f ms\n", lock_ms);
  std::printf("  scale_to_fit %8.1f ms\n", fit_ms);
  std::printf("  to_power_of_two %8.1f ms\n", power_of_two_ms);
  std::printf("  texture upload %8.1f ms\n", upload_ms);
  std::printf("  sum of the steps %8.1f ms (the saver's decode to its texture and mip chain, whole: %.1f ms)\n", chain_ms, decoder_ms);
  std::printf("  instead: one resampling straight to %dx%d %8.1f ms (saves %.1f ms of fit + power of two)\n",
              texture.width, texture.height, one_pass_ms, fit_ms + power_of_two_ms - one_pass_ms);
  if (opaque_ms >= 0) {
    std::printf("  instead: the same, for opaque 24-bit pixels %8.1f ms (largest difference from ours: %d levels)\n",
                opaque_ms, opaque_difference);
  }
  if (wic_ms >= 0) {
    std::printf("  instead: WIC reduced decode + fit %8.1f ms (%s) against GDI+ load + lock + fit %.1f ms\n", wic_ms,
                wic_note.c_str(), load_ms + lock_ms + fit_ms);
  } else {
    std::printf("  instead: WIC reduced decode: not measured (%s)\n", wic_note.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: saver_decode_bench_win32.exe PICTURE...\n");
    return 2;
  }
  const auto session = vantrel::GdiplusSession::start();
  if (!session) {
    std::fprintf(stderr, "GDI+ did not start\n");
    return 1;
  }
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  IWICImagingFactory* raw_factory = nullptr;
  if (com) {
    CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kIidWicImagingFactory,
                     reinterpret_cast<void**>(&raw_factory));
  }
  {
    // The first in the process, as in the saver: opengl32 and the driver load here.
    const auto start = std::chrono::steady_clock::now();
    const auto gl = vantrel::OffscreenGl::create(1920, 1080);
    const double gl_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("first window with a GL context, 1920x1080: %.1f ms%s\n", gl_ms, gl ? "" : " (failed)");
  }
  {
    const Com<IWICImagingFactory> factory(raw_factory);
    for (int i = 1; i < argc; ++i) bench_picture(argv[i], factory.get());
  }
  if (com) CoUninitialize();
  return 0;
}
