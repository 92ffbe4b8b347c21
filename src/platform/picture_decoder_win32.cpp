#include "platform/picture_decoder_win32.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/handles_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

// Files above this are no pictures we could show: refused before reading.
constexpr LONGLONG kLargestFile = 1LL << 30;

// A metafile's own size is its physical size at this many pixels an inch, the
// resolution pictures were drawn for when metafiles were made.
constexpr double kMetafilePixelsPerInch = 96.0;

// A metafile's transparent parts show this opaque background.
constexpr gp::ARGB kMetafileBackground = 0xFFFFFFFF;  // white

struct GlobalDeleter {
  void operator()(void* memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalDeleter>;

struct StreamDeleter {
  void operator()(IStream* stream) const { stream->Release(); }
};
using Stream = std::unique_ptr<IStream, StreamDeleter>;

struct ImageDeleter {
  void operator()(gp::GpImage* image) const { flat::GdipDisposeImage(image); }
};
using Image = std::unique_ptr<gp::GpImage, ImageDeleter>;

struct GraphicsDeleter {
  void operator()(gp::GpGraphics* graphics) const { flat::GdipDeleteGraphics(graphics); }
};
using Graphics = std::unique_ptr<gp::GpGraphics, GraphicsDeleter>;

// A stream over a movable memory block of `size` bytes that `fill` writes;
// the stream frees the block when released. `fill` returns false to give up.
template <typename Fill>
Stream make_memory_stream(std::size_t size, Fill fill) {
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return nullptr;
  void* bytes = GlobalLock(memory.get());
  if (!bytes) return nullptr;
  const bool filled = fill(static_cast<std::uint8_t*>(bytes));
  GlobalUnlock(memory.get());
  if (!filled) return nullptr;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, &stream))) return nullptr;
  memory.release();  // the stream owns it now
  return Stream(stream);
}

Stream read_file_stream(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestFile) {
    return nullptr;
  }
  const auto total = static_cast<std::size_t>(size.QuadPart);
  return make_memory_stream(total, [&](std::uint8_t* bytes) {
    std::size_t done = 0;
    while (done < total) {
      DWORD read = 0;
      const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(total - done, 1u << 24));
      if (!ReadFile(file.get(), bytes + done, wanted, &read, nullptr) || read == 0) return false;
      done += read;
    }
    return true;
  });
}

// The size `target` asks for, or nothing for an answer no picture can have.
std::optional<PictureSize> checked_target(const TargetSize& target, PictureSize own) {
  const PictureSize size = target(own);
  assert(size.width >= 1 && size.height >= 1 && "a target size below one pixel is a caller's mistake");
  if (size.width < 1 || size.height < 1 || size.width > INT_MAX / 4 / size.height) return std::nullopt;
  return size;
}

// Locks the whole bitmap for reading and scales it straight from the locked
// rows. Formats our resampler reads are locked as they are, which spares a
// full-size conversion of a large photo; any other (palettes, 16 or 48 bits,
// premultiplied, CMYK) is converted to 32-bit ARGB by GDI+.
std::optional<Picture> scale_bitmap(gp::GpBitmap* bitmap, PictureSize own, PictureSize size, Resampling resampling) {
  gp::PixelFormat format = PixelFormatUndefined;
  flat::GdipGetImagePixelFormat(bitmap, &format);
  PixelLayout layout = PixelLayout::Bgra;  // GDI+'s 32bppARGB is B, G, R, A in memory
  switch (format) {
    case PixelFormat24bppRGB:
      layout = PixelLayout::Bgr;
      break;
    case PixelFormat32bppRGB:
      layout = PixelLayout::Bgrx;
      break;
    default:
      format = PixelFormat32bppARGB;
      break;
  }
  const gp::GpRect area(0, 0, own.width, own.height);
  gp::BitmapData data{};
  if (flat::GdipBitmapLockBits(bitmap, &area, gp::ImageLockModeRead, format, &data) != gp::Ok) return std::nullopt;
  const PixelRows rows{static_cast<const std::uint8_t*>(data.Scan0), own.width, own.height, data.Stride, layout};
  std::optional<Picture> picture;
  try {
    picture = resampling == Resampling::Nearest ? sample_nearest(rows, size.width, size.height)
                                                : resample(rows, size.width, size.height);
  } catch (const std::bad_alloc&) {
    // unlocked below; the caller sees nothing
  }
  flat::GdipBitmapUnlockBits(bitmap, &data);
  return picture;
}

// A metafile has no pixels of its own: it is played onto a bitmap of the
// target size, so a drawing is rendered sharp at the size it is shown rather
// than resampled.
std::optional<DecodedPicture> decode_metafile(gp::GpImage* image, int width, int height, const TargetSize& target) {
  gp::REAL resolution_x = 0;
  gp::REAL resolution_y = 0;
  flat::GdipGetImageHorizontalResolution(image, &resolution_x);
  flat::GdipGetImageVerticalResolution(image, &resolution_y);
  const auto to_pixels = [](int units, gp::REAL units_per_inch) {
    if (!(units_per_inch > 0)) return units;  // no resolution stated: units are pixels
    return static_cast<int>(std::lround(units * kMetafilePixelsPerInch / units_per_inch));
  };
  const PictureSize own{to_pixels(width, resolution_x), to_pixels(height, resolution_y)};
  if (own.width <= 0 || own.height <= 0) return std::nullopt;
  const std::optional<PictureSize> size = checked_target(target, own);
  if (!size) return std::nullopt;

  gp::GpBitmap* raw_canvas = nullptr;
  if (flat::GdipCreateBitmapFromScan0(size->width, size->height, 0, PixelFormat32bppARGB, nullptr, &raw_canvas) !=
      gp::Ok) {
    return std::nullopt;
  }
  const Image canvas(raw_canvas);
  {
    gp::GpGraphics* raw_graphics = nullptr;
    if (flat::GdipGetImageGraphicsContext(canvas.get(), &raw_graphics) != gp::Ok) return std::nullopt;
    const Graphics graphics(raw_graphics);
    flat::GdipGraphicsClear(graphics.get(), kMetafileBackground);
    if (flat::GdipDrawImageRectI(graphics.get(), image, 0, 0, size->width, size->height) != gp::Ok) {
      return std::nullopt;
    }
  }
  // Already at the target size: a copy.
  std::optional<Picture> pixels = scale_bitmap(raw_canvas, *size, *size, Resampling::Nearest);
  if (!pixels) return std::nullopt;
  return DecodedPicture{own, std::move(*pixels)};
}

std::optional<DecodedPicture> decode_stream(IStream* stream, const TargetSize& target, Resampling resampling) {
  gp::GpImage* raw_image = nullptr;
  if (flat::GdipLoadImageFromStream(stream, &raw_image) != gp::Ok) return std::nullopt;
  const Image image(raw_image);
  UINT width = 0;
  UINT height = 0;
  gp::ImageType type = gp::ImageTypeUnknown;
  if (flat::GdipGetImageWidth(image.get(), &width) != gp::Ok ||
      flat::GdipGetImageHeight(image.get(), &height) != gp::Ok ||
      flat::GdipGetImageType(image.get(), &type) != gp::Ok) {
    return std::nullopt;
  }
  if (width == 0 || height == 0 || width > INT_MAX / 4 || height > INT_MAX / 4) return std::nullopt;
  const PictureSize own{static_cast<int>(width), static_cast<int>(height)};
  switch (type) {
    case gp::ImageTypeBitmap: {
      const std::optional<PictureSize> size = checked_target(target, own);
      if (!size) return std::nullopt;
      std::optional<Picture> pixels = scale_bitmap(static_cast<gp::GpBitmap*>(image.get()), own, *size, resampling);
      if (!pixels) return std::nullopt;
      return DecodedPicture{own, std::move(*pixels)};
    }
    case gp::ImageTypeMetafile:
      return decode_metafile(image.get(), own.width, own.height, target);
    default:
      return std::nullopt;
  }
}

}  // namespace

GdiplusPictureDecoder::GdiplusPictureDecoder() : session_(GdiplusSession::start()) {}

GdiplusPictureDecoder::~GdiplusPictureDecoder() = default;

std::optional<DecodedPicture> GdiplusPictureDecoder::decode_file(const std::string& utf8_path,
                                                                const TargetSize& target, Resampling resampling) {
  if (!session_ || utf8_path.empty()) return std::nullopt;
  try {
    const Stream stream = read_file_stream(to_wide(utf8_path));
    if (!stream) return std::nullopt;
    return decode_stream(stream.get(), target, resampling);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // a picture too large for memory is an unreadable one
  }
}

std::optional<DecodedPicture> GdiplusPictureDecoder::decode_memory(std::string_view bytes, const TargetSize& target,
                                                                  Resampling resampling) {
  if (!session_ || bytes.empty() || static_cast<LONGLONG>(bytes.size()) > kLargestFile) return std::nullopt;
  try {
    const Stream stream = make_memory_stream(bytes.size(), [&](std::uint8_t* destination) {
      std::memcpy(destination, bytes.data(), bytes.size());
      return true;
    });
    if (!stream) return std::nullopt;
    return decode_stream(stream.get(), target, resampling);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace vantrel
