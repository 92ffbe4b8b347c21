#include "saver/sphere_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>

#include "saver/camera.h"

namespace vantrel {
namespace {

// Calls `visit(fragment, a, b, c)` for every triangle of the mesh.
template <typename Visit>
void for_each_triangle(const SphereMesh& mesh, Visit visit) {
  for (std::size_t f = 0; f < mesh.fragments.size(); ++f)
    for (std::uint32_t i = 0; i < mesh.fragments[f].index_count; i += 3) {
      const auto* index = &mesh.indices[mesh.fragments[f].first_index + i];
      visit(f, mesh.vertices[index[0]], mesh.vertices[index[1]], mesh.vertices[index[2]]);
    }
}

TEST(SphereMesh, SeparateOutwardFacingCellsOfTheUnitSphere) {
  const SphereMesh mesh = make_sphere_mesh();
  ASSERT_EQ(mesh.fragments.size(), 288u);
  std::vector<int> owner(mesh.vertices.size(), -1);
  for_each_triangle(mesh, [&](std::size_t f, const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
    const MeshFragment& fragment = mesh.fragments[f];
    EXPECT_NEAR(glm::length(fragment.centre), 1.0f, 1e-6f);
    EXPECT_EQ(fragment.centre_normal, fragment.centre);
    for (const MeshVertex* v : {&a, &b, &c}) {
      int& vertex_owner = owner[static_cast<std::size_t>(v - mesh.vertices.data())];
      EXPECT_TRUE(vertex_owner == -1 || vertex_owner == int(f)) << "a vertex shared between fragments";
      vertex_owner = int(f);
      EXPECT_NEAR(glm::length(v->position), 1.0f, 1e-6f);
      EXPECT_EQ(v->normal, v->position);
      // Within its 15 x 15 degree cell: no further from the centre than half the diagonal.
      EXPECT_LE(std::acos(std::min(1.0f, glm::dot(v->position, fragment.centre))), 10.7f * 3.14159f / 180);
    }
    // Counter-clockwise seen from outside, and never degenerate.
    EXPECT_GT(glm::dot(glm::cross(b.position - a.position, c.position - a.position), a.position), 1e-6f);
  });
}

TEST(SphereMesh, SmoothOutlineAndAnUnmirroredPictureTopAtPlusY) {
  const SphereMesh mesh = make_sphere_mesh();
  // The largest sphere (0.06 m) at 96 DPI: its outline's radius on the screen.
  const double outline_px =
      kEyeZ * 0.06 / std::sqrt(kEyeZ * kEyeZ - 0.06 * 0.06) * WindowMetrics{}.pixels_per_metre();
  float deepest = 0.0f;  // how far inside the true sphere any point of a triangle lies, in radii
  for_each_triangle(mesh, [&](std::size_t, const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
    for (int i = 0; i <= 8; ++i)
      for (int j = 0; i + j <= 8; ++j)
        deepest = std::max(deepest, 1.0f - glm::length(a.position * float(i) + b.position * float(j) +
                                                       c.position * float(8 - i - j)) /
                                               8.0f);
    // On the side facing the viewer (+Z), s must grow to the right (+X) and t downwards (-Y).
    if (glm::normalize(a.position + b.position + c.position).z < 0.5f) return;
    const glm::vec2 e1(b.position - a.position), e2(c.position - a.position);
    const glm::vec2 d1 = b.tex_coord - a.tex_coord, d2 = c.tex_coord - a.tex_coord;
    const float det = e1.x * e2.y - e1.y * e2.x;
    EXPECT_GT((d1.x * e2.y - d2.x * e1.y) / det, 0.0f) << "ds/dx";
    EXPECT_LT((d2.y * e1.x - d1.y * e2.x) / det, 0.0f) << "dt/dy";
  });
  EXPECT_LT(deepest * outline_px, 0.5);
  for (const MeshVertex& v : mesh.vertices) {
    if (std::abs(v.position.y) == 1.0f) {
      EXPECT_EQ(v.tex_coord.y, v.position.y == 1.0f ? 0.0f : 1.0f) << "pole rows";
    }
    if (v.position.z > 0.999f) {
      EXPECT_NEAR(v.tex_coord.x, 0.5f, 1e-6f) << "picture centred on the viewer";
    }
  }
}

}  // namespace
}  // namespace vantrel
