#pragma once
// Numbers as the settings file holds them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Reads `text` as a decimal number and takes it down to the next whole number
// (towards minus infinity): "3", " 3 ", "3.9" and "+3" give 3, "-2.5" gives
// -3, "-0" gives 0, "1e3" gives 1000. The form is: blanks, an optional sign,
// digits with an optional fraction (at least one digit in all), an optional
// exponent (e or E, optional sign, digits), blanks. Nothing when the text is
// anything else (empty, "abc", "3x") or the whole number is beyond int64
// ("1e999"). Exact: no floating point is involved, so every int64 reads back
// as itself.
std::optional<std::int64_t> read_whole_number(std::string_view text);

// The file's form of a number: one blank and the digits (" 3"), the minus sign
// in the blank's place for a negative number ("-3"). No leading zeros or
// separators.
std::string format_whole_number(std::int64_t number);

}  // namespace vantrel
