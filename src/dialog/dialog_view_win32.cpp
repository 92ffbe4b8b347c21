#include "dialog/dialog_view_win32.h"

#include "dialog/caption_animation_win32.h"
#include "platform/base_window_win32.h"

namespace vantrel {
namespace {

RECT to_rect(const DeviceRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

Win32DialogView::Win32DialogView(HINSTANCE instance, HWND window, DialogControls& controls, DialogShell& shell,
                                 std::function<void()> before_opening)
    : window_(window),
      controls_(controls),
      shell_(shell),
      before_opening_(std::move(before_opening)),
      pictures_(instance),
      painter_(pictures_) {}

void Win32DialogView::show_state(const DialogState& state) {
  state_ = &state;
  relayout();
}

void Win32DialogView::relayout() {
  if (!state_) return;
  painter_.set_layout(controls_.layout(), controls_.fonts(), *state_);
  InvalidateRect(window_, nullptr, FALSE);
}

void Win32DialogView::paint(HDC dc, const RECT& dirty) {
  if (state_) painter_.paint(dc, dirty, *state_);
}

void Win32DialogView::refresh(ControlId control) {
  if (!state_) return;
  const ControlSpec& entry = spec_of(control);
  if (entry.kind == ControlKind::ScrollBar) {
    controls_.set_bar_value(entry.index, state_->scroll_values.at(static_cast<std::size_t>(entry.index)));
  } else {
    if (entry.kind == ControlKind::PictureBox) painter_.update_surface(control, *state_);
    const RECT area = to_rect(painter_.repaint_area(control));
    InvalidateRect(window_, &area, FALSE);
  }
  if (refreshed_) refreshed_(control);
}

std::optional<ScreenPoint> Win32DialogView::cursor_position() {
  POINT point{};
  if (!GetCursorPos(&point)) return std::nullopt;
  return ScreenPoint{point.x, point.y};
}

void Win32DialogView::open_animation(ScreenPoint point) {
  if (before_opening_) before_opening_();
  Open_Animation(window_, POINT{point.x, point.y});
}

void Win32DialogView::close_animation(ScreenPoint point) {
  ShowWindow(window_, SW_HIDE);
  Close_Animation(window_, POINT{point.x, point.y});
}

void Win32DialogView::close() { destroy_window(window_); }

void Win32DialogView::show_busy(bool) {
  // The pointer changes now where it stands over the dialog, not only at its
  // next move; elsewhere it is another window's business. The window sets
  // the shape the presenter's rule gives for the place.
  POINT cursor{};
  GetCursorPos(&cursor);
  const HWND under = WindowFromPoint(cursor);
  if (!under || (under != window_ && GetParent(under) != window_)) return;
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

}  // namespace vantrel
