#include "saver/explosion.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <glm/geometric.hpp>

#include "saver/fake_random_source.h"

namespace vantrel {
namespace {

using testing::FakeRandomSource;

glm::vec3 apply(const glm::mat4& matrix, const glm::vec3& point) {
  return glm::vec3(matrix * glm::vec4(point, 1.0f));
}

class ExplosionTest : public ::testing::Test {
 protected:
  // How far fragment 0's centre has moved along its normal.
  double travel(double final_velocity, double position_jump, double progress) {
    const Explosion explosion(mesh.fragments, {final_velocity, position_jump}, random);
    const MeshFragment& f = mesh.fragments[0];
    return glm::dot(apply(explosion.fragment_matrix(0, progress), f.centre) - f.centre, f.centre_normal);
  }

  SphereMesh mesh = make_sphere_mesh();
  FakeRandomSource random{{0.3, 0.8, 0.55, 0.1, 0.95, 0.2, 0.7}};
};

TEST_F(ExplosionTest, WholeAtZeroSamePoseRisingAndFallingRigidAndOutward) {
  const Explosion explosion(mesh.fragments, {5.0, 5.0}, random);
  EXPECT_EQ(random.draws(), 4 * mesh.fragments.size()) << "four draws per fragment, once";
  std::vector<glm::mat4> rising;
  for (std::size_t f = 0; f < explosion.fragment_count(); ++f) {
    EXPECT_EQ(explosion.fragment_matrix(f, 0.0), glm::mat4(1.0f)) << "exact sphere, fragment " << f;
    rising.push_back(explosion.fragment_matrix(f, 0.05));
  }
  for (std::size_t f = 0; f < explosion.fragment_count(); f += 11) {
    const MeshFragment& fragment = mesh.fragments[f];
    const glm::vec3 corner = mesh.vertices[mesh.indices[fragment.first_index]].position;
    for (double p = 0.005, out = 0.0; p <= 0.1; p += 0.005) {  // up to the peak
      const glm::mat4 pose = explosion.fragment_matrix(f, p);
      const glm::vec3 moved = apply(pose, fragment.centre) - fragment.centre;
      EXPECT_NEAR(glm::length(glm::cross(moved, fragment.centre_normal)), 0.0f, 1e-5f) << "only outward";
      EXPECT_GT(glm::dot(moved, fragment.centre_normal), out) << "further out as p grows";
      out = glm::dot(moved, fragment.centre_normal);
      EXPECT_NEAR(glm::distance(apply(pose, corner), apply(pose, fragment.centre)),
                  glm::distance(corner, fragment.centre), 1e-5f)
          << "rigid";
    }
  }
  for (std::size_t f = 0; f < explosion.fragment_count(); ++f)
    EXPECT_EQ(explosion.fragment_matrix(f, 0.05), rising[f]) << "the same pose on the way back";
  EXPECT_EQ(random.draws(), 4 * mesh.fragments.size());
}

TEST_F(ExplosionTest, FinalVelocityDriftsSteadilyPositionJumpBurstsFirst) {
  for (const double a : {1.0, 5.0, 100.0}) {
    EXPECT_NEAR(travel(a, 0, 0.1), a / 10, 1e-5 * a) << "drift: a / 10 radii at the peak";
    EXPECT_NEAR(travel(a, 0, 0.02), travel(a, 0, 0.1) / 5, 1e-5 * a) << "drift: steady";
    EXPECT_GT(travel(0, a, 0.02), travel(0, a, 0.1) / 5 * 1.3) << "burst: front-loaded";
    EXPECT_GT(travel(0, a, 0.1), 0.6 * a) << "burst: mostly spent by the peak";
    EXPECT_NEAR(travel(0, a, 1.0), a, 1e-3 * a) << "burst: tends to a radii";
    EXPECT_NEAR(travel(a, a, 0.07), travel(a, 0, 0.07) + travel(0, a, 0.07), 1e-5 * a) << "they add up";
  }
}

TEST_F(ExplosionTest, TurnsAboutItsCentreByWholeRandomCountsInARandomSense) {
  // Draws: axis height (0: the axis is +Z), axis angle, turn count, sense;
  // then where an offset of +X from the centre must end up.
  const std::tuple<std::vector<double>, double, glm::vec3> cases[] = {
      {{0, 0, 0, 0.2}, 0.25, {0, 1, 0}},           {{0, 0, 0, 0.7}, 0.25, {0, -1, 0}},
      {{0, 0, 0, 0.2}, 0.5, {-1, 0, 0}},           {{0, 0, 0.999999, 0.2}, 0.001, {1, 0, 0}},
      {{0, 0, 0.999999, 0.2}, 0.00025, {0, 1, 0}}, {{0, 0, 0.5, 0.2}, 1.0 / 501 / 4, {0, 1, 0}},
  };
  for (const auto& [draws, progress, expected] : cases) {
    FakeRandomSource fixed(draws);
    const Explosion explosion(mesh.fragments, {0.0, 0.0}, fixed);
    for (const std::size_t f : {0, 150}) {
      const glm::mat4 pose = explosion.fragment_matrix(f, progress);
      const glm::vec3 centre = mesh.fragments[f].centre;
      EXPECT_NEAR(glm::distance(apply(pose, centre + glm::vec3(1, 0, 0)) - apply(pose, centre), expected), 0.0f,
                  1e-4f)
          << "count draw " << draws[2] << ", sense draw " << draws[3] << ", p " << progress;
    }
  }
}

}  // namespace
}  // namespace vantrel
