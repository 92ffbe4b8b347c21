#pragma once
// A random source that starts from the same seed in every run, so that what
// it drives (the settings dialog's link colours) goes through the same
// sequence each time. The numbers come straight from a generator whose every
// output the language defines, so they are the same on every system.

#include <random>

#include "platform/random_source.h"

namespace vantrel {

class FixedSeedRandom final : public RandomSource {
 public:
  double next() override;

 private:
  std::minstd_rand engine_;  // the default seed
};

}  // namespace vantrel
