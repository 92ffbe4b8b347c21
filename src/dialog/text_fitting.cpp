#include "dialog/text_fitting.h"

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

// Byte offsets of the starts of the characters, and the end.
std::vector<std::size_t> character_starts(std::string_view utf8) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < utf8.size(); ++i)
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(utf8.size());
  return starts;
}

}  // namespace

std::vector<std::string> break_into_lines(std::string_view utf8, int width, const TextWidth& text_width) {
  std::vector<std::string> lines;
  const std::vector<std::size_t> starts = character_starts(utf8);
  std::size_t first = 0;  // index into starts of the line's first character
  const std::size_t characters = starts.size() - 1;
  while (first < characters) {
    // The most characters from `first` that fit: at least one.
    std::size_t low = 1;
    std::size_t high = characters - first;
    while (low < high) {
      const std::size_t middle = (low + high + 1) / 2;
      if (text_width(utf8.substr(starts[first], starts[first + middle] - starts[first])) <= width)
        low = middle;
      else
        high = middle - 1;
    }
    lines.emplace_back(utf8.substr(starts[first], starts[first + low] - starts[first]));
    first += low;
  }
  return lines;
}

std::vector<std::string> fit_into_lines(std::string_view utf8, int width, std::size_t lines,
                                        const TextWidth& text_width) {
  const auto fits = [&](std::string_view text) { return break_into_lines(text, width, text_width).size() <= lines; };
  return break_into_lines(shorten_in_middle(utf8, fits), width, text_width);
}

std::string shorten_in_middle(std::string_view utf8, const std::function<bool(std::string_view)>& fits) {
  if (fits(utf8)) return std::string(utf8);
  const std::vector<std::size_t> starts = character_starts(utf8);
  const std::size_t characters = starts.size() - 1;
  const auto shortened = [&](std::size_t kept) {
    const std::size_t head = kept / 2;
    const std::size_t tail = kept - head;
    std::string text(utf8.substr(0, starts[head]));
    text += kEllipsis;
    text += utf8.substr(starts[characters - tail]);
    return text;
  };
  // The most characters kept that still fit, between none and all but one.
  std::size_t low = 0;
  std::size_t high = characters == 0 ? 0 : characters - 1;
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (fits(shortened(middle)))
      low = middle;
    else
      high = middle - 1;
  }
  return shortened(low);
}

std::string broken_for_message(std::string_view utf8, int characters) {
  const auto count = [](std::string_view text) {
    // Every byte but a UTF-8 continuation byte starts a character.
    return static_cast<int>(std::count_if(text.begin(), text.end(),
                                          [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
  };
  std::string broken;
  for (const std::string& line : break_into_lines(utf8, characters, count)) {
    if (!broken.empty()) broken += '\n';
    broken += line;
  }
  return broken;
}

}  // namespace vantrel
