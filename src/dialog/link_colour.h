#pragma once
// Timer1's colour cycle of the link label: each of red, green and blue glides
// between 0 and 250 in steps of 10, and new directions are drawn only when all
// three rest at an end.

#include <array>

#include "platform/random_source.h"

namespace vantrel {

struct LinkColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const LinkColour&, const LinkColour&) = default;
};

class LinkColourCycle {
 public:
  // Movement codes of Link_Move.
  static constexpr int kHold = 0;
  static constexpr int kDown = 1;
  static constexpr int kUp = 2;
  static constexpr int kStep = 10;
  static constexpr int kTop = 250;

  // One tick: draws red's, green's and blue's codes (in that order, one
  // number each) when every level is 0 or 250, then moves each level one
  // step its way unless it already stands at that end. Returns the colour.
  LinkColour tick(RandomSource& random);

  const std::array<int, 3>& Link_Color() const { return levels_; }
  const std::array<int, 3>& Link_Move() const { return moves_; }

 private:
  std::array<int, 3> levels_{};  // red, green, blue; all start at 0
  std::array<int, 3> moves_{};   // all start at kHold
};

}  // namespace vantrel
