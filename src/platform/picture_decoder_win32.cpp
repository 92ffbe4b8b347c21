#include "platform/picture_decoder_win32.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <wincodec.h>

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/exif_orientation.h"
#include "platform/gdiplus_session_win32.h"
#include "platform/handles_win32.h"
#include "platform/picture_header.h"
#include "platform/picture_orientation.h"
#include "platform/wic_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

// A metafile's own size is its physical size at this many pixels an inch, the
// resolution pictures were drawn for when metafiles were made.
constexpr double kMetafilePixelsPerInch = 96.0;

// A metafile's transparent parts show this opaque background.
constexpr gp::ARGB kMetafileBackground = 0xFFFFFFFF;  // white

// Rows asked of the codec at a time: a few hundred kilobytes for a wide photo.
constexpr UINT kStripRows = 32;

// The most bytes a codec may hold for one file: kMaxDecodedPixels at 32 bits,
// so that every 8-bit picture within the pixel bound passes, and only deeper
// pixels (16-bit PNGs) count for more.
constexpr std::uint64_t kMaxHeldBytes = kMaxDecodedPixels * 4;

// A 16 x 16 grey baseline JPEG: one quantisation table, one code in each
// Huffman table, every block flat.
constexpr unsigned char kProbeJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x10, 0x0B, 0x0C, 0x0E, 0x0C, 0x0A, 0x10, 0x0E, 0x0D, 0x0E, 0x12,
    0x11, 0x10, 0x13, 0x18, 0x28, 0x1A, 0x18, 0x16, 0x16, 0x18, 0x31, 0x23, 0x25, 0x1D, 0x28, 0x3A, 0x33, 0x3D,
    0x3C, 0x39, 0x33, 0x38, 0x37, 0x40, 0x48, 0x5C, 0x4E, 0x40, 0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6D, 0x51,
    0x57, 0x5F, 0x62, 0x67, 0x68, 0x67, 0x3E, 0x4D, 0x71, 0x79, 0x70, 0x64, 0x78, 0x5C, 0x65, 0x67, 0x63, 0xFF,
    0xC0, 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4,
    0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x00, 0xFF, 0xD9};
constexpr UINT kProbeJpegSide = 16;

struct GlobalDeleter {
  void operator()(void* memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalDeleter>;

struct ImageDeleter {
  void operator()(gp::GpImage* image) const { flat::GdipDisposeImage(image); }
};
using Image = std::unique_ptr<gp::GpImage, ImageDeleter>;

struct GraphicsDeleter {
  void operator()(gp::GpGraphics* graphics) const { flat::GdipDeleteGraphics(graphics); }
};
using Graphics = std::unique_ptr<gp::GpGraphics, GraphicsDeleter>;

// A codec refused to give rows it had promised (a file cut short, say).
struct RowsUnavailable : std::runtime_error {
  RowsUnavailable() : std::runtime_error("the codec gave no rows") {}
};

// A stream over a movable memory block of `size` bytes that `fill` writes;
// the stream frees the block when released. `fill` returns false to give up.
template <typename Fill>
Com<IStream> make_memory_stream(std::size_t size, Fill fill) {
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
  return Com<IStream>(stream);
}

Com<IStream> read_file_stream(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestPictureFile) {
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

// The bytes behind a memory stream, locked in place while this lives: our
// own readers look at the file without a copy and without a codec.
class StreamBytes {
 public:
  explicit StreamBytes(IStream* stream) {
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream, &memory_)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return;
    if (const void* bytes = GlobalLock(memory_)) {
      bytes_ = std::string_view(static_cast<const char*>(bytes), static_cast<std::size_t>(stat.cbSize.QuadPart));
      locked_ = true;
    }
  }
  ~StreamBytes() {
    if (locked_) GlobalUnlock(memory_);
  }
  StreamBytes(const StreamBytes&) = delete;
  StreamBytes& operator=(const StreamBytes&) = delete;

  // Nothing when the stream has no memory block to lock.
  std::optional<std::string_view> bytes() const { return locked_ ? std::optional(bytes_) : std::nullopt; }

 private:
  HGLOBAL memory_ = nullptr;
  std::string_view bytes_;
  bool locked_ = false;
};

// Whether a codec may be given the bytes at all, judged from what their
// header declares. The bound must hold before a codec opens the file: opening
// is where Wine's codecs decode the whole picture (432 MB for a 702-byte JPEG
// claiming 12,000 x 12,000), so the frame's size, known only after, comes too
// late there. Bytes that begin as a JPEG, PNG, GIF or bitmap must declare a
// size, and decoding them whole must hold at most kMaxDecodedPixels and
// kMaxHeldBytes, a JPEG counted at the smallest size its codec decodes it at:
// on Windows a JPEG of up to 64 times the bound is still shown, reduced.
// Other bytes (metafiles, and whatever else a codec knows) are left to the
// codecs. The frame's own size is still checked after opening, for what a
// header may hide (a GIF whose frame outgrows its screen).
bool may_open(std::string_view bytes, int jpeg_reduction) {
  const PictureHeader header = read_picture_header(bytes);
  if (header.format == HeaderFormat::Other) return true;
  if (!header.declared) return false;
  const DecodeCost cost = decode_cost(header.format, *header.declared, jpeg_reduction);
  return cost.pixels <= static_cast<std::uint64_t>(kMaxDecodedPixels) && cost.bytes <= kMaxHeldBytes;
}

// A decode that gives the picture upright: the caller's target is asked with
// the upright size, the codec decodes the stored pixels at that size turned
// back, and only the reduced pixels are turned (never the full-size ones).
struct Upright {
  Orientation orientation;

  PictureSize stored(PictureSize upright) const { return upright_size(upright, orientation); }

  TargetSize stored_target(const TargetSize& target) const {
    return [this, &target](PictureSize stored_own) { return stored(target(upright_size(stored_own, orientation))); };
  }

  DecodedPicture turn(DecodedPicture decoded) const {
    if (orientation == Orientation::Normal) return decoded;
    return {upright_size(decoded.own_size, orientation), orient_upright(decoded.pixels, orientation)};
  }
};

void rewind(IStream* stream) {
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

// The size `target` asks for, or nothing for an answer no picture can have.
std::optional<PictureSize> checked_target(const TargetSize& target, PictureSize own) {
  const PictureSize size = target(own);
  assert(size.width >= 1 && size.height >= 1 && "a target size below one pixel is a caller's mistake");
  if (size.width < 1 || size.height < 1 || size.width > INT_MAX / 4 / size.height) return std::nullopt;
  return size;
}

// The layout of a pixel format our resampler reads as it comes, or nothing.
std::optional<PixelLayout> layout_of(const WICPixelFormatGUID& format) {
  if (format == kFormat24bppBgr) return PixelLayout::Bgr;
  if (format == kFormat32bppBgr) return PixelLayout::Bgrx;
  if (format == kFormat32bppBgra) return PixelLayout::Bgra;
  return std::nullopt;
}

// Bytes from one row to the next as the codec writes them: whole pixels,
// each row padded to four bytes.
UINT row_stride(UINT width, PixelLayout layout) { return (width * (layout == PixelLayout::Bgr ? 3 : 4) + 3) & ~3u; }

// Rows read from the codec a strip at a time into one small buffer.
class CodecStrips final : public RowSource {
 public:
  CodecStrips(IWICBitmapSource* source, int width, int height, PixelLayout layout)
      : source_(source), width_(width), height_(height), layout_(layout),
        stride_(row_stride(static_cast<UINT>(width), layout)) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  PixelLayout layout() const override { return layout_; }
  const std::uint8_t* row(int y) override {
    if (y < first_ || y >= first_ + rows_) {
      rows_ = std::min<int>(kStripRows, height_ - y);
      buffer_.resize(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(rows_));
      const WICRect area{0, y, width_, rows_};
      if (FAILED(source_->CopyPixels(&area, stride_, static_cast<UINT>(buffer_.size()), buffer_.data())))
        throw RowsUnavailable();
      first_ = y;
    }
    return buffer_.data() + static_cast<std::size_t>(y - first_) * stride_;
  }

 private:
  IWICBitmapSource* source_;
  int width_;
  int height_;
  PixelLayout layout_;
  UINT stride_;
  int first_ = 0;
  int rows_ = 0;
  std::vector<std::uint8_t> buffer_;
};

// The outcome of asking the imaging component.
enum class WicAnswer { Decoded, NotItsKind, Unreadable };

// A raster picture through the imaging component: the header's size first,
// then, if the picture is within the bound, its pixels at the target size.
WicAnswer decode_raster(IWICImagingFactory* factory, IStream* stream, const TargetSize& target,
                        Resampling resampling, std::optional<DecodedPicture>& out) {
  IWICBitmapDecoder* raw_decoder = nullptr;
  if (FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &raw_decoder)))
    return WicAnswer::NotItsKind;
  const Com<IWICBitmapDecoder> decoder(raw_decoder);
  // Only the containers whose header was weighed reach a frame: another one
  // (an icon or a TIFF named .jpg) may hold a picture of any size, and Wine's
  // codecs decode it whole when the frame opens (1.6 GB for an icon holding
  // a huge PNG). None of them is a kind the program lists.
  GUID container{};
  if (FAILED(decoder->GetContainerFormat(&container)) ||
      (container != kContainerJpeg && container != kContainerPng && container != kContainerGif &&
       container != kContainerBmp)) {
    return WicAnswer::Unreadable;
  }
  IWICBitmapFrameDecode* raw_frame = nullptr;
  if (FAILED(decoder->GetFrame(0, &raw_frame))) return WicAnswer::Unreadable;
  const Com<IWICBitmapFrameDecode> frame(raw_frame);
  UINT width = 0;
  UINT height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > INT_MAX / 4 ||
      height > INT_MAX / 4) {
    return WicAnswer::Unreadable;
  }
  const PictureSize own{static_cast<int>(width), static_cast<int>(height)};
  const std::optional<PictureSize> size = checked_target(target, own);
  if (!size) return WicAnswer::Unreadable;

  // A codec that decodes at a reduced size (JPEG on Windows) is asked for the
  // smallest size that still has the target's pixels.
  WicSourceTransform* raw_transform = nullptr;
  if ((size->width < own.width || size->height < own.height) &&
      SUCCEEDED(frame->QueryInterface(kIidWicBitmapSourceTransform, reinterpret_cast<void**>(&raw_transform)))) {
    const Com<WicSourceTransform> transform(raw_transform);
    UINT reduced_width = static_cast<UINT>(size->width);
    UINT reduced_height = static_cast<UINT>(size->height);
    WICPixelFormatGUID format = kFormat32bppBgra;
    if (SUCCEEDED(transform->GetClosestSize(&reduced_width, &reduced_height)) &&
        SUCCEEDED(transform->GetClosestPixelFormat(&format)) &&
        layout_of(format) && reduced_width < width &&
        static_cast<long long>(reduced_width) * reduced_height <= kMaxDecodedPixels) {
      const PixelLayout layout = *layout_of(format);
      const UINT stride = row_stride(reduced_width, layout);
      std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * reduced_height);
      if (FAILED(transform->CopyPixels(nullptr, reduced_width, reduced_height, &format, WICBitmapTransformRotate0,
                                       stride, static_cast<UINT>(pixels.size()), pixels.data()))) {
        return WicAnswer::Unreadable;
      }
      PixelRows rows{pixels.data(), static_cast<int>(reduced_width), static_cast<int>(reduced_height),
                     static_cast<std::ptrdiff_t>(stride), layout};
      out = DecodedPicture{own, resample(rows, *size, resampling)};
      return WicAnswer::Decoded;
    }
  }
  if (static_cast<long long>(own.width) * own.height > kMaxDecodedPixels) return WicAnswer::Unreadable;

  // Formats our resampler reads are taken as they come; any other (palettes,
  // 16 or 48 bits, CMYK) is converted to 32-bit BGRA by the component.
  WICPixelFormatGUID native{};
  frame->GetPixelFormat(&native);
  IWICBitmapSource* rows_from = frame.get();
  PixelLayout layout = PixelLayout::Bgra;
  Com<IWICFormatConverter> converter;
  if (const auto as_it_comes = layout_of(native)) {
    layout = *as_it_comes;
  } else {
    IWICFormatConverter* raw_converter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&raw_converter))) return WicAnswer::Unreadable;
    converter.reset(raw_converter);
    if (FAILED(converter->Initialize(frame.get(), kFormat32bppBgra, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
      return WicAnswer::Unreadable;
    }
    rows_from = converter.get();
  }
  CodecStrips rows(rows_from, own.width, own.height, layout);
  out = DecodedPicture{own, resample(rows, *size, resampling)};
  return WicAnswer::Decoded;
}

// The largest divisor of a JPEG's sides the component's codec decodes at: 8
// where it decodes reduced (Windows), 1 where it decodes every JPEG whole
// (Wine). A file cannot be asked without being opened, and opening is where
// Wine's codec decodes, so a tiny JPEG of our own is asked instead.
int jpeg_reduction_of(IWICImagingFactory* factory) {
  const Com<IStream> stream = make_memory_stream(sizeof kProbeJpeg, [](std::uint8_t* bytes) {
    std::memcpy(bytes, kProbeJpeg, sizeof kProbeJpeg);
    return true;
  });
  IWICBitmapDecoder* raw_decoder = nullptr;
  if (!stream ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, &raw_decoder)))
    return 1;
  const Com<IWICBitmapDecoder> decoder(raw_decoder);
  IWICBitmapFrameDecode* raw_frame = nullptr;
  if (FAILED(decoder->GetFrame(0, &raw_frame))) return 1;
  const Com<IWICBitmapFrameDecode> frame(raw_frame);
  WicSourceTransform* raw_transform = nullptr;
  if (FAILED(frame->QueryInterface(kIidWicBitmapSourceTransform, reinterpret_cast<void**>(&raw_transform)))) return 1;
  const Com<WicSourceTransform> transform(raw_transform);
  UINT width = 1;
  UINT height = 1;
  if (FAILED(transform->GetClosestSize(&width, &height)) || width == 0) return 1;
  // The largest power of two up to 8 that the offered side reaches.
  int reduction = 1;
  while (reduction < 8 && kProbeJpegSide / (2u * static_cast<UINT>(reduction)) >= width) reduction *= 2;
  return reduction;
}

// A GDI+ bitmap's pixels locked for reading, unlocked when this goes.
class LockedBits {
 public:
  LockedBits(gp::GpBitmap* bitmap, PictureSize size) : bitmap_(bitmap) {
    const gp::GpRect area(0, 0, size.width, size.height);
    locked_ = flat::GdipBitmapLockBits(bitmap, &area, gp::ImageLockModeRead, PixelFormat32bppARGB, &data_) == gp::Ok;
  }
  ~LockedBits() {
    if (locked_) flat::GdipBitmapUnlockBits(bitmap_, &data_);
  }
  LockedBits(const LockedBits&) = delete;
  LockedBits& operator=(const LockedBits&) = delete;

  // The locked rows, or nothing when the lock was refused.
  std::optional<PixelRows> rows() const {
    if (!locked_) return std::nullopt;
    return PixelRows{static_cast<const std::uint8_t*>(data_.Scan0), static_cast<int>(data_.Width),
                     static_cast<int>(data_.Height), data_.Stride, PixelLayout::Bgra};
  }

 private:
  gp::GpBitmap* bitmap_;
  gp::BitmapData data_{};
  bool locked_ = false;
};

// A metafile has no pixels of its own: it is played onto a bitmap of the
// target size, so a drawing is rendered sharp at the size it is shown rather
// than resampled. GDI+ knows metafiles; anything else it would load the
// imaging component has already judged.
std::optional<DecodedPicture> decode_metafile(IStream* stream, const TargetSize& target) {
  gp::GpImage* raw_image = nullptr;
  if (flat::GdipLoadImageFromStream(stream, &raw_image) != gp::Ok) return std::nullopt;
  const Image image(raw_image);
  UINT width = 0;
  UINT height = 0;
  gp::ImageType type = gp::ImageTypeUnknown;
  if (flat::GdipGetImageType(image.get(), &type) != gp::Ok || type != gp::ImageTypeMetafile ||
      flat::GdipGetImageWidth(image.get(), &width) != gp::Ok ||
      flat::GdipGetImageHeight(image.get(), &height) != gp::Ok || width == 0 || height == 0 ||
      width > INT_MAX / 4 || height > INT_MAX / 4) {
    return std::nullopt;
  }
  gp::REAL resolution_x = 0;
  gp::REAL resolution_y = 0;
  flat::GdipGetImageHorizontalResolution(image.get(), &resolution_x);
  flat::GdipGetImageVerticalResolution(image.get(), &resolution_y);
  const auto to_pixels = [](UINT units, gp::REAL units_per_inch) {
    if (!(units_per_inch > 0)) return static_cast<long long>(units);  // no resolution stated: units are pixels
    return std::llround(units * kMetafilePixelsPerInch / units_per_inch);
  };
  const long long own_width = to_pixels(width, resolution_x);
  const long long own_height = to_pixels(height, resolution_y);
  if (own_width <= 0 || own_height <= 0 || own_width > INT_MAX / 4 || own_height > INT_MAX / 4) return std::nullopt;
  const PictureSize own{static_cast<int>(own_width), static_cast<int>(own_height)};
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
    if (flat::GdipDrawImageRectI(graphics.get(), image.get(), 0, 0, size->width, size->height) != gp::Ok) {
      return std::nullopt;
    }
  }
  // Already at the target size: a copy.
  const LockedBits bits(raw_canvas, *size);
  std::optional<PixelRows> rows = bits.rows();
  if (!rows) return std::nullopt;
  return DecodedPicture{own, resample(*rows, *size, Resampling::Nearest)};
}

}  // namespace

// COM for the imaging component (started for this thread unless it already
// runs here in another model, which serves as well), the component's
// factory, and a GDI+ session for metafiles.
struct Win32PictureDecoder::Parts {
  HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Com<IWICImagingFactory> factory;
  std::unique_ptr<GdiplusSession> gdiplus = GdiplusSession::start();
  int jpeg_reduction = 1;

  Parts() {
    IWICImagingFactory* raw_factory = nullptr;
    if (SUCCEEDED(CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kIidWicImagingFactory,
                                   reinterpret_cast<void**>(&raw_factory)))) {
      factory.reset(raw_factory);
      jpeg_reduction = jpeg_reduction_of(factory.get());
    }
  }
  ~Parts() {
    factory.reset();
    gdiplus.reset();
    if (SUCCEEDED(com)) CoUninitialize();
  }

  std::optional<DecodedPicture> decode(IStream* stream, const TargetSize& target, Resampling resampling) {
    // Photos taken on their side say so in their EXIF block; the codecs
    // leave the pixels as stored.
    Orientation orientation = Orientation::Normal;
    {
      const StreamBytes view(stream);
      const std::optional<std::string_view> bytes = view.bytes();
      if (!bytes || !may_open(*bytes, jpeg_reduction)) return std::nullopt;
      orientation = exif_orientation(*bytes);
    }
    if (factory) {
      const Upright upright{orientation};
      std::optional<DecodedPicture> picture;
      switch (decode_raster(factory.get(), stream, upright.stored_target(target), resampling, picture)) {
        case WicAnswer::Decoded:
          return upright.turn(std::move(*picture));
        case WicAnswer::Unreadable:
          return std::nullopt;
        case WicAnswer::NotItsKind:
          break;
      }
      rewind(stream);
    }
    if (gdiplus) return decode_metafile(stream, target);
    return std::nullopt;
  }
};

// The one place a decode's failures end: a picture too large for memory is
// an unreadable one, and so is one whose codec stops giving rows part-way.
template <typename Decode>
std::optional<DecodedPicture> unreadable_on_failure(Decode decode) noexcept {
  try {
    return decode();
  } catch (const std::bad_alloc&) {
  } catch (const RowsUnavailable&) {
  }
  return std::nullopt;
}

Win32PictureDecoder::Win32PictureDecoder() : parts_(std::make_unique<Parts>()) {}

Win32PictureDecoder::~Win32PictureDecoder() = default;

bool Win32PictureDecoder::ready() const { return parts_->factory || parts_->gdiplus; }

std::optional<DecodedPicture> Win32PictureDecoder::decode_file(const std::string& utf8_path, const TargetSize& target,
                                                              Resampling resampling) {
  if (!ready() || utf8_path.empty()) return std::nullopt;
  return unreadable_on_failure([&]() -> std::optional<DecodedPicture> {
    const Com<IStream> stream = read_file_stream(to_wide(utf8_path));
    if (!stream) return std::nullopt;
    return parts_->decode(stream.get(), target, resampling);
  });
}

std::optional<DecodedPicture> Win32PictureDecoder::decode_memory(std::string_view bytes, const TargetSize& target,
                                                                Resampling resampling) {
  if (!ready() || bytes.empty() || static_cast<long long>(bytes.size()) > kLargestPictureFile) return std::nullopt;
  return unreadable_on_failure([&]() -> std::optional<DecodedPicture> {
    const Com<IStream> stream = make_memory_stream(bytes.size(), [&](std::uint8_t* destination) {
      std::memcpy(destination, bytes.data(), bytes.size());
      return true;
    });
    if (!stream) return std::nullopt;
    return parts_->decode(stream.get(), target, resampling);
  });
}

}  // namespace vantrel
