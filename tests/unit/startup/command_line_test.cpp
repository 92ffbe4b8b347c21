#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct SwitchCase {
  const char* argument_text;
  Mode mode;
  RunKind run_kind;
  const char* handle_text;
};

TEST(ParseArgumentText, ReadsTheSwitchLetterAndHandleText) {
  const SwitchCase cases[] = {
      {"/s", Mode::Saver, RunKind::Saver, ""},
      {"/S", Mode::Saver, RunKind::Saver, ""},
      {"-s", Mode::Saver, RunKind::Saver, ""},
      {"xs", Mode::Saver, RunKind::Saver, ""},  // the lead character is never examined
      {"", Mode::Saver, RunKind::Plain, ""},
      {"/x", Mode::End, RunKind::Saver, ""},
      {"S", Mode::End, RunKind::Saver, ""},  // one character: no switch letter
      {"/c", Mode::Settings, RunKind::Saver, ""},
      {"/c:1234", Mode::Settings, RunKind::Saver, "1234"},
      {"/p 1234", Mode::Preview, RunKind::Saver, "1234"},
      {"/p:1234", Mode::Preview, RunKind::Saver, "1234"},
      {"/P", Mode::Preview, RunKind::Saver, ""},
      {"/a 1234", Mode::ChangePassword, RunKind::Saver, "1234"},
      {"/s extra", Mode::Saver, RunKind::Saver, "extra"},
      // Characters, not bytes: a Japanese lead or separator still counts as one.
      {"\xE3\x80\x80p\xE3\x80\x80" "5678", Mode::Preview, RunKind::Saver, "5678"},
      {"/\xE3\x81\x82", Mode::End, RunKind::Saver, ""},
  };
  for (const SwitchCase& c : cases) {
    const StartRequest request = parse_argument_text(c.argument_text);
    EXPECT_EQ(request.mode, c.mode) << '"' << c.argument_text << '"';
    if (c.mode == Mode::Saver) {
      EXPECT_EQ(request.run_kind, c.run_kind) << '"' << c.argument_text << '"';
    }
    EXPECT_EQ(request.handle_text, c.handle_text) << '"' << c.argument_text << '"';
  }
}

TEST(ReadHandleNumber, ReadsTheLeadingNumberIgnoringBlanks) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"1234", 1234},
      {" 1234", 1234},
      {"1234x", 1234},
      {"12 34", 1234},
      {"1\t2\n3", 123},
      {"-5", -5},
      {"+7", 7},
      {"1e3", 1},  // no exponent: the letter ends the number
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {".", 0},
      {"2.5", 2},  // halves to the even neighbour
      {"3.5", 4},
      {"-2.5", -2},
      {"2.51", 3},
      {"0.4", 0},
      {"1.2.3", 1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483648},
      {"2147483648", 0},  // beyond 32 bits names no window
      {"99999999999999999999999", 0},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(read_handle_number(text), expected) << '"' << text << '"';
}

}  // namespace
}  // namespace vantrel
