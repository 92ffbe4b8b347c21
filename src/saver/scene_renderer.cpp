#include "saver/scene_renderer.h"

#include <optional>

#include <glm/gtc/type_ptr.hpp>

#include "platform/gl_api.h"
#include "saver/lighting.h"

namespace vantrel {
namespace {

// GL_CLAMP_TO_EDGE is 1.2; plain GL_CLAMP would blend the border colour into
// the poles' rows.
constexpr GLenum kClampToEdge = 0x812F;

}  // namespace

SceneRenderer::SceneRenderer(const Scene& scene, const std::optional<Picture>& picture,
                             GradientDirection direction, const std::vector<Rgb>& gradient,
                             const WindowMetrics& window, int max_texture_side)
    : SceneRenderer(scene, direction,
                    {BackgroundPiece{WindowArea{{0, 0, window.width_px, window.height_px}, window.dpi}, gradient}},
                    {0, 0, window.width_px, window.height_px},
                    WindowArea{{0, 0, window.width_px, window.height_px}, window.dpi}, max_texture_side) {
  if (picture) set_picture(*picture);
}

SceneRenderer::SceneRenderer(const Scene& scene, GradientDirection direction,
                             const std::vector<BackgroundPiece>& background, ScreenRect window,
                             const WindowArea& scene_area, int max_texture_side)
    : scene_(scene), max_texture_side_(max_texture_side) {
  relayout(direction, background, window, scene_area);

  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbientLight.data());
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kDirectionalLight.data());
  glLightfv(GL_LIGHT0, GL_SPECULAR, kDirectionalLight.data());
  const Rgba no_ambient = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_AMBIENT, no_ambient.data());
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kMaterialAmbient.data());
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kMaterialDiffuse.data());
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kMaterialSpecular.data());
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kMaterialShininess);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glClearColor(0, 0, 0, 1);
}

void SceneRenderer::relayout(GradientDirection direction, const std::vector<BackgroundPiece>& background,
                             ScreenRect window, const WindowArea& scene_area) {
  window_ = {0, 0, window.width(), window.height()};
  scene_area_ = scene_area;
  // Each monitor's gradient as one rectangle per band of equal colour, in
  // window pixels with y down. Exact pixel edges under the orthographic
  // projection of draw_background.
  background_quads_.clear();
  for (const BackgroundPiece& piece : background) {
    const ScreenRect& r = piece.area.rect;
    for (const GradientBand& band : gradient_bands(piece.lines)) {
      const auto vertex = [&](int x, int y) {
        return ColouredVertex{static_cast<float>(x), static_cast<float>(y), band.colour.red, band.colour.green,
                              band.colour.blue, 255};
      };
      const int a = band.first;
      const int b = band.first + band.count;
      if (direction == GradientDirection::Rows) {
        background_quads_.insert(background_quads_.end(), {vertex(r.left, r.top + a), vertex(r.right, r.top + a),
                                                           vertex(r.right, r.top + b), vertex(r.left, r.top + b)});
      } else {
        background_quads_.insert(background_quads_.end(), {vertex(r.left + a, r.top), vertex(r.left + b, r.top),
                                                           vertex(r.left + b, r.bottom), vertex(r.left + a, r.bottom)});
      }
    }
  }
}

void SceneRenderer::set_picture(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return;
  // A picture decoded at its texture size already is uploaded as it is.
  const bool ready = picture.width == nearest_power_of_two(picture.width, max_texture_side_) &&
                     picture.height == nearest_power_of_two(picture.height, max_texture_side_);
  std::optional<Picture> resized;
  if (!ready) resized = to_power_of_two(picture, max_texture_side_);
  const Picture& texture_picture = ready ? picture : *resized;
  GLuint texture = texture_;
  if (texture == 0) glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);  // the seam at -Z meets itself
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture_picture.width, texture_picture.height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, texture_picture.rgba.data());
  texture_ = texture;
}

SceneRenderer::~SceneRenderer() {
  if (texture_ != 0) {
    const GLuint texture = texture_;
    glDeleteTextures(1, &texture);
  }
}

void SceneRenderer::draw_frame(double seconds) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  draw_background();
  draw_scene(seconds);
}

void SceneRenderer::draw_background() const {
  glViewport(0, 0, window_.width(), window_.height());
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, window_.width(), window_.height(), 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (background_quads_.empty()) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(ColouredVertex), &background_quads_[0].x);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColouredVertex), &background_quads_[0].red);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(background_quads_.size()));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void SceneRenderer::draw_scene(double seconds) {
  // Without a picture nothing stands in front of the background.
  if (texture_ == 0) return;
  // The scene's own area; GL counts rows from the bottom.
  const ScreenRect& area = scene_area_.rect;
  glViewport(area.left, window_.height() - area.bottom, area.width(), area.height());

  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);  // the size scale shrinks the normals
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glColor4f(1, 1, 1, 1);

  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(glm::value_ptr(scene_.projection()));
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(glm::value_ptr(scene_.view()));
  // Set while the view is loaded: a directional light stays fixed in the world.
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition.data());

  const SphereMesh& mesh = scene_.mesh();
  glInterleavedArrays(GL_T2F_N3F_V3F, sizeof(MeshVertex), mesh.vertices.data());
  scene_.fragment_models(seconds, models_);
  for (std::size_t i = 0; i < mesh.fragments.size() && i < models_.size(); ++i) {
    const MeshFragment& fragment = mesh.fragments[i];
    glLoadMatrixf(glm::value_ptr(scene_.view() * models_[i]));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(fragment.index_count), GL_UNSIGNED_SHORT,
                   mesh.indices.data() + fragment.first_index);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace vantrel
