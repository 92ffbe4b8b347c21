#include "imagesource/existence.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_file_system.h"

namespace vantrel {
namespace {

class ExistenceTest : public ::testing::Test {
 protected:
  ExistenceTest() {
    file_system.add_file("C:\\Pics\\a.bmp");
    file_system.add_file("C:\\Pics\\locked.bmp");
    file_system.lock_file("C:\\Pics\\locked.bmp");
    file_system.add_folder("C:\\Pics\\Sub");
    file_system.add_folder("C:\\Empty");
  }
  testing::FakeFileSystem file_system;
};

TEST_F(ExistenceTest, FileExistsOnlyForAFileThatOpens) {
  const std::pair<std::string, bool> cases[] = {
      {"C:\\Pics\\a.bmp", true},
      {"C:\\Pics\\a.bmp\\", true},     // one trailing backslash is dropped
      {"C:\\Pics\\a.bmp\\\\", false},  // but only one
      {"C:\\Pics\\missing.bmp", false},
      {"C:\\Pics\\locked.bmp", false},
      {"C:\\Pics\\Sub", false},        // a folder is not a file
      {"C:\\Pics\\Sub\\", false},
      {"", false},
      {"\\", false},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(File_Exists(file_system, path), expected) << path;
}

TEST_F(ExistenceTest, FolderExistsForAFolderWithAnyEntry) {
  const std::pair<std::string, bool> cases[] = {
      {"C:\\Pics", true},
      {"C:\\Pics\\", true},
      {"C:\\Pics   ", true},    // trailing blanks are ignored
      {"C:\\Pics\\  ", true},
      {"C:\\Empty", true},      // its own "." entry counts
      {"C:\\Pics\\Sub", true},
      {"C:\\", true},
      {"C:\\Pics\\a.bmp", false},  // a file is not a folder
      {"C:\\Missing", false},
      {"C:\\Pics \\", false},   // blanks inside the path are part of a name
      {"", true},               // the root of the current drive
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(Folder_Exists(file_system, path), expected) << path;
}

TEST(AddBackslash, TrimsTrailingBlanksAndEndsInOneBackslash) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "\\"},
      {"   ", "\\"},
      {"C:\\Pics", "C:\\Pics\\"},
      {"C:\\Pics\\", "C:\\Pics\\"},
      {"C:\\Pics  ", "C:\\Pics\\"},
      {"C:\\Pics\\  ", "C:\\Pics\\"},
      {"C:\\Pics \\ ", "C:\\Pics \\"},   // only the blanks at the very end
      {"C:\\Pics\t", "C:\\Pics\t\\"},    // blanks are spaces, nothing else
      {"C:\\\\", "C:\\\\"},              // an existing doubled backslash stays
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(Add_Backslash(path), expected) << '"' << path << '"';
}

}  // namespace
}  // namespace vantrel
