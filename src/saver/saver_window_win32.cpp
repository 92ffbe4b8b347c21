#include "saver/saver_window_win32.h"

#include <windowsx.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base_window_win32.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/gl_context_win32.h"
#include "platform/time_seeded_random.h"
#include "platform/wide_text_win32.h"
#include "saver/exit_effects_win32.h"
#include "saver/frame_pacer_win32.h"
#include "saver/gradient.h"
#include "saver/pick_picture.h"
#include "saver/picture_loader_win32.h"
#include "saver/scene.h"
#include "saver/scene_renderer.h"
#include "startup/program_texts.h"

namespace vantrel {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelSaverWindow";

// Pictures are brought down to this before upload, whatever the GL limit: a
// huge photo never costs its full size in memory, and the sphere is at most
// a few hundred pixels across.
constexpr int kMaxPictureSide = 2048;

// Tells the user what is missing, or nothing when a source is set.
std::optional<std::string_view> missing_source_message(const SettingsModel& settings) {
  if (settings.File_Kind != kFileKindFolder)
    return settings.File_Path.empty() ? std::optional(kNoFileMessage) : std::nullopt;
  return settings.Folder_Name.empty() ? std::optional(kNoFolderMessage) : std::nullopt;
}

class SaverWindow : public BaseWindow<SaverWindow> {
 public:
  SaverWindow(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind)
      : instance_(instance), settings_(settings), rules_(run_kind, passwords_, effects_) {}

  int run();

 private:
  friend class BaseWindow<SaverWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void OnKey() { rules_.on_key(); }
  void OnButton() { rules_.on_button(); }
  void OnMouseMove(int x, int y) { rules_.on_scene_mouse_move(x, y); }
  void OnCursorPoll();
  void OnPictureLoaded(std::unique_ptr<Picture> picture);
  void OnPaint();
  void OnDestroy();

  bool create_window();
  void build_scene(const std::string& image_path);
  int message_loop();

  HINSTANCE instance_;
  const SettingsModel& settings_;
  TimeSeededRandom random_;
  Win32PasswordService passwords_;
  Win32ExitEffects effects_;
  ExitRules rules_;

  WindowMetrics metrics_;
  GradientDirection direction_ = GradientDirection::Rows;
  std::vector<Rgb> gradient_;
  // Destroyed in reverse order: the renderer's GL objects while the context lives.
  std::unique_ptr<GlContext> context_;
  std::unique_ptr<Scene> scene_;
  std::unique_ptr<SceneRenderer> renderer_;
  // The scene's time 0: the first frame that shows the picture.
  std::chrono::steady_clock::time_point scene_start_ = std::chrono::steady_clock::now();
};

int SaverWindow::run() {
  if (const auto message = missing_source_message(settings_)) {
    MessageBoxW(nullptr, to_wide(*message).c_str(), to_wide(kMessageTitle).c_str(), MB_ICONEXCLAMATION | MB_OK);
    return 0;
  }
  const std::string image_path = Pick_Picture(settings_, random_);

  rules_.begin();
  make_thread_dpi_aware();
  if (!create_window()) {
    // Without a window nothing can end the run later: undo at once.
    rules_.on_key();
    return 1;
  }
  passwords_.attach(window_);
  effects_.attach(window_);

  const BackgroundChoice background = choose_background(random_);
  direction_ = background.direction;
  gradient_ = gradient_lines(background, metrics_);
  build_scene(image_path);

  POINT cursor{};
  GetCursorPos(&cursor);
  rules_.start_watching(cursor.x, cursor.y);

  ShowWindow(window_, SW_SHOWNORMAL);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  return message_loop();
}

bool SaverWindow::create_window() {
  WindowClassSpec window_class;
  window_class.name = kWindowClass;
  window_class.style = CS_OWNDC;  // the GL context keeps the window's device context
  window_class.background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  // The primary screen, in real pixels now that the thread is DPI-aware.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const std::wstring caption = to_wide(kSaverCaption);
  WindowSpec spec;
  spec.style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  spec.caption = caption.c_str();
  spec.width = width;
  spec.height = height;
  if (!create(instance_, window_class, spec)) return false;
  metrics_ = WindowMetrics{width, height, window_dpi(window_)};
  return true;
}

void SaverWindow::build_scene(const std::string& image_path) {
  context_ = GlContext::create(window_);
  // Without GL the background is painted with GDI and the saver still ends on input.
  if (!context_) return;

  scene_ = std::make_unique<Scene>(scene_settings(settings_), random_, metrics_);
  renderer_ = std::make_unique<SceneRenderer>(*scene_, std::nullopt, direction_, gradient_, metrics_,
                                              context_->max_texture_size());
  // The background shows at once; the sphere joins it when its picture is
  // ready. A picture that cannot be read leaves the background alone.
  if (!image_path.empty())
    load_picture_async(window_, image_path, std::min(kMaxPictureSide, context_->max_texture_size()));
}

int SaverWindow::message_loop() {
  FramePacer pacer(context_ ? context_->dc() : nullptr);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!renderer_) {
      WaitMessage();  // a still background: nothing to draw until input
      continue;
    }
    if (!pacer.frame_due()) {
      pacer.wait();
      continue;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - scene_start_;
    renderer_->draw_frame(elapsed.count());
    context_->swap_buffers();
    pacer.frame_shown();
  }
}

LRESULT SaverWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnKey();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      OnButton();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_TIMER:
      if (wparam == Win32ExitEffects::kCursorPollTimer) OnCursorPoll();
      return 0;
    case kPictureLoadedMessage:
      OnPictureLoaded(take_loaded_picture(lparam));
      return 0;
    case WM_SYSCOMMAND:
      // The system must not start another saver over this one.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted, by GL or OnPaint
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void SaverWindow::OnCursorPoll() {
  POINT cursor{};
  GetCursorPos(&cursor);
  rules_.on_poll(cursor.x, cursor.y);
}

void SaverWindow::OnPictureLoaded(std::unique_ptr<Picture> picture) {
  if (!picture || !renderer_) return;
  renderer_->set_picture(*picture);
  // The cycle starts with the whole sphere in view: its one-second hold
  // counts from the moment it appears, not from the background's.
  scene_start_ = std::chrono::steady_clock::now();
}

void SaverWindow::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  // With GL the frame loop repaints everything; without it the gradient is
  // painted here, one rectangle per band of equal colour.
  if (!renderer_ && dc) {
    for (const GradientBand& band : gradient_bands(gradient_)) {
      const RECT rect = direction_ == GradientDirection::Rows
                            ? RECT{0, band.first, metrics_.width_px, band.first + band.count}
                            : RECT{band.first, 0, band.first + band.count, metrics_.height_px};
      const HBRUSH brush = CreateSolidBrush(RGB(band.colour.red, band.colour.green, band.colour.blue));
      FillRect(dc, &rect, brush);
      DeleteObject(brush);
    }
    if (gradient_.empty()) FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(window_, &paint);
}

void SaverWindow::OnDestroy() {
  // GL objects go while their context and window still exist.
  renderer_.reset();
  scene_.reset();
  context_.reset();
  PostQuitMessage(0);
}

}  // namespace

int run_saver_window(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind) {
  SaverWindow saver(instance, settings, run_kind);
  return saver.run();
}

}  // namespace vantrel
