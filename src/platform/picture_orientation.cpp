#include "platform/picture_orientation.h"

#include <cassert>
#include <cstddef>
#include <cstring>

namespace vantrel {
namespace {

// Every orientation as up to three steps from an upright pixel back to its
// stored one: swap the axes (transpose), then mirror along stored x or y.
struct Mapping {
  bool transpose = false;
  bool mirror_x = false;
  bool mirror_y = false;
};

Mapping mapping_of(Orientation orientation) {
  switch (orientation) {
    case Orientation::Normal:
      return {false, false, false};
    case Orientation::MirrorHorizontal:
      return {false, true, false};
    case Orientation::Rotate180:
      return {false, true, true};
    case Orientation::MirrorVertical:
      return {false, false, true};
    case Orientation::Transpose:
      return {true, false, false};
    case Orientation::Rotate90:
      return {true, false, true};
    case Orientation::Transverse:
      return {true, true, true};
    case Orientation::Rotate270:
      return {true, true, false};
  }
  assert(false && "an orientation outside 1-8 is a caller's mistake");
  return {};
}

}  // namespace

Picture orient_upright(const Picture& stored, Orientation orientation) {
  assert(stored.rgba.size() == static_cast<std::size_t>(stored.width) * stored.height * 4 &&
         "a picture's pixels must fill width x height");
  const Mapping mapping = mapping_of(orientation);
  const PictureSize size = upright_size({stored.width, stored.height}, orientation);
  Picture upright{size.width, size.height, std::vector<std::uint8_t>(stored.rgba.size())};
  std::uint8_t* out = upright.rgba.data();
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x) {
      int stored_x = mapping.transpose ? y : x;
      int stored_y = mapping.transpose ? x : y;
      if (mapping.mirror_x) stored_x = stored.width - 1 - stored_x;
      if (mapping.mirror_y) stored_y = stored.height - 1 - stored_y;
      const std::size_t from = (static_cast<std::size_t>(stored_y) * stored.width + stored_x) * 4;
      std::memcpy(out, stored.rgba.data() + from, 4);
      out += 4;
    }
  return upright;
}

}  // namespace vantrel
