#pragma once
// Decodes the run's picture on a thread of its own, so that the screen is
// covered at once: a large photo takes a second or more to decode, and the
// background needs none of it. The same thread builds the picture's mip
// chain, so the window only uploads it.
//
// The work goes through a work mailbox: the picture waits there until the
// window takes it, and the window is told with a posted message that carries
// nothing, so a message another program posts to it can never hand it a
// pointer. A loader that goes while the decode runs leaves the thread to
// finish on its own (or to end with the process), so ending the saver never
// waits for a decoder.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/doorbell.h"
#include "platform/mip_chain.h"
#include "platform/picture_decoder.h"
#include "platform/work_mailbox.h"

namespace vantrel {

// Posted to the window once the decode has ended, whatever its outcome.
inline constexpr UINT kPictureLoadedMessage = WM_APP + 1;

class PictureLoader {
 public:
  // Starts decoding `utf8_path`, upright, straight at the size `texture_size`
  // gives for its upright size (both sides powers of two).
  PictureLoader(std::string utf8_path, TargetSize texture_size);
  // Tells no window any more; a decode still under way is left to itself.
  ~PictureLoader();
  PictureLoader(const PictureLoader&) = delete;
  PictureLoader& operator=(const PictureLoader&) = delete;

  // The window to tell (none: no window any more); told at once when the
  // decode has already ended.
  void tell(HWND window);

  // The picture's mip chain, once: nothing while the decode runs, after it
  // failed, or when it was taken before.
  std::optional<MipChain> take();

 private:
  struct Request {
    std::string path;
    TargetSize texture_size;
  };
  std::shared_ptr<Doorbell> doorbell_;
  WorkMailbox<Request, std::optional<MipChain>> mailbox_;
};

}  // namespace vantrel
