#include "imagesource/image_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imagesource/existence.h"
#include "imagesource/sandbox.h"
#include "platform/file_system_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// Attribute passes are proven against the fake file system: Wine reports the
// archive bit on every file and cannot store a file without it. Here the
// listing meets real names, real folders and real path texts.
class ImageListOnDisk : public ::testing::Test {
 protected:
  ImageListOnDisk() {
    for (const char* name : {"c.gif", "notes.txt", "写真.JPG", "b.bmp", "photo.jpeg", "d.wmf", "hidden.bmp"})
      sandbox.file(name, "x");
    SetFileAttributesW(to_wide(sandbox.path("hidden.bmp")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    sandbox.folder("x.jpg");
  }
  testing::Sandbox sandbox;
  Win32FileSystem file_system;
};

TEST_F(ImageListOnDisk, ListsTheImagesKindByKind) {
  ASSERT_TRUE(GetFileAttributesW(to_wide(sandbox.path("hidden.bmp")).c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Build_Image_List(file_system, sandbox.path()),
            (std::vector<std::string>{sandbox.path("b.bmp"), sandbox.path("c.gif"), sandbox.path("写真.JPG"),
                                      sandbox.path("d.wmf")}));
}

TEST_F(ImageListOnDisk, EntriesOfEveryFolderSpellingOpen) {
  struct Case {
    std::string folder;
    std::string prefix;  // what each entry starts with
  };
  const Case cases[] = {
      {sandbox.path(), sandbox.path() + "\\"},
      {sandbox.path() + "\\", sandbox.path() + "\\\\"},  // the doubled backslash stays, and works
      {sandbox.path() + "  ", sandbox.path() + "\\"},    // trailing blanks dropped
  };
  for (const auto& c : cases) {
    const std::vector<std::string> images = Build_Image_List(file_system, c.folder);
    ASSERT_EQ(images.size(), 4u) << c.folder;
    for (const auto& image : images) {
      EXPECT_EQ(image.rfind(c.prefix, 0), 0u) << image;
      EXPECT_TRUE(File_Exists(file_system, image)) << image;
    }
  }
}

TEST_F(ImageListOnDisk, AFolderThatIsGoneListsNothing) {
  EXPECT_TRUE(Build_Image_List(file_system, sandbox.path("missing")).empty());
  EXPECT_TRUE(Build_Image_List(file_system, sandbox.path("b.bmp")).empty());
}

}  // namespace
}  // namespace vantrel
