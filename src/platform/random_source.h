#pragma once
// A uniform random source, as the core sees it. The platform's implementation
// seeds itself from the time of day; tests hand in fixed sequences.

namespace vantrel {

class RandomSource {
 public:
  virtual ~RandomSource() = default;

  // The next number of the sequence, uniform in [0, 1): never 1.
  virtual double next() = 0;
};

}  // namespace vantrel
