#include "dialog/dialog_worker_win32.h"

#include <utility>
#include <variant>

#include "dialog/dialog_presenter.h"
#include "platform/file_system_win32.h"
#include "platform/picture_decoder_win32.h"

namespace vantrel {
namespace {

// One decoder, and so one GDI+ session, for the thread's whole life.
auto preview_decoder() {
  return [decoder = std::make_shared<Win32PictureDecoder>()](auto& request, auto& outbox) {
    const int dpi = request.dpi;
    std::optional<DecodedPicture> picture = decoder->decode_file(
        request.path, [dpi](PictureSize own) { return preview_target_size(own, dpi); }, Resampling::Nearest);
    outbox.post(PreviewDecoded{request.ticket, std::move(picture)});
  };
}

auto folder_scanner() {
  return [file_system = std::make_shared<Win32FileSystem>()](auto& request, auto& outbox) {
    // The count goes to the window as it grows; a stop, or a newer scan,
    // ends this one where it is.
    ImageListing listing = list_images(*file_system, request.folder, [&](std::size_t found) {
      if (!outbox.wanted()) return false;
      outbox.post_latest(WorkAnswer{ScanProgress{request.ticket, found}});
      return true;
    });
    if (!listing.stopped) outbox.post(WorkAnswer{ScanFinished{request.ticket, std::move(listing)}});
  };
}

}  // namespace

DialogWorker::DialogWorker(HWND window)
    : doorbell_(std::make_shared<Doorbell>([window] { return PostMessageW(window, kAnswerMessage, 0, 0) != FALSE; })),
      previews_(doorbell_, [] { return preview_decoder(); }),
      scans_(doorbell_, [] { return folder_scanner(); }) {}

DialogWorker::~DialogWorker() {
  stop_all();
  doorbell_->disconnect();
}

void DialogWorker::decode_preview(std::uint64_t ticket, const std::string& path, int dpi) {
  previews_.ask(PreviewRequest{ticket, path, dpi});  // an older one not yet begun is dropped
}

void DialogWorker::scan_folder(std::uint64_t ticket, const std::string& folder) {
  scans_.ask(ScanRequest{ticket, folder});
}

void DialogWorker::stop_all() {
  previews_.stop();
  scans_.stop();
}

std::vector<WorkAnswer> DialogWorker::take_answers() {
  doorbell_->answered();
  std::vector<WorkAnswer> scan_answers = scans_.take_answers();
  std::vector<PreviewDecoded> previews = previews_.take_answers();
  std::vector<WorkAnswer> answers;
  answers.reserve(scan_answers.size() + previews.size());
  const auto add_scans = [&](bool finished) {
    for (WorkAnswer& answer : scan_answers)
      if (std::holds_alternative<ScanFinished>(answer) == finished) answers.push_back(std::move(answer));
  };
  add_scans(false);
  for (PreviewDecoded& preview : previews) answers.emplace_back(std::move(preview));
  add_scans(true);
  return answers;
}

bool DialogWorker::wait_until_idle(std::chrono::milliseconds limit) { return previews_.wait_until_idle(limit); }

}  // namespace vantrel
