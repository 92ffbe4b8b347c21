#include "platform/mip_chain.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace vantrel {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

Picture uniform(int width, int height, Rgba colour) {
  Picture picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) picture.rgba.insert(picture.rgba.end(), colour.begin(), colour.end());
  return picture;
}

Rgba pixel(const Picture& picture, int x, int y) {
  const auto at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2], picture.rgba[at + 3]};
}

TEST(MipChain, HalvesEachSideDownToOneByOne) {
  const struct {
    PictureSize base;
    std::vector<PictureSize> levels;
  } cases[] = {
      {{1, 1}, {{1, 1}}},
      {{4, 4}, {{4, 4}, {2, 2}, {1, 1}}},
      {{8, 2}, {{8, 2}, {4, 1}, {2, 1}, {1, 1}}},  // the short side stops at 1 first
      {{1, 4}, {{1, 4}, {1, 2}, {1, 1}}},
  };
  for (const auto& c : cases) {
    const MipChain chain = make_mip_chain(uniform(c.base.width, c.base.height, {9, 9, 9, 255}));
    std::vector<PictureSize> sizes;
    for (const Picture& level : chain) sizes.push_back({level.width, level.height});
    EXPECT_EQ(sizes, c.levels) << c.base.width << " x " << c.base.height;
    EXPECT_TRUE(is_complete_mip_chain(chain));
  }
  EXPECT_TRUE(make_mip_chain(Picture{}).empty());
}

// Half the light of white is sRGB byte 188 (0.7354 x 255); the mean of the
// stored bytes, 128, would be a quarter of it: fine detail would darken as the
// sphere turns away.
TEST(MipChain, AveragesInLinearLight) {
  Picture checker{2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}};
  const MipChain chain = make_mip_chain(checker);
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(pixel(chain[1], 0, 0), (Rgba{188, 188, 188, 255}));

  // Every byte survives the trip to light and back: a flat colour stays
  // exactly that colour at every level.
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    const MipChain flat = make_mip_chain(uniform(4, 2, {byte, byte, std::uint8_t(255 - value), 255}));
    EXPECT_EQ(pixel(flat.back(), 0, 0), (Rgba{byte, byte, std::uint8_t(255 - value), 255})) << value;
  }
}

TEST(MipChain, TransparentTexelsLendNoColour) {
  // Opaque red beside transparent green: red at half cover, no green in it.
  Picture half{2, 1, {255, 0, 0, 255, 0, 255, 0, 0}};
  EXPECT_EQ(pixel(make_mip_chain(half)[1], 0, 0), (Rgba{255, 0, 0, 128}));
  EXPECT_EQ(pixel(make_mip_chain(uniform(2, 2, {40, 50, 60, 0}))[1], 0, 0), (Rgba{0, 0, 0, 0}));
}

TEST(MipChain, CompleteOnlyWithEveryLevelInPlace) {
  const MipChain whole = make_mip_chain(uniform(4, 2, {1, 2, 3, 255}));
  ASSERT_TRUE(is_complete_mip_chain(whole));

  MipChain missing_last = whole;
  missing_last.pop_back();
  MipChain wrong_size = whole;
  wrong_size[1] = uniform(2, 2, {1, 2, 3, 255});
  MipChain no_pixels = whole;
  no_pixels[2].rgba.clear();
  for (const MipChain& broken : {MipChain{}, missing_last, wrong_size, no_pixels})
    EXPECT_FALSE(is_complete_mip_chain(broken)) << broken.size() << " levels";
}

}  // namespace
}  // namespace vantrel
