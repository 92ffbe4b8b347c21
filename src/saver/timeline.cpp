#include "saver/timeline.h"

#include <cassert>
#include <cmath>

namespace vantrel {

double explode_progress(double seconds) {
  assert(seconds >= 0.0 && "the scene's clock starts at the first frame");
  const double u = std::fmod(seconds, kCycleSeconds);
  if (u < kHoldSeconds) return 0.0;
  const double burst_end = kHoldSeconds + kBurstSeconds;
  if (u <= burst_end) return kPeakProgress * (u - kHoldSeconds) / kBurstSeconds;
  return kPeakProgress * (kCycleSeconds - u) / kGatherSeconds;
}

double spin_degrees(double rate_degrees_per_second, double seconds) {
  // The product is formed in double before the reduction: after a day at
  // 100 degrees per second it is still exact to well under a microdegree.
  return std::fmod(rate_degrees_per_second * seconds, 360.0);
}

}  // namespace vantrel
