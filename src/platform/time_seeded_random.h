#pragma once
// The program's random source: seeded from the time of day, so every run
// draws a fresh picture, colour and tumble.

#include <random>

#include "platform/random_source.h"

namespace vantrel {

class TimeSeededRandom final : public RandomSource {
 public:
  TimeSeededRandom();
  double next() override;

 private:
  std::mt19937_64 engine_;
  std::uniform_real_distribution<double> uniform_{0.0, 1.0};
};

}  // namespace vantrel
