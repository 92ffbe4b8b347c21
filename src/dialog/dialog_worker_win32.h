#pragma once
// The settings dialog's long work, beside its window: decoding a preview
// picture (a large photo takes a second or more) on one thread, scanning a
// folder (tens of thousands of entries) on another, so that neither waits
// for the other and the window never waits for either. Answers are kept here
// and the window is told with a posted message that carries nothing: no
// pointer travels in a message another program could also post. The threads
// share only their own state with the worker, so a worker that goes while a
// decoder is busy leaves that thread to end with the process: closing the
// dialog never waits for a decoder.

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "dialog/dialog_presenter.h"
#include "dialog/dialog_view.h"
#include "imagesource/image_list.h"

namespace vantrel {

class DialogWorker final : public DialogWork {
 public:
  // Posted to the window when an answer or a new count waits for
  // deliver_answers; at most one is on its way at a time.
  static constexpr UINT kAnswerMessage = WM_APP + 2;

  explicit DialogWorker(HWND window);
  // Stops; joins the threads that have ended and leaves one still inside a
  // decode or a listing to itself. Neither tells any window afterwards.
  ~DialogWorker() override;
  DialogWorker(const DialogWorker&) = delete;
  DialogWorker& operator=(const DialogWorker&) = delete;

  void decode_preview(std::uint64_t ticket, const std::string& path, int dpi) override;
  void scan_folder(std::uint64_t ticket, const std::string& folder) override;
  void stop_all() override;

  // On the window's thread: hands what waits (a scan's count, a preview, a
  // listing) to the presenter.
  void deliver_answers(DialogPresenter& presenter);

  // Waits up to `limit` until no preview is left undecoded; true when none is.
  bool wait_until_idle(std::chrono::milliseconds limit);

 private:
  struct Shared;
  static void decode_previews(const std::shared_ptr<Shared>& shared);
  static void scan_folders(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  // Last: they start when everything above exists.
  std::thread preview_thread_;
  std::thread scan_thread_;
};

}  // namespace vantrel
