#pragma once
// The picture-wrapped sphere, cut into the fragments the explosion throws.
// Pure geometry: the renderer copies it into its own arrays and draws each
// fragment's index range with that fragment's model matrix.
//
// Sphere space: radius 1 about the origin, poles on +Y and -Y. The picture
// wraps once round the vertical axis; its horizontal centre faces +Z (the
// viewer, before any spin) and its left and right edges meet at -Z. Seen from
// outside the picture reads the right way round: on the side facing the viewer
// the horizontal texture coordinate grows to the viewer's right.

#include <cstdint>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

namespace vantrel {

// Fragments are the cells of a longitude/latitude grid.
inline constexpr int kLongitudeCells = 24;  // cells round the vertical axis, 15 degrees each
inline constexpr int kLatitudeCells = 12;   // cells from pole to pole, 15 degrees each
inline constexpr int kFragmentCount = kLongitudeCells * kLatitudeCells;  // 288

// Each cell is cut into kCellSubdivisions x kCellSubdivisions quads (3.75
// degrees on a side). A flat facet then lies at most 1 - cos(2.65 degrees),
// about 0.0011 radii, inside the true sphere: 0.25 px at the largest sphere
// (0.06 m, about 228 px in radius at 96 DPI), so the outline stays smooth to
// within half a pixel on screens up to about 195 DPI.
inline constexpr int kCellSubdivisions = 4;

// Interleaved for glInterleavedArrays(GL_T2F_N3F_V3F, ...): 32 bytes a vertex.
struct MeshVertex {
  glm::vec2 tex_coord;  // (s, t): s 0 to 1 round the sphere; t = 0 at the picture's
                        // top row (+Y pole), 1 at its bottom row: upload rows top first
  glm::vec3 normal;     // unit, outward; a back face is lit with the normal reversed
  glm::vec3 position;   // on the unit sphere
};

struct MeshFragment {
  glm::vec3 centre;           // the cell's middle, on the unit sphere
  glm::vec3 centre_normal;    // unit, outward at the centre: the direction it flies
  std::uint32_t first_index;  // into SphereMesh::indices
  std::uint32_t index_count;  // a multiple of 3: independent triangles
};

// Triangles wind counter-clockwise seen from outside. No two fragments share
// a vertex, so each can move on its own; no triangle is degenerate.
struct SphereMesh {
  std::vector<MeshVertex> vertices;
  std::vector<std::uint16_t> indices;   // GL_UNSIGNED_SHORT
  std::vector<MeshFragment> fragments;  // kFragmentCount, row by row from the +Y pole
};

SphereMesh make_sphere_mesh();

}  // namespace vantrel
