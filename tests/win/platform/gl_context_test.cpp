#include "platform/gl_context_win32.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace vantrel {
namespace {

using Rgba = std::array<int, 4>;

Rgba pixel_at(const Picture& picture, int x, int y) {
  const auto at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
  return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2], picture.rgba[at + 3]};
}

void clear_to(const Rgba& colour) {
  glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Counts the pixels of rows [first_row, end_row) that are not `colour`.
int count_other_pixels(const Picture& picture, int first_row, int end_row, const Rgba& colour) {
  int others = 0;
  for (int y = first_row; y < end_row; ++y)
    for (int x = 0; x < picture.width; ++x) others += pixel_at(picture, x, y) != colour;
  return others;
}

TEST(GlContext, ClearsAHiddenWindowAndReadsItBackTopFirst) {
  constexpr int kWidth = 64;
  constexpr int kHeight = 48;
  const std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::create(kWidth, kHeight);
  ASSERT_TRUE(offscreen) << "no OpenGL context on a hidden window (is DISPLAY set?)";
  const GlContext& context = offscreen->context();
  RecordProperty("vsync", context.vsync() ? "on" : "off");
  const int texture_limit = context.max_texture_size();
  EXPECT_GE(texture_limit, 1024);
  EXPECT_EQ(texture_limit & (texture_limit - 1), 0) << texture_limit << " is no power of two";
  EXPECT_GE(context.depth_bits(), 16);

  const Rgba below{51, 102, 153, 255};
  const Rgba top{200, 30, 90, 255};
  clear_to(below);
  // Only the upper half, in OpenGL's bottom-up rows: the picture's first rows.
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, kHeight / 2, kWidth, kHeight / 2);
  clear_to(top);
  glDisable(GL_SCISSOR_TEST);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);

  const Picture picture = offscreen->read_back();
  ASSERT_EQ(picture.width, kWidth);
  ASSERT_EQ(picture.height, kHeight);
  ASSERT_EQ(picture.rgba.size(), static_cast<std::size_t>(kWidth) * kHeight * 4);
  EXPECT_EQ(count_other_pixels(picture, 0, kHeight / 2, top), 0);
  EXPECT_EQ(count_other_pixels(picture, kHeight / 2, kHeight, below), 0);

  GLint alignment = 0;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 8) << "the read-back left the caller's pack alignment changed";
}

TEST(GlContext, TwoContextsKeepTheirOwnPixels) {
  const Rgba first_colour{255, 0, 0, 255};
  const Rgba second_colour{0, 0, 255, 255};
  std::unique_ptr<OffscreenGl> first = OffscreenGl::create(32, 32);
  std::unique_ptr<OffscreenGl> second = OffscreenGl::create(40, 20);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->context().make_current());
  clear_to(first_colour);
  ASSERT_TRUE(second->context().make_current());
  clear_to(second_colour);

  EXPECT_EQ(count_other_pixels(first->read_back(), 0, 32, first_colour), 0);
  EXPECT_EQ(count_other_pixels(second->read_back(), 0, 20, second_colour), 0);

  // The first goes while the second still uses the window class; a third
  // made afterwards must still find the class.
  first.reset();
  EXPECT_EQ(count_other_pixels(second->read_back(), 0, 20, second_colour), 0);
  second.reset();
  EXPECT_TRUE(OffscreenGl::create(8, 8));
}

TEST(GlContext, ASecondContextOnTheSameWindowReusesItsPixelFormat) {
  const std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::create(24, 24);
  ASSERT_TRUE(offscreen);
  const HWND window = offscreen->context().window();
  // The window's format is set now and cannot change: the new context must
  // take it as it is.
  const std::unique_ptr<GlContext> again = GlContext::create(window);
  ASSERT_TRUE(again);
  const Rgba colour{10, 220, 30, 255};
  clear_to(colour);
  EXPECT_EQ(count_other_pixels(read_back_buffer(24, 24), 0, 24, colour), 0);
}

TEST(GlContext, RefusesWhatIsNoWindow) {
  const HWND destroyed = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(destroyed);
  DestroyWindow(destroyed);
  EXPECT_FALSE(GlContext::create(nullptr)) << "no window: not the screen's DC either";
  EXPECT_FALSE(GlContext::create(destroyed));
}

}  // namespace
}  // namespace vantrel
