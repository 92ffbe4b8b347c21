#include "saver/saver_window_win32.h"

#include <windowsx.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base_window_win32.h"
#include "platform/dpi_awareness_win32.h"
#include "platform/gl_api.h"
#include "platform/gl_context_win32.h"
#include "platform/posted_message_filter_win32.h"
#include "platform/software_renderer.h"
#include "platform/time_seeded_random.h"
#include "platform/wide_text_win32.h"
#include "saver/exit_effects_win32.h"
#include "saver/frame_pacer_win32.h"
#include "saver/pacing_policy.h"
#include "saver/power_watch_win32.h"
#include "saver/gradient.h"
#include "saver/pick_picture.h"
#include "saver/cover_layout.h"
#include "saver/monitors_win32.h"
#include "saver/picture_loader_win32.h"
#include "saver/scene.h"
#include "saver/scene_renderer.h"
#include "saver/sphere_texture_size.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

constexpr wchar_t kWindowClass[] = L"VantrelSaverWindow";

// The picture is decoded before the GL context exists, so before the
// driver's own limit is known: a side no larger than this is asked for, and
// a driver that takes less is given the chain's smaller levels.
constexpr int kLargestTextureSide = 4096;

// Tells the user what is missing, or nothing when a source is set.
std::optional<std::string_view> missing_source_message(const SettingsModel& settings) {
  if (settings.File_Kind != kFileKindFolder)
    return settings.File_Path.empty() ? std::optional(kNoFileMessage) : std::nullopt;
  return settings.Folder_Name.empty() ? std::optional(kNoFolderMessage) : std::nullopt;
}

class SaverWindow : public BaseWindow<SaverWindow> {
 public:
  SaverWindow(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind, SaverRunObserver* observer)
      : instance_(instance), settings_(settings), observer_(observer), rules_(run_kind, passwords_, effects_) {}

  int run();

 private:
  friend class BaseWindow<SaverWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void OnKey() { rules_.on_key(); }
  void OnButton() { rules_.on_button(); }
  void OnMouseMove(int x, int y) { rules_.on_scene_mouse_move(x, y); }
  void OnCursorPoll();
  void OnPictureLoaded();
  void OnPowerChanged();
  void OnDisplayChange();
  void OnPaint();
  void OnDestroy();

  bool create_window();
  // The cover of every monitor from the system's list, and the background
  // pieces laid on it.
  void lay_out();
  void build_scene();
  int message_loop();

  HINSTANCE instance_;
  const SettingsModel& settings_;
  SaverRunObserver* observer_;
  TimeSeededRandom random_;
  Win32PasswordService passwords_;
  Win32ExitEffects effects_;
  ExitRules rules_;

  CoverLayout layout_;
  BackgroundChoice background_;
  std::vector<BackgroundPiece> pieces_;
  // Started before the window, so that the decode overlaps the window's and
  // the GL context's making; joined when the window object goes.
  std::optional<PictureLoader> loader_;
  // Destroyed in reverse order: the renderer's GL objects while the context lives.
  std::unique_ptr<GlContext> context_;
  std::unique_ptr<Scene> scene_;
  std::unique_ptr<SceneRenderer> renderer_;
  bool software_renderer_ = false;
  // What the system says about power; unregistered before the window goes.
  std::unique_ptr<PowerWatch> power_;
  std::optional<FramePacer> pacer_;  // while the message loop runs
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
  background_ = choose_background(random_);
  lay_out();
  // The texture's size depends on the monitor the sphere stands on. A picture
  // that cannot be read leaves the background alone.
  if (!image_path.empty()) {
    loader_.emplace(image_path, [scene = scene_settings(settings_), window = layout_.scene.metrics()](
                                    PictureSize upright) {
      return sphere_texture_size(upright, scene, window, kLargestTextureSide);
    });
  }
  if (!create_window()) {
    // Without a window nothing can end the run later: undo at once.
    rules_.on_key();
    return 1;
  }
  passwords_.attach(window_);
  effects_.attach(window_);
  power_ = std::make_unique<PowerWatch>(window_);
  if (observer_) observer_->power_watch_ready(*power_);
  build_scene();

  POINT cursor{};
  GetCursorPos(&cursor);
  rules_.start_watching(cursor.x, cursor.y);

  // The window appears with its first frame: the gradient, never black. The
  // frame is drawn into the back buffer while the window is hidden and
  // presented as soon as it is shown; without GL the paint comes at once.
  // A small picture is decoded by now and is in that frame already.
  OnPictureLoaded();
  if (renderer_) renderer_->draw_frame(0);
  ShowWindow(window_, SW_SHOWNORMAL);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  if (renderer_)
    context_->swap_buffers();
  else
    UpdateWindow(window_);
  if (loader_) loader_->tell(window_);
  const int exit_code = message_loop();
  // A WM_QUIT another program posted ends the loop too: whatever ended it,
  // what the saver changed in the system is given back and the window goes.
  if (!rules_.ended()) rules_.on_system_end();
  destroy();
  return exit_code;
}

void SaverWindow::lay_out() {
  layout_ = cover_layout(system_monitors(), primary_screen());
  // Every monitor has the same colour and direction, each laid out on its own
  // rectangle, symmetric about its own centre line.
  pieces_.clear();
  for (const WindowArea& screen : layout_.screens)
    pieces_.push_back({screen, gradient_lines(background_, screen.metrics())});
}

bool SaverWindow::create_window() {
  WindowClassSpec window_class;
  window_class.name = kWindowClass;
  window_class.style = CS_OWNDC;  // the GL context keeps the window's device context
  const std::wstring caption = to_wide(kSaverCaption);
  WindowSpec window_spec;
  // A tool window: no button on any taskbar.
  window_spec.ex_style = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  window_spec.style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  window_spec.caption = caption.c_str();
  window_spec.x = layout_.window.left;
  window_spec.y = layout_.window.top;
  window_spec.width = layout_.window.width();
  window_spec.height = layout_.window.height();
  return create(instance_, window_class, window_spec);
}

void SaverWindow::build_scene() {
  context_ = GlContext::create(window_);
  // Without GL the background is painted with GDI and the saver still ends on input.
  if (!context_) return;
  scene_ = std::make_unique<Scene>(scene_settings(settings_), random_, layout_.scene.metrics());
  renderer_ = std::make_unique<SceneRenderer>(*scene_, background_.direction, pieces_, layout_.window, layout_.scene,
                                              context_->max_texture_size());
  const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  software_renderer_ = name && is_software_renderer(name);
}

int SaverWindow::message_loop() {
  pacer_.emplace(context_ ? context_->dc() : nullptr);
  OnPowerChanged();
  FramePacer& pacer = *pacer_;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        pacer_.reset();
        return static_cast<int>(message.wParam);
      }
      if (!may_dispatch_posted(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    // A still background (no GL, or no picture yet) has nothing new to draw
    // until a message comes: the picture's arrival, a paint or input. Not
    // redrawing it leaves the cores to the picture's decode meanwhile. A
    // display that is off gets nothing drawn either.
    if (!renderer_ || !renderer_->has_picture() || pacer.paused()) {
      WaitMessage();
      continue;
    }
    if (!pacer.frame_due()) {
      pacer.wait();
      continue;
    }
    // The scene at its own clock: after a pause it simply shows where the
    // clock has got to.
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
      OnPictureLoaded();
      return 0;
    case PowerWatch::kPowerChangedMessage:
      OnPowerChanged();
      return 0;
    case WM_DISPLAYCHANGE:
      OnDisplayChange();
      return 0;
    case WM_DPICHANGED:
      return 0;  // every monitor's DPI is already the layout's; the window keeps its cover
    case WM_SYSCOMMAND:
      // The system must not start another saver over this one.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_CLOSE:
      rules_.on_system_end();
      return 0;
    case WM_ENDSESSION:
      if (wparam) rules_.on_system_end();
      return 0;
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

// Also for a message of this number another program posts: the picture is
// taken from the loader, and there is none unless the decode has ended.
void SaverWindow::OnPictureLoaded() {
  if (!loader_ || !renderer_) return;
  const std::optional<MipChain> picture = loader_->take();
  if (!picture) return;
  renderer_->set_picture(*picture);
  // The cycle starts with the whole sphere in view: its one-second hold
  // counts from the moment it appears, not from the background's.
  scene_start_ = std::chrono::steady_clock::now();
}

// Also for a message of this number another program posts: the state is the
// watch's own, never the message's.
void SaverWindow::OnPowerChanged() {
  if (!pacer_) return;
  const PowerState power = power_ ? power_->state() : PowerState{};
  pacer_->set_pacing(frame_pacing(power, pacer_->refresh_hertz(), software_renderer_));
}

// A monitor came or went, or one changed its resolution: the cover follows,
// so no part of any screen is left showing the desktop.
void SaverWindow::OnDisplayChange() {
  lay_out();
  SetWindowPos(window_, HWND_TOPMOST, layout_.window.left, layout_.window.top, layout_.window.width(),
               layout_.window.height(), SWP_NOACTIVATE);
  if (scene_) scene_->resize(layout_.scene.metrics());
  if (renderer_) renderer_->relayout(background_.direction, pieces_, layout_.window, layout_.scene);
  InvalidateRect(window_, nullptr, FALSE);
}

void SaverWindow::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  if (dc && renderer_) {
    // Exposed before the next frame is due: shown again at once.
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - scene_start_;
    renderer_->draw_frame(elapsed.count());
    context_->swap_buffers();
  } else if (dc) {
    // Without GL the gradient is painted here, one rectangle per band of
    // equal colour on each monitor.
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (const BackgroundPiece& piece : pieces_) {
      const ScreenRect& area = piece.area.rect;
      for (const GradientBand& band : gradient_bands(piece.lines)) {
        const RECT rect = background_.direction == GradientDirection::Rows
                              ? RECT{area.left, area.top + band.first, area.right, area.top + band.first + band.count}
                              : RECT{area.left + band.first, area.top, area.left + band.first + band.count, area.bottom};
        const HBRUSH brush = CreateSolidBrush(RGB(band.colour.red, band.colour.green, band.colour.blue));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
      }
    }
  }
  EndPaint(window_, &paint);
}

void SaverWindow::OnDestroy() {
  // A window destroyed by anything but the exit rules (the system ending the
  // session, say) still restores what the saver changed.
  if (!rules_.ended()) {
    effects_.attach(nullptr);  // the window is going already
    rules_.on_system_end();
  }
  if (loader_) loader_->tell(nullptr);
  power_.reset();  // no callback posts to a window that is going
  // GL objects go while their context and window still exist.
  renderer_.reset();
  scene_.reset();
  context_.reset();
  PostQuitMessage(0);
}

}  // namespace

int run_saver_window(HINSTANCE instance, const SettingsModel& settings, RunKind run_kind,
                     SaverRunObserver* observer) {
  SaverWindow saver(instance, settings, run_kind, observer);
  return saver.run();
}

}  // namespace vantrel
