#pragma once
// The driver's multisampled pixel formats (WGL_ARB_pixel_format with
// WGL_ARB_multisample), and the WGL extension lookups that asking for them
// takes. The ARB entry points exist only while some context is current, and
// a window's pixel format can be set only once, so the question is put
// through a throwaway window of its own, never through the window that is to
// render.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// Samples per pixel asked for: 4 takes the staircase off the sphere's outline
// at a quarter of the fill cost of 16, which matters on software drivers.
inline constexpr int kMultisamplesWanted = 4;

// The index of a pixel format for `dc` that draws to a window, supports
// OpenGL, is double-buffered RGBA with 24 colour bits, 24 depth bits (else
// 16) and a sample buffer of kMultisamplesWanted samples or more; nothing
// when the driver offers no such format or any step of asking fails (a
// throwaway window, its plain format, its context), and nothing from a
// software renderer unless `software_too`. Nothing it made outlives the
// call, and the calling thread's current context is the one it was.
std::optional<int> find_multisample_format(HDC dc, bool software_too = false);

// The samples per pixel of pixel format `format` on `dc`: 0 for a format
// without a sample buffer, and 0 when the driver has no WGL_ARB_multisample
// (a driver that cannot name samples has none to give). Needs a current
// context of that driver on the calling thread.
int pixel_format_samples(HDC dc, int format);

// True when the current context's driver lists the WGL extension `name`;
// older drivers list theirs among the GL extensions instead.
bool offers_wgl_extension(HDC dc, std::string_view name);

// An entry point that WGL hands out only while a context is current, or null.
template <typename Function>
Function wgl_function(const char* name) {
  // wglGetProcAddress answers 1, 2, 3 or -1 instead of null on some drivers.
  const auto address = reinterpret_cast<std::intptr_t>(wglGetProcAddress(name));
  if (address >= -1 && address <= 3) return nullptr;
  return reinterpret_cast<Function>(address);
}

}  // namespace vantrel
