// Frames of the saver rendered offscreen through the real GL driver and read
// back: the sphere's place and size, the gradient under it, the burst, and
// which way round the picture reads.
#include "saver/scene_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/gl_context_win32.h"

namespace vantrel {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 360;
constexpr double kCentreX = kWidth / 2.0;
constexpr double kCentreY = kHeight / 2.0;

class HalfRandom final : public RandomSource {
 public:
  double next() override { return 0.5; }
};

struct Pixel {
  int red, green, blue;
};

Pixel pixel_at(const Picture& picture, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2]};
}

// A picture whose left half is blue and right half green, with the
// background red: any pixel tells which of the three it shows.
Picture left_blue_right_green() {
  Picture picture{64, 32, {}};
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.rgba.insert(picture.rgba.end(), {0, std::uint8_t(x < 32 ? 0 : 255), std::uint8_t(x < 32 ? 255 : 0), 255});
  return picture;
}

bool is_background(const Picture& frame, const std::vector<Rgb>& gradient, int x, int y) {
  const Pixel p = pixel_at(frame, x, y);
  const Rgb& row = gradient[static_cast<std::size_t>(y)];
  return p.red == row.red && p.green == row.green && p.blue == row.blue;
}

class SceneRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    offscreen_ = OffscreenGl::create(kWidth, kHeight);
    ASSERT_NE(offscreen_, nullptr) << "no GL context: is DISPLAY set?";
    gradient_ = gradient_lines(background_, window_);
    settings_.Action_Value = {3, 25, 5, 5};
  }

  Picture render(double seconds, const std::optional<Picture>& picture) {
    HalfRandom random;
    const Scene scene(scene_settings(settings_), random, window_);
    SceneRenderer renderer(scene, picture, background_.direction, gradient_, window_,
                           offscreen_->context().max_texture_size());
    renderer.draw_frame(seconds);
    return offscreen_->read_back();
  }

  const WindowMetrics window_{kWidth, kHeight, 96};
  const BackgroundChoice background_{200, 0, 0, GradientDirection::Rows};
  std::vector<Rgb> gradient_;
  SettingsModel settings_;
  std::unique_ptr<OffscreenGl> offscreen_;
};

TEST_F(SceneRendererTest, AtTheStartTheSphereIsADiscAtTheCentreOverTheExactGradient) {
  const Picture frame = render(0.0, left_blue_right_green());
  ASSERT_EQ(frame.width, kWidth);
  // 0.03 m at 0.6 m from the eye: about 113.6 px in radius at 96 DPI.
  int inside_wrong = 0, outside_wrong = 0, checked = 0;
  for (int y = 0; y < kHeight; y += 3) {
    for (int x = 0; x < kWidth; x += 3) {
      const double r = std::hypot(x + 0.5 - kCentreX, y + 0.5 - kCentreY);
      if (r < 110) {
        inside_wrong += is_background(frame, gradient_, x, y) ? 1 : 0;
        const Pixel p = pixel_at(frame, x, y);
        inside_wrong += p.red == 0 ? 0 : 1;  // only blue and green in the picture
      } else if (r > 117) {
        outside_wrong += is_background(frame, gradient_, x, y) ? 0 : 1;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000);
  EXPECT_EQ(inside_wrong, 0);
  EXPECT_EQ(outside_wrong, 0);
}

TEST_F(SceneRendererTest, ThePictureReadsUnmirroredOnTheSideFacingTheViewer) {
  const Picture frame = render(0.0, left_blue_right_green());
  // The picture's horizontal centre faces the viewer: its left half is on the
  // viewer's left.
  const Pixel left = pixel_at(frame, static_cast<int>(kCentreX) - 40, static_cast<int>(kCentreY));
  const Pixel right = pixel_at(frame, static_cast<int>(kCentreX) + 40, static_cast<int>(kCentreY));
  EXPECT_GT(left.blue, 40);
  EXPECT_EQ(left.green, 0);
  EXPECT_GT(right.green, 40);
  EXPECT_EQ(right.blue, 0);
}

TEST_F(SceneRendererTest, AtThePeakOfTheBurstFragmentsLieFarOutsideTheSphere) {
  // The whole sphere leaves all of this area to the background (first test).
  const Picture burst = render(13.0, left_blue_right_green());
  int far_out_burst = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (std::hypot(x + 0.5 - kCentreX, y + 0.5 - kCentreY) >= 130)
        far_out_burst += is_background(burst, gradient_, x, y) ? 0 : 1;
  EXPECT_GT(far_out_burst, 500);
}

TEST_F(SceneRendererTest, WithoutAPictureOnlyTheBackgroundShows) {
  const Picture frame = render(0.0, std::nullopt);
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) wrong += is_background(frame, gradient_, x, y) ? 0 : 1;
  EXPECT_EQ(wrong, 0);
}

TEST_F(SceneRendererTest, OverTwoMonitorsEachHasItsOwnGradientAndTheSceneStandsOnThePrimary) {
  // The primary monitor on the right (its area starts at x = 160), a
  // smaller one of another DPI on the left, lower: the window covers both.
  const WindowArea left{{0, 120, 160, 360}, 144};
  const WindowArea primary{{160, 0, 480, 360}, 96};
  const std::vector<BackgroundPiece> pieces = {{left, gradient_lines(background_, left.metrics())},
                                               {primary, gradient_lines(background_, primary.metrics())}};
  HalfRandom random;
  const Scene scene(scene_settings(settings_), random, primary.metrics());
  SceneRenderer renderer(scene, background_.direction, pieces, {0, 0, kWidth, kHeight}, primary,
                         offscreen_->context().max_texture_size());
  renderer.set_picture(make_mip_chain(left_blue_right_green()));
  renderer.draw_frame(0.0);
  const Picture frame = offscreen_->read_back();

  // Each monitor's rows from its own lines, symmetric about its own centre
  // line; where no monitor is, black.
  int wrong = 0;
  const double centre_x = 160 + 320 / 2.0;
  for (int y = 0; y < kHeight; y += 2) {
    for (int x = 0; x < kWidth; x += 2) {
      const Pixel p = pixel_at(frame, x, y);
      if (x < 160 && y < 120) {
        wrong += (p.red == 0 && p.green == 0 && p.blue == 0) ? 0 : 1;
      } else if (x < 160) {
        const Rgb& row = pieces[0].lines[static_cast<std::size_t>(y - 120)];
        wrong += (p.red == row.red && p.green == row.green && p.blue == row.blue) ? 0 : 1;
      } else if (std::hypot(x + 0.5 - centre_x, y + 0.5 - kCentreY) > 117) {
        const Rgb& row = pieces[1].lines[static_cast<std::size_t>(y)];
        wrong += (p.red == row.red && p.green == row.green && p.blue == row.blue) ? 0 : 1;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(pieces[0].lines.front(), pieces[0].lines.back()) << "the left monitor's gradient is its own";
  // The sphere at the primary monitor's centre, the size the primary's DPI gives.
  const Pixel middle = pixel_at(frame, static_cast<int>(centre_x), static_cast<int>(kCentreY));
  EXPECT_EQ(middle.red, 0) << "no sphere at the primary monitor's centre";
  EXPECT_GT(middle.blue + middle.green, 40);
  const Pixel off = pixel_at(frame, static_cast<int>(centre_x) - 118, static_cast<int>(kCentreY));
  const Rgb& row = pieces[1].lines[static_cast<std::size_t>(kCentreY)];
  EXPECT_TRUE(off.red == row.red && off.green == row.green && off.blue == row.blue) << "the sphere is too large";
}

// A photo of fine lines: every other texel across and down is white, the
// rest black, at the largest size a sphere texture gets.
Picture fine_grid() {
  Picture picture{2048, 1024, {}};
  picture.rgba.reserve(2048u * 1024u * 4u);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t level = (x % 2 == 0 || y % 2 == 0) ? 255 : 0;
      picture.rgba.insert(picture.rgba.end(), {level, level, level, 255});
    }
  return picture;
}

// How much a textured sphere sparkles: in the central square of the sphere,
// the spread of luminance within a frame (the mean difference between
// neighbouring pixels, averaged over frames) and the mean change of a pixel
// from one frame to the next, as the sphere turns by small steps. A filtered picture of fine lines is an even
// tone that drifts slowly; an aliased one is noise that jumps every frame.
struct Sparkle {
  double spread = 0;
  double change = 0;
};

class SparkleTest : public SceneRendererTest {
 protected:
  Sparkle measure(const MipChain& chain, int* levels) {
    HalfRandom random;
    const Scene scene(scene_settings(settings_), random, window_);
    SceneRenderer renderer(scene, background_.direction, {{{{0, 0, kWidth, kHeight}, 96}, gradient_}},
                           {0, 0, kWidth, kHeight}, {{0, 0, kWidth, kHeight}, 96},
                           offscreen_->context().max_texture_size());
    renderer.set_picture(chain);
    *levels = renderer.texture_levels();
    constexpr int kHalf = 30;  // the sphere is 227 px across: well inside it
    constexpr int kFrames = 12;
    Sparkle sparkle;
    std::vector<double> previous;
    for (int frame = 0; frame < kFrames; ++frame) {
      // 0.05 s apart: the sphere turns 1.25 degrees, a few pixels at its centre.
      renderer.draw_frame(0.05 * frame);
      const Picture shot = offscreen_->read_back();
      std::vector<double> luminance;
      for (int y = static_cast<int>(kCentreY) - kHalf; y < kCentreY + kHalf; ++y)
        for (int x = static_cast<int>(kCentreX) - kHalf; x < kCentreX + kHalf; ++x) {
          const Pixel p = pixel_at(shot, x, y);
          luminance.push_back(0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue);
        }
      // Neighbours compared, not the whole square: the lighting's slow
      // fall-off across it is no sparkle.
      double roughness = 0;
      const int side = 2 * kHalf;
      for (int y = 0; y + 1 < side; ++y)
        for (int x = 0; x + 1 < side; ++x) {
          const double here = luminance[static_cast<std::size_t>(y * side + x)];
          roughness += (std::abs(luminance[static_cast<std::size_t>(y * side + x + 1)] - here) +
                        std::abs(luminance[static_cast<std::size_t>((y + 1) * side + x)] - here)) / 2;
        }
      sparkle.spread += roughness / ((side - 1) * (side - 1)) / kFrames;
      if (!previous.empty()) {
        double change = 0;
        for (std::size_t i = 0; i < luminance.size(); ++i) change += std::abs(luminance[i] - previous[i]);
        sparkle.change += change / luminance.size() / (kFrames - 1);
      }
      previous = std::move(luminance);
    }
    return sparkle;
  }
};

// The bound: a filtered frame keeps a trace of the lines where the texture is
// magnified least, a unit or two of luminance between neighbours; the
// unfiltered picture measures tens of units, frame after frame.
TEST_F(SparkleTest, FineLinesReadAsAnEvenToneAsTheSphereTurns) {
  const Picture grid = fine_grid();
  int single_levels = 0;
  int chain_levels = 0;
  const Sparkle single = measure(MipChain{grid}, &single_levels);
  const Sparkle filtered = measure(make_mip_chain(grid), &chain_levels);
  std::printf("sparkle: one level spread %.1f change %.1f; mip chain (%d levels) spread %.1f change %.1f\n",
              single.spread, single.change, chain_levels, filtered.spread, filtered.change);
  EXPECT_EQ(single_levels, 1);
  EXPECT_EQ(chain_levels, 12);
  EXPECT_LT(filtered.spread, 3.0);
  EXPECT_LT(filtered.change, 3.0);
  EXPECT_GT(single.spread, 3 * filtered.spread) << "the measure tells filtered from aliased";
  EXPECT_GT(single.change, 3 * filtered.change);
}

// A driver that takes no full chain, or a chain cut short, must still show the
// picture: sampling an incomplete chain with a mipmap filter would draw the
// sphere untextured (plain lit white, with red in it).
TEST_F(SceneRendererTest, AnIncompleteChainStillShowsThePicture) {
  MipChain cut = make_mip_chain(left_blue_right_green());
  cut.resize(3);
  MipChain mismatched = make_mip_chain(left_blue_right_green());
  mismatched[2] = mismatched[3];
  for (const MipChain& chain : {cut, mismatched}) {
    HalfRandom random;
    const Scene scene(scene_settings(settings_), random, window_);
    SceneRenderer renderer(scene, background_.direction, {{{{0, 0, kWidth, kHeight}, 96}, gradient_}},
                           {0, 0, kWidth, kHeight}, {{0, 0, kWidth, kHeight}, 96},
                           offscreen_->context().max_texture_size());
    renderer.set_picture(chain);
    EXPECT_EQ(renderer.texture_levels(), 1);
    renderer.draw_frame(0.0);
    const Picture frame = offscreen_->read_back();
    const Pixel left = pixel_at(frame, static_cast<int>(kCentreX) - 40, static_cast<int>(kCentreY));
    const Pixel right = pixel_at(frame, static_cast<int>(kCentreX) + 40, static_cast<int>(kCentreY));
    EXPECT_EQ(left.red, 0);
    EXPECT_GT(left.blue, 40);
    EXPECT_EQ(right.red, 0);
    EXPECT_GT(right.green, 40);
  }
  // And a driver limit below the picture: the chain's smaller levels are used.
  HalfRandom random;
  const Scene scene(scene_settings(settings_), random, window_);
  SceneRenderer small_limit(scene, background_.direction, {{{{0, 0, kWidth, kHeight}, 96}, gradient_}},
                            {0, 0, kWidth, kHeight}, {{0, 0, kWidth, kHeight}, 96}, 16);
  small_limit.set_picture(make_mip_chain(left_blue_right_green()));
  EXPECT_EQ(small_limit.texture_levels(), 5) << "16 x 8 down to 1 x 1";
}

}  // namespace
}  // namespace vantrel
