#pragma once
// Draws a frame of the saver: the gradient, then the scene over it. Owns the
// GL objects (the picture's texture) and must be made, used and destroyed
// while its GL context is current. Knows nothing of windows.

#include <optional>
#include <vector>

#include <glm/mat4x4.hpp>

#include "platform/picture.h"
#include "saver/gradient.h"
#include "saver/scene.h"

namespace vantrel {

class SceneRenderer {
 public:
  // `picture` is nothing when it could not be read: then only the background
  // is drawn. `max_texture_side` is the context's GL_MAX_TEXTURE_SIZE.
  SceneRenderer(const Scene& scene, const std::optional<Picture>& picture, GradientDirection direction,
                const std::vector<Rgb>& gradient, const WindowMetrics& window, int max_texture_side);
  ~SceneRenderer();
  SceneRenderer(const SceneRenderer&) = delete;
  SceneRenderer& operator=(const SceneRenderer&) = delete;

  // Puts the picture on the sphere (replacing any before it). Until a picture
  // is set only the background is drawn.
  void set_picture(const Picture& picture);

  // One frame, `seconds` after the first, into the current back buffer.
  void draw_frame(double seconds);

 private:
  struct ColouredVertex {
    float x, y;
    std::uint8_t red, green, blue, alpha;
  };

  void draw_background() const;
  void draw_scene(double seconds);

  const Scene& scene_;
  WindowMetrics window_;
  int max_texture_side_;
  std::vector<ColouredVertex> background_quads_;
  unsigned int texture_ = 0;  // GLuint; 0 while there is no picture
  std::vector<glm::mat4> models_;
};

}  // namespace vantrel
