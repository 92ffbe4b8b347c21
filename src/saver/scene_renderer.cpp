#include "saver/scene_renderer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <glm/gtc/type_ptr.hpp>

#include "platform/gl_api.h"
#include "saver/lighting.h"

namespace vantrel {
namespace {

// GL_CLAMP_TO_EDGE is 1.2; plain GL_CLAMP would blend the border colour into
// the poles' rows.
constexpr GLenum kClampToEdge = 0x812F;

// GL_EXT_texture_filter_anisotropic: the rim of the sphere is seen at
// grazing angles, where trilinear filtering alone blurs along the rim or
// aliases across it.
constexpr GLenum kTextureMaxAnisotropy = 0x84FE;
constexpr GLenum kMaxTextureMaxAnisotropy = 0x84FF;
constexpr float kMostAnisotropy = 8.0f;

bool driver_offers(const char* extension) {
  const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!all) return false;
  const std::size_t length = std::strlen(extension);
  for (const char* at = std::strstr(all, extension); at; at = std::strstr(at + length, extension)) {
    const bool starts = at == all || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

// Uploads one level and says whether the driver took it.
bool upload_level(GLint level, const Picture& picture) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               picture.rgba.data());
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

SceneRenderer::SceneRenderer(const Scene& scene, const std::optional<Picture>& picture,
                             GradientDirection direction, const std::vector<Rgb>& gradient,
                             const WindowMetrics& window, int max_texture_side)
    : SceneRenderer(scene, direction,
                    {BackgroundPiece{WindowArea{{0, 0, window.width_px, window.height_px}, window.dpi}, gradient}},
                    {0, 0, window.width_px, window.height_px},
                    WindowArea{{0, 0, window.width_px, window.height_px}, window.dpi}, max_texture_side) {
  if (picture) set_picture(make_mip_chain(*picture));
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

void SceneRenderer::set_picture(const MipChain& chain) {
  // The first level the driver's limit allows is level 0 on the GPU.
  const auto first = std::find_if(chain.begin(), chain.end(), [&](const Picture& level) {
    return level.width <= max_texture_side_ && level.height <= max_texture_side_;
  });
  if (first == chain.end() || first->width <= 0 || first->height <= 0) return;
  const MipChain::const_iterator last = chain.end();

  GLuint texture = texture_;
  if (texture == 0) glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);  // the seam at -Z meets itself
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);

  const MipChain levels(first, last);
  bool mipmapped = is_complete_mip_chain(levels);
  int uploaded = 0;
  if (mipmapped) {
    for (const Picture& level : levels) {
      if (!upload_level(uploaded, level)) {
        mipmapped = false;
        break;
      }
      ++uploaded;
    }
  }
  if (!mipmapped) {
    // One level, the largest the driver takes. Level 0 is specified again so
    // that levels above it from a failed chain no longer count.
    uploaded = 0;
    for (const Picture& level : levels) {
      if (level.rgba.size() == static_cast<std::size_t>(level.width) * level.height * 4 && upload_level(0, level)) {
        uploaded = 1;
        break;
      }
    }
  }
  if (uploaded == 0) {
    glDeleteTextures(1, &texture);
    texture_ = 0;
    texture_levels_ = 0;
    return;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  if (mipmapped && driver_offers("GL_EXT_texture_filter_anisotropic")) {
    GLfloat most = 1.0f;
    glGetFloatv(kMaxTextureMaxAnisotropy, &most);
    glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, std::clamp(most, 1.0f, kMostAnisotropy));
  }
  texture_ = texture;
  texture_levels_ = uploaded;
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
