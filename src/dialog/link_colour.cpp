#include "dialog/link_colour.h"

#include <algorithm>

namespace vantrel {

LinkColour LinkColourCycle::tick(RandomSource& random) {
  const bool all_at_an_end =
      std::all_of(levels_.begin(), levels_.end(), [](int level) { return level == 0 || level == kTop; });
  if (all_at_an_end) {
    for (int& move : moves_) move = std::clamp(static_cast<int>(random.next() * 3), kHold, kUp);
  }
  for (std::size_t channel = 0; channel < levels_.size(); ++channel) {
    int& level = levels_[channel];
    if (moves_[channel] == kDown && level != 0) level -= kStep;
    if (moves_[channel] == kUp && level != kTop) level += kStep;
  }
  return {levels_[0], levels_[1], levels_[2]};
}

}  // namespace vantrel
