#include "settings/ini_number.h"

#include <cstddef>
#include <limits>

namespace vantrel {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Beyond this many decimal digits before the point no value fits in int64;
// exponents are clamped well past it so their arithmetic cannot overflow.
constexpr std::int64_t kMaxIntegerDigits = 19;
constexpr std::int64_t kExponentClamp = 1'000'000;

}  // namespace

std::optional<std::int64_t> read_whole_number(std::string_view text) {
  std::size_t at = 0;
  const auto digits_from = [&](std::size_t from) {
    while (at < text.size() && is_digit(text[at])) ++at;
    return text.substr(from, at - from);
  };

  while (at < text.size() && is_blank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::string_view whole_digits = digits_from(at);
  std::string_view fraction_digits;
  if (at < text.size() && text[at] == '.') fraction_digits = digits_from(++at);
  if (whole_digits.empty() && fraction_digits.empty()) return std::nullopt;

  std::int64_t exponent = 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    bool exponent_negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) exponent_negative = text[at++] == '-';
    const std::string_view exponent_digits = digits_from(at);
    if (exponent_digits.empty()) return std::nullopt;
    for (const char digit : exponent_digits) {
      exponent = exponent * 10 + (digit - '0');
      if (exponent > kExponentClamp) exponent = kExponentClamp;
    }
    if (exponent_negative) exponent = -exponent;
  }
  while (at < text.size() && is_blank(text[at])) ++at;
  if (at != text.size()) return std::nullopt;

  // The number is 0.d1d2d3... x 10^point over all its digits, leading zeros
  // dropped; `point` counts the digits that stand before the decimal point.
  std::string digits;
  digits.append(whole_digits).append(fraction_digits);
  std::int64_t point = static_cast<std::int64_t>(whole_digits.size()) + exponent;
  const std::size_t first_nonzero = digits.find_first_not_of('0');
  if (first_nonzero == std::string::npos) return 0;  // any zero, "-0" included
  digits.erase(0, first_nonzero);
  point -= static_cast<std::int64_t>(first_nonzero);
  if (point > kMaxIntegerDigits) return std::nullopt;

  std::uint64_t magnitude = 0;  // the whole part; at most 19 digits, so it fits
  bool has_fraction = false;
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(digits.size()); ++i) {
    const unsigned digit = static_cast<unsigned>(digits[static_cast<std::size_t>(i)] - '0');
    if (i < point) {
      magnitude = magnitude * 10 + digit;
    } else if (digit != 0) {
      has_fraction = true;
      break;
    }
  }
  for (std::int64_t i = static_cast<std::int64_t>(digits.size()); i < point; ++i) magnitude *= 10;

  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (!negative) {
    if (magnitude > kMax) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
  }
  if (has_fraction) ++magnitude;  // down, away from zero
  if (magnitude > kMax + 1) return std::nullopt;
  if (magnitude == kMax + 1) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}

std::string format_whole_number(std::int64_t number) {
  if (number < 0) return std::to_string(number);
  std::string text = " ";
  text += std::to_string(number);
  return text;
}

}  // namespace vantrel
