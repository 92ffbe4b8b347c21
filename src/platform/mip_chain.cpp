#include "platform/mip_chain.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace vantrel {
namespace {

double srgb_to_linear(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

// Light of every sRGB byte, and the light halfway between each byte and the
// next, so that light turns back into the nearest byte by a search.
struct SrgbTables {
  std::array<float, 256> light{};
  std::array<float, 255> boundaries{};
  SrgbTables() {
    for (int i = 0; i < 256; ++i) light[static_cast<std::size_t>(i)] = static_cast<float>(srgb_to_linear(i / 255.0));
    for (int i = 0; i < 255; ++i)
      boundaries[static_cast<std::size_t>(i)] = static_cast<float>(srgb_to_linear((i + 0.5) / 255.0));
  }
  std::uint8_t to_byte(float value) const {
    return static_cast<std::uint8_t>(std::upper_bound(boundaries.begin(), boundaries.end(), value) -
                                     boundaries.begin());
  }
};

const SrgbTables& srgb_tables() {
  static const SrgbTables tables;
  return tables;
}

[[maybe_unused]] bool is_power_of_two(int side) { return side >= 1 && (side & (side - 1)) == 0; }

Picture half_size(const Picture& level, const SrgbTables& srgb) {
  const int width = std::max(1, level.width / 2);
  const int height = std::max(1, level.height / 2);
  const int step_x = level.width > 1 ? 1 : 0;  // the second texel across, or the same one
  const int step_y = level.height > 1 ? 1 : 0;
  Picture next{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  const auto texel = [&](int x, int y) { return &level.rgba[(static_cast<std::size_t>(y) * level.width + x) * 4]; };
  std::uint8_t* out = next.rgba.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, out += 4) {
      const std::uint8_t* corners[4] = {texel(2 * x, 2 * y), texel(2 * x + step_x, 2 * y),
                                        texel(2 * x, 2 * y + step_y), texel(2 * x + step_x, 2 * y + step_y)};
      float light[3] = {0.0f, 0.0f, 0.0f};
      int alpha = 0;
      for (const std::uint8_t* corner : corners) {
        const float weight = static_cast<float>(corner[3]);
        for (int c = 0; c < 3; ++c) light[c] += srgb.light[corner[c]] * weight;
        alpha += corner[3];
      }
      if (alpha == 0) {
        std::fill(out, out + 4, std::uint8_t{0});  // transparent black, as the resampler leaves it
        continue;
      }
      for (int c = 0; c < 3; ++c) out[c] = srgb.to_byte(light[c] / static_cast<float>(alpha));
      out[3] = static_cast<std::uint8_t>((alpha + 2) / 4);
    }
  }
  return next;
}

}  // namespace

MipChain make_mip_chain(Picture base) {
  MipChain chain;
  if (base.width <= 0 || base.height <= 0) return chain;
  assert(is_power_of_two(base.width) && is_power_of_two(base.height) &&
         "a mip chain is built on power-of-two sides");
  const SrgbTables& srgb = srgb_tables();
  chain.push_back(std::move(base));
  while (chain.back().width > 1 || chain.back().height > 1) chain.push_back(half_size(chain.back(), srgb));
  return chain;
}

bool is_complete_mip_chain(const MipChain& chain) {
  if (chain.empty()) return false;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const Picture& level = chain[i];
    if (level.width < 1 || level.height < 1 ||
        level.rgba.size() != static_cast<std::size_t>(level.width) * level.height * 4) {
      return false;
    }
    if (i > 0 && (level.width != std::max(1, chain[i - 1].width / 2) ||
                  level.height != std::max(1, chain[i - 1].height / 2))) {
      return false;
    }
  }
  return chain.back().width == 1 && chain.back().height == 1;
}

}  // namespace vantrel
