#include "platform/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace vantrel {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

Picture make_picture(int width, int height, const std::function<Rgba(int x, int y)>& colour_at) {
  Picture picture{width, height, {}};
  picture.rgba.reserve(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgba colour = colour_at(x, y);
      picture.rgba.insert(picture.rgba.end(), colour.begin(), colour.end());
    }
  return picture;
}

Rgba pixel(const Picture& picture, int x, int y) {
  const auto at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2], picture.rgba[at + 3]};
}

// A row of grey levels, opaque.
Picture grey_row(const std::vector<int>& levels) {
  return make_picture(static_cast<int>(levels.size()), 1, [&](int x, int) {
    const auto level = static_cast<std::uint8_t>(levels[static_cast<std::size_t>(x)]);
    return Rgba{level, level, level, 255};
  });
}

std::vector<int> grey_levels(const Picture& picture) {
  std::vector<int> levels;
  for (int x = 0; x < picture.width; ++x) levels.push_back(pixel(picture, x, 0)[0]);
  return levels;
}

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGreen{0, 255, 0, 255};

TEST(FitWithin, BringsTheLongerSideDownAndNeverEnlarges) {
  const struct {
    PictureSize size;
    int max_side;
    PictureSize expected;
  } cases[] = {
      {{400, 100}, 100, {100, 25}},        {{100, 400}, 50, {13, 50}},  // tall; 12.5 rounds up
      {{300, 200}, 1000, {300, 200}},      // smaller than the limit: kept
      {{2048, 2048}, 2048, {2048, 2048}},  // exactly the limit: kept
      {{5000, 1}, 100, {100, 1}},          // a thin side never vanishes
  };
  for (const auto& c : cases) EXPECT_EQ(fit_within(c.size, c.max_side), c.expected) << c.size.width << " to " << c.max_side;
}

TEST(NearestPowerOfTwo, RoundsOnALogScaleAndStopsAtTheLimit) {
  const struct {
    int side, max_side, expected;
  } cases[] = {
      {1, 2048, 1},    {3, 2048, 4},   {5, 2048, 4},  {6, 2048, 8},  // 3 / 2 and 6 / 4 = 1.5: up
      {181, 2048, 128},                                               // just below 128 * sqrt(2)
      {182, 2048, 256},                                               // just above it
      {1024, 2048, 1024}, {3000, 2048, 2048}, {600, 256, 256},
  };
  for (const auto& c : cases) EXPECT_EQ(nearest_power_of_two(c.side, c.max_side), c.expected) << c.side;
}

TEST(Resample, KeepsAUniformColourAtAnySize) {
  const Rgba colour{12, 200, 77, 255};
  const auto uniform = [&](int, int) { return colour; };
  const Picture source = make_picture(37, 23, uniform);
  for (const PictureSize size : {PictureSize{1, 1}, {10, 5}, {37, 23}, {64, 32}, {100, 7}, {5, 100}}) {
    const Picture result = resample(rows_of(source), size);
    ASSERT_EQ((PictureSize{result.width, result.height}), size);
    EXPECT_EQ(result.rgba, make_picture(size.width, size.height, uniform).rgba) << size.width << " x " << size.height;
  }
}

// Shrinking averages the source area each target pixel covers; enlarging
// interpolates between pixel centres and repeats the edge pixels beyond them.
TEST(Resample, WeighsGreyRowsByAreaOrByCentres) {
  const struct {
    std::vector<int> source;
    int width;
    std::vector<int> expected;
  } cases[] = {
      {{0, 100, 200, 40}, 2, {50, 120}},             // halves: pairs averaged
      {{0, 90, 180}, 2, {30, 150}},                  // 1.5 source pixels each: 2/3 and 1/3 shares
      {{10, 20, 30, 40, 50, 60}, 1, {35}},           // everything into one
      {{0, 0, 0, 255, 255, 255}, 3, {0, 128, 255}},  // the middle pair straddles the edge
      {{0, 200}, 4, {0, 50, 150, 200}},              // centres at -0.25, 0.25, 0.75, 1.25
  };
  for (const auto& c : cases) EXPECT_EQ(grey_levels(resample(rows_of(grey_row(c.source)), {c.width, 1})), c.expected);
}

TEST(Resample, TransparentPixelsLendNoColour) {
  const Picture source = make_picture(2, 2, [](int x, int) { return x == 0 ? kRed : Rgba{0, 0, 0, 0}; });
  const Picture result = resample(rows_of(source), {1, 1});
  EXPECT_EQ(pixel(result, 0, 0), (Rgba{255, 0, 0, 128}));

  const Picture clear = make_picture(4, 4, [](int, int) { return Rgba{90, 90, 90, 0}; });
  EXPECT_EQ(pixel(resample(rows_of(clear), {2, 2}), 1, 1), (Rgba{0, 0, 0, 0}));
}

// Left half red, right half blue, top quarter rows green: a result that was
// mirrored or turned upside down fails.
Picture marked_picture(int width, int height) {
  return make_picture(width, height, [=](int x, int y) {
    if (y < height / 4) return kGreen;
    return x < width / 2 ? kRed : kBlue;
  });
}

TEST(Resample, KeepsLeftRightAndTopBottom) {
  struct Case {
    PictureSize source;
    std::function<Picture(const Picture&)> transform;
    PictureSize expected;
  };
  const Case cases[] = {
      {{320, 240}, [](const Picture& p) { return resample(rows_of(p), fit_within({p.width, p.height}, 100)); }, {100, 75}},
      {{300, 170}, [](const Picture& p) { return resample(rows_of(p), {256, 128}); }, {256, 128}},
      {{100, 60}, [](const Picture& p) { return resample(rows_of(p), {128, 64}); }, {128, 64}},  // enlarged
  };
  for (const Case& c : cases) {
    const Picture result = c.transform(marked_picture(c.source.width, c.source.height));
    ASSERT_EQ((PictureSize{result.width, result.height}), c.expected) << c.source.width << " x " << c.source.height;
    const int w = result.width;
    const int h = result.height;
    EXPECT_EQ(pixel(result, w / 4, h / 8), kGreen) << c.source.width << " x " << c.source.height;
    EXPECT_EQ(pixel(result, w / 4, h * 3 / 4), kRed) << c.source.width << " x " << c.source.height;
    EXPECT_EQ(pixel(result, w * 3 / 4, h * 3 / 4), kBlue) << c.source.width << " x " << c.source.height;
  }
  const Picture small = marked_picture(30, 20);
  EXPECT_EQ(resample(rows_of(small), fit_within({30, 20}, 1000)).rgba, small.rgba) << "within the limit: untouched";
}

// The same marked picture stored the ways Windows stores bitmaps: channel
// order, 3 bytes a pixel, padded rows, rows bottom-up in memory.
TEST(Resample, ReadsEveryLayoutInPlace) {
  const Picture reference = marked_picture(30, 20);
  const struct {
    PixelLayout layout;
    int pixel_bytes;
    int padding;
    bool bottom_up;
  } cases[] = {{PixelLayout::Bgra, 4, 0, true}, {PixelLayout::Bgrx, 4, 0, false}, {PixelLayout::Bgr, 3, 2, true}};
  for (const auto& c : cases) {
    const int row_bytes = reference.width * c.pixel_bytes + c.padding;
    std::vector<std::uint8_t> memory(static_cast<std::size_t>(row_bytes) * reference.height, 0xEE);  // X, padding
    for (int y = 0; y < reference.height; ++y)
      for (int x = 0; x < reference.width; ++x) {
        const Rgba colour = pixel(reference, x, y);
        const int memory_row = c.bottom_up ? reference.height - 1 - y : y;
        std::uint8_t* out = &memory[static_cast<std::size_t>(memory_row * row_bytes + x * c.pixel_bytes)];
        for (int i = 0; i < 3; ++i) out[i] = colour[2 - i];
        if (c.layout == PixelLayout::Bgra) out[3] = colour[3];
      }
    PixelRows rows{&memory[c.bottom_up ? static_cast<std::size_t>((reference.height - 1) * row_bytes) : 0],
                   reference.width, reference.height, c.bottom_up ? -row_bytes : row_bytes, c.layout};
    const int layout = static_cast<int>(c.layout);
    EXPECT_EQ(resample(rows, {30, 20}).rgba, reference.rgba) << layout << ": same size";
    EXPECT_EQ(resample(rows, {15, 10}).rgba, resample(rows_of(reference), {15, 10}).rgba) << layout << ": halved";
    EXPECT_EQ(resample(rows, {45, 27}).rgba, resample(rows_of(reference), {45, 27}).rgba) << layout << ": enlarged";
    EXPECT_EQ(resample(rows, {17, 41}, Resampling::Nearest).rgba,
              resample(rows_of(reference), {17, 41}, Resampling::Nearest).rgba)
        << layout << ": nearest";
  }
}

// Rows of a picture handed out one at a time, as a decoder gives them:
// counts the reads and fails a test that goes back.
class CountingRows final : public RowSource {
 public:
  explicit CountingRows(const Picture& picture) : picture_(picture) {}
  int width() const override { return picture_.width; }
  int height() const override { return picture_.height; }
  PixelLayout layout() const override { return PixelLayout::Rgba; }
  const std::uint8_t* row(int y) override {
    EXPECT_GE(y, last_) << "a row asked for after a later one";
    last_ = y;
    ++reads;
    return &picture_.rgba[static_cast<std::size_t>(y) * picture_.width * 4];
  }
  int reads = 0;

 private:
  const Picture& picture_;
  int last_ = 0;
};

TEST(RowSource, RowsAreAskedForInOrderAndEachOnceWhatTheResultIsTheSame) {
  const Picture tall = marked_picture(40, 300);
  const PictureSize sizes[] = {{20, 30}, {40, 300}, {60, 450}, {3, 2}};
  for (const auto& size : sizes) {
    CountingRows smooth(tall);
    EXPECT_EQ(resample(smooth, size).rgba, resample(rows_of(tall), size).rgba)
        << size.width << " x " << size.height;
    EXPECT_LE(smooth.reads, tall.height) << "no row is read twice for a smooth resampling";
    CountingRows nearest(tall);
    EXPECT_EQ(resample(nearest, size, Resampling::Nearest).rgba,
              resample(rows_of(tall), size, Resampling::Nearest).rgba);
    EXPECT_EQ(nearest.reads, size.height) << "nearest sampling reads a row for each row it makes";
  }
}

TEST(NearestResampling, TakesThePixelUnderEachTargetCentre) {
  const Picture row = grey_row({10, 20, 30, 40});
  const struct {
    int width;
    std::vector<int> expected;
  } cases[] = {
      {4, {10, 20, 30, 40}},                  // the same size: a copy
      {2, {20, 40}},                          // halved: the second of each pair
      {3, {10, 30, 40}},                      // centres at 0.67, 2 and 3.33
      {8, {10, 10, 20, 20, 30, 30, 40, 40}},  // doubled: each pixel twice
      {1, {30}},                              // the middle
  };
  for (const auto& c : cases) EXPECT_EQ(grey_levels(resample(rows_of(row), {c.width, 1}, Resampling::Nearest)), c.expected) << c.width;
}

TEST(NearestResampling, NeverBlendsAndKeepsTheRegionsInProportion) {
  // 3 x 2 to 100 x 67, as the dialog's preview shows such a picture: every
  // pixel is one of the six, in the source's arrangement, and each source
  // pixel covers a third of the width and half of the height, give or take
  // the one pixel that cannot be split.
  const std::array<Rgba, 6> colours = {kRed, kGreen, kBlue, Rgba{1, 2, 3, 255}, Rgba{200, 100, 0, 255},
                                       Rgba{9, 9, 9, 9}};
  const Picture source = make_picture(3, 2, [&](int x, int y) { return colours[static_cast<std::size_t>(y * 3 + x)]; });
  const Picture sampled = resample(rows_of(source), {100, 67}, Resampling::Nearest);
  ASSERT_EQ(sampled.width, 100);
  ASSERT_EQ(sampled.height, 67);
  std::array<int, 3> columns{};
  std::array<int, 2> rows{};
  for (int x = 0; x < 100; ++x) {
    const auto found = std::find(colours.begin(), colours.begin() + 3, pixel(sampled, x, 0));
    ASSERT_NE(found, colours.begin() + 3) << "column " << x << " is no source colour";
    ++columns[static_cast<std::size_t>(found - colours.begin())];
  }
  for (int y = 0; y < 67; ++y) {
    const int row = pixel(sampled, 0, y) == colours[0] ? 0 : 1;
    ASSERT_EQ(pixel(sampled, 0, y), colours[static_cast<std::size_t>(row * 3)]) << "row " << y;
    ++rows[static_cast<std::size_t>(row)];
    for (int x = 0; x < 100; ++x) {
      const auto column = std::find(colours.begin(), colours.begin() + 3, pixel(sampled, x, 0)) - colours.begin();
      ASSERT_EQ(pixel(sampled, x, y), colours[static_cast<std::size_t>(row * 3 + column)]) << x << ", " << y;
    }
  }
  for (const int count : columns) EXPECT_TRUE(count == 33 || count == 34) << count;
  for (const int count : rows) EXPECT_TRUE(count == 33 || count == 34) << count;
  // The regions keep their order: left to right, top to bottom.
  EXPECT_EQ(pixel(sampled, 0, 0), colours[0]);
  EXPECT_EQ(pixel(sampled, 99, 66), colours[5]);
}

}  // namespace
}  // namespace vantrel
