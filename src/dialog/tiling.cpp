#include "dialog/tiling.h"

#include <cassert>

namespace vantrel {

std::vector<TilePosition> Tile_Picture(int tile_width, int tile_height, int box_outer_width, int box_outer_height) {
  assert(tile_width >= 1 && tile_height >= 1 && "a tile has pixels");
  std::vector<TilePosition> positions;
  if (tile_width < 1 || tile_height < 1) return positions;
  int x = 0;
  int y = 0;
  for (;;) {
    positions.push_back({x, y});
    if (y > box_outer_height) {
      if (x > box_outer_width) return positions;
      x += tile_width;
      y = 0;
    } else {
      y += tile_height;
    }
  }
}

}  // namespace vantrel
