#include "platform/time_seeded_random.h"

#include <chrono>

namespace vantrel {

TimeSeededRandom::TimeSeededRandom()
    : engine_(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

double TimeSeededRandom::next() {
  // uniform_real_distribution may return its upper bound through rounding on
  // some library versions; the contract is [0, 1).
  for (;;) {
    const double value = uniform_(engine_);
    if (value < 1.0) return value;
  }
}

}  // namespace vantrel
