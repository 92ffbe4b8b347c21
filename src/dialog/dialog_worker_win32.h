#pragma once
// The settings dialog's long work, beside its window: decoding a preview
// picture (a large photo takes a second or more) on one thread, scanning a
// folder (tens of thousands of entries) on another, so that neither waits
// for the other and the window never waits for either. Answers are kept here
// and the window is told with a posted message that carries nothing: no
// pointer travels in a message another program could also post.

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
#include "imagesource/image_list.h"

namespace vantrel {

class DialogWorker final : public DialogWork {
 public:
  // Posted to the window when an answer or a new count waits for
  // deliver_answers; at most one is on its way at a time.
  static constexpr UINT kAnswerMessage = WM_APP + 2;

  explicit DialogWorker(HWND window);
  // Stops, and waits for a decode or a scan under way to end: the threads
  // never outlive the dialog.
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
  struct PreviewRequest {
    std::uint64_t ticket;
    std::string path;
    int dpi;
  };
  struct ScanRequest {
    std::uint64_t ticket;
    std::string folder;
  };

  void decode_previews();
  void scan_folders();
  // With the lock held: tells the window once that something waits.
  void tell_window();

  HWND window_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
  bool told_ = false;  // a message is on its way to the window

  std::optional<PreviewRequest> preview_request_;  // the newest not yet begun
  bool decoding_ = false;
  std::optional<std::pair<std::uint64_t, std::optional<DecodedPicture>>> preview_answer_;

  std::optional<ScanRequest> scan_request_;
  std::optional<std::pair<std::uint64_t, std::size_t>> scan_count_;
  std::optional<std::pair<std::uint64_t, ImageListing>> scan_answer_;

  // Last: they start when everything above exists.
  std::thread preview_thread_;
  std::thread scan_thread_;
};

}  // namespace vantrel
