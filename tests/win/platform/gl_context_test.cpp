#include "platform/gl_context_win32.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/multisample_format_win32.h"
#include "platform/software_renderer.h"
#include "support/screen_capture.h"

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

// White on black into the current context: a triangle over the lower left
// whose long side slants through every column, so that a smoothed edge has
// partly covered pixels all along it and a plain one a staircase of whole
// pixels.
void draw_slanted_edge(int width, int height) {
  glViewport(0, 0, width, height);
  clear_to({0, 0, 0, 255});
  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_TRIANGLES);
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glVertex2f(-1.0f, 0.6f);
  glEnd();
}

// The red of every pixel, rows top first: the drawing is grey throughout.
using Reds = std::vector<int>;

Reds reds_of(const testing::Capture& capture) {
  Reds reds;
  for (const COLORREF pixel : capture.pixels) reds.push_back(GetRValue(pixel));
  return reds;
}

int grey_pixels(const Reds& reds) {
  int greys = 0;
  for (const int red : reds) greys += red % 255 != 0;
  return greys;
}

// The lower left corner lies inside the triangle, the upper right outside.
bool shows_triangle(const Reds& reds, int side) {
  if (reds.size() != static_cast<std::size_t>(side) * side) return false;
  const auto red_at = [&](int x, int y) { return reds[static_cast<std::size_t>(y) * side + x]; };
  return red_at(2, side - 3) == 255 && red_at(side - 3, 2) == 0;
}

// A shown, topmost window `side` pixels square. Multisampled edges are looked
// for on the screen: SwapBuffers shows them resolved, while Mesa's llvmpipe
// (under Wine) hands one sample per pixel to glReadPixels.
class ShownWindow {
 public:
  explicit ShownWindow(int side) {
    WNDCLASSW window_class{};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"GlContextTestShown";
    RegisterClassW(&window_class);  // registered by an earlier test is as good
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, window_class.lpszClassName, L"",
                              WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 100, 100, side, side, nullptr, nullptr,
                              window_class.hInstance, nullptr);
    // Not activated: Wine without a window manager waits two seconds for an
    // active window's withdrawal when it is destroyed.
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  ShownWindow(const ShownWindow&) = delete;
  ShownWindow& operator=(const ShownWindow&) = delete;
  ~ShownWindow() { DestroyWindow(window_); }

  HWND get() const { return window_; }

 private:
  HWND window_;
};

// Draws the slanted edge in `context`'s window and returns what the screen
// shows of it. The swap reaches the X server on the driver's connection and
// the capture on Wine's, so the capture is repeated until the frame is there.
Reds show_slanted_edge(GlContext& context, int side) {
  EXPECT_TRUE(context.make_current());
  draw_slanted_edge(side, side);
  context.swap_buffers();
  glFinish();
  Reds shown;
  for (int tries = 0; tries < 100; ++tries) {
    shown = reds_of(testing::capture_client(context.window()));
    if (shows_triangle(shown, side)) break;
    Sleep(20);
  }
  return shown;
}

// The lines OutputDebugString hands a debugger while this lives. The system
// raises them as exceptions, which a vectored handler sees before the
// system's own handler swallows them (as a narrow string under Wine, wide on
// recent Windows).
class DebugOutputRecorder {
 public:
  DebugOutputRecorder() : handler_(AddVectoredExceptionHandler(1, on_exception)) { recorder_ = this; }
  DebugOutputRecorder(const DebugOutputRecorder&) = delete;
  DebugOutputRecorder& operator=(const DebugOutputRecorder&) = delete;
  ~DebugOutputRecorder() {
    RemoveVectoredExceptionHandler(handler_);
    recorder_ = nullptr;
  }

  // The lines that start with `prefix`, told once each (Windows may tell a
  // line both wide and narrow).
  std::vector<std::wstring> lines_starting(std::wstring_view prefix) const {
    std::vector<std::wstring> found;
    for (const std::wstring& line : lines_) {
      if (line.starts_with(prefix) && (found.empty() || found.back() != line)) found.push_back(line);
    }
    return found;
  }

 private:
  static LONG CALLBACK on_exception(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (!recorder_ || record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C) {
      recorder_->lines_.emplace_back(reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]));
    } else if (record.ExceptionCode == DBG_PRINTEXCEPTION_C) {
      // Our lines are ASCII: each byte is its own character.
      const std::string narrow(reinterpret_cast<const char*>(record.ExceptionInformation[1]));
      recorder_->lines_.emplace_back(narrow.begin(), narrow.end());
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }

  static inline DebugOutputRecorder* recorder_ = nullptr;
  PVOID handler_;
  std::vector<std::wstring> lines_;
};

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

TEST(GlContext, APlainFormatShowsAHardStaircase) {
  constexpr int kSide = 64;
  const ShownWindow window(kSide);
  const std::unique_ptr<GlContext> plain = GlContext::create(window.get(), Antialiasing::None);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->samples(), 0);
  const Reds shown = show_slanted_edge(*plain, kSide);
  ASSERT_TRUE(shows_triangle(shown, kSide)) << "the frame never reached the screen";
  EXPECT_EQ(grey_pixels(shown), 0);
}

TEST(GlContext, SmoothsEdgesWhereTheDriverHasAMultisampledFormat) {
  constexpr int kSide = 64;
  const ShownWindow plain_window(kSide);
  const std::unique_ptr<GlContext> plain = GlContext::create(plain_window.get(), Antialiasing::None);
  ASSERT_TRUE(plain);
  // The search is proven against WGL itself in multisample_format_test.cpp.
  const bool offered = find_multisample_format(plain->dc(), true).has_value();
  RecordProperty("multisample_format", offered ? "offered" : "none");
  const Reds staircase = show_slanted_edge(*plain, kSide);

  const ShownWindow window(kSide);
  const std::unique_ptr<GlContext> context = GlContext::create(window.get(), Antialiasing::MultisampleEvenInSoftware);
  ASSERT_TRUE(context);
  RecordProperty("samples", context->samples());
  const Reds shown = show_slanted_edge(*context, kSide);
  ASSERT_TRUE(shows_triangle(shown, kSide)) << "the frame never reached the screen";
  if (offered) {
    EXPECT_GE(context->samples(), 2);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE_ARB));
    EXPECT_GE(grey_pixels(shown), kSide / 2) << "the slanted edge has too few blended pixels";
  } else {
    EXPECT_EQ(context->samples(), 0);
    EXPECT_EQ(shown, staircase) << "without multisampling the context must draw as the plain format";
  }
}

// By default a software renderer keeps the plain format (four samples a
// pixel would cost the processor four times the fill); hardware that offers
// a multisampled format gets it.
TEST(GlContext, MultisamplesByDefaultOnlyInHardware) {
  const std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::create(8, 8);
  ASSERT_TRUE(offscreen);
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(renderer, nullptr);
  RecordProperty("renderer", renderer);
  const std::unique_ptr<OffscreenGl> probe = OffscreenGl::create(8, 8, Antialiasing::None);
  ASSERT_TRUE(probe);
  const bool offered = find_multisample_format(probe->context().dc(), true).has_value();
  if (is_software_renderer(renderer) || !offered)
    EXPECT_EQ(offscreen->context().samples(), 0) << renderer;
  else
    EXPECT_GE(offscreen->context().samples(), 2) << renderer;
}

TEST(GlContext, TellsADebuggerWhichPixelFormatItGot) {
  for (const Antialiasing want :
       {Antialiasing::None, Antialiasing::Multisample, Antialiasing::MultisampleEvenInSoftware}) {
    SCOPED_TRACE(static_cast<int>(want));
    const DebugOutputRecorder recorder;
    const std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::create(8, 8, want);
    ASSERT_TRUE(offscreen);
    const int samples = offscreen->context().samples();
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const bool software = renderer && is_software_renderer(renderer);
    const std::wstring expected =
        samples > 0                    ? L"Vantrel: pixel format with " + std::to_wstring(samples) + L"x multisampling\n"
        : want == Antialiasing::None ? L"Vantrel: plain pixel format (multisampling not asked for)\n"
        : software && want == Antialiasing::Multisample
            ? L"Vantrel: plain pixel format (software renderer: multisampling left off)\n"
            : L"Vantrel: plain pixel format (no multisampling offered)\n";
    EXPECT_EQ(recorder.lines_starting(L"Vantrel:"), std::vector<std::wstring>{expected});
  }
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
