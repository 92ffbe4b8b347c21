#pragma once
// OpenGL contexts through WGL: one on a window the caller owns, and a hidden
// window with its own context for tests and for rendering stills.

#include <windows.h>

#include <memory>

#include "platform/picture.h"

namespace vantrel {

// Whether a context asks for smoothed edges. The zero value is the default.
enum class Antialiasing {
  // A 4x multisampled format where the driver offers one and draws in
  // hardware, else the plain one: on a software renderer four samples a pixel
  // cost the processor four times the fill.
  Multisample,
  MultisampleEvenInSoftware,  // a 4x multisampled format wherever the driver offers one
  None,                       // the plain format only
};

// A context on a window's client area, current on the thread that made it,
// with a double-buffered RGBA pixel format (24 colour bits and 24 depth bits
// asked for; at least 16 depth bits accepted), multisampled where asked for
// and offered. It owns the window's device context (GetDC, released on
// destruction) and the rendering context; the window itself stays the
// caller's and must outlive this object. Give the window class CS_OWNDC and
// the window WS_CLIPCHILDREN | WS_CLIPSIBLINGS.
class GlContext {
 public:
  // The context, made current, or nullptr when `window` is no window, has or
  // gets no double-buffered OpenGL pixel format, or the driver refuses a
  // context. On failure nothing stays held, and the window can go on being
  // painted with GDI (a pixel format once set on it cannot be taken back).
  // A window that has a pixel format keeps it, whatever `want` says. Each
  // call tells a debugger which format it got (OutputDebugString).
  static std::unique_ptr<GlContext> create(HWND window, Antialiasing want = Antialiasing::Multisample);

  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;
  ~GlContext();

  // Makes this context current on the calling thread; false if WGL refuses.
  bool make_current();

  // Shows the back buffer. With vsync() true this waits for the display's
  // vertical blank; otherwise it returns at once and the caller paces frames.
  void swap_buffers();

  // True when the driver offers WGL_EXT_swap_control and accepted a swap
  // interval of 1. Some drivers accept it without ever waiting (a virtual
  // display has no vertical blank), so a careful caller also times swaps.
  bool vsync() const { return vsync_; }

  // GL_MAX_TEXTURE_SIZE: the largest texture side in pixels, a power of two
  // (64 at least by the OpenGL 1.1 rules).
  int max_texture_size() const { return max_texture_size_; }

  // The depth buffer's bits in the chosen pixel format (16 or more).
  int depth_bits() const { return depth_bits_; }

  // Samples per pixel of the window's pixel format: 0 for a plain format,
  // else 2 or more (4 when the driver gives what was asked).
  int samples() const { return samples_; }

  HWND window() const { return window_; }
  HDC dc() const { return dc_; }

 private:
  GlContext(HWND window, HDC dc) : window_(window), dc_(dc) {}

  HWND window_;
  HDC dc_;
  HGLRC rendering_context_ = nullptr;
  bool vsync_ = false;
  int max_texture_size_ = 0;
  int depth_bits_ = 0;
  int samples_ = 0;
};

// The current context's back buffer, `width` x `height` pixels from the lower
// left corner, as a picture with rows top first and alpha 255 where the
// buffer has no alpha. Call before swap_buffers: afterwards the back buffer's
// contents are undefined. The pack alignment and read buffer are restored.
Picture read_back_buffer(int width, int height);

// A hidden, never shown window of width x height client pixels with its own
// context, for drawing that is read back rather than displayed. A hidden
// window renders reliably under Mesa (Wine, the tests); some hardware drivers
// on Windows leave the pixels of a window that is not on screen undefined.
class OffscreenGl {
 public:
  // The window and its current context, or nullptr when either cannot be made.
  // Multisampled by default like any context; how its edges read back is
  // the driver's resolve (Mesa's llvmpipe reads one sample per pixel, so
  // they look as a plain format's there, while the screen shows them smooth).
  static std::unique_ptr<OffscreenGl> create(int width, int height, Antialiasing want = Antialiasing::Multisample);

  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;
  ~OffscreenGl();

  GlContext& context() { return *context_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // The whole back buffer (read_back_buffer of the full size), this context
  // made current first.
  Picture read_back();

 private:
  OffscreenGl(HWND window, int width, int height) : window_(window), width_(width), height_(height) {}

  HWND window_;  // destroyed after context_, which renders into it
  int width_;
  int height_;
  std::unique_ptr<GlContext> context_;
};

}  // namespace vantrel
