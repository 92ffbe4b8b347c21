#pragma once
// Picture decoding as the core sees it: bitmap, GIF, JPEG and placeable
// metafile files (the image kinds the program lists) into RGBA pixels.

#include <optional>
#include <string>
#include <string_view>

#include "platform/picture.h"

namespace vantrel {

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;

  // The picture in the file at `utf8_path`, scaled down (aspect kept, never
  // up) so that its longer side is at most max_side (>= 1) pixels. A metafile
  // is drawn at its own size (its physical size at 96 pixels an inch), or
  // directly at the smaller size when that exceeds max_side. Nothing when the
  // path is empty, the file is missing or unreadable, is no picture of a kind
  // the decoder knows, or has no pixels. The file is closed on return.
  virtual std::optional<Picture> decode(const std::string& utf8_path, int max_side) = 0;

  // The same for the bytes of a picture file held in memory.
  virtual std::optional<Picture> decode_bytes(std::string_view bytes, int max_side) = 0;
};

}  // namespace vantrel
