#pragma once
// The picture decoder on Windows: the system's Windows Imaging Component
// reads raster pictures (bitmap, GIF, JPEG and whatever else it knows), GDI+
// plays metafiles, and our own resampler scales (the same area average on
// every system, Wine included).
//
// Pictures that would cost too much are refused before any pixel is decoded:
// the size is read from the file's header first. Rows come from the codec a
// strip at a time, so beside the codec's own buffer no full-size copy ever
// exists; where the codec decodes at a reduced size (JPEG on Windows), only
// the size needed is decoded at all.

#include <memory>

#include "platform/picture_decoder.h"

namespace vantrel {

// The most pixels a picture is decoded at. A picture larger than this (a
// bitmap whose header claims 60,000 x 60,000) is one that cannot be read,
// unless its codec decodes it at a reduced size within the bound.
inline constexpr long long kMaxDecodedPixels = 64LL * 1000 * 1000;

// A file larger than this is no picture the program would show.
inline constexpr long long kLargestPictureFile = 256LL * 1024 * 1024;

class Win32PictureDecoder final : public PictureDecoder {
 public:
  // Starts COM (for the imaging component) and GDI+ for the calling thread;
  // use the decoder on that thread only. When neither can start, ready() is
  // false and every decode gives nothing.
  Win32PictureDecoder();
  ~Win32PictureDecoder() override;
  Win32PictureDecoder(const Win32PictureDecoder&) = delete;
  Win32PictureDecoder& operator=(const Win32PictureDecoder&) = delete;

  bool ready() const;

  // The file is read whole into memory, with every sharing mode allowed, and
  // closed before decoding: another program may write, rename or delete it
  // meanwhile, and nothing holds it afterwards.
  std::optional<DecodedPicture> decode_file(const std::string& utf8_path, const TargetSize& target,
                                            Resampling resampling) override;
  std::optional<DecodedPicture> decode_memory(std::string_view bytes, const TargetSize& target,
                                              Resampling resampling) override;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace vantrel
