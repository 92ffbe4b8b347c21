#pragma once
// Tile_Picture: where the texture tile is copied to fill a picture box.

#include <vector>

namespace vantrel {

struct TilePosition {
  int x = 0;
  int y = 0;
  friend bool operator==(const TilePosition&, const TilePosition&) = default;
};

// The top-left corners of the whole tiles that fill a box, in the order they
// are copied: column by column from the left, each column from the top. The
// box's outer size (border included) is compared with a strict greater-than,
// so one more row below and one more column to the right are copied than the
// inner area needs; the copies are clipped to the box. Each box starts its own
// pattern at its own top-left corner. Positions are relative to the box's
// inner top-left; sizes must be at least 1.
std::vector<TilePosition> Tile_Picture(int tile_width, int tile_height, int box_outer_width, int box_outer_height);

}  // namespace vantrel
