#include "settings/ini_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace vantrel {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(IniNumberTest, ReadsDecimalTextDownToTheNextWholeNumber) {
  const struct {
    const char* text;
    std::optional<std::int64_t> expected;
  } cases[] = {
      {"3", 3},          {" 3", 3},          {" 3 ", 3},       {"\t3\t", 3},
      {"+3", 3},         {"3.9", 3},         {"4.7", 4},       {"-2.5", -3},
      {"-2", -2},        {"-0", 0},          {"-0.0", 0},      {"0.5", 0},
      {"-0.5", -1},      {".5", 0},          {"5.", 5},        {"250", 250},
      {"007", 7},        {"1e3", 1000},      {"1E+3", 1000},   {"25e-1", 2},
      {"-25e-1", -3},    {"1e-999999999", 0}, {"-1e-999999999", -1},
      {"0e999", 0},      {"99999999999", 99999999999},
      {"9223372036854775807", kMax},         {"9223372036854775807.9", kMax},
      {"-9223372036854775808", kMin},        {"0.9223372036854775807e19", kMax},
      {"9223372036854775808", std::nullopt}, {"-9223372036854775808.5", std::nullopt},
      {"1e999", std::nullopt},               {"1e19", std::nullopt},
      {"", std::nullopt},        {"  ", std::nullopt},   {"abc", std::nullopt},
      {"3x", std::nullopt},      {"3 4", std::nullopt},  {"--3", std::nullopt},
      {"-", std::nullopt},       {".", std::nullopt},    {"e3", std::nullopt},
      {"1e", std::nullopt},      {"1e+", std::nullopt},  {"0x10", std::nullopt},
      {"3,5", std::nullopt},     {"\xEF\xBC\x93", std::nullopt},  // full-width 3
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_whole_number(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(IniNumberTest, WritesABlankOrTheMinusSignBeforeTheDigits) {
  const struct {
    std::int64_t number;
    const char* text;
  } cases[] = {{3, " 3"},     {0, " 0"},       {-3, "-3"},        {250, " 250"},
               {99999999999, " 99999999999"}, {kMin, "-9223372036854775808"}};
  for (const auto& c : cases) {
    EXPECT_EQ(format_whole_number(c.number), c.text);
    EXPECT_EQ(read_whole_number(c.text), c.number) << "reads back";
  }
}

}  // namespace
}  // namespace vantrel
