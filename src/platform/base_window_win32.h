#pragma once
// One class per window. create() registers the window class and makes the
// window; the static window procedure keeps the object's address with the
// window and hands every message to the object's HandleMessage, whose switch
// only unpacks parameters and calls the typed OnXxx handlers. The address is
// cleared at WM_NCDESTROY, the last message a window gets, so no message ever
// reaches an object after its window has gone. A derived class names this
// base a friend.
//
// Any program can post any message to our windows, the lifecycle messages
// included: a WM_NCDESTROY posted to a live window would cut it off from its
// object, and a WM_NCCREATE posted later carries a pointer that is no
// CREATESTRUCT. So creation is believed only while create() runs, and
// destruction only while destroy_window() runs or when the system takes the
// window away from another thread (a child whose parent, in another program,
// is going); every other copy of those messages is dropped.

#include <windows.h>

namespace vantrel {

namespace window_lifecycle {
// The window this thread is creating or destroying right now, if any: the
// system gives no sign of its own that tells a real WM_DESTROY from a posted
// one, so the thread keeps its own record.
inline thread_local HWND destroying = nullptr;
inline thread_local bool creating = false;
}  // namespace window_lifecycle

// Destroys one of our windows so that its WM_DESTROY and WM_NCDESTROY are
// believed (see the header comment). Every window of ours is destroyed
// through this.
inline void destroy_window(HWND window) {
  const HWND outer = window_lifecycle::destroying;
  window_lifecycle::destroying = window;
  DestroyWindow(window);
  window_lifecycle::destroying = outer;
}

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
    destroy_window(window_);
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
    const bool outer = window_lifecycle::creating;
    window_lifecycle::creating = true;
    const HWND made = CreateWindowExW(window_spec.ex_style, class_spec.name, window_spec.caption, window_spec.style,
                                      window_spec.x, window_spec.y, window_spec.width, window_spec.height,
                                      window_spec.parent, nullptr, instance, static_cast<Derived*>(this));
    window_lifecycle::creating = outer;
    return made != nullptr;
  }

  // Destroys the window now, through destroy_window.
  void destroy() {
    if (window_) destroy_window(window_);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE && !self && window_lifecycle::creating) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    if (!believable(window, message)) return 0;
    const LRESULT result = self->HandleMessage(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_ = nullptr;
    }
    return result;
  }

  // False for a lifecycle message that is not the system's own.
  static bool believable(HWND window, UINT message) {
    switch (message) {
      case WM_NCCREATE:
      case WM_CREATE:
        return window_lifecycle::creating;
      case WM_DESTROY:
      case WM_NCDESTROY: {
        const HWND destroying = window_lifecycle::destroying;
        if (destroying && (destroying == window || IsChild(destroying, window))) return true;
        // Taken away from another thread: our child of a window of theirs,
        // hidden with it first. A top-level window can be destroyed only by
        // its own thread.
        const HWND parent = GetAncestor(window, GA_PARENT);
        return InSendMessage() && !IsWindowVisible(window) && parent && parent != GetDesktopWindow() &&
               GetWindowThreadProcessId(parent, nullptr) != GetCurrentThreadId();
      }
      default:
        return true;
    }
  }

  HWND window_ = nullptr;
};

}  // namespace vantrel
