// The multisampled format search set against what the driver says when asked
// directly through WGL, here, without the code under test.
#include "platform/multisample_format_win32.h"
#include "platform/software_renderer.h"

#include <GL/gl.h>
#include <GL/wglext.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "platform/gl_context_win32.h"

namespace vantrel {
namespace {

struct DriverOffer {
  std::set<std::string> wgl_extensions;
  bool multisample_format = false;  // a double-buffered RGBA window format with 4 samples or more
};

// Needs a current context on `dc`.
DriverOffer ask_driver(HDC dc) {
  DriverOffer offer;
  const char* names = nullptr;
  if (const auto arb = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
          reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")))) {
    names = arb(dc);
  } else if (const auto ext = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGEXTPROC>(
                 reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")))) {
    names = ext();
  }
  std::istringstream words(names ? names : "");
  for (std::string word; words >> word;) offer.wgl_extensions.insert(word);
  if (!offer.wgl_extensions.count("WGL_ARB_pixel_format") || !offer.wgl_extensions.count("WGL_ARB_multisample")) {
    return offer;
  }
  const auto choose = reinterpret_cast<PFNWGLCHOOSEPIXELFORMATARBPROC>(
      reinterpret_cast<void*>(wglGetProcAddress("wglChoosePixelFormatARB")));
  const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB, 1, WGL_SUPPORT_OPENGL_ARB, 1, WGL_DOUBLE_BUFFER_ARB,  1,
                            WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB, WGL_SAMPLE_BUFFERS_ARB, 1, WGL_SAMPLES_ARB, 4, 0};
  int format = 0;
  UINT found = 0;
  offer.multisample_format = choose && choose(dc, attributes, nullptr, 1, &format, &found) && found > 0;
  return offer;
}

int thread_window_count() {
  int count = 0;
  const auto count_one = [](HWND, LPARAM counter) -> BOOL {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), count_one, reinterpret_cast<LPARAM>(&count));
  return count;
}

class MultisampleFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plain_ = OffscreenGl::create(16, 16, Antialiasing::None);
    ASSERT_NE(plain_, nullptr) << "no OpenGL context on a hidden window (is DISPLAY set?)";
    ASSERT_TRUE(plain_->context().make_current());
  }

  HDC dc() const { return plain_->context().dc(); }

  std::unique_ptr<OffscreenGl> plain_;
};

TEST_F(MultisampleFormatTest, IsFoundExactlyWhereTheDriverOffersOne) {
  const DriverOffer offer = ask_driver(dc());
  std::string names;
  for (const std::string& name : offer.wgl_extensions) names += name + ' ';
  RecordProperty("wgl_extensions", names);
  RecordProperty("multisample_format", offer.multisample_format ? "offered" : "none");

  const std::optional<int> format = find_multisample_format(dc(), true);
  EXPECT_EQ(format.has_value(), offer.multisample_format) << "the driver's WGL extensions: " << names;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer && is_software_renderer(renderer))
    EXPECT_FALSE(find_multisample_format(dc()).has_value()) << "a software renderer is offered none by default";
  if (format) {
    EXPECT_GE(pixel_format_samples(dc(), *format), kMultisamplesWanted);
  }
}

TEST_F(MultisampleFormatTest, APlainFormatHasNoSamples) {
  EXPECT_EQ(pixel_format_samples(dc(), GetPixelFormat(dc())), 0);
}

TEST_F(MultisampleFormatTest, LeavesNoWindowAndTheCurrentContextAsItWas) {
  for (const bool context_current : {true, false}) {
    SCOPED_TRACE(context_current ? "a context current" : "no context current");
    ASSERT_TRUE(context_current ? plain_->context().make_current() : wglMakeCurrent(nullptr, nullptr));
    const HGLRC context_before = wglGetCurrentContext();
    const HDC dc_before = wglGetCurrentDC();
    const int windows_before = thread_window_count();

    find_multisample_format(dc());

    EXPECT_EQ(thread_window_count(), windows_before);
    EXPECT_EQ(wglGetCurrentContext(), context_before);
    EXPECT_EQ(wglGetCurrentDC(), dc_before);
  }
}

TEST_F(MultisampleFormatTest, NamesOnlyWholeExtensionNames) {
  const DriverOffer offer = ask_driver(dc());
  ASSERT_FALSE(offer.wgl_extensions.empty()) << "the driver lists no WGL extension to compare with";
  for (const std::string& name : offer.wgl_extensions) {
    EXPECT_TRUE(offers_wgl_extension(dc(), name)) << name;
    const std::string shorter = name.substr(0, name.size() - 1);
    if (!offer.wgl_extensions.count(shorter)) {
      EXPECT_FALSE(offers_wgl_extension(dc(), shorter)) << shorter << " is only the start of " << name;
    }
  }
  EXPECT_FALSE(offers_wgl_extension(dc(), "WGL_VANTREL_no_such_extension"));
}

}  // namespace
}  // namespace vantrel
