#include "dialog/dialog_worker_win32.h"

#include "platform/picture_decoder_win32.h"

namespace vantrel {

DialogWorker::DialogWorker(HWND window) : window_(window), thread_([this] { run(); }) {}

DialogWorker::~DialogWorker() {
  stop_all();
  thread_.join();
}

void DialogWorker::decode_preview(std::uint64_t ticket, const std::string& path, int dpi) {
  {
    const std::lock_guard lock(mutex_);
    if (stopped_) return;
    request_ = Request{ticket, path, dpi};  // an older request not yet begun is dropped
  }
  changed_.notify_all();
}

void DialogWorker::stop_all() {
  {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    request_.reset();
    answer_.reset();
  }
  changed_.notify_all();
}

void DialogWorker::deliver_answers(DialogPresenter& presenter) {
  std::optional<Answer> answer;
  {
    const std::lock_guard lock(mutex_);
    if (stopped_) return;
    answer = std::move(answer_);
    answer_.reset();
  }
  if (answer) presenter.on_preview_decoded(answer->ticket, std::move(answer->picture));
}

bool DialogWorker::wait_until_idle(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return stopped_ || (!request_ && !working_); });
}

void DialogWorker::run() {
  // One decoder, and so one GDI+ session, for the thread's whole life.
  GdiplusPictureDecoder decoder;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopped_ || request_.has_value(); });
    if (stopped_) return;
    Request request = std::move(*request_);
    request_.reset();
    working_ = true;
    lock.unlock();

    const int dpi = request.dpi;
    std::optional<DecodedPicture> picture = decoder.decode_file(
        request.path, [dpi](PictureSize own) { return preview_target_size(own, dpi); }, Resampling::Nearest);

    lock.lock();
    working_ = false;
    if (stopped_) return;
    answer_ = Answer{request.ticket, std::move(picture)};
    PostMessageW(window_, kAnswerMessage, 0, 0);
    changed_.notify_all();
  }
}

}  // namespace vantrel
