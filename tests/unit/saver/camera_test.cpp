#include "saver/camera.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Camera, ShowsTheImagePlaneOneToOneAboutTheWindowCentre) {
  for (const WindowMetrics& window : {WindowMetrics{1920, 1080, 96}, WindowMetrics{1001, 777, 96},
                                      WindowMetrics{3840, 2160, 192}, WindowMetrics{2560, 1440, 144}}) {
    const glm::dvec2 centre(window.width_px / 2.0, window.height_px / 2.0);
    const double inch = window.dpi;  // px
    // Points on the image plane, in inches, and where they must land relative to the centre (y down).
    const glm::dvec2 cases[][2] = {
        {{0, 0}, {0, 0}}, {{1, 0}, {inch, 0}}, {{0, 1}, {0, -inch}}, {{-3, -2}, {-3 * inch, 2 * inch}}};
    for (const auto& [at, lands] : cases) {
      const glm::dvec2 pixel = project_to_window(window, glm::vec3(glm::vec2(at) * 0.0254f, 0.0f));
      EXPECT_NEAR(pixel.x - centre.x, lands.x, 1e-3) << window.dpi << " DPI";
      EXPECT_NEAR(pixel.y - centre.y, lands.y, 1e-3) << window.dpi << " DPI";
    }
  }
}

TEST(Camera, DrawsOnlyBetweenTheNearPlaneAndTenMetresFromTheEye) {
  const glm::mat4 to_clip = projection_matrix({1920, 1080, 96}) * view_matrix();
  const std::pair<float, bool> cases[] = {{0.0f, true},  {0.589f, true}, {0.591f, false}, {0.6f, false},
                                          {0.8f, false}, {-9.39f, true}, {-9.41f, false}};
  for (const auto& [z, drawn] : cases) {
    const glm::vec4 clip = to_clip * glm::vec4(0.0f, 0.0f, z, 1.0f);
    EXPECT_EQ(clip.w > 0.0f && clip.z >= -clip.w && clip.z <= clip.w, drawn) << "z = " << z;
  }
}

}  // namespace
}  // namespace vantrel
