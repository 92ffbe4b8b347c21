#pragma once
// One class per window. The static window procedure keeps the object's
// address with the window when it is created and hands every message to the
// object's HandleMessage, whose switch only unpacks parameters and calls the
// typed OnXxx handlers. A derived class names this base a friend.

#include <windows.h>

namespace vantrel {

template <typename Derived>
class BaseWindow {
 protected:
  // Pass the object as the last argument of CreateWindowExW.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
  }

  HWND window_ = nullptr;
};

}  // namespace vantrel
