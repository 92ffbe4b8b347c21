#include "dialog/number_format.h"

#include <algorithm>

namespace vantrel {

DigitGrouping grouping_from_locale(std::string_view sizes, std::string separator) {
  DigitGrouping grouping;
  grouping.separator = std::move(separator);
  grouping.sizes.clear();
  grouping.repeat_last = false;
  std::vector<int> read;
  int value = -1;
  for (const char c : sizes) {
    if (c >= '0' && c <= '9') {
      value = (value < 0 ? 0 : value * 10) + (c - '0');
      if (value > 9) return DigitGrouping{grouping.separator};
    } else if (c == ';' && value >= 0) {
      read.push_back(value);
      value = -1;
    } else {
      return DigitGrouping{grouping.separator};
    }
  }
  if (value < 0) return DigitGrouping{grouping.separator};
  read.push_back(value);
  // A final 0 means "repeat the group before it"; a lone 0 means no grouping.
  if (read.back() == 0) {
    read.pop_back();
    grouping.repeat_last = !read.empty();
  }
  if (std::find(read.begin(), read.end(), 0) != read.end()) return DigitGrouping{grouping.separator};
  grouping.sizes = std::move(read);
  return grouping;
}

std::string format_grouped(std::uint64_t number, const DigitGrouping& grouping) {
  if (number == 0) return {};
  const std::string digits = std::to_string(number);
  // Cut points counted from the right.
  std::vector<std::size_t> cuts;
  std::size_t from_right = 0;
  for (std::size_t group = 0; !grouping.sizes.empty(); ++group) {
    if (group >= grouping.sizes.size() && !grouping.repeat_last) break;
    from_right += static_cast<std::size_t>(grouping.sizes[std::min(group, grouping.sizes.size() - 1)]);
    if (from_right >= digits.size()) break;
    cuts.push_back(from_right);
  }
  std::string out;
  out.reserve(digits.size() + cuts.size() * grouping.separator.size());
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const std::size_t left = digits.size() - i;  // digits from here to the right end
    if (i > 0 && std::find(cuts.begin(), cuts.end(), left) != cuts.end()) out += grouping.separator;
    out += digits[i];
  }
  return out;
}

}  // namespace vantrel
