#include "saver/camera.h"

#include <cassert>

#include <glm/gtc/matrix_transform.hpp>

namespace vantrel {

glm::mat4 view_matrix() {
  return glm::mat4(glm::lookAt(glm::dvec3(0.0, 0.0, kEyeZ), glm::dvec3(0.0), glm::dvec3(0.0, 1.0, 0.0)));
}

glm::mat4 projection_matrix(const WindowMetrics& window) {
  assert(window.width_px > 0 && window.height_px > 0 && window.dpi > 0 && "a window has a size");
  const double near_distance = kEyeZ - kNearPlaneZ;
  // The half extents of the window, in metres on the image plane, scaled back
  // by similar triangles to the near plane.
  const double to_near = near_distance / kEyeZ / window.pixels_per_metre();
  const double right = window.width_px / 2.0 * to_near;
  const double top = window.height_px / 2.0 * to_near;
  return glm::mat4(glm::frustum(-right, right, -top, top, near_distance, kFarDistance));
}

glm::dvec2 project_to_window(const WindowMetrics& window, const glm::vec3& world) {
  const glm::dvec4 clip =
      glm::dmat4(projection_matrix(window)) * glm::dmat4(view_matrix()) * glm::dvec4(world, 1.0);
  const glm::dvec2 device = glm::dvec2(clip) / clip.w;
  return {(device.x + 1.0) * window.width_px / 2.0, (1.0 - device.y) * window.height_px / 2.0};
}

}  // namespace vantrel
