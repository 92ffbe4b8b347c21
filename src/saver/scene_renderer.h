#pragma once
// Draws a frame of the saver: the gradient, then the scene over it. Owns the
// GL objects (the picture's texture) and must be made, used and destroyed
// while its GL context is current. Knows nothing of windows.

#include <optional>
#include <vector>

#include <glm/mat4x4.hpp>

#include "platform/mip_chain.h"
#include "platform/picture.h"
#include "saver/cover_layout.h"
#include "saver/gradient.h"
#include "saver/scene.h"

namespace vantrel {

// The gradient of one monitor: its lines laid on its area of the window.
struct BackgroundPiece {
  WindowArea area;
  std::vector<Rgb> lines;
};

class SceneRenderer {
 public:
  // `picture` is nothing when it could not be read: then only the background
  // is drawn; its sides must be powers of two. `max_texture_side` is the
  // context's GL_MAX_TEXTURE_SIZE.
  SceneRenderer(const Scene& scene, const std::optional<Picture>& picture, GradientDirection direction,
                const std::vector<Rgb>& gradient, const WindowMetrics& window, int max_texture_side);
  // A window over several monitors: each piece of background on its own
  // area, the scene within `scene_area` (its projection is the scene's own,
  // for that area's size).
  SceneRenderer(const Scene& scene, GradientDirection direction, const std::vector<BackgroundPiece>& background,
                ScreenRect window, const WindowArea& scene_area, int max_texture_side);
  ~SceneRenderer();
  SceneRenderer(const SceneRenderer&) = delete;
  SceneRenderer& operator=(const SceneRenderer&) = delete;

  // Puts the picture on the sphere (replacing any before it), sampled
  // trilinearly from its mip chain, and anisotropically where the driver
  // offers it. Levels larger than the driver takes are skipped. A chain that
  // is not complete, or a level the driver refuses, leaves the largest level
  // that it takes, filtered linearly: an incomplete chain would draw an
  // untextured sphere. Until a picture is set only the background is drawn.
  void set_picture(const MipChain& chain);
  // Without a picture every frame is the same still background.
  bool has_picture() const { return texture_ != 0; }
  // How many levels the sphere's texture samples from: 1 when it fell back
  // to a single level, 0 without a picture.
  int texture_levels() const { return texture_levels_; }

  // One frame, `seconds` after the first, into the current back buffer.
  void draw_frame(double seconds);

  // The window was laid out anew (a monitor came or went).
  void relayout(GradientDirection direction, const std::vector<BackgroundPiece>& background, ScreenRect window,
                const WindowArea& scene_area);

 private:
  struct ColouredVertex {
    float x, y;
    std::uint8_t red, green, blue, alpha;
  };

  void draw_background() const;
  void draw_scene(double seconds);

  const Scene& scene_;
  ScreenRect window_;     // the whole window, origin at 0, 0
  WindowArea scene_area_;
  int max_texture_side_;
  std::vector<ColouredVertex> background_quads_;
  unsigned int texture_ = 0;  // GLuint; 0 while there is no picture
  int texture_levels_ = 0;
  std::vector<glm::mat4> models_;
};

}  // namespace vantrel
