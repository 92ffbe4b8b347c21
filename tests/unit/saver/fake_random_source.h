#pragma once
// A random source giving a fixed sequence over and over, counting the draws.

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/random_source.h"

namespace vantrel::testing {

class FakeRandomSource : public RandomSource {
 public:
  explicit FakeRandomSource(std::vector<double> sequence) : sequence_(std::move(sequence)) {}
  double next() override { return sequence_[draws_++ % sequence_.size()]; }
  std::size_t draws() const { return draws_; }

 private:
  std::vector<double> sequence_;
  std::size_t draws_ = 0;
};

}  // namespace vantrel::testing
