#pragma once
// The settings dialog for screen readers (Microsoft Active Accessibility).
// The dialog draws its buttons, options, link and texts itself, so the
// system's own object for the window's client area knows only the list and
// the sliders. The window answers WM_GETOBJECT for its client area with an
// object that wraps that standard object and adds each drawn label as a
// simple element (accessible_elements.h): child ids 1..n are the standard
// object's own children (the list and the sliders, as it orders them), ids
// n+1.. the drawn labels in element order; everything about the standard
// children and the window itself is the standard object's answer.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dialog/accessible_elements.h"
#include "dialog/dialog_layout.h"

struct IAccPropServices;

namespace vantrel {

class DialogPresenter;
class DialogAccessibleObject;
struct OleaccLibrary;

class DialogAccessibility {
 public:
  // Posted to the window, carrying nothing, when a reader has asked for a
  // default action: the window then calls run_pending_actions().
  static constexpr UINT kActionMessage = WM_APP + 4;

  // The layout is the window's, read at each question; the presenter is
  // asked for each time (nothing before the load and after the window ends).
  DialogAccessibility(HWND window, const DialogLayout& layout, std::function<DialogPresenter*()> presenter);
  ~DialogAccessibility();
  DialogAccessibility(const DialogAccessibility&) = delete;
  DialogAccessibility& operator=(const DialogAccessibility&) = delete;

  // WM_GETOBJECT: the answer for the client area, or nothing for any other
  // object id (the caller passes those to DefWindowProc).
  std::optional<LRESULT> on_get_object(WPARAM wparam, LPARAM lparam);

  // The presenter's state of `control` changed: readers hear of a new
  // caption or a new checked state.
  void on_refresh(ControlId control);

  // Runs the default actions readers asked for, in order, as the mouse would
  // (a press and its release on the control).
  void run_pending_actions();

  // Gives a system control of the dialog (the list, a slider) the name of
  // the label beside it.
  void name_system_control(HWND child, ControlId control);

  // The window is going: every object given out stops answering, and no
  // question reaches the presenter again.
  void disconnect();

 private:
  friend class DialogAccessibleObject;

  DialogAccessibleObject* object();
  // The standard object's number of children: our elements' ids follow them.
  long standard_child_count();

  HWND window_;
  std::unique_ptr<OleaccLibrary> oleacc_;  // nothing answers readers without it
  const DialogLayout& layout_;
  std::function<DialogPresenter*()> presenter_;
  DialogAccessibleObject* object_ = nullptr;  // one reference held, made at the first question
  // What readers were last told of each element: its name and checked state.
  std::vector<AccessibleElement> told_;
  std::vector<ControlId> pending_;
  std::vector<HWND> annotated_;
  IAccPropServices* annotations_ = nullptr;  // kept to clear the names at the end
};

}  // namespace vantrel
