#include "saver/picture_loader_win32.h"

#include <mutex>
#include <new>
#include <utility>

#include "platform/picture_decoder_win32.h"

namespace vantrel {

struct PictureLoader::Shared {
  std::mutex mutex;
  HWND window = nullptr;
  bool done = false;
  std::optional<MipChain> picture;
};

PictureLoader::PictureLoader(std::string utf8_path, TargetSize texture_size)
    : shared_(std::make_shared<Shared>()),
      thread_([shared = shared_, path = std::move(utf8_path), texture_size = std::move(texture_size)] {
        std::optional<MipChain> picture;
        {
          Win32PictureDecoder decoder;  // its own COM and GDI+ for this thread
          if (auto decoded = decoder.decode_file(path, texture_size, Resampling::Smooth)) {
            try {
              picture = make_mip_chain(std::move(decoded->pixels));
            } catch (const std::bad_alloc&) {
              // no room for the chain: the background alone, as for an unreadable picture
            }
          }
        }
        const std::lock_guard lock(shared->mutex);
        shared->picture = std::move(picture);
        shared->done = true;
        if (shared->window) PostMessageW(shared->window, kPictureLoadedMessage, 0, 0);
      }) {}

PictureLoader::~PictureLoader() {
  bool done = false;
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->window = nullptr;
    done = shared_->done;
  }
  if (done)
    thread_.join();
  else
    thread_.detach();
}

void PictureLoader::tell(HWND window) {
  const std::lock_guard lock(shared_->mutex);
  shared_->window = window;
  if (shared_->done && shared_->window) PostMessageW(shared_->window, kPictureLoadedMessage, 0, 0);
}

std::optional<MipChain> PictureLoader::take() {
  const std::lock_guard lock(shared_->mutex);
  return std::exchange(shared_->picture, std::nullopt);
}

}  // namespace vantrel
