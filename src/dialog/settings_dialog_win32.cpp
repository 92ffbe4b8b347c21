#include "dialog/settings_dialog_win32.h"

#include <windowsx.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <optional>

#include "dialog/caption_animation_win32.h"
#include "dialog/dialog_accessible_win32.h"
#include "dialog/dialog_font_win32.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_painter_win32.h"
#include "dialog/dialog_pictures_win32.h"
#include "dialog/dialog_presenter.h"
#include "dialog/dialog_worker_win32.h"
#include "dialog/window_placement.h"
#include "dialog/user_number_format_win32.h"
#include "platform/base_window_win32.h"
#include "platform/posted_message_filter_win32.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/file_system_win32.h"
#include "platform/fixed_seed_random.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_file_win32.h"
#include "resources/resource_ids.h"
#include "startup/program_texts.h"

namespace vantrel {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelSettingsDialog";
// Fixed size, a caption with the close box only.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr UINT_PTR kLinkTimer = 1;
constexpr int kListId = 1001;
constexpr int kFirstBarId = 1100;
constexpr int kBarCount = 4;
// At load a preview has this long to be decoded before the window opens
// without it; it then appears as soon as it is ready.
constexpr std::chrono::milliseconds kPreviewWaitAtOpening{300};

RECT to_rect(const DeviceRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The settings file beside the program.
class FileBesideProgram final : public SettingsWriter {
 public:
  SaveOutcome save(const SettingsModel& model) override { return save_settings_beside_program(model); }
};

struct TaskMemoryDeleter {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

// The file-system path of a shell item, however long: SHGetPathFromIDListEx
// (Vista on) takes a buffer of any size, the plain form one of MAX_PATH.
std::wstring path_of_item(PCIDLIST_ABSOLUTE item) {
  using GetPathExFn = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PWSTR, DWORD, GPFIDL_FLAGS);
  const HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
  const auto get_path_ex = shell32 ? reinterpret_cast<GetPathExFn>(reinterpret_cast<void*>(
                                         GetProcAddress(shell32, "SHGetPathFromIDListEx")))
                                   : nullptr;
  std::wstring path(get_path_ex ? 32768 : MAX_PATH, L'\0');
  const BOOL found = get_path_ex ? get_path_ex(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)
                                 : SHGetPathFromIDListW(item, path.data());
  if (!found) return {};
  path.resize(path.find(L'\0'));
  return path;
}

// The outer size whose client area is exactly `client` at `dpi`: the real
// frame and caption of this system, not a fixed allowance for them.
SIZE outer_size_for(DeviceSize client, int dpi) {
  RECT rect{0, 0, client.width, client.height};
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto adjust_for_dpi = user32 ? reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
                                           GetProcAddress(user32, "AdjustWindowRectExForDpi")))
                                     : nullptr;
  // Windows before 10 has only the system DPI, which the plain form uses.
  if (!adjust_for_dpi || !adjust_for_dpi(&rect, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

class SettingsDialog final : public BaseWindow<SettingsDialog>, private DialogView {
 public:
  SettingsDialog(HINSTANCE instance, SettingsModel& model)
      : instance_(instance), model_(model), pictures_(instance), painter_(pictures_) {}

  void run();

 private:
  friend class BaseWindow<SettingsDialog>;
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
  void OnWorkAnswered();
  void OnDestroy();

  // DialogView
  void refresh(ControlId control) override;
  void set_list_horizontal_extent(int extent96) override;
  void set_list_entries(const std::vector<std::string>& entries) override;
  int scroll_value(int bar) const override;
  bool set_scroll_value(int bar, int value) override;
  std::optional<ScreenPoint> cursor_position() override;
  void open_animation(ScreenPoint point) override;
  void close_animation(ScreenPoint point) override;
  void close() override;
  void repaint_now() override { UpdateWindow(window_); }
  void show_busy(bool busy) override;
  void show_message(const std::string& text, MessageIcon icon) override;
  std::optional<std::string> choose_folder(const std::string& title) override;
  void open_address(const std::string& address) override;

  bool create_window();
  void create_controls();
  // Fonts, places, child controls and the window's size for `dpi`; the
  // window keeps its top-left corner unless `centre` asks to centre it on the
  // primary screen.
  void apply_layout(int dpi, bool centre);
  int bar_index(HWND bar) const;

  HINSTANCE instance_;
  SettingsModel& model_;
  Win32FileSystem file_system_;
  const Win32TextCodec codec_;
  FileBesideProgram settings_file_;
  FixedSeedRandom link_random_;
  DialogPictures pictures_;
  DialogPainter painter_;
  std::wstring font_face_ = choose_dialog_font_face();
  DialogFonts fonts_;
  DialogLayout layout_;
  int list_extent96_ = 0;
  HCURSOR hand_ = nullptr;
  HWND list_ = nullptr;
  std::array<HWND, kBarCount> bars_{};
  // The label or image a mouse press began on; it gets the release.
  std::optional<ControlId> pressed_;
  std::unique_ptr<DialogWorker> worker_;
  std::unique_ptr<DialogPresenter> presenter_;
  std::unique_ptr<DialogAccessibility> accessibility_;
};

void SettingsDialog::run() {
  if (!create_window()) return;
  worker_ = std::make_unique<DialogWorker>(window_);
  accessibility_ = std::make_unique<DialogAccessibility>(window_, layout_, [this] { return presenter_.get(); });
  create_controls();
  const int dpi = window_dpi(window_);
  apply_layout(dpi, true);  // the load's first step: the client area is Pic_C
  DialogView& view = *this;
  presenter_ = std::make_unique<DialogPresenter>(
      model_, view, *worker_,
      DialogServices{file_system_, codec_, settings_file_, link_random_, user_digit_grouping()}, dpi);
  painter_.set_layout(layout_, fonts_, presenter_->state());
  presenter_->on_load();

  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  SetFocus(list_);
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

bool SettingsDialog::create_window() {
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
  window_spec.ex_style = kExStyle;
  window_spec.style = kStyle;
  window_spec.caption = caption.c_str();
  return create(instance_, window_class, window_spec);
}

void SettingsDialog::create_controls() {
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT,
                          0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance_,
                          nullptr);
  for (int bar = 0; bar < kBarCount; ++bar) {
    bars_[static_cast<std::size_t>(bar)] =
        CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstBarId + bar)), instance_, nullptr);
    const ScrollRange& range = kScrollRanges[static_cast<std::size_t>(bar)];
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = range.minimum;
    info.nMax = range.maximum;
    info.nPage = 0;  // a thumb of the standard size, not one in proportion
    info.nPos = kScrollStoredValue;
    SetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info, TRUE);
    accessibility_->name_system_control(bars_[static_cast<std::size_t>(bar)], *H_Scroll(bar));
  }
  accessibility_->name_system_control(list_, ControlId::List_1);
}

void SettingsDialog::apply_layout(int dpi, bool centre) {
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
  const POINT at{placed.left, placed.top};
  SetWindowPos(window_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SettingsDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
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

void SettingsDialog::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (dc && presenter_) painter_.paint(dc, paint.rcPaint, presenter_->state());
  EndPaint(window_, &paint);
}

void SettingsDialog::OnMouseDown(int x, int y) {
  if (!presenter_) return;
  const std::optional<ControlId> control = windowless_control_at(layout_, x, y);
  if (!control || pressed_) return;
  SetCapture(window_);
  pressed_ = control;
  presenter_->on_mouse_down(*control);
}

void SettingsDialog::OnMouseUp(WPARAM buttons_still_down) {
  if (!pressed_ || !presenter_) return;
  const ControlId control = *pressed_;
  if ((buttons_still_down & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ReleaseCapture();
  presenter_->on_mouse_up(control);
}

bool SettingsDialog::OnSetCursor(HWND over, UINT hit) {
  if (presenter_ && presenter_->state().busy && (hit == HTCLIENT || over != window_)) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
  }
  bool hand = false;
  if (over == list_ || bar_index(over) >= 0) {
    hand = true;  // the list and the sliders, scroll bars included
  } else if (over == window_ && hit == HTCLIENT) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window_, &cursor);
    const std::optional<ControlId> control = windowless_control_at(layout_, cursor.x, cursor.y);
    hand = control && spec_of(*control).hand_cursor;
  } else {
    return false;  // the frame and caption: the system's own pointers
  }
  SetCursor(hand && hand_ ? hand_ : LoadCursorW(nullptr, IDC_ARROW));
  return true;
}

void SettingsDialog::OnHScroll(HWND bar_window, UINT code) {
  const int bar = bar_index(bar_window);
  if (bar < 0 || !presenter_) return;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(bar_window, SB_CTL, &info);
  int value = info.nPos;
  bool always = false;  // the thumb's release reports the final value even when unchanged
  switch (code) {
    case SB_LINELEFT:
    case SB_PAGELEFT:  // both changes are 1
      value -= 1;
      break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
      value += 1;
      break;
    case SB_LEFT:
      value = info.nMin;
      break;
    case SB_RIGHT:
      value = info.nMax;
      break;
    case SB_THUMBTRACK:
      value = info.nTrackPos;
      break;
    case SB_THUMBPOSITION:
      value = info.nTrackPos;
      always = true;
      break;
    default:
      return;
  }
  value = std::clamp(value, info.nMin, info.nMax);
  if (value == info.nPos && !always) return;
  set_scroll_value(bar, value);
  presenter_->on_scroll(bar);
}

void SettingsDialog::OnCommand(int id, int notification) {
  // Enter and Esc arrive as IDOK and IDCANCEL: the dialog has no default
  // button, so they do nothing.
  if (id != kListId || notification != LBN_SELCHANGE || !presenter_) return;
  const int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
  std::wstring entry;
  if (index >= 0) {
    const LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length >= 0) {
      entry.resize(static_cast<std::size_t>(length) + 1);
      const LRESULT copied =
          SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()));
      entry.resize(copied >= 0 ? static_cast<std::size_t>(copied) : 0);
    }
  }
  presenter_->on_list_choice(index, to_utf8(entry));
}

void SettingsDialog::OnTimer(UINT_PTR timer) {
  if (timer == kLinkTimer && presenter_) presenter_->on_timer_tick();
}

void SettingsDialog::OnClose() {
  if (presenter_)
    presenter_->on_close_requested();
  else
    destroy();
}

void SettingsDialog::OnDpiChanged() {
  // The window stays where the user dragged it; the size is ours, so that
  // the client area stays exactly Pic_C at the new DPI.
  const int dpi = window_dpi(window_);
  if (dpi == layout_.dpi) return;
  apply_layout(dpi, false);
  if (!presenter_) return;
  presenter_->on_dpi_changed(dpi);
  painter_.set_layout(layout_, fonts_, presenter_->state());
  InvalidateRect(window_, nullptr, FALSE);
}

void SettingsDialog::OnWorkAnswered() {
  if (worker_ && presenter_) worker_->deliver_answers(*presenter_);
}

void SettingsDialog::OnDestroy() {
  if (accessibility_) accessibility_->disconnect();
  KillTimer(window_, kLinkTimer);
  PostQuitMessage(0);
}

void SettingsDialog::refresh(ControlId control) {
  const ControlKind kind = spec_of(control).kind;
  if (kind == ControlKind::PictureBox) painter_.update_surface(control, presenter_->state());
  const RECT area = to_rect(painter_.repaint_area(control));
  InvalidateRect(window_, &area, FALSE);
  if (accessibility_) accessibility_->on_refresh(control);
}

void SettingsDialog::set_list_horizontal_extent(int extent96) {
  list_extent96_ = extent96;
  SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(scale_to_dpi(extent96, layout_.dpi)), 0);
}

void SettingsDialog::set_list_entries(const std::vector<std::string>& entries) {
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

int SettingsDialog::scroll_value(int bar) const {
  if (bar < 0 || bar >= kBarCount) return kScrollStoredValue;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  GetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info);
  return info.nPos;
}

bool SettingsDialog::set_scroll_value(int bar, int value) {
  if (bar < 0 || bar >= kBarCount) return false;
  const ScrollRange& range = kScrollRanges[static_cast<std::size_t>(bar)];
  if (value < range.minimum || value > range.maximum) return false;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  info.nPos = value;
  SetScrollInfo(bars_[static_cast<std::size_t>(bar)], SB_CTL, &info, TRUE);
  return true;
}

std::optional<ScreenPoint> SettingsDialog::cursor_position() {
  POINT point{};
  if (!GetCursorPos(&point)) return std::nullopt;
  return ScreenPoint{point.x, point.y};
}

void SettingsDialog::open_animation(ScreenPoint point) {
  // The window opens whole where it can: a preview decoded within a moment is
  // in place before the animation ends where the window appears.
  if (worker_ && worker_->wait_until_idle(kPreviewWaitAtOpening) && presenter_) worker_->deliver_answers(*presenter_);
  Open_Animation(window_, POINT{point.x, point.y});
}

void SettingsDialog::close_animation(ScreenPoint point) {
  ShowWindow(window_, SW_HIDE);
  Close_Animation(window_, POINT{point.x, point.y});
}

void SettingsDialog::close() { destroy(); }

void SettingsDialog::show_busy(bool busy) {
  // The pointer changes now where it stands over the dialog, not only at its
  // next move; elsewhere it is another window's business.
  POINT cursor{};
  GetCursorPos(&cursor);
  const HWND under = WindowFromPoint(cursor);
  if (!under || (under != window_ && GetParent(under) != window_)) return;
  if (busy) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else {
    // The right pointer for the place, by the window's own rule.
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

void SettingsDialog::show_message(const std::string& text, MessageIcon icon) {
  const UINT style = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  MessageBoxW(window_, to_wide(text).c_str(), to_wide(kMessageTitle).c_str(), style);
}

std::optional<std::string> SettingsDialog::choose_folder(const std::string& title) {
  const std::wstring wide_title = to_wide(title);
  wchar_t display_name[MAX_PATH] = {};
  BROWSEINFOW request{};
  request.hwndOwner = window_;
  request.pszDisplayName = display_name;
  request.lpszTitle = wide_title.c_str();
  // Only folders with a file-system path: a virtual item would give none.
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  const std::unique_ptr<ITEMIDLIST, TaskMemoryDeleter> item(SHBrowseForFolderW(&request));
  if (!item) return std::nullopt;
  const std::wstring path = path_of_item(item.get());
  if (path.empty()) return std::nullopt;
  return to_utf8(path);
}

void SettingsDialog::open_address(const std::string& address) {
  ShellExecuteW(window_, L"open", to_wide(address).c_str(), L"", L"", SW_SHOWNORMAL);
}

int SettingsDialog::bar_index(HWND bar) const {
  for (int i = 0; i < kBarCount; ++i)
    if (bar && bars_[static_cast<std::size_t>(i)] == bar) return i;
  return -1;
}

}  // namespace

void run_settings_dialog(HINSTANCE instance, SettingsModel& model) {
  make_thread_dpi_aware();
  // The folder browser is a shell dialog: it needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // The list and the sliders in the look of Common Controls 6 (the manifest
  // asks for them).
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  {
    SettingsDialog dialog(instance, model);
    dialog.run();
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace vantrel
