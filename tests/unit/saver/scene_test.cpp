#include "saver/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>

#include "saver/camera.h"
#include "saver/fake_random_source.h"

namespace vantrel {
namespace {

const WindowMetrics kScreen{1920, 1080, 96};
const glm::dvec2 kCentre(960.0, 540.0);
// The fragment whose top-left corner is the sphere's front point (0, 0, 1).
const std::size_t kFront = kLatitudeCells / 2 * kLongitudeCells + kLongitudeCells / 2;

SceneSettings defaults(double spin_rate = 25.0, double size = 3.0) {
  SettingsModel settings;
  for (std::size_t i = 0; i < 4; ++i) settings.Action_Value[i] = kActionDefaults[i];
  SceneSettings scene = scene_settings(settings);
  scene.spin_rate = spin_rate;
  scene.size = size;
  return scene;
}

class SceneTest : public ::testing::Test {
 protected:
  // A point of fragment `fragment`, given on the whole sphere, in world space at `seconds`.
  glm::vec3 world(const Scene& scene, std::size_t fragment, const glm::vec3& point, double seconds) {
    scene.fragment_models(seconds, models);
    return glm::vec3(models[fragment] * glm::vec4(point, 1.0f));
  }
  // The farthest any vertex of the scene lands from the window's centre, in pixels.
  double reach(const Scene& scene, double seconds) {
    scene.fragment_models(seconds, models);
    double farthest = 0.0;
    for (std::size_t f = 0; f < models.size(); ++f)
      for (std::uint32_t i = 0; i < scene.mesh().fragments[f].index_count; ++i) {
        const glm::vec3 p =
            scene.mesh().vertices[scene.mesh().indices[scene.mesh().fragments[f].first_index + i]].position;
        farthest = std::max(
            farthest,
            glm::distance(project_to_window(kScreen, glm::vec3(models[f] * glm::vec4(p, 1.0f))), kCentre));
      }
    return farthest;
  }

  testing::FakeRandomSource random{{0.12, 0.77, 0.31, 0.64, 0.05}};
  std::vector<glm::mat4> models;
};

TEST_F(SceneTest, UnsetActionValuesCountAsZero) {
  SettingsModel settings;
  settings.Action_Value[kRotationSpeed] = -40;
  const SceneSettings scene = scene_settings(settings);
  EXPECT_EQ(scene.spin_rate, -40.0);
  EXPECT_EQ(scene.size + scene.explosion.final_velocity + scene.explosion.position_jump, 0.0);
}

TEST_F(SceneTest, DefaultSphereIsAbout227PixelsAcrossAndBurstsToAbout528) {
  const Scene scene(defaults(), random, kScreen);
  // The outline of a ball of radius r seen from distance d, on the image plane.
  const double r = 0.03, d = kEyeZ, outline_px = d * r / std::sqrt(d * d - r * r) * kScreen.pixels_per_metre();
  for (const double whole : {0.0, 17.9}) {
    const double radius = reach(scene, whole);
    EXPECT_LE(radius, outline_px + 1e-3) << whole << " s";
    EXPECT_GE(radius, outline_px - 0.5) << whole << " s";
  }
  const double peak = reach(scene, 13.0);
  EXPECT_GT(peak, 515.0);
  EXPECT_LT(peak, 575.0);
}

TEST_F(SceneTest, PositiveSpinCarriesTheFrontToTheViewersRight) {
  for (const auto& [rate, sense] : {std::pair{25.0, 1}, {100.0, 1}, {-25.0, -1}, {0.0, 0}}) {
    const Scene scene(defaults(rate), random, kScreen);
    const auto front_x = [&](double seconds) {  // the point (0, 0, 1) facing the viewer; still whole at 0.5 s
      return project_to_window(kScreen, world(scene, kFront, {0, 0, 1}, seconds)).x;
    };
    const double moved = front_x(0.5) - front_x(0.0);
    if (sense == 0) {
      EXPECT_EQ(moved, 0.0);
    } else {
      EXPECT_GT(moved * sense, 5.0) << rate << " deg/s";
    }
  }
}

TEST_F(SceneTest, ExplodesInSphereSpaceThenScalesThenSpins) {
  testing::FakeRandomSource a{{0.12, 0.77, 0.31}}, b{{0.12, 0.77, 0.31}}, c{{0.12, 0.77, 0.31}};
  const Scene still(defaults(0.0), a, kScreen), spinning(defaults(25.0), b, kScreen),
      doubled(defaults(0.0, 6.0), c, kScreen);
  std::vector<glm::mat4> at_rest, spun, twice;
  for (const double seconds : {5.0, 13.0, 15.0}) {
    still.fragment_models(seconds, at_rest);
    spinning.fragment_models(seconds, spun);
    doubled.fragment_models(seconds, twice);
    const double angle = 25.0 * seconds * 3.14159265358979 / 180;
    for (std::size_t f = 0; f < at_rest.size(); ++f) {
      const glm::vec4 corner(
          still.mesh().vertices[still.mesh().indices[still.mesh().fragments[f].first_index]].position, 1);
      const glm::dvec3 p = glm::vec3(at_rest[f] * corner);
      // The whole exploded shape turns about +Y, right-handed; its paths scale with the sphere.
      const glm::dvec3 turned(p.x * std::cos(angle) + p.z * std::sin(angle), p.y,
                              -p.x * std::sin(angle) + p.z * std::cos(angle));
      EXPECT_NEAR(glm::distance(glm::dvec3(glm::vec3(spun[f] * corner)), turned), 0.0, 1e-5);
      EXPECT_NEAR(glm::distance(glm::dvec3(glm::vec3(twice[f] * corner)), 2.0 * p), 0.0, 1e-5);
    }
  }
}

}  // namespace
}  // namespace vantrel
