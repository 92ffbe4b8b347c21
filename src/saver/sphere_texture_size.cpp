#include "saver/sphere_texture_size.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

#include "saver/camera.h"
#include "saver/explosion.h"
#include "saver/timeline.h"

namespace vantrel {
namespace {

// A fragment this much nearer the eye than the image plane is drawn twice
// its size there; nearer still it is flying past, and no texture keeps up.
constexpr double kNearestCountedZ = kEyeZ / 2;

// The furthest out, in sphere radii, any fragment gets in a cycle. Settings
// of mixed sign (a hand-edited file) can peak part-way, so the whole range of
// progress is looked at.
double farthest_displacement(const ExplosionSettings& explosion) {
  constexpr int kSteps = 100;
  double farthest = 0.0;
  for (int step = 0; step <= kSteps; ++step)
    farthest = std::max(farthest, std::abs(explosion_displacement(explosion, kPeakProgress * step / kSteps)));
  return farthest;
}

// The smallest power of two at least `value`, within [1, limit].
int power_of_two_at_least(double value, int limit) {
  int side = 1;
  while (side < limit && side < value) side *= 2;
  return side;
}

}  // namespace

PictureSize sphere_texture_size(PictureSize picture, const SceneSettings& scene, const WindowMetrics& window,
                                int max_texture_side) {
  assert(max_texture_side >= 1 && (max_texture_side & (max_texture_side - 1)) == 0 &&
         "the driver reports its texture limit as a power of two");
  const double radius = std::abs(scene.size) / kSizeDivisor;  // m
  // The point of the sphere or a fragment nearest the eye, magnified by the
  // perspective against the image plane, which is shown 1:1.
  const double nearest_z = std::min(radius * (1.0 + farthest_displacement(scene.explosion)), kNearestCountedZ);
  const double magnification = kEyeZ / (kEyeZ - nearest_z);
  const double diameter_px = 2.0 * radius * window.pixels_per_metre() * magnification;

  const auto side = [&](double wanted, int own) {
    const int own_side = own >= 1 ? nearest_power_of_two(own, max_texture_side) : 1;
    return std::min(power_of_two_at_least(wanted, max_texture_side), own_side);
  };
  PictureSize size{side(std::numbers::pi * diameter_px, picture.width),
                   side(std::numbers::pi * diameter_px / 2.0, picture.height)};
  while (static_cast<long long>(size.width) * size.height > kMaxSphereTexels) {
    if (size.width > size.height)
      size.width /= 2;
    else
      size.height /= 2;
  }
  return size;
}

}  // namespace vantrel
