#include "dialog/dialog_window_win32.h"

#include <windowsx.h>

#include <string>

#include "dialog/pointer_rule.h"
#include "dialog/slider_motion.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/posted_message_filter_win32.h"
#include "platform/wide_text_win32.h"
#include "resources/resource_ids.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelSettingsDialog";
constexpr UINT_PTR kLinkTimer = 1;

// The system's scroll code in the presenter's words.
ScrollCode scroll_code_of(UINT code) {
  switch (code) {
    case SB_LINELEFT:
      return ScrollCode::LineLeft;
    case SB_LINERIGHT:
      return ScrollCode::LineRight;
    case SB_PAGELEFT:
      return ScrollCode::PageLeft;
    case SB_PAGERIGHT:
      return ScrollCode::PageRight;
    case SB_LEFT:
      return ScrollCode::Left;
    case SB_RIGHT:
      return ScrollCode::Right;
    case SB_THUMBTRACK:
      return ScrollCode::ThumbTrack;
    case SB_THUMBPOSITION:
      return ScrollCode::ThumbPosition;
    default:
      return ScrollCode::Other;
  }
}

}  // namespace

DialogWindow::DialogWindow(HINSTANCE instance) : instance_(instance) {}

bool DialogWindow::create() {
  hand_ = static_cast<HCURSOR>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDC_DIALOG_HAND), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  WindowClassSpec window_class;
  window_class.name = kWindowClass;
  window_class.icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_VANTREL), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                    LR_SHARED));
  window_class.small_icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_VANTREL), IMAGE_ICON,
                                                          GetSystemMetrics(SM_CXSMICON),
                                                          GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  const std::wstring caption = to_wide(kDialogCaption);
  WindowSpec window_spec;
  window_spec.ex_style = DialogControls::kExStyle;
  window_spec.style = DialogControls::kStyle;
  window_spec.caption = caption.c_str();
  return BaseWindow::create(instance_, window_class, window_spec);
}

void DialogWindow::attach(DialogPresenter& presenter, Win32DialogView& view, DialogControls& controls,
                          DialogWorker& worker) {
  presenter_ = &presenter;
  view_ = &view;
  controls_ = &controls;
  worker_ = &worker;
}

void DialogWindow::run() {
  if (!window_) return;
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  if (controls_) SetFocus(controls_->list());
  SetTimer(window_, kLinkTimer, kLinkTimerMilliseconds, nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab moves between the list and the sliders; Enter and Esc reach the
    // window as commands it ignores: the dialog has no default button.
    if (!may_dispatch_posted(message)) continue;
    if (window_ && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void DialogWindow::deliver_work_answers() {
  if (!worker_ || !presenter_) return;
  for (WorkAnswer& answer : worker_->take_answers()) presenter_->on_work_answer(std::move(answer));
}

LRESULT DialogWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnMouseDown(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnMouseUp(wparam);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged();
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) return TRUE;
      break;
    case WM_HSCROLL:
      OnHScroll(reinterpret_cast<HWND>(lparam), LOWORD(wparam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DPICHANGED:
      // Another program can post this with any parameters: the DPI is read
      // from the window itself and the suggested rectangle never followed.
      OnDpiChanged();
      return 0;
    case DialogWorker::kAnswerMessage:
      OnWorkAnswered();
      return 0;
    case WM_GETOBJECT:
      if (const auto answer = accessibility_ ? accessibility_->on_get_object(wparam, lparam) : std::nullopt)
        return *answer;
      break;
    case DialogAccessibility::kActionMessage:
      if (accessibility_) accessibility_->run_pending_actions();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void DialogWindow::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (dc && view_) view_->paint(dc, paint.rcPaint);
  EndPaint(window_, &paint);
}

void DialogWindow::OnMouseDown(int x, int y) {
  if (!presenter_ || !controls_) return;
  const std::optional<ControlId> control = windowless_control_at(controls_->layout(), x, y);
  if (!control || pressed_) return;
  SetCapture(window_);
  pressed_ = control;
  presenter_->on_mouse_down(*control);
}

void DialogWindow::OnMouseUp(WPARAM buttons_still_down) {
  if (!pressed_ || !presenter_) return;
  const ControlId control = *pressed_;
  if ((buttons_still_down & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ReleaseCapture();
  presenter_->on_mouse_up(control);
}

bool DialogWindow::OnSetCursor(HWND over, UINT hit) {
  PointerPlace place;
  if (over == window_ && hit == HTCLIENT) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window_, &cursor);
    if (controls_) place.control = windowless_control_at(controls_->layout(), cursor.x, cursor.y);
  } else if (const std::optional<ControlId> child = controls_ ? controls_->control_of(over) : std::nullopt) {
    place.control = child;  // the list and the sliders, their scroll arrows included
  } else {
    place.frame = true;  // the frame and caption
  }
  const PointerShape shape = presenter_ ? presenter_->pointer_over(place) : pointer_for(place, false);
  switch (shape) {
    case PointerShape::System:
      return false;
    case PointerShape::Hourglass:
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return true;
    case PointerShape::Hand:
      SetCursor(hand_ ? hand_ : LoadCursorW(nullptr, IDC_ARROW));
      return true;
    case PointerShape::Arrow:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return true;
  }
  return false;
}

void DialogWindow::OnHScroll(HWND bar_window, UINT code) {
  if (!presenter_ || !controls_) return;
  const int bar = controls_->bar_index(bar_window);
  if (bar < 0) return;
  presenter_->on_scroll(bar, scroll_code_of(code), controls_->bar_track_position(bar));
}

void DialogWindow::OnCommand(int id, int notification) {
  // Enter and Esc arrive as IDOK and IDCANCEL: the dialog has no default
  // button, so they do nothing.
  if (id != DialogControls::kListId || notification != LBN_SELCHANGE || !presenter_ || !controls_) return;
  presenter_->on_list_choice(controls_->list_selection());
}

void DialogWindow::OnTimer(UINT_PTR timer) {
  if (timer == kLinkTimer && presenter_) presenter_->on_timer_tick();
}

void DialogWindow::OnClose() {
  if (presenter_)
    presenter_->on_close_requested();
  else
    destroy();
}

void DialogWindow::OnDpiChanged() {
  // The window stays where the user dragged it; the size is ours, so that
  // the client area stays exactly Pic_C at the new DPI.
  if (!controls_) return;
  const int dpi = window_dpi(window_);
  if (dpi == controls_->layout().dpi) return;
  controls_->apply_layout(dpi, false);
  if (presenter_) presenter_->on_dpi_changed(dpi);
  if (view_) view_->relayout();
}

void DialogWindow::OnDestroy() {
  if (accessibility_) accessibility_->disconnect();
  KillTimer(window_, kLinkTimer);
  PostQuitMessage(0);
}

}  // namespace vantrel
