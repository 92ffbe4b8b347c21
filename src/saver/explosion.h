#pragma once
// The explosion: where every fragment of the sphere is and how it has turned
// at a given progress. A pure function of the progress (the random turns are
// drawn once, when the explosion is made), so the fragments retrace their
// paths exactly as the progress falls and the sphere closes without a seam.

#include <cstddef>
#include <vector>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include "platform/random_source.h"
#include "saver/sphere_mesh.h"

namespace vantrel {

// Each fragment turns a whole number of times, 1 to kMaxRotations, per unit of
// progress (so at most kMaxRotations / 10 turns by the peak progress of 0.1).
inline constexpr int kMaxRotations = 1000;

// Progress over which the first burst (PositionJump) is mostly spent: by this
// progress it has covered 1 - 1/e, about 63 %, of its distance.
inline constexpr double kJumpProgress = 0.1;

struct ExplosionSettings {
  double final_velocity = 0.0;  // sphere radii per unit of progress: the steady drift
  double position_jump = 0.0;   // sphere radii: the distance the first burst tends to
};

// How far, in sphere radii, every fragment has moved out along its centre
// normal at `progress` (0 and up): the steady drift plus the first burst.
double explosion_displacement(const ExplosionSettings& settings, double progress);

class Explosion {
 public:
  // Draws four numbers from `random` for each fragment, in fragment order:
  // the turn axis (two, uniform over all directions), the number of turns per
  // unit of progress (1 to kMaxRotations, all equally likely) and the sense
  // (below 0.5: counter-clockwise about the axis).
  Explosion(const std::vector<MeshFragment>& fragments, const ExplosionSettings& settings,
            RandomSource& random);

  std::size_t fragment_count() const { return tumbles_.size(); }

  double displacement(double progress) const { return explosion_displacement(settings_, progress); }

  // Takes a point of fragment `fragment` from its place on the whole sphere to
  // its place at `progress`, in sphere space: turned about the fragment's own
  // centre, then moved out by displacement(progress). Exactly the identity at
  // progress 0.
  glm::mat4 fragment_matrix(std::size_t fragment, double progress) const;

 private:
  struct Tumble {
    glm::dvec3 centre;
    glm::dvec3 outward;  // unit
    glm::dvec3 axis;     // unit
    int turns;           // per unit of progress, signed: positive is counter-clockwise
  };

  ExplosionSettings settings_;
  std::vector<Tumble> tumbles_;
};

}  // namespace vantrel
