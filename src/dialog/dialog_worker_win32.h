#pragma once
// The settings dialog's long work, beside its window: decoding a preview
// picture (a large photo takes a second or more) in one work mailbox,
// scanning a folder (tens of thousands of entries) in another, so that
// neither waits for the other and the window never waits for either. Both
// ring one doorbell, so at most one message is on its way to the window at a
// time; the window takes the answers as values and hands them to the
// presenter itself.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialog/dialog_view.h"
#include "platform/doorbell.h"
#include "platform/work_mailbox.h"

namespace vantrel {

class DialogWorker final : public DialogWork {
 public:
  // Posted to the window when answers wait for take_answers; it carries
  // nothing.
  static constexpr UINT kAnswerMessage = WM_APP + 2;

  explicit DialogWorker(HWND window);
  // Stops; no window is told afterwards, and a thread still inside a decode
  // or a listing is left to itself.
  ~DialogWorker() override;
  DialogWorker(const DialogWorker&) = delete;
  DialogWorker& operator=(const DialogWorker&) = delete;

  void decode_preview(std::uint64_t ticket, const std::string& path, int dpi) override;
  void scan_folder(std::uint64_t ticket, const std::string& folder) override;
  void stop_all() override;

  // On the window's thread, for kAnswerMessage: what waits, in the order the
  // presenter takes it: a scan's count, a preview, a listing.
  std::vector<WorkAnswer> take_answers();

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

  std::shared_ptr<Doorbell> doorbell_;
  WorkMailbox<PreviewRequest, PreviewDecoded> previews_;
  WorkMailbox<ScanRequest, WorkAnswer> scans_;
};

}  // namespace vantrel
