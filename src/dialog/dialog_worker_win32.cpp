#include "dialog/dialog_worker_win32.h"

#include <condition_variable>
#include <mutex>
#include <utility>

#include "platform/file_system_win32.h"
#include "platform/picture_decoder_win32.h"

namespace vantrel {

struct DialogWorker::Shared {
  struct PreviewRequest {
    std::uint64_t ticket;
    std::string path;
    int dpi;
  };
  struct ScanRequest {
    std::uint64_t ticket;
    std::string folder;
  };

  explicit Shared(HWND window) : window(window) {}

  // With the lock held: tells the window once that something waits.
  void tell_window() {
    if (told || !window) return;
    told = PostMessageW(window, kAnswerMessage, 0, 0) != FALSE;
  }

  std::mutex mutex;
  std::condition_variable changed;
  HWND window;  // nothing once the worker has gone
  bool stopped = false;
  bool told = false;  // a message is on its way to the window
  int threads_running = 2;

  std::optional<PreviewRequest> preview_request;  // the newest not yet begun
  bool decoding = false;
  std::optional<std::pair<std::uint64_t, std::optional<DecodedPicture>>> preview_answer;
  bool scanning = false;

  std::optional<ScanRequest> scan_request;
  std::optional<std::pair<std::uint64_t, std::size_t>> scan_count;
  std::optional<std::pair<std::uint64_t, ImageListing>> scan_answer;
};

DialogWorker::DialogWorker(HWND window)
    : shared_(std::make_shared<Shared>(window)),
      preview_thread_([shared = shared_] { decode_previews(shared); }),
      scan_thread_([shared = shared_] { scan_folders(shared); }) {}

DialogWorker::~DialogWorker() {
  stop_all();
  int running = 0;
  {
    // Threads at rest see the stop at once: the usual close joins them.
    std::unique_lock lock(shared_->mutex);
    shared_->window = nullptr;
    shared_->changed.wait_for(lock, std::chrono::milliseconds(200), [&] {
      return shared_->threads_running == 0 || shared_->decoding || shared_->scanning;
    });
    running = shared_->threads_running;
  }
  // A thread at rest sees the stop at once; one inside a decode or a listing
  // may take seconds, and the dialog does not wait for it.
  if (running == 0) {
    preview_thread_.join();
    scan_thread_.join();
  } else {
    preview_thread_.detach();
    scan_thread_.detach();
  }
}

void DialogWorker::decode_preview(std::uint64_t ticket, const std::string& path, int dpi) {
  {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->stopped) return;
    shared_->preview_request = Shared::PreviewRequest{ticket, path, dpi};  // an older one not yet begun is dropped
  }
  shared_->changed.notify_all();
}

void DialogWorker::scan_folder(std::uint64_t ticket, const std::string& folder) {
  {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->stopped) return;
    shared_->scan_request = Shared::ScanRequest{ticket, folder};
  }
  shared_->changed.notify_all();
}

void DialogWorker::stop_all() {
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
    shared_->preview_request.reset();
    shared_->preview_answer.reset();
    shared_->scan_request.reset();
    shared_->scan_count.reset();
    shared_->scan_answer.reset();
  }
  shared_->changed.notify_all();
}

void DialogWorker::deliver_answers(DialogPresenter& presenter) {
  decltype(Shared::scan_count) count;
  decltype(Shared::preview_answer) preview;
  decltype(Shared::scan_answer) listing;
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->told = false;
    if (shared_->stopped) return;
    count = std::exchange(shared_->scan_count, std::nullopt);
    preview = std::exchange(shared_->preview_answer, std::nullopt);
    listing = std::exchange(shared_->scan_answer, std::nullopt);
  }
  if (count) presenter.on_scan_progress(count->first, count->second);
  if (preview) presenter.on_preview_decoded(preview->first, std::move(preview->second));
  if (listing) presenter.on_scan_finished(listing->first, std::move(listing->second));
}

bool DialogWorker::wait_until_idle(std::chrono::milliseconds limit) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(
      lock, limit, [&] { return shared_->stopped || (!shared_->preview_request && !shared_->decoding); });
}

void DialogWorker::decode_previews(const std::shared_ptr<Shared>& shared) {
  {
    // One decoder, and so one GDI+ session, for the thread's whole life.
    Win32PictureDecoder decoder;
    std::unique_lock lock(shared->mutex);
    for (;;) {
      shared->changed.wait(lock, [&] { return shared->stopped || shared->preview_request.has_value(); });
      if (shared->stopped) break;
      const Shared::PreviewRequest request = std::exchange(shared->preview_request, std::nullopt).value();
      shared->decoding = true;
      lock.unlock();

      const int dpi = request.dpi;
      std::optional<DecodedPicture> picture = decoder.decode_file(
          request.path, [dpi](PictureSize own) { return preview_target_size(own, dpi); }, Resampling::Nearest);

      lock.lock();
      shared->decoding = false;
      if (shared->stopped) break;
      shared->preview_answer.emplace(request.ticket, std::move(picture));
      shared->tell_window();
      shared->changed.notify_all();
    }
  }
  const std::lock_guard lock(shared->mutex);
  --shared->threads_running;
  shared->changed.notify_all();
}

void DialogWorker::scan_folders(const std::shared_ptr<Shared>& shared) {
  {
    Win32FileSystem file_system;
    std::unique_lock lock(shared->mutex);
    for (;;) {
      shared->changed.wait(lock, [&] { return shared->stopped || shared->scan_request.has_value(); });
      if (shared->stopped) break;
      const Shared::ScanRequest request = std::exchange(shared->scan_request, std::nullopt).value();
      shared->scanning = true;
      lock.unlock();

      // The count goes to the window as it grows; a stop, or a newer scan,
      // ends this one where it is.
      ImageListing listing = list_images(file_system, request.folder, [&](std::size_t found) {
        const std::lock_guard count_lock(shared->mutex);
        if (shared->stopped || shared->scan_request) return false;
        shared->scan_count.emplace(request.ticket, found);
        shared->tell_window();
        return true;
      });

      lock.lock();
      shared->scanning = false;
      if (shared->stopped) break;
      if (!listing.stopped) {
        shared->scan_answer.emplace(request.ticket, std::move(listing));
        shared->tell_window();
      }
    }
  }
  const std::lock_guard lock(shared->mutex);
  --shared->threads_running;
  shared->changed.notify_all();
}

}  // namespace vantrel
