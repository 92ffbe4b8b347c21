#include "platform/text_codec_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantrel {
namespace {

TEST(Win32TextCodecTest, ConvertsExactlyOrRefuses) {
  const struct {
    const char* what;
    std::string utf8;
    std::optional<std::string> cp932;
  } cases[] = {
      {"empty", "", ""},
      {"ASCII path", "C:\\Pics\\a.jpg", "C:\\Pics\\a.jpg"},
      {"key of half-width katakana", "ﾌｫﾙﾀﾞ名", "\xCC\xAB\xD9\xC0\xDE\x96\xBC"},
      {"key with trail byte ]", "回転の速さ", "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3"},
      {"trail byte backslash", "C:\\ソフト", "C:\\\x83\x5C\x83\x74\x83\x67"},
      {"full-width tilde", "～", "\x81\x60"},
      {"accented letter, no best fit", "caf\xC3\xA9", std::nullopt},
      {"yen sign would become a backslash", "\xC2\xA5", std::nullopt},
      {"outside the BMP", "\xF0\x9F\x98\x80", std::nullopt},
      {"invalid UTF-8", "a\xFF", std::nullopt},
  };
  const Win32TextCodec codec;
  for (const auto& c : cases) EXPECT_EQ(codec.to_cp932(c.utf8), c.cp932) << c.what;
}

TEST(Win32TextCodecTest, DecodesAndMarksBrokenBytes) {
  const struct {
    std::string cp932;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"\x94\x9A\x94\xAD", "爆発"},
      {"\xCC\xA7\xB2\xD9", "ﾌｧｲﾙ"},
      {"a\x81", "a\xEF\xBF\xBD"},            // lead byte cut off at the end
      {"\x81\x20z", "\xEF\xBF\xBD z"},        // lead byte without a trail byte
      {"\x83\x5C\x81", "ソ\xEF\xBF\xBD"},
  };
  const Win32TextCodec codec;
  for (const auto& c : cases) EXPECT_EQ(codec.from_cp932(c.cp932), c.utf8) << c.utf8;
}

}  // namespace
}  // namespace vantrel
