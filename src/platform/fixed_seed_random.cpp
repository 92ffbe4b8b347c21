#include "platform/fixed_seed_random.h"

namespace vantrel {

double FixedSeedRandom::next() {
  // minstd_rand gives 1 .. 2^31 - 2; shifted down by one and divided by the
  // count of its values, that is [0, 1) without a distribution object, whose
  // results the standard leaves to each library.
  const auto value = engine_() - std::minstd_rand::min();
  return static_cast<double>(value) / (static_cast<double>(std::minstd_rand::max() - std::minstd_rand::min()) + 1.0);
}

}  // namespace vantrel
