#include "dialog/dialog_controls_win32.h"

#include <utility>

#include "dialog/window_placement.h"
#include "platform/optional_functions_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

constexpr int kFirstBarId = 1100;

// The outer size whose client area is exactly `client` at `dpi`: the real
// frame and caption of this system, not a fixed allowance for them.
SIZE outer_size_for(DeviceSize client, int dpi) {
  RECT rect{0, 0, client.width, client.height};
  const auto adjust_for_dpi = optional_functions::AdjustWindowRectExForDpi();
  // Windows before 10 has only the system DPI, which the plain form uses.
  if (!adjust_for_dpi ||
      !adjust_for_dpi(&rect, DialogControls::kStyle, FALSE, DialogControls::kExStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, DialogControls::kStyle, FALSE, DialogControls::kExStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

DialogControls::DialogControls(HINSTANCE instance, HWND window) : window_(window) {
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT,
                          0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance,
                          nullptr);
  for (int bar = 0; bar < kBarCount; ++bar) {
    bars_[static_cast<std::size_t>(bar)] =
        CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstBarId + bar)), instance, nullptr);
    const ScrollRange& range = kScrollRanges[static_cast<std::size_t>(bar)];
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = range.minimum;
    info.nMax = range.maximum;
    info.nPage = 0;  // a thumb of the standard size, not one in proportion
    info.nPos = kScrollStoredValue;
    SetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info, TRUE);
  }
}

void DialogControls::apply_layout(int dpi, bool centre) {
  DialogFonts fonts = make_dialog_fonts(font_face_, dpi);
  const auto measure = [&](std::string_view text) {
    DeviceSize size{};
    const HDC screen = GetDC(nullptr);
    if (!screen) return size;
    const HGDIOBJ previous = SelectObject(screen, fonts.regular.get());
    const std::wstring wide = to_wide(text);
    SIZE extent{};
    TEXTMETRICW metrics{};
    GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &extent);
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return DeviceSize{static_cast<int>(extent.cx), static_cast<int>(metrics.tmHeight)};
  };
  layout_ = layout_dialog(dpi, measure);

  const auto place_child = [&](HWND child, ControlId control) {
    const DeviceRect& place = layout_.outer_of(control);
    SetWindowPos(child, nullptr, place.left, place.top, place.width(), place.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place_child(list_, ControlId::List_1);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.regular.get()), TRUE);
  for (int bar = 0; bar < kBarCount; ++bar) place_child(bars_[static_cast<std::size_t>(bar)], *H_Scroll(bar));
  fonts_ = std::move(fonts);  // the list took the new font before the old one goes
  if (list_extent96_ > 0) set_list_horizontal_extent(list_extent96_);

  const SIZE outer = outer_size_for(layout_.client(), dpi);
  RECT now{};
  GetWindowRect(window_, &now);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  // Opening: the primary screen's centre; later, the monitor it is on.
  const HMONITOR on = centre ? MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)
                             : MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST);
  GetMonitorInfoW(on, &monitor);
  const auto rect = [](const RECT& r) { return PixelRect{r.left, r.top, r.right, r.bottom}; };
  const PixelRect placed =
      centre ? centred_on_work_area(outer.cx, outer.cy, rect(monitor.rcMonitor), rect(monitor.rcWork))
             : kept_on_work_area({now.left, now.top, now.left + outer.cx, now.top + outer.cy}, rect(monitor.rcWork));
  SetWindowPos(window_, nullptr, placed.left, placed.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<ControlId> DialogControls::control_of(HWND child) const {
  if (!child) return std::nullopt;
  if (child == list_) return ControlId::List_1;
  const int bar = bar_index(child);
  return bar >= 0 ? H_Scroll(bar) : std::nullopt;
}

int DialogControls::bar_index(HWND bar) const {
  for (int i = 0; i < kBarCount; ++i)
    if (bar && bars_[static_cast<std::size_t>(i)] == bar) return i;
  return -1;
}

int DialogControls::list_selection() const { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }

void DialogControls::set_list_horizontal_extent(int extent96) {
  list_extent96_ = extent96;
  SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(scale_to_dpi(extent96, layout_.dpi)), 0);
}

void DialogControls::set_list_entries(const std::vector<std::string>& entries) {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  std::size_t characters = 0;
  for (const std::string& entry : entries) characters += entry.size() + 1;
  SendMessageW(list_, LB_INITSTORAGE, entries.size(), static_cast<LPARAM>(characters * sizeof(wchar_t)));
  for (const std::string& entry : entries) {
    const std::wstring wide = to_wide(entry);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

int DialogControls::bar_track_position(int bar) const {
  if (bar < 0 || bar >= kBarCount) return kScrollStoredValue;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info);
  return info.nTrackPos;
}

void DialogControls::set_bar_value(int bar, int value) {
  if (bar < 0 || bar >= kBarCount) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  info.nPos = value;
  SetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info, TRUE);
}

}  // namespace vantrel
