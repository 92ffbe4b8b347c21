#pragma once
// Whole numbers with the user's digit grouping: the "#,###" form of the
// dialog's count of listed files.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// How a locale groups the digits left of the decimal point.
struct DigitGrouping {
  std::string separator = ",";
  // Group sizes from the right; the last one repeats when `repeat_last`.
  // {3} repeated: 1,234,567. {3, 2} repeated: 12,34,567. Empty: no grouping.
  std::vector<int> sizes = {3};
  bool repeat_last = true;
};

// Reads a grouping in the locale form "3;0" (threes throughout), "3;2;0"
// (three, then twos throughout), "3" (one group of three, then the rest
// ungrouped) or "0" (none). Anything unreadable gives threes throughout.
DigitGrouping grouping_from_locale(std::string_view sizes, std::string separator);

// The number with its digits grouped, no leading zeros and nothing for 0, as
// the pattern "#,###" formats it: 7 gives "7", 1234 gives "1,234".
std::string format_grouped(std::uint64_t number, const DigitGrouping& grouping);

}  // namespace vantrel
