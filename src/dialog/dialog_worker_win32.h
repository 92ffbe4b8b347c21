#pragma once
// The settings dialog's long work on a thread of its own: decoding a preview
// picture (a large photo takes a second or more). The window never waits for
// it. An answer is kept here and the window is told with a posted message
// that carries nothing: no pointer travels in a message another program could
// also post.

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "dialog/dialog_presenter.h"
#include "dialog/dialog_view.h"

namespace vantrel {

class DialogWorker final : public DialogWork {
 public:
  // Posted to the window when an answer waits for deliver_answers.
  static constexpr UINT kAnswerMessage = WM_APP + 2;

  explicit DialogWorker(HWND window);
  // Stops, and waits for a decode under way to end: the thread never
  // outlives the dialog.
  ~DialogWorker() override;
  DialogWorker(const DialogWorker&) = delete;
  DialogWorker& operator=(const DialogWorker&) = delete;

  void decode_preview(std::uint64_t ticket, const std::string& path, int dpi) override;
  void stop_all() override;

  // On the window's thread: hands the waiting answer, if any, to the presenter.
  void deliver_answers(DialogPresenter& presenter);

  // Waits up to `limit` until no request is left unanswered; true when none is.
  bool wait_until_idle(std::chrono::milliseconds limit);

 private:
  struct Request {
    std::uint64_t ticket;
    std::string path;
    int dpi;
  };
  struct Answer {
    std::uint64_t ticket;
    std::optional<DecodedPicture> picture;
  };

  void run();

  HWND window_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Request> request_;  // the newest request not yet taken
  std::optional<Answer> answer_;    // the newest answer not yet delivered
  bool working_ = false;
  bool stopped_ = false;
  std::thread thread_;
};

}  // namespace vantrel
