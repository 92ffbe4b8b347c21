#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

struct ReadCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
};

TEST(IniFileTest, ReadsValuesAsTheProfileLayerReturnsThem) {
  const std::string a255(255, 'a');
  const ReadCase cases[] = {
      {"plain", "[Section]\r\nk=v\r\n", "Section", "k", "v"},
      {"lowercase section, upper-case key", "[section]\r\nK=v\r\n", "Section", "k", "v"},
      {"blanks around section name", "  [ Section ]  \r\nk=v\r\n", "Section", "k", "v"},
      {"blanks around key and value", "[Section]\r\n \tk \t=  v  w \t\r\n", "Section", "k", "v  w"},
      {"double quotes", "[Section]\r\nk= \"q v\" \r\n", "Section", "k", "q v"},
      {"single quotes", "[Section]\r\nk='q'\r\n", "Section", "k", "q"},
      {"unmatched quotes kept", "[Section]\r\nk=\"q'\r\n", "Section", "k", "\"q'"},
      {"lone quote kept", "[Section]\r\nk=\"\r\n", "Section", "k", "\""},
      {"first duplicate key", "[Section]\r\nk=1\r\nk=2\r\n", "Section", "k", "1"},
      {"first duplicate section", "[Section]\r\nk=1\r\n[Section]\r\nk=2\r\n", "Section", "k", "1"},
      {"key of another section", "[Other]\r\nk=1\r\n[Section]\r\n", "Section", "k", ""},
      {"key before any section", "k=1\r\n[Section]\r\n", "Section", "k", ""},
      {"no section at all", "k=1\r\n", "Section", "k", ""},
      {"comment and bare word skipped", "[Section]\r\n;k=1\r\nk\r\nk=2\r\n", "Section", "k", "2"},
      {"LF only", "[Section]\nj=1\nk=2\n", "Section", "k", "2"},
      {"lone CR", "[Section]\rj=1\rk=2", "Section", "k", "2"},
      {"no final line break", "[Section]\r\nk=v", "Section", "k", "v"},
      {"NUL ends the value", "[Section]\r\nk=ab\0cd\r\n"s, "Section", "k", "ab"},
      {"empty value", "[Section]\r\nk=\r\n", "Section", "k", ""},
      // 0x5D (']') as the trail byte of 転 must not close the section name.
      {"trail byte ]", "[\x89\xF1\x93\x5D]\r\nk=v\r\n", "\x89\xF1\x93\x5D", "k", "v"},
      // ア (83 41) and ヂ (83 61) differ only by a trail byte's ASCII case.
      {"trail bytes never fold", "[Section]\r\n\x83\x41=v\r\n", "Section", "\x83\x61", ""},
      {"double-byte key", "[Section]\r\n\x83\x41=v\r\n", "Section", "\x83\x41", "v"},
      {"cut to 255 bytes", "[Section]\r\nk=" + a255 + "bcd\r\n", "Section", "k", a255},
      {"quotes removed before the cut", "[Section]\r\nk=\"" + a255 + "\"\r\n", "Section", "k", a255},
      {"cut never halves a character", "[Section]\r\nk=" + a255.substr(1) + "\x82\xA0\r\n", "Section",
       "k", a255.substr(1)},
      {"a whole character fits", "[Section]\r\nk=" + a255.substr(2) + "\x82\xA0\r\n", "Section", "k",
       a255.substr(2) + "\x82\xA0"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(read_profile_string(c.file, c.section, c.key), c.expected) << c.what;
  }
}

TEST(IniFileTest, GarbageAndHugeLinesStillFindTheKey) {
  std::string garbage;
  for (int round = 0; round < 64; ++round) {
    for (int byte = 0; byte < 256; ++byte) garbage += static_cast<char>(byte * 7 + round);
  }
  const std::string file = garbage + "\r\n[Section]\r\nx=" + std::string(1 << 20, 'y') + "\r\nk=7\r\n";
  EXPECT_EQ(read_profile_string(file, "Section", "k"), "7");
  EXPECT_EQ(read_profile_string(file, "Section", "x"), std::string(255, 'y'));
  EXPECT_EQ(read_profile_string(garbage, "Section", "k"), "");
}

struct WriteCase {
  const char* what;
  std::string before;
  std::string key;
  std::string after;
};

TEST(IniFileTest, WritesOnlyTheKeysLine) {
  // Comments, odd spacing, other sections and LF line ends must survive.
  const std::string kept_head = "; settings\r\n[Other]\nk=other\n\n  [ section ]  ; mine\r\n";
  const WriteCase cases[] = {
      {"no file", "", "k", "[Section]\r\nk=new\r\n"},
      {"rewritten in place", kept_head + "a = 1\n  K  =  old  \nz=2\n", "k",
       kept_head + "a = 1\nk=new\r\nz=2\n"},
      {"first duplicate only", "[Section]\r\nk=1\r\nk=2\r\n", "k", "[Section]\r\nk=new\r\nk=2\r\n"},
      {"added after the last key", kept_head + "a=1\n\n; next\r\n[Next]\r\n", "k",
       kept_head + "a=1\nk=new\r\n\n; next\r\n[Next]\r\n"},
      {"added to an empty section", "[Section]\r\n\r\n[Next]\r\n", "k",
       "[Section]\r\nk=new\r\n\r\n[Next]\r\n"},
      {"section at the end without line break", "[Section]", "k", "[Section]\r\nk=new\r\n"},
      {"section added", "[Other]\r\nk=1", "k", "[Other]\r\nk=1\r\n[Section]\r\nk=new\r\n"},
      {"double-byte key", "[Section]\r\n\x83\x41=1\r\n", "\x83\x61",
       "[Section]\r\n\x83\x41=1\r\n\x83\x61=new\r\n"},
  };
  for (const WriteCase& c : cases) {
    std::string file = c.before;
    write_profile_string(file, "Section", c.key, "new");
    EXPECT_EQ(file, c.after) << c.what;
  }
}

struct ManyReadCase {
  const char* what;
  std::string text;
  TextForm form;
  std::vector<std::string_view> keys;
  std::vector<std::string> expected;
};

TEST(IniFileTest, ReadsEveryKeyAskedForInOneCall) {
  const std::string a300 = [] {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "あ";
    return text;
  }();
  const ManyReadCase cases[] = {
      {"any order, one missing", "[Section]\r\nb=2\r\na=1\r\n", TextForm::CodePage932, {"a", "b", "c"}, {"1", "2", ""}},
      {"one key asked twice", "[Section]\r\nk=1\r\n", TextForm::CodePage932, {"k", "K"}, {"1", "1"}},
      {"first duplicate of each", "[Section]\r\na=1\r\nb=2\r\na=3\r\nb=4\r\n", TextForm::CodePage932, {"b", "a"},
       {"2", "1"}},
      {"the section ends at the next one", "[Section]\r\na=1\r\n[Other]\r\nb=2\r\n[Section]\r\nb=3\r\n",
       TextForm::CodePage932, {"a", "b"}, {"1", ""}},
      {"no section", "a=1\r\n", TextForm::CodePage932, {"a", "b"}, {"", ""}},
      {"no key asked", "[Section]\r\na=1\r\n", TextForm::CodePage932, {}, {}},
      {"UTF-8 names", "[Section]\r\n回転の速さ= 7\r\n", TextForm::Utf8, {"回転の速さ"}, {"7"}},
      {"UTF-8: ASCII after a high byte folds", "[Section]\r\n\x83\x41=v\r\n", TextForm::Utf8, {"\x83\x61"}, {"v"}},
      {"UTF-8: cut to 255 characters", "[Section]\r\nk=" + a300 + "\r\n", TextForm::Utf8, {"k"},
       {a300.substr(0, 255 * 3)}},
      {"UTF-8: 300 bytes in 100 characters kept", "[Section]\r\nk=" + a300.substr(0, 300) + "\r\n", TextForm::Utf8,
       {"k"}, {a300.substr(0, 300)}},
  };
  for (const ManyReadCase& c : cases) {
    EXPECT_EQ(read_profile_strings(c.text, c.form, "Section", c.keys), c.expected) << c.what;
  }
  // 0x5D is the trail byte of 転 (89 F1 93 5D) in code page 932, but a ']'
  // wherever it stands in UTF-8, where it closes the name early.
  const std::string_view key[] = {"k"};
  EXPECT_EQ(read_profile_strings("[\x89\xF1\x93\x5D]\r\nk=v\r\n", TextForm::CodePage932, "\x89\xF1\x93\x5D", key),
            std::vector<std::string>{"v"});
  EXPECT_EQ(read_profile_strings("[\x89\xF1\x93\x5D]\r\nk=v\r\n", TextForm::Utf8, "\x89\xF1\x93\x5D", key),
            std::vector<std::string>{""});
}

struct ManyWriteCase {
  const char* what;
  std::string before;
  std::vector<ProfileEntry> entries;
  std::string after;
};

TEST(IniFileTest, WritesManyKeysAsIfOneAfterTheOther) {
  const ManyWriteCase cases[] = {
      {"all new: added in their order", "[Section]\r\n", {{"a", "1"}, {"b", "2"}}, "[Section]\r\na=1\r\nb=2\r\n"},
      {"no text", "", {{"a", "1"}, {"b", "2"}}, "[Section]\r\na=1\r\nb=2\r\n"},
      {"no section: added whole at the end", "[Other]\r\nx=1", {{"a", "1"}, {"b", "2"}},
       "[Other]\r\nx=1\r\n[Section]\r\na=1\r\nb=2\r\n"},
      {"one in place, one after the last key", "[Section]\r\nb=old\r\n\r\n; next\r\n[Next]\r\n",
       {{"a", "1"}, {"b", "2"}}, "[Section]\r\nb=2\r\na=1\r\n\r\n; next\r\n[Next]\r\n"},
      {"last line without break rewritten, one added", "[Section]\r\nb=old", {{"b", "2"}, {"a", "1"}},
       "[Section]\r\nb=2\r\na=1\r\n"},
      {"last line without break kept, one added", "[Section]\r\nb=old", {{"a", "1"}},
       "[Section]\r\nb=old\r\na=1\r\n"},
      {"header without break", "[Section]", {{"a", "1"}, {"b", "2"}}, "[Section]\r\na=1\r\nb=2\r\n"},
      {"a key given twice: the last value, where the first goes", "[Section]\r\nz=0\r\n",
       {{"k", "1"}, {"z", "2"}, {"K", "3"}}, "[Section]\r\nz=2\r\nK=3\r\n"},
      {"a key given twice, there already", "[Section]\r\nk=0\r\nz=0\r\n", {{"k", "1"}, {"K", "3"}},
       "[Section]\r\nK=3\r\nz=0\r\n"},
      {"nothing to write", "x", {}, "x"},
  };
  for (const ManyWriteCase& c : cases) {
    EXPECT_EQ(write_profile_strings(c.before, TextForm::CodePage932, "Section", c.entries), c.after) << c.what;
  }
}

}  // namespace
}  // namespace vantrel
