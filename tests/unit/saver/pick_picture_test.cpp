#include "saver/pick_picture.h"

#include <gtest/gtest.h>

#include "saver/fake_random_source.h"

namespace vantrel {
namespace {

TEST(PickPicture, SingleFileShowsFilePathFolderModeEntryIntOfCountTimesRPlusOne) {
  struct Case {
    std::int16_t kind;
    std::size_t images;  // named "1.jpg" to "<images>.jpg", numbered from 1
    double r;
    std::string picked;
    std::size_t draws;
  };
  const Case cases[] = {
      {1, 3, 0.5, "one.jpg", 0},    {-1, 3, 0.5, "one.jpg", 0},   {0, 3, 0.0, "1.jpg", 1},
      {0, 3, 0.999999, "3.jpg", 1}, {0, 3, 0.5, "2.jpg", 1},      {0, 3, 0.3333, "1.jpg", 1},
      {0, 3, 0.3334, "2.jpg", 1},   {0, 1, 0.999999, "1.jpg", 1}, {0, 32767, 0.999999, "32767.jpg", 1},
      {0, 0, 0.5, "", 1},
  };
  for (const Case& c : cases) {
    SettingsModel settings;
    settings.File_Kind = c.kind;
    settings.File_Path = "one.jpg";
    for (std::size_t k = 1; k <= c.images; ++k) settings.Image_Files.push_back(std::to_string(k) + ".jpg");
    testing::FakeRandomSource random({c.r});
    EXPECT_EQ(Pick_Picture(settings, random), c.picked)
        << "kind " << c.kind << ", " << c.images << " images, r " << c.r;
    EXPECT_EQ(random.draws(), c.draws);
  }
}

}  // namespace
}  // namespace vantrel
