#pragma once
// Picture decoding as the core sees it: bitmap, GIF, JPEG and placeable
// metafile files (the image kinds the program lists) into RGBA pixels.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/picture.h"

namespace vantrel {

// The size the pixels are wanted at, chosen once the picture's own size is
// known. Both sides of the answer must be at least 1.
using TargetSize = std::function<PictureSize(PictureSize own_size)>;

struct DecodedPicture {
  // The picture's own size in pixels; a metafile's is its physical size at 96
  // pixels an inch.
  PictureSize own_size;
  Picture pixels;  // at the target size
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;

  // The picture in the file at `utf8_path` at the size `target` chooses. A
  // metafile is drawn directly at that size, so it stays sharp. Nothing when
  // the path is empty, the file is missing or unreadable, is no picture of a
  // kind the decoder knows, or has no pixels. The file is closed on return.
  virtual std::optional<DecodedPicture> decode_file(const std::string& utf8_path, const TargetSize& target,
                                                    Resampling resampling) = 0;

  // The same for the bytes of a picture file held in memory.
  virtual std::optional<DecodedPicture> decode_memory(std::string_view bytes, const TargetSize& target,
                                                      Resampling resampling) = 0;

  // The picture smoothly scaled down (aspect kept, never up) so that its
  // longer side is at most max_side (>= 1) pixels.
  std::optional<Picture> decode(const std::string& utf8_path, int max_side);
  std::optional<Picture> decode_bytes(std::string_view bytes, int max_side);
};

}  // namespace vantrel
