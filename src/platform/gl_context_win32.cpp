#include "platform/gl_context_win32.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/wglext.h>

#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "platform/multisample_format_win32.h"
#include "platform/software_renderer.h"

namespace vantrel {
namespace {

constexpr BYTE kColourBits = 24;
constexpr BYTE kDepthBitsWanted = 24;
constexpr BYTE kDepthBitsNeeded = 16;  // below this the sphere's fragments z-fight

constexpr wchar_t kOffscreenClassName[] = L"Vantrel_OffscreenGl";

bool turn_vsync_on(HDC dc) {
  if (!offers_wgl_extension(dc, "WGL_EXT_swap_control")) return false;
  const auto set_interval = wgl_function<PFNWGLSWAPINTERVALEXTPROC>("wglSwapIntervalEXT");
  if (!set_interval || !set_interval(1)) return false;
  const auto get_interval = wgl_function<PFNWGLGETSWAPINTERVALEXTPROC>("wglGetSwapIntervalEXT");
  return !get_interval || get_interval() == 1;
}

// Sets a double-buffered OpenGL format on the window's DC unless it already
// has one (a window's pixel format can be set only once). The depth bits of
// the format in use, or 0 when it is unusable.
int prepare_pixel_format(HDC dc) {
  int format = GetPixelFormat(dc);
  if (format == 0) {
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = kColourBits;
    wanted.cDepthBits = kDepthBitsWanted;
    wanted.iLayerType = PFD_MAIN_PLANE;
    format = ChoosePixelFormat(dc, &wanted);
    if (format == 0) return 0;
    PIXELFORMATDESCRIPTOR chosen{};
    if (!DescribePixelFormat(dc, format, sizeof chosen, &chosen) || !SetPixelFormat(dc, format, &chosen)) return 0;
  }
  PIXELFORMATDESCRIPTOR used{};
  if (!DescribePixelFormat(dc, format, sizeof used, &used)) return 0;
  const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  if ((used.dwFlags & needed) != needed || used.iPixelType != PFD_TYPE_RGBA || used.cDepthBits < kDepthBitsNeeded) {
    return 0;
  }
  return used.cDepthBits;
}

// A multisampled format goes on the window only while it has none yet; a
// refusal leaves it without one, free for the plain format.
void try_multisample_format(HDC dc, bool software_too) {
  if (GetPixelFormat(dc) != 0) return;
  const std::optional<int> format = find_multisample_format(dc, software_too);
  if (!format) return;
  PIXELFORMATDESCRIPTOR chosen{};
  if (DescribePixelFormat(dc, *format, sizeof chosen, &chosen)) SetPixelFormat(dc, *format, &chosen);
}

// Which format a run got, for a person watching it: a debugger, DebugView on
// Windows, WINEDEBUG=warn+seh under Wine 8.
void report_pixel_format(int samples, Antialiasing want, bool software) {
  if (samples > 0) {
    OutputDebugStringW((L"Vantrel: pixel format with " + std::to_wstring(samples) + L"x multisampling\n").c_str());
  } else if (want == Antialiasing::None) {
    OutputDebugStringW(L"Vantrel: plain pixel format (multisampling not asked for)\n");
  } else if (software && want == Antialiasing::Multisample) {
    OutputDebugStringW(L"Vantrel: plain pixel format (software renderer: multisampling left off)\n");
  } else {
    OutputDebugStringW(L"Vantrel: plain pixel format (no multisampling offered)\n");
  }
}

LRESULT CALLBACK offscreen_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

std::unique_ptr<GlContext> GlContext::create(HWND window, Antialiasing want) {
  // GetDC(nullptr) would be the whole screen's DC: refuse anything not a window.
  if (!window || !IsWindow(window)) return nullptr;
  const HDC dc = GetDC(window);
  if (!dc) return nullptr;
  std::unique_ptr<GlContext> context(new GlContext(window, dc));  // releases dc on every early return

  if (want != Antialiasing::None) try_multisample_format(dc, want == Antialiasing::MultisampleEvenInSoftware);
  context->depth_bits_ = prepare_pixel_format(dc);
  if (context->depth_bits_ == 0) return nullptr;
  context->rendering_context_ = wglCreateContext(dc);
  if (!context->rendering_context_ || !context->make_current()) return nullptr;

  GLint max_texture_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_size);
  context->max_texture_size_ = max_texture_size;
  context->vsync_ = turn_vsync_on(dc);
  // Counted on the format the window really has, which an earlier context
  // may have chosen.
  context->samples_ = pixel_format_samples(dc, GetPixelFormat(dc));
  // On from the start by the GL rules; said here so that no driver's
  // starting state decides whether the edges are smoothed.
  if (context->samples_ > 0) glEnable(GL_MULTISAMPLE_ARB);
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  report_pixel_format(context->samples_, want, renderer && is_software_renderer(renderer));
  return context;
}

GlContext::~GlContext() {
  if (rendering_context_) {
    if (wglGetCurrentContext() == rendering_context_) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rendering_context_);
  }
  ReleaseDC(window_, dc_);
}

bool GlContext::make_current() { return wglMakeCurrent(dc_, rendering_context_) != FALSE; }

void GlContext::swap_buffers() { SwapBuffers(dc_); }

Picture read_back_buffer(int width, int height) {
  assert(width >= 1 && height >= 1 && "reading back an empty area is a caller's mistake");
  GLint previous_alignment = 4;
  GLint previous_read_buffer = GL_BACK;
  glGetIntegerv(GL_PACK_ALIGNMENT, &previous_alignment);
  glGetIntegerv(GL_READ_BUFFER, &previous_read_buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);

  const std::size_t row_bytes = static_cast<std::size_t>(width) * 4;
  Picture picture{width, height, std::vector<std::uint8_t>(row_bytes * height)};
  std::vector<std::uint8_t> bottom_up(picture.rgba.size());
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
  // OpenGL's rows run from the bottom; a picture's run from the top.
  for (int y = 0; y < height; ++y) {
    std::memcpy(&picture.rgba[static_cast<std::size_t>(y) * row_bytes],
                &bottom_up[static_cast<std::size_t>(height - 1 - y) * row_bytes], row_bytes);
  }

  glPixelStorei(GL_PACK_ALIGNMENT, previous_alignment);
  glReadBuffer(static_cast<GLenum>(previous_read_buffer));
  return picture;
}

std::unique_ptr<OffscreenGl> OffscreenGl::create(int width, int height, Antialiasing want) {
  assert(width >= 1 && height >= 1 && "an offscreen window needs pixels");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_OWNDC;
  window_class.lpfnWndProc = offscreen_window_procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = kOffscreenClassName;
  // Already registered by another live offscreen window is as good.
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  // A popup has no frame: its client area is the whole window.
  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kOffscreenClassName, L"", WS_POPUP | WS_CLIPCHILDREN |
                                      WS_CLIPSIBLINGS, 0, 0, width, height, nullptr, nullptr, instance, nullptr);
  if (!window) {
    UnregisterClassW(kOffscreenClassName, instance);
    return nullptr;
  }
  std::unique_ptr<OffscreenGl> offscreen(new OffscreenGl(window, width, height));
  offscreen->context_ = GlContext::create(window, want);
  if (!offscreen->context_) return nullptr;
  return offscreen;
}

OffscreenGl::~OffscreenGl() {
  context_.reset();
  DestroyWindow(window_);
  // Fails harmlessly while another offscreen window still uses the class;
  // the last one to go takes the class with it.
  UnregisterClassW(kOffscreenClassName, GetModuleHandleW(nullptr));
}

Picture OffscreenGl::read_back() {
  context_->make_current();
  return read_back_buffer(width_, height_);
}

}  // namespace vantrel
