#pragma once
// The fixed camera, in metres as on a physical screen. The image plane z = 0
// is shown 1:1 with its origin at the centre of the window (1 m is
// WindowMetrics::pixels_per_metre() pixels); the eye sits on +Z at the focal
// distance looking toward -Z with +Y up, and only what lies beyond the near
// plane z = kNearPlaneZ and within kFarDistance of the eye is drawn.

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "saver/window_metrics.h"

namespace vantrel {

inline constexpr double kEyeZ = 0.6;         // m, focal distance: the eye at (0, 0, kEyeZ)
inline constexpr double kNearPlaneZ = 0.59;  // m, the near clip plane, 0.01 m in front of the eye
// m from the eye. The widest burst of the largest sphere reaches about 1.5 m
// from the origin; with the near plane 0.01 m from the eye a 24-bit depth
// buffer still resolves about 2e-9 m at the image plane.
inline constexpr double kFarDistance = 10.0;

// World to eye: for glLoadMatrixf before the model matrices are multiplied in.
glm::mat4 view_matrix();

// Eye to clip, as glFrustum would make it for this window: symmetric, so the
// origin lands on the window's centre. For GL_PROJECTION.
glm::mat4 projection_matrix(const WindowMetrics& window);

// Where a world point lands in the window, in pixels from the window's
// top-left corner with y growing downwards (the window's and a screenshot's
// convention), through the two matrices above as GL would apply them.
glm::dvec2 project_to_window(const WindowMetrics& window, const glm::vec3& world);

}  // namespace vantrel
