#pragma once
// The scene's two lights and the fragments' material, as values for the
// fixed-function pipeline (glLightModelfv, glLightfv, glMaterialfv; RGBA).
//
// The directional light shines along -Z turned by -90 degrees about +X, that
// is straight down, (0, -1, 0): the top of the sphere is lit, its front (the
// side facing the viewer) gets the ambient light alone, and a fragment
// flashes as its tumbling turns it up into the light and past the highlight.
// The renderer lights both faces (GL_LIGHT_MODEL_TWO_SIDE), multiplies the
// texture in (GL_MODULATE) and renormalises the normals the size scale shrinks
// (GL_NORMALIZE).

#include <array>

namespace vantrel {

using Rgba = std::array<float, 4>;

// The way the light travels, in world space (unit).
inline constexpr std::array<float, 3> kLightDirection = {0.0f, -1.0f, 0.0f};
// GL_POSITION of the directional light: towards the light, w = 0. Set it with
// the view matrix loaded; the view only translates, so it stays this vector.
inline constexpr Rgba kLightPosition = {-kLightDirection[0], -kLightDirection[1], -kLightDirection[2], 0.0f};

// GL_LIGHT_MODEL_AMBIENT: the ambient light. The directional light adds no
// ambient part of its own.
inline constexpr Rgba kAmbientLight = {0.42f, 0.42f, 0.42f, 1.0f};
// GL_DIFFUSE and GL_SPECULAR of the directional light.
inline constexpr Rgba kDirectionalLight = {0.58f, 0.58f, 0.56f, 1.0f};

inline constexpr Rgba kMaterialAmbient = {1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Rgba kMaterialDiffuse = {1.0f, 1.0f, 1.0f, 1.0f};
// A soft highlight. At its peak the face points half way between the light
// and the viewer: ambient 0.42 + diffuse 0.58 * 0.71 + specular 0.3 * 0.58
// come to 1.0, so even the flash does not clip the picture to flat colour.
inline constexpr Rgba kMaterialSpecular = {0.30f, 0.30f, 0.30f, 1.0f};
inline constexpr float kMaterialShininess = 24.0f;  // GL_SHININESS, 0 to 128

static_assert(kAmbientLight[0] + kDirectionalLight[0] <= 1.0f &&
                  kAmbientLight[1] + kDirectionalLight[1] <= 1.0f,
              "a face turned full into the light must still show the picture's shading, not clip to flat");
static_assert(kDirectionalLight[0] >= 1.2f * kAmbientLight[0],
              "a face turned up into the light must be more than twice as bright as one facing the viewer");
static_assert(kAmbientLight[0] >= 0.35f,
              "the face towards the viewer, lit by ambient alone, must stay readable");

}  // namespace vantrel
