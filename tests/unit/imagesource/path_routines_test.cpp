#include "imagesource/path_routines.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_file_system.h"

namespace vantrel {
namespace {

TEST(FindText, FindsTheFirstOccurrenceFromTheStartPosition) {
  struct Case {
    std::size_t start;
    std::string text;
    std::string sought;
    CompareMode mode;
    std::size_t expected;
  };
  const Case cases[] = {
      {1, "abcabc", "c", CompareMode::Exact, 3},
      {4, "abcabc", "c", CompareMode::Exact, 6},
      {3, "abcabc", "c", CompareMode::Exact, 3},        // the start itself counts
      {7, "abcabc", "c", CompareMode::Exact, 0},        // past the end
      {1, "abcabc", "C", CompareMode::Exact, 0},
      {4, "abcabc", "BC", CompareMode::IgnoreCase, 5},
      {1, "C:\\PICS", "pics", CompareMode::IgnoreCase, 4},
      {1, "abc", "abcd", CompareMode::IgnoreCase, 0},   // longer than the text
      {1, "", "a", CompareMode::IgnoreCase, 0},
      {2, "abc", "", CompareMode::Exact, 2},            // empty sought: the start
      {5, "abc", "", CompareMode::Exact, 0},
      // Positions count UTF-8 bytes; 写 and 真 take three each.
      {1, "写真\\a.bmp", "\\", CompareMode::Exact, 7},
      // Only ASCII letters are folded: Ä and ä stay different.
      {1, "\xC3\x84", "\xC3\xA4", CompareMode::IgnoreCase, 0},
      // Any mode other than 0 ignores case, not just the named one.
      {1, "abc", "B", static_cast<CompareMode>(7), 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find_Text(c.start, c.text, c.sought, c.mode), c.expected)
        << "start " << c.start << " in \"" << c.text << "\" for \"" << c.sought << "\" mode "
        << static_cast<int>(c.mode);
  }
}

TEST(FindText, ShorterFormsSearchFromTheStartOrTheGivenPositionIgnoringCase) {
  EXPECT_EQ(Find_Text("xAbab", "ab"), 2u);
  EXPECT_EQ(Find_Text("xAbab", "q"), 0u);
  EXPECT_EQ(Find_Text(3, "xAbab", "AB"), 4u);
  EXPECT_EQ(Find_Text(5, "xAbab", "AB"), 0u);
}

TEST(DirOfPath, GivesTheDirectoryPartWithoutATrailingBackslash) {
  testing::FakeFileSystem file_system;
  file_system.set_current_directory("D:\\Current");
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Pics\\a.bmp", "C:\\Pics"},
      {"C:\\", "C:"},                    // a drive root: drive letter and colon
      {"C:\\Pics\\", "C:\\Pics"},
      {"\\", ""},
      {"\\a.bmp", ""},
      {"C:\\\\*.bmp", "C:\\"},           // a drive root's pattern keeps its own backslash
      {"C:/Pics/a.bmp", "C:\\Pics"},     // slashes read as backslashes
      {"C:/", "C:"},
      {"a/b", "a"},
      {"/", ""},
      {"\\\\server\\share\\x.jpg", "\\\\server\\share"},
      {"C:\\写真\\表.jpg", "C:\\写真"},
      {"", "D:\\Current"},               // no backslash: the current directory
      {"a.bmp", "D:\\Current"},
      {"C:", "D:\\Current"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(Dir_Of_Path(file_system, path), expected) << path;
}

}  // namespace
}  // namespace vantrel
