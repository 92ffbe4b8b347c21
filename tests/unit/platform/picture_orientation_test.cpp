#include "platform/picture_orientation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {
namespace {

// A picture drawn as rows of letters, a letter a pixel. The four bytes of a
// pixel all differ, so a pixel torn apart or its bytes reordered shows.
Picture drawn(const std::vector<std::string>& rows) {
  Picture picture{rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
  for (const std::string& row : rows)
    for (const char letter : row) {
      const auto red = static_cast<std::uint8_t>(letter);
      const auto plus = [red](int step) { return static_cast<std::uint8_t>(red + step); };
      picture.rgba.insert(picture.rgba.end(), {red, plus(32), plus(64), plus(96)});
    }
  return picture;
}

std::vector<std::string> letters_of(const Picture& picture) {
  std::vector<std::string> rows;
  for (int y = 0; y < picture.height; ++y) {
    std::string row;
    for (int x = 0; x < picture.width; ++x)
      row += static_cast<char>(picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4]);
    rows.push_back(row);
  }
  return rows;
}

// How a person turns the picture by hand:
//   A B C
//   D E F
TEST(OrientUpright, TurnsAThreeByTwoPictureEachWay) {
  const Picture stored = drawn({"ABC", "DEF"});
  const struct {
    Orientation orientation;
    std::vector<std::string> expected;
  } cases[] = {
      {Orientation::Normal, {"ABC", "DEF"}},
      {Orientation::MirrorHorizontal, {"CBA", "FED"}},
      {Orientation::Rotate180, {"FED", "CBA"}},
      {Orientation::MirrorVertical, {"DEF", "ABC"}},
      {Orientation::Transpose, {"AD", "BE", "CF"}},
      {Orientation::Rotate90, {"DA", "EB", "FC"}},
      {Orientation::Transverse, {"FC", "EB", "DA"}},
      {Orientation::Rotate270, {"CF", "BE", "AD"}},
  };
  for (const auto& c : cases) {
    const Picture upright = orient_upright(stored, c.orientation);
    const Picture expected = drawn(c.expected);
    ASSERT_EQ((PictureSize{upright.width, upright.height}), (PictureSize{expected.width, expected.height}))
        << static_cast<int>(c.orientation);
    EXPECT_EQ(letters_of(upright), c.expected) << static_cast<int>(c.orientation);
    EXPECT_EQ(upright.rgba, expected.rgba) << static_cast<int>(c.orientation);
  }
}

TEST(OrientUpright, LeavesAnEmptyPictureEmpty) {
  for (int value = 1; value <= 8; ++value) {
    const Picture upright = orient_upright(Picture{}, static_cast<Orientation>(value));
    EXPECT_EQ((PictureSize{upright.width, upright.height}), (PictureSize{0, 0})) << value;
    EXPECT_TRUE(upright.rgba.empty()) << value;
  }
}

TEST(UprightSize, SwapsTheSidesForTheTurnsAcrossADiagonal) {
  const PictureSize stored{640, 480};
  const struct {
    Orientation orientation;
    PictureSize expected;
  } cases[] = {
      {Orientation::Normal, {640, 480}},    {Orientation::MirrorHorizontal, {640, 480}},
      {Orientation::Rotate180, {640, 480}}, {Orientation::MirrorVertical, {640, 480}},
      {Orientation::Transpose, {480, 640}}, {Orientation::Rotate90, {480, 640}},
      {Orientation::Transverse, {480, 640}}, {Orientation::Rotate270, {480, 640}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(upright_size(stored, c.orientation), c.expected) << static_cast<int>(c.orientation);
    EXPECT_EQ(upright_size(c.expected, c.orientation), stored) << static_cast<int>(c.orientation);
    EXPECT_EQ(swaps_sides(c.orientation), c.expected.width == 480) << static_cast<int>(c.orientation);
  }
}

}  // namespace
}  // namespace vantrel
