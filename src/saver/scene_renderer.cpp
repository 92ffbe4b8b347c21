#include "saver/scene_renderer.h"

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
    : scene_(scene), window_(window), max_texture_side_(max_texture_side) {
  // The gradient as one rectangle per band of equal colour, in window pixels
  // with y down. Exact pixel edges under the orthographic projection below.
  for (const GradientBand& band : gradient_bands(gradient)) {
    const float a = static_cast<float>(band.first);
    const float b = static_cast<float>(band.first + band.count);
    const float w = static_cast<float>(window.width_px);
    const float h = static_cast<float>(window.height_px);
    const auto vertex = [&](float x, float y) {
      return ColouredVertex{x, y, band.colour.red, band.colour.green, band.colour.blue, 255};
    };
    if (direction == GradientDirection::Rows) {
      background_quads_.insert(background_quads_.end(), {vertex(0, a), vertex(w, a), vertex(w, b), vertex(0, b)});
    } else {
      background_quads_.insert(background_quads_.end(), {vertex(a, 0), vertex(b, 0), vertex(b, h), vertex(a, h)});
    }
  }

  if (picture) set_picture(*picture);

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
  glViewport(0, 0, window.width_px, window.height_px);
  glClearColor(0, 0, 0, 1);
}

void SceneRenderer::set_picture(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return;
  const Picture texture_picture = to_power_of_two(picture, max_texture_side_);
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
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, window_.width_px, window_.height_px, 0, -1, 1);
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
