#include "saver/explosion.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

namespace vantrel {
namespace {

double draw(RandomSource& random) {
  const double r = random.next();
  assert(r >= 0.0 && r < 1.0 && "a random source gives numbers in [0, 1)");
  return r;
}

// Archimedes: a uniform height and a uniform angle round it give a uniform
// direction. A first draw of 0 gives +Z exactly.
glm::dvec3 random_axis(RandomSource& random) {
  const double z = 1.0 - 2.0 * draw(random);
  const double around = 2.0 * std::numbers::pi * draw(random);
  const double ring = std::sqrt(std::max(0.0, 1.0 - z * z));
  return {ring * std::cos(around), ring * std::sin(around), z};
}

}  // namespace

Explosion::Explosion(const std::vector<MeshFragment>& fragments, const ExplosionSettings& settings,
                     RandomSource& random)
    : settings_(settings) {
  tumbles_.reserve(fragments.size());
  for (const MeshFragment& fragment : fragments) {
    const glm::dvec3 axis = random_axis(random);
    const int count = 1 + static_cast<int>(draw(random) * kMaxRotations);
    const int sense = draw(random) < 0.5 ? 1 : -1;
    tumbles_.push_back({glm::dvec3(fragment.centre), glm::normalize(glm::dvec3(fragment.centre_normal)), axis,
                        sense * std::min(count, kMaxRotations)});
  }
}

double explosion_displacement(const ExplosionSettings& settings, double progress) {
  return settings.final_velocity * progress + settings.position_jump * (1.0 - std::exp(-progress / kJumpProgress));
}

glm::mat4 Explosion::fragment_matrix(std::size_t fragment, double progress) const {
  assert(fragment < tumbles_.size() && "fragment index out of range");
  const Tumble& tumble = tumbles_[fragment];
  // Whole turns drop out before the angle is formed, so a fragment on its
  // hundredth turn is placed as precisely as on its first.
  const double turned = std::fmod(tumble.turns * progress, 1.0);
  const glm::dmat4 identity(1.0);
  const glm::dmat4 turn = glm::rotate(identity, 2.0 * std::numbers::pi * turned, tumble.axis);
  const glm::dvec3 moved_centre = tumble.centre + tumble.outward * displacement(progress);
  return glm::mat4(glm::translate(identity, moved_centre) * turn * glm::translate(identity, -tumble.centre));
}

}  // namespace vantrel
