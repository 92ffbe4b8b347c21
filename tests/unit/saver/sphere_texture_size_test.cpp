#include "saver/sphere_texture_size.h"

#include <gtest/gtest.h>

#include <numbers>

namespace vantrel {
namespace {

SceneSettings sized(double size, double spread_degree = 5, double spread_speed = 5) {
  return {size, 25, {spread_degree, spread_speed}};
}

constexpr PictureSize kPhoto{6000, 4000};  // 24 megapixels

// The sphere at rest is 2 x size / 100 m across, 3779.5 px a metre at 96 DPI,
// a little larger for the perspective; its nearest fragment (3.66 radii out at
// the default spread) larger still. Width pi times that diameter, height half.
TEST(SphereTextureSize, CoversTheSphereOnTheScreenAtEachSizeAndDpi) {
  const struct {
    double size;
    int dpi;
    PictureSize expected;
  } cases[] = {
      {1, 96, {512, 256}},    {1, 144, {512, 256}},     // 82 and 123 px across
      {3, 96, {1024, 512}},   {3, 144, {2048, 1024}},   // the default: 296 and 444 px
      {4, 96, {2048, 1024}},  {5, 96, {2048, 1024}},    // 439 and 618 px
      {5, 144, {2048, 2048}}, {6, 96, {2048, 2048}},    // 4096 x 2048 wanted: over the cap
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sphere_texture_size(kPhoto, sized(c.size), {1920, 1080, c.dpi}, 8192), c.expected)
        << "size " << c.size << " at " << c.dpi << " DPI";
  }
}

TEST(SphereTextureSize, NeverLargerThanThePictureTheDriverOrTheCap) {
  const WindowMetrics screen{1920, 1080, 96};
  const struct {
    PictureSize picture;
    double size;
    int driver_limit;
    PictureSize expected;
  } cases[] = {
      {{64, 64}, 3, 8192, {64, 64}},         // a small picture keeps its own size
      {{300, 182}, 3, 8192, {256, 256}},     // each side to its nearest power of two
      {{1, 1}, 6, 8192, {1, 1}},
      {{20000, 100}, 3, 8192, {1024, 128}},  // a panorama: the short side its own
      {kPhoto, 3, 512, {512, 512}},          // the driver's limit
      {kPhoto, 0, 8192, {1, 1}},             // no sphere to cover
      {kPhoto, -3, 8192, {1024, 512}},       // a hand-edited negative size draws the same sphere
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sphere_texture_size(c.picture, sized(c.size), screen, c.driver_limit), c.expected)
        << c.picture.width << " x " << c.picture.height << ", size " << c.size;
  }
  for (double size = 1; size <= 6; ++size) {
    const PictureSize widest = sphere_texture_size(kPhoto, sized(size, 100, 20), {3840, 2160, 288}, 16384);
    EXPECT_LE(static_cast<long long>(widest.width) * widest.height, kMaxSphereTexels) << size;
  }
}

// The widest spread sends fragments past the eye; what they ask for is
// bounded, and a wider spread never asks for less.
TEST(SphereTextureSize, GrowsWithTheSpreadUpToABound) {
  const WindowMetrics screen{1920, 1080, 96};
  int previous = 0;
  for (const double spread_speed : {0.0, 5.0, 10.0, 20.0, 1000.0}) {
    const PictureSize size = sphere_texture_size(kPhoto, sized(2, 0, spread_speed), screen, 8192);
    EXPECT_GE(size.width, previous) << spread_speed;
    previous = size.width;
  }
  EXPECT_EQ(previous, 1024) << "a fragment passing the eye counts as twice the sphere's 151 px, no more";
}

}  // namespace
}  // namespace vantrel
