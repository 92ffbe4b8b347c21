#pragma once
// The exploding-sphere scene as data: the fragment mesh, the pose of every
// fragment at a time t, and the camera. One object with a lifecycle (made
// once per run, resized with its window, asked for a frame at any t, freed
// with its owner) and no GL objects: the renderer owns those and draws
//
//   projection()                      into GL_PROJECTION,
//   view() * fragment model           into GL_MODELVIEW, fragment by fragment,
//
// the mesh's index range of each fragment with the lights of lighting.h.

#include <vector>

#include <glm/mat4x4.hpp>

#include "platform/random_source.h"
#include "saver/explosion.h"
#include "saver/sphere_mesh.h"
#include "saver/window_metrics.h"
#include "settings/settings_model.h"

namespace vantrel {

// The sphere's radius in metres is its size setting divided by this.
inline constexpr double kSizeDivisor = 100.0;

struct SceneSettings {
  double size = 0.0;            // Action_Value 0: sphere radius = size / kSizeDivisor metres
  double spin_rate = 0.0;       // Action_Value 1: degrees per second about +Y
  ExplosionSettings explosion;  // Action_Value 2 (FinalVelocity) and 3 (PositionJump)
};

// Read once when the scene is built. An unset value (one the settings file did
// not hold as a number) counts as 0: no sphere for the size, which leaves only
// the background; no spin; no drift; no burst. Values outside the dialog's
// ranges pass unchanged (a negative rate turns the sphere the other way).
SceneSettings scene_settings(const SettingsModel& settings);

class Scene {
 public:
  // Builds the mesh and draws every fragment's tumble from `random`.
  Scene(const SceneSettings& settings, RandomSource& random, const WindowMetrics& window);

  void resize(const WindowMetrics& window);

  const SphereMesh& mesh() const { return mesh_; }
  const glm::mat4& projection() const { return projection_; }
  const glm::mat4& view() const { return view_; }

  // Every fragment's model matrix, sphere space to world, `seconds` after the
  // first frame: the explosion at that moment's progress, then the uniform
  // size scale, then the spin about +Y. `models` is resized to the fragment
  // count; pass the same vector every frame to keep it allocated.
  void fragment_models(double seconds, std::vector<glm::mat4>& models) const;

 private:
  SceneSettings settings_;
  SphereMesh mesh_;
  Explosion explosion_;
  glm::mat4 view_;
  glm::mat4 projection_;
};

}  // namespace vantrel
