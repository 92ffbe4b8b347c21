#include "platform/picture.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <deque>

namespace vantrel {
namespace {

// The source pixels one target pixel is made of, along one axis.
struct Taps {
  int first = 0;          // first source index
  std::size_t begin = 0;  // into Filter::weights
  std::size_t count = 0;
};

// One axis of a resampling: for every target index, its source taps. The
// weights of one target index add up to 1.
struct Filter {
  std::vector<Taps> taps;
  std::vector<float> weights;
};

Filter make_filter(int source, int target) {
  Filter filter;
  filter.taps.resize(static_cast<std::size_t>(target));
  const double scale = static_cast<double>(source) / target;
  for (int i = 0; i < target; ++i) {
    Taps& taps = filter.taps[static_cast<std::size_t>(i)];
    taps.begin = filter.weights.size();
    if (target <= source) {
      // Area average: target pixel i covers [i * scale, (i + 1) * scale) of the source.
      const double low = i * scale;
      const double high = std::min<double>((i + 1) * scale, source);
      taps.first = static_cast<int>(low);
      for (int j = taps.first; j < source && j < high; ++j) {
        const double overlap = std::min<double>(high, j + 1) - std::max<double>(low, j);
        filter.weights.push_back(static_cast<float>(overlap / scale));
      }
    } else {
      // Linear interpolation between the two source pixel centres either side
      // of the target centre; beyond the outer centres the edge pixel repeats.
      const double x = std::clamp((i + 0.5) * scale - 0.5, 0.0, source - 1.0);
      taps.first = static_cast<int>(x);
      const double fraction = x - taps.first;
      filter.weights.push_back(static_cast<float>(1.0 - fraction));
      if (taps.first + 1 < source) filter.weights.push_back(static_cast<float>(fraction));
    }
    taps.count = filter.weights.size() - taps.begin;
  }
  return filter;
}

// The bytes of one pixel in `layout` as R, G, B, A.
struct Channels {
  int red, green, blue, alpha;
};
Channels read_pixel(const std::uint8_t* pixel, PixelLayout layout) {
  switch (layout) {
    case PixelLayout::Rgba:
      return {pixel[0], pixel[1], pixel[2], pixel[3]};
    case PixelLayout::Bgra:
      return {pixel[2], pixel[1], pixel[0], pixel[3]};
    case PixelLayout::Bgrx:
    case PixelLayout::Bgr:
      return {pixel[2], pixel[1], pixel[0], 255};
  }
  return {};
}

std::size_t bytes_per_pixel(PixelLayout layout) { return layout == PixelLayout::Bgr ? 3 : 4; }

// One source row resampled across, as alpha-weighted floats (r * a / 255,
// g * a / 255, b * a / 255, a), 4 a pixel, all in 0..255. `weighted` is
// scratch space for the source row in that form.
std::vector<float> resample_row(RowSource& source, int y, const Filter& across, std::vector<float>& weighted) {
  const auto width = static_cast<std::size_t>(source.width());
  const PixelLayout layout = source.layout();
  const std::size_t step = bytes_per_pixel(layout);
  const std::uint8_t* pixel = source.row(y);
  weighted.resize(width * 4);
  for (std::size_t i = 0; i < width * 4; i += 4, pixel += step) {
    const Channels c = read_pixel(pixel, layout);
    const float alpha = static_cast<float>(c.alpha);
    const float share = alpha * (1.0f / 255.0f);
    weighted[i] = static_cast<float>(c.red) * share;
    weighted[i + 1] = static_cast<float>(c.green) * share;
    weighted[i + 2] = static_cast<float>(c.blue) * share;
    weighted[i + 3] = alpha;
  }
  std::vector<float> out(across.taps.size() * 4, 0.0f);
  for (std::size_t i = 0; i < across.taps.size(); ++i) {
    const Taps& taps = across.taps[i];
    const float* weights = &across.weights[taps.begin];
    const float* from = &weighted[static_cast<std::size_t>(taps.first) * 4];
    float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (std::size_t k = 0; k < taps.count; ++k, from += 4) {
      for (int c = 0; c < 4; ++c) sum[c] += from[c] * weights[k];
    }
    for (int c = 0; c < 4; ++c) out[i * 4 + static_cast<std::size_t>(c)] = sum[c];
  }
  return out;
}

// The pixels as they are, in a Picture's own layout.
Picture copy_pixels(RowSource& source) {
  const int width = source.width();
  const int height = source.height();
  const PixelLayout layout = source.layout();
  Picture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  const std::size_t step = bytes_per_pixel(layout);
  std::uint8_t* out = picture.rgba.data();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* pixel = source.row(y);
    for (int x = 0; x < width; ++x, pixel += step, out += 4) {
      const Channels c = read_pixel(pixel, layout);
      out[0] = static_cast<std::uint8_t>(c.red);
      out[1] = static_cast<std::uint8_t>(c.green);
      out[2] = static_cast<std::uint8_t>(c.blue);
      out[3] = static_cast<std::uint8_t>(c.alpha);
    }
  }
  return picture;
}

// Rounds a value already known to be at least 0 to the nearest byte.
std::uint8_t to_byte(float value) { return static_cast<std::uint8_t>(std::min(value, 255.0f) + 0.5f); }

// Resampling::Smooth.
Picture area_or_linear(RowSource& source, int width, int height) {
  assert(width >= 1 && height >= 1 && "resampling to an empty size is a caller's mistake");
  if (source.width() <= 0 || source.height() <= 0) return {};
  if (width == source.width() && height == source.height()) return copy_pixels(source);

  const Filter across = make_filter(source.width(), width);
  const Filter down = make_filter(source.height(), height);

  Picture result{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  // Source rows already resampled across, from cached_first on. The rows a
  // target row needs only move forward, so the cache holds a few rows.
  std::deque<std::vector<float>> cached;
  int cached_first = 0;
  std::vector<float> weighted;
  std::vector<float> sum(static_cast<std::size_t>(width) * 4);
  for (int y = 0; y < height; ++y) {
    const Taps& taps = down.taps[static_cast<std::size_t>(y)];
    while (cached_first < taps.first && !cached.empty()) {
      cached.pop_front();
      ++cached_first;
    }
    if (cached.empty()) cached_first = taps.first;
    while (cached_first + static_cast<int>(cached.size()) < taps.first + static_cast<int>(taps.count)) {
      cached.push_back(resample_row(source, cached_first + static_cast<int>(cached.size()), across, weighted));
    }

    std::fill(sum.begin(), sum.end(), 0.0f);
    float* const total = sum.data();
    for (std::size_t k = 0; k < taps.count; ++k) {
      const float weight = down.weights[taps.begin + k];
      const float* const row = cached[static_cast<std::size_t>(taps.first - cached_first) + k].data();
      for (std::size_t i = 0; i < sum.size(); ++i) total[i] += row[i] * weight;
    }

    std::uint8_t* out = &result.rgba[static_cast<std::size_t>(y) * width * 4];
    for (std::size_t i = 0; i < sum.size(); i += 4) {
      const float alpha = sum[i + 3];
      if (alpha <= 0.0f) continue;  // stays transparent black
      const float unweight = 255.0f / alpha;
      for (std::size_t c = 0; c < 3; ++c) out[i + c] = to_byte(sum[i + c] * unweight);
      out[i + 3] = to_byte(alpha);
    }
  }
  return result;
}

// Resampling::Nearest.
Picture nearest_pixels(RowSource& source, int width, int height) {
  assert(width >= 1 && height >= 1 && "sampling to an empty size is a caller's mistake");
  const int source_width = source.width();
  const int source_height = source.height();
  if (source_width <= 0 || source_height <= 0) return {};
  const auto source_index = [](int target_index, int target, int source_extent) {
    const auto index = (2 * static_cast<long long>(target_index) + 1) * source_extent / (2LL * target);
    return static_cast<int>(std::min<long long>(index, source_extent - 1));
  };
  const PixelLayout layout = source.layout();
  std::vector<std::size_t> columns(static_cast<std::size_t>(width));
  const std::size_t step = bytes_per_pixel(layout);
  for (int x = 0; x < width; ++x)
    columns[static_cast<std::size_t>(x)] = static_cast<std::size_t>(source_index(x, width, source_width)) * step;

  Picture result{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  std::uint8_t* out = result.rgba.data();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = source.row(source_index(y, height, source_height));
    for (const std::size_t column : columns) {
      const Channels c = read_pixel(row + column, layout);
      *out++ = static_cast<std::uint8_t>(c.red);
      *out++ = static_cast<std::uint8_t>(c.green);
      *out++ = static_cast<std::uint8_t>(c.blue);
      *out++ = static_cast<std::uint8_t>(c.alpha);
    }
  }
  return result;
}

}  // namespace

PictureSize fit_within(PictureSize size, int max_side) {
  assert(max_side >= 1 && "a size limit below one pixel is a caller's mistake");
  const int longer = std::max(size.width, size.height);
  if (longer <= max_side) return size;
  const auto shrink = [&](int side) {
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(side) * max_side / longer)));
  };
  return {shrink(size.width), shrink(size.height)};
}

PixelRows rows_of(const Picture& picture) {
  return {picture.rgba.empty() ? nullptr : picture.rgba.data(), picture.width, picture.height,
          static_cast<std::ptrdiff_t>(picture.width) * 4, PixelLayout::Rgba};
}

Picture resample(RowSource& source, PictureSize size, Resampling resampling) {
  return resampling == Resampling::Nearest ? nearest_pixels(source, size.width, size.height)
                                           : area_or_linear(source, size.width, size.height);
}

int nearest_power_of_two(int side, int max_side) {
  assert(side >= 1 && max_side >= 1 && (max_side & (max_side - 1)) == 0 &&
         "sides are positive and the limit is a power of two");
  long long lower = 1;
  while (lower * 2 <= side) lower *= 2;
  // Up when side / lower >= sqrt(2), compared exactly in integers.
  const long long nearest = (static_cast<long long>(side) * side >= 2 * lower * lower) ? lower * 2 : lower;
  return static_cast<int>(std::min<long long>(nearest, max_side));
}

}  // namespace vantrel
