#pragma once
// The settings dialog's view: shows what the presenter's state says. It
// keeps the painter's persistent images up to date as the presenter reports
// changes, mirrors the bars' values and the list into the system controls,
// paints the client area, and passes the shell's services on.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_controls_win32.h"
#include "dialog/dialog_painter_win32.h"
#include "dialog/dialog_pictures_win32.h"
#include "dialog/dialog_shell_win32.h"
#include "dialog/dialog_state.h"
#include "dialog/dialog_view.h"

namespace vantrel {

class Win32DialogView final : public DialogView {
 public:
  // `before_opening` runs just before the opening animation: the window
  // opens whole where it can, with a preview decoded within a moment.
  Win32DialogView(HINSTANCE instance, HWND window, DialogControls& controls, DialogShell& shell,
                  std::function<void()> before_opening);
  Win32DialogView(const Win32DialogView&) = delete;
  Win32DialogView& operator=(const Win32DialogView&) = delete;

  // The state to show from now on (the presenter's, which outlives the
  // view's use of it); the persistent images are made from it.
  void show_state(const DialogState& state);
  // The controls have a new layout (another DPI): everything is made again.
  void relayout();
  // Told of every control whose state changed, after it is shown (screen
  // readers hear of new captions and checked states this way).
  void on_each_refresh(std::function<void(ControlId)> listener) { refreshed_ = std::move(listener); }
  // Paints the `dirty` part of the client area.
  void paint(HDC dc, const RECT& dirty);

  // DialogView
  void refresh(ControlId control) override;
  void set_list_horizontal_extent(int extent96) override { controls_.set_list_horizontal_extent(extent96); }
  void set_list_entries(const std::vector<std::string>& entries) override { controls_.set_list_entries(entries); }
  std::optional<ScreenPoint> cursor_position() override;
  void open_animation(ScreenPoint point) override;
  void close_animation(ScreenPoint point) override;
  void close() override;
  void repaint_now() override { UpdateWindow(window_); }
  void show_busy(bool busy) override;
  void show_message(const std::string& text, MessageIcon icon) override { shell_.show_message(text, icon); }
  std::optional<std::string> choose_folder(const std::string& title) override { return shell_.choose_folder(title); }
  void open_address(const std::string& address) override { shell_.open_address(address); }

 private:
  HWND window_;
  DialogControls& controls_;
  DialogShell& shell_;
  std::function<void()> before_opening_;
  std::function<void(ControlId)> refreshed_;
  DialogPictures pictures_;
  DialogPainter painter_;
  const DialogState* state_ = nullptr;
};

}  // namespace vantrel
