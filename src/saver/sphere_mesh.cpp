#include "saver/sphere_mesh.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vantrel {
namespace {

constexpr int kColumns = kLongitudeCells * kCellSubdivisions;  // sub-quads round the sphere
constexpr int kRows = kLatitudeCells * kCellSubdivisions;      // sub-quads pole to pole
constexpr int kVerticesPerFragment = (kCellSubdivisions + 1) * (kCellSubdivisions + 1);
static_assert(kFragmentCount * kVerticesPerFragment <= std::numeric_limits<std::uint16_t>::max() + 1,
              "vertex indices are 16-bit");

// A point of the grid, `column` of kColumns round and `row` of kRows down from
// +Y. Angles are mirrored about the equator so the poles come out exact and
// the two hemispheres match bit for bit.
glm::dvec3 grid_point(double column, double row) {
  const double longitude = 2.0 * std::numbers::pi * (column / kColumns - 0.5);  // 0 faces +Z
  const double from_pole = std::numbers::pi * std::min(row, kRows - row) / kRows;
  const double ring = std::sin(from_pole);
  const double height = row <= kRows / 2.0 ? std::cos(from_pole) : -std::cos(from_pole);
  return {ring * std::sin(longitude), height, ring * std::cos(longitude)};
}

}  // namespace

SphereMesh make_sphere_mesh() {
  SphereMesh mesh;
  mesh.vertices.reserve(static_cast<std::size_t>(kFragmentCount) * kVerticesPerFragment);
  mesh.fragments.reserve(kFragmentCount);

  for (int cell_row = 0; cell_row < kLatitudeCells; ++cell_row) {
    for (int cell_column = 0; cell_column < kLongitudeCells; ++cell_column) {
      const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
      const int first_column = cell_column * kCellSubdivisions;
      const int first_row = cell_row * kCellSubdivisions;

      for (int j = 0; j <= kCellSubdivisions; ++j) {
        const int row = first_row + j;
        const bool at_pole = row == 0 || row == kRows;
        for (int i = 0; i <= kCellSubdivisions; ++i) {
          const glm::dvec3 point = grid_point(first_column + i, row);
          // A pole vertex serves only the one triangle of the sub-quad to its
          // right, so it takes the middle of that sub-quad's span of s: the
          // picture then converges on the pole without a shear.
          const bool pole_corner = at_pole && i < kCellSubdivisions;
          const double s = (first_column + i + (pole_corner ? 0.5 : 0.0)) / kColumns;
          mesh.vertices.push_back(
              {glm::vec2(s, static_cast<double>(row) / kRows), glm::vec3(point), glm::vec3(point)});
        }
      }

      const auto first_index = static_cast<std::uint32_t>(mesh.indices.size());
      const auto vertex = [&](int i, int j) {
        return static_cast<std::uint16_t>(base + j * (kCellSubdivisions + 1) + i);
      };
      for (int j = 0; j < kCellSubdivisions; ++j) {
        const int row = first_row + j;
        for (int i = 0; i < kCellSubdivisions; ++i) {
          // Corners as seen from outside with +Y up: the column grows to the
          // right and the row grows downwards.
          const auto top_left = vertex(i, j), top_right = vertex(i + 1, j);
          const auto bottom_left = vertex(i, j + 1), bottom_right = vertex(i + 1, j + 1);
          if (row + 1 != kRows)  // at the -Y pole the bottom corners coincide
            mesh.indices.insert(mesh.indices.end(), {top_left, bottom_left, bottom_right});
          if (row != 0)  // at the +Y pole the top corners coincide
            mesh.indices.insert(mesh.indices.end(), {top_left, bottom_right, top_right});
        }
      }

      const glm::dvec3 centre =
          grid_point(first_column + kCellSubdivisions / 2.0, first_row + kCellSubdivisions / 2.0);
      mesh.fragments.push_back({glm::vec3(centre), glm::vec3(centre), first_index,
                                static_cast<std::uint32_t>(mesh.indices.size()) - first_index});
    }
  }
  return mesh;
}

}  // namespace vantrel
