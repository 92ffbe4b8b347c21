#include "startup/command_line.h"

#include <cmath>
#include <charconv>
#include <limits>

namespace vantrel {
namespace {

// Byte offset of the character with the 0-based index `index`, or npos.
std::size_t offset_of_character(std::string_view utf8, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t offset = 0; offset < utf8.size(); ++offset) {
    const auto byte = static_cast<unsigned char>(utf8[offset]);
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte of the character before
    if (seen == index) return offset;
    ++seen;
  }
  return std::string_view::npos;
}

char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

StartRequest parse_argument_text(std::string_view argument_text) {
  StartRequest request;
  if (argument_text.empty()) {
    request.mode = Mode::Saver;
    request.run_kind = RunKind::Plain;
    return request;
  }
  const std::size_t letter_at = offset_of_character(argument_text, 1);
  if (letter_at == std::string_view::npos) return request;  // no switch letter: End

  const char letter = upper_ascii(argument_text[letter_at]);
  if (const std::size_t handle_at = offset_of_character(argument_text, 3); handle_at != std::string_view::npos)
    request.handle_text = std::string(argument_text.substr(handle_at));
  switch (letter) {
    case 'P': request.mode = Mode::Preview; break;
    case 'A': request.mode = Mode::ChangePassword; break;
    case 'C': request.mode = Mode::Settings; break;
    case 'S': request.mode = Mode::Saver; break;
    default: request.mode = Mode::End; break;
  }
  return request;
}

std::int32_t read_handle_number(std::string_view handle_text) {
  std::string number;
  bool seen_digit = false;
  bool seen_point = false;
  for (const char c : handle_text) {
    if (c == ' ' || c == '\t' || c == '\n') continue;
    if ((c == '+' || c == '-') && number.empty()) {
      number += c;
    } else if (c >= '0' && c <= '9') {
      number += c;
      seen_digit = true;
    } else if (c == '.' && !seen_point) {
      number += c;
      seen_point = true;
    } else {
      break;
    }
  }
  if (!seen_digit) return 0;

  const bool negative = number.front() == '-';
  const std::size_t digits_at = (number.front() == '-' || number.front() == '+') ? 1 : 0;
  double magnitude = 0;
  // Digits and at most one point: the only failure is a value beyond double,
  // which the range check below turns into "no window".
  const auto parsed = std::from_chars(number.data() + digits_at, number.data() + number.size(), magnitude);
  if (parsed.ec != std::errc{}) return 0;
  const double value = std::nearbyint(negative ? -magnitude : magnitude);  // halves to the even neighbour
  if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()))
    return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace vantrel
