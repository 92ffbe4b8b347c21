#include "dialog/dialog_worker_win32.h"

#include <utility>

#include "platform/file_system_win32.h"
#include "platform/picture_decoder_win32.h"

namespace vantrel {

DialogWorker::DialogWorker(HWND window)
    : window_(window), preview_thread_([this] { decode_previews(); }), scan_thread_([this] { scan_folders(); }) {}

DialogWorker::~DialogWorker() {
  stop_all();
  preview_thread_.join();
  scan_thread_.join();
}

void DialogWorker::decode_preview(std::uint64_t ticket, const std::string& path, int dpi) {
  {
    const std::lock_guard lock(mutex_);
    if (stopped_) return;
    preview_request_ = PreviewRequest{ticket, path, dpi};  // an older request not yet begun is dropped
  }
  changed_.notify_all();
}

void DialogWorker::scan_folder(std::uint64_t ticket, const std::string& folder) {
  {
    const std::lock_guard lock(mutex_);
    if (stopped_) return;
    scan_request_ = ScanRequest{ticket, folder};
  }
  changed_.notify_all();
}

void DialogWorker::stop_all() {
  {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    preview_request_.reset();
    preview_answer_.reset();
    scan_request_.reset();
    scan_count_.reset();
    scan_answer_.reset();
  }
  changed_.notify_all();
}

void DialogWorker::deliver_answers(DialogPresenter& presenter) {
  decltype(scan_count_) count;
  decltype(preview_answer_) preview;
  decltype(scan_answer_) listing;
  {
    const std::lock_guard lock(mutex_);
    told_ = false;
    if (stopped_) return;
    count = std::exchange(scan_count_, std::nullopt);
    preview = std::exchange(preview_answer_, std::nullopt);
    listing = std::exchange(scan_answer_, std::nullopt);
  }
  if (count) presenter.on_scan_progress(count->first, count->second);
  if (preview) presenter.on_preview_decoded(preview->first, std::move(preview->second));
  if (listing) presenter.on_scan_finished(listing->first, std::move(listing->second));
}

bool DialogWorker::wait_until_idle(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return stopped_ || (!preview_request_ && !decoding_); });
}

void DialogWorker::tell_window() {
  if (told_) return;
  told_ = PostMessageW(window_, kAnswerMessage, 0, 0) != FALSE;
}

void DialogWorker::decode_previews() {
  // One decoder, and so one GDI+ session, for the thread's whole life.
  Win32PictureDecoder decoder;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopped_ || preview_request_.has_value(); });
    if (stopped_) return;
    const PreviewRequest request = std::exchange(preview_request_, std::nullopt).value();
    decoding_ = true;
    lock.unlock();

    const int dpi = request.dpi;
    std::optional<DecodedPicture> picture = decoder.decode_file(
        request.path, [dpi](PictureSize own) { return preview_target_size(own, dpi); }, Resampling::Nearest);

    lock.lock();
    decoding_ = false;
    if (stopped_) return;
    preview_answer_.emplace(request.ticket, std::move(picture));
    tell_window();
    changed_.notify_all();
  }
}

void DialogWorker::scan_folders() {
  Win32FileSystem file_system;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopped_ || scan_request_.has_value(); });
    if (stopped_) return;
    const ScanRequest request = std::exchange(scan_request_, std::nullopt).value();
    lock.unlock();

    // The count goes to the window as it grows; a stop, or a newer scan,
    // ends this one where it is.
    ImageListing listing = list_images(file_system, request.folder, [&](std::size_t found) {
      const std::lock_guard count_lock(mutex_);
      if (stopped_ || scan_request_) return false;
      scan_count_.emplace(request.ticket, found);
      tell_window();
      return true;
    });

    lock.lock();
    if (stopped_) return;
    if (!listing.stopped) {
      scan_answer_.emplace(request.ticket, std::move(listing));
      tell_window();
    }
  }
}

}  // namespace vantrel
