#pragma once
// The settings dialog's system controls (List_1 and the four H_Scroll bars)
// and everything that follows the display's DPI: the fonts, the table laid
// out, the children's places and the window's own size and place.

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "dialog/control_table.h"
#include "dialog/dialog_font_win32.h"
#include "dialog/dialog_layout.h"

namespace vantrel {

class DialogControls {
 public:
  // The window's fixed style, a caption with the close box only: the
  // window's size is worked out for it.
  static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  static constexpr DWORD kExStyle = WS_EX_APPWINDOW;
  // The list's command identifier, in WM_COMMAND.
  static constexpr int kListId = 1001;
  static constexpr int kBarCount = 4;

  // The list and the bars as children of `window`, not placed yet; every
  // bar holds the stored value in its range.
  DialogControls(HINSTANCE instance, HWND window);
  DialogControls(const DialogControls&) = delete;
  DialogControls& operator=(const DialogControls&) = delete;

  // Fonts, places, child controls and the window's size for `dpi`; the
  // window keeps its top-left corner unless `centre` asks to centre it on the
  // primary screen.
  void apply_layout(int dpi, bool centre);
  const DialogLayout& layout() const { return layout_; }
  const DialogFonts& fonts() const { return fonts_; }

  HWND list() const { return list_; }
  HWND bar(int index) const { return bars_.at(static_cast<std::size_t>(index)); }
  // The control a child window is (List_1 or an H_Scroll); nothing for any
  // other window.
  std::optional<ControlId> control_of(HWND child) const;
  // H_Scroll's index of a bar window, or -1.
  int bar_index(HWND bar) const;

  // The list's selection, -1 for none.
  int list_selection() const;
  // In 96-DPI pixels; kept for the next layout.
  void set_list_horizontal_extent(int extent96);
  // Every entry replaced, in their order, in one go.
  void set_list_entries(const std::vector<std::string>& entries);

  // Where the user holds the bar's thumb (while dragging, and at its release).
  int bar_track_position(int bar) const;
  // The bar shows `value`; it raises no event.
  void set_bar_value(int bar, int value);

 private:
  HWND window_;
  const std::wstring font_face_ = choose_dialog_font_face();
  DialogFonts fonts_;
  DialogLayout layout_;
  int list_extent96_ = 0;
  HWND list_ = nullptr;
  std::array<HWND, kBarCount> bars_{};
};

}  // namespace vantrel
