#pragma once
// The orientation a camera records in a JPEG's EXIF block. Phones store an
// upright photo on its side and say so in the tag rather than turn the pixels;
// the codec under Wine reports no metadata, so the program reads the tag itself.

#include <string_view>

#include "platform/picture.h"

namespace vantrel {

// EXIF orientation values 1-8 (TIFF tag 0x0112): how the stored pixels must be
// turned to stand upright.
enum class Orientation {
  Normal = 1,
  MirrorHorizontal = 2,  // mirror left-right
  Rotate180 = 3,
  MirrorVertical = 4,  // mirror top-bottom
  Transpose = 5,       // mirror along the top-left to bottom-right diagonal
  Rotate90 = 6,        // clockwise to view
  Transverse = 7,      // mirror along the top-right to bottom-left diagonal
  Rotate270 = 8,       // clockwise to view, that is 90 counter-clockwise
};

// The orientation a JPEG file's bytes declare in their EXIF block; Normal when
// the bytes are no JPEG, have no EXIF block, no orientation tag, or a value
// outside 1-8. Only the first EXIF block counts: when it has no usable tag,
// the answer is Normal whatever follows. A segment that claims more bytes
// than there are, or an IFD whose entries do not all fit in the block, is
// damage, not a partial answer: Normal. Never reads outside `bytes`; the work
// is bounded by their length whatever they hold.
Orientation exif_orientation(std::string_view bytes);

// True for the four orientations that swap width and height (5-8).
bool swaps_sides(Orientation orientation);

// The size once upright (sides swapped for 5-8). Applying it twice gives the
// size back.
PictureSize upright_size(PictureSize stored, Orientation orientation);

}  // namespace vantrel
