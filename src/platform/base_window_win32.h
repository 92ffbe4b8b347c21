#pragma once
// One class per window. create() registers the window class and makes the
// window; the static window procedure keeps the object's address with the
// window and hands every message to the object's HandleMessage, whose switch
// only unpacks parameters and calls the typed OnXxx handlers. The address is
// cleared at WM_NCDESTROY, the last message a window gets, so no message ever
// reaches an object after its window has gone. A derived class names this
// base a friend.

#include <windows.h>

namespace vantrel {

// The window class. Zero values: no class style, no icons, the arrow cursor,
// no background brush (the window paints every pixel itself).
struct WindowClassSpec {
  const wchar_t* name = nullptr;
  UINT style = 0;
  HICON icon = nullptr;
  HICON small_icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

// The window itself, in the pixels of the creating thread's DPI awareness.
struct WindowSpec {
  DWORD ex_style = 0;
  DWORD style = 0;
  const wchar_t* caption = L"";
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HWND parent = nullptr;
};

template <typename Derived>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND window() const { return window_; }

 protected:
  // A window still there when its object ends is destroyed without reaching
  // the object, which is half gone by then.
  ~BaseWindow() {
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }

  // Registers the class (a class this process registered before is reused)
  // and creates the window. False when either fails; window() is then null.
  bool create(HINSTANCE instance, const WindowClassSpec& class_spec, const WindowSpec& window_spec) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = class_spec.style;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = class_spec.icon;
    window_class.hIconSm = class_spec.small_icon;
    window_class.hCursor = class_spec.cursor ? class_spec.cursor : LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = class_spec.background;
    window_class.lpszClassName = class_spec.name;
    if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    return CreateWindowExW(window_spec.ex_style, class_spec.name, window_spec.caption, window_spec.style,
                           window_spec.x, window_spec.y, window_spec.width, window_spec.height, window_spec.parent,
                           nullptr, instance, static_cast<Derived*>(this)) != nullptr;
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    const LRESULT result = self->HandleMessage(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_ = nullptr;
    }
    return result;
  }

  HWND window_ = nullptr;
};

}  // namespace vantrel
