#include "platform/multisample_format_win32.h"

#include <GL/gl.h>
#include <GL/wglext.h>

#include <array>
#include <memory>
#include <type_traits>

#include "platform/software_renderer.h"

namespace vantrel {
namespace {

constexpr wchar_t kProbeClassName[] = L"Vantrel_PixelFormatProbe";

LRESULT CALLBACK probe_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

// The probe window's class for as long as the probe lasts. A class another
// thread's probe registered is as good; unregistering it then fails
// harmlessly while that probe's window is still there.
class ProbeClass {
 public:
  ProbeClass() : instance_(GetModuleHandleW(nullptr)) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = probe_window_procedure;
    window_class.hInstance = instance_;
    window_class.lpszClassName = kProbeClassName;
    registered_ = RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  ProbeClass(const ProbeClass&) = delete;
  ProbeClass& operator=(const ProbeClass&) = delete;
  ~ProbeClass() {
    if (registered_) UnregisterClassW(kProbeClassName, instance_);
  }

  explicit operator bool() const { return registered_; }
  HINSTANCE instance() const { return instance_; }

 private:
  HINSTANCE instance_;
  bool registered_ = false;
};

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using ProbeWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

struct ContextDeleter {
  void operator()(HGLRC context) const { wglDeleteContext(context); }
};
using ProbeContext = std::unique_ptr<std::remove_pointer_t<HGLRC>, ContextDeleter>;

// Makes the thread's current context (or none) current again on the way out.
class CurrentContextKeeper {
 public:
  CurrentContextKeeper() : dc_(wglGetCurrentDC()), context_(wglGetCurrentContext()) {}
  CurrentContextKeeper(const CurrentContextKeeper&) = delete;
  CurrentContextKeeper& operator=(const CurrentContextKeeper&) = delete;
  ~CurrentContextKeeper() { wglMakeCurrent(dc_, context_); }

 private:
  HDC dc_;
  HGLRC context_;
};

bool has_token(const char* list, std::string_view token) {
  if (!list) return false;
  std::string_view rest(list);
  while (!rest.empty()) {
    const std::size_t end = rest.find(' ');
    if (rest.substr(0, end) == token) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

bool offers_multisample_formats(HDC dc) {
  return offers_wgl_extension(dc, "WGL_ARB_pixel_format") && offers_wgl_extension(dc, "WGL_ARB_multisample");
}

// The same plain format the window itself would get, so that the question
// reaches the driver that will render.
bool set_probe_format(HDC dc) {
  PIXELFORMATDESCRIPTOR wanted{};
  wanted.nSize = sizeof wanted;
  wanted.nVersion = 1;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 24;
  wanted.cDepthBits = 24;
  wanted.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(dc, &wanted);
  PIXELFORMATDESCRIPTOR chosen{};
  return format != 0 && DescribePixelFormat(dc, format, sizeof chosen, &chosen) && SetPixelFormat(dc, format, &chosen);
}

// Needs a current context; `probe_dc` is its DC, `dc` the window's.
std::optional<int> choose_multisample_format(HDC probe_dc, HDC dc, bool software_too) {
  if (!offers_multisample_formats(probe_dc)) return std::nullopt;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!software_too && renderer && is_software_renderer(renderer)) return std::nullopt;
  const auto choose = wgl_function<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
  if (!choose) return std::nullopt;
  // The driver orders matches best first, fewest samples first among equals.
  for (const int depth_bits : {24, 16}) {
    const std::array<int, 17> attributes{
        WGL_DRAW_TO_WINDOW_ARB, GL_TRUE,           WGL_SUPPORT_OPENGL_ARB, GL_TRUE,
        WGL_DOUBLE_BUFFER_ARB,  GL_TRUE,           WGL_PIXEL_TYPE_ARB,     WGL_TYPE_RGBA_ARB,
        WGL_COLOR_BITS_ARB,     24,                WGL_DEPTH_BITS_ARB,     depth_bits,
        WGL_SAMPLE_BUFFERS_ARB, 1,                 WGL_SAMPLES_ARB,        kMultisamplesWanted,
        0};
    int format = 0;
    UINT found = 0;
    if (choose(dc, attributes.data(), nullptr, 1, &format, &found) && found > 0 && format > 0) return format;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> find_multisample_format(HDC dc, bool software_too) {
  // Declared in the order they are made; they go in the reverse order, the
  // previous context current again before the probe's is deleted.
  const ProbeClass probe_class;
  if (!probe_class) return std::nullopt;
  const ProbeWindow window(CreateWindowExW(WS_EX_TOOLWINDOW, kProbeClassName, L"",
                                           WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 1, 1, nullptr, nullptr,
                                           probe_class.instance(), nullptr));
  if (!window) return std::nullopt;
  const WindowDc probe_dc(window.get());
  if (!probe_dc.get() || !set_probe_format(probe_dc.get())) return std::nullopt;
  const ProbeContext context(wglCreateContext(probe_dc.get()));
  if (!context) return std::nullopt;
  const CurrentContextKeeper keeper;
  if (!wglMakeCurrent(probe_dc.get(), context.get())) return std::nullopt;
  return choose_multisample_format(probe_dc.get(), dc, software_too);
}

int pixel_format_samples(HDC dc, int format) {
  if (!offers_multisample_formats(dc)) return 0;
  const auto attributes_of = wgl_function<PFNWGLGETPIXELFORMATATTRIBIVARBPROC>("wglGetPixelFormatAttribivARB");
  if (!attributes_of) return 0;
  const std::array<int, 2> names{WGL_SAMPLE_BUFFERS_ARB, WGL_SAMPLES_ARB};
  std::array<int, 2> values{};
  if (!attributes_of(dc, format, 0, static_cast<UINT>(names.size()), names.data(), values.data())) return 0;
  return values[0] > 0 ? values[1] : 0;
}

bool offers_wgl_extension(HDC dc, std::string_view name) {
  if (const auto arb = wgl_function<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB")) {
    if (has_token(arb(dc), name)) return true;
  }
  if (const auto ext = wgl_function<PFNWGLGETEXTENSIONSSTRINGEXTPROC>("wglGetExtensionsStringEXT")) {
    if (has_token(ext(), name)) return true;
  }
  return has_token(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

}  // namespace vantrel
