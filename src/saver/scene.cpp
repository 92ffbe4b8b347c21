#include "saver/scene.h"

#include <glm/gtc/matrix_transform.hpp>

#include "saver/camera.h"
#include "saver/timeline.h"

namespace vantrel {

SceneSettings scene_settings(const SettingsModel& settings) {
  const auto value = [&](std::size_t index) {
    return static_cast<double>(settings.Action_Value[index].value_or(0));
  };
  SceneSettings scene;
  scene.size = value(kSphereSize);
  scene.spin_rate = value(kRotationSpeed);
  scene.explosion.final_velocity = value(kSpreadDegree);
  scene.explosion.position_jump = value(kSpreadSpeed);
  return scene;
}

Scene::Scene(const SceneSettings& settings, RandomSource& random, const WindowMetrics& window)
    : settings_(settings),
      mesh_(make_sphere_mesh()),
      explosion_(mesh_.fragments, settings.explosion, random),
      view_(view_matrix()),
      projection_(projection_matrix(window)) {}

void Scene::resize(const WindowMetrics& window) { projection_ = projection_matrix(window); }

void Scene::fragment_models(double seconds, std::vector<glm::mat4>& models) const {
  const double progress = explode_progress(seconds);
  const glm::dmat4 identity(1.0);
  const double radius = settings_.size / kSizeDivisor;
  const glm::dmat4 spin_and_scale =
      glm::rotate(identity, glm::radians(spin_degrees(settings_.spin_rate, seconds)),
                  glm::dvec3(0.0, 1.0, 0.0)) *
      glm::scale(identity, glm::dvec3(radius));
  models.resize(explosion_.fragment_count());
  for (std::size_t fragment = 0; fragment < models.size(); ++fragment)
    models[fragment] = glm::mat4(spin_and_scale * glm::dmat4(explosion_.fragment_matrix(fragment, progress)));
}

}  // namespace vantrel
