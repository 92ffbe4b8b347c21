#pragma once
// Turning decoded pixels upright by the orientation their file declares
// (see exif_orientation.h).

#include "platform/exif_orientation.h"
#include "platform/picture.h"

namespace vantrel {

// The pixels as they stand upright: `stored` turned or mirrored as
// `orientation` says, at upright_size of its size. Normal gives a copy, and
// an empty picture stays empty.
Picture orient_upright(const Picture& stored, Orientation orientation);

}  // namespace vantrel
