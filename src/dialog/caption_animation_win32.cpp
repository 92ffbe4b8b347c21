#include "dialog/caption_animation_win32.h"

#include <chrono>
#include <string>
#include <thread>

#include "dialog/caption_animation.h"
#include "platform/base_window_win32.h"
#include "platform/optional_functions_win32.h"

namespace vantrel {
namespace {

constexpr wchar_t kBarClass[] = L"VantrelCaptionAnimation";

// The user has window animations switched on (the system's own setting for
// animations inside and around windows).
bool animations_wanted() {
  BOOL wanted = TRUE;
  if (!SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &wanted, 0)) return true;
  return wanted != FALSE;
}

// DrawAnimatedRects draws nothing while the desktop is composed (always so
// from Windows 8 on) and under Wine, which only stubs it; then the dialog
// draws the same effect itself.
bool system_draws_nothing() {
  if (optional_functions::running_under_wine()) return true;
  const auto enabled = optional_functions::DwmIsCompositionEnabled();
  BOOL composed = FALSE;
  return enabled && SUCCEEDED(enabled(&composed)) && composed;
}

DeviceRect device_rect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// A borderless window above everything that shows a caption bar: the active
// caption's colours and the dialog's title.
class CaptionBar : public BaseWindow<CaptionBar> {
 public:
  CaptionBar(HINSTANCE instance, std::wstring title) : title_(std::move(title)) {
    WindowClassSpec window_class;
    window_class.name = kBarClass;
    WindowSpec window_spec;
    window_spec.ex_style = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    window_spec.style = WS_POPUP;
    create(instance, window_class, window_spec);
  }

  void move_to(const DeviceRect& rect) {
    if (!window_) return;
    SetWindowPos(window_, HWND_TOPMOST, rect.left, rect.top, rect.width(), rect.height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }

 private:
  friend class BaseWindow<CaptionBar>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        OnPaint();
        return 0;
      default:
        return DefWindowProcW(window_, message, wparam, lparam);
    }
  }

  void OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    TRIVERTEX corners[2] = {};
    const COLORREF from = GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF to = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    corners[0] = {client.left, client.top, static_cast<COLOR16>(GetRValue(from) << 8),
                  static_cast<COLOR16>(GetGValue(from) << 8), static_cast<COLOR16>(GetBValue(from) << 8), 0};
    corners[1] = {client.right, client.bottom, static_cast<COLOR16>(GetRValue(to) << 8),
                  static_cast<COLOR16>(GetGValue(to) << 8), static_cast<COLOR16>(GetBValue(to) << 8), 0};
    GRADIENT_RECT band{0, 1};
    GradientFill(dc, corners, 2, &band, 1, GRADIENT_FILL_RECT_H);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
      const HGDIOBJ previous = SelectObject(dc, font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
      RECT text = client;
      text.left += GetSystemMetrics(SM_CXEDGE) * 2;
      DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      SelectObject(dc, previous);
      DeleteObject(font);
    }
    EndPaint(window_, &paint);
  }

  std::wstring title_;
};

// The caption bar from `from` to `to` in even steps over the animation's
// time; the window's own messages wait meanwhile, as they would while the
// system drew it.
void draw_own_animation(HWND window, const RECT& from, const RECT& to) {
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  const int caption_height = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  CaptionBar bar(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), title);
  const auto start = std::chrono::steady_clock::now();
  const auto step = std::chrono::milliseconds(kCaptionAnimationMilliseconds) / kCaptionAnimationFrames;
  for (int frame = 0; frame <= kCaptionAnimationFrames; ++frame) {
    const double progress = static_cast<double>(frame) / kCaptionAnimationFrames;
    bar.move_to(caption_bar_at(device_rect(from), device_rect(to), progress, caption_height));
    GdiFlush();
    std::this_thread::sleep_until(start + step * (frame + 1));
  }
}

void animate(HWND window, const RECT& from, const RECT& to) {
  if (!animations_wanted()) return;
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
  if (system_draws_nothing()) draw_own_animation(window, from, to);
}

}  // namespace

void Open_Animation(HWND window, POINT from) {
  const RECT point{from.x, from.y, from.x, from.y};
  RECT window_rect{};
  GetWindowRect(window, &window_rect);
  animate(window, point, window_rect);
}

void Close_Animation(HWND window, POINT to) {
  const RECT point{to.x, to.y, to.x, to.y};
  RECT window_rect{};
  GetWindowRect(window, &window_rect);
  animate(window, window_rect, point);
}

}  // namespace vantrel
