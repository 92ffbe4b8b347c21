#pragma once
// The settings dialog's window "Vantrelの設定": one class, one message switch
// that only unpacks parameters and hands them to typed OnXxx handlers, which
// tell the presenter what the user did. What the window shows is the view's
// business; the pointer's shape is the presenter's rule.

#include <windows.h>

#include <optional>

#include "dialog/control_table.h"
#include "dialog/dialog_accessible_win32.h"
#include "dialog/dialog_controls_win32.h"
#include "dialog/dialog_presenter.h"
#include "dialog/dialog_view_win32.h"
#include "dialog/dialog_worker_win32.h"
#include "platform/base_window_win32.h"

namespace vantrel {

class DialogWindow final : public BaseWindow<DialogWindow> {
 public:
  explicit DialogWindow(HINSTANCE instance);

  // Registers the class and makes the window, hidden and not yet sized.
  bool create();

  // Whom the window reports to and who shows it. Until then it answers only
  // what the system asks; all of them outlive the window's messages.
  void attach(DialogPresenter& presenter, Win32DialogView& view, DialogControls& controls, DialogWorker& worker);

  // Who answers screen readers for the client area; until then the system's
  // own answer stands. It outlives the window's messages.
  void attach_readers(DialogAccessibility& accessibility) { accessibility_ = &accessibility; }

  // Shows the window and runs the thread's messages until it has gone.
  void run();

  // Hands the answers waiting with the worker to the presenter.
  void deliver_work_answers();

 private:
  friend class BaseWindow<DialogWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void OnPaint();
  void OnMouseDown(int x, int y);
  void OnMouseUp(WPARAM buttons_still_down);
  void OnCaptureChanged() { pressed_.reset(); }
  bool OnSetCursor(HWND over, UINT hit);
  void OnHScroll(HWND bar, UINT code);
  void OnCommand(int id, int notification);
  void OnTimer(UINT_PTR timer);
  void OnClose();
  void OnDpiChanged();
  void OnWorkAnswered() { deliver_work_answers(); }
  void OnDestroy();

  HINSTANCE instance_;
  HCURSOR hand_ = nullptr;
  DialogPresenter* presenter_ = nullptr;
  Win32DialogView* view_ = nullptr;
  DialogControls* controls_ = nullptr;
  DialogWorker* worker_ = nullptr;
  DialogAccessibility* accessibility_ = nullptr;
  // The label or image a mouse press began on; it gets the release.
  std::optional<ControlId> pressed_;
};

}  // namespace vantrel
