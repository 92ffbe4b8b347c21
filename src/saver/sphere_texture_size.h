#pragma once
// How large the picture's texture is made: the one rule for the saver's
// texture, so that the decode, the mip chain and the upload agree.

#include "platform/picture.h"
#include "saver/scene.h"
#include "saver/window_metrics.h"

namespace vantrel {

// The most texels a sphere texture holds, at any sphere size: 16 MiB at four
// bytes a texel (before its mip levels), what one 2048 x 2048 picture cost.
inline constexpr long long kMaxSphereTexels = 2048LL * 2048;

// The picture is wrapped once round the sphere: its width spans the 360
// degrees of longitude, its height the 180 degrees from pole to pole.
//
// The size, both sides powers of two (OpenGL 1.1 textures must have them),
// at which one texel meets about one screen pixel where the sphere or its
// nearest fragment is seen largest at `window`'s DPI: pi times that diameter
// across, half as many down. Never larger than the picture itself (each side
// at most the power of two nearest to the picture's own side), than
// `max_texture_side` (a power of two, the driver's limit) or than
// kMaxSphereTexels in all (the longer side halved first). A fragment that
// passes the eye would ask for any size: what it asks is counted as at most
// twice the whole sphere's.
//
// `picture` is the picture's upright size; at least 1 x 1 comes back.
PictureSize sphere_texture_size(PictureSize picture, const SceneSettings& scene, const WindowMetrics& window,
                                int max_texture_side);

}  // namespace vantrel
