#include "startup/preview_form_win32.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/base_window_win32.h"
#include "platform/dib_win32.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/embedded_data_win32.h"
#include "platform/handles_win32.h"
#include "platform/picture_decoder_win32.h"
#include "platform/posted_message_filter_win32.h"
#include "resources/resource_ids.h"
#include "startup/preview_layout.h"

namespace vantrel {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelPreviewForm";

// How often the form looks whether its pane is still there. The pane's owner
// may end, or destroy the pane, in ways that never reach this window (a
// killed process, a pane gone while the form was being made).
constexpr UINT kPaneWatchMilliseconds = 250;

// The desktop and the shell's desktop window are no preview pane: a form in
// them would be a black window over the whole screen that nothing ends.
bool can_be_a_pane(HWND pane) {
  return pane && IsWindow(pane) && pane != GetDesktopWindow() && pane != GetShellWindow();
}

class PreviewForm : public BaseWindow<PreviewForm> {
 public:
  explicit PreviewForm(HINSTANCE instance) : instance_(instance) {}

  int run(HWND pane);

 private:
  // True while the form is a child of a pane that still exists.
  bool still_in(HWND pane) const;

  friend class BaseWindow<PreviewForm>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();

  HINSTANCE instance_;
  GdiObject picture_;
  SIZE picture_size_{};
};

int PreviewForm::run(HWND pane) {
  // 0, a stale number or the desktop: nothing to live in, so no window and
  // no process are left behind.
  if (!can_be_a_pane(pane)) return 0;
  make_thread_dpi_aware();  // the pane's rectangle in real pixels

  RECT pane_rect{};
  GetWindowRect(pane, &pane_rect);
  const double twips = twips_per_pixel(window_dpi(pane));
  const PreviewLayout layout =
      layout_preview(pane_rect.right - pane_rect.left, pane_rect.bottom - pane_rect.top, twips, twips);

  if (const std::string_view jpeg = embedded_bytes(instance_, IDR_PREVIEW_STILL); !jpeg.empty()) {
    Win32PictureDecoder decoder;
    if (const std::optional<Picture> still = decoder.decode_bytes(jpeg, std::max(kPreviewPictureWidth, kPreviewPictureHeight))) {
      picture_ = make_dib(*still);
      picture_size_ = {still->width, still->height};
    }
  }

  WindowClassSpec window_class;
  window_class.name = kWindowClass;
  window_class.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  // No caption, no border; made a child of the pane below.
  WindowSpec window_spec;
  window_spec.style = WS_POPUP;
  if (!create(instance_, window_class, window_spec)) return 1;

  // A child window must not keep WS_POPUP: the two styles together are
  // undefined, and some systems then keep treating it as top-level.
  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  SetWindowLongPtrW(window_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
  // The pane may be gone by now (a user clicking quickly through the list of
  // savers): a form that is no child of it would be shown as a window of
  // its own at the screen's corner.
  SetParent(window_, pane);
  if (!still_in(pane)) return 0;
  SetWindowPos(window_, nullptr, 0, 0, layout.form_width_pixels, layout.form_height_pixels,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ShowWindow(window_, SW_SHOWNA);
  UpdateWindow(window_);

  // A thread timer: it keeps ticking whatever becomes of the window.
  const UINT_PTR watch = SetTimer(nullptr, 0, kPaneWatchMilliseconds, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == watch) {
      if (!still_in(pane)) break;
      continue;
    }
    if (!may_dispatch_posted(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  KillTimer(nullptr, watch);
  return 0;
}

bool PreviewForm::still_in(HWND pane) const {
  return window_ && IsWindow(window_) && IsWindow(pane) && GetAncestor(window_, GA_PARENT) == pane;
}

LRESULT PreviewForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DESTROY:
      // The pane's owner destroyed the pane, and this form with it.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
}

// Plain GDI into the window's own device context, as every child window
// paints. Known limit of Wine 8 (not of Windows): a child whose top-level
// window belongs to another process gets no X drawable there, so nothing
// painted here (GDI or OpenGL alike) reaches the screen under Wine.
void PreviewForm::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (dc && picture_) {
    // At its own size from the top-left corner; the window clips it, and the
    // class's black brush has painted the rest.
    if (const MemoryDc source{CreateCompatibleDC(dc)}) {
      const HGDIOBJ previous = SelectObject(source.get(), picture_.get());
      BitBlt(dc, 0, 0, picture_size_.cx, picture_size_.cy, source.get(), 0, 0, SRCCOPY);
      SelectObject(source.get(), previous);
    }
  }
  EndPaint(window_, &paint);
}

}  // namespace

int run_preview_window(HINSTANCE instance, HWND pane) {
  PreviewForm form(instance);
  return form.run(pane);
}

}  // namespace vantrel
