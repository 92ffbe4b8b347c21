#include "settings/profile_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

using namespace std::string_literals;

struct DecodeCase {
  const char* what;
  std::string bytes;
  ProfileEncoding encoding;
  std::string text;  // UTF-8 for the Unicode encodings
};

TEST(ProfileTextTest, TellsTheEncodingByTheByteOrderMarkAsTheSystemDoes) {
  const DecodeCase cases[] = {
      {"no mark: code page 932", "[Section]\r\n\x8B\x85=1\r\n", ProfileEncoding::CodePage932,
       "[Section]\r\n\x8B\x85=1\r\n"},
      {"empty", "", ProfileEncoding::CodePage932, ""},
      {"UTF-8", "\xEF\xBB\xBF[\xE7\x90\x83]\r\n", ProfileEncoding::Utf8, "[\xE7\x90\x83]\r\n"},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", ProfileEncoding::Utf8, ""},
      // An earlier save wrote code-page-932 lines behind an editor's mark.
      {"code page 932 behind a UTF-8 mark", "\xEF\xBB\xBF[Section]\r\n\xCC\xAB\xD9\xC0\xDE\x96\xBC=C:\\\r\n",
       ProfileEncoding::CodePage932, "[Section]\r\n\xCC\xAB\xD9\xC0\xDE\x96\xBC=C:\\\r\n"},
      {"a surrogate's form is no UTF-8", "\xEF\xBB\xBFk=\xED\xA0\x80\r\n", ProfileEncoding::CodePage932,
       "k=\xED\xA0\x80\r\n"},
      {"UTF-16 little-endian", "\xFF\xFEk\0=\0\x03\x74\r\0\n\0"s, ProfileEncoding::Utf16LittleEndian,
       "k=\xE7\x90\x83\r\n"},
      {"UTF-16 big-endian", "\xFE\xFF\0k\0=\x74\x03"s, ProfileEncoding::Utf16BigEndian, "k=\xE7\x90\x83"},
      {"UTF-16 pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, ProfileEncoding::Utf16LittleEndian, "\xF0\x9F\x98\x80"},
      {"UTF-16 mark alone", "\xFF\xFE", ProfileEncoding::Utf16LittleEndian, ""},
  };
  for (const DecodeCase& c : cases) {
    const ProfileText decoded = decode_profile_text(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding) << c.what;
    EXPECT_EQ(decoded.text, c.text) << c.what;
    EXPECT_EQ(form_of(decoded.encoding),
              c.encoding == ProfileEncoding::CodePage932 ? TextForm::CodePage932 : TextForm::Utf8)
        << c.what;
  }
}

TEST(ProfileTextTest, EveryFileComesBackByteForByte) {
  const std::string cases[] = {
      "",
      "plain\r\n\x82\xA0",
      "\xEF\xBB\xBF",
      "\xEF\xBB\xBF\xFF\xFE",
      "\xEF\xBB\xBF\xC3\xA9\xE7\x90\x83",
      "\xFF\xFE",
      "\xFF\xFE\x00\xD8k\0"s,        // a high surrogate with no partner
      "\xFF\xFE\x00\xDC\x00\xD8"s,   // a low one, then a high one: no pair
      "\xFF\xFE\x3D\xD8\x00\xDE"s,   // a pair
      "\xFF\xFE\x3D\xD8",            // a high surrogate at the very end
      "\xFF\xFEk\0="s,               // an odd last byte
      "\xFE\xFF\xD8\x00\0k\x74"s,    // big-endian, lone surrogate, odd byte
      "\xFF\xFE\0\0\xFF\xFF\xFE\xFF"s,
      "\xFE\xFF",
      "\xFE",
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(encode_profile_text(decode_profile_text(bytes)), bytes) << ::testing::PrintToString(bytes);
  }
}

TEST(ProfileTextTest, WrittenTextTakesTheFilesOwnEncoding) {
  const struct {
    const char* what;
    std::string before;
    std::string after;  // with "k=球" appended to the text
  } cases[] = {
      {"code page 932 stays bytes", "x\r\n", "x\r\nk=\xE7\x90\x83"},
      {"UTF-8 keeps its mark", "\xEF\xBB\xBFx\r\n", "\xEF\xBB\xBFx\r\nk=\xE7\x90\x83"},
      {"UTF-16 little-endian", "\xFF\xFEx\0"s, "\xFF\xFEx\0k\0=\0\x03\x74"s},
      {"UTF-16 big-endian", "\xFE\xFF\0x"s, "\xFE\xFF\0x\0k\0=\x74\x03"s},
      {"the odd byte stays last", "\xFF\xFEx\0!"s, "\xFF\xFEx\0k\0=\0\x03\x74!"s},
  };
  for (const auto& c : cases) {
    ProfileText text = decode_profile_text(c.before);
    text.text += "k=\xE7\x90\x83";
    EXPECT_EQ(encode_profile_text(std::move(text)), c.after) << c.what;
  }
}

TEST(ProfileTextTest, ValuesAreMadeWellFormedUtf8) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"C:\\\xE5\x86\x99\xE7\x9C\x9F", "C:\\\xE5\x86\x99\xE7\x9C\x9F"},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"a\xED\xA0\x80z", "a\xEF\xBF\xBDz"},   // a lone surrogate's form
      {"a\xC3", "a\xEF\xBF\xBD"},               // cut short
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong
      {"\xFF", "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(well_formed_utf8(c.in), c.out) << ::testing::PrintToString(c.in);
}

}  // namespace
}  // namespace vantrel
